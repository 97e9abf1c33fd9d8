#include "platform/encoding.h"

#include "tsl2/error.h"
#include "tsl2/memstream.h"

#include <vector>

namespace {

// Our own order of the 64 URL-safe symbols; the report's receiving end uses
// the same table.
const char SYMBOLS[] = "pkceEK-8jbCiYudR9ISqnNoZ42g0fGl6hyPAUM1vLF5xWaDHmT_sOBV73wtXJzQr";

int symbolValue(char c) {
    for (int i = 0; i < 64; ++i) {
        if (SYMBOLS[i] == c) return i;
    }
    return -1;
}

} // namespace

Tsl::String encodeBytes(const unsigned char* pData, int nLength) {
    TSL_TRACE();
    Tsl::String sResult;
    if (!pData || nLength <= 0) return sResult;
    sResult.reserve((nLength + 2) / 3 * 4 + 1);
    for (int i = 0; i < nLength; i += 3) {
        unsigned int b0 = pData[i];
        unsigned int b1 = i + 1 < nLength ? pData[i + 1] : 0;
        unsigned int b2 = i + 2 < nLength ? pData[i + 2] : 0;
        sResult += SYMBOLS[b0 >> 2];
        sResult += SYMBOLS[((b0 & 3) << 4) | (b1 >> 4)];
        sResult += SYMBOLS[((b1 & 15) << 2) | (b2 >> 6)];
        sResult += SYMBOLS[b2 & 63];
    }
    return sResult;
}

Tsl::MemStream* decodeBytes(const char* pszText) {
    TSL_TRACE();
    Tsl::String sText(pszText);
    int nLength = sText.getLength();
    std::vector<unsigned char> aBytes;
    aBytes.reserve((nLength + 3) / 4 * 3);
    for (int i = 0; i < nLength; i += 4) {
        // Characters past the end are not read: they count as zero bits.
        // Unknown symbols are -1 and keep only the bits the masks let through.
        unsigned int c[4];
        for (int k = 0; k < 4; ++k)
            c[k] = static_cast<unsigned int>(i + k < nLength ? symbolValue(sText[i + k]) : 0);
        aBytes.push_back(static_cast<unsigned char>((c[0] << 2) | ((c[1] >> 4) & 3)));
        aBytes.push_back(static_cast<unsigned char>((c[1] << 4) | ((c[2] >> 2) & 15)));
        aBytes.push_back(static_cast<unsigned char>((c[2] << 6) | (c[3] & 63)));
    }
    return new Tsl::MemStream(aBytes.data(), static_cast<int>(aBytes.size()), true);
}
