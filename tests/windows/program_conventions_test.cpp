#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring ProgramFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

struct SVersion {
    bool bFound = false;
    std::wstring product, productVersion, fileVersion;
    DWORD nFileMS = 0, nFileLS = 0;
};

std::wstring QueryString(std::vector<char>& block, const wchar_t* name)
{
    std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* pValue = nullptr;
    UINT nLength = 0;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&pValue), &nLength) || !pValue)
        return L"<missing>";
    return std::wstring(pValue, nLength ? nLength - 1 : 0);
}

SVersion ReadVersion(const std::wstring& file)
{
    SVersion version;
    DWORD nSize = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    if (nSize == 0)
        return version;
    std::vector<char> block(nSize);
    if (!GetFileVersionInfoW(file.c_str(), 0, nSize, block.data()))
        return version;
    version.bFound = true;
    version.product = QueryString(block, L"ProductName");
    version.productVersion = QueryString(block, L"ProductVersion");
    version.fileVersion = QueryString(block, L"FileVersion");
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLength = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&pFixed), &nLength) && pFixed) {
        version.nFileMS = pFixed->dwFileVersionMS;
        version.nFileLS = pFixed->dwFileVersionLS;
    }
    return version;
}

// The manifest resource the loader applies at process start, or "" when there is none.
std::string ReadManifest(const std::wstring& file)
{
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return "<cannot open>";
    std::string text;
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (resource) {
        HGLOBAL data = LoadResource(module, resource);
        const char* pBytes = static_cast<const char*>(LockResource(data));
        if (pBytes)
            text.assign(pBytes, SizeofResource(module, resource));
    }
    FreeLibrary(module);
    return text;
}

struct SShipped {
    const wchar_t* pszFile;
    bool bProgram; // programs carry the manifest, libraries do not
};

TEST(ProgramConventions, EveryShippedFileNamesKestrelAndTheBuildVersion)
{
    const SShipped files[] = {{L"Kestrel4.exe", true},
                              {L"kestrelctl.exe", true},
                              {L"Glyphpad.exe", true},
                              {L"Serilox.dll", false},
                              {L"Tapline.dll", false}};
    const std::wstring expected(KESTREL_VERSION, KESTREL_VERSION + sizeof(KESTREL_VERSION) - 1);
    unsigned nMajor = 0, nMinor = 0, nPatch = 0;
    ASSERT_EQ(sscanf(KESTREL_VERSION, "%u.%u.%u", &nMajor, &nMinor, &nPatch), 3);
    for (const SShipped& shipped : files) {
        std::wstring path = ProgramFolder() + shipped.pszFile;
        SCOPED_TRACE(Narrow(shipped.pszFile));
        SVersion version = ReadVersion(path);
        ASSERT_TRUE(version.bFound);
        EXPECT_EQ(Narrow(version.product), "Kestrel");
        EXPECT_EQ(Narrow(version.productVersion), KESTREL_VERSION);
        EXPECT_EQ(Narrow(version.fileVersion), KESTREL_VERSION);
        EXPECT_EQ(version.nFileMS, (nMajor << 16) | nMinor);
        EXPECT_EQ(version.nFileLS, nPatch << 16);

        std::string manifest = ReadManifest(path);
        if (!shipped.bProgram) {
            EXPECT_EQ(manifest, "");
            continue;
        }
        for (const char* pszPart :
             {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">PerMonitorV2<", "level=\"asInvoker\""})
            EXPECT_NE(manifest.find(pszPart), std::string::npos) << pszPart;
    }
}

// This program carries the same manifest and start-up code as the shipped ones. Common
// controls 6 is a side-by-side assembly: loaded by name, comctl32 comes from its folder
// only when the process's manifest asks for it (else from the system folder).
TEST(ProgramConventions, ManifestBringsCommonControlsSix)
{
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(comctl, szPath, MAX_PATH);
    FreeLibrary(comctl);
    std::string path = Narrow(szPath);
    for (char& c : path)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(path.find("\\winsxs\\"), std::string::npos) << path;
    EXPECT_NE(path.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
}

// A library of the same name in the current directory must not be picked up: only the
// program's folder and the system's count.
TEST(ProgramConventions, LibrariesAreNotLoadedFromTheCurrentDirectory)
{
    wchar_t szTemp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, szTemp), 0u);
    std::wstring folder = std::wstring(szTemp) + L"kestrel-dll-search-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring planted = folder + L"\\kestrel_planted.dll";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Tapline.dll").c_str(), planted.c_str(), FALSE));

    wchar_t szOld[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, szOld);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    HMODULE byName = LoadLibraryW(L"kestrel_planted.dll");
    SetCurrentDirectoryW(szOld);
    HMODULE byPath = LoadLibraryW(planted.c_str());

    EXPECT_EQ(byName, nullptr);
    // The file itself is a loadable library: the refusal above is the search order's.
    EXPECT_NE(byPath, nullptr);
    if (byName)
        FreeLibrary(byName);
    if (byPath)
        FreeLibrary(byPath);
    DeleteFileW(planted.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
