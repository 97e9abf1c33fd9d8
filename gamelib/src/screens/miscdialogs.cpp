#include "screens/miscdialogs.h"

#include "app/gameapp.h"
#include "screens/names.h"

#include <SDL/SDL_keysym.h>

namespace {
Tsl::String text(const char* pszKey) { return GameApp::getInstance()->getString(pszKey); }
} // namespace

// ---- ExitConfirmMode ------------------------------------------------------------------------

ExitConfirmMode::ExitConfirmMode() : CommonDialog(nullptr, text(ScreenNames::STR_EXIT_QUESTION)) {
    addButton(text(ScreenNames::STR_YES), ID_YES);
    addButton(text(ScreenNames::STR_NO), ID_NO);
}

ExitConfirmMode::~ExitConfirmMode() {}

void ExitConfirmMode::onCallback(int nId, int nData) {
    bool bFirstAnswer = getState() == MS_RUNNING;
    CommonDialog::onCallback(nId, nData);
    if (bFirstAnswer && nId == ID_YES && getState() == MS_ENDED) onConfirmed();
}

bool ExitConfirmMode::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return CommonDialog::onKeyDown(nKey, nModifiers);
    onCallback(ID_NO, 0);
    return true;
}

void ExitConfirmMode::onConfirmed() { GameApp::getInstance()->quit(0); }

// ---- GamePausedDlg --------------------------------------------------------------------------

GamePausedDlg::GamePausedDlg(ICallbackTarget* pTarget, int nResumeId)
    : CommonDialog(pTarget, text(ScreenNames::STR_PAUSED)), m_nResumeId(nResumeId) {
    addButton(text(ScreenNames::STR_PAUSED_RESUME), nResumeId);
}

GamePausedDlg::~GamePausedDlg() {}

bool GamePausedDlg::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE && nKey != SDLK_SPACE) return CommonDialog::onKeyDown(nKey, nModifiers);
    onCallback(m_nResumeId, 0);
    return true;
}

// ---- StartAgainDlg --------------------------------------------------------------------------

StartAgainDlg::StartAgainDlg(ICallbackTarget* pTarget, int nCancelId, int nStartNewId, int nContinueId, int)
    : CommonDialog(pTarget, text(ScreenNames::STR_START_AGAIN_TEXT)), m_nCancelId(nCancelId) {
    addButton(text(ScreenNames::STR_START_AGAIN_CONTINUE), nContinueId);
    addButton(text(ScreenNames::STR_START_AGAIN_NEW), nStartNewId);
    addButton(text(ScreenNames::STR_START_AGAIN_CANCEL), nCancelId);
}

StartAgainDlg::~StartAgainDlg() {}

bool StartAgainDlg::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return CommonDialog::onKeyDown(nKey, nModifiers);
    onCallback(m_nCancelId, 0);
    return true;
}
