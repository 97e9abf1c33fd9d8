#include "story/storymanager.h"

#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "story/storymodefactory.h"
#include "rules/storyrules.h"
#include "field/tip.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "audio/audiodriver.h"
#include "effects/particleemitter.h"
#include "tsl2/error.h"
#include "tsl2/random.h"
#include "ui/label.h"

namespace {
enum { FINISHED_STAGE = StoryRules::STAGE_COUNT, NEW_STORY_STATION_LEVEL = 1 };
// The line under the story pages' captions, in their paper's bottom right
// corner, shown a second after its page.
enum { CLICK_ON_X = 590, CLICK_ON_Y = 572 };
const float CLICK_ON_DELAY = 1.0f;
// Map tips that come back together until all of them were seen.
const int s_anMapTipGroup[] = {3, 4, 5, 6, 7, 18};

int clampInt(int nValue, int nLow, int nHigh) { return nValue < nLow ? nLow : nValue > nHigh ? nHigh : nValue; }
// A damaged profile may carry a stage or level beyond the tables: look-ups
// stay inside them.
int tableStage(int nStage) { return clampInt(nStage, 0, StoryRules::STAGE_COUNT - 1); }
}  // namespace

StoryManagerMode::StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode)
    : QarnMode(MF_ACTIVE), m_nStep(0), m_nPendingAction(0), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode),
      m_pFactory(StoryModeFactory::getDefault()) {
    construct(nDifficulty, nMinutes, true);
}

StoryManagerMode::StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode, NoMap)
    : QarnMode(MF_ACTIVE), m_nStep(0), m_nPendingAction(0), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode),
      m_pFactory(StoryModeFactory::getDefault()) {
    construct(nDifficulty, nMinutes, false);
}

StoryManagerMode::StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode,
                                   StoryModeFactory* pFactory)
    : QarnMode(MF_ACTIVE), m_nStep(0), m_nPendingAction(0), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode),
      m_pFactory(pFactory ? pFactory : StoryModeFactory::getDefault()) {
    construct(nDifficulty, nMinutes, true);
}

void StoryManagerMode::construct(int nDifficulty, int nMinutes, bool bMap) {
    TSL_TRACE();
    GameApp::log("SMc\n");
    if (!m_pPlayer) TSL_THROW(BadParmException, "StoryManagerMode : no player");
    m_fTargetX = m_fTargetY = m_fVelX = m_fVelY = m_fMarkerX = m_fMarkerY = 0.0f;
    applyNewStoryRule(nDifficulty, nMinutes);
    m_pPlayer->m_nQuickPlayScore = 0;
    if (bMap) buildMap();
    GameApp* pApp = GameApp::getInstance();
    if (pApp) {
        m_lKeepImages = pApp->getCachedImageNames();
        m_lKeepAnimations = pApp->getAnimationNames();
    }
    m_nLoadedSite = LOADED_NONE;
    warmEmitters();
    if (m_nStep != STEP_STAGE_PAGES) onActivate();
}

StoryManagerMode::~StoryManagerMode() {
    GameApp::log("SMd\n");
    m_lKeepImages.clear();
    m_lKeepAnimations.clear();
    m_lEmitters.clear();
    m_pTip = nullptr;
    m_lAnims.clear();
    m_lFlowers.clear();
    m_lLocks.clear();
    m_lHighlights.clear();
}

// A story begins only for a player without one, from the menu's new-story paths.
void StoryManagerMode::applyNewStoryRule(int nDifficulty, int nMinutes) {
    QarnPlayer* pPlayer = m_pPlayer;
    if (pPlayer->m_bStoryStarted || nMinutes == 0 || m_nPlayMode != 0) {
        m_nStep = STEP_WAITING;
        return;
    }
    pPlayer->m_bStoryStarted = true;
    pPlayer->m_nStage = 0;
    pPlayer->m_nDifficulty = clampInt(nDifficulty, 0, StoryRules::HARDEST_DIFFICULTY);
    pPlayer->m_nMinutes = nMinutes;
    pPlayer->m_nTotalScore = 0;
    pPlayer->m_nMoney = 0;
    pPlayer->m_nLevelsWon = 0;
    pPlayer->m_nStoryLevel = 0;
    pPlayer->m_anUpgrades.fill(0);
    pPlayer->m_anUpgrades[UpgradeManager::KIND_STATION_0] = NEW_STORY_STATION_LEVEL;
}

void StoryManagerMode::init() {
    GameApp::log("B: >SM M%d S%d-%d\n", m_nPlayMode, m_pPlayer->m_nStage, m_pPlayer->m_nStoryLevel);
}

bool StoryManagerMode::onKeyDown(int nKey, int nModifiers) { return GameMode::onKeyDown(nKey, nModifiers); }

