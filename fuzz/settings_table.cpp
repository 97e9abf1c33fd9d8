// Reads a settings-like table (keys and values as two string lists) with the
// ObjectStreamer from arbitrary bytes, raw or through the zlib stream as the
// settings file stores it. Only Tsl exceptions may come out.
#include "tsl2/hash.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize == 0) return 0;
    // The first byte picks the variant; the rest is the stream.
    bool bCompressed = pData[0] & 1;
    Tsl::Stream* pStream = new Tsl::MemStream(pData + 1, static_cast<int>(nSize - 1));
    try {
        // Owning constructors delete their stream even when they throw, so
        // hand it over before calling them.
        Tsl::Stream* pOwned = pStream;
        pStream = nullptr;
        if (bCompressed) pOwned = new Tsl::ZStream(pOwned, -1, true);
        Tsl::ObjectStreamer is(pOwned, true);
        Tsl::List<Tsl::String> lKeys, lValues;
        lKeys.persistFrom(is);
        lValues.persistFrom(is);
        Tsl::Hash<Tsl::String, Tsl::String> hSettings;
        for (int i = 0; i < lKeys.getCount() && i < lValues.getCount(); ++i) hSettings.set(lKeys.getAt(i), lValues.getAt(i));
        Tsl::String sTail;
        is.read(sTail);
        delete Tsl::String::decodeBinary(sTail);
    } catch (const Tsl::Exception&) {
    }
    delete pStream;
    return 0;
}
