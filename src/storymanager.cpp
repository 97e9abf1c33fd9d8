#include "storymanager.h"

#include "qarnplayer.h"

namespace {
// Cumulative level counts by stage.
const int s_anStageEnds[StoryManagerMode::STAGE_COUNT] = {10, 20, 30, 40, 50};
enum { STEP_PLAYING = 2, STEP_WAITING = 3 };
}  // namespace

StoryManagerMode::StoryManagerMode(int, int, QarnPlayer* pPlayer, int nPlayMode)
    : QarnMode(MF_ACTIVE), m_nStep(0), m_nPendingAction(0), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode) {}

StoryManagerMode::~StoryManagerMode() {}

int StoryManagerMode::getLevelsWon() const { return m_pPlayer ? m_pPlayer->m_nLevelsWon : 0; }
int StoryManagerMode::getScore() const { return m_pPlayer ? m_pPlayer->m_nTotalScore : 0; }
int StoryManagerMode::getMoney() const { return m_pPlayer ? m_pPlayer->m_nMoney : 0; }
int StoryManagerMode::getStage() const { return m_pPlayer ? m_pPlayer->m_nStage : 0; }

bool StoryManagerMode::isLastLevelOfStage() const {
    if (m_nStep != STEP_PLAYING || !m_pPlayer) return false;
    int nStage = m_pPlayer->m_nStage;
    if (nStage < 0 || nStage >= STAGE_COUNT) return false;
    return s_anStageEnds[nStage] == m_pPlayer->m_nStoryLevel + 1;
}

void StoryManagerMode::addScore(int nPoints) {
    if (m_pPlayer) m_pPlayer->m_nTotalScore += nPoints;
}

void StoryManagerMode::addMoney(int nAmount) {
    if (!m_pPlayer) return;
    m_pPlayer->m_nMoney += nAmount;
    if (m_pPlayer->m_nMoney > MONEY_CAP) m_pPlayer->m_nMoney = MONEY_CAP;
}

void StoryManagerMode::setLevelResult(int nResult) {
    if (nResult == RESULT_FAILED)
        m_nPendingAction = 2;
    else
        m_nStep = STEP_WAITING;
}