int StoryManagerMode::getLevelsWon() const { return m_pPlayer ? m_pPlayer->m_nLevelsWon : 0; }
int StoryManagerMode::getScore() const { return m_pPlayer ? m_pPlayer->m_nTotalScore : 0; }
int StoryManagerMode::getMoney() const { return m_pPlayer ? m_pPlayer->m_nMoney : 0; }
int StoryManagerMode::getStage() const { return m_pPlayer ? m_pPlayer->m_nStage : 0; }

bool StoryManagerMode::isLastLevelOfStage() const {
    if (m_nStep != STEP_PLAYING || !m_pPlayer) return false;
    int nStage = m_pPlayer->m_nStage;
    if (nStage < 0 || nStage >= StoryRules::STAGE_COUNT) return false;
    return StoryRules::stageEnd(nStage) == m_pPlayer->m_nStoryLevel + 1;
}

void StoryManagerMode::addScore(int nPoints) {
    if (m_pPlayer) m_pPlayer->addScore(nPoints);
}

void StoryManagerMode::addMoney(int nAmount) {
    if (!m_pPlayer) return;
    m_pPlayer->m_nMoney += nAmount;
    if (m_pPlayer->m_nMoney > StoryRules::MONEY_CAP) m_pPlayer->m_nMoney = StoryRules::MONEY_CAP;
}

void StoryManagerMode::setLevelResult(int nResult) {
    if (nResult == RESULT_FAILED)
        m_nPendingAction = ACTION_LEVEL_FAILED;
    else
        m_nStep = STEP_WAITING;
}

// ---- the step machine --------------------------------------------------------------

void StoryManagerMode::onActivate() {
    TSL_TRACE();
    if (m_nPendingAction == ACTION_LEAVE && m_nStep != STEP_SUBMIT_SCORE) {
        leave();
        return;
    }
    if (m_nPendingAction == ACTION_LEVEL_FAILED) {
        m_nPendingAction = ACTION_NONE;
        m_nStep = m_nPlayMode == 0 ? STEP_WAITING : STEP_SUBMIT_SCORE;
    }
    switch (m_nStep) {
    case STEP_STAGE_PAGES: showStagePages(); break;
    case STEP_START_LEVEL: startStoryLevel(); break;
    case STEP_PLAYING: countWonLevel(); break;
    case STEP_WAITING: waitOnMap(); break;
    case STEP_STORE: openStore(); break;
    case STEP_SUBMIT_SCORE: submitScore(); break;
    case STEP_ADVANCE:
        advanceOnMap();
        m_nStep = STEP_WAITING;
        onActivate();
        break;
    default: break;
    }
}

void StoryManagerMode::showStagePages() {
    TSL_TRACE();
    QarnPlayer* pPlayer = m_pPlayer;
    if (pPlayer->m_nStage >= FINISHED_STAGE) {
        m_nPendingAction = ACTION_LEAVE;
        m_nStep = STEP_SUBMIT_SCORE;
        pPlayer->m_bStoryFinished = true;
    } else {
        m_nStep = pPlayer->m_nStage != 0 ? STEP_ADVANCE : STEP_WAITING;
    }
    GameApp* pApp = GameApp::getInstance();
    // The furthest story pages seen; replaying an earlier stage keeps it.
    if (pPlayer->m_nStage > Tsl::String::toInt(pApp->getSetting(Names::SET_LAST_CUTSCENE)))
        pApp->setSetting(Names::SET_LAST_CUTSCENE, Tsl::String::format("%d", pPlayer->m_nStage).c_str());
    SlideList lPages;
    buildStoryPages(pPlayer->m_nStage, lPages);
    pApp->pushMode(m_pFactory->createSlideshow(
        lPages, m_nPendingAction == ACTION_LEAVE ? Names::MUSIC_STORY_WIN : Names::MUSIC_STORY));
}

void StoryManagerMode::startStoryLevel() {
    TSL_TRACE();
    m_pPlayer->commitSession(m_nPlayMode);
    getPlayerManager()->saveProfiles();
    GameApp::getInstance()->saveSettings();
    int nStage = m_pPlayer->m_nStage;
    int nSite = tableStage(nStage);
    if (m_nLoadedSite > LOADED_NONE && m_nLoadedSite != nSite) releaseLevelResources();
    m_nLoadedSite = nSite;
    GameApp::log("SM push PM Path 1 nS%d\n", nStage);
    pushPlay(sceneName(nStage).c_str(), -1);
    m_nStep = STEP_PLAYING;
}

