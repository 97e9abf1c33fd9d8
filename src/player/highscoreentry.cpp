#include "player/highscoreentry.h"

#include "tsl2/list_impl.h"
#include "tsl2/memstream.h"

#include <memory>

namespace {

// The lowest score; the last of equal ones.
int indexOfLowest(const HighscoreTable& table) {
    int nLowest = 0, nIndex = 0;
    for (const HighscoreEntry& entry : table) {
        if (entry.m_nScore <= table.getAt(nLowest).m_nScore) nLowest = nIndex;
        ++nIndex;
    }
    return nLowest;
}

// Past nKeep entries the lowest goes, so what stays is what sorting the
// whole table and cutting it would leave. True when none had to go.
bool readTable(HighscoreStreamer& adapter, int nKeep, HighscoreTable& table) {
    unsigned int nCount = HighscoreTable::readStreamCount(adapter);
    for (unsigned int i = 0; i < nCount; ++i) {
        unsigned char nMarker = 0;
        adapter.read(nMarker);
        HighscoreEntry entry;
        adapter.read(entry);
        table.append(entry);
        if (table.getCount() > nKeep) table.removeAt(indexOfLowest(table));
    }
    if (nCount <= static_cast<unsigned int>(nKeep)) return true;
    table.sort();
    return false;
}

} // namespace

HighscoreEntry::HighscoreEntry() : m_nScore(0) {}

HighscoreEntry::HighscoreEntry(const Tsl::String& sName, int nScore, const Tsl::String& sExtra)
    : m_sName(sName), m_nScore(nScore), m_sExtra(sExtra) {}

HighscoreEntry::HighscoreEntry(const HighscoreEntry& other)
    : m_sName(other.m_sName), m_nScore(other.m_nScore), m_sExtra(other.m_sExtra) {}

HighscoreEntry& HighscoreEntry::operator=(const HighscoreEntry& other) {
    m_sName = other.m_sName;
    m_nScore = other.m_nScore;
    m_sExtra = other.m_sExtra;
    return *this;
}

HighscoreEntry::~HighscoreEntry() {}

void HighscoreEntry::write(Tsl::ObjectStreamer& streamer) const {
    streamer.write(m_sName);
    streamer.write(m_nScore);
    streamer.write(m_sExtra);
}

void HighscoreEntry::read(Tsl::ObjectStreamer& streamer) {
    streamer.read(m_sName);
    streamer.read(m_nScore);
    streamer.read(m_sExtra);
}

Tsl::String writeHighscoreTables(const Tsl::List<HighscoreTable>& lTables) {
    Tsl::MemStream stream;
    {
        Tsl::ObjectStreamer streamer(&stream, false);
        HighscoreStreamer adapter(streamer);
        for (const HighscoreTable& table : lTables) {
            adapter.write(static_cast<unsigned char>(0));
            table.persistTo(adapter);
        }
    }
    return Tsl::String::encodeBinary(stream.getData(), static_cast<int>(stream.getSize()));
}

bool readHighscoreTables(const Tsl::String& sValue, int nTables, int nKeep, Tsl::List<HighscoreTable>& lTables) {
    std::unique_ptr<Tsl::MemStream> pDecoded(Tsl::String::decodeBinary(sValue));
    std::unique_ptr<Tsl::MemStream> pReader(pDecoded->createReadStream());
    Tsl::ObjectStreamer streamer(pReader.get(), false);
    HighscoreStreamer adapter(streamer);
    bool bWhole = true;
    for (int t = 0; t < nTables; ++t) {
        if (pReader->tell() >= pReader->getSize()) return false;
        unsigned char nMarker = 0;
        adapter.read(nMarker);
        HighscoreTable table;
        bWhole = readTable(adapter, nKeep, table) && bWhole;
        lTables.append(table);
    }
    return bWhole;
}
