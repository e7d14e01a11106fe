// The last known value of every item for up to four projectors. The bytes are also the
// projector setting file: slot s, code 0xGGII at s * 4096 + GG * 128 + II * 4, little-endian.
#pragma once
#include <climits>
#include <cstdint>

class CSettingTable {
public:
    static constexpr unsigned int kSlots = 4;
    static constexpr unsigned int kGroups = 32;
    static constexpr unsigned int kItems = 32;
    static constexpr unsigned int kBytes = kSlots * kGroups * kItems * 4;
    static constexpr unsigned int kSlotBytes = kBytes / kSlots;
    // A value the projector would not give when the table was saved: sends and comparisons
    // leave it out rather than take it for a setting. No item reports it (they are at most
    // two bytes wide, or read-only).
    static constexpr int32_t kUnread = INT32_MIN;

    CSettingTable();

    // Projector argument p: 1..4 = slot p - 1; 0 = slot 0 for reading and every slot for
    // writing. Other values read -1 and write nothing (the setting model resolves the current
    // projector). Codes outside the table read 0 and are not stored.
    int32_t GetItemValue(uint16_t item, int projector) const;
    void PutItemValue(uint16_t item, int32_t value, int projector);

    // The table as the setting file holds it, and back.
    void Save(unsigned char out[kBytes]) const;
    void Load(const unsigned char in[kBytes]);
    void Clear();

private:
    static bool IsInTable(uint16_t item) { return (item >> 8) < kGroups && (item & 0xFF) < kItems; }

    int32_t m_Values[kSlots][kGroups][kItems];
};
