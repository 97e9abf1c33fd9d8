#include "screens/gameoptions.h"

#include "app/gameapp.h"
#include "image/image.h"
#include "screens/names.h"
#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/slider.h"
#include "video/videodriver.h"

#include <SDL/SDL_keysym.h>

namespace {
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int LEFT_MIDDLE = Image::ALIGN_VCENTER;
} // namespace

GameOptionsDialog::GameOptionsDialog(GameMode* pNotify, int nCloseId, int nLeaveId)
    : DialogMode(true), m_pNotify(pNotify), m_nCloseId(nCloseId), m_nLeaveId(nLeaveId),
      m_nShownOptions(DEFAULT_OPTIONS), m_bClosed(false), m_pOptions(new Table(this)), m_pButtons(new Table(this)) {
    getTable()->setFrameEnabled(true);
    getTable()->setRowSpacing(12);
    m_pOptions->setRowSpacing(8);
    m_pOptions->setColumnSpacing(12);
    m_pButtons->setColumnSpacing(16);
}

GameOptionsDialog::~GameOptionsDialog() {}

void GameOptionsDialog::init() {
    TSL_TRACE();
    DialogMode::init();
    if (m_nShownOptions & OPT_TITLE) buildTitle();
    if (m_nShownOptions & OPT_VOLUMES) buildVolumeRows();
    if (m_nShownOptions & OPT_FULLSCREEN) buildScreenRow();
    if (m_nShownOptions & OPT_COLOR_DEPTH) buildDepthRow();
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->addRow(1);
    pTable->addCell(1);
    pTable->add(m_pOptions, CENTRED);
    buildButtons();
    pTable->addRow(1);
    pTable->addCell(1);
    pTable->add(m_pButtons, CENTRED);
}

void GameOptionsDialog::buildTitle() {
    getTable()->addCell(1);
    addLabel(getTable(), getString(ScreenNames::STR_OPTIONS_TITLE), ScreenNames::FONT_TITLE, CENTRED);
}

Tsl::SmartPtr<HSlider> GameOptionsDialog::addVolumeRow(const char* pszLabelKey, int nId, int nValue) {
    m_pOptions->addRow(1);
    m_pOptions->addCell(1);
    addLabel(m_pOptions, getString(pszLabelKey), Tsl::String(), LEFT_MIDDLE);
    m_pOptions->addCell(1);
    Tsl::SmartPtr<HSlider> pSlider = new HSlider(nId, SLIDER_WIDTH, 0, VOLUME_MAX, nValue);
    addControl(pSlider);
    m_pOptions->add(pSlider, LEFT_MIDDLE);
    return pSlider;
}

void GameOptionsDialog::buildVolumeRows() {
    GameApp* pApp = GameApp::getInstance();
    m_pSoundSlider = addVolumeRow(ScreenNames::STR_OPTIONS_SOUND, ID_SOUND_VOLUME, pApp->getSoundVolume());
    m_pMusicSlider = addVolumeRow(ScreenNames::STR_OPTIONS_MUSIC, ID_MUSIC_VOLUME, pApp->getMusicVolume());
}

Tsl::SmartPtr<ToggleButton> GameOptionsDialog::addToggle(Tsl::SmartPtr<Table> pRow, const char* pszKey, int nId,
                                                         bool bToggled) {
    Tsl::SmartPtr<ToggleButton> pToggle = new ToggleButton(getString(pszKey), nId);
    pToggle->setToggled(bToggled);
    addControl(pToggle);
    pRow->addCell(1);
    pRow->add(pToggle, CENTRED);
    return pToggle;
}

void GameOptionsDialog::buildScreenRow() {
    IVideoDriver* pVideo = GameApp::getInstance()->getVideoDriver();
    bool bFullScreen = pVideo && pVideo->isFullScreen();
    Tsl::SmartPtr<Table> pRow = new Table(this);
    pRow->setColumnSpacing(12);
    m_pFullScreen = addToggle(pRow, ScreenNames::STR_OPTIONS_FULLSCREEN, ID_FULLSCREEN, bFullScreen);
    m_pWindowed = addToggle(pRow, ScreenNames::STR_OPTIONS_WINDOWED, ID_WINDOWED, !bFullScreen);
    m_pOptions->addRow(1);
    m_pOptions->addCell(2);
    m_pOptions->add(pRow, CENTRED);
}

