// The simulator's parts on their own: stream splitting, item store, fault plans, the control
// encoding.
#include "sim_test_support.h"

#include "fault_plan.h"
#include "frame_reader.h"
#include "sim_item_store.h"
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

// Ranges and widths of plain items show on the line; these are the store's own corners.
TEST(ItemStore, AddressesFlagsAndWidths)
{
    CItemStore store;
    store.Define(CItemStore::Value(0x0300, 1, -30, 30, 0));
    store.Define(CItemStore::Value(0x0900, 3, 0, 0xFFFFFF, 0));
    store.Define(CItemStore::Value(0x0009, 2, 0, 65535, 500, ITEM_READ_ONLY | ITEM_NO_RESET));
    EXPECT_EQ(store.Set(0, 0x0300, {0x00}), EStoreResult::BadAddress);
    EXPECT_EQ(store.Set(5, 0x0300, {0x00}), EStoreResult::BadAddress);
    EXPECT_EQ(store.Set(2, 0x0300, {0xF6}), EStoreResult::Ok);
    EXPECT_EQ(store.Set(1, 0x0900, {0xFF, 0x00, 0x01}), EStoreResult::Ok);
    EXPECT_EQ(store.Set(1, 0x0009, {0x00, 0x01}), EStoreResult::ReadOnly);
    EXPECT_EQ(store.Poke(1, 0x0009, {0x03, 0xE8}), EStoreResult::Ok) << "poke passes read-only items";
    EXPECT_EQ(store.Poke(1, 0x0009, {0x03}), EStoreResult::BadLength);

    long long value = 0;
    EXPECT_EQ(store.GetValue(1, 0x0900, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0xFF0001) << "three bytes are not sign-extended";
    EXPECT_EQ(store.GetValue(1, 0x0300, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0) << "each address keeps its own values";
    store.ResetAll(2);
    store.ResetAll(1);
    EXPECT_EQ(store.GetValue(2, 0x0300, value), EStoreResult::Ok);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(store.GetValue(1, 0x0009, value), EStoreResult::Ok);
    EXPECT_EQ(value, 1000) << "reset all leaves items that cannot be reset";
    EXPECT_EQ(CItemStore::Decode({0xFF, 0xFF, 0xFF, 0xFF}), -1);
}

TEST(ItemStore, DefaultItemsHaveFactoryValuesOfTheirWidth)
{
    for (const SItemDef& def : CItemStore::DefaultItems()) {
        EXPECT_EQ(def.factory.size(), def.nWidth) << std::hex << def.wCode;
        // A command item may hold a state its set range excludes (0x0007 reads 1).
        if (def.nWidth <= 4 && def.wCode != 0x0007) {
            EXPECT_TRUE(def.Accepts(def.Decode(def.factory))) << std::hex << def.wCode;
        }
    }
}

TEST(StateTiming, ParsesDurationsOrOff)
{
    SStateTiming timing;
    ASSERT_TRUE(ParseStateTiming("100:200", timing));
    EXPECT_TRUE(timing.bTimed);
    EXPECT_EQ(timing.nWarmMs, 100u);
    EXPECT_EQ(timing.nCoolMs, 200u);
    EXPECT_EQ(timing.nBusyMs, SStateTiming().nBusyMs);
    ASSERT_TRUE(ParseStateTiming("1:2:3:4", timing));
    EXPECT_EQ(timing.nBusyMs, 3u);
    EXPECT_EQ(timing.nSyncMs, 4u);
    ASSERT_TRUE(ParseStateTiming("off", timing));
    EXPECT_FALSE(timing.bTimed);
    EXPECT_EQ(timing.nWarmMs, 1u) << "off keeps the durations";
    for (const char* bad : {"", "5", "1:2:3:4:5", "a:b", "1::2", "700000:1", "-1:5", "1:2:"}) {
        SStateTiming untouched;
        EXPECT_FALSE(ParseStateTiming(bad, untouched)) << bad;
        EXPECT_EQ(untouched.nWarmMs, SStateTiming().nWarmMs) << bad;
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

    const char* bad[] = {"",      "nak,",        "bogus", "late",  "late:x",     "late:70000",
                         "nak:3", "garbage:300", "nak*0", "nak*x", "no-ack,,nak"};
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
    std::vector<SFault> expected = {
        {EFault::Nak, 0}, {EFault::Late, 1500}, {EFault::Garbage, 7}, {EFault::OtherItem, 0}};
    EXPECT_EQ(faults, expected);

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
    EXPECT_EQ(draw(7, 0, 3), "normal,normal,normal,");
    EXPECT_EQ(draw(9, 100, 50).find("normal"), std::string::npos);

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
    unsigned int length =
        SimControl::BuildFrame(SimControl::ITEM_PUSH_FAULTS, parameter.Data(), parameter.Size(), frame);
    EXPECT_EQ(Bytes(frame, frame + length), ShortFrame(0x01, 0xEE01, {0x04, 0x01, 0x2C}));
    EXPECT_EQ(SimControl::BuildFrame(1, frame, SimControl::kMaxParameter + 1, frame), 0u);
}

} // namespace
