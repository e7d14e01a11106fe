#include "data_information.h"

#include <cstring>

static const unsigned int kDefaultCapacity = 65535;

static unsigned char* AllocateZeroed(unsigned int capacity)
{
    return capacity ? new unsigned char[capacity]() : nullptr;
}

CDataInformation::CDataInformation() : CDataInformation(kDefaultCapacity) {}

CDataInformation::CDataInformation(unsigned int bufferSize)
    : m_pData(AllocateZeroed(bufferSize)), m_nSize(0), m_nBufferSize(bufferSize)
{
}

CDataInformation::CDataInformation(const unsigned char* data, unsigned int size)
    : m_pData(AllocateZeroed(size)), m_nSize(size), m_nBufferSize(size)
{
    if (size)
        std::memcpy(m_pData, data, size);
}

CDataInformation::CDataInformation(const unsigned char* data, unsigned int size, unsigned int bufferSize)
    : CDataInformation(bufferSize)
{
    SetAllData(data, size);
}

CDataInformation::CDataInformation(const CDataInformation& other) : CDataInformation(other.m_nBufferSize)
{
    *this = other;
}

CDataInformation::~CDataInformation()
{
    delete[] m_pData;
}

int CDataInformation::SetAllData(const unsigned char* src, unsigned int count)
{
    if (count > m_nBufferSize)
        return 0;
    if (count)
        std::memmove(m_pData, src, count);
    m_nSize = count;
    return 1;
}

void CDataInformation::GetAllData(unsigned char* dst) const
{
    unsigned int n = ReadableSize();
    if (n)
        std::memcpy(dst, m_pData, n);
}

int CDataInformation::GetData(unsigned int offset, unsigned int count, unsigned char* dst) const
{
    if (static_cast<unsigned long long>(offset) + count > ReadableSize())
        return 0;
    if (count)
        std::memcpy(dst, m_pData + offset, count);
    return 1;
}

int CDataInformation::SetData(unsigned int offset, unsigned int count, const unsigned char* src)
{
    if (static_cast<unsigned long long>(offset) + count > m_nBufferSize)
        return 0;
    if (count)
        std::memmove(m_pData + offset, src, count);
    return 1;
}

unsigned char CDataInformation::GetAt(unsigned int index) const
{
    return index < ReadableSize() ? m_pData[index] : 0;
}

int CDataInformation::SetAt(unsigned int index, unsigned char value)
{
    if (index >= m_nBufferSize)
        return 0;
    m_pData[index] = value;
    return 1;
}

int CDataInformation::ResetBufferSize(unsigned int newCapacity)
{
    if (newCapacity < m_nSize)
        return 0;
    unsigned char* fresh = AllocateZeroed(newCapacity);
    unsigned int keep = ReadableSize();
    if (keep)
        std::memcpy(fresh, m_pData, keep);
    delete[] m_pData;
    m_pData = fresh;
    m_nBufferSize = newCapacity;
    return 1;
}

void CDataInformation::ClearData()
{
    if (m_nBufferSize)
        std::memset(m_pData, 0, m_nBufferSize);
    m_nSize = 0;
}

CDataInformation& CDataInformation::operator=(const CDataInformation& source)
{
    if (this == &source)
        return *this;
    unsigned int count = source.ReadableSize();
    if (source.m_nBufferSize > m_nBufferSize) {
        delete[] m_pData;
        m_pData = AllocateZeroed(source.m_nBufferSize);
        m_nBufferSize = source.m_nBufferSize;
    }
    if (count)
        std::memcpy(m_pData, source.m_pData, count);
    m_nSize = count;
    return *this;
}

CDataInformation& CDataInformation::operator+=(const CDataInformation& source)
{
    // The source may be this buffer itself, whose storage a resize replaces.
    CDataInformation aside(source.m_pData, source.ReadableSize());
    unsigned int add = aside.m_nSize;
    unsigned int base = ReadableSize();
    if (static_cast<unsigned long long>(base) + add > m_nBufferSize) {
        m_nSize = base;
        ResetBufferSize(m_nBufferSize + add);
    }
    if (add)
        std::memcpy(m_pData + base, aside.m_pData, add);
    m_nSize = base + add;
    return *this;
}
