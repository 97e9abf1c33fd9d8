#include "tsl2/memstream.h"

#include <climits>
#include <cstring>

namespace Tsl {

MemStream::MemStream() : m_pBuffer(new Buffer), m_pExternal(nullptr), m_nSize(0), m_nPos(0), m_bWritable(true) {}

MemStream::MemStream(const void* pData, int nSize, bool bCopy)
    : m_pExternal(nullptr), m_nSize(nSize > 0 ? nSize : 0), m_nPos(0), m_bWritable(false) {
    const unsigned char* pBytes = static_cast<const unsigned char*>(pData);
    if (!pBytes) m_nSize = 0;
    if (bCopy) {
        m_pBuffer = new Buffer;
        if (m_nSize > 0) m_pBuffer->m_aBytes.assign(pBytes, pBytes + m_nSize);
    } else {
        m_pExternal = pBytes;
    }
}

MemStream::~MemStream() {}

const unsigned char* MemStream::getData() const {
    if (m_pBuffer) return m_pBuffer->m_aBytes.data();
    return m_pExternal;
}

int MemStream::read(void* pBuffer, int nSize) {
    if (m_bWritable || nSize <= 0 || m_nPos >= m_nSize) return 0;
    int nCount = m_nSize - m_nPos < nSize ? m_nSize - m_nPos : nSize;
    std::memcpy(pBuffer, getData() + m_nPos, static_cast<size_t>(nCount));
    m_nPos += nCount;
    return nCount;
}

int MemStream::write(const void* pData, int nSize) {
    TSL_TRACE();
    if (!m_bWritable || nSize <= 0) return 0;
    if (nSize > INT_MAX - m_nPos) TSL_THROW(BadParmException, "MemStream : write of %d bytes exceeds 2 GB", nSize);
    std::vector<unsigned char>& aBytes = m_pBuffer->m_aBytes;
    int nEnd = m_nPos + nSize;
    if (static_cast<size_t>(nEnd) > aBytes.size()) aBytes.resize(static_cast<size_t>(nEnd));
    std::memcpy(aBytes.data() + m_nPos, pData, static_cast<size_t>(nSize));
    m_nPos = nEnd;
    if (m_nPos > m_nSize) m_nSize = m_nPos;
    return nSize;
}

bool MemStream::seek(int64_t nOffset, SeekOrigin eOrigin) {
    int64_t nBase = eOrigin == eSeekSet ? 0 : eOrigin == eSeekCur ? m_nPos : m_nSize;
    int64_t nPos = nBase + nOffset;
    // A write stream may seek past its end (the gap is zero-filled on the next
    // write); a read stream stays inside its bytes.
    int64_t nLimit = m_bWritable ? INT_MAX : m_nSize;
    if (nPos < 0 || nPos > nLimit) return false;
    m_nPos = static_cast<int>(nPos);
    return true;
}

MemStream* MemStream::createReadStream() const {
    MemStream* pReader = new MemStream(nullptr, 0);
    pReader->m_pBuffer = m_pBuffer;
    pReader->m_pExternal = m_pExternal;
    pReader->m_nSize = m_nSize;
    return pReader;
}

// Lives here rather than in str.cpp: it is the one place strings build streams.
MemStream* String::decodeBinary(const String& sText) {
    TSL_TRACE();
    const unsigned char* pText = reinterpret_cast<const unsigned char*>(sText.c_str());
    int nLength = sText.getLength();
    std::vector<unsigned char> aBytes;
    aBytes.reserve(static_cast<size_t>(nLength));
    for (int i = 0; i < nLength; ++i) {
        unsigned char nByte = pText[i];
        if (nByte == 0x01) {
            unsigned char nNext = i + 1 < nLength ? pText[i + 1] : 0;
            if (nNext != 0x01 && nNext != 0x02)
                TSL_THROW(BadStreamFormatException, "String::decodeBinary : broken escape at byte %d of %d", i,
                          nLength);
            nByte = nNext == 0x01 ? 0x00 : 0x01;
            ++i;
        }
        aBytes.push_back(nByte);
    }
    return new MemStream(aBytes.data(), static_cast<int>(aBytes.size()), true);
}

} // namespace Tsl
