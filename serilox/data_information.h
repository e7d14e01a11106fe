// CDataInformation: the growable byte buffer passed by reference across the library boundary.
#pragma once
#include "platform_types.h"

class SERILOX_API CDataInformation {
public:
    CDataInformation();
    explicit CDataInformation(unsigned int bufferSize);
    CDataInformation(const unsigned char* data, unsigned int size);
    CDataInformation(const unsigned char* data, unsigned int size, unsigned int bufferSize);
    CDataInformation(const CDataInformation& other);
    virtual ~CDataInformation();

    unsigned int GetSize() const { return m_nSize; }
    unsigned int GetBufferSize() const { return m_nBufferSize; }
    // Unchecked on purpose: callers drop trailing bytes (a checksum) this way.
    void SetSize(unsigned int size) { m_nSize = size; }

    int SetAllData(const unsigned char* src, unsigned int count);
    void GetAllData(unsigned char* dst) const;
    int GetData(unsigned int offset, unsigned int count, unsigned char* dst) const;
    int SetData(unsigned int offset, unsigned int count, const unsigned char* src);
    unsigned char GetAt(unsigned int index) const;
    int SetAt(unsigned int index, unsigned char value);
    int ResetBufferSize(unsigned int newCapacity);
    void ClearData();

    // Direct view of the valid bytes; null when the buffer owns no storage.
    const unsigned char* Bytes() const { return m_pData; }

    CDataInformation& operator=(const CDataInformation& source);
    CDataInformation& operator+=(const CDataInformation& source);

private:
    // Bytes of the source that really exist: a size set past the capacity is not trusted.
    unsigned int ReadableSize() const { return m_nSize < m_nBufferSize ? m_nSize : m_nBufferSize; }

    unsigned char* m_pData;
    unsigned int m_nSize;
    unsigned int m_nBufferSize;
};
