#pragma once

#include "rules/upgrademanager.h"

#include "screens/profiledata.h"

// The game's player record: story progress, money, scores and upgrades.
class QarnPlayer : public ProfileData {
public:
    enum { TIP_COUNT = 22 };
    enum { MAX_TOTAL_SCORE = 999999999, MAX_MINUTES = 60 };

    QarnPlayer();

    // Play mode 0 keeps the session's upgrades and money for the story; 2
    // only raises the best upgrade levels; any other value keeps nothing.
    void commitSession(int nPlayMode);
    // Adds to the story's total score, which stays within 0 to MAX_TOTAL_SCORE.
    void addScore(int nPoints);

    // The saved fields; reading clamps each to its range and starts the
    // session's upgrades and money from the saved ones.
    void write(Tsl::ObjectStreamer& streamer) const override;
    void read(Tsl::ObjectStreamer& streamer) override;

    bool m_bStoryStarted;
    int m_nMinutes;          // level length of the relax and free-play modes
    int m_nStage;            // 0-4 while the story runs, 5 once it is won
    int m_nDifficulty;       // 0-2
    int m_nTotalScore;       // of the story
    int m_nLevelsWon;        // 0-50
    int m_nStoryLevel;       // 0-50, the next level to play
    bool m_bStoryFinished;
    bool m_abTipShown[TIP_COUNT];
    int m_nQuickPlayScore;   // money of the last level of play modes 1 and 2; not saved
    UpgradeLevels m_anUpgrades;       // current levels; not saved
    UpgradeLevels m_anSavedUpgrades;  // the story's
    UpgradeLevels m_anBestUpgrades;
    int m_nMoney;            // current, 0-999; not saved
    int m_nSavedMoney;

private:
    void clampSaved();
};
