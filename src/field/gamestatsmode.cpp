#include "field/gamestatsmode.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "audio/audiodriver.h"
#include "base/changinglabel.h"
#include "base/formattext.h"
#include "base/names.h"
#include "field/playfield.h"
#include "rules/storyrules.h"
#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

#include <algorithm>
#include <cmath>

namespace {
const int LEFT = 1;
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int LEFT_TOP = 9;
// Rows close together, yet a line never reaches into the next one's text.
const int ROW_SPACING = 2;
const int COUNT_WRAP_WIDTH = 125;
const int TIME_WRAP_WIDTH = 150;

Tsl::List<Tsl::String> parts(std::initializer_list<Tsl::String> lValues) {
    Tsl::List<Tsl::String> l;
    for (const Tsl::String& s : lValues) l.append(s);
    return l;
}

Tsl::String number(int n) { return Tsl::String::format("%d", n); }
}  // namespace

const float GameStatsMode::TICK_VOLUME = 0.2f;

GameStatsMode::GameStatsMode(PlayField* pField, int)
    : QarnDialog(false), m_pResults(pField), m_nPhase(0), m_nTarget(0), m_fValue(0.0f), m_bReached(false),
      m_bResultsWritten(false) {}

GameStatsMode::~GameStatsMode() {}

bool GameStatsMode::isStoryLevel() const { return m_pResults->m_nPlayMode == 0; }

// Ties win.
bool GameStatsMode::isWon() const { return m_pResults->m_nMoney >= m_pResults->m_nMoneyGoal; }

void GameStatsMode::setCountText(const Tsl::String& sText, Tsl::SmartPtr<ChangingLabel> pLabel) {
    Tsl::List<Tsl::String> lParts;
    Tsl::String sJoined;
    int i = 0;
    for (const Tsl::String& sPart : pLabel->m_lParts) {
        Tsl::String sShown = i++ == pLabel->m_nNumberPart ? sText : sPart;
        lParts.append(sShown);
        sJoined += sShown;
    }
    pLabel->m_lParts = lParts;
    pLabel->m_pLabel->setText(sJoined);
}

Tsl::String GameStatsMode::getCountText(Tsl::SmartPtr<ChangingLabel> pLabel) const {
    return pLabel->m_lParts.getAt(pLabel->m_nNumberPart);
}

int GameStatsMode::shownNumber(Tsl::SmartPtr<ChangingLabel> pLabel) const {
    return Tsl::String::toInt(getCountText(pLabel).c_str());
}

void GameStatsMode::addCountingLabel(int nValue, Tsl::SmartPtr<ChangingLabel> pLabel) {
    pLabel->m_pLabel = new Label(Tsl::String());
    pLabel->m_pLabel->setTextAlign(1);
    pLabel->m_pLabel->setWrapWidth(COUNT_WRAP_WIDTH, false);
    setCountText(number(nValue), pLabel);
    addSprite(pLabel->m_pLabel);
    getTable()->addCell(1);
    getTable()->add(pLabel->m_pLabel, LEFT);
}

void GameStatsMode::addCaption(const char* pszKey) { addLabel(getString(pszKey), LEFT); }

Tsl::SmartPtr<ChangingLabel> GameStatsMode::addCountRow(const char* pszCaption, const Tsl::List<Tsl::String>& lParts,
                                                        int nNumberPart, int nValue) {
    getTable()->addRow(1);
    addCaption(pszCaption);
    Tsl::SmartPtr<ChangingLabel> pLabel = new ChangingLabel(lParts, nNumberPart);
    addCountingLabel(nValue, pLabel);
    return pLabel;
}

void GameStatsMode::addBanner() {
    Tsl::SmartPtr<Table> pBanner = new Table(this);
    const char* pszImage = !isStoryLevel() ? Names::IMG_TIMES_UP : isWon() ? Names::IMG_YOU_WIN : Names::IMG_YOU_LOSE;
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(getImage(pszImage), 0, 0, 0);
    addSprite(pSprite);
    pBanner->addCell(1);
    pBanner->add(pSprite, CENTRED);
    // The barmaid beside the banner, glad or sorry.
    m_pCharacter = new AnimSprite(GameApp::getInstance()->getAnimation(Names::ANIM_OLVY_WINDOW), 0, 0, 0);
    m_pCharacter->play(isStoryLevel() && isWon() ? Names::SEQ_HAPPY : Names::SEQ_SAD);
    addSprite(m_pCharacter);
    pBanner->addCell(1);
    pBanner->add(m_pCharacter, CENTRED);
    getTable()->add(pBanner, LEFT_TOP);
    getTable()->addRow(1);
    getTable()->addCell(1);
}

