// Byte buffer rules, frame build and parse of the three kinds, checksums and the helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "packets.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const CDataInformation& d)
{
    return Bytes(d.Bytes(), d.Bytes() + d.GetSize());
}

CDataInformation Buffer(const Bytes& b)
{
    return CDataInformation(b.data(), static_cast<unsigned int>(b.size()));
}

TEST(DataInformation, ConstructorsSetSizeAndCapacity)
{
    CDataInformation byDefault;
    EXPECT_EQ(byDefault.GetBufferSize(), 65535u);
    EXPECT_EQ(byDefault.GetSize(), 0u);

    const unsigned char bytes[] = {1, 2, 3};
    CDataInformation exact(bytes, 3);
    EXPECT_EQ(exact.GetBufferSize(), 3u);
    EXPECT_EQ(Of(exact), (Bytes{1, 2, 3}));

    CDataInformation roomy(bytes, 3, 10);
    EXPECT_EQ(roomy.GetBufferSize(), 10u);
    EXPECT_EQ(roomy.GetSize(), 3u);

    CDataInformation tooSmall(bytes, 3, 2);
    EXPECT_EQ(tooSmall.GetBufferSize(), 2u);
    EXPECT_EQ(tooSmall.GetSize(), 0u);

    CDataInformation empty(bytes, 0);
    EXPECT_EQ(empty.GetBufferSize(), 0u);
    EXPECT_EQ(empty.Bytes(), nullptr);
}

