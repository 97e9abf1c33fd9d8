#include "game/menumode.h"

#include "base/sandbackdrop.h"

#include "pages/gameoptions.h"
#include "pages/highscoremode.h"
#include "pages/howtomode.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "story/storymanager.h"
#include "rules/storyrules.h"

#include "app/gameapp.h"
#include "app/modetransition.h"
#include "screens/miscdialogs.h"
#include "screens/selectprofile.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "ui/editbox.h"
#include "text/font.h"
#include "ui/label.h"

#include <algorithm>

namespace {
enum { BACKDROP_COUNT = 4, STATIC_FIRST = 1, STATIC_LAST = 7, WELCOME_CENTRE = 215 };
// The welcome line's card is 350 pixels wide, centred on WELCOME_CENTRE; the
// line keeps a margin inside it. A long name is drawn smaller, but not so
// small that it is hard to read.
enum { WELCOME_LINE_WIDTH = 330, NAME_SMALLEST_POINTS = 14 };
const float SHADOW_SPEED = 3.0f;  // pixels per second

struct ButtonPlace {
    const char* pszName;  // string key or theme style
    int nId, nX, nY;
};
const ButtonPlace s_aPlayButtons[] = {{Names::STR_MNM_ADVENTURE, MenuMode::CMD_STORY, 43, 430},
                                      {Names::STR_MNM_FREE_PLAY, MenuMode::CMD_FREE_PLAY, 213, 430},
                                      {Names::STR_MNM_RELAX, MenuMode::CMD_RELAX, 123, 490}};
const ButtonPlace s_aSideButtons[] = {{Names::STYLE_OPTIONS_BUTTON, MenuMode::CMD_OPTIONS, 620, 150},
                                      {Names::STYLE_HOWTO_BUTTON, MenuMode::CMD_HOWTO, 600, 305},
                                      {Names::STYLE_HIGH_BUTTON, MenuMode::CMD_HIGH_SCORES, 550, 0},
                                      {Names::STYLE_QUIT_BUTTON, MenuMode::CMD_QUIT, 660, 467}};

// The shadow logo's circuit round the rectangle (10, 3) - (15, 8).
struct ShadowLeg {
    bool bMovesX;
    float fDirection;
    float fEnd;
    int nNext;
};
const ShadowLeg s_aShadowLegs[] = {{true, 1.0f, 15.0f, 1}, {false, -1.0f, 3.0f, 2}, {true, -1.0f, 10.0f, 3},
                                   {false, 1.0f, 8.0f, 0}};

void setGroupAlpha(const SpriteList& lGroup, float fAlpha) {
    for (const Tsl::SmartPtr<Sprite>& pSprite : lGroup) pSprite->setAlpha(fAlpha);
}

// The same font at another point size with the same colours and shadow;
// null when its kind has no size to change.
Tsl::SmartPtr<Font> resizedFont(const Font* pFont, int nPoints) {
    Tsl::SmartPtr<FontFactory> pFactory = pFont->getFactory();
    Tsl::List<Tsl::String> lSpec = pFont->getSpec();
    if (!pFactory || !pFactory->setIntParam(lSpec, 0, nPoints)) return nullptr;
    Tsl::SmartPtr<Font> pResized = pFactory->createFont(lSpec);
    pResized->copySettings(pFont);
    return pResized;
}

int pointSizeOf(const Font* pFont) {
    Tsl::SmartPtr<FontFactory> pFactory = pFont->getFactory();
    return pFactory ? pFactory->getIntParam(pFont->getSpec(), 0) : -1;
}
}  // namespace

MenuMode::MenuMode()
    : QarnMode(MF_ACTIVE), m_pPlayer(nullptr), m_nShadowState(1), m_nPlayMode(PLAY_NONE),
      m_nStartingCommand(CMD_CANCEL) {}

MenuMode::~MenuMode() {}

void MenuMode::onCallback(int nId, int) { handleCommand(nId); }

// ---- build ---------------------------------------------------------------------