void GameStatsMode::addStoryRows() {
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->addRow(1);
    pTable->addCell(1);
    addCaption(Names::STR_GSM_LEVEL_GOAL);
    pTable->addCell(1);
    m_pGoalLabel = new ChangingLabel(parts({""}), 0);
    m_pGoalLabel->m_pLabel = addLabel(Tsl::String(), LEFT);
    m_pGoalLabel->m_pLabel->setText(Tsl::String::format("$%d", m_pResults->m_nMoneyGoal));

    m_pStarsLabel = addCountRow(Names::STR_GSM_LEVEL_STARS, parts({""}), 0, 0);

    pTable->addRow(1);
    pTable->addCell(1);
    addCaption(Names::STR_GSM_CUSTOMERS);
    pTable->addCell(1);
    Tsl::String sCustomers = number(m_pResults->m_nLevelCustomers);
    m_pCustomersLabel = new ChangingLabel(parts({"", "/", sCustomers}), 0);
    m_pCustomersLabel->m_pLabel = addLabel(Tsl::String(), LEFT);
    m_pCustomersLabel->m_pLabel->setText(Tsl::String("0/") + sCustomers);
}

// The story's purse before and after the level. Stars have no running total
// anywhere in the game, so none is shown.
void GameStatsMode::addTotalRows() {
    addSeparator();
    m_pTotalLabel = addCountRow(Names::STR_GSM_TOTAL, parts({"$", ""}), 1, m_pResults->m_nPrevTotalMoney);
    playOnce(isWon() ? Names::SND_WIN_LEVEL : Names::SND_LOSE_LEVEL, MUSIC_CHANNEL);
}

void GameStatsMode::addTimedRows() {
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->addRow(1);
    pTable->addCell(1);
    addCaption(Names::STR_GSM_TIME);
    pTable->addCell(1);
    m_pTimeLabel = addLabel(formatText(getString(Names::STR_TIME_PLAYED), 0, 0), CENTRED);
    m_pTimeLabel->setTextAlign(1);
    m_pTimeLabel->setWrapWidth(TIME_WRAP_WIDTH, false);
    if (m_pResults->m_nPlayMode == 2)
        m_pStarsLabel = addCountRow(Names::STR_GSM_TOTAL_STARS, parts({""}), 0, 0);
    playOnce(Names::SND_LOSE_LEVEL, MUSIC_CHANNEL);
    m_pCustomersLabel = addCountRow(Names::STR_GSM_CUSTOMERS, parts({""}), 0, 0);
    addSeparator();
}

void GameStatsMode::addSeparator() {
    getTable()->addRow(1);
    getTable()->addCell(2);
    addImage(Names::IMG_BUBBLE_SEPARATOR, CENTRED);
}

void GameStatsMode::addButton() {
    getTable()->addRow(1);
    getTable()->addCell(2);
    Tsl::SmartPtr<Table> pButtons = new Table(this);
    m_pOkButton = new Button(getString(m_pResults->m_nPlayMode == 1 ? Names::TXT_EXIT : Names::TXT_OK), ID_OK);
    addControl(m_pOkButton);
    pButtons->addCell(1);
    pButtons->add(m_pOkButton, CENTRED);
    // A story level's results must be seen through before they count.
    m_pOkButton->setEnabled(!isStoryLevel());
    getTable()->add(pButtons, LEFT_TOP);
}

void GameStatsMode::playOnce(const char* pszSample, int nChannel) {
    GameApp* pApp = GameApp::getInstance();
    pApp->playSound(pApp->getSample(pszSample), false, nChannel);
}

void GameStatsMode::init() {
    TSL_TRACE();
    DialogMode::init();
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->setRowSpacing(ROW_SPACING);
    pTable->addCell(2);
    addBanner();

    addCaption(isStoryLevel() ? Names::STR_GSM_LEVEL_SCORE : Names::STR_GSM_TOTAL);
    m_pScoreLabel = new ChangingLabel(parts({"$", ""}), 1);
    addCountingLabel(0, m_pScoreLabel);
    if (isStoryLevel()) {
        addStoryRows();
        addTotalRows();
    } else {
        addTimedRows();
    }
    addButton();

    pTable->setFrameEnabled(true);
    GameApp::getInstance()->showCursor(true);
    m_nPhase = 0;
    startCount(m_pScoreLabel, 0, m_pResults->m_nMoney);
    layout(true);
}

