#include "platform/sdl_platform.h"

#include "audio/audiodriver.h"
#include "app/gameapp.h"
#include "app/platformservices.h"
#include "image/image.h"
#include "image/sdl_image.h"
#include "platform/internet.h"
#include "platform/sdl_threads.h"
#include "platform/termination.h"
#include "platform/x11window.h"
#include "video/sdl_video_base.h"
#include "video/videodriver.h"

#include "tsl2/error.h"
#include "tsl2/hash_impl.h"

#include <SDL_image.h>
#include <cstdlib>


namespace {

// The double-click time Windows uses unless the user changed it; SDL 1.2 has
// no notion of it and the desktop setting is not reachable from here.
const unsigned int DOUBLE_CLICK_MS = 500;
const int KEY_F4 = 285;
const int ALT_MODIFIERS = 0x300;

} // namespace

SDLPlatform::SDLPlatform()
    : m_pApp(GameApp::getInstance()),
      m_pVideoDriver(nullptr),
      m_pAudioDriver(nullptr),
      m_pImageFactory(nullptr),
      m_fOffsetX(0.0f),
      m_fOffsetY(0.0f),
      m_fDisplayScaleX(0.0f),
      m_fDisplayScaleY(0.0f),
      m_nMouseX(0),
      m_nMouseY(0),
      m_bActive(true),
      m_nFlags(0),
      m_bFontsRegistered(true),
      m_bWindowLost(false),
      m_hJoysticks(97) {
    TSL_TRACE();
    m_pImageFactory = new SDLImageFactory();
    registerPlatformFontFactories();
}

SDLPlatform::~SDLPlatform() {
    TSL_TRACE();
    shutdown();
}

void SDLPlatform::init() {
    TSL_TRACE();
    // setenv copies the text; SDL reads it when video starts.
    setenv("SDL_VIDEO_ALLOW_SCREENSAVER", "0", 1);
    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0)
        TSL_THROW(FatalErrorException, "Could not initialize SDL : %s", SDL_GetError());
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
    // Before video starts, so that SDL keeps its own handlers out.
    installTerminationHandlers();
    // Before video starts too: SDL's X error handler passes errors on to it.
    x11InstallErrorHandler();
}

void SDLPlatform::shutdown() {
    TSL_TRACE();
    // SDL's last requests may meet a window someone else destroyed: the run
    // ends as it would have anyway.
    x11BeginLeaving();
    // Logs the font-cache line, then releases the TrueType factory.
    if (m_bFontsRegistered) unregisterPlatformFontFactories();
    m_bFontsRegistered = false;
    IMG_Quit();
    if (m_pVideoDriver) m_pVideoDriver->shutdown();
    if (m_pAudioDriver) m_pAudioDriver->close();
    // The image factory goes first: images it made may still reach the video
    // driver's data while they are destroyed.
    delete m_pImageFactory;
    m_pImageFactory = nullptr;
    delete m_pVideoDriver;
    m_pVideoDriver = nullptr;
    delete m_pAudioDriver;
    m_pAudioDriver = nullptr;
    closeJoysticks();
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    if (SDL_WasInit(0)) SDL_Quit();
    removeTerminationHandlers();
    std::string sFirst;
    if (int nIgnored = x11GetIgnoredErrors(&sFirst))
        GameApp::log("G: %d X error%s ignored while leaving; the first: %s\n", nIgnored, nIgnored == 1 ? "" : "s",
                     sFirst.c_str());
    x11RemoveErrorHandler();
}

void SDLPlatform::setVideoDriver(IVideoDriver* pDriver) {
    TSL_TRACE();
    TSL_ASSERT(!m_pVideoDriver);
    m_pVideoDriver = pDriver;
    SDLVideoDriverBase* pBase = dynamic_cast<SDLVideoDriverBase*>(pDriver);
    if (pBase) pBase->setPlatform(this);
    if (pDriver) pDriver->setScaleFactor(getScaleFactor());
}

void SDLPlatform::setAudioDriver(IAudioDriver* pDriver) {
    TSL_TRACE();
    TSL_ASSERT(!m_pAudioDriver);
    m_pAudioDriver = pDriver;
}

