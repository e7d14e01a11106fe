#include "file_request.h"

#include <commdlg.h>

#include "dialog_base.h"

namespace {
std::string RequestFile(const SFileRequest& request, bool save)
{
    const std::string filter = LoadFileFilter(request.nFilterId);
    const std::string folder = request.pRememberedFolder && !request.pRememberedFolder->empty()
                                   ? *request.pRememberedFolder
                                   : request.strFolder;
    char path[MAX_PATH] = "";
    lstrcpynA(path, request.strName.c_str(), MAX_PATH);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.hOwner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = request.pszDefExt;
    ofn.Flags = request.dwFlags;
    if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn)))
        return std::string();
    const std::string chosen = path;
    if (request.pRememberedFolder) {
        const size_t slash = chosen.find_last_of("\\/");
        *request.pRememberedFolder = slash == std::string::npos ? std::string() : chosen.substr(0, slash);
    }
    return chosen;
}
} // namespace

std::string RequestOpenFile(const SFileRequest& request)
{
    return RequestFile(request, false);
}

std::string RequestSaveFile(const SFileRequest& request)
{
    return RequestFile(request, true);
}
