// Receiving handlers that keep nothing: the transfer tests look at the simulator, not the model.
#pragma once
#include "link_receiver.h"

class CQuietEvents : public IReceiverEvents {
public:
    void OnSentValue(uint16_t, int32_t, int) override {}
    bool OnNotifiedValue(uint16_t, const unsigned char*, uint32_t, int) override { return true; }
    void OnMultiByte(const SReceivedFrame&, int) override {}
    void OnLockEntries(const unsigned char*, uint32_t) override {}
    void OnItemChanged(uint16_t, bool, int) override {}
};