void MenuMode::init() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    pApp->setFrameRate(60);
    pApp->preloadAnimation(Names::ANIM_LOADING_CLOCK);

    addPicture(Names::IMG_MENU_LOGO, 10, 3, 2, &m_lLogo);
    m_pShadowLogo = addPicture(Names::IMG_MENU_SHADOW_LOGO, 15, 8, 1, &m_lLogo);
    addBackground();
    for (int i = 0; i < BACKDROP_COUNT; ++i)
        addPicture(Tsl::String::format(Names::IMG_MENU_BACKDROP_FORMAT, i).c_str(), 0, 0, -1, &m_lBackdrop)->setAlpha(0);
    for (int i = STATIC_FIRST; i <= STATIC_LAST; ++i)
        addPicture(Tsl::String::format(Names::IMG_MENU_STATIC_FORMAT, i).c_str(), 0, 3, 0, &m_lMenuItems);
    Tsl::SmartPtr<Image> pSelect = getImage(Names::IMG_MENU_SELECT);
    addPicture(Names::IMG_MENU_SELECT, 214 - pSelect->getWidth() / 2, 378, 0, &m_lMenuItems);
    m_pWelcome = addPicture(Names::IMG_MENU_WELCOME, 215, 160, 2, &m_lMenuItems);

    m_pNameLabel = new Label("", 0, 0, 2);
    m_pNameLabel->setFont(getFont(Names::FONT_TITLE_BOLD));
    addControl(m_pNameLabel.get());
    m_lMenuItems.append(m_pNameLabel.get());

    createPlayButtons();
    createSideButtons();
    addBanners();
    setGroupAlpha(m_lMenuItems, 0);
    setGroupAlpha(m_lLogo, 0);
    setGroupAlpha(m_lBackdrop, 0);
    m_nShadowState = 1;
    m_nPlayMode = PLAY_NONE;
}

Tsl::SmartPtr<Sprite> MenuMode::addPicture(const char* pszImage, int nX, int nY, int nZOrder, SpriteList* pGroup) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(getImage(pszImage), nX, nY, nZOrder);
    addSprite(pSprite);
    if (pGroup) pGroup->append(pSprite);
    return pSprite;
}

void MenuMode::addBackground() {
    SandBackdrop::addTo(this, -3);
    addPicture(Names::IMG_MENU_VEINS, 0, 0, -2, nullptr);
}

void MenuMode::createPlayButtons() {
    TSL_TRACE();
    int nScreenWidth = GameApp::getInstance()->getScreenWidth();
    m_pNotMe = addPicture(Names::IMG_MENU_NOT_ME, (nScreenWidth + 225) / 2 - 50, 40, 4, &m_lMenuItems);
    m_pNotMe->setVisible(false);
    for (const ButtonPlace& place : s_aPlayButtons) {
        Tsl::SmartPtr<Button> pButton = new Button(getString(place.pszName), place.nId);
        pButton->setPosition(place.nX, place.nY);
        addControl(pButton.get());
        m_lMenuItems.append(pButton.get());
    }
}

void MenuMode::createSideButtons() {
    TSL_TRACE();
    for (const ButtonPlace& place : s_aSideButtons) {
        Tsl::SmartPtr<Button> pButton = new Button("", place.nId);
        pButton->setStyle(place.pszName);
        pButton->setPosition(place.nX, place.nY);
        addControl(pButton.get());
        m_lMenuItems.append(pButton.get());
    }
}

void MenuMode::addBanners() {
    if (!GameApp::getInstance()->hasImage(Names::IMG_MENU_BANNER)) return;
    Tsl::SmartPtr<Sprite> pBanner = addPicture(Names::IMG_MENU_BANNER, 72, 545, 2, &m_lLogo);
    addPicture(Names::IMG_MENU_SMALL_BANNER, pBanner->getWidth() + 87, 545, 2, &m_lLogo);
}

void MenuMode::cleanup() {
    // The sprites stay until the menu is destroyed; the profiles go now.
    destroyPlayerManager();
}

// ---- activation ------------------------------------------------------------------

