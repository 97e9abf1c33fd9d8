// Reads a fuzzed customer definition file and walks the definitions as the
// spawn manager does. Malformed lines are skipped; nothing may be raised,
// and no definition may come out without a name or with an empty tag.
#include "field/customers/characterinfo.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 16384) return 0;
    Tsl::List<Tsl::SmartPtr<CharacterInfo>> lDefinitions;
    readCharacterDefinitions("chars_fuzz_0", Tsl::String(reinterpret_cast<const char*>(pData), static_cast<int>(nSize)),
                             lDefinitions);
    for (const Tsl::SmartPtr<CharacterInfo>& pInfo : lDefinitions) {
        for (const Tsl::String& sTag : pInfo->m_lTags)
            if (sTag.isEmpty()) __builtin_trap();
        if (pInfo->m_sName.isEmpty()) __builtin_trap();
    }
    return 0;
}
