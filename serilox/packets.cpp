#include "packets.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
const unsigned char kStartShort = 0x1B;
const unsigned char kStartStack = 0x1D;

unsigned int BigEndian16(const CDataInformation& frame, unsigned int at)
{
    return (static_cast<unsigned int>(frame.GetAt(at)) << 8) | frame.GetAt(at + 1);
}
} // namespace

// ---- CZelqLevel4Packet ----

CZelqLevel4Packet::CZelqLevel4Packet(unsigned long bufferSize)
    : m_Parameter(static_cast<unsigned int>(bufferSize)), m_FormerData(static_cast<unsigned int>(bufferSize)),
      m_nCheckSum(0)
{
    std::memset(m_szTime, 0, sizeof m_szTime);
    CZelqLevel4Packet::InitializeInstance();
}

CZelqLevel4Packet::CZelqLevel4Packet(const CZelqLevel4Packet& other)
    : SZelqLevel4Header(other), m_Parameter(other.m_Parameter), m_FormerData(other.m_FormerData),
      m_nCheckSum(other.m_nCheckSum)
{
    std::memcpy(m_szTime, other.m_szTime, sizeof m_szTime);
}

void CZelqLevel4Packet::InitializeInstance()
{
    Size = 0;
    Attr = 0;
    GroupID = 0xFF;
    ItemID = 0xFF;
    m_Parameter.ClearData();
    m_FormerData.ClearData();
}

void CZelqLevel4Packet::SetHeader(const SZelqLevel4Header& header)
{
    Size = header.Size;
    Attr = header.Attr;
    GroupID = header.GroupID;
    ItemID = header.ItemID;
}

void CZelqLevel4Packet::GetHeader(SZelqLevel4Header& out) const
{
    out.Size = Size;
    out.Attr = Attr;
    out.GroupID = GroupID;
    out.ItemID = ItemID;
}

unsigned char CZelqLevel4Packet::CalcCheckSum(const CDataInformation& frame)
{
    unsigned char sum = 0;
    for (unsigned int i = 1; i < frame.GetSize(); ++i)
        sum = static_cast<unsigned char>(sum + frame.GetAt(i));
    return static_cast<unsigned char>(0x100 - sum);
}

int CZelqLevel4Packet::IsCheckSumValid() const
{
    unsigned int n = m_FormerData.GetSize();
    if (n == 0)
        return 0;
    CDataInformation body(m_FormerData);
    body.SetSize(n - 1);
    return CalcCheckSum(body) == m_FormerData.GetAt(n - 1);
}

void CZelqLevel4Packet::BuildFrame(const unsigned char* head, unsigned int headSize, const CDataInformation& parameter)
{
    unsigned int n = parameter.GetSize();
    unsigned int total = headSize + n + 1;
    CDataInformation frame(total);
    frame.SetData(0, headSize, head);
    if (n)
        frame.SetData(headSize, n, parameter.Bytes());
    frame.SetSize(total - 1);
    unsigned char cs = CalcCheckSum(frame);
    frame.SetAt(total - 1, cs);
    frame.SetSize(total);
    m_nCheckSum = cs;
    m_Parameter = parameter;
    m_FormerData = frame;
    Size = total;
}

void CZelqLevel4Packet::TakeParameterAndChecksum(const CDataInformation& frame, unsigned int offset)
{
    unsigned int n = frame.GetSize();
    unsigned int count = n > offset + 1 ? n - 1 - offset : 0;
    if (count)
        m_Parameter = CDataInformation(frame.Bytes() + offset, count);
    else
        m_Parameter.SetSize(0);
    m_nCheckSum = n ? frame.GetAt(n - 1) : 0;
    m_FormerData = frame;
}

