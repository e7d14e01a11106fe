// What the connection needs of the setting model without depending on it: every received
// value goes there, and the values the connection reacts to (power, busy, warnings) are read
// back from it. The setting model registers itself.
#pragma once
#include <cstdint>

#include "link_receiver.h"

class IItemStore : public IReceiverEvents {
public:
    // The table value of item for projector 1..4.
    virtual int32_t GetItemValue(uint16_t item, int projector) const = 0;
    // Values the connection derives itself (the stack positions).
    virtual void PutItemValue(uint16_t item, int32_t value, int projector) = 0;
};

// Told of every item change the connection does not handle itself (the pages, and the
// presentation screen for the projector's effect requests).
class IItemListener {
public:
    virtual ~IItemListener() {}
    virtual void OnItemChanged(uint16_t item, bool fromProjector, int projector) = 0;
};