void MenuMode::onActivate() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    pApp->showCursor(true);
    if (pApp->getConfirmExit()) playMenuMusic();
    if (!ensurePlayer()) return;
    placeWelcome();
    m_pPlayer->commitSession(m_nPlayMode);
    getPlayerManager()->saveProfiles();
    if (pApp->getSetting(Names::SET_DONE_WELCOME) != Names::VAL_YES)
        pApp->setSetting(Names::SET_DONE_WELCOME, Names::VAL_YES);
    pApp->saveSettings();
}

void MenuMode::playMenuMusic() {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sPlaying = pApp->getMusicName();
    pApp->playMusic(Names::MUSIC_MENU, true);
    if (!sPlaying.isEmpty() && sPlaying != Names::MUSIC_INTRO && sPlaying != Names::MUSIC_MENU)
        pApp->releaseMusic(sPlaying.c_str());
}

// A current player from the settings, repaired from the profile list when
// it names none; with no profile at all the player must create one first
// (the activation runs again when that dialog closes).
bool MenuMode::ensurePlayer() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    PlayerManager* pManager = getPlayerManager();
    Tsl::String sName = pApp->getSetting(Names::SET_CURRENT_PLAYER);
    if (sName.isEmpty() || !pManager->hasProfile(sName)) {
        Tsl::List<Tsl::String> lNames = pManager->getProfileNames();
        if (lNames.getCount() > 0) pApp->setSetting(Names::SET_CURRENT_PLAYER, lNames.getAt(0).c_str());
    }
    m_sPlayerName = pApp->getSetting(Names::SET_CURRENT_PLAYER);
    m_pPlayer = m_sPlayerName.isEmpty() ? nullptr : pManager->getProfile(m_sPlayerName);
    if (m_pPlayer) return true;
    Tsl::SmartPtr<CreateProfileDialog> pCreate = new CreateProfileDialog(pManager, 0);
    pCreate->disableCancel();
    pApp->pushMode(pCreate.get());
    return false;
}

// The welcome picture and the name are centred together on x = 215.
void MenuMode::placeWelcome() {
    int nWelcomeWidth = m_pWelcome->getWidth();
    int nDrop = fitName(m_pPlayer->getName(), WELCOME_LINE_WIDTH - nWelcomeWidth);
    int nNameWidth = m_pNameLabel->getWidth();
    m_pWelcome->setPosition(WELCOME_CENTRE - (nWelcomeWidth + nNameWidth) / 2, 315);
    m_pNameLabel->setPosition(m_pWelcome->getX() + nWelcomeWidth, 310 + nDrop);
    // The hint is hidden here, and a hidden sprite measures 0 wide: its
    // picture gives the width that centres it on the name.
    int nHintWidth = m_pNotMe->getImage() ? m_pNotMe->getImage()->getWidth() : 0;
    m_pNotMe->setPosition(m_pNameLabel->getX() + nNameWidth / 2 - nHintWidth / 2, 300);
    m_pNotMe->setVisible(false);
}

// A name too wide for the card is drawn smaller, and cut with "..." when it
// is too wide even at the smallest size. Returns how far a smaller name
// goes down to stand on the line the full-sized one would stand on.
int MenuMode::fitName(const Tsl::String& sName, int nRoom) {
    Tsl::SmartPtr<Font> pFont = getFont(Names::FONT_TITLE_BOLD);
    m_pNameLabel->setFont(pFont);
    m_pNameLabel->setText(sName);
    int nFullHeight = m_pNameLabel->getHeight();
    for (int nPoints = pointSizeOf(pFont) - 1; m_pNameLabel->getWidth() > nRoom && nPoints >= NAME_SMALLEST_POINTS;
         --nPoints) {
        Tsl::SmartPtr<Font> pSmaller = resizedFont(pFont, nPoints);
        if (!pSmaller) break;
        m_pNameLabel->setFont(pSmaller);
    }
    if (m_pNameLabel->getWidth() > nRoom) {
        Tsl::SmartPtr<Font> pShown = m_pNameLabel->getFont();
        int nShadow = pShown->getDrawShadow() ? std::max(0, pShown->getShadowOffset()) : 0;
        m_pNameLabel->setText(pShown->cutToWidth(sName, nRoom - nShadow));
    }
    return nFullHeight - m_pNameLabel->getHeight();
}

