#include "gamestatsmode.h"

#include "app/gameapp.h"
#include "playfield.h"

GameStatsMode::GameStatsMode(PlayField* pField, int) : QarnDialog(false), m_pField(pField) {}

GameStatsMode::~GameStatsMode() {}

void GameStatsMode::init() { DialogMode::init(); }

void GameStatsMode::writeResults() {
    m_pField->m_nMoneyResult = m_pField->m_nMoney;
    m_pField->m_nStarsResult = m_pField->m_nStars;
}

void GameStatsMode::onCallback(int nId, int nData) {
    if (nId != 0)
        return;
    writeResults();
    GameApp::getInstance()->stopAllAudio();
    endMode();
}

bool GameStatsMode::onMouseUp(int nButton, int nX, int nY) {
    onCallback(0, 0);
    return true;
}
