#include "game/qarnapp.h"

#include "pages/highscoremode.h"
#include "base/names.h"
#include "game/contentfault.h"
#include "game/qarnexitconfirm.h"
#include "game/loadingscreen.h"
#include "player/playermanager.h"

#include "audio/sdl_audio.h"
#include "platform/sdl_platform.h"
#include "screens/names.h"
#include "screens/splashscreen.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "ui/uitable.h"
#include "video/sdl_d3d7video.h"
#include "video/videodriver.h"

#include "tsl2/file.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <unistd.h>

namespace {
// Content missing or damaged: only a new build of the content mends it (a
// display that cannot be opened is told without these lines).
const char* const CONTENT_REMEDY =
    "What to do: build the content again with bash scripts/run-game.sh in the game's source folder.";
} // namespace

QarnApp::QarnApp() {}

QarnApp::~QarnApp() {}

void QarnApp::setDefaultSettings() {
    setSetting(ScreenNames::SET_FULLSCREEN, ScreenNames::VAL_TRUE);
    setSetting(Names::SET_FULLSCREEN_FAILED, ScreenNames::VAL_FALSE);
    setSetting(ScreenNames::SET_SOUND_VOLUME, "255");
    setSetting(ScreenNames::SET_MUSIC_VOLUME, "255");
    setSetting(Names::SET_CUSTOM_CURSOR, ScreenNames::VAL_TRUE);
    setSetting(Names::SET_DIFFICULTY, "1");
    setSetting(Names::SET_DONE_WELCOME, Names::VAL_NO);
}

Tsl::String QarnApp::getTitle() const {
    return hasString(Names::STR_CAPTION) ? getString(Names::STR_CAPTION) : Tsl::String(Names::GAME_TITLE);
}

bool QarnApp::onInit() {
    TSL_TRACE();
    log("B: %s starting\n", Names::GAME_TITLE);
    setDefaultSettings();
    loadSettings();
    cutHighscoreTables();
    if (!addContent()) return false;
    tellSettingsTrouble();
    if (Tsl::String(std::getenv(Names::ENV_LIST_RESOURCES) ? std::getenv(Names::ENV_LIST_RESOURCES) : "") == "TRUE")
        listResources();
    bool bFullScreen = wantsFullScreen();
    setPlatform(createPlatform());
    loadWindowIcon();
    if (!openScreen(bFullScreen)) return false;
    getVideoDriver()->setCaption(getString(Names::STR_CAPTION));
    if (!loadSandTheme()) return false;
    pushFirstModes();
    return true;
}

void QarnApp::cutHighscoreTables() {
    // Stored tables longer than ten would otherwise be written out again with
    // every save until the high-score screen is next opened.
    if (hasSetting(Names::SET_HIGHSCORES)) HighScoreMode().loadTables();
}

Tsl::List<Tsl::String> QarnApp::getOwnSettingKeys() const {
    Tsl::List<Tsl::String> lKeys = GameApp::getOwnSettingKeys();
    for (const char* pszKey : {Names::SET_DIFFICULTY, Names::SET_CURRENT_PLAYER, Names::SET_DONE_WELCOME,
                               Names::SET_LAST_CUTSCENE, Names::SET_HIGHSCORES, Names::SET_FULLSCREEN_FAILED,
                               Names::SET_CUSTOM_CURSOR})
        if (lKeys.indexOf(pszKey) < 0) lKeys.append(pszKey);
    return lKeys;
}

void QarnApp::tellSettingsTrouble() {
    if (!getDamagedSettings().isEmpty()) {
        tellPlayer(getString(Names::STR_SETTINGS_DAMAGED) + "\n" + breakPath(getDamagedSettings()));
    } else if (!getUnreadableSettings().isEmpty()) {
        Tsl::String sWhy = SaveFailure::describe(getUnreadableSettingsCause());
        Tsl::String sText = getString(Names::STR_SETTINGS_UNREADABLE) + "\n" + breakPath(getUnreadableSettings()) +
                            "\n(" + breakPath(sWhy) + ")";
        if (!getRestoredSettings().isEmpty()) sText += "\n" + getString(Names::STR_SETTINGS_FROM_KEPT);
        tellPlayer(sText);
    } else if (!getRestoredSettings().isEmpty()) {
        tellPlayer(getString(Names::STR_SETTINGS_MISSING) + "\n" + breakPath(getRestoredSettings()));
    }
}

