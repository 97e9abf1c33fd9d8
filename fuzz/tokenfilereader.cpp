// Feeds arbitrary bytes to the token-file reader and walks every line.
#include "tsl2/tokenfilereader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > (1u << 20)) return 0;
    Tsl::String sText(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    try {
        Tsl::TokenFileReader reader(sText, "fuzz.txt");
        while (!reader.isEOF()) {
            reader.nextLine();
            reader.needTokensMessage(reader.getTokens().getCount() + 1);
            for (const Tsl::String& sToken : reader.getTokens())
                if (sToken.isEmpty()) __builtin_trap();
        }
        reader.nextLine();
    } catch (const Tsl::Exception&) {
    }
    return 0;
}
