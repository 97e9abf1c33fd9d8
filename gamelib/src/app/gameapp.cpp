#include "app/gameapp.h"

#include "app/atomicfile.h"
#include "audio/audiodriver.h"
#include "image/color.h"
#include "audio/dummyaudio.h"
#include "effects/particleemitter.h"
#include "image/image.h"
#include "app/modetransition.h"
#include "app/numberedcopies.h"
#include "platform/platform.h"
#include "app/resourceloader.h"
#include "app/savefailure.h"
#include "app/settingsfile.h"
#include "app/stringtable.h"
#include "screens/names.h"
#include "text/bitmapfont.h"
#include "text/simplefont.h"
#include "video/videodriver.h"
#include "ui/messagewindow.h"
#include "ui/theme.h"

#include "tsl2/logfile.h"
#include "tsl2/memstream.h"
#include "tsl2/random.h"
#include "tsl2/resourcefile.h"
#include "tsl2/tokenfilereader.h"

#include <SDL/SDL_keysym.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

GameApp* GameApp::s_pInstance = nullptr;

namespace {
Tsl::String s_sLogFile;
// A whole line written again and again (an error met on every frame) is
// written once; how often it came follows when another line comes or the log
// closes.
Tsl::String s_sLastLogLine;
int s_nLogRepeats = 0;
bool s_bLogAtLineStart = true;

const char* const DAMAGED_SETTINGS_SUFFIX = ".damaged.";
// A settings file of more bytes cannot read whole (its entries unpack to
// MAX_TOTAL_SIZE at most, and packing adds little), so it is never kept as
// the last good one, nor read any further.
const int64_t MAX_KEPT_BYTES = 2 * int64_t(SettingsFile::MAX_TOTAL_SIZE);
// A damaged file copied aside (one behind a link) may be larger; past this
// it stays where it is and the saves stop instead.
const int64_t MAX_DAMAGED_COPY_BYTES = 8 * MAX_KEPT_BYTES;

void appendToLog(const Tsl::String& sText) {
    Tsl::SmartPtr<Tsl::LogFile> pLog = new Tsl::LogFile(s_sLogFile);
    pLog->write(sText.c_str(), sText.getLength());
}

void writeLogRepeats() {
    if (s_nLogRepeats == 0) return;
    appendToLog(Tsl::String::format("G: The line above came %d more time%s\n", s_nLogRepeats, s_nLogRepeats == 1 ? "" : "s"));
    s_nLogRepeats = 0;
}

// The numbers n of the existing copies "<file>.damaged.<n>".
std::vector<int> findDamagedCopies(const Tsl::String& sFile) {
    std::vector<int> aNumbers;
    Tsl::String sFolder, sPrefix;
    AtomicFile::splitPath(sFile, sFolder, sPrefix);
    sPrefix += DAMAGED_SETTINGS_SUFFIX;
    DIR* pDir = opendir(sFolder.c_str());
    if (!pDir) return aNumbers;
    while (struct dirent* pEntry = readdir(pDir)) {
        if (int nNumber = NumberedCopies::numberOf(pEntry->d_name, sPrefix)) aNumbers.push_back(nNumber);
    }
    closedir(pDir);
    return aNumbers;
}

int clampVolume(int nVolume) { return nVolume < 0 ? 0 : (nVolume > 255 ? 255 : nVolume); }

// The stack as a walk over it begins: the modes it calls may push or end
// modes, which that walk must not see. Held in place for the few modes a game
// stacks, so that walking the stack every frame allocates nothing.
class ModeSnapshot {
public:
    explicit ModeSnapshot(const Tsl::List<Tsl::SmartPtr<GameMode>>& lModes) : m_nCount(lModes.getCount()) {
        if (m_nCount > IN_PLACE) m_apMore.reserve(static_cast<size_t>(m_nCount));
        int i = 0;
        for (const Tsl::SmartPtr<GameMode>& pMode : lModes) {
            if (m_nCount > IN_PLACE)
                m_apMore.push_back(pMode);
            else
                m_apInPlace[i++] = pMode;
        }
    }
    const Tsl::SmartPtr<GameMode>* begin() const { return m_nCount > IN_PLACE ? m_apMore.data() : m_apInPlace; }
    const Tsl::SmartPtr<GameMode>* end() const { return begin() + m_nCount; }

private:
    enum { IN_PLACE = 16 };
    Tsl::SmartPtr<GameMode> m_apInPlace[IN_PLACE];
    std::vector<Tsl::SmartPtr<GameMode>> m_apMore;
    int m_nCount;
};

} // namespace

GameApp::GameApp()
    : m_pPlatform(nullptr), m_pFallbackAudio(nullptr), m_bAudioEnabled(false), m_bToldSilent(false), m_nFrameRate(0),
      m_nFrameInterval(0), m_nNextFrameTime(0), m_nLastTicks(0), m_fMaxFrameTime(0.05f), m_bClampFrameTime(false),
      m_nFrameCounter(0), m_bQuit(false), m_nExitCode(0), m_bConfirmExit(false), m_bWasFullScreen(false),
      m_bIgnoreKeyUp(false), m_bIgnoreMouseUp(false), m_bRoutingClick(false), m_nClickX(0), m_nClickY(0),
      m_bSuppressFocusChanges(false), m_nImageCacheDisabled(0), m_plImageLoads(nullptr), m_nSoundVolume(255),
      m_nMusicVolume(255), m_eUnreadableCause(SaveFailure::UNKNOWN), m_bKeepDamagedFirst(false),
      m_bSaveFailureReported(false) {
    TSL_TRACE();
    if (s_pInstance) TSL_THROW(BadStateException, "GameApp : only one application may exist");
    s_pInstance = this;
}

GameApp::~GameApp() {
    TSL_TRACE();
    log("G: Shutdown\n");
    log("G: ...modes\n");
    m_lWaitingModes.clear();
    m_pLastWaitingMode = nullptr;
    // Modes first: their sprites hold images and samples from the caches.
    while (!m_lModes.isEmpty()) {
        Tsl::SmartPtr<GameMode> pMode = m_lModes.removeFirst();
        pMode->setState(MS_ENDED);
        // An error must not escape the destructor: the remaining modes,
        // resources and the platform still have to be released.
        try {
            pMode->cleanup();
        } catch (const std::exception& e) {
            log("G: A mode failed to clean up at shutdown: %s\n", e.what());
        }
    }
    m_lEndedModes.clear();
    m_pExitConfirm = nullptr;
    log("G: ...resources\n");
    m_lPreloads.clear();
    m_lImagePreloads.clear();
    // The emitter definitions hold images and animations of the caches below.
    ParticleEmitter::clearCache();
    m_hAnimations.clear();
    // The theme's pictures come from the image factory of the platform.
    m_pTheme = nullptr;
    m_pWindowIcon = nullptr;
    m_imageCache.clear();
    m_sampleCache.clear();
    m_musicCache.clear();
    m_lProviders.clear();
    log("G: ...platform\n");
    shutdownPlatform();
    s_pInstance = nullptr;
    log("G: Quit\n");
}

void GameApp::closeFallbackAudio() {
    if (!m_pFallbackAudio) return;
    m_pFallbackAudio->close();
    delete m_pFallbackAudio;
    m_pFallbackAudio = nullptr;
}

void GameApp::shutdownPlatform() {
    closeFallbackAudio();
    if (m_pPlatform) {
        m_pPlatform->shutdown();
        delete m_pPlatform;
        m_pPlatform = nullptr;
    }
}

// ---------------------------------------------------------------- start-up and the loop