void CZelqLevel4Packet::SetData(const SZelqLevel4Header& header, const CDataInformation& parameter)
{
    SetHeader(header);
    unsigned int total = parameter.GetSize() + 6;
    const unsigned char head[5] = {kStartShort, static_cast<unsigned char>(total), Attr, GroupID, ItemID};
    BuildFrame(head, sizeof head, parameter);
}

CZelqLevel4Packet& CZelqLevel4Packet::operator=(const CDataInformation& frame)
{
    Size = frame.GetAt(1);
    Attr = frame.GetAt(2);
    GroupID = frame.GetAt(3);
    ItemID = frame.GetAt(4);
    TakeParameterAndChecksum(frame, 5);
    return *this;
}

CZelqLevel4Packet& CZelqLevel4Packet::operator=(const CZelqLevel4Packet& other)
{
    if (this == &other)
        return *this;
    SetHeader(other);
    m_nCheckSum = other.m_nCheckSum;
    m_Parameter = other.m_Parameter;
    m_FormerData = other.m_FormerData;
    std::memcpy(m_szTime, other.m_szTime, sizeof m_szTime);
    return *this;
}

void CZelqLevel4Packet::GetTime(char* out) const
{
    std::memcpy(out, m_szTime, sizeof m_szTime);
}

void CZelqLevel4Packet::SetTime(const char* text)
{
    std::memcpy(m_szTime, text, sizeof m_szTime);
    m_szTime[8] = 0;
}

void CZelqLevel4Packet::SetNowTime()
{
    GetNowTime(m_szTime);
}

// ---- CZelqLevel5Packet ----

CZelqLevel5Packet::CZelqLevel5Packet(unsigned long bufferSize) : CZelqLevel4Packet(bufferSize)
{
    CZelqLevel5Packet::InitializeInstance();
}

void CZelqLevel5Packet::InitializeInstance()
{
    CZelqLevel4Packet::InitializeInstance();
    Stack = Apply = OK = Check = 0;
    Attr = 0xFF;
    To = 0xFF;
    From = 0xFF;
}

unsigned char CZelqLevel5Packet::FlagByte() const
{
    return static_cast<unsigned char>((Apply ? 0x80 : 0) | (OK ? 0x40 : 0) | (Check ? 0x20 : 0) | (Attr & 0x0F));
}

void CZelqLevel5Packet::TakeFlagByte(unsigned char flags)
{
    Attr = flags & 0x0F;
    Apply = (flags >> 7) & 1;
    OK = (flags >> 6) & 1;
    Check = (flags >> 5) & 1;
}

void CZelqLevel5Packet::SetHeader(const SZelqLevel5Header& header)
{
    CZelqLevel4Packet::SetHeader(header);
    Stack = header.Stack;
    Apply = header.Apply;
    OK = header.OK;
    Check = header.Check;
    To = header.To;
    From = header.From;
}

void CZelqLevel5Packet::GetHeader(SZelqLevel5Header& out) const
{
    CZelqLevel4Packet::GetHeader(out);
    out.Stack = Stack;
    out.Apply = Apply;
    out.OK = OK;
    out.Check = Check;
    out.To = To;
    out.From = From;
}

void CZelqLevel5Packet::SetData(const SZelqLevel5Header& header, const CDataInformation& parameter)
{
    SetHeader(header);
    Attr &= 0x0F;
    unsigned int n = parameter.GetSize();
    if (Stack == 1) {
        unsigned int total = n + 8;
        const unsigned char head[7] = {kStartStack,
                                       static_cast<unsigned char>(total >> 8),
                                       static_cast<unsigned char>(total),
                                       FlagByte(),
                                       static_cast<unsigned char>((To & 0x0F) | ((From & 0x0F) << 4)),
                                       GroupID,
                                       ItemID};
        BuildFrame(head, sizeof head, parameter);
    } else {
        const unsigned char head[5] = {kStartShort, static_cast<unsigned char>(n + 6), FlagByte(), GroupID, ItemID};
        BuildFrame(head, sizeof head, parameter);
    }
}

