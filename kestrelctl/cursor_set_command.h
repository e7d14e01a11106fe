// kestrelctl cursors FILE.csp: sends a cursor/stamp set as the main program does.
#pragma once
#include <string>

// Exit statuses beyond the session's own.
enum ECursorsStatus {
    CURSORS_SEND_FAILED = 6, // the projector did not take the set, or Ctrl+C stopped it
    CURSORS_BAD_FILE = 7,    // not a sendable set; nothing was sent
};

// progressBar draws the percent sent on standard error.
int SendCursorSetFile(const std::string& device, const std::string& path, bool progressBar);
