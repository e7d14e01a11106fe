// A frame as the main window keeps it: the last one received and the last one sent.
#pragma once
#include <cstdint>

struct SReceivedFrame {
    unsigned char Frame[65536];
    uint32_t nFrameLength;
    unsigned char Attr; // the attribute nibble (Level 5) or byte (Level 4)
    uint16_t wItem;
    unsigned char Parameter[65528];
    uint32_t nParameterLength;
    int32_t bRefused; // Level 5: the OK flag; Level 4: 0
};
