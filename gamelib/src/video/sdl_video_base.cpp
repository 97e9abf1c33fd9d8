#include "video/sdl_video_base.h"

#include "app/gameapp.h"
#include "image/image.h"
#include "image/sdl_image.h"
#include "platform/platform.h"
#include "platform/scopedenvironment.h"
#include "platform/x11window.h"

#include "tsl2/error.h"

#include "platform/syswm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>


int SDLVideoDriverBase::s_nTextureInvalidationStamp = -1;

namespace {

// Windows that fit this box are taken to be placed on purpose.
const int PLACED_RIGHT_LIMIT = 1280;
const int PLACED_BOTTOM_LIMIT = 1024;
// How long a display that refuses to start video is waited for.
const int VIDEO_START_TRIES = 40;
const Uint32 VIDEO_START_PAUSE_MS = 50;
const char* const VIDEO_LOST_TEXT =
    "The game's screen could not be opened again after the screen mode changed "
    "(video driver '%s': %s).";

const char* modeText(bool bFullScreen) {
    return bFullScreen ? "Full" : "Wnd";
}

} // namespace

SDLVideoDriverBase::SDLVideoDriverBase()
    : m_bInitialised(false),
      m_pPlatform(nullptr),
      m_fDesktopAspect(0.0f),
      m_bWide(false),
      m_nLogicalWidth(0),
      m_nLogicalHeight(0),
      m_nActualWidth(0),
      m_nActualHeight(0),
      m_nModeFlags(0),
      m_opaqueFormat{24, 0, 0xFF0000, 0xFF00, 0xFF},
      m_alphaFormat{32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
      m_bSoftwareCursor(true),
      m_bCursorShown(true),
      m_pBlankCursor(nullptr),
      m_pSystemCursor(nullptr),
      m_nBarWidth(0),
      m_nLogicalScreenWidth(0),
      m_nBarHeight(0),
      m_nLogicalScreenHeight(0) {
    s_nTextureInvalidationStamp = -1;
}

SDLVideoDriverBase::~SDLVideoDriverBase() {
    TSL_TRACE();
    m_pCursorImage = nullptr;
    m_pIcon = nullptr;
    releaseCursors();
    clearSideBars();
}

void SDLVideoDriverBase::setDefaultFormats(const PixelFormat& opaque, const PixelFormat& alpha) {
    m_opaqueFormat = opaque;
    m_alphaFormat = alpha;
}

void SDLVideoDriverBase::releaseCursors() {
    // SDL frees the cursors it owns with the video subsystem; ours only while
    // video still runs, and never the one in use.
    if (m_pBlankCursor && SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_GetCursor() == m_pBlankCursor && m_pSystemCursor) SDL_SetCursor(m_pSystemCursor);
        if (SDL_GetCursor() != m_pBlankCursor) SDL_FreeCursor(m_pBlankCursor);
    }
    m_pBlankCursor = nullptr;
    m_pSystemCursor = nullptr;
}

void SDLVideoDriverBase::clearSideBars() {
    m_lSideBars.clearAndDelete();
}

void SDLVideoDriverBase::getSize(int* pWidth, int* pHeight) const {
    if (pWidth) *pWidth = m_nLogicalWidth;
    if (pHeight) *pHeight = m_nLogicalHeight;
}

// --- mode choice ------------------------------------------------------------------

bool SDLVideoDriverBase::isHiddenRequested() const {
    GameApp* pApp = GameApp::getInstance();
    return pApp && pApp->getArguments().indexOf(Tsl::String("--hidden")) >= 0;
}

void SDLVideoDriverBase::measureDesktop() {
    m_ptDesktopSize = getDesktopSize();
    // A desktop of unknown size (the dummy driver has none) counts as 4:3.
    if (m_ptDesktopSize.x > 0.0f && m_ptDesktopSize.y > 0.0f)
        m_fDesktopAspect = m_ptDesktopSize.x / m_ptDesktopSize.y;
    else
        m_fDesktopAspect = 4.0f / 3.0f;
    m_bWide = m_fDesktopAspect > 4.0f / 3.0f;
}

