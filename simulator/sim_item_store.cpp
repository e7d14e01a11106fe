#include "sim_item_store.h"

const char* StoreResultName(EStoreResult result)
{
    switch (result) {
    case EStoreResult::Ok:
        return "ok";
    case EStoreResult::UnknownItem:
        return "unknown item";
    case EStoreResult::BadAddress:
        return "bad address";
    case EStoreResult::BadLength:
        return "wrong value length";
    case EStoreResult::OutOfRange:
        return "value out of range";
    case EStoreResult::ReadOnly:
        return "read-only item";
    case EStoreResult::NoReset:
        return "item cannot be reset";
    case EStoreResult::WrongState:
        return "not in the projector's present state";
    }
    return "?";
}

bool SItemDef::Accepts(long long value) const
{
    if (value < nMin || value > nMax || (value - nMin) % nStep != 0)
        return false;
    return value < nGapMin || value > nGapMax;
}

long long SItemDef::Decode(const std::vector<uint8_t>& bytes) const
{
    return (nFlags & ITEM_UNSIGNED) ? CItemStore::DecodeUnsigned(bytes) : CItemStore::Decode(bytes);
}

SItemDef CItemStore::Value(uint16_t code, unsigned int width, long long min, long long max, long long factory,
                           unsigned int flags)
{
    SItemDef def;
    def.wCode = code;
    def.nWidth = width;
    def.nMin = min;
    def.nMax = max;
    def.factory = Encode(factory, width);
    def.nFlags = flags;
    return def;
}

SItemDef CItemStore::Stepped(uint16_t code, unsigned int width, long long min, long long max, long long step,
                             long long factory)
{
    SItemDef def = Value(code, width, min, max, factory);
    def.nStep = step;
    return def;
}

SItemDef CItemStore::Gapped(uint16_t code, long long min, long long max, long long gapMin, long long gapMax,
                            long long factory, unsigned int flags)
{
    SItemDef def = Value(code, 1, min, max, factory, flags);
    def.nGapMin = gapMin;
    def.nGapMax = gapMax;
    return def;
}

SItemDef CItemStore::Block(uint16_t code, std::vector<uint8_t> factory, unsigned int flags)
{
    SItemDef def;
    def.wCode = code;
    def.nWidth = static_cast<unsigned int>(factory.size());
    def.nMin = 0;
    def.nMax = 0;
    def.factory = std::move(factory);
    def.nFlags = flags;
    return def;
}

