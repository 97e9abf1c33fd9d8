#include "field/levelrules.h"

#include "field/levelreport.h"
#include "field/playfield.h"
#include "player/qarnplayer.h"
#include "rules/storyrules.h"

#include <algorithm>

LevelRules::LevelRules(PlayField& field, int nPlayMode, int nDifficulty, QarnPlayer* pPlayer, int nMinutes)
    : m_field(field), m_nPlayMode(nPlayMode), m_nDifficulty(nDifficulty), m_pPlayer(pPlayer), m_nMinutes(nMinutes) {
    m_field.m_nPlayMode = nPlayMode;
    int nLevel = m_pPlayer ? m_pPlayer->m_nStoryLevel : 0;
    StoryRules::LevelValues v = StoryRules::levelValues(nLevel, m_nDifficulty);
    m_field.m_nStage = StoryRules::stageOf(nLevel);
    m_field.m_fMinSpawnDelay = v.fMinDelay;
    m_field.m_fMaxSpawnDelay = v.fMaxDelay;
    if (m_nPlayMode == 0) {
        m_field.m_nMoneyGoal = v.nGoal;
        m_field.m_nLevelCustomers = v.nCustomers;
        m_field.m_nCustomersToCome = v.nCustomers;
        if (m_nMinutes < 0) m_nMinutes = v.nMinutes;
    } else {
        // The timed modes: customers without end for the player's minutes.
        m_field.m_nMoneyGoal = 0;
        m_field.m_nLevelCustomers = -1;
        m_field.m_nCustomersToCome = -1;
    }
    if (m_nMinutes <= 0) m_nMinutes = DEFAULT_MINUTES;
}

void LevelRules::setReport(LevelReport* pReport, int nScene) {
    m_pReport = pReport;
    if (!pReport) return;
    m_field.m_nPrevTotalMoney = pReport->getMoney();
    m_field.m_nTotalScore = pReport->getScore();
    m_field.m_nLevelsWon = pReport->getLevelsWon();
    m_field.m_nStage = m_nPlayMode == 0 ? pReport->getStage() : nScene;
}

int LevelRules::getSecondsLeft() const {
    int nLeft = static_cast<int>(m_nMinutes * 60.0f - m_fSeconds);
    return nLeft < 0 ? 0 : nLeft;
}

bool LevelRules::isGoalReached() const { return m_nPlayMode == 0 && m_field.m_nMoney >= m_field.m_nMoneyGoal; }

bool LevelRules::runClock(float fDt) {
    m_fSeconds += fDt;
    m_field.m_fSecondsPlayed = m_fSeconds;
    if (m_bClosed || m_fSeconds < m_nMinutes * 60.0f) return false;
    m_bClosed = true;
    return true;
}

void LevelRules::paceArrivals() {
    int nLeft = m_field.m_nCustomersToCome;
    if (m_nPlayMode != 0 || nLeft < 0) return;
    float fWindow = m_nMinutes * 60.0f - LAST_GUEST_SECONDS - m_fSeconds;
    // The count still holds the guest that comes when the delay runs out:
    // the delay drawn then is the wait for the one after it.
    float fHaste = 1.0f - ARRIVAL_HASTE * float(m_nDifficulty);
    float fGap = nLeft > 1 ? fWindow / float(nLeft - 1) * fHaste : SHORTEST_DELAY;
    float fSpread = ARRIVAL_SPREAD * float(m_nDifficulty + 1);
    m_field.m_fMinSpawnDelay = std::max(SHORTEST_DELAY, fGap * (1.0f - fSpread));
    // Never later than the last guest is due.
    m_field.m_fMaxSpawnDelay = std::max(m_field.m_fMinSpawnDelay, std::min(fGap * (1.0f + fSpread), fWindow));
}

void LevelRules::payIn(int nMoney, int nStars) {
    m_field.m_nMoney += nMoney;
    m_field.m_nStars += nStars;
    ++m_field.m_nCustomersServed;
}

void LevelRules::end() {
    m_bEnded = true;
    int nMoney = m_field.m_nMoney;
    if (m_nPlayMode == 0) {
        if (!m_pReport) return;
        m_pReport->addScore(nMoney * SCORE_PER_MONEY + m_field.m_nStars * STAR_POINTS);
        m_pReport->addMoney(nMoney);
        if (nMoney < m_field.m_nMoneyGoal) report(LevelReport::RESULT_FAILED);
        return;
    }
    if (m_pPlayer) m_pPlayer->m_nQuickPlayScore = nMoney;
    report(LevelReport::RESULT_FAILED);
}

void LevelRules::quit() {
    report(LevelReport::RESULT_NO_PROGRESS);
    m_bEnded = true;
}

void LevelRules::refuse() { report(LevelReport::RESULT_NO_PROGRESS); }

void LevelRules::report(int nResult) {
    if (m_pReport) m_pReport->setLevelResult(nResult);
}