void GameApp::setPlatform(IPlatform* pPlatform) {
    if (m_pPlatform == pPlatform) return;
    // The caches must not keep loading through the drivers of the platform
    // that goes: pictures load through the new one's image factory, sounds
    // wait for the next start-up of its audio driver (the stand-in is ours).
    if (!m_pFallbackAudio) {
        m_sampleCache.clear();
        m_musicCache.clear();
        m_sampleCache.setLoader(nullptr);
        m_musicCache.setLoader(nullptr);
    }
    delete m_pPlatform;
    m_pPlatform = pPlatform;
    m_imageCache.setLoader(m_pPlatform ? m_pPlatform->getImageFactory() : nullptr);
}

IVideoDriver* GameApp::getVideoDriver() const { return m_pPlatform ? m_pPlatform->getVideoDriver() : nullptr; }

IAudioDriver* GameApp::getAudioDriver() const {
    if (m_pFallbackAudio) return m_pFallbackAudio;
    return m_pPlatform ? m_pPlatform->getAudioDriver() : nullptr;
}

bool GameApp::onInit() { return init(800, 600, 0); }

bool GameApp::init(int nWidth, int nHeight, int nVideoFlags) {
    TSL_TRACE();
    if (!m_pPlatform) {
        log("G: No platform installed\n");
        return false;
    }
    m_pPlatform->init();
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) {
        Tsl::traceSetNote("video");
        if (!pVideo->init(m_pWindowIcon) || !pVideo->setVideoMode(nWidth, nHeight, nVideoFlags)) {
            log("G: Could not set the video mode %dx%d (flags %X)\n", nWidth, nHeight, nVideoFlags);
            return false;
        }
    }
    initAudio();
    if (hasSetting("SoundVolume")) m_nSoundVolume = clampVolume(Tsl::String::toInt(getSetting("SoundVolume")));
    if (hasSetting("MusicVolume")) m_nMusicVolume = clampVolume(Tsl::String::toInt(getSetting("MusicVolume")));
    applyVolumes();
    Tsl::seedGameRand(static_cast<unsigned int>(std::time(nullptr)));
    setFrameRate(DEFAULT_FRAME_RATE);
    setMaxFrameTime(0.05f, true);
    // The image fonts' classes, before any theme names them.
    SimpleFont::registerFactory();
    BitmapFont::registerFactory();
    // The built-in fonts and the default theme, with its cursor.
    m_pTheme = new Theme();
    applyCursor();
    if (pVideo) pVideo->setSoftwareCursor(isCustomCursor());
    return true;
}

void GameApp::setWindowIcon(Tsl::SmartPtr<Image> pIcon) { m_pWindowIcon = pIcon; }

Tsl::SmartPtr<Image> GameApp::getWindowIcon() const { return m_pWindowIcon; }

Theme* GameApp::getTheme() {
    // Made on first use for programs that never run init (tools, tests).
    if (!m_pTheme) m_pTheme = new Theme();
    return m_pTheme;
}

void GameApp::loadTheme(const char* pszResource) {
    TSL_TRACE();
    getTheme()->load(pszResource);
    applyCursor();
}

void GameApp::applyCursor(const char* pszStyle) {
    IVideoDriver* pVideo = getVideoDriver();
    if (!pVideo) return;
    Tsl::SmartPtr<Image> pCursor = getTheme()->makeCursorImage(pszStyle);
    if (pCursor) pVideo->setCursorImage(pCursor);
}

void GameApp::setCustomCursor(bool bCustom) {
    setSetting(ScreenNames::SET_CUSTOM_CURSOR, bCustom ? "TRUE" : "FALSE");
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) pVideo->setSoftwareCursor(bCustom);
}

void GameApp::initAudio() {
    TSL_TRACE();
    // A second start-up replaces the stand-in of the first.
    closeFallbackAudio();
    IAudioDriver* pAudio = m_pPlatform ? m_pPlatform->getAudioDriver() : nullptr;
    bool bWanted = getSetting("DisableAudio") != "TRUE";
    if (pAudio && bWanted && pAudio->init()) {
        m_bAudioEnabled = true;
    } else {
        log("G: Using dummy audio driver\n");
        // Said once on the terminal too: a player without a sound device
        // would otherwise wonder why all stays quiet.
        if (pAudio && bWanted && !m_bToldSilent) {
            m_bToldSilent = true;
            std::fprintf(stderr, "No sound device: playing silently\n");
            log("G: No sound device: playing silently\n");
        }
        m_pFallbackAudio = new DummyAudioDriver();
        m_pFallbackAudio->init();
        // The stand-in keeps calls harmless; there is still no sound output.
        m_bAudioEnabled = false;
    }
    installAudioLoaders();
}

void GameApp::installAudioLoaders() {
    IAudioDriver* pAudio = getAudioDriver();
    // What the caches hold was made by the driver of an earlier start-up,
    // which the new one cannot play.
    m_sampleCache.clear();
    m_musicCache.clear();
    m_sampleCache.setLoader(pAudio ? pAudio->getSampleLoader() : nullptr);
    m_musicCache.setLoader(pAudio ? pAudio->getMusicLoader() : nullptr);
}

int GameApp::run() {
    TSL_TRACE();
    if (!onInit()) {
        log("G: Initialisation failed\n");
        return m_nExitCode ? m_nExitCode : 1;
    }
    m_nLastTicks = getTicks();
    m_nNextFrameTime = m_nLastTicks;
    while (!m_bQuit) runFrame();
    onExit();
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) {
        pVideo->clear(Color(0, 0, 0, 255));
        pVideo->flip();
    }
    return m_nExitCode;
}

void GameApp::onExit() { saveSettings(); }

void GameApp::waitForNextFrame() {
    if (!m_pPlatform || m_nFrameInterval == 0) return;
    unsigned int nNow = m_pPlatform->getTicks();
    // Signed difference: the tick counter may wrap.
    int nAhead = static_cast<int>(m_nNextFrameTime - nNow);
    if (nAhead > 0 && static_cast<unsigned int>(nAhead) <= m_nFrameInterval) {
        m_pPlatform->delay(static_cast<unsigned int>(nAhead));
        nNow += static_cast<unsigned int>(nAhead);
    }
    m_nNextFrameTime = nNow + m_nFrameInterval;
}

void GameApp::runFrame() {
    TSL_TRACE();
    waitForNextFrame();
    unsigned int nNow = getTicks();
    float fDt = static_cast<float>(nNow - m_nLastTicks) / 1000.0f;
    m_nLastTicks = nNow;
    IAudioDriver* pAudio = getAudioDriver();
    if (pAudio) pAudio->update(fDt);
    if (m_bClampFrameTime && fDt > m_fMaxFrameTime) fDt = m_fMaxFrameTime;
    pushWaitingMode();
    updateModes(fDt);
    if (m_pPlatform) m_pPlatform->processEvents();
    ++m_nFrameCounter;
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) pVideo->renderFrame();
    ++m_nFrameCounter;
    releaseEndedModes();
}

void GameApp::updateModes(float fDt) {
    TSL_TRACE();
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) {
        if (pMode->isActive() && pMode->getState() == MS_RUNNING) pMode->onUpdate(fDt);
        if (!(pMode->getFlags() & MF_UPDATE_BELOW)) break;
    }
}

void GameApp::releaseEndedModes() { m_lEndedModes.clear(); }

void GameApp::setFrameRate(int nFps) {
    m_nFrameRate = nFps;
    m_nFrameInterval = nFps < 1 ? 0 : 1000u / static_cast<unsigned int>(nFps);
}

void GameApp::setMaxFrameTime(float fSeconds, bool bClamp) {
    m_fMaxFrameTime = fSeconds;
    m_bClampFrameTime = bClamp;
}

unsigned int GameApp::getTicks() const { return m_pPlatform ? m_pPlatform->getTicks() : 0; }

void GameApp::getMousePosition(int* pX, int* pY) const {
    int nX = 0, nY = 0;
    if (m_pPlatform) m_pPlatform->getMousePosition(&nX, &nY);
    if (pX) *pX = nX;
    if (pY) *pY = nY;
}