CZelqLevel5Packet& CZelqLevel5Packet::operator=(const CDataInformation& frame)
{
    if (frame.GetAt(0) == kStartStack) {
        Stack = 1;
        Size = BigEndian16(frame, 1);
        TakeFlagByte(frame.GetAt(3));
        To = frame.GetAt(4) & 0x0F;
        From = frame.GetAt(4) >> 4;
        GroupID = frame.GetAt(5);
        ItemID = frame.GetAt(6);
        TakeParameterAndChecksum(frame, 7);
    } else {
        Stack = 0;
        Size = frame.GetAt(1);
        TakeFlagByte(frame.GetAt(2));
        GroupID = frame.GetAt(3);
        ItemID = frame.GetAt(4);
        TakeParameterAndChecksum(frame, 5);
    }
    return *this;
}

CZelqLevel5Packet& CZelqLevel5Packet::operator=(const CZelqLevel5Packet& other)
{
    if (this == &other)
        return *this;
    CZelqLevel4Packet::operator=(other);
    SetHeader(other);
    return *this;
}

// ---- CASICPacket ----

void CASICPacket::SetData(const SZelqLevel4Header& header, const CDataInformation& parameter)
{
    SetHeader(header);
    unsigned int total = parameter.GetSize() + 7;
    const unsigned char head[6] = {
        kStartShort, static_cast<unsigned char>(total >> 8), static_cast<unsigned char>(total), Attr, GroupID, ItemID};
    BuildFrame(head, sizeof head, parameter);
}

CASICPacket& CASICPacket::operator=(const CDataInformation& frame)
{
    Size = BigEndian16(frame, 1);
    Attr = frame.GetAt(3) & 0x0F;
    GroupID = frame.GetAt(4);
    ItemID = frame.GetAt(5);
    TakeParameterAndChecksum(frame, 6);
    return *this;
}

// ---- CErrorPacket ----

CErrorPacket::CErrorPacket() : m_pszTime(new char[9]()) {}

CErrorPacket::CErrorPacket(const CDataInformation& bytes) : CErrorPacket()
{
    SetPacket(bytes);
}

CErrorPacket::CErrorPacket(const CErrorPacket& other) : CDataInformation(other), m_pszTime(new char[9]())
{
    std::memcpy(m_pszTime, other.m_pszTime, 9);
}

CErrorPacket::~CErrorPacket()
{
    delete[] m_pszTime;
}

void CErrorPacket::SetPacket(const CDataInformation& bytes)
{
    CDataInformation::operator=(bytes);
    SetNowTime();
}

void CErrorPacket::GetTime(char* out) const
{
    std::memcpy(out, m_pszTime, 9);
}

void CErrorPacket::SetTime(const char* text)
{
    std::memset(m_pszTime, 0, 9);
    std::strncpy(m_pszTime, text, 8);
}

void CErrorPacket::SetNowTime()
{
    GetNowTime(m_pszTime);
}

CErrorPacket& CErrorPacket::operator=(const CErrorPacket& other)
{
    if (this != &other) {
        CDataInformation::operator=(other);
        std::memcpy(m_pszTime, other.m_pszTime, 9);
    }
    return *this;
}

// ---- helpers ----

void BinaryDataToHexAscii(const unsigned char* data, unsigned int count, char* out, unsigned int)
{
    if (count == 0)
        return;
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned int i = 0; i < count; ++i) {
        out[3 * i] = digits[data[i] >> 4];
        out[3 * i + 1] = digits[data[i] & 0x0F];
        out[3 * i + 2] = ' ';
    }
    out[3 * count] = 0;
}

void GetNowTime(char* out)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    std::snprintf(out, 9, "%02u:%02u:%02u", static_cast<unsigned>(local.tm_hour) % 24u,
                  static_cast<unsigned>(local.tm_min) % 60u, static_cast<unsigned>(local.tm_sec) % 60u);
}
