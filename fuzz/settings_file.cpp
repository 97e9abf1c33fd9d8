// Reads fuzzed bytes as the settings file (a zlib stream of the streamer's
// header, the record word, the entry count and the key/value strings) with
// the application's own reader. Nothing may be raised; every entry kept stays
// within the size bound; what was kept is written and read back unchanged.
// Seeds: files the application saved (scripts/run-fuzz.sh puts them in).
#include "app/settingsfile.h"

#include "tsl2/memstream.h"

#include <cstdint>

namespace {
bool sameEntries(const Tsl::Hash<Tsl::String, Tsl::String>& a, const Tsl::Hash<Tsl::String, Tsl::String>& b) {
    if (a.getCount() != b.getCount()) return false;
    for (const Tsl::String& sKey : a.getKeys())
        if (!b.hasKey(sKey) || b.get(sKey) != a.get(sKey)) return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 65536) return 0;
    Tsl::MemStream file(pData, static_cast<int>(nSize));
    Tsl::Hash<Tsl::String, Tsl::String> hRead;
    SettingsFile::read(&file, hRead);
    for (const Tsl::String& sKey : hRead.getKeys())
        if (sKey.getLength() > SettingsFile::MAX_VALUE_SIZE || hRead.get(sKey).getLength() > SettingsFile::MAX_VALUE_SIZE)
            __builtin_trap();
    Tsl::MemStream saved;
    SettingsFile::write(&saved, hRead);
    Tsl::MemStream again(saved.getData(), static_cast<int>(saved.getSize()));
    Tsl::Hash<Tsl::String, Tsl::String> hAgain;
    if (!SettingsFile::read(&again, hAgain).bWhole || !sameEntries(hRead, hAgain)) __builtin_trap();
    return 0;
}