int GameApp::getScreenWidth() const {
    IVideoDriver* pVideo = getVideoDriver();
    return pVideo ? pVideo->getWidth() : 800;
}

int GameApp::getScreenHeight() const {
    IVideoDriver* pVideo = getVideoDriver();
    return pVideo ? pVideo->getHeight() : 600;
}

void GameApp::showCursor(bool bShow) {
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) pVideo->showCursor(bShow);
}

void GameApp::quit(int nExitCode) {
    m_nExitCode = nExitCode;
    m_bQuit = true;
}

void GameApp::failStart(const Tsl::String& sWhat) {
    std::fprintf(stderr, "%s\n", sWhat.c_str());
    log("G: The start failed: %s\n", sWhat.c_str());
    quit(EXIT_START_FAILED);
}

bool GameApp::showMessageBox(const char* pszCaption, const char* pszText, int nExitCodeIfCut) {
    const char* pszShownCaption = pszCaption ? pszCaption : "";
    const char* pszShownText = pszText ? pszText : "";
    std::fprintf(stderr, "%s: %s\n", pszShownCaption, pszShownText);
    log("G: Message box \"%s\": %s\n", pszShownCaption, pszShownText);
    MessageWindow window(pszShownCaption, pszShownText);
    std::string sOutcome;
    bool bShown = window.show(&sOutcome, nExitCodeIfCut);
    if (bShown)
        log("G: Message box shown, %s\n", sOutcome.c_str());
    else
        log("G: Message box not shown: %s\n", sOutcome.c_str());
    return bShown;
}

void GameApp::printMessage(const char* pszCaption, const char* pszText) {
    std::fprintf(stderr, "%s: %s\n", pszCaption ? pszCaption : "", pszText ? pszText : "");
    log("G: Message \"%s\": %s\n", pszCaption ? pszCaption : "", pszText ? pszText : "");
}

void GameApp::fatalExit(const char* pszCaption, const char* pszText) {
    static bool s_bExiting = false;
    if (!s_bExiting) {
        s_bExiting = true;
        if (s_pInstance && s_pInstance->m_pPlatform) s_pInstance->m_pPlatform->shutdown();
        if (pszText) showMessageBox(pszCaption, pszText);
    }
    std::exit(1);
}

void GameApp::setArguments(int nArgc, const char* const* ppszArgv) {
    m_lArguments.clear();
    for (int i = 0; i < nArgc; ++i) m_lArguments.append(ppszArgv[i]);
}

// ---------------------------------------------------------------- the log

void GameApp::openLog(const char* pszPath) {
    closeLog();
    s_sLogFile = pszPath ? pszPath : "";
    if (s_sLogFile.isEmpty()) return;
    struct stat info;
    if (stat(s_sLogFile.c_str(), &info) == 0 && info.st_size > LOG_SIZE_LIMIT) std::remove(s_sLogFile.c_str());
}

void GameApp::closeLog() {
    if (!s_sLogFile.isEmpty()) writeLogRepeats();
    s_sLogFile = "";
    s_sLastLogLine = "";
    s_nLogRepeats = 0;
    s_bLogAtLineStart = true;
}

const Tsl::String& GameApp::getLogFile() { return s_sLogFile; }

void GameApp::log(const char* pszFormat, ...) {
    if (s_sLogFile.isEmpty() || !pszFormat) return;
    va_list args;
    va_start(args, pszFormat);
    Tsl::String sText = Tsl::String::formatV(pszFormat, args);
    va_end(args);
    if (sText.isEmpty()) return;
    // Pieces of a line written one by one are never taken for repeats.
    bool bWholeLine = s_bLogAtLineStart && sText[-1] == '\n';
    if (bWholeLine && sText == s_sLastLogLine) {
        ++s_nLogRepeats;
        return;
    }
    writeLogRepeats();
    s_sLastLogLine = bWholeLine ? sText : Tsl::String();
    s_bLogAtLineStart = sText[-1] == '\n';
    appendToLog(sText);
}

// ---------------------------------------------------------------- modes

Tsl::SmartPtr<GameMode> GameApp::getModeAt(int nIndex) const { return m_lModes.getAt(nIndex); }

int GameApp::getModeIndex(const GameMode* pMode) const {
    int nIndex = 0;
    for (const Tsl::SmartPtr<GameMode>& pEntry : m_lModes) {
        if (pEntry.get() == pMode) return nIndex;
        ++nIndex;
    }
    return -1;
}

int GameApp::getLowestDrawnModeIndex() const {
    int nIndex = 0;
    for (const Tsl::SmartPtr<GameMode>& pMode : m_lModes) {
        if (!(pMode->getFlags() & MF_DRAW_BELOW)) return nIndex;
        ++nIndex;
    }
    return m_lModes.getCount() - 1;
}

void GameApp::afterStackChange(Tsl::SmartPtr<GameMode> pOldTop) {
    // The release that ends the click or key press which caused the change
    // belongs to the old mode: ignore it until the next press.
    m_bIgnoreKeyUp = true;
    m_bIgnoreMouseUp = true;
    cancelPresses();
    Tsl::SmartPtr<GameMode> pNewTop = m_lModes.isEmpty() ? nullptr : m_lModes.getFirst();
    if (m_bSuppressFocusChanges || pNewTop == pOldTop) return;
    if (pOldTop && pOldTop->getState() == MS_RUNNING) pOldTop->onDeactivate();
    if (pNewTop) pNewTop->onActivate();
}

void GameApp::cancelPresses() {
    // The release a pressed control waits for is ignored after a stack change,
    // so none may stay pressed (a slider would follow the mouse with no button down).
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) pMode->cancelPress();
}

void GameApp::pushMode(Tsl::SmartPtr<GameMode> pMode) {
    TSL_TRACE();
    if (!pMode) return;
    if (getModeIndex(pMode) >= 0) TSL_THROW(BadStateException, "GameApp::pushMode : the mode is on the stack already");
    Tsl::SmartPtr<GameMode> pOldTop = m_lModes.isEmpty() ? nullptr : m_lModes.getFirst();
    ModeState eState = pMode->getState();
    pMode->setState(MS_RUNNING);
    m_lModes.insertAfter(nullptr, pMode);
    if (eState == MS_NEW) {
        try {
            pMode->init();
        } catch (...) {
            // A mode that failed to start leaves the stack as it was; it may
            // have pushed others on top of itself meanwhile.
            int nIndex = getModeIndex(pMode);
            if (nIndex >= 0) m_lModes.removeAt(nIndex);
            pMode->setState(eState);
            throw;
        }
    }
    afterStackChange(pOldTop);
}

void GameApp::pushModeLater(Tsl::SmartPtr<GameMode> pMode) {
    if (pMode) m_lWaitingModes.append(pMode);
}

void GameApp::pushWaitingMode() {
    if (m_lWaitingModes.isEmpty()) return;
    if (m_pLastWaitingMode && getModeIndex(m_pLastWaitingMode) >= 0) return;
    m_pLastWaitingMode = m_lWaitingModes.removeFirst();
    pushMode(m_pLastWaitingMode);
}

void GameApp::pushModeWithTransition(Tsl::SmartPtr<GameMode> pTarget, Tsl::SmartPtr<GameMode> pTransition) {
    Tsl::SmartPtr<ModeTransition> pBridge = Tsl::SmartPtr<ModeTransition>::dynamicCast(pTransition);
    if (!pBridge) {
        pushMode(pTarget);
        return;
    }
    pBridge->setTarget(pTarget);
    pushMode(pTransition);
}

