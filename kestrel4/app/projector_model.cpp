#include "projector_model.h"

namespace {
const SProjectorModel kModels[] = {
    {1, 0x4310, "KT-C310", 2, 1, 0, 1, 1}, {1, 0x3011, "KT-A120", 1, 1, 0, 1, 1}, {1, 0x3020, "KT-B212", 1, 1, 1, 0, 0},
    {1, 0x3021, "KT-B213", 1, 1, 1, 0, 0}, {1, 0x2022, "KT-A101", 0, 1, 1, 0, 0},
};
} // namespace

const SProjectorModel kUnrecognisedModel = {1, 0x0303, "", 1, 1, 1, 0, 0};

const SProjectorModel* ProjectorModels(unsigned int& count)
{
    count = sizeof kModels / sizeof kModels[0];
    return kModels;
}

const SProjectorModel* FindProjectorModel(const unsigned char* reply, unsigned int length)
{
    unsigned char b[4] = {0, 0, 0, 0};
    for (unsigned int i = 0; i < 4 && i < length; ++i)
        b[i] = reply[i];
    unsigned int family = b[0] * 256u + b[1];
    unsigned int code = b[2] * 256u + b[3];
    for (const SProjectorModel& model : kModels) {
        if (model.wFamily == family && model.wModelCode == code)
            return &model;
    }
    return nullptr;
}