void GameOptionsDialog::buildDepthRow() {
    IVideoDriver* pVideo = GameApp::getInstance()->getVideoDriver();
    bool b16 = pVideo && pVideo->getScreenBpp() == 16;
    m_pOptions->addRow(1);
    m_pOptions->addCell(1);
    addLabel(m_pOptions, getString(ScreenNames::STR_OPTIONS_DEPTH), Tsl::String(), LEFT_MIDDLE);
    Tsl::SmartPtr<Table> pRow = new Table(this);
    pRow->setColumnSpacing(12);
    m_pDepth16 = addToggle(pRow, ScreenNames::STR_OPTIONS_DEPTH_16, ID_DEPTH_16, b16);
    m_pDepth32 = addToggle(pRow, ScreenNames::STR_OPTIONS_DEPTH_32, ID_DEPTH_32, !b16);
    m_pOptions->addCell(1);
    m_pOptions->add(pRow, LEFT_MIDDLE);
}

Tsl::SmartPtr<Button> GameOptionsDialog::addButton(const char* pszKey, int nId) {
    Tsl::SmartPtr<Button> pButton = new Button(getString(pszKey), nId);
    addControl(pButton);
    m_pButtons->addCell(1);
    m_pButtons->add(pButton, CENTRED);
    return pButton;
}

void GameOptionsDialog::buildButtons() {
    addButton(ScreenNames::STR_OPTIONS_OK, ID_OK);
    if (m_pNotify) addButton(ScreenNames::STR_OPTIONS_LEAVE, ID_LEAVE);
}

void GameOptionsDialog::onCallback(int nId, int) {
    TSL_TRACE();
    // An id of a row this dialog did not build is as foreign as any other.
    bool bScreenRow = m_pFullScreen != nullptr, bDepthRow = m_pDepth16 != nullptr;
    switch (nId) {
    case ID_OK: close(m_nCloseId); break;
    case ID_LEAVE: if (m_pNotify) close(m_nLeaveId); break;
    case ID_FULLSCREEN: if (bScreenRow) chooseScreen(true); break;
    case ID_WINDOWED: if (bScreenRow) chooseScreen(false); break;
    case ID_DEPTH_16: if (bDepthRow) chooseDepth(16); break;
    case ID_DEPTH_32: if (bDepthRow) chooseDepth(32); break;
    case ID_SOUND_VOLUME:
    case ID_MUSIC_VOLUME: if (m_pSoundSlider) storeVolumes(); break;
    default: break;
    }
}

bool GameOptionsDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return DialogMode::onKeyDown(nKey, nModifiers);
    close(m_nCloseId);
    return true;
}

void GameOptionsDialog::close(int nNotifyId) {
    if (m_bClosed) return;
    m_bClosed = true;
    // Ended first: the mode told may end or push modes itself.
    Tsl::SmartPtr<GameMode> pSelf(this);
    if (getState() == MS_RUNNING) endMode();
    if (m_pNotify) m_pNotify->onCallback(nNotifyId, 0);
}

void GameOptionsDialog::chooseScreen(bool bFullScreen) {
    GameApp* pApp = GameApp::getInstance();
    IVideoDriver* pVideo = pApp->getVideoDriver();
    if (pVideo && pVideo->isFullScreen() != bFullScreen) pVideo->setFullScreen(bFullScreen);
    // What the display became, not what was asked: a switch can fail.
    bool bNow = pVideo ? pVideo->isFullScreen() : bFullScreen;
    m_pFullScreen->setToggled(bNow);
    m_pWindowed->setToggled(!bNow);
    pApp->setSetting(ScreenNames::SET_FULLSCREEN, bNow ? ScreenNames::VAL_TRUE : ScreenNames::VAL_FALSE);
}

void GameOptionsDialog::chooseDepth(int nBpp) {
    GameApp* pApp = GameApp::getInstance();
    IVideoDriver* pVideo = pApp->getVideoDriver();
    if (pVideo) pVideo->setColorDepth(nBpp);
    m_pDepth16->setToggled(nBpp == 16);
    m_pDepth32->setToggled(nBpp != 16);
    pApp->setSetting(ScreenNames::SET_COLOR_DEPTH, Tsl::String::format("%d", nBpp));
}

void GameOptionsDialog::storeVolumes() {
    GameApp* pApp = GameApp::getInstance();
    pApp->setSoundVolume(m_pSoundSlider->getValue());
    pApp->setMusicVolume(m_pMusicSlider->getValue());
    pApp->setSetting(ScreenNames::SET_SOUND_VOLUME, Tsl::String::format("%d", pApp->getSoundVolume()));
    pApp->setSetting(ScreenNames::SET_MUSIC_VOLUME, Tsl::String::format("%d", pApp->getMusicVolume()));
}