void GameApp::runModal(Tsl::SmartPtr<GameMode> pMode) {
    TSL_TRACE();
    pushMode(pMode);
    // Until the mode has left the stack: a dialog it opens on top of itself
    // does not end the modal run.
    while (!m_bQuit && getModeIndex(pMode) >= 0) runFrame();
}

void GameApp::requireTopMode(const GameMode* pMode) const {
    int nIndex = getModeIndex(pMode);
    if (nIndex != 0)
        TSL_THROW(BadStateException, "GameApp : only the top mode may end or suspend itself (mode at index %d)", nIndex);
}

void GameApp::removeFromStack(GameMode* pMode) {
    requireTopMode(pMode);
    Tsl::SmartPtr<GameMode> pOldTop = m_lModes.removeFirst();
    // Kept until the end of the frame: the mode may still be running its own code.
    m_lEndedModes.append(pOldTop);
    afterStackChange(pOldTop);
    if (m_bRoutingClick) swallowClick();
}

void GameApp::endMode(GameMode* pMode) {
    TSL_TRACE();
    if (!pMode) return;
    requireTopMode(pMode);
    // A cleanup that throws leaves the mode running on top, so that ending
    // it can be tried again.
    pMode->cleanup();
    pMode->setState(MS_ENDED);
    removeFromStack(pMode);
}

void GameApp::suspendMode(GameMode* pMode) {
    TSL_TRACE();
    if (!pMode) return;
    removeFromStack(pMode);
    pMode->setState(MS_SUSPENDED);
}

// ---------------------------------------------------------------- input

template <class Handler>
bool GameApp::routeInput(Handler handle) {
    // A copy: handlers may push or end modes.
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) {
        if (pMode->isActive() && handle(pMode.get())) return true;
        if (!(pMode->getFlags() & MF_INPUT_BELOW)) break;
    }
    return false;
}

template <class Handler>
bool GameApp::routeClick(int nX, int nY, Handler handle) {
    // Saved and restored: a handler may run a modal loop that routes clicks of its own.
    struct Restore {
        GameApp& app;
        bool bRouting;
        int nX, nY;
        ~Restore() {
            app.m_bRoutingClick = bRouting;
            app.m_nClickX = nX;
            app.m_nClickY = nY;
        }
    } restore{*this, m_bRoutingClick, m_nClickX, m_nClickY};
    m_bRoutingClick = true;
    m_nClickX = nX;
    m_nClickY = nY;
    return routeInput(handle);
}

void GameApp::swallowClick() {
    m_bIgnoreMouseUp = true;
    cancelPresses();
    m_closingClick.close(m_nClickX, m_nClickY, getTicks(), m_nFrameCounter);
}

bool GameApp::onKeyDown(int nKey, int nModifiers) {
    TSL_TRACE();
    m_bIgnoreKeyUp = false;
    bool bAlt = (nModifiers & KMOD_ALT) != 0;
    if (nKey == SDLK_F12 || (bAlt && nKey == SDLK_RETURN)) {
        IVideoDriver* pVideo = getVideoDriver();
        if (pVideo) pVideo->toggleFullScreen();
        return true;
    }
    if (routeInput([&](GameMode* pMode) { return pMode->handleKeyDown(nKey, nModifiers); })) return true;
    return onUnhandledKey(nKey, nModifiers);
}

bool GameApp::onKeyUp(int nKey, int nModifiers) {
    if (m_bIgnoreKeyUp) return false;
    return routeInput([&](GameMode* pMode) { return pMode->handleKeyUp(nKey, nModifiers); });
}

bool GameApp::onChar(int nCharacter) {
    return routeInput([&](GameMode* pMode) { return pMode->handleChar(nCharacter); });
}

void GameApp::onMouseMove(int nX, int nY, bool bInside) {
    bool bReached = true;
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) {
        // Modes the input no longer reaches lose their hover.
        if (!bReached || !pMode->isActive()) {
            pMode->clearHover();
        } else {
            pMode->handleMouseMove(nX, nY);
        }
        if (!(pMode->getFlags() & MF_INPUT_BELOW)) bReached = false;
    }
}

bool GameApp::onMouseDown(int nButton, int nX, int nY) {
    TSL_TRACE();
    bool bWheel = (nButton & (MB_WHEEL_UP | MB_WHEEL_DOWN)) != 0;
    unsigned int nDoubleClickMs = m_pPlatform ? m_pPlatform->getDoubleClickTime() : 0;
    if (!bWheel && m_closingClick.takes(nX, nY, getTicks(), m_nFrameCounter, nDoubleClickMs)) {
        // Its release goes with it.
        m_bIgnoreMouseUp = true;
        return true;
    }
    m_bIgnoreMouseUp = false;
    bool bHandled = routeClick(nX, nY, [&](GameMode* pMode) { return pMode->handleMouseDown(nButton, nX, nY); });
    // The press itself changed the stack: the control it went to was taken
    // as pressed only afterwards.
    if (m_bIgnoreMouseUp) cancelPresses();
    return bHandled;
}

bool GameApp::onMouseUp(int nButton, int nX, int nY) {
    TSL_TRACE();
    if (m_bIgnoreMouseUp) return false;
    return routeClick(nX, nY, [&](GameMode* pMode) { return pMode->handleMouseUp(nButton, nX, nY); });
}

void GameApp::onQuit() {
    if (m_bConfirmExit) createExitConfirmMode();
    else quit(0);
}

void GameApp::createExitConfirmMode() {
    TSL_TRACE();
    if (m_pExitConfirm && getModeIndex(m_pExitConfirm) >= 0) return;
    m_pExitConfirm = newExitConfirmMode();
    if (m_pExitConfirm) pushMode(m_pExitConfirm);
    else quit(0);
}

void GameApp::onActivate() {
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo && m_bWasFullScreen && !pVideo->isFullScreen()) pVideo->setFullScreen(true);
    if (pVideo) pVideo->expose();
    onMouseEnter();
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) pMode->onAppActivate();
}

void GameApp::onDeactivate() {
    IVideoDriver* pVideo = getVideoDriver();
    m_bWasFullScreen = pVideo && pVideo->isFullScreen();
    onMouseLeave();
    for (const Tsl::SmartPtr<GameMode>& pMode : ModeSnapshot(m_lModes)) pMode->onAppDeactivate();
}

void GameApp::onMouseEnter() {
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo && isCustomCursor()) pVideo->setSoftwareCursor(true);
}

void GameApp::onMouseLeave() {
    IVideoDriver* pVideo = getVideoDriver();
    if (pVideo) pVideo->setSoftwareCursor(false);
}

// ---------------------------------------------------------------- resources

bool resourceExists(const char* pszName, const char* const* ppszSuffixes) {
    GameApp* pApp = GameApp::getInstance();
    return pApp && !pApp->findResource(pszName, ppszSuffixes).isEmpty();
}

void GameApp::addResourceProvider(Tsl::SmartPtr<Tsl::ResourceProvider> pProvider) {
    if (pProvider) m_lProviders.append(pProvider);
}

bool GameApp::addResourceFolder(const char* pszPath) {
    struct stat info;
    if (!pszPath || stat(pszPath, &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    addResourceProvider(new Tsl::FolderResourceProvider(pszPath));
    return true;
}

bool GameApp::addArchive(const char* pszPath) {
    TSL_TRACE();
    try {
        addResourceProvider(new Tsl::ResourceFile(pszPath));
        return true;
    } catch (const Tsl::Exception& e) {
        log("G: Resource archive '%s' skipped: %s\n", pszPath, e.getMessage());
        return false;
    }
}

Tsl::String GameApp::findResource(const char* pszName, const char* const* ppszSuffixes) const {
    if (!pszName) return Tsl::String();
    Tsl::String sName(pszName);
    if (m_hResourceAliases.hasKey(sName)) sName = m_hResourceAliases.get(sName);
    static const char* const s_apszNoSuffix[] = {"", nullptr};
    const char* const* ppszList = ppszSuffixes ? ppszSuffixes : s_apszNoSuffix;
    for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : m_lProviders) {
        for (const char* const* pp = ppszList; *pp; ++pp) {
            Tsl::String sCandidate = sName + *pp;
            try {
                if (pProvider->hasResource(sCandidate)) return sCandidate;
            } catch (const Tsl::Exception&) {
                // A provider that cannot answer has no such resource.
            }
        }
    }
    return Tsl::String();
}

bool GameApp::hasResource(const char* pszName) const {
    if (!pszName) return false;
    for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : m_lProviders)
        if (pProvider->hasResource(pszName)) return true;
    return false;
}

