// Feeds arbitrary bytes to the GRF archive reader and reads every entry.
// Any outcome but a Tsl exception or a clean read is a bug.
//
// Inputs with an even length get their two header checksums repaired first,
// so the fuzzer also reaches the directory parser and the entry reader
// instead of stopping at the checksums every time.
#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <cstdint>
#include <vector>
#include <zlib.h>

namespace {

void putLE32(unsigned char* p, unsigned int n) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(n >> (8 * i));
}

unsigned int getLE32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned int>(p[3]) << 24);
}

void repairChecksums(std::vector<unsigned char>& aBytes) {
    if (aBytes.size() < Tsl::GRF_HEADER_SIZE) return;
    unsigned char* pHeader = aBytes.data();
    putLE32(pHeader + 20, static_cast<unsigned int>(aBytes.size()));
    unsigned int nDirOffset = getLE32(pHeader + 4);
    if (nDirOffset <= aBytes.size()) {
        unsigned int nDirSize = static_cast<unsigned int>(aBytes.size()) - nDirOffset;
        putLE32(pHeader + 8, nDirSize);
        putLE32(pHeader + 24, static_cast<unsigned int>(crc32(0, aBytes.data() + nDirOffset, nDirSize)));
    }
    putLE32(pHeader + 28, static_cast<unsigned int>(crc32(0, pHeader, 28)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    std::vector<unsigned char> aBytes(pData, pData + nSize);
    if (nSize % 2 == 0) repairChecksums(aBytes);
    try {
        Tsl::ResourceFile archive(new Tsl::MemStream(aBytes.data(), static_cast<int>(aBytes.size())), true);
        Tsl::List<Tsl::String> lNames = archive.getResourceNames();
        for (const Tsl::String& sName : lNames) {
            Tsl::SmartPtr<Tsl::Resource> pResource = archive.getResource(sName);
            if (!pResource) __builtin_trap(); // listed names must be readable
            (void)pResource->getString();
        }
    } catch (const Tsl::Exception&) {
    }
    return 0;
}
