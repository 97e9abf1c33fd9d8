#include "media/flashwnd.h"

#include <cwchar>

bool CFlashWnd::setupControl() {
    TSL_TRACE();
    m_nFlashVersion = m_pControl->GetFlashVersion();
    m_bVersion8 = (m_nFlashVersion & 0xFF0000) == 0x80000;
    // A control without events plays all the same.
    connectEvents(ShockwaveFlashObjects::DIID__IShockwaveFlashEvents);
    if (m_bWindowless) m_pControl->PutWMode("transparent");
    m_pControl->PutScale("showAll");
    m_pControl->PutBackgroundColor(0);
    m_pControl->PutEmbedMovie(false);
    return true;
}

bool CFlashWnd::loadMovie() {
    TSL_TRACE();
    m_pControl->PutEmbedMovie(true);
    Tsl::String sPath = getMoviePath();
    m_pControl->PutMovie(sPath.c_str());
    m_pControl->Play();
    return true;
}

int CFlashWnd::getCurrentFrame() { return static_cast<int>(m_pControl->TCurrentFrame("/")); }

bool CFlashWnd::gotoLabel(const char* pszLabel) {
    m_pControl->TGotoLabel("/", pszLabel);
    ole::BStr sCurrent = m_pControl->TCurrentLabel("/");
    ole::BStr sWanted(pszLabel ? pszLabel : "");
    return std::wcscmp(sCurrent.text(), sWanted.text()) == 0;
}

Tsl::String CFlashWnd::getCurrentLabel() { return Tsl::String(m_pControl->TCurrentLabel("/").narrow().c_str()); }

double CFlashWnd::getNumericProperty(int nProperty) { return m_pControl->TGetPropertyAsNumber("/", nProperty); }