// ---- update ----------------------------------------------------------------------

void MenuMode::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    updateHover();
    updateShadowLogo(fDt);
    updateFadeIn(fDt);
    GameApp* pApp = GameApp::getInstance();
    pApp->stepAnimationPreload();
    if (isStartingGame() && !pApp->stepPreloads(PREPARE_SLICE_MS)) {
        int nCommand = m_nStartingCommand;
        m_nStartingCommand = CMD_CANCEL;
        launchGame(nCommand);
    }
}

void MenuMode::updateHover() {
    Tsl::SmartPtr<Sprite> pHover = getHoverControl();
    if (pHover == m_pHoverControl) return;
    m_pHoverControl = pHover;
    m_pNotMe->setVisible(pHover && pHover.get() == m_pNameLabel.get());
}

// Reaching the end of a leg turns the corner: landing exactly on it must
// not stop the circuit.
void MenuMode::updateShadowLogo(float fDt) {
    const ShadowLeg& leg = s_aShadowLegs[m_nShadowState];
    float fX = m_pShadowLogo->getXf(), fY = m_pShadowLogo->getYf();
    float& fMoved = leg.bMovesX ? fX : fY;
    fMoved += leg.fDirection * SHADOW_SPEED * fDt;
    if ((leg.fDirection > 0 && fMoved >= leg.fEnd) || (leg.fDirection < 0 && fMoved <= leg.fEnd)) {
        fMoved = leg.fEnd;
        m_nShadowState = leg.nNext;
    }
    m_pShadowLogo->setPosition(fX, fY);
}

void MenuMode::updateFadeIn(float fDt) {
    const SpriteList* apGroups[] = {&m_lBackdrop, &m_lMenuItems, &m_lLogo};
    for (const SpriteList* pGroup : apGroups) {
        if (pGroup->getCount() == 0) continue;
        float fAlpha = pGroup->getAt(0)->getAlpha();
        if (fAlpha >= 1.0f) continue;
        setGroupAlpha(*pGroup, fAlpha + fDt < 1.0f ? fAlpha + fDt : 1.0f);
        return;
    }
}

// ---- input -----------------------------------------------------------------------

bool MenuMode::onKeyDown(int nKey, int nModifiers) {
    if (nKey != KEY_ESCAPE) return GameMode::onKeyDown(nKey, nModifiers);
    GameApp::getInstance()->createExitConfirmMode();
    return true;
}

bool MenuMode::onMouseUp(int, int, int) {
    Tsl::SmartPtr<Sprite> pHover = getHoverControl();
    if (pHover && m_pNameLabel && pHover.get() == m_pNameLabel.get()) onCallback(CMD_SELECT_PROFILE, 0);
    return true;
}

void MenuMode::handleCommand(int nCommand) {
    TSL_TRACE();
    // One click starts the game once, whatever else is clicked while it is prepared.
    if (isStartingGame()) return;
    GameApp* pApp = GameApp::getInstance();
    switch (nCommand) {
    case CMD_QUIT: pApp->createExitConfirmMode(); break;
    case CMD_OPTIONS: pApp->pushMode(new QarnGameOptions(nullptr, 0, 0)); break;
    case CMD_HIGH_SCORES: pApp->pushMode(new HighScoreMode()); break;
    case CMD_HOWTO: pApp->pushMode(new HowtoMode()); break;
    case CMD_SELECT_PROFILE:
        // The hint would lie cut off under the dialog; it shows again when
        // the pointer is found over the name after the dialog.
        m_pNotMe->setVisible(false);
        m_pHoverControl = nullptr;
        pApp->pushMode(new SelectProfileDialog(getPlayerManager(), 0));
        m_nPlayMode = PLAY_NONE;
        break;
    case CMD_STORY: askAboutStory(); break;
    case CMD_RELAX:
    case CMD_FREE_PLAY:
    case CMD_CONTINUE:
    case CMD_NEW_STORY: startGame(nCommand); break;
    default: break;
    }
}