TEST(DataInformation, RangeChecksLeaveTheBufferUnchanged)
{
    CDataInformation d(8);
    const unsigned char four[] = {9, 8, 7, 6};
    EXPECT_EQ(d.SetData(0, 4, four), 1);
    EXPECT_EQ(d.GetSize(), 0u) << "SetData writes storage but never the size";
    EXPECT_EQ(d.SetData(5, 4, four), 0);
    EXPECT_EQ(d.SetAt(8, 0x55), 0);
    EXPECT_EQ(d.SetAt(7, 0x55), 1);

    EXPECT_EQ(d.SetAllData(four, 4), 1);
    EXPECT_EQ(d.GetAt(3), 6);
    EXPECT_EQ(d.GetAt(4), 0) << "at the size, not the capacity";
    unsigned char out[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(d.GetData(2, 3, out), 0);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(d.GetData(1, 3, out), 1);
    EXPECT_EQ(Bytes(out, out + 3), (Bytes{8, 7, 6}));

    unsigned char nine[9] = {};
    EXPECT_EQ(d.SetAllData(nine, 9), 0);
    EXPECT_EQ(d.GetSize(), 4u);

    EXPECT_EQ(d.ResetBufferSize(3), 0);
    EXPECT_EQ(d.ResetBufferSize(4), 1);
    EXPECT_EQ(d.GetBufferSize(), 4u);
    EXPECT_EQ(Of(d), (Bytes{9, 8, 7, 6}));

    d.ClearData();
    EXPECT_EQ(d.GetSize(), 0u);
    d.SetSize(4);
    EXPECT_EQ(Of(d), (Bytes{0, 0, 0, 0})) << "ClearData zero-fills the storage";
}

TEST(DataInformation, AssignmentKeepsTheLargerCapacity)
{
    CDataInformation source(65535);
    Bytes ten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    source.SetAllData(ten.data(), 10);

    struct Case {
        unsigned int capacity;
        unsigned int expected;
    } cases[] = {{16, 65535}, {100000, 100000}, {0, 65535}};
    for (const Case& c : cases) {
        CDataInformation target(c.capacity);
        target = source;
        EXPECT_EQ(target.GetBufferSize(), c.expected) << c.capacity;
        EXPECT_EQ(Of(target), ten);
    }
}

TEST(DataInformation, AppendGrowsAndWorksOnItself)
{
    CDataInformation d(Buffer({1, 2, 3}));
    d += d;
    EXPECT_EQ(Of(d), (Bytes{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(d.GetBufferSize(), 6u);

    CDataInformation roomy(10);
    roomy += d;
    EXPECT_EQ(roomy.GetBufferSize(), 10u);
    EXPECT_EQ(roomy.GetSize(), 6u);
}

TEST(DataInformation, SizeSetPastCapacityIsNotReadBeyondStorage)
{
    CDataInformation d(Buffer({1, 2}));
    d.SetSize(50);
    CDataInformation copy(4);
    copy = d;
    EXPECT_EQ(Of(copy), (Bytes{1, 2}));
    EXPECT_EQ(d.GetAt(10), 0);
    d += copy;
    EXPECT_EQ(Of(d), (Bytes{1, 2, 1, 2}));
}

TEST(CheckSum, SumsEveryByteAfterTheStart)
{
    EXPECT_EQ(CZelqLevel4Packet::CalcCheckSum(Buffer({0x1B, 0x06, 0x00, 0x01, 0x02})), 0xF7);
    EXPECT_EQ(CZelqLevel4Packet::CalcCheckSum(Buffer({0x1B})), 0);
    EXPECT_EQ(CZelqLevel4Packet::CalcCheckSum(CDataInformation(0u)), 0);
    EXPECT_EQ(CZelqLevel4Packet::CalcCheckSum(Buffer({0x1B, 0x06, 0x02, 0x00, 0x04})), 0xF4);
}

struct BuildCase {
    const char* name;
    int kind; // 4, 5 or 0 for ASIC
    SZelqLevel5Header header;
    Bytes parameter;
    Bytes frame;
};

SZelqLevel5Header Header(unsigned char attr, unsigned char group, unsigned char item, int stack = 0, int apply = 0,
                         int ok = 0, int check = 0, unsigned char to = 0, unsigned char from = 0)
{
    SZelqLevel5Header h;
    h.Size = 999; // ignored by every build
    h.Attr = attr;
    h.GroupID = group;
    h.ItemID = item;
    h.Stack = stack;
    h.Apply = apply;
    h.OK = ok;
    h.Check = check;
    h.To = to;
    h.From = from;
    return h;
}

Bytes BuildFrame(const BuildCase& c, unsigned char& checksum, unsigned int& size)
{
    CDataInformation parameter(c.parameter.data(), static_cast<unsigned int>(c.parameter.size()));
    if (c.kind == 4) {
        CZelqLevel4Packet p;
        p.SetData(c.header, parameter);
        checksum = p.GetCheckSum();
        size = p.GetSize();
        return Of(p.FormerData());
    }
    if (c.kind == 5) {
        CZelqLevel5Packet p;
        p.SetData(c.header, parameter);
        checksum = p.GetCheckSum();
        size = p.GetSize();
        return Of(p.FormerData());
    }
    CASICPacket p;
    p.SetData(c.header, parameter);
    checksum = p.GetCheckSum();
    size = p.GetSize();
    return Of(p.FormerData());
}

TEST(FrameBuild, EachKindLaysOutItsBytes)
{
    const BuildCase cases[] = {
        {"level4 example", 4, Header(0x00, 0x01, 0x02), {}, {0x1B, 0x06, 0x00, 0x01, 0x02, 0xF7}},
        {"identification request", 4, Header(0x02, 0x00, 0x04), {}, {0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4}},
        {"level5 stack example",
         5,
         Header(1, 0x00, 0x06, 1, 0, 0, 0, 1, 0),
         {0x01},
         {0x1D, 0x00, 0x09, 0x01, 0x01, 0x00, 0x06, 0x01, 0xEE}},
        {"level5 short flags",
         5,
         Header(0x13, 0x10, 0x20, 0, 1, 1, 1),
         {0xAA},
         {0x1B, 0x07, 0xE3, 0x10, 0x20, 0xAA,
          static_cast<unsigned char>(0x100 - ((0x07 + 0xE3 + 0x10 + 0x20 + 0xAA) & 0xFF))}},
        {"level5 stack nibbles",
         5,
         Header(2, 0x03, 0x00, 1, 0, 0, 0, 0x24, 0x3F),
         {},
         {0x1D, 0x00, 0x08, 0x02, 0xF4, 0x03, 0x00, static_cast<unsigned char>(0x100 - (0x08 + 0x02 + 0xF4 + 0x03))}},
        {"asic",
         0,
         Header(0x12, 0x05, 0x06),
         {0x01, 0x02},
         {0x1B, 0x00, 0x09, 0x12, 0x05, 0x06, 0x01, 0x02,
          static_cast<unsigned char>(0x100 - (0x09 + 0x12 + 0x05 + 0x06 + 0x03))}},
    };
    for (const BuildCase& c : cases) {
        unsigned char checksum = 0;
        unsigned int size = 0;
        Bytes frame = BuildFrame(c, checksum, size);
        EXPECT_EQ(frame, c.frame) << c.name;
        EXPECT_EQ(checksum, c.frame.back()) << c.name;
        EXPECT_EQ(size, c.frame.size()) << c.name;
    }
}

TEST(FrameParse, Level5ShortFrameFlags)
{
    Bytes raw{0x1B, 0x06, 0xE3, 0x10, 0x20, 0x00};
    raw[5] = CZelqLevel4Packet::CalcCheckSum(Buffer(Bytes(raw.begin(), raw.end() - 1)));
    CZelqLevel5Packet p;
    p = Buffer(raw);
    EXPECT_EQ(p.IsApply(), 1);
    EXPECT_EQ(p.IsOK(), 1);
    EXPECT_EQ(p.IsCheck(), 1);
    EXPECT_EQ(p.IsStack(), 0);
    EXPECT_EQ(p.GetAttr(), 3);
    EXPECT_EQ(p.GetGroupID(), 0x10);
    EXPECT_EQ(p.GetItemID(), 0x20);
    EXPECT_EQ(p.GetParameter()->GetSize(), 0u);
    EXPECT_EQ(p.GetTo(), 0xFF) << "short frames keep To and From";
    EXPECT_TRUE(p.IsCheckSumValid());
}

TEST(FrameParse, RoundTripsEveryKind)
{
    Bytes parameter{0x00, 0x01, 0x43, 0x10};
    CDataInformation param = Buffer(parameter);

    CZelqLevel5Packet sent;
    sent.SetData(Header(2, 0x00, 0x04, 1, 1, 0, 1, 3, 0), param);
    CZelqLevel5Packet got;
    got = sent.FormerData();
    SZelqLevel5Header h;
    got.GetHeader(h);
    EXPECT_EQ(h.Size, 12u);
    EXPECT_EQ(h.Stack, 1);
    EXPECT_EQ(h.Apply, 1);
    EXPECT_EQ(h.Check, 1);
    EXPECT_EQ(h.OK, 0);
    EXPECT_EQ(h.To, 3);
    EXPECT_EQ(h.From, 0);
    EXPECT_EQ(Of(*got.GetParameter()), parameter);
    EXPECT_EQ(got.GetCheckSum(), sent.GetCheckSum());

    CZelqLevel4Packet l4;
    l4.SetData(Header(5, 7, 8), param);
    CZelqLevel4Packet l4got;
    l4got = l4.FormerData();
    EXPECT_EQ(l4got.GetSize(), 10u);
    EXPECT_EQ(l4got.GetAttr(), 5);
    EXPECT_EQ(Of(*l4got.GetParameter()), parameter);

    CASICPacket asic;
    asic.SetData(Header(0xF7, 7, 8), param);
    CASICPacket asicGot;
    asicGot = asic.FormerData();
    EXPECT_EQ(asicGot.GetSize(), 11u);
    EXPECT_EQ(asicGot.GetAttr(), 7) << "ASIC keeps the low nibble of the attribute";
    EXPECT_EQ(Of(*asicGot.GetParameter()), parameter);
}

TEST(FrameParse, ShortInputReadsNothingOutOfRange)
{
    for (Bytes raw : {Bytes{}, Bytes{0x1B}, Bytes{0x1D, 0x00}, Bytes{0x1B, 0x02, 0x00}}) {
        CZelqLevel5Packet p5;
        p5 = Buffer(raw);
        EXPECT_EQ(p5.GetParameter()->GetSize(), 0u);
        CASICPacket pa;
        pa = Buffer(raw);
        EXPECT_EQ(pa.GetParameter()->GetSize(), 0u);
    }
}

TEST(Packets, InitializeAndCopy)
{
    CZelqLevel5Packet p;
    p.SetData(Header(1, 2, 3, 1, 1, 1, 1, 1, 1), Buffer({9}));
    p.SetTime("12:34:56");
    CZelqLevel5Packet copy(p);
    EXPECT_EQ(copy.GetGroupID(), 2);
    EXPECT_EQ(copy.IsStack(), 1);
    char time[9];
    copy.GetTime(time);
    EXPECT_STREQ(time, "12:34:56");
    EXPECT_EQ(Of(copy.FormerData()), Of(p.FormerData()));

    p.InitializeInstance();
    EXPECT_EQ(p.GetSize(), 0u);
    EXPECT_EQ(p.GetGroupID(), 0xFF);
    EXPECT_EQ(p.GetItemID(), 0xFF);
    EXPECT_EQ(p.GetAttr(), 0xFF);
    EXPECT_EQ(p.GetTo(), 0xFF);
    EXPECT_EQ(p.IsStack(), 0);
    EXPECT_EQ(p.FormerData().GetSize(), 0u);
    p.GetTime(time);
    EXPECT_STREQ(time, "12:34:56") << "the time text survives initialisation";

    CZelqLevel4Packet l4;
    l4.InitializeInstance();
    EXPECT_EQ(l4.GetAttr(), 0);
}

TEST(ErrorPacket, KeepsBytesAndTime)
{
    CErrorPacket e(Buffer({0x1B, 0x09, 0x01}));
    EXPECT_EQ(Of(*e.GetPacket()), (Bytes{0x1B, 0x09, 0x01}));
    char time[9];
    e.GetTime(time);
    EXPECT_EQ(std::strlen(time), 8u);
    e.SetTime("01:02:03-and-more");
    e.GetTime(time);
    EXPECT_STREQ(time, "01:02:03");
    CErrorPacket other;
    other = e;
    other.GetTime(time);
    EXPECT_STREQ(time, "01:02:03");
    EXPECT_EQ(other.GetSize(), 3u);
}

TEST(Helpers, HexAsciiAndTime)
{
    const unsigned char bytes[] = {0x00, 0xAB};
    char out[8];
    std::memset(out, 'x', sizeof out);
    BinaryDataToHexAscii(bytes, 2, out, 0);
    EXPECT_EQ(std::string(out, 7), std::string("00 AB \0", 7));
    EXPECT_EQ(out[7], 'x') << "nothing past the terminating zero";

    std::memset(out, 'x', sizeof out);
    BinaryDataToHexAscii(bytes, 0, out, 0);
    EXPECT_EQ(out[0], 'x');

    char now[9];
    std::memset(now, 'x', sizeof now);
    GetNowTime(now);
    EXPECT_EQ(now[2], ':');
    EXPECT_EQ(now[5], ':');
    EXPECT_EQ(now[8], 0);
}

} // namespace
