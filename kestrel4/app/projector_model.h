// The projector models Kestrel knows, and recognition from the identification reply.
#pragma once
#include <cstdint>

struct SProjectorModel {
    uint16_t wFamily;
    uint16_t wModelCode;
    char szTypeCode[8];
    unsigned char nLogoZoom;     // default user-logo zoom: 0 = 100 %, 1 = 150 %, 2 = 200 %
    unsigned char nDisplayScale; // scale of the bitmap preview window
    unsigned char nAudioVariant; // 0 = SRS SPACE / SRS CENTER, 1 = a single 3D Sound control
    int32_t bBlackWhiteLevel;
    int32_t bStackCapable;
};

// What the program assumes before any projector has been recognised.
extern const SProjectorModel kUnrecognisedModel;

// The model table in search order.
const SProjectorModel* ProjectorModels(unsigned int& count);

// The row whose family and model code equal reply bytes b0..b3 (big-endian pairs; a missing
// byte counts as 0), or null for a projector the table does not know.
const SProjectorModel* FindProjectorModel(const unsigned char* reply, unsigned int length);