// A story under way may be continued or started again; a won one only again.
void MenuMode::askAboutStory() {
    if (!m_pPlayer) return;
    GameApp* pApp = GameApp::getInstance();
    if (!m_pPlayer->m_bStoryStarted)
        startGame(CMD_STORY);
    else if (m_pPlayer->m_nLevelsWon < StoryRules::STORY_LEVELS)
        pApp->pushMode(new StartAgainDlg(this, CMD_CANCEL, CMD_NEW_STORY, CMD_CONTINUE, 0));
    else
        pApp->pushMode(new DlgYesNo(this, getString(Names::STR_MNM_WON), CMD_NEW_STORY, CMD_CANCEL));
}

// Decoding the map's pictures would hold the screen still for several
// frames: they are made ready first, a slice a frame while the menu goes on
// drawing, and the game starts once all are there (at once when they are).
void MenuMode::startGame(int nCommand) {
    TSL_TRACE();
    if (!m_pPlayer) return;
    bool bNewStory = nCommand == CMD_NEW_STORY || nCommand == CMD_STORY;
    int nPlayMode = nCommand == CMD_RELAX ? PLAY_RELAX : nCommand == CMD_FREE_PLAY ? PLAY_FREE : PLAY_STORY;
    StoryManagerMode::preloadMap(nPlayMode, bNewStory ? 0 : m_pPlayer->m_nStoryLevel);
    if (GameApp::getInstance()->stepPreloads(PREPARE_SLICE_MS))
        m_nStartingCommand = nCommand;
    else
        launchGame(nCommand);
}

// Every path logs the player's stage, then which path it took.
void MenuMode::launchGame(int nCommand) {
    TSL_TRACE();
    if (!m_pPlayer) return;
    GameApp* pApp = GameApp::getInstance();
    QarnPlayer* pPlayer = m_pPlayer;
    int nDifficulty = readDifficultySetting();
    int nStage = pPlayer->m_nStage;
    GameApp::log("nS%d\n", nStage);
    if (nCommand == CMD_NEW_STORY || nCommand == CMD_STORY) {
        pPlayer->m_bStoryStarted = false;
        setPlayMode(PLAY_STORY);
        GameApp::log(nCommand == CMD_NEW_STORY ? "MM push path 5 SM nS%d\n" : "MM push path 2 SM nS%d\n", nStage);
        pApp->pushMode(createStoryManager(nDifficulty, StoryRules::NEW_STORY_MINUTES, pPlayer, PLAY_STORY));
        return;
    }
    int nPlayMode = nCommand == CMD_CONTINUE ? PLAY_STORY : nCommand == CMD_RELAX ? PLAY_RELAX : PLAY_FREE;
    int nPath = nCommand == CMD_CONTINUE ? 1 : nCommand == CMD_RELAX ? 3 : 4;
    pPlayer->m_nDifficulty = nDifficulty;
    setPlayMode(nPlayMode);
    GameApp::log("MM push path %d SM nS%d\n", nPath, nStage);
    pApp->pushModeWithTransition(createStoryManager(pPlayer->m_nDifficulty, pPlayer->m_nMinutes, pPlayer, nPlayMode),
                                 new TrnFadeToBlack());
}

// A story always resumes from its saved upgrades and money.
void MenuMode::setPlayMode(int nPlayMode) {
    m_nPlayMode = nPlayMode;
    if (nPlayMode != PLAY_STORY) return;
    m_pPlayer->m_anUpgrades = m_pPlayer->m_anSavedUpgrades;
    m_pPlayer->m_nMoney = m_pPlayer->m_nSavedMoney;
}

Tsl::SmartPtr<GameMode> MenuMode::createStoryManager(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode) {
    return new StoryManagerMode(nDifficulty, nMinutes, pPlayer, nPlayMode);
}
