// The dialogs of connecting and of the power waits.
#pragma once
#include "dialog_base.h"

// A question with the exclamation icon; the text comes from the template or the string
// table. OK and Cancel end it.
class CQuestionDlg : public CDialogBase {
public:
    explicit CQuestionDlg(UINT textId = 0) : m_nTextId(textId) {}
    void SetTextId(UINT textId) { m_nTextId = textId; }
    // Ends a modal run from outside, as Cancel would.
    void Close();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UINT m_nTextId;
};

// The port choice: COM1-COM4 radio buttons preset to the current port.
class CPortDlg : public CDialogBase {
public:
    explicit CPortDlg(unsigned int port) : m_nPort(port) {}
    unsigned int GetPort() const { return m_nPort; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    unsigned int m_nPort;
};

// "The projector is active." and "The projector is cooling down.": modeless; Cancel of the
// cooling window destroys it.
class CModelessNoticeDlg : public CDialogBase {
public:
    void Destroy();
    void ShowText(bool visible);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// "Wait...": modal, ends by itself after 30 s or when closed.
class CWaitDlg : public CDialogBase {
public:
    void Close();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
