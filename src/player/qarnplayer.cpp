#include "player/qarnplayer.h"

#include "rules/storyrules.h"

#include "tsl2/objectstreamer.h"

namespace {
const char* const PLAYER_MAGIC = "QPL";
const int PLAYER_VERSION = 1;

int clampTo(int n, int nMin, int nMax) { return n < nMin ? nMin : (n > nMax ? nMax : n); }
} // namespace

QarnPlayer::QarnPlayer()
    : m_bStoryStarted(false), m_nMinutes(StoryRules::NEW_STORY_MINUTES), m_nStage(0), m_nDifficulty(1),
      m_nTotalScore(0), m_nLevelsWon(0), m_nStoryLevel(0), m_bStoryFinished(false), m_abTipShown(), m_nQuickPlayScore(0), m_anUpgrades(),
      m_anSavedUpgrades(), m_anBestUpgrades(), m_nMoney(0), m_nSavedMoney(0) {}

void QarnPlayer::commitSession(int nPlayMode) {
    if (nPlayMode != 0 && nPlayMode != 2)
        return;
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) {
        if (nPlayMode == 0)
            m_anSavedUpgrades[i] = m_anUpgrades[i];
        if (m_anUpgrades[i] > m_anBestUpgrades[i])
            m_anBestUpgrades[i] = m_anUpgrades[i];
    }
    if (nPlayMode == 0)
        m_nSavedMoney = m_nMoney;
}

void QarnPlayer::addScore(int nPoints) {
    const long long nMax = MAX_TOTAL_SCORE;
    long long nSum = static_cast<long long>(m_nTotalScore) + nPoints;
    m_nTotalScore = static_cast<int>(nSum < 0 ? 0 : (nSum > nMax ? nMax : nSum));
}

void QarnPlayer::write(Tsl::ObjectStreamer& streamer) const {
    streamer.writeHeader(PLAYER_MAGIC, PLAYER_VERSION);
    streamer.write(m_bStoryStarted);
    streamer.write(m_nMinutes);
    streamer.write(m_nStage);
    streamer.write(m_nDifficulty);
    streamer.write(m_nTotalScore);
    streamer.write(m_nLevelsWon);
    streamer.write(m_nStoryLevel);
    streamer.write(m_bStoryFinished);
    for (bool bShown : m_abTipShown) streamer.write(bShown);
    for (int nLevel : m_anSavedUpgrades) streamer.write(nLevel);
    for (int nLevel : m_anBestUpgrades) streamer.write(nLevel);
    streamer.write(m_nSavedMoney);
}

void QarnPlayer::read(Tsl::ObjectStreamer& streamer) {
    streamer.readHeader(PLAYER_MAGIC, PLAYER_VERSION);
    streamer.read(m_bStoryStarted);
    streamer.read(m_nMinutes);
    streamer.read(m_nStage);
    streamer.read(m_nDifficulty);
    streamer.read(m_nTotalScore);
    streamer.read(m_nLevelsWon);
    streamer.read(m_nStoryLevel);
    streamer.read(m_bStoryFinished);
    for (bool& bShown : m_abTipShown) streamer.read(bShown);
    for (int& nLevel : m_anSavedUpgrades) streamer.read(nLevel);
    for (int& nLevel : m_anBestUpgrades) streamer.read(nLevel);
    streamer.read(m_nSavedMoney);
    clampSaved();
    m_anUpgrades = m_anSavedUpgrades;
    m_nMoney = m_nSavedMoney;
}

// A damaged or edited record must not send the story past its end, index
// the upgrade tables out of range, make a level that never ends or a score
// that the next level's points would carry past the int.
void QarnPlayer::clampSaved() {
    if (m_nMinutes < 1 || m_nMinutes > MAX_MINUTES) m_nMinutes = StoryRules::NEW_STORY_MINUTES;
    m_nTotalScore = clampTo(m_nTotalScore, 0, MAX_TOTAL_SCORE);
    m_nStage = clampTo(m_nStage, 0, StoryRules::STAGE_COUNT);
    m_nDifficulty = clampTo(m_nDifficulty, 0, StoryRules::HARDEST_DIFFICULTY);
    m_nLevelsWon = clampTo(m_nLevelsWon, 0, StoryRules::STORY_LEVELS);
    m_nStoryLevel = clampTo(m_nStoryLevel, 0, StoryRules::STORY_LEVELS);
    m_nSavedMoney = clampTo(m_nSavedMoney, 0, StoryRules::MONEY_CAP);
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) {
        m_anSavedUpgrades[i] = clampTo(m_anSavedUpgrades[i], 0, UpgradeManager::getLevelCount(i) - 1);
        m_anBestUpgrades[i] = clampTo(m_anBestUpgrades[i], 0, UpgradeManager::getLevelCount(i) - 1);
    }
}