void QarnApp::onSettingsNotSaved(const Tsl::String& sFolder, const Tsl::String& sWhy) {
    tellPlayer(getString(Names::STR_SETTINGS_NOT_SAVED) + "\n" + breakPath(sFolder) + "\n(" + breakPath(sWhy) + ")");
}

void QarnApp::tellPlayer(const Tsl::String& sText) {
    printMessage(getTitle(), sText);
    pushModeLater(new DlgMessage(nullptr, sText, 0));
}

Tsl::String QarnApp::breakPath(const Tsl::String& sPath) {
    // A path has no spaces to wrap at: it is broken after a separator instead,
    // so that it stays inside the dialog.
    Tsl::String sBroken;
    int nLineStart = 0;
    int nLastSlash = -1;
    for (int i = 0; i < sPath.getLength(); ++i) {
        if (i - nLineStart >= PATH_LINE_LENGTH && nLastSlash > nLineStart) {
            sBroken += sPath.left(nLastSlash + 1).substringFrom(nLineStart) + "\n";
            nLineStart = nLastSlash + 1;
        }
        if (sPath[i] == '/') nLastSlash = i;
    }
    return sBroken + sPath.substringFrom(nLineStart);
}

void QarnApp::failStart(const Tsl::String& sWhat) {
    // Shown only once the application is gone (game/gamemain.cpp): the
    // game's screen may be open now, and the message needs a window of its own.
    log("B: The start failed: %s\n", sWhat.c_str());
    if (m_sStartFailure.isEmpty()) m_sStartFailure = sWhat;
    quit(EXIT_MISSING_CONTENT);
}

void QarnApp::failStartOnContent(const Tsl::String& sWhat) {
    failStart(sWhat + "\nFolder searched: " + getContentFolder() + "\n" + CONTENT_REMEDY);
}

void QarnApp::failStartOn(const Tsl::Exception& e) {
    log("B: %s: %s\n", e.getTypeName(), e.getMessage());
    failStartOnContent(ContentFault::describe(e));
}

Tsl::String QarnApp::contentPath(const char* pszName) const {
    if (m_sContentFolder.isEmpty()) return pszName;
    return m_sContentFolder + "/" + pszName;
}

Tsl::String QarnApp::getContentFolder() const {
    if (m_sContentFolder.left(1) == "/") return m_sContentFolder;
    char szWorking[PATH_MAX];
    Tsl::String sWorking = getcwd(szWorking, sizeof(szWorking)) ? szWorking : ".";
    return m_sContentFolder.isEmpty() ? sWorking : sWorking + "/" + m_sContentFolder;
}

bool QarnApp::addContent() {
    TSL_TRACE();
    Tsl::String sLanguage = Tsl::String::format(Names::LANGUAGE_ARCHIVE_FORMAT, Names::LANGUAGE);
    Tsl::List<Tsl::String> lArchives;
    lArchives.append(sLanguage);
    for (const char* pszArchive : Names::ARCHIVES) lArchives.append(pszArchive);
    for (const Tsl::String& sArchive : lArchives) {
        Tsl::String sPath = contentPath(sArchive);
        if (!addArchive(sPath)) {
            failStartOnContent(Tsl::String::format("The archive '%s' is missing or unreadable.", sArchive.c_str()));
            return false;
        }
    }
    addResourceFolder(contentPath(Names::FOLDER_3RDPARTY));
    try {
        for (const char* pszTable : Names::STRING_TABLES) {
            if (!requireResource(pszTable)) return false;
            loadStringTable(pszTable);
        }
        loadAliasLists();
    } catch (const Tsl::Exception& e) {
        failStartOn(e);
        return false;
    }
    for (const char* pszList : Names::PRELOAD_LISTS)
        if (!requireResource(pszList)) return false;
    return requireResource(Names::THEME);
}

bool QarnApp::requireResource(const char* pszName) {
    if (hasResource(pszName)) return true;
    failStartOnContent(Tsl::String::format("The resource '%s' is missing from the archives.", pszName));
    return false;
}

void QarnApp::loadAliasLists() {
    // Optional: a content set without aliases names every resource directly.
    if (hasResource(Names::IMAGE_ALIASES)) loadImageAliases(Names::IMAGE_ALIASES);
    if (hasResource(Names::RESOURCE_ALIASES)) loadResourceAliases(Names::RESOURCE_ALIASES);
}

void QarnApp::listResources() {
    for (const Tsl::SmartPtr<Tsl::ResourceProvider>& pProvider : getResourceProviders())
        for (const Tsl::String& sName : pProvider->getResourceNames())
            log("U: Resource %s : %s\n", pProvider->getName().c_str(), sName.c_str());
    for (const Tsl::String& sKey : getStringKeys()) log("U: String %s\n", sKey.c_str());
}

