// Opening the HTML manual at one of its sections: the file URL of the page and the command
// line that hands it to a browser. The window code asks the system which browser that is.
#pragma once
#include <string>

// The manual, beside the program.
extern const char kManualFileName[];
// Sections that dialogs open directly; each is an id of the page.
extern const char kManualTopicLogoArea[];

// The file URL of a Windows path given in UTF-8, with "#topic" when a topic is given:
// C:\Program Files\Kestrel4.html -> file:///C:/Program%20Files/Kestrel4.html, and a share
// \\server\dir\Kestrel4.html -> file://server/dir/Kestrel4.html.
std::string ManualFileUrl(const std::string& path, const std::string& topic);

// The command line of an association's open command with url as its argument: %1 (%0), %L and %*
// become the URL, %% one percent sign, the other numbered arguments nothing; a command with
// no place for the argument gets the URL appended in quotes. Environment strings (%Name%)
// are left as they are.
std::string BrowserCommandLine(const std::string& command, const std::string& url);