std::vector<SItemDef> CItemStore::DefaultItems()
{
    // What the projector measures or counts: never set by the computer, never reset.
    const unsigned int STATUS = ITEM_READ_ONLY | ITEM_NO_RESET;
    const unsigned int CODE = ITEM_UNSIGNED;
    std::vector<uint8_t> presets;
    for (int i = 0; i < 5; ++i) {
        std::vector<uint8_t> empty(15, 0);
        empty[0] = empty[1] = 0xFF; // an unused preset slot
        presets.insert(presets.end(), empty.begin(), empty.end());
    }
    return {
        Value(0x0000, 1, 0, 2, 0, ITEM_NO_RESET),                 // PC link mode: off, on, bulk transfer
        Value(0x0003, 1, 0, 1, 0x01, ITEM_NO_RESET | CODE),       // power state; a set switches on or off
        Value(0x0006, 1, 0, 3, 0, ITEM_NO_RESET),                 // line speed index
        Value(0x0007, 1, 0, 0, 1, ITEM_NO_RESET),                 // reset all (command 0); reads 1 when idle
        Value(0x0009, 2, 0, 65535, 500, STATUS | CODE),           // lamp hours
        Block(0x000A, std::vector<uint8_t>(5, 0), ITEM_NO_RESET), // remote-control key bits
        Block(0x000D, std::vector<uint8_t>(48, 0), STATUS), Value(0x0010, 1, 0, 2, 1), // cursor speed
        Value(0x0012, 1, 0, 255, 0, STATUS | CODE),                                    // warning bits
        Value(0x0100, 1, 0, 255, 16, STATUS | CODE),                                   // input source: computer
        Value(0x0101, 1, 0, 255, 1, STATUS | CODE), // detected signal: a computer signal
        Value(0x0200, 1, 0, 31, 16), Value(0x0205, 1, 0, 5, 0), Value(0x0206, 1, -6, 6, 0), Value(0x0207, 1, -6, 6, 0),
        Value(0x0208, 1, 0, 6, 0), Value(0x0209, 1, 0, 6, 0), Value(0x0300, 1, -30, 30, 0),
        Value(0x0301, 1, -30, 30, 0), Value(0x0302, 1, 0, 63, 16),
        Stepped(0x0303, 2, -32768, 32766, 2, 0),       // tracking moves in steps of two
        Value(0x0304, 2, -32768, 32767, 1344, STATUS), // tracking base: total pixels of the line
        Value(0x0306, 1, -30, 30, 0), Value(0x0307, 1, -30, 30, 0), Value(0x0308, 1, -30, 30, 0),
        // Frequencies in 0.01 kHz and 0.01 Hz, resolution in pixels: two 32-bit words each.
        Block(0x030A, {0x00, 0x00, 0x12, 0xE4, 0x00, 0x00, 0x17, 0x70}, STATUS), // 48.36 kHz, 60.00 Hz
        Block(0x030B, {0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00}, STATUS), // 1024 x 768
        Value(0x030D, 1, -6, 5, 0),
        Gapped(0x030E, 0, 132, 33, 127, 0, CODE),        // Auto, the 32 listed resolutions, Preset1-5
        Value(0x030F, 1, 0, 4, 0, ITEM_NO_RESET),        // register preset N
        Value(0x0310, 3, 0, 0xFFFFFF, 0x000000, STATUS), // H and V polarity negative, separate sync
        Block(0x0311, presets, STATUS), Value(0x0400, 1, -15, 15, 0), Value(0x0401, 1, -15, 15, 0),
        Value(0x0402, 1, -5, 6, 0), Value(0x0403, 1, -15, 15, 0), Value(0x0404, 1, -15, 15, 0),
        Value(0x0405, 1, 0, 8, 0), Value(0x0500, 2, -32768, 32767, 0), Value(0x0501, 2, -32768, 32767, 0),
        Value(0x0502, 1, 0, 1, 0), Value(0x0503, 1, 0, 1, 0), Value(0x0504, 1, -5, 5, 0), Value(0x0508, 1, 0, 63, 0),
        Value(0x0509, 1, -63, 0, 0), Value(0x050A, 1, 0, 1, 0), Value(0x0600, 1, 0, 15, 0), Value(0x0603, 1, 0, 1, 1),
        Value(0x0604, 1, 0, 2, 1), Value(0x0608, 1, 0, 2, 2), Value(0x0609, 1, 0, 1, 0),
        Value(0x060C, 2, -32768, 32767, 0), Value(0x060D, 1, 0, 255, 0, CODE),
        // Index and value of one of three gamma points; the simulator keeps all three.
        Value(0x060E, 2, 0x0000, 0x02FF, 0, CODE), Value(0x060F, 1, -127, 127, 0), Value(0x0610, 1, 0, 1, 1),
        Value(0x0611, 1, 0, 3, 0), Value(0x0612, 1, 0, 1, 0), Value(0x0700, 1, -128, 127, 0), Value(0x0708, 1, 0, 1, 0),
        Value(0x0900, 3, 0, 0xFFFFFF, 0),         // block address of a bulk transfer
        Value(0x1001, 2, 0, 1, 0, ITEM_NO_RESET), // stack established
        Value(0x1006, 1, 0, 1, 0),                // source switching
    };
}

void CItemStore::Define(const SItemDef& def)
{
    SItem& item = m_Items[def.wCode];
    item.def = def;
    for (auto& value : item.values)
        value = def.factory;
}

void CItemStore::Remove(uint16_t code)
{
    m_Items.erase(code);
}

bool CItemStore::SetRange(uint16_t code, long long min, long long max)
{
    SItem* item = Find(code);
    if (!item || item->def.nWidth > 4 || min > max)
        return false;
    item->def.nMin = min;
    item->def.nMax = max;
    return true;
}

const CItemStore::SItem* CItemStore::Find(uint16_t code) const
{
    auto it = m_Items.find(code);
    return it == m_Items.end() ? nullptr : &it->second;
}

CItemStore::SItem* CItemStore::Find(uint16_t code)
{
    auto it = m_Items.find(code);
    return it == m_Items.end() ? nullptr : &it->second;
}