void GameStatsMode::cleanup() {
    DialogMode::cleanup();
    getTable()->setVisible(false);
}

void GameStatsMode::startCount(Tsl::SmartPtr<ChangingLabel> pLabel, int nStart, int nTarget) {
    m_pCounting = pLabel;
    m_fValue = static_cast<float>(nStart);
    m_nTarget = nTarget;
    // A new count has reached nothing yet, whatever the last one did.
    m_bReached = false;
}

// Prepares a phase; false when this kind of level has no such count.
bool GameStatsMode::startPhase(int nPhase) {
    int nMode = m_pResults->m_nPlayMode;
    switch (nPhase) {
    case 1:
        if (nMode == 0)
            return false;
        startCount(nullptr, 0, static_cast<int>(m_pResults->m_fSecondsPlayed));
        return true;
    case 2:
        if (nMode == 1)
            return false;
        startCount(m_pStarsLabel, 0, m_pResults->m_nStars);
        return true;
    case 3:
        startCount(m_pCustomersLabel, 0, m_pResults->m_nCustomersServed);
        return true;
    case 4: {
        // A lost day's money goes into the purse too (the story keeps it),
        // and the purse stops where the story's does.
        if (nMode != 0)
            return false;
        int nShown = shownNumber(m_pTotalLabel);
        int nTarget = nShown + shownNumber(m_pScoreLabel);
        startCount(m_pTotalLabel, nShown, std::min<int>(nTarget, StoryRules::MONEY_CAP));
        return true;
    }
    case 5:
        // The count of a stars total: the game keeps none.
        return false;
    default:
        m_pCounting = nullptr;
        m_pOkButton->setEnabled(true);
        writeResults();
        return true;
    }
}

void GameStatsMode::enterNextPhase() {
    ++m_nPhase;
    // A phase without a count keeps the reached flag, so the next frame
    // moves on again.
    startPhase(m_nPhase);
}

void GameStatsMode::showValue() {
    int nValue = static_cast<int>(m_fValue);
    if (m_nPhase == 1) {
        m_pTimeLabel->setText(formatText(getString(Names::STR_TIME_PLAYED), nValue / 60, nValue % 60));
    } else if (m_pCounting) {
        setCountText(number(nValue), m_pCounting);
    }
}

void GameStatsMode::onUpdate(float fDt) {
    GameMode::onUpdate(fDt);
    if (m_nPhase >= LAST_PHASE)
        return;
    GameApp* pApp = GameApp::getInstance();
    if (!m_bReached) {
        float fOld = m_fValue;
        m_fValue += m_nTarget * fDt;
        IAudioDriver* pAudio = pApp->getAudioDriver();
        bool bTicking = pAudio && pAudio->isChannelPlaying(TICK_CHANNEL);
        if (!bTicking && std::floor(m_fValue) > std::floor(fOld)) {
            Tsl::SmartPtr<Sample> pTick = pApp->getSample(Names::SND_NUMBER_TICK);
            pTick->setVolume(TICK_VOLUME);
            pApp->playSound(pTick, false, TICK_CHANNEL);
        }
        if (!(m_nTarget > m_fValue)) {
            m_fValue = static_cast<float>(m_nTarget);
            m_bReached = true;
            // Every count ends with its tick.
            pApp->stopSound(TICK_CHANNEL);
        }
        showValue();
    }
    if (m_bReached)
        enterNextPhase();
}

// The level's own money and stars, as the finished counts show them; also
// when the button ends a timed game's count early, so no result is lost.
void GameStatsMode::writeResults() {
    if (m_bResultsWritten)
        return;
    m_bResultsWritten = true;
    if (m_pTotalLabel && isWon())
        m_pResults->m_nMoneyResult = m_pResults->m_nMoney;
    if (m_pStarsLabel)
        m_pResults->m_nStarsResult = m_pResults->m_nStars;
}

void GameStatsMode::onCallback(int nId, int) {
    if (nId != ID_OK)
        return;
    writeResults();
    GameApp::getInstance()->stopAllAudio();
    endMode();
}
