// The projectors the simulator can pretend to be.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class EIdentify {
    Level4,     // answers the Level 4 identification request
    Level5Only, // refuses it, identifies through a Level 5 stack get of 0x0004
    Silent,     // answers nothing at all
};

struct SSimModel {
    const char* pszName;
    uint32_t nIdent; // identification bytes: family (high word), model code (low word)
    EIdentify eIdentify;
    bool bStackCapable;    // knows the stack items 0x1000, 0x1001, 0x1006
    int nAudioVariant;     // 0: SRS SPACE/CENTER (0x0208, 0x0209); 1: 3D Sound (0x0205)
    bool bBlackWhiteLevel; // knows 0x0508 and 0x0509
};

const SSimModel* FindSimModel(const std::string& name);
std::vector<std::string> SimModelNames();
