#include "qarnplayer.h"

#include "tsl2/objectstreamer.h"

QarnPlayer::QarnPlayer()
    : m_bStoryStarted(false), m_nMinutes(3), m_nStage(0), m_nDifficulty(1), m_nTotalScore(0), m_nLevelsWon(0),
      m_nStoryLevel(0), m_bStoryFinished(false), m_abTipShown(), m_nQuickPlayScore(0), m_anUpgrades(),
      m_anSavedUpgrades(), m_anBestUpgrades(), m_nMoney(0), m_nSavedMoney(0) {}

void QarnPlayer::commitSession(int nPlayMode) {
    if (nPlayMode != 0 && nPlayMode != 2)
        return;
    for (int i = 0; i < UPGRADE_KIND_COUNT; ++i) {
        if (nPlayMode == 0)
            m_anSavedUpgrades[i] = m_anUpgrades[i];
        if (m_anUpgrades[i] > m_anBestUpgrades[i])
            m_anBestUpgrades[i] = m_anUpgrades[i];
    }
    if (nPlayMode == 0)
        m_nSavedMoney = m_nMoney;
}

// The stored form is completed with the profile store.
void QarnPlayer::write(Tsl::ObjectStreamer&) const {}
void QarnPlayer::read(Tsl::ObjectStreamer&) {}
