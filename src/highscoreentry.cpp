#include "highscoreentry.h"

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
