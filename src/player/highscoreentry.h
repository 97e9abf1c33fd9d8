#pragma once

#include "tsl2/list.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/str.h"

// One line of a high-score table.
class HighscoreEntry {
public:
    HighscoreEntry();
    HighscoreEntry(const Tsl::String& sName, int nScore, const Tsl::String& sExtra = Tsl::String());
    HighscoreEntry(const HighscoreEntry& other);
    HighscoreEntry& operator=(const HighscoreEntry& other);
    virtual ~HighscoreEntry();

    // Name (tagged string), score (32-bit), second text (tagged string).
    virtual void write(Tsl::ObjectStreamer& streamer) const;
    virtual void read(Tsl::ObjectStreamer& streamer);

    // The sort order of a table: the higher score first.
    bool operator>(const HighscoreEntry& other) const { return m_nScore > other.m_nScore; }

    Tsl::String m_sName;
    int m_nScore;
    // Stored and carried over on insertion; shown nowhere.
    Tsl::String m_sExtra;
};

// Lets Tsl::List<HighscoreEntry>::persistTo/persistFrom run over an object
// streamer: the list's own bytes go straight through, an entry writes and
// reads itself.
class HighscoreStreamer {
public:
    explicit HighscoreStreamer(Tsl::ObjectStreamer& streamer) : m_streamer(streamer) {}

    void write(unsigned char n) { m_streamer.write(n); }
    void writeVarInt(unsigned int n) { m_streamer.writeVarInt(n); }
    void write(const HighscoreEntry& entry) { entry.write(m_streamer); }

    void read(unsigned char& n) { m_streamer.read(n); }
    void read(int& n) { m_streamer.read(n); }
    unsigned int readVarInt() { return m_streamer.readVarInt(); }
    void read(HighscoreEntry& entry) { entry.read(m_streamer); }

private:
    Tsl::ObjectStreamer& m_streamer;
};

typedef Tsl::List<HighscoreEntry> HighscoreTable;

// The stored form of the tables (the setting "Highscores"): the streamer's
// header, then for each table a byte 0 and the list, escaped so that the
// text holds no zero byte.
Tsl::String writeHighscoreTables(const Tsl::List<HighscoreTable>& lTables);
// Appends the stored tables to lTables, at most nTables; one cut off at its
// start is missing. Each keeps no more than its best nKeep entries (sorted
// then), read one at a time, so a huge stored table never stands in memory
// whole. True when all nTables were there and none had to be cut. Raises
// BadStreamFormatException on damaged data.
bool readHighscoreTables(const Tsl::String& sValue, int nTables, int nKeep, Tsl::List<HighscoreTable>& lTables);