// --- the event pump ---------------------------------------------------------

void SDLPlatform::processEvents() {
    TSL_TRACE();
    if (!m_pApp) m_pApp = GameApp::getInstance();
    if (endOnTerminationSignal() || endOnLostWindow()) return;
    bool bMotionSeen = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (m_pApp) dispatchEvent(event, bMotionSeen);
    }
    // However many motion events came, one move at the final position, after
    // every key and button of the frame.
    bool bInside = pollMouse();
    if (m_pApp && bMotionSeen && bInside) m_pApp->onMouseMove(m_nMouseX, m_nMouseY, true);
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_JoystickUpdate();
}

// A signal from outside ends the run at once, without the exit question
// that the window's close button brings up.
bool SDLPlatform::endOnTerminationSignal() {
    int nSignal = takeTerminationSignal();
    if (!nSignal || !m_pApp) return false;
    GameApp::log("G: Ending on signal %d\n", nSignal);
    m_pApp->quit(0);
    return true;
}

bool SDLPlatform::endOnLostWindow() {
    if (m_bWindowLost || !m_pApp || !x11IsWindowLost()) return false;
    m_bWindowLost = true;
    GameApp::log("G: The window was destroyed from outside: ending as a confirmed close does\n");
    x11BeginLeaving();
    m_pApp->quit(0);
    return true;
}

void SDLPlatform::dispatchEvent(const SDL_Event& event, bool& bMotionSeen) {
    switch (event.type) {
    case SDL_ACTIVEEVENT:
        onActiveEvent(event.active);
        break;
    case SDL_KEYDOWN:
        onKeyDownEvent(event.key);
        break;
    case SDL_KEYUP:
        m_pApp->onKeyUp(event.key.keysym.sym, event.key.keysym.mod);
        break;
    case SDL_MOUSEMOTION:
        pollMouse();
        bMotionSeen = true;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        onMouseButtonEvent(event.button);
        break;
    case SDL_QUIT:
        m_pApp->onQuit();
        break;
    case SDL_VIDEORESIZE:
        if (m_pVideoDriver) m_pVideoDriver->expose();
        break;
    default:
        break;
    }
}

void SDLPlatform::onActiveEvent(const SDL_ActiveEvent& event) {
    TSL_TRACE();
    if (m_pVideoDriver) m_pVideoDriver->expose();
    const Uint8 nBoth = SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    bool bActive = (queryAppState() & nBoth) == nBoth;
    // Focus and visibility are reported only when the combined state changes.
    if (bActive != m_bActive) {
        if (bActive)
            m_pApp->onActivate();
        else
            m_pApp->onDeactivate();
        IAudioDriver* pAudio = m_pApp->getAudioDriver();
        if (pAudio) pAudio->pauseAll(!bActive);
    }
    m_bActive = bActive;
    if (event.state & SDL_APPMOUSEFOCUS) {
        if (event.gain)
            m_pApp->onMouseEnter();
        else
            m_pApp->onMouseLeave();
    }
}

void SDLPlatform::onKeyDownEvent(const SDL_KeyboardEvent& event) {
    TSL_TRACE();
    int nKey = event.keysym.sym;
    int nMod = event.keysym.mod;
    if (nKey == KEY_F4 && (nMod & ALT_MODIFIERS)) {
        m_pApp->onQuit();
        return;
    }
    bool bHandled = m_pApp->onKeyDown(nKey, nMod);
    if (!bHandled && event.keysym.unicode != 0) m_pApp->onChar(event.keysym.unicode);
}

int SDLPlatform::getButtonMask(int nButton) {
    static const int s_aMasks[6] = {0, 1, 2, 4, 8, 16};
    // Extra buttons (6 and up) have no mask: they reach nobody.
    if (nButton < 1 || nButton > 5) return 0;
    return s_aMasks[nButton];
}

