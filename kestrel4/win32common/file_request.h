// The common file dialog as every page asks for a file: filter from the string table, the
// folder it starts in, and a folder remembered from the last choice.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

struct SFileRequest {
    HWND hOwner = nullptr;
    UINT nFilterId = 0;          // a "Name|*.ext|" string resource
    std::string strFolder;       // where the dialog starts; empty leaves it to the system
    std::string strName;         // the name the dialog shows first
    const char* pszDefExt = nullptr;
    DWORD dwFlags = 0;           // OFN_ flags
    // When given and not empty, the dialog starts there instead of strFolder; a choice
    // stores its folder there.
    std::string* pRememberedFolder = nullptr;
};

// The chosen path, or empty when the dialog was cancelled.
std::string RequestOpenFile(const SFileRequest& request);
std::string RequestSaveFile(const SFileRequest& request);
