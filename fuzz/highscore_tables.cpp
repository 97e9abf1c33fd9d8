// Reads fuzzed text as the stored high-score tables (the setting
// "Highscores") with the game's own reader, three tables of at most ten.
// Only Tsl exceptions may come out; no table may hold more than ten; the
// tables read are written and read back unchanged.
// Seeds: tables the game stored (scripts/run-fuzz.sh puts them in).
#include "player/highscoreentry.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 65536) return 0;
    Tsl::String sValue(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    Tsl::List<HighscoreTable> lTables;
    try {
        readHighscoreTables(sValue, 3, 10, lTables);
    } catch (const Tsl::Exception&) {
        return 0;
    }
    for (const HighscoreTable& table : lTables)
        if (table.getCount() > 10) __builtin_trap();
    Tsl::String sStored = writeHighscoreTables(lTables);
    Tsl::List<HighscoreTable> lAgain;
    if (!readHighscoreTables(sStored, lTables.getCount(), 10, lAgain)) __builtin_trap();
    if (writeHighscoreTables(lAgain) != sStored) __builtin_trap();
    return 0;
}