void SDLPlatform::onMouseButtonEvent(const SDL_MouseButtonEvent& event) {
    TSL_TRACE();
    int nMask = getButtonMask(event.button);
    if (nMask == 0) return;
    if (m_nFlags & 1) {
        // The event carries its own position (buttons pushed from outside SDL).
        mapWindowToLogical(event.x, event.y, &m_nMouseX, &m_nMouseY);
        m_pApp->onMouseMove(m_nMouseX, m_nMouseY, true);
    } else {
        pollMouse();
    }
    if (event.type == SDL_MOUSEBUTTONDOWN)
        m_pApp->onMouseDown(nMask, m_nMouseX, m_nMouseY);
    else
        m_pApp->onMouseUp(nMask, m_nMouseX, m_nMouseY);
}

// --- mouse mapping ------------------------------------------------------------

Uint8 SDLPlatform::queryAppState() {
    return SDL_GetAppState();
}

void SDLPlatform::queryMouseState(int* pX, int* pY) {
    SDL_GetMouseState(pX, pY);
}

void SDLPlatform::warpMouse(Uint16 nX, Uint16 nY) {
    SDL_WarpMouse(nX, nY);
}

float SDLPlatform::getScaleX() {
    // The display scale already holds the scale factor (the window was made
    // factor times larger); before the first mode set only the factor is known.
    if (m_fDisplayScaleX > 0.0f) return m_fDisplayScaleX;
    return getScaleFactor() > 0.0f ? getScaleFactor() : 1.0f;
}

float SDLPlatform::getScaleY() {
    if (m_fDisplayScaleY > 0.0f) return m_fDisplayScaleY;
    return getScaleFactor() > 0.0f ? getScaleFactor() : 1.0f;
}

void SDLPlatform::mapWindowToLogical(int nWindowX, int nWindowY, int* pX, int* pY) {
    int nX = nWindowX - static_cast<int>(m_fOffsetX);
    int nY = nWindowY - static_cast<int>(m_fOffsetY);
    *pX = static_cast<int>(nX / getScaleX());
    *pY = static_cast<int>(nY / getScaleY());
}

bool SDLPlatform::pollMouse() {
    TSL_TRACE();
    if (m_nFlags & 1) return true;
    int nX = 0, nY = 0;
    queryMouseState(&nX, &nY);
    mapWindowToLogical(nX, nY, &m_nMouseX, &m_nMouseY);
    if (!m_pVideoDriver || !m_pVideoDriver->isFullScreen()) return true;
    int nW = 0, nH = 0;
    m_pVideoDriver->getSize(&nW, &nH);
    int nClampedX = m_nMouseX < 0 ? 0 : (m_nMouseX >= nW ? nW - 1 : m_nMouseX);
    int nClampedY = m_nMouseY < 0 ? 0 : (m_nMouseY >= nH ? nH - 1 : m_nMouseY);
    if (nClampedX == m_nMouseX && nClampedY == m_nMouseY) return true;
    // Full screen keeps the cursor on the logical screen: warp it back.
    setMousePosition(nClampedX, nClampedY);
    return false;
}

void SDLPlatform::getMousePosition(int* pX, int* pY) {
    if (pX) *pX = m_nMouseX;
    if (pY) *pY = m_nMouseY;
}

void SDLPlatform::setMousePosition(int nX, int nY) {
    TSL_TRACE();
    int nWindowX = static_cast<int>(nX * getScaleX() + m_fOffsetX);
    int nWindowY = static_cast<int>(nY * getScaleY() + m_fOffsetY);
    if (nWindowX < 0) nWindowX = 0;
    if (nWindowY < 0) nWindowY = 0;
    if (nWindowX > 0xFFFF) nWindowX = 0xFFFF;
    if (nWindowY > 0xFFFF) nWindowY = 0xFFFF;
    warpMouse(static_cast<Uint16>(nWindowX), static_cast<Uint16>(nWindowY));
    m_nMouseX = nX;
    m_nMouseY = nY;
}

