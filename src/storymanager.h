#pragma once

#include "qarnmode.h"

class QarnPlayer;

// The story map and level picker. Here: what a level's play screen reads
// from it and reports to it.
class StoryManagerMode : public QarnMode {
public:
    enum { STAGE_COUNT = 5 };
    // Results a play screen reports: 2 the level failed (or, in play modes 1
    // and 2, ended); anything else brings no progress.
    enum { RESULT_NO_PROGRESS = 1, RESULT_FAILED = 2 };
    enum { MONEY_CAP = 999 };

    StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode);
    ~StoryManagerMode() override;

    int getLevelsWon() const;
    int getScore() const;
    int getMoney() const;
    int getStage() const;
    // True only while a story level is being played and it is the last of its stage.
    bool isLastLevelOfStage() const;
    void addScore(int nPoints);
    // The sum stops at 999.
    void addMoney(int nAmount);
    void setLevelResult(int nResult);

    int getStep() const { return m_nStep; }
    void setStep(int nStep) { m_nStep = nStep; }
    int getPendingAction() const { return m_nPendingAction; }

protected:
    int m_nStep;
    int m_nPendingAction;
    QarnPlayer* m_pPlayer;
    int m_nPlayMode;
};