// The level ended without a failure: it counts as won.
void StoryManagerMode::countWonLevel() {
    TSL_TRACE();
    QarnPlayer* pPlayer = m_pPlayer;
    pPlayer->m_nLevelsWon = clampInt(pPlayer->m_nLevelsWon + 1, 0, StoryRules::STORY_LEVELS);
    if (m_nPlayMode == 0) {
        pPlayer->m_nStoryLevel = clampInt(pPlayer->m_nStoryLevel + 1, 0, StoryRules::STORY_LEVELS);
        m_nStep = STEP_ADVANCE;
    } else {
        m_nStep = STEP_WAITING;
    }
    // A level past the stage's count (a damaged profile) ends the stage too.
    if (pPlayer->m_nStoryLevel >= StoryRules::stageEnd(tableStage(pPlayer->m_nStage)) && m_nPlayMode == 0) {
        if (pPlayer->m_nStage < FINISHED_STAGE) ++pPlayer->m_nStage;
        m_nStep = STEP_STAGE_PAGES;
    }
    onActivate();
}

void StoryManagerMode::waitOnMap() {
    TSL_TRACE();
    QarnPlayer* pPlayer = m_pPlayer;
    bool bAllSeen = true;
    for (int nTip : s_anMapTipGroup) bAllSeen = bAllSeen && pPlayer->m_abTipShown[nTip];
    if (!bAllSeen)
        for (int nTip : s_anMapTipGroup) pPlayer->m_abTipShown[nTip] = false;
    GameApp* pApp = GameApp::getInstance();
    pApp->playMusic(Names::MUSIC_MAP, true);
    pPlayer->commitSession(m_nPlayMode);
    getPlayerManager()->saveProfiles();
    // The profiles live in the settings: written now, a won level or a
    // purchase survives a run that ends without passing the menu again.
    GameApp::getInstance()->saveSettings();
    if (m_nPlayMode == 0) refreshLabels();
    pApp->showCursor(true);
}

void StoryManagerMode::openStore() {
    TSL_TRACE();
    Tsl::SmartPtr<GameMode> pStore = m_pFactory->createStore(m_pPlayer, m_nPlayMode, sceneName(m_pPlayer->m_nStage).c_str());
    m_nStep = STEP_WAITING;
    m_nPendingAction = ACTION_NONE;
    if (!pStore) {
        onActivate();
        return;
    }
    if (m_nPlayMode == 0) m_nLoadedSite = LOADED_STORE;
    pushWithTransition(pStore);
}

void StoryManagerMode::submitScore() {
    TSL_TRACE();
    QarnPlayer* pPlayer = m_pPlayer;
    bool bEntered = m_nPlayMode == 0 ? m_pFactory->submitScore(pPlayer->m_nTotalScore, pPlayer->getName(), 0)
                                     : m_pFactory->submitScore(pPlayer->m_nQuickPlayScore, pPlayer->getName(), m_nPlayMode);
    pPlayer->m_nQuickPlayScore = 0;
    m_nStep = STEP_WAITING;
    if (!bEntered) {
        onActivate();
        return;
    }
    GameApp* pApp = GameApp::getInstance();
    pApp->stopAllAudio();
    pApp->pushMode(m_pFactory->createCongratulations(getString(Names::STR_HF_NEW_HIGH), getString(Names::STR_HF_CONGRATS)));
    pApp->playSound(pApp->getSample(Names::SND_WIN_LEVEL), false, -1);
}

void StoryManagerMode::startQuickPlay(int nSite) {
    TSL_TRACE();
    prepareQuickPlay();
    if (m_nLoadedSite > LOADED_NONE && m_nLoadedSite != nSite) releaseLevelResources();
    m_nLoadedSite = nSite;
    GameApp::log("SM push PM Path 2 nIdx%d\n", nSite);
    pushPlay(sceneName(nSite).c_str(), m_pPlayer->m_nMinutes);
}

void StoryManagerMode::pushPlay(const char* pszScene, int nMinutes) {
    int nDifficulty = clampInt(m_pPlayer->m_nDifficulty, 0, StoryRules::HARDEST_DIFFICULTY);
    Tsl::SmartPtr<GameMode> pPlay = m_pFactory->createPlay(pszScene, m_nPlayMode, nDifficulty, m_pPlayer, nMinutes, this);
    m_nPendingAction = ACTION_NONE;
    pushWithTransition(pPlay);
}

void StoryManagerMode::pushWithTransition(Tsl::SmartPtr<GameMode> pMode) {
    GameApp::getInstance()->pushModeWithTransition(pMode, m_pFactory->createTransition());
}

void StoryManagerMode::leave() {
    TSL_TRACE();
    releaseLevelResources();
    Tsl::SmartPtr<GameMode> pTransition = m_pFactory->createTransition();
    if (pTransition)
        endModeWithTransition(pTransition);
    else
        endMode();
}

namespace {
// r(n): 0 to n; a best level below 0 (a damaged record) gives 0.
int drawUpTo(int nMax) { return nMax < 0 ? 0 : Tsl::gameRand() % (nMax + 1); }
}  // namespace

