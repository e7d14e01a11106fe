// CTransferProgressDialog: the modeless progress of a bulk transfer. Its Cancel asks the
// sender's question and raises a flag that the transfer polls after every block.
#pragma once
#include "bulk_transfer.h"
#include "dialog_base.h"

class CTransferProgressDialog : public CDialogBase, public ITransferProgress {
public:
    // send = computer to projector; the pictures swap for receiving.
    CTransferProgressDialog(UINT cancelQuestion, bool send) : m_nCancelQuestion(cancelQuestion), m_bSend(send) {}

    // Shows the dialog with its title and text, and the bar's range for size bytes.
    HWND Open(HWND owner, UINT title, UINT text, uint32_t size);
    void Close();

    void Progress(uint32_t position, int percent) override;
    bool Cancelled() override { return m_bCancelled; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UINT m_nCancelQuestion;
    bool m_bSend;
    bool m_bCancelled = false;
};

// A message box captioned "Kestrel" with the string-table text.
int KestrelMessage(HWND owner, UINT text, UINT flags);