void SDLVideoDriverBase::getDepthCandidates(int nBpp, int aDepths[4]) {
    static const int s_a16[4] = {16, 24, 32, 0};
    static const int s_a24[4] = {24, 32, 16, 0};
    static const int s_a32[4] = {32, 24, 16, 0};
    static const int s_aAny[4] = {0, 0, 0, 0};
    const int* pFrom = s_aAny;
    if (nBpp == 16) pFrom = s_a16;
    else if (nBpp == 24) pFrom = s_a24;
    else if (nBpp == 32 || nBpp == 0) pFrom = s_a32;
    std::copy(pFrom, pFrom + 4, aDepths);
}

SDL_Rect** SDLVideoDriverBase::queryFullScreenModes() {
    return SDL_ListModes(nullptr, SDL_FULLSCREEN);
}

std::vector<SDLVideoDriverBase::ModeSize> SDLVideoDriverBase::getFullScreenCandidates(int nWidth, int nHeight) {
    TSL_TRACE();
    std::vector<ModeSize> lModes;
    SDL_Rect** ppModes = queryFullScreenModes();
    if (ppModes && ppModes != reinterpret_cast<SDL_Rect**>(-1)) {
        for (int i = 0; ppModes[i]; ++i) {
            if (ppModes[i]->h >= nHeight) lModes.push_back(ModeSize{ppModes[i]->w, ppModes[i]->h});
        }
    }
    lModes.push_back(ModeSize{nWidth, nHeight});
    float fTarget = std::trunc(m_fDesktopAspect * 1000.0f) / 1000.0f;
    std::stable_sort(lModes.begin(), lModes.end(), [fTarget](const ModeSize& a, const ModeSize& b) {
        float fA = std::fabs(static_cast<float>(a.nWidth) / a.nHeight - fTarget);
        float fB = std::fabs(static_cast<float>(b.nWidth) / b.nHeight - fTarget);
        if (fA != fB) return fA < fB;
        return a.nHeight < b.nHeight;
    });
    return lModes;
}

bool SDLVideoDriverBase::tryModes(const std::vector<ModeSize>& lCandidates, const int aDepths[4], bool bFullScreen,
                                  int nFlags, Uint32 nSDLFlags, ModeSize& got) {
    for (const ModeSize& mode : lCandidates) {
        for (int i = 0; i < 4; ++i) {
            if (createWindow(mode.nWidth, mode.nHeight, aDepths[i], bFullScreen, nFlags, nSDLFlags)) {
                got = mode;
                return true;
            }
        }
    }
    return false;
}

void SDLVideoDriverBase::keepMouseAbsolute() {
    // With its cursor hidden (the game draws its own) and the input grabbed,
    // as it is in full screen, SDL turns to relative motion: it warps the
    // pointer to the window's centre and adds up the moves. Any pointer that
    // jumps (a tablet, a remote desktop, a warp by another program) then
    // lands far from where it points. The drawn cursor wants the absolute
    // position; a value the user set is kept.
    setenv("SDL_MOUSE_RELATIVE", "0", 0);
}

// An X server whose last client has just left (our own stopped video, or a
// game that ended) resets and refuses new connections for a moment. Left to
// choose meanwhile, SDL quietly takes its next driver, a text-mode one, and
// the game would go on without a window: so every start after the first asks
// for the driver the first one got, waits while the display refuses, and
// takes no other. The first start does the same with X11 when a display is
// named and no driver asked for (a server that resets, or none there).
bool SDLVideoDriverBase::startVideo() {
    keepMouseAbsolute();
    bool bStarted = startVideoOnce();
    for (int nTry = 1; nTry < VIDEO_START_TRIES && !bStarted; ++nTry) {
        SDL_Delay(VIDEO_START_PAUSE_MS);
        bStarted = startVideoOnce();
    }
    if (!bStarted) return false;
    Tsl::String sGot = queryVideoDriverName();
    if (m_sVideoDriver.isEmpty()) m_sVideoDriver = sGot;
    if (sGot != m_sVideoDriver) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("SDL started the driver '%s' instead", sGot.c_str());
        return false;
    }
    GameApp::log("D: Drv '%s'\n", sGot.c_str());
    return true;
}

