// kestrelctl logo: a .bmp or .lgo sent as the user logo the way the program sends it
// (conversion, fitting, transfer image, raised speed, blocks, end).
#pragma once
#include <string>

#include "clock.h"
#include "logo_document.h"

struct SLogoOptions {
    std::string device;
    std::string file;
    int zoom = 0;       // percent; 0 = the file's (.lgo) or the model's default (.bmp)
    bool bArea = false; // use area instead of the file's own
    SArea area;
    bool bProgress = false;          // draw a bar on standard error
    IClock* pClock = &SystemClock(); // what the transfer's waits read
};

// Exit statuses beyond the session's.
enum { LOGO_CANCELLED = 6, LOGO_BAD_FILE = 7 };

// Runs the command: the process exit status, with a message for the user unless 0.
int SendLogoCommand(const SLogoOptions& options, std::string& message);
// The message for a file that cannot become a logo.
std::string DescribeLogoResult(ELogoResult result, const std::string& file);
