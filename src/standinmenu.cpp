#include "standinmenu.h"

#include "names.h"
#include "playermanager.h"

#include "app/gameapp.h"
#include "screens/gameoptions.h"
#include "screens/selectprofile.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/label.h"

#include <SDL/SDL_keysym.h>

namespace {
const int GREETING_Y = 150;
const int FIRST_BUTTON_Y = 260;
const int BUTTON_STEP = 60;
} // namespace

// It has no picture of its own to cover the screen: without the clear, what
// the splash and the closed dialogs drew would stay under its buttons.
StandInMenu::StandInMenu() : QarnMode(MF_CLEAR_SCREEN) {}

StandInMenu::~StandInMenu() {}

void StandInMenu::init() {
    TSL_TRACE();
    m_pGreeting = new Label("", 0, GREETING_Y, 1);
    m_pGreeting->setFont(Names::FONT_STANDIN_TITLE);
    addSprite(m_pGreeting);
    addButton(Names::STR_STANDIN_CHANGE_PLAYER, ID_CHANGE_PLAYER, FIRST_BUTTON_Y);
    addButton(Names::STR_STANDIN_OPTIONS, ID_OPTIONS, FIRST_BUTTON_Y + BUTTON_STEP);
    addButton(Names::STR_STANDIN_QUIT, ID_QUIT, FIRST_BUTTON_Y + 2 * BUTTON_STEP);
}

void StandInMenu::addButton(const char* pszKey, int nId, int nY) {
    Tsl::SmartPtr<Button> pButton = new Button(getString(pszKey), nId);
    pButton->setPosition((getApp()->getScreenWidth() - pButton->getWidth()) / 2, nY);
    addControl(pButton);
}

void StandInMenu::onActivate() {
    TSL_TRACE();
    getApp()->showCursor(true);
    MainMenuProfileManager profiles(getPlayerManager());
    ProfileData* pPlayer = profiles.ensureCurrentProfile();
    // Without a profile the creation dialog is up; this runs again after it.
    if (!pPlayer) return;
    m_pGreeting->setText(getString(Names::STR_STANDIN_HELLO) + " " + pPlayer->getName());
    m_pGreeting->setPosition((getApp()->getScreenWidth() - m_pGreeting->getWidth()) / 2, GREETING_Y);
    getPlayerManager()->saveProfiles();
    getApp()->saveSettings();
}

void StandInMenu::cleanup() {
    destroyPlayerManager();
    QarnMode::cleanup();
}

Tsl::String StandInMenu::getGreeting() const { return m_pGreeting ? m_pGreeting->getText() : Tsl::String(); }

void StandInMenu::onCallback(int nId, int) {
    GameApp* pApp = getApp();
    switch (nId) {
    case ID_CHANGE_PLAYER: pApp->pushMode(new SelectProfileDialog(getPlayerManager())); break;
    case ID_OPTIONS: pApp->pushMode(new GameOptionsDialog(nullptr, 0, 0)); break;
    case ID_QUIT: pApp->createExitConfirmMode(); break;
    default: break;
    }
}

bool StandInMenu::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return QarnMode::onKeyDown(nKey, nModifiers);
    getApp()->createExitConfirmMode();
    return true;
}
