// Frame headers and packet records of the three frame kinds, the error record, and the
// two exported helpers. Records build their own wire frames and parse received ones.
#pragma once
#include "data_information.h"

struct SERILOX_API SZelqLevel4Header {
    unsigned int Size = 0; // total frame length in bytes
    unsigned char Attr = 0;
    unsigned char GroupID = 0;
    unsigned char ItemID = 0;
};

struct SERILOX_API SZelqLevel5Header : virtual public SZelqLevel4Header {
    int Stack = 0; // 1 = long "stack" frame
    int Apply = 0;
    int OK = 0;
    int Check = 0;
    unsigned char To = 0;   // low 4 bits
    unsigned char From = 0; // low 4 bits
};

class SERILOX_API CZelqLevel4Packet : virtual public SZelqLevel4Header {
public:
    explicit CZelqLevel4Packet(unsigned long bufferSize = 65536);
    CZelqLevel4Packet(const CZelqLevel4Packet& other);
    virtual ~CZelqLevel4Packet() = default;

    virtual void InitializeInstance();

    void SetData(const SZelqLevel4Header& header, const CDataInformation& parameter);
    CZelqLevel4Packet& operator=(const CDataInformation& frame);
    CZelqLevel4Packet& operator=(const CZelqLevel4Packet& other);

    void GetHeader(SZelqLevel4Header& out) const;
    unsigned int GetSize() const { return Size; }
    unsigned char GetAttr() const { return Attr; }
    unsigned char GetGroupID() const { return GroupID; }
    unsigned char GetItemID() const { return ItemID; }
    unsigned char GetCheckSum() const { return m_nCheckSum; }

    CDataInformation* GetParameter() { return &m_Parameter; }
    const CDataInformation* GetParameter() const { return &m_Parameter; }
    void GetParameter(CDataInformation& out) const { out = m_Parameter; }
    void GetFormerData(CDataInformation& out) const { out = m_FormerData; }
    const CDataInformation& FormerData() const { return m_FormerData; }

    void GetTime(char* out) const;
    void SetTime(const char* text);
    void SetNowTime();

    // Two's complement of the 8-bit sum of bytes 1 .. size-1; the start byte is not summed.
    static unsigned char CalcCheckSum(const CDataInformation& frame);
    // The frame in former data carries the checksum its own bytes give.
    int IsCheckSumValid() const;

protected:
    void SetHeader(const SZelqLevel4Header& header);
    void SetSize(unsigned int v) { Size = v; }
    void SetAttr(unsigned char v) { Attr = v; }
    void SetGroupID(unsigned char v) { GroupID = v; }
    void SetItemID(unsigned char v) { ItemID = v; }
    void SetCheckSum(unsigned char v) { m_nCheckSum = v; }
    void SetParameter(const CDataInformation& p) { m_Parameter = p; }
    void SetFormerData(const CDataInformation& f) { m_FormerData = f; }
    // Shared by every frame kind: header bytes and parameter into a checksummed frame.
    void BuildFrame(const unsigned char* head, unsigned int headSize, const CDataInformation& parameter);
    // Parameter = frame bytes from offset to the one before the checksum.
    void TakeParameterAndChecksum(const CDataInformation& frame, unsigned int offset);

    char m_szTime[9];
    CDataInformation m_Parameter;
    CDataInformation m_FormerData;
    unsigned char m_nCheckSum;
};

class SERILOX_API CZelqLevel5Packet : public CZelqLevel4Packet, public SZelqLevel5Header {
public:
    explicit CZelqLevel5Packet(unsigned long bufferSize = 65536);
    CZelqLevel5Packet(const CZelqLevel5Packet& other) = default;

    void InitializeInstance() override;

    void SetData(const SZelqLevel5Header& header, const CDataInformation& parameter);
    CZelqLevel5Packet& operator=(const CDataInformation& frame);
    CZelqLevel5Packet& operator=(const CZelqLevel5Packet& other);

    void GetHeader(SZelqLevel5Header& out) const;
    using CZelqLevel4Packet::GetHeader;

    int IsStack() const { return Stack; }
    int IsApply() const { return Apply; }
    int IsOK() const { return OK; }
    int IsCheck() const { return Check; }
    unsigned char GetTo() const { return To; }
    unsigned char GetFrom() const { return From; }

protected:
    void SetHeader(const SZelqLevel5Header& header);
    void SetStack(int v) { Stack = v; }
    void SetApply(int v) { Apply = v; }
    void SetOK(int v) { OK = v; }
    void SetCheck(int v) { Check = v; }
    void SetTo(unsigned char v) { To = v; }
    void SetFrom(unsigned char v) { From = v; }

private:
    unsigned char FlagByte() const;
    void TakeFlagByte(unsigned char flags);
};

class SERILOX_API CASICPacket : public CZelqLevel4Packet {
public:
    explicit CASICPacket(unsigned long bufferSize = 65536) : CZelqLevel4Packet(bufferSize) {}

    void SetData(const SZelqLevel4Header& header, const CDataInformation& parameter);
    CASICPacket& operator=(const CDataInformation& frame);
    CASICPacket& operator=(const CASICPacket& other)
    {
        CZelqLevel4Packet::operator=(other);
        return *this;
    }
};

class SERILOX_API CErrorPacket : public CDataInformation {
public:
    CErrorPacket();
    explicit CErrorPacket(const CDataInformation& bytes);
    CErrorPacket(const CErrorPacket& other);
    ~CErrorPacket() override;

    void SetPacket(const CDataInformation& bytes);
    CDataInformation* GetPacket() { return this; }
    void GetTime(char* out) const;
    void SetTime(const char* text); // at most 8 characters are taken
    void SetNowTime();
    CErrorPacket& operator=(const CErrorPacket& other);

private:
    char* m_pszTime;
};

// Each byte as "%02X " (3 characters), then a terminating zero; nothing for count 0.
extern "C" SERILOX_API void BinaryDataToHexAscii(const unsigned char* data, unsigned int count, char* out,
                                                 unsigned int unused);
// The local clock time as "hh:mm:ss" and a terminating zero.
extern "C" SERILOX_API void GetNowTime(char* out);
