// Reads fuzzed bytes as the settings file (a zlib stream of the streamer's
// header, the record word, the entry count and the key/value strings) with
// the application's own reader, passing the game's own keys as the game
// does, so that the path keeping them past the entry bound is taken; the
// bytes after the separator (settings_file_input.h), when there, are read as
// the kept copy and merged in as a damaged read takes from it. Nothing may
// be raised; every entry kept stays within the size bounds; the merge loses
// no own key of the copy, and no entry read but, after damage inside the
// stream, those of keys neither the copy nor the own keys know; it replaces
// values only after such damage; what was kept is written and read back
// unchanged. Seeds: files the application saved (scripts/run-fuzz.sh puts
// them in), one with a kept copy.
#include "settings_file_input.h"

#include "app/settingsfile.h"
#include "screens/names.h"

#include "tsl2/memstream.h"

#include <algorithm>
#include <cstdint>

namespace {

typedef Tsl::Hash<Tsl::String, Tsl::String> Entries;

const Tsl::List<Tsl::String>& ownKeys() {
    static Tsl::List<Tsl::String> s_lKeys = [] {
        Tsl::List<Tsl::String> lKeys;
        for (const char* pszKey : ScreenNames::LIBRARY_SETTING_KEYS) lKeys.append(pszKey);
        return lKeys;
    }();
    return s_lKeys;
}

bool sameEntries(const Entries& a, const Entries& b) {
    if (a.getCount() != b.getCount()) return false;
    for (const Tsl::String& sKey : a.getKeys())
        if (!b.hasKey(sKey) || b.get(sKey) != a.get(sKey)) return false;
    return true;
}

// Within the size bounds, and no more new keys than the bound beside the own ones.
void checkBounds(const Entries& hEntries) {
    if (hEntries.getCount() > SettingsFile::MAX_ENTRIES + ownKeys().getCount()) __builtin_trap();
    for (const Tsl::String& sKey : hEntries.getKeys())
        if (sKey.getLength() > SettingsFile::MAX_VALUE_SIZE ||
            hEntries.get(sKey).getLength() > SettingsFile::MAX_VALUE_SIZE)
            __builtin_trap();
}

SettingsFile::Report readBytes(const std::uint8_t* pData, std::size_t nSize, Entries& hEntries) {
    Tsl::MemStream file(pData, static_cast<int>(nSize));
    SettingsFile::Report report = SettingsFile::read(&file, hEntries, ownKeys());
    checkBounds(hEntries);
    return report;
}

void checkMerge(const std::uint8_t* pKept, std::size_t nKept, Entries& hRead, const SettingsFile::Report& read) {
    Entries hKept;
    SettingsFile::Report kept = readBytes(pKept, nKept, hKept);
    const Entries hBefore = hRead;
    SettingsFile::takeFromKept(hRead, read, hKept, kept, ownKeys());
    checkBounds(hRead);
    bool bMayBeChanged = !read.bChecked && !read.bCutShort;
    bool bMayReplace = bMayBeChanged && kept.bChecked;
    for (const Tsl::String& sKey : hBefore.getKeys()) {
        bool bKnown = hKept.hasKey(sKey) || ownKeys().indexOf(sKey) >= 0;
        if (hRead.hasKey(sKey) != (bKnown || !bMayBeChanged)) __builtin_trap();
        if (hRead.hasKey(sKey) && !bMayReplace && hRead.get(sKey) != hBefore.get(sKey)) __builtin_trap();
    }
    for (const Tsl::String& sKey : ownKeys())
        if (hKept.hasKey(sKey) && !hRead.hasKey(sKey)) __builtin_trap();
}

// What a file of these entries unpacks to, the most the header and the
// lengths may take included.
std::int64_t unpackedSize(const Entries& hEntries) {
    std::int64_t nSize = 64;
    for (const Tsl::String& sKey : hEntries.getKeys()) nSize += sKey.getLength() + hEntries.get(sKey).getLength() + 12;
    return nSize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 65536) return 0;
    const std::uint8_t* pEnd = pData + nSize;
    const std::uint8_t* pSeparator =
        std::search(pData, pEnd, SettingsFileInput::KEPT_SEPARATOR,
                    SettingsFileInput::KEPT_SEPARATOR + SettingsFileInput::KEPT_SEPARATOR_LENGTH);
    Entries hRead;
    SettingsFile::Report read = readBytes(pData, std::size_t(pSeparator - pData), hRead);
    if (pSeparator != pEnd) {
        const std::uint8_t* pKept = pSeparator + SettingsFileInput::KEPT_SEPARATOR_LENGTH;
        checkMerge(pKept, std::size_t(pEnd - pKept), hRead, read);
    }
    // Two reads merged may pass the whole bound, which a saved file may not.
    if (unpackedSize(hRead) > SettingsFile::MAX_TOTAL_SIZE) return 0;
    Tsl::MemStream saved;
    SettingsFile::write(&saved, hRead);
    Tsl::MemStream again(saved.getData(), static_cast<int>(saved.getSize()));
    Entries hAgain;
    if (!SettingsFile::read(&again, hAgain, ownKeys()).bWhole || !sameEntries(hRead, hAgain)) __builtin_trap();
    return 0;
}
