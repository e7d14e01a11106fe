// kestrelctl watch: the projector's own reports, time-stamped and decoded, as they arrive.
#pragma once
#include <cstdint>
#include <string>

#include "projector_session.h"

// What a report's value means: "on", "cooling down", "lamp fuse problem"..., or "" when the
// item has no meaning beyond its number.
std::string ReportMeaning(uint16_t item, int32_t value);
// A report's item as a word: "power", "busy", "warnings"..., or the setting's name.
std::string ReportItemName(uint16_t item);

// Prints reports until Ctrl+C or seconds (0 = no limit) pass; the exit status.
int RunWatch(CProjectorSession& session, long seconds, bool json);
