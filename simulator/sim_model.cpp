#include "sim_model.h"

namespace {
const SSimModel kModels[] = {
    {"KT-C310", 0x00014310, EIdentify::Level4, true, 0, true},
    {"KT-A120", 0x00013011, EIdentify::Level4, true, 0, true},
    {"KT-B212", 0x00013020, EIdentify::Level4, false, 1, false},
    {"KT-B213", 0x00013021, EIdentify::Level4, false, 1, false},
    {"KT-A101", 0x00012022, EIdentify::Level4, false, 1, false},
    // A newer projector of the first model's kind that no longer speaks Level 4.
    {"level5-only", 0x00014310, EIdentify::Level5Only, true, 0, true},
    // The family word is wrong, so no row of the computer's table matches.
    {"unknown", 0x00024310, EIdentify::Level4, false, 1, false},
    {"silent", 0x00014310, EIdentify::Silent, false, 1, false},
};
} // namespace

const SSimModel* FindSimModel(const std::string& name)
{
    for (const auto& model : kModels)
        if (name == model.pszName)
            return &model;
    return nullptr;
}

std::vector<std::string> SimModelNames()
{
    std::vector<std::string> names;
    for (const auto& model : kModels)
        names.push_back(model.pszName);
    return names;
}