void StoryManagerMode::prepareQuickPlay() {
    TSL_TRACE();
    typedef UpgradeManager U;
    QarnPlayer* pPlayer = m_pPlayer;
    UpgradeLevels& anLevel = pPlayer->m_anUpgrades;
    const UpgradeLevels& anBest = pPlayer->m_anBestUpgrades;
    pPlayer->m_nMoney = 0;
    if (m_nPlayMode == 1) {
        anLevel[U::KIND_TRAY] = drawUpTo(anBest[U::KIND_TRAY]);
        anLevel[U::KIND_UNUSED] = Tsl::gameRand() % 2;
        for (int k = U::KIND_CHAIR_0; k <= U::KIND_CHAIR_3; ++k) anLevel[k] = 1;
        anLevel[U::KIND_STATION_0] = drawUpTo(anBest[U::KIND_STATION_0]);
        anLevel[U::KIND_STATION_1] = drawUpTo(anBest[U::KIND_STATION_1]);
        if (anLevel[U::KIND_STATION_0] == 0 && anLevel[U::KIND_STATION_1] == 0) anLevel[U::KIND_STATION_0] = 1;
        anLevel[U::KIND_PARROT_STAND] = drawUpTo(anBest[U::KIND_PARROT_STAND]);
        anLevel[U::KIND_PROP_DISPENSER] = drawUpTo(anBest[U::KIND_PROP_DISPENSER]);
        for (int nTable = 0; nTable < U::TABLE_COUNT; ++nTable)
            anLevel[U::KIND_CENTER_0 + nTable] =
                U::hasChairAt(nTable, anLevel) ? drawUpTo(anBest[U::KIND_CENTER_0 + nTable]) : 0;
        anLevel[U::KIND_SHOW] = drawUpTo(anBest[U::KIND_SHOW]);
    } else if (m_nPlayMode == 2) {
        anLevel.fill(0);
        anLevel[U::KIND_STATION_0] = 1;
        for (int k = U::KIND_CHAIR_0; k <= U::KIND_CHAIR_3; ++k) anLevel[k] = 1;
    }
}

// ---- resources ---------------------------------------------------------------------

void StoryManagerMode::releaseLevelResources() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    releaseAnimationsExcept(m_lKeepAnimations);
    pApp->releaseImagesExcept(m_lKeepImages);
    if (m_nLoadedSite >= 0 && m_nLoadedSite < Names::SCENE_MUSIC_COUNT)
        pApp->releaseMusic(Names::SCENE_MUSIC[m_nLoadedSite]);
}

void StoryManagerMode::releaseAnimationsExcept(const Tsl::List<Tsl::String>& lKeep) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::List<Tsl::String> lNames = pApp->getAnimationNames();
    if (lNames.getCount() <= lKeep.getCount()) return;
    for (const Tsl::String& sName : lNames)
        if (lKeep.indexOf(sName) < 0) pApp->releaseAnimation(sName.c_str());
}

Tsl::String StoryManagerMode::sceneName(int nStage) {
    return Tsl::String::format(Names::SCENE_NAME_FORMAT, tableStage(nStage));
}

void StoryManagerMode::buildStoryPages(int nStage, SlideList& lPages) {
    TSL_TRACE();
    static const char* const s_apszPages[][2] = {{"historieta_1", "historieta_1a"}, {"historieta_2", nullptr},
                                                 {"historieta_3", nullptr},         {"historieta_4a", "historieta_4b"},
                                                 {"historieta_5a", "historieta_5b"}, {"historieta_6a", Names::IMG_STORY_END}};
    if (nStage < 0 || nStage > FINISHED_STAGE) return;
    GameApp* pApp = GameApp::getInstance();
    if (nStage == FINISHED_STAGE) {
        // The last page is drawn on black so that it covers the screen whole.
        Tsl::SmartPtr<Image> pPage = pApp->createImage(800, 600, false);
        pPage->fill(Color(0, 0, 0, 255));
        pPage->blit(pApp->getImage(Names::IMG_STORY_END_BASE).get(), 0, 0);
        pApp->addImage(Names::IMG_STORY_END, pPage, 0);
    }
    // The pages stay ten seconds each: the line under the captions says
    // that a click need not wait for them. Each page has a line of its own,
    // since the slideshow counts a line's delay down in place.
    for (const char* pszPage : s_apszPages[nStage]) {
        if (!pszPage) continue;
        StoryTextList lClickOn;
        lClickOn.append(new StoryText(pApp->getString(Names::STR_STO_CLICK_ON), Names::FONT_LABEL_TEXT, CLICK_ON_X,
                                      CLICK_ON_Y, 3, CLICK_ON_DELAY, Color(80, 45, 20, 255)));
        lPages.append(new SlideSpec(pszPage, 0, 0, 2, lClickOn, true));
    }
}