bool QarnApp::wantsFullScreen() {
    // A start that died while switching leaves the guard set: from then on
    // the game starts windowed, until a switch made later works.
    if (getSetting(Names::SET_FULLSCREEN_FAILED) == ScreenNames::VAL_TRUE) {
        log("B: The last switch to full screen failed: starting windowed\n");
        return false;
    }
    return getSetting(ScreenNames::SET_FULLSCREEN) == ScreenNames::VAL_TRUE;
}

bool QarnApp::openScreen(bool bFullScreen) {
    TSL_TRACE();
    if (bFullScreen) {
        setSetting(Names::SET_FULLSCREEN_FAILED, ScreenNames::VAL_TRUE);
        saveSettings();
    }
    if (!init(SCREEN_WIDTH, SCREEN_HEIGHT, bFullScreen ? VMF_FULLSCREEN : 0)) return false;
    if (bFullScreen) {
        setSetting(Names::SET_FULLSCREEN_FAILED, ScreenNames::VAL_FALSE);
        saveSettings();
    }
    return true;
}

IPlatform* QarnApp::createPlatform() {
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    SDLAudioDriver* pAudio = new SDLAudioDriver();
    pAudio->setFrequency(AUDIO_RATE);
    pAudio->setChunkSize(AUDIO_CHUNK);
    pPlatform->setAudioDriver(pAudio);
    return pPlatform;
}

void QarnApp::loadWindowIcon() {
    try {
        if (hasImage(Names::IMG_WINDOW_ICON)) setWindowIcon(getImage(Names::IMG_WINDOW_ICON));
        else log("B: No window icon '%s'\n", Names::IMG_WINDOW_ICON);
    } catch (const Tsl::Exception& e) {
        log("B: The window icon could not be loaded: %s\n", e.getMessage());
    }
}

bool QarnApp::loadSandTheme() {
    TSL_TRACE();
    try {
        loadTheme(Names::THEME);
    } catch (const Tsl::Exception& e) {
        failStartOn(e);
        return false;
    }
    return true;
}

Tsl::SmartPtr<SplashScreen> QarnApp::makeSplash() {
    Tsl::SmartPtr<SplashScreen> pSplash = new SplashScreen();
    if (hasImage(Names::IMG_SPLASH_3RDPARTY)) pSplash->addImage(Names::IMG_SPLASH_3RDPARTY);
    Tsl::String sMovie = contentPath(Names::MOVIE_SPLASH);
    if (Tsl::File::exists(sMovie.c_str())) pSplash->addMovie(sMovie);
    pSplash->addImage(Names::IMG_SPLASH);
    return pSplash;
}

void QarnApp::pushFirstModes() {
    TSL_TRACE();
    // The loading screen wakes when the splash above it has ended, not on
    // its own push; it hands over to the main menu.
    setSuppressFocusChanges(true);
    pushMode(new LoadingScreen());
    pushMode(makeSplash());
    setSuppressFocusChanges(false);
}

void QarnApp::onExit() {
    TSL_TRACE();
    IVideoDriver* pVideo = getVideoDriver();
    bool bFullScreen = pVideo && pVideo->isFullScreen();
    setSetting(ScreenNames::SET_FULLSCREEN, bFullScreen ? ScreenNames::VAL_TRUE : ScreenNames::VAL_FALSE);
    // Full screen now: a switch made during the run worked.
    if (bFullScreen) setSetting(Names::SET_FULLSCREEN_FAILED, ScreenNames::VAL_FALSE);
    setSetting(ScreenNames::SET_SOUND_VOLUME, Tsl::String::format("%d", getSoundVolume()));
    setSetting(ScreenNames::SET_MUSIC_VOLUME, Tsl::String::format("%d", getMusicVolume()));
    if (PlayerManager* pPlayers = findPlayerManager()) pPlayers->saveProfiles();
    GameApp::onExit();
}

void QarnApp::saveAfterError() {
    try {
        if (PlayerManager* pPlayers = findPlayerManager()) pPlayers->saveProfiles();
        saveSettings();
    } catch (const Tsl::Exception& e) {
        log("B: Nothing saved after the error: %s\n", e.getMessage());
    } catch (const std::exception& e) {
        log("B: Nothing saved after the error: %s\n", e.what());
    }
}

Tsl::SmartPtr<GameMode> QarnApp::newExitConfirmMode() { return new QarnExitConfirmMode(); }
