#include "media/flashsprite.h"

#include "app/gameapp.h"
#include "media/flashwnd.h"
#include "platform/syswm.h"

#include <SDL.h>

namespace {

// The game's window as the stand-in's window table knows it.
ole::HWND gameWindow() {
    unsigned long nNativeId = 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11)
        nNativeId = static_cast<unsigned long>(info.info.x11.window);
    GameApp* pApp = GameApp::getInstance();
    int nWidth = pApp ? pApp->getScreenWidth() : 800, nHeight = pApp ? pApp->getScreenHeight() : 600;
    return ole::adoptForeignWindow(nNativeId, nWidth, nHeight);
}

} // namespace

FlashSprite::OleSession::OleSession() { ole::OleInitialize(nullptr); }

FlashSprite::OleSession::~OleSession() { ole::OleUninitialize(); }

bool FlashSprite::isAvailable() {
    TSL_TRACE();
    ole::HMODULE hLibrary = ole::LoadLibraryA("flash9.ocx");
    if (hLibrary) {
        ole::FreeLibrary(hLibrary);
        return true;
    }
    OleSession session;
    ShockwaveFlashObjects::IShockwaveFlash* pFlash = nullptr;
    ole::HRESULT hr = ole::CoCreateInstance(ShockwaveFlashObjects::CLSID_ShockwaveFlash, nullptr,
                                            ole::CLSCTX_INPROC_SERVER | ole::CLSCTX_LOCAL_SERVER,
                                            ShockwaveFlashObjects::IID_IShockwaveFlash,
                                            reinterpret_cast<void**>(&pFlash));
    if (ole::FAILED(hr) || !pFlash) return false;
    pFlash->Release();
    return true;
}

FlashSprite::FlashSprite(const char* pszMovie, int nX, int nY, int nZOrder, bool bTransparent)
    : Sprite(nX, nY, nZOrder), m_pControl(new CFlashWnd()), m_bScalePending(false), m_fScale(1.0f),
      m_nLastFrame(-1), m_nLoopCount(0) {
    TSL_TRACE();
    int nExStyle = bTransparent ? static_cast<int>(ole::WS_EX_LAYERED) : 0;
    int nStyle = static_cast<int>(bTransparent ? ole::WS_POPUP : ole::WS_CHILD);
    if (!m_pControl->create(ShockwaveFlashObjects::CLSID_ShockwaveFlash, nExStyle, nStyle, gameWindow(),
                            ole::GetModuleHandleA(nullptr), pszMovie))
        m_pControl.reset();
}

FlashSprite::~FlashSprite() {}

void FlashSprite::onAttach() {
    Sprite::onAttach();
    update();
}

void FlashSprite::update() {
    TSL_TRACE();
    if (!m_pControl) return;
    if (m_bScalePending) {
        m_pControl->setScale(m_fScale);
        m_bScalePending = false;
    }
    m_pControl->render(nullptr, nullptr, this);
    int nFrame = m_pControl->getCurrentFrame();
    if (nFrame < m_nLastFrame) ++m_nLoopCount;
    m_nLastFrame = nFrame;
}

bool FlashSprite::isPlaying() { return m_pControl && m_pControl->getControl()->IsPlaying(); }

void FlashSprite::play() {
    if (m_pControl) m_pControl->getControl()->Play();
}

void FlashSprite::stop() {
    if (m_pControl) m_pControl->getControl()->StopPlay();
}

void FlashSprite::rewind() {
    if (m_pControl) m_pControl->getControl()->Rewind();
}

void FlashSprite::gotoFrame(int nFrame) {
    if (m_pControl) m_pControl->getControl()->GotoFrame(nFrame);
}

void FlashSprite::setScale(float fScale) {
    m_fScale = fScale;
    m_bScalePending = true;
}

Point FlashSprite::getSize() const {
    if (!m_pControl) return Point(0.0f, 0.0f);
    return Point(static_cast<float>(m_pControl->getMovieWidth()), static_cast<float>(m_pControl->getMovieHeight()));
}

int FlashSprite::getCurrentFrame() { return m_pControl ? m_pControl->getCurrentFrame() : 0; }

int FlashSprite::getTotalFrames() {
    return m_pControl ? static_cast<int>(m_pControl->getNumericProperty(5)) : 0;
}

bool FlashSprite::gotoLabel(const char* pszLabel) { return m_pControl && m_pControl->gotoLabel(pszLabel); }

Tsl::String FlashSprite::getCurrentLabel() { return m_pControl ? m_pControl->getCurrentLabel() : Tsl::String(); }
