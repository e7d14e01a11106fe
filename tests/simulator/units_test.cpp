// The simulator's parts on their own: stream splitting, item store, fault plans, the control
// encoding.
#include "sim_test_support.h"

#include "fault_plan.h"
#include "frame_reader.h"
#include "item_store.h"
#include "sim_control.h"

namespace {

std::string Describe(const std::vector<SRxEvent>& events)
{
    static const char* kNames[] = {"frame", "bad-checksum", "bad-length", "stalled", "ack", "nak", "stray"};
    std::string text;
    for (const SRxEvent& event : events)
        text += std::string(text.empty() ? "" : " ") + kNames[static_cast<int>(event.eType)] + "(" +
                std::to_string(event.bytes.size()) + ")";
    return text;
}

std::vector<SRxEvent> FeedAll(CFrameReader& reader, const Bytes& bytes)
{
    std::vector<SRxEvent> events;
    for (uint8_t b : bytes)
        reader.Feed(b, 0, events);
    return events;
}

TEST(FrameReader, SplitsStreams)
{
    const Bytes ident = Hex("1B 06 02 00 04 F4");
    const Bytes stack = Hex("1D 00 09 01 01 00 06 01 EE");
    Bytes badChecksum = stack;
    badChecksum.back() ^= 0x01;
    struct {
        const char* pszName;
        bool bAsic;
        Bytes stream;
        const char* pszEvents;
    } cases[] = {
        {"short frame", false, ident, "frame(6)"},
        {"stack frame", false, stack, "frame(9)"},
        {"asic frame", true, AsicFrame(2, 0x0300, {0x05}), "frame(8)"},
        {"0x1D is plain data for asic", true, Hex("1D"), "stray(1)"},
        {"acks between frames", false, Join({{0x06}, ident, {0x15}}), "ack(1) frame(6) nak(1)"},
        {"wrong checksum", false, badChecksum, "bad-checksum(9)"},
        {"stray bytes", false, Hex("00 41 FF"), "stray(1) stray(1) stray(1)"},
        // Below the minimum the head is dropped and hunting resumes with the next byte.
        {"short length 5", false, Join({Hex("1B 05 00 00 00"), ident}), "bad-length(5) frame(6)"},
        {"stack length 7", false, Join({Hex("1D 00 07 00 00 00 00"), {0x06}}), "bad-length(7) ack(1)"},
        {"asic length 6", true, Join({Hex("1B 00 06 00 00 00"), {0x15}}), "bad-length(6) nak(1)"},
        {"start bytes inside a frame are data", false, ShortFrame(0x01, 0x0300, {0x1B}), "frame(7)"},
        {"minimum lengths complete", false, Join({ShortFrame(0x02, 0x0300), StackFrame(0x02, 1, 0, 0x0300)}),
         "frame(6) frame(8)"},
    };
    for (const auto& c : cases) {
        CFrameReader reader(c.bAsic, 1000000);
        EXPECT_EQ(Describe(FeedAll(reader, c.stream)), c.pszEvents) << c.pszName;
        EXPECT_EQ(reader.Deadline(), -1) << c.pszName;
    }
}

TEST(FrameReader, GivesUpAStalledFrameAtTheLimit)
{
    CFrameReader reader(false, 1000);
    std::vector<SRxEvent> events;
    for (uint8_t b : Hex("1B 08 02 00"))
        reader.Feed(b, 500, events);
    EXPECT_EQ(reader.Deadline(), 1501);
    reader.Poll(1500, events);
    EXPECT_TRUE(events.empty());
    reader.Poll(1501, events);
    EXPECT_EQ(Describe(events), "stalled(4)");
    // The reader hunts again: a complete frame right after is taken whole.
    events.clear();
    for (uint8_t b : Hex("1B 06 02 00 04 F4"))
        reader.Feed(b, 2000, events);
    EXPECT_EQ(Describe(events), "frame(6)");
}

TEST(ItemStore, SetGetResetFollowWidthsRangesAndFlags)
{
    CItemStore store;
    store.Define(CItemStore::Value(0x0300, 1, -30, 30, 0));
    store.Define(CItemStore::Value(0x0303, 2, -32768, 32766, 0));
    store.Define(CItemStore::Value(0x0900, 3, 0, 0xFFFFFF, 0));
    store.Define(CItemStore::Value(0x0009, 2, 0, 65535, 500, ITEM_READ_ONLY | ITEM_NO_RESET));
    store.Define(CItemStore::Value(0x0003, 1, 0, 1, 1, ITEM_NO_RESET));
    struct {
        int nAddress;
        uint16_t wCode;
        Bytes value;
        EStoreResult eResult;
    } sets[] = {
        {1, 0x0300, {0xF6}, EStoreResult::Ok},          {1, 0x0300, {0x1E}, EStoreResult::Ok},
        {1, 0x0300, {0x1F}, EStoreResult::OutOfRange},  {1, 0x0300, {0xE1}, EStoreResult::OutOfRange},
        {1, 0x0300, {0x00, 0x01}, EStoreResult::BadLength}, {1, 0x0300, {}, EStoreResult::BadLength},
        {1, 0x0303, {0xFF, 0x38}, EStoreResult::Ok},    {1, 0x0303, {0x7F, 0xFF}, EStoreResult::OutOfRange},
        {1, 0x0900, {0xFF, 0x00, 0x01}, EStoreResult::Ok}, {1, 0x0009, {0x00, 0x01}, EStoreResult::ReadOnly},
        {1, 0x7777, {0x00}, EStoreResult::UnknownItem}, {0, 0x0300, {0x00}, EStoreResult::BadAddress},
        {5, 0x0300, {0x00}, EStoreResult::BadAddress},
    };
    for (const auto& s : sets)
        EXPECT_EQ(store.Set(s.nAddress, s.wCode, s.value), s.eResult) << std::hex << s.wCode;

    long long value = 0;
    EXPECT_EQ(store.GetValue(1, 0x0300, value), EStoreResult::Ok);
    EXPECT_EQ(value, 30); // the refused sets left the last good one
    EXPECT_EQ(store.GetValue(1, 0x0303, value), EStoreResult::Ok);
    EXPECT_EQ(value, -200);
    EXPECT_EQ(store.GetValue(1, 0x0900, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0xFF0001); // three bytes are not sign-extended
    EXPECT_EQ(store.GetValue(2, 0x0300, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0) << "each address keeps its own values";

    Bytes out;
    EXPECT_EQ(store.Reset(1, 0x0300, out), EStoreResult::Ok);
    EXPECT_EQ(out, Bytes{0x00});
    EXPECT_EQ(store.Reset(1, 0x0003, out), EStoreResult::NoReset);
    EXPECT_EQ(store.Poke(1, 0x0009, {0x03, 0xE8}), EStoreResult::Ok) << "poke passes read-only items";
    EXPECT_EQ(store.Get(1, 0x0009, out), EStoreResult::Ok);
    EXPECT_EQ(out, Hex("03 E8"));

    store.Set(1, 0x0300, {0x05});
    store.PokeValue(1, 0x0003, 0);
    store.ResetAll(1);
    EXPECT_EQ(store.GetValue(1, 0x0300, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(store.GetValue(1, 0x0003, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0) << "reset all leaves items that cannot be reset";
}

TEST(ItemStore, EncodeAndDecodeRoundTripEveryWidth)
{
    struct {
        long long nValue;
        unsigned int nWidth;
        Bytes bytes;
    } cases[] = {
        {-10, 1, {0xF6}},   {127, 1, {0x7F}},     {-200, 2, {0xFF, 0x38}}, {0x1234, 2, {0x12, 0x34}},
        {0xFFFFFF, 3, {0xFF, 0xFF, 0xFF}},        {-1, 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        {0x01020304, 4, {0x01, 0x02, 0x03, 0x04}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CItemStore::Encode(c.nValue, c.nWidth), c.bytes) << c.nValue;
        EXPECT_EQ(CItemStore::Decode(c.bytes), c.nValue) << c.nValue;
    }
}

TEST(ItemStore, DefaultItemsHaveFactoryValuesOfTheirWidth)
{
    for (const SItemSpec& spec : CItemStore::DefaultItems()) {
        EXPECT_EQ(spec.factory.size(), spec.nWidth) << std::hex << spec.wCode;
        if (spec.nWidth <= 4) {
            long long factory = CItemStore::Decode(spec.factory);
            // A command item may hold a state its set range excludes (0x0007 reads 1).
            if (spec.wCode != 0x0007) {
                EXPECT_TRUE(factory >= spec.nMin && factory <= spec.nMax) << std::hex << spec.wCode;
            }
        }
    }
}

TEST(FaultPlan, ParsesListsAndRejectsNonsense)
{
    std::vector<SFault> faults;
    std::string error;
    ASSERT_TRUE(ParseFaultList("nak, late:1500,garbage,garbage:3,ack-only*2,normal", faults, error)) << error;
    std::string names;
    for (const SFault& fault : faults)
        names += FaultName(fault) + " ";
    EXPECT_EQ(names, "nak late:1500 garbage:5 garbage:3 ack-only ack-only normal ");

    const char* bad[] = {"", "nak,", "bogus", "late", "late:x", "late:70000", "nak:3", "garbage:300", "nak*0",
                         "nak*x", "no-ack,,nak"};
    for (const char* text : bad) {
        std::vector<SFault> untouched;
        EXPECT_FALSE(ParseFaultList(text, untouched, error)) << text;
        EXPECT_TRUE(untouched.empty()) << text;
    }
}

TEST(FaultPlan, ControlBytesRoundTripThroughTheSharedHeader)
{
    SimControl::CParameter parameter;
    parameter.Fault(SimControl::FAULT_NAK).Late(1500).Garbage(7).Fault(SimControl::FAULT_OTHER_ITEM);
    std::vector<SFault> faults;
    ASSERT_TRUE(DecodeFaultBytes(parameter.Data(), parameter.Size(), faults));
    std::vector<SFault> expected = {{EFault::Nak, 0}, {EFault::Late, 1500}, {EFault::Garbage, 7},
                                    {EFault::OtherItem, 0}};
    EXPECT_EQ(faults, expected);

    Bytes encoded;
    for (const SFault& fault : expected)
        EncodeFault(fault, encoded);
    EXPECT_EQ(encoded, Bytes(parameter.Data(), parameter.Data() + parameter.Size()));

    const Bytes bad[] = {{0x04, 0x05}, {0x07}, {0x0A}, {0x02, 0xFF}};
    for (const Bytes& bytes : bad) {
        std::vector<SFault> untouched;
        EXPECT_FALSE(DecodeFaultBytes(bytes.data(), bytes.size(), untouched)) << HexBytes(bytes);
        EXPECT_TRUE(untouched.empty());
    }
}

TEST(FaultPlan, ScriptComesFirstThenSeededChance)
{
    auto draw = [](uint32_t seed, unsigned int percent, int count) {
        CFaultPlan plan;
        plan.SetRandom(seed, percent);
        std::string names;
        for (int i = 0; i < count; ++i)
            names += FaultName(plan.Next()) + ",";
        return names;
    };
    EXPECT_EQ(draw(7, 50, 40), draw(7, 50, 40));
    EXPECT_NE(draw(7, 50, 40), draw(8, 50, 40));
    std::string normals;
    for (int i = 0; i < 20; ++i)
        normals += "normal,";
    EXPECT_EQ(draw(7, 0, 20), normals);
    std::string all = draw(9, 100, 50);
    EXPECT_EQ(all.find("normal"), std::string::npos);

    CFaultPlan plan;
    plan.SetRandom(1, 100);
    plan.Push({EFault::Normal, 0});
    plan.Push({EFault::Nak, 0});
    EXPECT_EQ(plan.Next().eKind, EFault::Normal);
    EXPECT_EQ(plan.Next().eKind, EFault::Nak);
    EXPECT_NE(plan.Next().eKind, EFault::Normal);
    plan.Clear();
    EXPECT_EQ(plan.Next().eKind, EFault::Normal) << "clear also ends chance";

    for (uint8_t b : plan.GarbageBytes(2000))
        ASSERT_TRUE(b != 0x06 && b != 0x15 && b != 0x1B && b != 0x1D) << int(b);
}

TEST(ControlHeader, BuildsAFrameTheReaderAccepts)
{
    SimControl::CParameter parameter;
    parameter.Late(300);
    unsigned char frame[SimControl::kMaxParameter + 6];
    unsigned int length = SimControl::BuildFrame(SimControl::ITEM_PUSH_FAULTS, parameter.Data(), parameter.Size(), frame);
    EXPECT_EQ(Bytes(frame, frame + length), ShortFrame(0x01, 0xEE01, {0x04, 0x01, 0x2C}));
    EXPECT_EQ(SimControl::BuildFrame(1, frame, SimControl::kMaxParameter + 1, frame), 0u);

    SimControl::CParameter full;
    for (unsigned int i = 0; i < SimControl::kMaxParameter; ++i)
        full.Byte(i);
    EXPECT_FALSE(full.Overflowed());
    full.Byte(0);
    EXPECT_TRUE(full.Overflowed());
    EXPECT_EQ(full.Size(), SimControl::kMaxParameter);
}

} // namespace
