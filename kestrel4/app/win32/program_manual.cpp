#include "program_manual.h"

#include "dialog_base.h"
#include "manual_link.h"
#include "message_box.h"
#include "resource.h"
#include "win32_profile.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void ShowManualMessage(HWND owner, UINT text, const std::string& page)
{
    std::string format = LoadResString(text);
    std::vector<char> message(format.size() + page.size() + 1);
    std::snprintf(message.data(), message.size(), format.c_str(), page.c_str());
    ShowMessageText(owner, message.data(), MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
}

std::string AnsiToUtf8(const std::string& text)
{
    int wide = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (wide <= 0)
        return text;
    std::vector<wchar_t> utf16(static_cast<size_t>(wide));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, utf16.data(), wide);
    int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return text;
    std::vector<char> utf8(static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), -1, utf8.data(), size, nullptr, nullptr);
    return utf8.data();
}

// The open command of the program that shows .html files, its environment strings expanded;
// empty when the association has no command line of its own.
std::string HtmlOpenCommand()
{
    char command[2048] = {0};
    DWORD size = sizeof command;
    if (AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, ".html", "open", command, &size) != S_OK)
        return std::string();
    char expanded[4096] = {0};
    DWORD n = ExpandEnvironmentStringsA(command, expanded, sizeof expanded);
    return n > 0 && n <= sizeof expanded ? expanded : command;
}

// Opening the file drops the fragment of a section, so the page's browser is started with
// the URL itself.
bool OpenAtTopic(const std::string& page, const char* topic)
{
    std::string command = HtmlOpenCommand();
    if (command.empty())
        return false;
    std::string line = BrowserCommandLine(command, ManualFileUrl(AnsiToUtf8(page), topic));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

void OpenManual(HWND owner, const char* topic)
{
    std::string directory = ProgramDirectory();
    std::string page = directory + kManualFileName;
    DWORD attributes = directory.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(page.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowManualMessage(owner, IDS_MANUAL_MISSING, page);
        return;
    }
    if (topic && *topic && OpenAtTopic(page, topic))
        return;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // Our own message, not the system's choice of program, when nothing shows web pages.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "open";
    info.lpFile = page.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        ShowManualMessage(owner, IDS_MANUAL_NOT_OPENED, page);
}
