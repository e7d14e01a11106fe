// The texts of the status page, from the values in the setting table.
#pragma once
#include <cstdint>
#include <string>

struct SLampText {
    std::string strText;
    bool bWarning; // painted in red
};
// Hours below 10 show "0"; the warning starts at the model's replacement threshold.
SLampText LampText(int32_t hours, uint16_t modelCode);

// Frequencies in 0.01 units: horizontal to two decimals (kHz), vertical to one (Hz).
std::string HorizontalFrequencyText(int32_t h, bool signalValid);
std::string VerticalFrequencyText(int32_t v, bool signalValid);
std::string ResolutionText(int32_t width, int32_t height, bool signalValid);

struct SSyncTexts {
    std::string strHorizontal;
    std::string strVertical;
    std::string strMode;
};
SSyncTexts SyncTexts(int32_t sync, bool signalValid);

// String numbers of the video signal names (300 "------", 302 "NTSC" .. 315 "1080p").
struct SVideoSignalText {
    unsigned int nStringId;
    bool bBrackets;
};
SVideoSignalText VideoSignalText(bool signalValid, int inputCode, int32_t choice, int32_t detected);

// The frequency group shows for computer input; the video signal group otherwise.
bool ShowsFrequencyGroup(bool computerInput, int inputCode);
// "AUTO" next to the video signal while the choice is Auto, for video input only.
bool ShowsAutoLabel(bool computerInput, int inputCode, int32_t choice);

// The preset dialog's refresh text: like the vertical frequency.
std::string RefreshText(int32_t v);
