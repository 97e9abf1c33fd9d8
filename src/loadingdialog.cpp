#include "loadingdialog.h"

#include "app/gameapp.h"
#include "names.h"

LoadingDialog::LoadingDialog(const char* pszTitle)
    : QarnMode(MF_ACTIVE | MF_VISIBLE | MF_UPDATE_BELOW), m_bDone(false) {
    m_sTitle = pszTitle ? Tsl::String(pszTitle) : getString("LDN_Loading");
}

LoadingDialog::~LoadingDialog() {}

void LoadingDialog::setHintText(const char* pszText) { m_sHint = pszText ? pszText : ""; }

void LoadingDialog::finish() {
    m_bDone = true;
    GameApp::getInstance()->showCursor(true);
}

void LoadingDialog::init() { addOverlay(0.5f); }

void LoadingDialog::onUpdate(float fDt) {
    if (m_bDone)
        endMode();
    GameMode::onUpdate(fDt);
}
