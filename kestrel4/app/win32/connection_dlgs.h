// The dialogs of connecting and of the power waits.
#pragma once
#include "dialog_base.h"

#include <string>
#include <utility>
#include <vector>

#include "network_port.h"

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

// The port choice: COM1-COM4 radio buttons and, under "Other:", the other present ports and
// the network port, preset to the current port. Without others the "Other:" choice is hidden.
class CPortDlg : public CDialogBase {
public:
    CPortDlg(unsigned int port, std::vector<SPortChoice> otherPorts)
        : m_nPort(port), m_OtherPorts(std::move(otherPorts))
    {
    }
    unsigned int GetPort() const { return m_nPort; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Init();
    unsigned int ChosenPort() const;

    unsigned int m_nPort;
    std::vector<SPortChoice> m_OtherPorts;
};

// "Network port": the HOST:PORT of a network serial server, preset to the last one. OK ends
// it only with a sound address, else a message says what is wrong; Cancel changes nothing.
class CNetworkPortDlg : public CDialogBase {
public:
    explicit CNetworkPortDlg(std::string address) : m_strAddress(std::move(address)) {}
    const std::string& GetAddress() const { return m_strAddress; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // True with m_strAddress set when the typed address is sound.
    bool TakeAddress();

    std::string m_strAddress;
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
