// Feeds arbitrary bytes to the Flash movie header reader: it either gives a
// size within its limits or raises its own error, never reads out of bounds.
#include "media/swfheader.h"

#include "tsl2/error.h"
#include "tsl2/memstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > (1u << 16)) return 0;
    std::vector<std::uint8_t> aBytes(pData, pData + nSize);
    Tsl::SmartPtr<Tsl::MemStream> pStream = new Tsl::MemStream(aBytes.data(), static_cast<int>(aBytes.size()));
    int nWidth = 0, nHeight = 0;
    try {
        readSwfFrameSize(pStream, &nWidth, &nHeight);
    } catch (const Tsl::BadStreamFormatException&) {
        return 0;
    }
    if (nWidth <= 0 || nHeight <= 0 || nWidth > 8192 || nHeight > 8192) abort();
    return 0;
}
