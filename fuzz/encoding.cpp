// Feeds arbitrary text to the 64-symbol decoder and checks both directions
// against each other: decoding never reads past the text, and whatever it
// decodes encodes and decodes back to the same bytes.
#include "platform/encoding.h"

#include "tsl2/memstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > (1u << 16)) return 0;
    // An exact-size copy, so reading past the terminator is caught.
    std::vector<char> aText(pData, pData + nSize);
    aText.push_back('\0');
    std::unique_ptr<Tsl::MemStream> pBytes(decodeBytes(aText.data()));
    int nLength = static_cast<int>(strlen(aText.data()));
    if (pBytes->getSize() != (nLength + 3) / 4 * 3) abort();

    Tsl::String sAgain = encodeBytes(pBytes->getData(), pBytes->getSize());
    std::unique_ptr<Tsl::MemStream> pAgain(decodeBytes(sAgain));
    if (pAgain->getSize() != pBytes->getSize()) abort();
    if (pBytes->getSize() > 0 && memcmp(pAgain->getData(), pBytes->getData(), pBytes->getSize()) != 0) abort();

    // The raw input as bytes: encoded, it decodes to itself plus zero padding.
    Tsl::String sEncoded = encodeBytes(pData, static_cast<int>(nSize));
    if (sEncoded.getLength() != static_cast<int>((nSize + 2) / 3 * 4)) abort();
    std::unique_ptr<Tsl::MemStream> pBack(decodeBytes(sEncoded));
    if (nSize > 0 && memcmp(pBack->getData(), pData, nSize) != 0) abort();
    return 0;
}