void SDLPlatform::updateMouseMapping() {
    TSL_TRACE();
    SDLVideoDriverBase* pBase = dynamic_cast<SDLVideoDriverBase*>(m_pVideoDriver);
    if (!pBase) return;
    Point ptOffset = pBase->getScreenOffset();
    Point ptScale = pBase->getScreenScale();
    m_fOffsetX = ptOffset.x;
    m_fOffsetY = ptOffset.y;
    m_fDisplayScaleX = ptScale.x;
    m_fDisplayScaleY = ptScale.y;
}

// --- clock and keyboard -------------------------------------------------------

unsigned int SDLPlatform::getTicks() {
    return SDL_GetTicks();
}

void SDLPlatform::delay(unsigned int nMilliseconds) {
    SDL_Delay(nMilliseconds);
}

bool SDLPlatform::isMouseButtonDown(int nButton) {
    if (nButton < 1 || nButton > 8) return false;
    return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(nButton)) != 0;
}

bool SDLPlatform::isKeyDown(int nKey) {
    int nCount = 0;
    Uint8* pKeys = SDL_GetKeyState(&nCount);
    return pKeys && nKey >= 0 && nKey < nCount && pKeys[nKey] == 1;
}

int SDLPlatform::getKeyModifiers() {
    return SDL_GetModState();
}

unsigned int SDLPlatform::getDoubleClickTime() {
    return DOUBLE_CLICK_MS;
}

// --- joysticks ------------------------------------------------------------------

SDL_Joystick* SDLPlatform::openJoystick(int nIndex) {
    TSL_TRACE();
    if (m_hJoysticks.hasKey(nIndex)) return static_cast<SDL_Joystick*>(m_hJoysticks.get(nIndex));
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return nullptr;
    if (nIndex < 0 || nIndex >= SDL_NumJoysticks()) return nullptr;
    SDL_Joystick* pJoystick = SDL_JoystickOpen(nIndex);
    if (pJoystick) m_hJoysticks.set(nIndex, pJoystick);
    return pJoystick;
}

void SDLPlatform::closeJoysticks() {
    Tsl::List<void*> lHandles = m_hJoysticks.getValues();
    for (void* pHandle : lHandles) SDL_JoystickClose(static_cast<SDL_Joystick*>(pHandle));
    m_hJoysticks.clear();
}

int SDLPlatform::getJoystickCount() {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return 0;
    return SDL_NumJoysticks();
}

const char* SDLPlatform::getJoystickName(int nIndex) {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) || nIndex < 0 || nIndex >= SDL_NumJoysticks()) return nullptr;
    return SDL_JoystickName(nIndex);
}

int SDLPlatform::getJoystickAxisCount(int nJoystick) {
    SDL_Joystick* pJoystick = openJoystick(nJoystick);
    return pJoystick ? SDL_JoystickNumAxes(pJoystick) : 0;
}

int SDLPlatform::getJoystickButtonCount(int nJoystick) {
    SDL_Joystick* pJoystick = openJoystick(nJoystick);
    return pJoystick ? SDL_JoystickNumButtons(pJoystick) : 0;
}

float SDLPlatform::getJoystickAxis(int nAxis, int nJoystick) {
    SDL_Joystick* pJoystick = openJoystick(nJoystick);
    if (!pJoystick || nAxis < 0 || nAxis >= SDL_JoystickNumAxes(pJoystick)) return 0.0f;
    return static_cast<float>(SDL_JoystickGetAxis(pJoystick, nAxis));
}

bool SDLPlatform::isJoystickButtonDown(int nButton, int nJoystick) {
    SDL_Joystick* pJoystick = openJoystick(nJoystick);
    if (!pJoystick || nButton < 0 || nButton >= SDL_JoystickNumButtons(pJoystick)) return false;
    return SDL_JoystickGetButton(pJoystick, nButton) != 0;
}

// --- services ---------------------------------------------------------------------

void SDLPlatform::openURL(const char* pszURL) {
    TSL_TRACE();
    launchURL(pszURL);
}

MutexImpl* SDLPlatform::createMutex() {
    return new SDLMutexImpl();
}

IVideoSpriteImpl* SDLPlatform::createVideoSpriteImpl() {
    return createPlatformVideoSpriteImpl();
}
