// The one-item commands (identify, get, set, reset), as a single run and a batch line share them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "projector_session.h"

struct SItemCommand {
    std::string verb; // identify, get, set, reset
    uint16_t item = 0;
    int32_t value = 0; // set
    unsigned int width = 0; // set: bytes on the wire; 0 = the item's own
    int stack = 0;
    unsigned char address = 1;
};

// Reads words such as {"set", "0x0300", "-10"}; false with a message for what is wrong.
bool ParseItemCommand(const std::vector<std::string>& words, SItemCommand& command, std::string& error);

struct SItemResult {
    ESessionStatus status = SESSION_OK;
    std::string message; // when status is not SESSION_OK
    bool bValue = false; // get, reset with an answer
    int32_t value = 0;
    std::string type; // identify
};

// Runs the command on the session.
SItemResult RunItemCommand(CProjectorSession& session, const SItemCommand& command);
// The result as text: the value, the type code, or "" for a set.
std::string ItemResultText(const SItemResult& result);