const SItemDef* CItemStore::Def(uint16_t code) const
{
    const SItem* item = Find(code);
    return item ? &item->def : nullptr;
}

static bool ValidAddress(int address)
{
    return address >= 1 && address <= CItemStore::kAddresses;
}

EStoreResult CItemStore::Get(int address, uint16_t code, std::vector<uint8_t>& out) const
{
    const SItem* item = Find(code);
    if (!item)
        return EStoreResult::UnknownItem;
    if (!ValidAddress(address))
        return EStoreResult::BadAddress;
    out = item->values[address - 1];
    return EStoreResult::Ok;
}

EStoreResult CItemStore::Set(int address, uint16_t code, const std::vector<uint8_t>& value)
{
    SItem* item = Find(code);
    if (!item)
        return EStoreResult::UnknownItem;
    if (!ValidAddress(address))
        return EStoreResult::BadAddress;
    if (item->def.nFlags & ITEM_READ_ONLY)
        return EStoreResult::ReadOnly;
    if (value.size() != item->def.nWidth)
        return EStoreResult::BadLength;
    if (item->def.nWidth <= 4 && !item->def.Accepts(item->def.Decode(value)))
        return EStoreResult::OutOfRange;
    item->values[address - 1] = value;
    return EStoreResult::Ok;
}

EStoreResult CItemStore::Reset(int address, uint16_t code, std::vector<uint8_t>& out)
{
    SItem* item = Find(code);
    if (!item)
        return EStoreResult::UnknownItem;
    if (!ValidAddress(address))
        return EStoreResult::BadAddress;
    if (item->def.nFlags & ITEM_NO_RESET)
        return EStoreResult::NoReset;
    item->values[address - 1] = item->def.factory;
    out = item->def.factory;
    return EStoreResult::Ok;
}

EStoreResult CItemStore::Poke(int address, uint16_t code, const std::vector<uint8_t>& value)
{
    SItem* item = Find(code);
    if (!item)
        return EStoreResult::UnknownItem;
    if (!ValidAddress(address))
        return EStoreResult::BadAddress;
    if (value.size() != item->def.nWidth)
        return EStoreResult::BadLength;
    item->values[address - 1] = value;
    return EStoreResult::Ok;
}

EStoreResult CItemStore::PokeValue(int address, uint16_t code, long long value)
{
    const SItem* item = Find(code);
    if (!item)
        return EStoreResult::UnknownItem;
    if (item->def.nWidth > 4)
        return EStoreResult::BadLength;
    return Poke(address, code, Encode(value, item->def.nWidth));
}

EStoreResult CItemStore::GetValue(int address, uint16_t code, long long& value) const
{
    std::vector<uint8_t> bytes;
    EStoreResult result = Get(address, code, bytes);
    if (result == EStoreResult::Ok && bytes.size() > 4)
        return EStoreResult::BadLength;
    if (result == EStoreResult::Ok)
        value = Def(code)->Decode(bytes);
    return result;
}

void CItemStore::ResetAll(int address)
{
    if (!ValidAddress(address))
        return;
    for (auto& entry : m_Items) {
        SItem& item = entry.second;
        if (!(item.def.nFlags & ITEM_NO_RESET))
            item.values[address - 1] = item.def.factory;
    }
}

long long CItemStore::Decode(const std::vector<uint8_t>& bytes)
{
    long long value = 0;
    for (uint8_t b : bytes)
        value = (value << 8) | b;
    if (bytes.size() == 1)
        return static_cast<int8_t>(value);
    if (bytes.size() == 2)
        return static_cast<int16_t>(value);
    if (bytes.size() == 4)
        return static_cast<int32_t>(value);
    return value;
}

long long CItemStore::DecodeUnsigned(const std::vector<uint8_t>& bytes)
{
    long long value = 0;
    for (uint8_t b : bytes)
        value = (value << 8) | b;
    return value;
}

std::vector<uint8_t> CItemStore::Encode(long long value, unsigned int width)
{
    std::vector<uint8_t> bytes(width);
    for (unsigned int i = 0; i < width; ++i)
        bytes[width - 1 - i] = static_cast<uint8_t>(static_cast<unsigned long long>(value) >> (8 * i));
    return bytes;
}