Tsl::SmartPtr<Tsl::Resource> GameApp::getResource(const char* pszName) const {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    if (pszName) {
        for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : m_lProviders) {
            if (!pProvider->hasResource(pszName)) continue;
            Tsl::SmartPtr<Tsl::Resource> pResource = pProvider->getResource(pszName);
            if (pResource) return pResource;
        }
    }
    TSL_THROW(ResourceException, "GameApp::getResource() : Resource '%s' not found", pszName ? pszName : "(null)");
}

void GameApp::loadAliases(const char* pszResource, Tsl::Hash<Tsl::String, Tsl::String>& hAliases) {
    TSL_TRACE();
    Tsl::SmartPtr<Tsl::Resource> pResource = getResource(pszResource);
    Tsl::String sText = pResource->getString();
    Tsl::TokenFileReader reader(sText, pszResource);
    while (!reader.isEOF()) {
        reader.nextLine();
        const Tsl::List<Tsl::String>& lTokens = reader.getTokens();
        reader.checkTokenCount(2);
        hAliases.set(lTokens.getAt(0), lTokens.getAt(1));
    }
}

void GameApp::loadResourceAliases(const char* pszResource) { loadAliases(pszResource, m_hResourceAliases); }

void GameApp::loadImageAliases(const char* pszResource) { loadAliases(pszResource, m_hImageAliases); }

Tsl::String GameApp::applyImageAlias(const char* pszName) const {
    Tsl::String sName(pszName);
    return m_hImageAliases.hasKey(sName) ? m_hImageAliases.get(sName) : sName;
}

// ---------------------------------------------------------------- caches

Tsl::SmartPtr<Image> GameApp::getImage(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    Tsl::String sName = applyImageAlias(pszName).toLower();
    bool bRecord = m_plImageLoads && isImageCacheEnabled() && !m_imageCache.has(sName);
    Tsl::SmartPtr<Image> pImage = m_imageCache.get(sName, isImageCacheEnabled());
    if (!pImage) TSL_THROW(ResourceException, "GameApp::getImage() : Image '%s' not found", pszName);
    if (bRecord) m_plImageLoads->append(sName);
    return pImage;
}

bool GameApp::hasImage(const char* pszName) {
    Tsl::String sName = applyImageAlias(pszName).toLower();
    if (m_imageCache.has(sName)) return true;
    ImageFactory* pFactory = m_pPlatform ? m_pPlatform->getImageFactory() : nullptr;
    return pFactory && pFactory->exists(sName.c_str());
}

void GameApp::addImage(const char* pszName, Tsl::SmartPtr<Image> pImage, int nFlags) {
    m_imageCache.add(Tsl::String(pszName).toLower(), pImage);
}

void GameApp::releaseImagesExcept(const Tsl::List<Tsl::String>& lKeep) {
    Tsl::List<Tsl::String> lLower;
    for (const Tsl::String& sName : lKeep) lLower.append(sName.toLower());
    m_imageCache.releaseExcept(lLower);
}

void GameApp::releaseImage(const char* pszName) { m_imageCache.release(Tsl::String(pszName).toLower()); }

Tsl::SmartPtr<Image> GameApp::createImage(int nWidth, int nHeight, bool bAlpha) {
    ImageFactory* pFactory = m_pPlatform ? m_pPlatform->getImageFactory() : nullptr;
    if (!pFactory) TSL_THROW(BadStateException, "GameApp::createImage : no image factory");
    return pFactory->createBlank(nWidth, nHeight, bAlpha);
}

Tsl::SmartPtr<Image> GameApp::createImageFromPixels(void* pPixels, int nWidth, int nHeight, int nBpp, int nPitch,
                                                    unsigned int nRedMask, unsigned int nGreenMask,
                                                    unsigned int nBlueMask, unsigned int nAlphaMask) {
    ImageFactory* pFactory = m_pPlatform ? m_pPlatform->getImageFactory() : nullptr;
    if (!pFactory) TSL_THROW(BadStateException, "GameApp::createImageFromPixels : no image factory");
    return pFactory->createFromPixels(pPixels, nWidth, nHeight, nBpp, nPitch, nRedMask, nGreenMask, nBlueMask,
                                      nAlphaMask);
}

Tsl::SmartPtr<Sample> GameApp::getSample(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    Tsl::SmartPtr<Sample> pSample = m_sampleCache.get(pszName);
    if (!pSample) TSL_THROW(ResourceException, "GameApp::getSample() : Sample '%s' not found", pszName);
    return pSample;
}

Tsl::SmartPtr<Music> GameApp::getMusic(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    Tsl::SmartPtr<Music> pMusic = m_musicCache.get(pszName);
    if (!pMusic) TSL_THROW(ResourceException, "GameApp::getMusic() : Music '%s' not found", pszName);
    return pMusic;
}

void GameApp::releaseMusic(const char* pszName) {
    Tsl::SmartPtr<Music> pMusic = m_musicCache.find(pszName);
    // Ours, the cache's and one more holder: the driver still plays it.
    if (pMusic && pMusic->getRefCount() <= 2) m_musicCache.release(pszName);
}

Tsl::String GameApp::makeAnimationKey(const char* pszFile, const Tsl::List<Tsl::String>& lParams) {
    Tsl::String sKey(pszFile);
    for (const Tsl::String& sParam : lParams) sKey += Tsl::String("-") + sParam;
    return sKey;
}

Tsl::SmartPtr<Animation> GameApp::getAnimation(const char* pszName) {
    return getAnimation(pszName, pszName, Tsl::List<Tsl::String>());
}

Tsl::SmartPtr<Animation> GameApp::getAnimation(const char* pszFile, const char* pszKey,
                                               const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::traceSetNote(pszFile);
    Tsl::String sKey = pszKey ? Tsl::String(pszKey) : makeAnimationKey(pszFile, lParams);
    if (m_hAnimations.hasKey(sKey)) return m_hAnimations.get(sKey);
    // A queued load of the same key is finished now rather than started twice.
    if (isPreloadQueued(sKey)) return finishPreload(sKey);
    Tsl::SmartPtr<AnimationLoader> pLoader = new AnimationLoader();
    pLoader->setParams(lParams);
    Tsl::SmartPtr<Animation> pAnimation = pLoader->load(pszFile);
    if (pAnimation) m_hAnimations.set(sKey, pAnimation);
    return pAnimation;
}

void GameApp::preloadAnimation(const char* pszFile) { preloadAnimation(pszFile, pszFile, Tsl::List<Tsl::String>()); }

void GameApp::preloadAnimation(const char* pszFile, const char* pszKey, const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::String sKey = pszKey ? Tsl::String(pszKey) : makeAnimationKey(pszFile, lParams);
    if (m_hAnimations.hasKey(sKey) || isPreloadQueued(sKey)) return;
    Tsl::SmartPtr<AnimationLoader> pLoader = new AnimationLoader();
    pLoader->setParams(lParams);
    pLoader->begin(pszFile);
    m_lPreloads.append(PreloadEntry{sKey, pLoader});
}

