// Dialog 180 "Registering Function Settings": asks for the name of a new function setting.
// Characters that would break the ini's section lines are refused as they are typed or
// pasted.
#pragma once
#include "dialog_base.h"

#include <string>

class CRegisterDlg : public CDialogBase {
public:
    ~CRegisterDlg() override;
    const std::string& GetName() const { return m_strName; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::string m_strName;
};
