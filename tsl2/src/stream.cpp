#include "tsl2/stream.h"

#include <cstring>

namespace Tsl {

Stream::Stream() : m_bBigEndian(false) {}

Stream::~Stream() {}

void Stream::readFully(void* pBuffer, int nSize) {
    TSL_TRACE();
    unsigned char* pBytes = static_cast<unsigned char*>(pBuffer);
    int nDone = 0;
    while (nDone < nSize) {
        int nRead = read(pBytes + nDone, nSize - nDone);
        if (nRead <= 0)
            TSL_THROW(BadStreamFormatException, "Unexpected end of data in %s (needed %d more bytes)",
                      getName().c_str(), nSize - nDone);
        nDone += nRead;
    }
}

int64_t Stream::getRemaining() const {
    int64_t nSize = getSize();
    int64_t nPos = tell();
    if (nSize < 0 || nPos < 0) return -1;
    return nSize > nPos ? nSize - nPos : 0;
}

bool Stream::writeByte(unsigned char nByte) { return write(&nByte, 1) == 1; }

unsigned char Stream::readByte() {
    unsigned char nByte = 0;
    readFully(&nByte, 1);
    return nByte;
}

bool Stream::writeText(const char* pszText) {
    if (!pszText) return true;
    int nLength = static_cast<int>(std::strlen(pszText));
    return write(pszText, nLength) == nLength;
}

bool Stream::writeVarInt(unsigned int nValue) {
    unsigned char aBytes[VARINT_MAX_BYTES];
    int nCount = 0;
    while (nValue >= 0x80) {
        aBytes[nCount++] = static_cast<unsigned char>((nValue & 0x7F) | 0x80);
        nValue >>= 7;
    }
    aBytes[nCount++] = static_cast<unsigned char>(nValue);
    return write(aBytes, nCount) == nCount;
}

unsigned int Stream::readVarInt() {
    TSL_TRACE();
    unsigned int nValue = 0;
    for (int i = 0; i < VARINT_MAX_BYTES; ++i) {
        unsigned char nByte = readByte();
        // The fifth group may only carry the top four bits of a 32-bit value.
        if (i == VARINT_MAX_BYTES - 1 && nByte > 0x0F)
            TSL_THROW(BadStreamFormatException, "Varint too large in %s", getName().c_str());
        nValue |= static_cast<unsigned int>(nByte & 0x7F) << (7 * i);
        if (!(nByte & 0x80)) return nValue;
    }
    TSL_THROW(BadStreamFormatException, "Varint too long in %s", getName().c_str());
}

bool Stream::writeUInt(unsigned int nValue) {
    unsigned char aBytes[4];
    for (int i = 0; i < 4; ++i) {
        int nShift = m_bBigEndian ? 8 * (3 - i) : 8 * i;
        aBytes[i] = static_cast<unsigned char>(nValue >> nShift);
    }
    return write(aBytes, 4) == 4;
}

unsigned int Stream::readUInt() {
    unsigned char aBytes[4];
    readFully(aBytes, 4);
    unsigned int nValue = 0;
    for (int i = 0; i < 4; ++i) {
        int nShift = m_bBigEndian ? 8 * (3 - i) : 8 * i;
        nValue |= static_cast<unsigned int>(aBytes[i]) << nShift;
    }
    return nValue;
}

bool Stream::writeUShort(unsigned short nValue) {
    unsigned char aBytes[2];
    aBytes[m_bBigEndian ? 1 : 0] = static_cast<unsigned char>(nValue);
    aBytes[m_bBigEndian ? 0 : 1] = static_cast<unsigned char>(nValue >> 8);
    return write(aBytes, 2) == 2;
}

unsigned short Stream::readUShort() {
    unsigned char aBytes[2];
    readFully(aBytes, 2);
    unsigned int nLow = aBytes[m_bBigEndian ? 1 : 0];
    unsigned int nHigh = aBytes[m_bBigEndian ? 0 : 1];
    return static_cast<unsigned short>(nLow | (nHigh << 8));
}

bool Stream::writeFloat(float fValue) {
    unsigned int nBits = 0;
    std::memcpy(&nBits, &fValue, 4);
    return writeUInt(nBits);
}

float Stream::readFloat() {
    unsigned int nBits = readUInt();
    float fValue = 0.0f;
    std::memcpy(&fValue, &nBits, 4);
    return fValue;
}

} // namespace Tsl