bool SDLVideoDriverBase::startVideoOnce() const {
    Tsl::String sWanted = m_sVideoDriver.isEmpty() ? firstDriverWanted() : m_sVideoDriver;
    if (sWanted.isEmpty()) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    // SDL reads the variable only while its video starts.
    ScopedEnvironment driver("SDL_VIDEODRIVER", sWanted.c_str());
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

Tsl::String SDLVideoDriverBase::firstDriverWanted() {
    const char* pszAsked = std::getenv("SDL_VIDEODRIVER");
    const char* pszDisplay = std::getenv("DISPLAY");
    if ((pszAsked && *pszAsked) || !pszDisplay || !*pszDisplay) return Tsl::String();
    return "x11";
}

Tsl::String SDLVideoDriverBase::queryVideoDriverName() {
    char szName[64];
    return SDL_VideoDriverName(szName, sizeof(szName)) ? Tsl::String(szName) : Tsl::String();
}

bool SDLVideoDriverBase::setVideoMode(int nWidth, int nHeight, int nFlags) {
    TSL_TRACE();
    bool bHidden = isHiddenRequested();
    int nBpp = getVideoDepthFromFlags(nFlags);
    int nPhysW = static_cast<int>(nWidth * getScaleFactor());
    int nPhysH = static_cast<int>(nHeight * getScaleFactor());
    bool bWantFull = (nFlags & VMF_FULLSCREEN) != 0;
    GameApp::log("D: Set %dx%d %s, %d BPP [log %dx%d]\n", nPhysW, nPhysH, modeText(bWantFull), nBpp, nWidth,
                 nHeight);

    shutdown();
    // Every SDL call below would run on no video at all, and a game whose
    // display is gone cannot go on: it ends as a start that failed does.
    if (!startVideo()) {
        Tsl::String sWhy = SDL_GetError();
        GameApp::log("D: Could not restart SDL video on '%s' : %s\n", m_sVideoDriver.c_str(), sWhy.c_str());
        if (GameApp* pApp = GameApp::getInstance())
            pApp->failStart(Tsl::String::format(VIDEO_LOST_TEXT, m_sVideoDriver.c_str(), sWhy.c_str()));
        return false;
    }
    // SDL dropped its cursors with the old video subsystem.
    m_pBlankCursor = nullptr;
    m_pSystemCursor = nullptr;
    measureDesktop();

    // Full screen is the graphics API's exclusive mode, never SDL's; the
    // window only loses its frame.
    Uint32 nSDLFlags = (bWantFull || (nFlags & VMF_BORDERLESS) || bHidden) ? SDL_NOFRAME : 0;
    applyIcon();
    setCaption(m_sCaption);
    createDirectDraw();

    int aDepths[4];
    getDepthCandidates(nBpp, aDepths);
    bool aAttempts[2] = {bWantFull, !bWantFull};
    for (bool bFull : aAttempts) {
        // A window as large as the desktop would not fit: go straight to full screen.
        // A desktop of unknown size cannot rule a window out.
        bool bDesktopKnown = m_ptDesktopSize.x > 0.0f && m_ptDesktopSize.y > 0.0f;
        if (!bFull && bDesktopKnown && !(m_ptDesktopSize.x > nPhysW && m_ptDesktopSize.y > nPhysH)) continue;
        std::vector<ModeSize> lCandidates;
        if (bFull && m_bWide)
            lCandidates = getFullScreenCandidates(nPhysW, nPhysH);
        else
            lCandidates.push_back(ModeSize{nPhysW, nPhysH});
        ModeSize got{0, 0};
        if (tryModes(lCandidates, aDepths, bFull, nFlags, nSDLFlags, got)) {
            applyMode(nWidth, nHeight, got, bFull, nFlags, bHidden);
            return true;
        }
    }
    return false;
}

void SDLVideoDriverBase::applyMode(int nWidth, int nHeight, const ModeSize& got, bool bFullScreen, int nFlags,
                                   bool bHidden) {
    TSL_TRACE();
    m_nModeFlags = bFullScreen ? (nFlags | VMF_FULLSCREEN) : (nFlags & ~VMF_FULLSCREEN);
    setCaption(m_sCaption);
    m_nLogicalWidth = nWidth;
    m_nLogicalHeight = nHeight;
    m_nActualWidth = got.nWidth;
    m_nActualHeight = got.nHeight;
    rebuildSideBars();

    int nBpp = getScreenBpp();
    GameApp::log("D: Got %dx%d %s, %d BPP\n", got.nWidth, got.nHeight, modeText(isFullScreen()), nBpp);
    if (nBpp != 16 && nBpp != 24 && nBpp != 32)
        TSL_THROW(Exception, "Couldn't get a direct color video mode [actual BPP = %d]", nBpp);
    if (!bHidden) centerWindow();
    SDL_EnableKeyRepeat(500, 30);
    SDL_EnableUNICODE(1);
    if (!m_pSystemCursor) m_pSystemCursor = SDL_GetCursor();
    setSoftwareCursor(m_bSoftwareCursor);
    setProjectionOffset(0, 0);
}

bool SDLVideoDriverBase::isNarrowerThanLogical() const {
    return static_cast<long long>(m_nActualWidth) * m_nLogicalHeight <
           static_cast<long long>(m_nLogicalWidth) * m_nActualHeight;
}

void SDLVideoDriverBase::rebuildSideBars() {
    clearSideBars();
    m_nLogicalScreenWidth = 0;
    m_nBarWidth = 0;
    m_nLogicalScreenHeight = m_nLogicalHeight;
    m_nBarHeight = 0;
    if (m_nActualHeight <= 0 || m_nLogicalHeight <= 0 || m_nActualWidth <= 0 || m_nLogicalWidth <= 0) return;
    // Right and bottom edges are exclusive: a bar before the screen ends
    // where it starts, and the one after it takes everything from the
    // screen's end to the window's, including the odd line an uneven split
    // leaves over.
    if (isNarrowerThanLogical()) {
        // Scaled to the width, the whole logical screen stays in view.
        m_nLogicalScreenWidth = m_nLogicalWidth;
        m_nLogicalScreenHeight =
            static_cast<int>(static_cast<long long>(m_nActualHeight) * m_nLogicalWidth / m_nActualWidth);
        m_nBarHeight = (m_nLogicalScreenHeight - m_nLogicalHeight) / 2;
        if (m_nBarHeight <= 0) {
            m_nBarHeight = 0;
            return;
        }
        int nBottomEnd = m_nLogicalScreenHeight - m_nBarHeight;
        m_lSideBars.append(new Rect(0, -m_nBarHeight, m_nLogicalWidth, 0));
        m_lSideBars.append(new Rect(0, m_nLogicalHeight, m_nLogicalWidth, nBottomEnd));
        return;
    }
    m_nLogicalScreenWidth =
        static_cast<int>(static_cast<long long>(m_nActualWidth) * m_nLogicalHeight / m_nActualHeight);
    m_nBarWidth = (m_nLogicalScreenWidth - m_nLogicalWidth) / 2;
    if (m_nBarWidth <= 0) {
        m_nBarWidth = 0;
        return;
    }
    int nRightEnd = m_nLogicalScreenWidth - m_nBarWidth;
    m_lSideBars.append(new Rect(-m_nBarWidth, 0, 0, m_nLogicalHeight));
    m_lSideBars.append(new Rect(m_nLogicalWidth, 0, nRightEnd, m_nLogicalHeight));
}

Point SDLVideoDriverBase::getScreenScale() const {
    if (m_nLogicalHeight <= 0) return Point(0.0f, 0.0f);
    // The logical screen fits the mode on its tighter axis.
    float fScale = isNarrowerThanLogical() && m_nLogicalWidth > 0
                       ? static_cast<float>(m_nActualWidth) / m_nLogicalWidth
                       : static_cast<float>(m_nActualHeight) / m_nLogicalHeight;
    return Point(fScale, fScale);
}

Point SDLVideoDriverBase::getScreenOffset() const {
    float fScale = getScreenScale().x;
    int nX = (m_nActualWidth - static_cast<int>(m_nLogicalWidth * fScale)) / 2;
    int nY = (m_nActualHeight - static_cast<int>(m_nLogicalHeight * fScale)) / 2;
    return Point(static_cast<float>(nX), static_cast<float>(nY));
}

// --- full screen and depth -----------------------------------------------------------

bool SDLVideoDriverBase::toggleFullScreen() {
    TSL_TRACE();
    return setVideoMode(m_nLogicalWidth, m_nLogicalHeight, m_nModeFlags ^ VMF_FULLSCREEN);
}

void SDLVideoDriverBase::setFullScreen(bool bFullScreen) {
    TSL_TRACE();
    if (bFullScreen != isFullScreen()) toggleFullScreen();
    setSoftwareCursor(m_bSoftwareCursor);
}

void SDLVideoDriverBase::setColorDepth(int nBpp) {
    TSL_TRACE();
    setVideoMode(m_nLogicalWidth, m_nLogicalHeight, (m_nModeFlags & ~VMF_DEPTH_MASK) | getVideoDepthFlags(nBpp));
}

void SDLVideoDriverBase::iconify() {
    SDL_WM_IconifyWindow();
}

// --- caption, icon and placement ----------------------------------------------------

void SDLVideoDriverBase::setCaption(const char* pszUtf8) {
    TSL_TRACE();
    // Copy first: the argument may be our own caption.
    Tsl::String sCaption(pszUtf8);
    m_sCaption = sCaption;
    // SDL's X11 back end takes UTF-8 titles as they are.
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_WM_SetCaption(m_sCaption.c_str(), m_sCaption.c_str());
}

void SDLVideoDriverBase::centerWindow() {
    TSL_TRACE();
    if (isFullScreen()) return;
    Rect rect;
    if (!getWindowRect(rect)) rect = Rect(-10, -10, m_nLogicalWidth - 10, m_nLogicalHeight - 10);
    if (rect.left >= 0 && rect.top >= 0 && rect.right <= PLACED_RIGHT_LIMIT && rect.bottom <= PLACED_BOTTOM_LIMIT)
        return;
    Point ptScreen = getPrimaryScreenSize();
    int nW = rect.right - rect.left;
    int nH = rect.bottom - rect.top;
    moveWindow((static_cast<int>(ptScreen.x) - nW) / 2, (static_cast<int>(ptScreen.y) - nH) / 2);
}

bool SDLVideoDriverBase::getWindowRect(Rect& rect) {
    int nX = 0, nY = 0, nW = 0, nH = 0;
    if (!x11GetWindowRect(&nX, &nY, &nW, &nH)) return false;
    rect = Rect(nX, nY, nX + nW, nY + nH);
    return true;
}

Point SDLVideoDriverBase::getPrimaryScreenSize() {
    int nW = 0, nH = 0;
    if (x11GetScreenSize(&nW, &nH)) return Point(static_cast<float>(nW), static_cast<float>(nH));
    return m_ptDesktopSize;
}

void SDLVideoDriverBase::moveWindow(int nX, int nY) {
    x11MoveWindow(nX, nY);
}

SDL_Surface* SDLVideoDriverBase::getIconSurface() {
    SDLImage* pImage = dynamic_cast<SDLImage*>(m_pIcon.get());
    if (pImage && pImage->getSurface()) return pImage->getSurface()->getSDLSurface();
    return nullptr;
}

void SDLVideoDriverBase::applyIcon() {
    if (m_pIcon.isNull()) return;
    SDL_Surface* pSurface = getIconSurface();
    if (pSurface) SDL_WM_SetIcon(pSurface, nullptr);
}

// --- cursors ---------------------------------------------------------------------------

void SDLVideoDriverBase::setCursorImage(Tsl::SmartPtr<Image> pImage) {
    m_pCursorImage = pImage;
}

void SDLVideoDriverBase::showCursor(bool bShow) {
    m_bCursorShown = bShow;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(bShow && !m_bSoftwareCursor ? SDL_ENABLE : SDL_DISABLE);
}

void SDLVideoDriverBase::setSoftwareCursor(bool bSoftware) {
    TSL_TRACE();
    m_bSoftwareCursor = bSoftware;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        if (bSoftware) {
            useBlankSystemCursor();
            SDL_ShowCursor(SDL_DISABLE);
        } else {
            if (m_pSystemCursor) SDL_SetCursor(m_pSystemCursor);
            SDL_ShowCursor(SDL_ENABLE);
        }
    }
    // Switching cursors in full screen must not make the pointer jump.
    if (isFullScreen() && m_pPlatform) {
        int nX = 0, nY = 0;
        m_pPlatform->getMousePosition(&nX, &nY);
        m_pPlatform->setMousePosition(nX, nY);
    }
}

void SDLVideoDriverBase::useBlankSystemCursor() {
    TSL_TRACE();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (!m_pBlankCursor) {
        // SDL 1.2 cursors are at least 8 pixels wide (one byte of data).
        Uint8 aData[1] = {0};
        Uint8 aMask[1] = {0};
        m_pBlankCursor = SDL_CreateCursor(aData, aMask, 8, 1, 0, 0);
    }
    if (m_pBlankCursor) SDL_SetCursor(m_pBlankCursor);
}