bool GameApp::isPreloadQueued(const Tsl::String& sKey) const {
    return m_lPreloads.indexOf(PreloadEntry{sKey, nullptr}) >= 0;
}

Tsl::SmartPtr<Animation> GameApp::finishPreload(const Tsl::String& sKey) {
    int nIndex = m_lPreloads.indexOf(PreloadEntry{sKey, nullptr});
    PreloadEntry entry = m_lPreloads.removeAt(nIndex);
    Tsl::SmartPtr<AnimationLoader> pLoader = entry.pLoader;
    while (!pLoader->isDone()) pLoader->parseNextLine();
    Tsl::SmartPtr<Animation> pAnimation = pLoader->getAnimation();
    if (pAnimation) m_hAnimations.set(sKey, pAnimation);
    return pAnimation;
}

bool GameApp::stepAnimationPreload() {
    TSL_TRACE();
    if (m_lPreloads.isEmpty()) return false;
    PreloadEntry& entry = m_lPreloads.getHead()->data;
    Tsl::traceSetNote(entry.sKey.c_str());
    try {
        if (!entry.pLoader->isDone()) entry.pLoader->parseNextLine();
    } catch (...) {
        // A broken file leaves the queue: the error goes to the caller once.
        m_lPreloads.removeFirst();
        throw;
    }
    // A copy: finishing the load frees the queue entry that holds the key.
    if (entry.pLoader->isDone()) finishPreload(Tsl::String(entry.sKey));
    return true;
}

void GameApp::preloadImage(const char* pszName) {
    Tsl::String sName = applyImageAlias(pszName).toLower();
    if (m_imageCache.has(sName) || m_lImagePreloads.indexOf(sName) >= 0) return;
    m_lImagePreloads.append(sName);
}

bool GameApp::stepImagePreload() {
    TSL_TRACE();
    if (m_lImagePreloads.isEmpty()) return false;
    Tsl::String sName = m_lImagePreloads.removeFirst();
    Tsl::traceSetNote(sName.c_str());
    try {
        Tsl::SmartPtr<Image> pImage = m_imageCache.get(sName);
        IVideoDriver* pVideo = getVideoDriver();
        if (pImage && pVideo) pVideo->preloadImage(pImage);
    } catch (const Tsl::Exception& e) {
        log("G: Picture %s not preloaded: %s\n", sName.c_str(), e.getMessage());
    }
    return true;
}

// A step is never cut short, so the slice ends before a step that, as long
// as the longest of the slice so far, would end past the budget.
bool GameApp::stepPreloads(unsigned int nMs) {
    TSL_TRACE();
    unsigned int nStart = getTicks(), nNow = nStart, nLongest = 0;
    do {
        unsigned int nBefore = nNow;
        try {
            if (!stepImagePreload() && !stepAnimationPreload()) return false;
        } catch (const Tsl::Exception& e) {
            log("G: Animation not preloaded: %s\n", e.getMessage());
        }
        nNow = getTicks();
        nLongest = std::max(nLongest, nNow - nBefore);
    } while (nNow - nStart + nLongest <= nMs);
    return !m_lImagePreloads.isEmpty() || !m_lPreloads.isEmpty();
}

DisableImageCache::DisableImageCache() {
    if (GameApp::getInstance()) ++GameApp::getInstance()->m_nImageCacheDisabled;
}

DisableImageCache::~DisableImageCache() {
    if (GameApp::getInstance() && GameApp::getInstance()->m_nImageCacheDisabled > 0)
        --GameApp::getInstance()->m_nImageCacheDisabled;
}

RecordImageLoads::RecordImageLoads(Tsl::List<Tsl::String>& lNames) : m_plOuter(nullptr) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    m_plOuter = pApp->m_plImageLoads;
    pApp->m_plImageLoads = &lNames;
}

RecordImageLoads::~RecordImageLoads() {
    if (GameApp::getInstance()) GameApp::getInstance()->m_plImageLoads = m_plOuter;
}

// ---------------------------------------------------------------- sound

void GameApp::applyVolumes() {
    IAudioDriver* pAudio = getAudioDriver();
    if (!pAudio) return;
    pAudio->setSoundVolume(m_nSoundVolume / 255.0f);
    pAudio->setMusicVolume(m_nMusicVolume / 255.0f);
}

void GameApp::setSoundVolume(int nVolume) {
    m_nSoundVolume = clampVolume(nVolume);
    applyVolumes();
}

void GameApp::setMusicVolume(int nVolume) {
    m_nMusicVolume = clampVolume(nVolume);
    applyVolumes();
}

int GameApp::playSound(Tsl::SmartPtr<Sample> pSample, bool bLoop, int nChannel) {
    IAudioDriver* pAudio = getAudioDriver();
    if (!pAudio || !pSample) return -1;
    int nUsed = pAudio->playSample(pSample, bLoop, nChannel);
    if (nUsed != -1) pAudio->setPanning(nUsed, 255, 255);
    return nUsed;
}

void GameApp::stopSound(int nChannel) {
    IAudioDriver* pAudio = getAudioDriver();
    if (pAudio) pAudio->stopChannel(nChannel, 0.0f);
}

void GameApp::playMusic(const char* pszName, bool bLoop) {
    IAudioDriver* pAudio = getAudioDriver();
    if (pAudio) pAudio->playMusic(pszName, bLoop);
}

Tsl::String GameApp::getMusicName() const {
    IAudioDriver* pAudio = getAudioDriver();
    if (!pAudio || !pAudio->isMusicPlaying()) return Tsl::String();
    return pAudio->getCurrentMusicName();
}

void GameApp::stopAllAudio() {
    IAudioDriver* pAudio = getAudioDriver();
    if (!pAudio) return;
    pAudio->stopChannel(-1, 0.0f);
    pAudio->stopPlaylist();
}

// ---------------------------------------------------------------- settings
//
// The file's format is SettingsFile's (settingsfile.*); every settings file
// is written whole through AtomicFile (atomicfile.*): a temporary file, sent
// to the disk, renamed, the folder synced. Two kinds of copies stand beside
// it. The kept copy ("<file>.previous", getKeptSettingsFile) is the last good
// settings: each save that replaces a file which reads whole copies that file
// there first, and a file that is damaged, missing or cannot be read is made
// good from it. A copy set aside ("<file>.damaged.<n>", keepDamagedSettings)
// holds a damaged file's bytes as they were, numbered and never overwritten,
// before the repaired settings take the file's name.

Tsl::String GameApp::getSetting(const char* pszKey) const {
    return pszKey && m_hSettings.hasKey(pszKey) ? m_hSettings.get(pszKey) : Tsl::String();
}

void GameApp::setSetting(const char* pszKey, const char* pszValue) {
    if (pszKey) m_hSettings.set(pszKey, pszValue);
}

void GameApp::setSetting(const char* pszKey, const Tsl::String& sValue) {
    if (pszKey) m_hSettings.set(pszKey, sValue);
}

void GameApp::removeSetting(const char* pszKey) {
    if (pszKey && m_hSettings.hasKey(pszKey)) m_hSettings.remove(pszKey);
}

Tsl::String GameApp::getKeptSettingsFile() const { return m_sSettingsFile + ScreenNames::SETTINGS_KEPT_SUFFIX; }


Tsl::List<Tsl::String> GameApp::getOwnSettingKeys() const {
    Tsl::List<Tsl::String> lKeys;
    for (const char* pszKey : ScreenNames::LIBRARY_SETTING_KEYS) lKeys.append(pszKey);
    return lKeys;
}

Tsl::List<Tsl::String> GameApp::getKeysNeverRefused() const {
    Tsl::List<Tsl::String> lKeys = getOwnSettingKeys();
    for (const Tsl::String& sKey : m_hSettings.getKeys()) lKeys.append(sKey);
    return lKeys;
}

