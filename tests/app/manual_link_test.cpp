// The manual's URL and the browser command line built from an association's command.
#include "manual_link.h"

#include <gtest/gtest.h>

namespace {

TEST(ManualLinkTest, FileUrlOfWindowsPaths)
{
    const struct {
        const char* pszPath;
        const char* pszTopic;
        const char* pszUrl;
    } cases[] = {
        {"C:\\Kestrel\\Kestrel4.html", "", "file:///C:/Kestrel/Kestrel4.html"},
        {"C:\\Program Files\\Kestrel\\Kestrel4.html", "logo-area",
         "file:///C:/Program%20Files/Kestrel/Kestrel4.html#logo-area"},
        // Characters that would end the path or start a query or fragment of their own.
        {"D:\\A#1\\50%\\x?\\Kestrel4.html", "t", "file:///D:/A%231/50%25/x%3F/Kestrel4.html#t"},
        {"Z:\\tmp\\a&b (1)\\Kestrel4.html", "", "file:///Z:/tmp/a%26b%20%281%29/Kestrel4.html"},
        // UTF-8 bytes are escaped one by one, as a browser reads them back.
        {"C:\\Pr\xC3\xA4sentation\\Kestrel4.html", "", "file:///C:/Pr%C3%A4sentation/Kestrel4.html"},
        {"\\\\server\\tools\\Kestrel4.html", "status", "file://server/tools/Kestrel4.html#status"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszUrl, ManualFileUrl(c.pszPath, c.pszTopic)) << c.pszPath;
}

TEST(ManualLinkTest, BrowserCommandLineTakesTheUrlWhereTheCommandWantsIt)
{
    const std::string url = "file:///C:/K/Kestrel4.html#logo-area";
    const struct {
        const char* pszCommand;
        std::string strLine;
    } cases[] = {
        {"\"C:\\Web\\web.exe\" --single-argument %1", "\"C:\\Web\\web.exe\" --single-argument " + url},
        {"\"C:\\Web\\web.exe\" -osint -url \"%1\"", "\"C:\\Web\\web.exe\" -osint -url \"" + url + "\""},
        {"C:\\Web\\web.exe %L", "C:\\Web\\web.exe " + url},
        {"C:\\Web\\web.exe %l", "C:\\Web\\web.exe " + url},
        {"C:\\Web\\web.exe %0", "C:\\Web\\web.exe " + url},
        {"C:\\Web\\web.exe %*", "C:\\Web\\web.exe " + url},
        // No place for the argument: it goes at the end, quoted.
        {"\"C:\\Web\\web.exe\"", "\"C:\\Web\\web.exe\" \"" + url + "\""},
        {"C:\\Web\\web.exe -new", "C:\\Web\\web.exe -new \"" + url + "\""},
        // Further arguments are empty; %% is a percent sign; environment strings stay.
        {"web.exe \"%1\" %2 %3", "web.exe \"" + url + "\"  "},
        {"web.exe --rate=100%% %1", "web.exe --rate=100% " + url},
        {"%WEB%\\web.exe %1", "%WEB%\\web.exe " + url},
        {"web.exe %1 100%", "web.exe " + url + " 100%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.strLine, BrowserCommandLine(c.pszCommand, url)) << c.pszCommand;
}

} // namespace
