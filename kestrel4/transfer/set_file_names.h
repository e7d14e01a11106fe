// The set page's file names: the working copy Temp.csp, the named file with its title, and
// the last set file opened or saved. The main window keeps that last file in
// "Kestrel4.ini" (CursorStampFile), so the file dialogs start in its folder at every run.
#pragma once
#include <string>

class CSetFileNames {
public:
    // lastFile is the main window's; untitled is the title of a set never saved under a name.
    CSetFileNames(std::string tempPath, std::string& lastFile, std::string untitled);

    // A new set in Temp.csp.
    void New();
    // path was read or written under its own name.
    void Opened(const std::string& path);
    void Saved(const std::string& path) { Opened(path); }

    // Save must ask for a name: nothing named yet, or the file is Temp.csp.
    bool NeedsName() const;
    bool IsTemp(const std::string& path) const;
    // Where the file dialogs start: the last file's folder with its separator; "" for none.
    std::string StartFolder() const;

    const std::string& GetTempPath() const { return m_strTempPath; }
    const std::string& GetFile() const { return m_strFile; }
    const std::string& GetTitle() const { return m_strTitle; }

private:
    std::string m_strTempPath;
    std::string& m_strLastFile;
    std::string m_strUntitled;
    std::string m_strFile;
    std::string m_strTitle;
};
