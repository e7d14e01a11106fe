#include "watch_command.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "command_line.h"
#include "interrupt_guard.h"
#include "json_line.h"
#include "setting_items.h"
#include "zelq_items.h"

namespace {
struct SNamedValue {
    int32_t value;
    const char* text;
};

const SNamedValue kPower[] = {{0x00, "standby"}, {0x01, "on"}, {0x10, "warming up"}, {0x11, "cooling down"}};
const SNamedValue kInputs[] = {{16, "computer"}, {33, "video"}, {34, "video"}, {64, "further input"}};
// The warning bits in their order, low bit first.
const char* const kWarnings[] = {"cooling fan problem", "lamp fuse problem", "too hot", "lamp near its end",
                                 "lamp near its end", "lamp problem", "stack state abnormal", "internal problem"};

template <size_t N>
std::string Named(const SNamedValue (&table)[N], int32_t value)
{
    for (const SNamedValue& entry : table)
        if (entry.value == value)
            return entry.text;
    return "unknown";
}

std::string WarningText(int32_t bits)
{
    std::string text;
    for (int bit = 0; bit < 8; ++bit)
        if (bits & (1 << bit))
            text += (text.empty() ? "" : ", ") + std::string(kWarnings[bit]);
    return text.empty() ? "no warning" : text;
}

// Local time to the millisecond, as an installer compares it with a wall clock.
std::string Stamp()
{
    using namespace std::chrono;
    const system_clock::time_point now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    long ms = static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text) + "." + std::to_string(1000 + ms).substr(1);
}

void PrintReport(const SReport& report, bool json)
{
    int32_t value = DecodeItemValue(report.item, report.parameter);
    std::string name = ReportItemName(report.item);
    std::string meaning = ReportMeaning(report.item, value);
    char code[8];
    std::snprintf(code, sizeof code, "0x%04X", report.item);
    if (json) {
        CJsonLine object;
        object.Text("time", Stamp()).Number("projector", report.projector).Text("item", code).Text("name", name);
        object.Number("value", value).Text("meaning", meaning).Print();
        return;
    }
    std::printf("%s projector %d %s %s %ld%s%s\n", Stamp().c_str(), report.projector, code, name.c_str(),
                static_cast<long>(value), meaning.empty() ? "" : " ", meaning.c_str());
    std::fflush(stdout);
}
} // namespace

std::string ReportItemName(uint16_t item)
{
    switch (item) {
    case kItemPower:
        return "power";
    case kItemResetAll:
        return "busy";
    case kItemWarnings:
        return "warnings";
    case kItemLampHours:
        return "lamp hours";
    case kItemInput:
        return "input";
    case kItemSignal:
        return "signal";
    default:
        return *ItemName(item) ? ItemName(item) : "item";
    }
}

std::string ReportMeaning(uint16_t item, int32_t value)
{
    switch (item) {
    case kItemPower:
        return Named(kPower, value);
    case kItemResetAll:
        return value == 0 ? "busy" : "ready";
    case kItemWarnings:
        return WarningText(value);
    case kItemLampHours:
        return std::to_string(value) + " hours";
    case kItemInput:
        return Named(kInputs, value & 0xFF);
    case kItemSignal:
        value &= 0xFF;
        return value == 1 || (value >= 224 && value <= 233) ? "valid signal" : "no valid signal";
    default:
        return "";
    }
}

int RunWatch(CProjectorSession& session, long seconds, bool json)
{
    const SProjectorModel* model = nullptr;
    std::string message;
    ESessionStatus status = session.Identify(model, message);
    if (status != SESSION_OK)
        return Fail(status, message);
    // The first, empty wait opens the Level 5 line: from the notice on, no report is missed.
    SReport report;
    status = session.NextReport(0, report, message);
    if (status == SESSION_OK)
        PrintReport(report, json);
    else if (status != SESSION_NO_RESPONSE)
        return Fail(status, message);
    std::fprintf(stderr, "kestrelctl: watching the %s on %s; Ctrl+C ends.\n", model->szTypeCode, session.Device().c_str());
    CInterruptGuard interrupts;
    using namespace std::chrono;
    const steady_clock::time_point end = steady_clock::now() + std::chrono::seconds(seconds);
    int result = SESSION_OK;
    // Short waits, so Ctrl+C and the end are noticed promptly.
    while (!CInterruptGuard::Interrupted() && (seconds == 0 || steady_clock::now() < end)) {
        status = session.NextReport(200, report, message);
        if (status == SESSION_OK) {
            PrintReport(report, json);
        } else if (status != SESSION_NO_RESPONSE) {
            result = Fail(status, message);
            break;
        }
    }
    return result;
}