bool GameApp::loadSettings() {
    TSL_TRACE();
    m_sDamagedSettings = "";
    m_sUnreadableSettings = "";
    m_sRestoredSettings = "";
    m_bKeepDamagedFirst = false;
    if (m_sSettingsFile.isEmpty()) return false;
    AtomicFile::removeStaleTemporaries(m_sSettingsFile);
    Tsl::String sTarget = AtomicFile::followLinks(m_sSettingsFile);
    if (sTarget != m_sSettingsFile) AtomicFile::removeStaleTemporaries(sTarget);
    std::string sBytes;
    mode_t nMode = 0;
    int nErrno = 0;
    // A file past the bound cannot read whole: its first bytes are read as
    // any damaged file's are.
    if (AtomicFile::readBytes(sTarget, MAX_KEPT_BYTES, sBytes, nMode, nErrno) || nErrno == EFBIG)
        return readSettingsFile(sBytes);
    if (nErrno == ENOENT || nErrno == ENOTDIR)
        restoreKeptSettings();
    else
        refuseUnreadableSettings(sTarget, nMode, nErrno);
    return false;
}

void GameApp::refuseUnreadableSettings(const Tsl::String& sTarget, mode_t nMode, int nErrno) {
    // Left alone, and nothing saved while it stands: a save would rename a
    // file over a FIFO or a device, and a file the game may not open yet
    // holds the newest progress once it can be opened again. Until then the
    // kept copy is the only good one, so it is not saved over either.
    m_sUnreadableSettings = sTarget;
    m_eUnreadableCause = SaveFailure::fromWhatStands(nMode);
    Tsl::String sWhy = SaveFailure::describe(m_eUnreadableCause);
    // What is no file was never opened: only a file's error says more.
    if (m_eUnreadableCause == SaveFailure::FILE_UNREADABLE) sWhy += Tsl::String(": ") + std::strerror(nErrno);
    log("G: Settings file '%s' cannot be read (%s); it is left as it is and nothing is saved in this run\n",
        sTarget.c_str(), sWhy.c_str());
    takeKeptSettings();
}

bool GameApp::readSettingsFile(const std::string& sBytes) {
    Tsl::List<Tsl::String> lOwnKeys = getKeysNeverRefused();
    Tsl::Hash<Tsl::String, Tsl::String> hRead;
    Tsl::MemStream bytes(sBytes.data(), int(sBytes.size()));
    SettingsFile::Report report = SettingsFile::read(&bytes, hRead, lOwnKeys);
    if (report.bWhole) {
        applySettings(hRead);
        return true;
    }
    for (const Tsl::String& sProblem : report.lProblems)
        log("G: Settings file '%s': %s\n", m_sSettingsFile.c_str(), sProblem.c_str());
    takeFromKeptSettings(hRead, report, lOwnKeys);
    applySettings(hRead);
    int nErrno = 0;
    if (keepDamagedSettings(nErrno)) saveRepairedSettings();
    return false;
}

void GameApp::applySettings(const Tsl::Hash<Tsl::String, Tsl::String>& hRead) {
    for (const Tsl::String& sKey : hRead.getKeys()) m_hSettings.set(sKey, hRead.get(sKey));
}

bool GameApp::readKeptSettings(Tsl::Hash<Tsl::String, Tsl::String>& hKept, SettingsFile::Report& report,
                               const Tsl::List<Tsl::String>& lOwnKeys) {
    Tsl::String sKept = getKeptSettingsFile();
    std::string sBytes;
    mode_t nMode = 0600;
    int nErrno = 0;
    if (!AtomicFile::readBytes(sKept, MAX_KEPT_BYTES, sBytes, nMode, nErrno)) {
        if (nErrno != ENOENT) log("G: The kept settings '%s' cannot be read: %s\n", sKept.c_str(), std::strerror(nErrno));
        return false;
    }
    Tsl::MemStream bytes(sBytes.data(), int(sBytes.size()));
    report = SettingsFile::read(&bytes, hKept, lOwnKeys);
    for (const Tsl::String& sProblem : report.lProblems)
        log("G: Kept settings '%s': %s\n", sKept.c_str(), sProblem.c_str());
    return true;
}

void GameApp::takeFromKeptSettings(Tsl::Hash<Tsl::String, Tsl::String>& hRead, const SettingsFile::Report& report,
                                   const Tsl::List<Tsl::String>& lOwnKeys) {
    Tsl::Hash<Tsl::String, Tsl::String> hKept;
    SettingsFile::Report keptReport;
    if (!readKeptSettings(hKept, keptReport, lOwnKeys)) return;
    // The copies of a damaged profile list are the library's, known by their prefix.
    Tsl::List<Tsl::String> lKnown = lOwnKeys;
    for (const Tsl::String& sKey : hRead.getKeys())
        if (NumberedCopies::numberOf(sKey.c_str(), ScreenNames::SET_PROFILES_DAMAGED_PREFIX) > 0) lKnown.append(sKey);
    SettingsFile::Merge merge = SettingsFile::takeFromKept(hRead, report, hKept, keptReport, lKnown);
    log("G: From the kept settings '%s'%s: %d entries the damaged file lost, %d it may have changed; %d unknown "
        "keys it may have garbled dropped\n",
        getKeptSettingsFile().c_str(), keptReport.bChecked ? "" : " (damaged too)", merge.nTaken, merge.nReplaced,
        merge.nDropped);
}

bool GameApp::takeKeptSettings() {
    Tsl::Hash<Tsl::String, Tsl::String> hKept;
    SettingsFile::Report report;
    if (!readKeptSettings(hKept, report, getKeysNeverRefused())) {
        log("G: No kept settings either, using defaults\n");
        return false;
    }
    applySettings(hKept);
    m_sRestoredSettings = getKeptSettingsFile();
    log("G: The settings came from '%s'\n", m_sRestoredSettings.c_str());
    return true;
}

void GameApp::restoreKeptSettings() {
    // Removed by a person or a program, or a crash struck where the file
    // should always stand: the last good settings come back and are written
    // again. Nothing is damaged, so nothing is set aside.
    log("G: Settings file '%s' not found\n", m_sSettingsFile.c_str());
    if (takeKeptSettings()) saveRepairedSettings();
}

void GameApp::saveRepairedSettings() {
    // At once: until then only memory held what the file came back as, and
    // a crash before the next save would find the damage again or nothing.
    int nErrno = 0;
    Tsl::String sFolder;
    Tsl::String sDetail = writeSettingsFile(nErrno, sFolder);
    if (!sDetail.isEmpty())
        log("G: The repaired settings could not be written yet: %s (errno %d: %s)\n", sDetail.c_str(), nErrno,
            std::strerror(nErrno));
}

Tsl::String GameApp::getDamagedCopy(int nNumber) const {
    return m_sSettingsFile + Tsl::String::format("%s%d", DAMAGED_SETTINGS_SUFFIX, nNumber);
}

bool GameApp::keepDamagedSettings(int& nErrno) {
    // Copies take new numbers, so none is ever overwritten; only the oldest go.
    std::vector<int> aNumbers = findDamagedCopies(m_sSettingsFile);
    int nNext = NumberedCopies::nextNumber(aNumbers);
    Tsl::String sCopy = getDamagedCopy(nNext);
    bool bKept = copyDamagedSettings(sCopy, nErrno);
    // Removed meanwhile (by the player, say): nothing is left to keep, and
    // nothing stands in a save's way.
    bool bGone = !bKept && nErrno == ENOENT;
    m_bKeepDamagedFirst = !bKept && !bGone;
    if (bGone) {
        log("G: The damaged settings file is gone; nothing is left to keep\n");
        return true;
    }
    if (!bKept) {
        log("G: The damaged settings could not be kept as %s: %s\n", sCopy.c_str(), std::strerror(nErrno));
        m_sDamagedSettings = m_sSettingsFile;
        return false;
    }
    log("G: The damaged settings were kept as %s\n", sCopy.c_str());
    m_sDamagedSettings = sCopy;
    for (int n : aNumbers)
        if (n <= nNext - DAMAGED_SETTINGS_COPIES) unlink(getDamagedCopy(n).c_str());
    return true;
}

