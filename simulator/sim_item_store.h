// The settings a projector holds: one value per item code for each projector address 1-4,
// kept as the big-endian bytes that go over the line.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

enum : unsigned int {
    ITEM_READ_ONLY = 1, // a set is refused
    ITEM_NO_RESET = 2,  // a reset is refused
    ITEM_UNSIGNED = 4,  // codes and counts: 0x80 is 128, not -128
};

struct SItemDef {
    uint16_t wCode = 0;
    unsigned int nWidth = 1; // value bytes; above 4 the value is a block of bytes
    long long nMin = -128;   // range of a set, for widths 1-4
    long long nMax = 127;
    long long nStep = 1;   // a set must be nMin plus a multiple of it
    long long nGapMin = 1; // values nGapMin..nGapMax inside the range are refused too
    long long nGapMax = 0;
    std::vector<uint8_t> factory; // nWidth bytes
    unsigned int nFlags = 0;

    bool Accepts(long long value) const;
    long long Decode(const std::vector<uint8_t>& bytes) const; // by the item's signedness
};

enum class EStoreResult { Ok, UnknownItem, BadAddress, BadLength, OutOfRange, ReadOnly, NoReset, WrongState };

const char* StoreResultName(EStoreResult result);

class CItemStore {
public:
    static constexpr int kAddresses = 4;

    // Plain value item of 1-4 bytes.
    static SItemDef Value(uint16_t code, unsigned int width, long long min, long long max, long long factory,
                          unsigned int flags = 0);
    // The same with a step or a gap in its range.
    static SItemDef Stepped(uint16_t code, unsigned int width, long long min, long long max, long long step,
                            long long factory);
    static SItemDef Gapped(uint16_t code, long long min, long long max, long long gapMin, long long gapMax,
                           long long factory, unsigned int flags = 0);
    // Block item whose value is a fixed string of bytes.
    static SItemDef Block(uint16_t code, std::vector<uint8_t> factory, unsigned int flags = ITEM_READ_ONLY);
    // The items a projector of this family knows, before a model removes the ones it lacks.
    static std::vector<SItemDef> DefaultItems();

    void Define(const SItemDef& def); // every address gets the factory value
    void Remove(uint16_t code);
    // A narrower or wider range for sets of a value item; the stored values stay.
    bool SetRange(uint16_t code, long long min, long long max);
    const SItemDef* Def(uint16_t code) const;

    EStoreResult Get(int address, uint16_t code, std::vector<uint8_t>& out) const;
    EStoreResult Set(int address, uint16_t code, const std::vector<uint8_t>& value);
    EStoreResult Reset(int address, uint16_t code, std::vector<uint8_t>& out);
    // Store bytes of the item's width without range or read-only checks (tests, control commands).
    EStoreResult Poke(int address, uint16_t code, const std::vector<uint8_t>& value);
    EStoreResult PokeValue(int address, uint16_t code, long long value);
    EStoreResult GetValue(int address, uint16_t code, long long& value) const;
    // Every item that may be reset goes back to its factory value.
    void ResetAll(int address);

    // One, two and four byte values are signed, as the computer keeps them; three bytes are not.
    static long long Decode(const std::vector<uint8_t>& bytes);
    static long long DecodeUnsigned(const std::vector<uint8_t>& bytes);
    static std::vector<uint8_t> Encode(long long value, unsigned int width);

private:
    struct SItem {
        SItemDef def;
        std::vector<uint8_t> values[kAddresses];
    };
    const SItem* Find(uint16_t code) const;
    SItem* Find(uint16_t code);

    std::map<uint16_t, SItem> m_Items;
};
