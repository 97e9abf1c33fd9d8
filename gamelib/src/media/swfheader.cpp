#include "media/swfheader.h"

#include "tsl2/error.h"
#include "tsl2/zstream.h"

#include <cstring>

namespace {

// Reads n bits, most significant first, from a byte buffer.
class BitReader {
public:
    explicit BitReader(const unsigned char* pBytes) : m_pBytes(pBytes), m_nBit(0) {}
    unsigned int read(int nBits) {
        unsigned int nValue = 0;
        for (int i = 0; i < nBits; ++i, ++m_nBit)
            nValue = (nValue << 1) | ((m_pBytes[m_nBit / 8] >> (7 - m_nBit % 8)) & 1u);
        return nValue;
    }
    int readSigned(int nBits) {
        if (nBits == 0) return 0;
        unsigned int nValue = read(nBits);
        // Two's complement over n bits.
        long long nSigned = nValue;
        if (nValue & (1u << (nBits - 1))) nSigned -= 1LL << nBits;
        return static_cast<int>(nSigned);
    }

private:
    const unsigned char* m_pBytes;
    int m_nBit;
};

enum { MAX_RECT_BYTES = 256, MAX_FRAME_SIDE = 8192 };

} // namespace

void readSwfFrameSize(Tsl::Stream* pStream, int* pWidth, int* pHeight) {
    TSL_TRACE();
    Tsl::String sName = pStream->getName();
    unsigned char aHeader[8];
    if (pStream->read(aHeader, 8) != 8)
        TSL_THROW(BadStreamFormatException, "Flash movie %s : header ends early", sName.c_str());
    bool bCompressed = std::memcmp(aHeader, "CWS", 3) == 0;
    if (!bCompressed && std::memcmp(aHeader, "FWS", 3) != 0)
        TSL_THROW(BadStreamFormatException, "Flash movie %s : no FWS or CWS signature", sName.c_str());
    unsigned char aRect[MAX_RECT_BYTES];
    std::memset(aRect, 0, sizeof(aRect));
    int nRead = 0;
    if (bCompressed) {
        Tsl::ZStream inflater(pStream, Tsl::ZStream::DEFAULT_LEVEL);
        while (nRead < MAX_RECT_BYTES) {
            int n = inflater.read(aRect + nRead, MAX_RECT_BYTES - nRead);
            if (n <= 0) break;
            nRead += n;
        }
    } else {
        nRead = pStream->read(aRect, MAX_RECT_BYTES);
    }
    int nBits = nRead > 0 ? aRect[0] >> 3 : 0;
    int nRectBytes = (4 * nBits + 12) / 8;
    if (nRead < 1 || nRead < nRectBytes)
        TSL_THROW(BadStreamFormatException, "Flash movie %s : header ends early", sName.c_str());
    BitReader bits(aRect);
    bits.read(5);
    int nXMin = bits.readSigned(nBits), nXMax = bits.readSigned(nBits);
    int nYMin = bits.readSigned(nBits), nYMax = bits.readSigned(nBits);
    int nWidth = nXMax / 20 - nXMin / 20, nHeight = nYMax / 20 - nYMin / 20;
    if (nWidth <= 0 || nHeight <= 0 || nWidth > MAX_FRAME_SIDE || nHeight > MAX_FRAME_SIDE)
        TSL_THROW(BadStreamFormatException, "Flash movie %s : frame size %dx%d out of range", sName.c_str(), nWidth,
                  nHeight);
    *pWidth = nWidth;
    *pHeight = nHeight;
}