bool GameApp::copyDamagedSettings(const Tsl::String& sCopy, int& nErrno) {
    // A second name for the damaged bytes: the repaired file then takes the
    // settings file's name, and at no moment is there no file under it.
    Tsl::String sTarget = AtomicFile::followLinks(m_sSettingsFile);
    if (link(sTarget.c_str(), sCopy.c_str()) == 0) {
        // The new name must be on the disk before the repaired file takes
        // the old one, or a power cut between could leave the damaged bytes
        // under no name at all.
        if (AtomicFile::syncFolder(sCopy, nErrno)) return true;
        unlink(sCopy.c_str());
        return false;
    }
    // Another file system (behind a symbolic link), or one without links.
    std::string sBytes;
    mode_t nMode = 0600;
    return AtomicFile::readBytes(sTarget, MAX_DAMAGED_COPY_BYTES, sBytes, nMode, nErrno) &&
           AtomicFile::replace(sCopy, sBytes, int(nMode & 07777), nErrno);
}

namespace {
// Which file a stat describes, and in which state.
std::string fileIdentity(const struct stat& file) {
    char szId[96];
    std::snprintf(szId, sizeof(szId), "%lu:%lu:%lld:%lld.%09ld", (unsigned long)file.st_dev, (unsigned long)file.st_ino,
                  (long long)file.st_size, (long long)file.st_ctim.tv_sec, file.st_ctim.tv_nsec);
    return szId;
}
}  // namespace

bool GameApp::readWholeSettings(const Tsl::String& sTarget, const struct stat& old, std::string& sBytes) {
    if (!m_sSavedFile.empty() && m_sSavedFile == fileIdentity(old)) {
        sBytes = m_sSavedBytes;
        return true;
    }
    mode_t nMode = 0600;
    int nErrno = 0;
    if (!AtomicFile::readBytes(sTarget, MAX_KEPT_BYTES, sBytes, nMode, nErrno)) return false;
    Tsl::MemStream bytes(sBytes.data(), int(sBytes.size()));
    Tsl::Hash<Tsl::String, Tsl::String> hEntries;
    if (SettingsFile::read(&bytes, hEntries, getOwnSettingKeys()).bWhole) return true;
    log("G: The settings file replaced did not read whole; the kept copy stays as it was\n");
    return false;
}

void GameApp::keepPreviousSettings(const Tsl::String& sTarget, const struct stat& old) {
    std::string sBytes;
    if (!readWholeSettings(sTarget, old, sBytes)) return;
    Tsl::String sKept = getKeptSettingsFile();
    int nErrno = 0;
    if (!AtomicFile::replace(sKept, sBytes, int(old.st_mode & 07777), nErrno))
        log("G: The last settings could not be kept as %s: %s\n", sKept.c_str(), std::strerror(nErrno));
}

bool GameApp::saveSettings() {
    TSL_TRACE();
    if (m_sSettingsFile.isEmpty()) return false;
    if (!m_sUnreadableSettings.isEmpty()) {
        // The player was told at the start.
        log("G: Settings not saved: '%s' could not be read at the start and stays as it is\n",
            m_sUnreadableSettings.c_str());
        return false;
    }
    int nErrno = 0;
    Tsl::String sFolder;
    Tsl::String sDetail = writeSettingsFile(nErrno, sFolder);
    if (sDetail.isEmpty()) return true;
    // The raw detail is for whoever reads the log; the player gets the cause.
    log("G: Could not save the settings file '%s': %s (errno %d: %s)\n", m_sSettingsFile.c_str(), sDetail.c_str(),
        nErrno, std::strerror(nErrno));
    if (!m_bSaveFailureReported) {
        m_bSaveFailureReported = true;
        onSettingsNotSaved(sFolder, SaveFailure::describe(getSaveFailureCause(nErrno, sFolder)));
    }
    return false;
}

SaveFailure::Cause GameApp::getSaveFailureCause(int nErrno, const Tsl::String& sFolder) const {
    // Too large for a copy is the damaged file's size, not the disk's room.
    if (m_bKeepDamagedFirst && nErrno == EFBIG) return SaveFailure::DAMAGED_TOO_LARGE;
    return SaveFailure::fromErrno(nErrno, sFolder);
}

Tsl::String GameApp::writeSettingsFile(int& nErrno, Tsl::String& sFolder) {
    // A link stays a link: its target is what gets replaced, through a
    // temporary file beside it (a rename cannot cross file systems).
    Tsl::String sTarget = AtomicFile::followLinks(m_sSettingsFile);
    sFolder = AtomicFile::folderOf(sTarget);
    if (m_bKeepDamagedFirst && !keepDamagedSettings(nErrno)) {
        sFolder = AtomicFile::folderOf(m_sSettingsFile);
        return "the damaged settings file could not be kept aside first";
    }
    std::string sBytes;
    if (!packSettings(sBytes, nErrno)) return "the settings could not be packed";
    int nMode = -1;
    struct stat old;
    if (stat(sTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // The player's choice of mode (read-only, private) stays.
        nMode = int(old.st_mode & 07777);
        keepPreviousSettings(sTarget, old);
    }
    if (AtomicFile::replace(sTarget, sBytes, nMode, nErrno)) {
        struct stat saved;
        m_sSavedFile = stat(sTarget.c_str(), &saved) == 0 ? fileIdentity(saved) : std::string();
        m_sSavedBytes = m_sSavedFile.empty() ? std::string() : sBytes;
        return Tsl::String();
    }
    // The rename may have happened: a folder that did not reach the disk
    // fails the save too, since a power cut could still undo the rename.
    return Tsl::String::format("could not replace '%s' through '%s', or send its folder to the disk", sTarget.c_str(),
                               AtomicFile::getTemporaryFile(sTarget).c_str());
}

bool GameApp::packSettings(std::string& sBytes, int& nErrno) const {
    try {
        Tsl::MemStream packed;
        SettingsFile::write(&packed, m_hSettings);
        sBytes.assign(reinterpret_cast<const char*>(packed.getData()), size_t(packed.getSize()));
        return true;
    } catch (const Tsl::Exception& e) {
        log("G: The settings could not be packed: %s\n", e.getMessage());
        nErrno = ENOMEM;
        return false;
    }
}

void GameApp::onSettingsNotSaved(const Tsl::String& sFolder, const Tsl::String& sWhy) {
    showMessageBox("Settings not saved",
                   Tsl::String::format("Nothing can be saved in the folder %s (%s)", sFolder.c_str(), sWhy.c_str()));
}

// ---------------------------------------------------------------- string tables

void GameApp::loadStringTable(const char* pszResource) {
    TSL_TRACE();
    Tsl::SmartPtr<Tsl::Resource> pResource = getResource(pszResource);
    Tsl::String sText = pResource->getString();
    Tsl::Hash<Tsl::String, Tsl::String> hTable = parseStringTable(sText, pszResource);
    for (const Tsl::String& sKey : hTable.getKeys()) m_hStrings.set(sKey, hTable.get(sKey));
}

Tsl::String GameApp::getString(const char* pszKey) const {
    Tsl::String sKey = Tsl::String(pszKey).toUpper();
    return m_hStrings.hasKey(sKey) ? m_hStrings.get(sKey) : Tsl::String(pszKey);
}

bool GameApp::hasString(const char* pszKey) const { return m_hStrings.hasKey(Tsl::String(pszKey).toUpper()); }
