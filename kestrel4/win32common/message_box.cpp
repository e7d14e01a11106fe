#include "message_box.h"

#include "dialog_base.h"

int ShowMessage(HWND owner, UINT textId, UINT flags, UINT captionId)
{
    return ShowMessageText(owner, LoadResString(textId), flags, captionId);
}

int ShowMessageText(HWND owner, const std::string& text, UINT flags, UINT captionId)
{
    return MessageBoxA(owner, text.c_str(), LoadResString(captionId).c_str(), flags);
}
