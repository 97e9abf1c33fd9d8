#include "game/gamemain.h"

#include "game/contentfault.h"
#include "game/crashhandler.h"
#include "game/instancelock.h"
#include "base/names.h"
#include "game/qarnapp.h"

#include "app/gameapp.h"
#include "platform/folders.h"
#include "platform/sighandler.h"
#include "platform/x11window.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const EXCEPTION_LINE = "M: ******************** EXCEPTION ********************\n";

Tsl::String userFile(const Tsl::String& sFolder, const char* pszFormat) {
    return sFolder + Tsl::String::format(pszFormat, Names::PRODUCT_ABBREVIATION);
}

void logException(const char* pszText, const std::string& sTrace, const char* pszLogFile) {
    GameApp::log("%s", EXCEPTION_LINE);
    GameApp::log("M: %s\n", pszText);
    GameApp::log("%s", sTrace.c_str());
    Tsl::String sReport = GameApp::saveLogReport(pszLogFile);
    if (!sReport.isEmpty()) std::fprintf(stderr, "A report of the log is in %s\n", sReport.c_str());
    GameApp::log("M: == END ==\n");
}

// Ends the application; a start that failed is then told in a window of its own.
int tellStartFailure(std::unique_ptr<QarnApp>& pOwned, int nExitCode) {
    Tsl::String sFailure = pOwned->getStartFailure();
    Tsl::String sTitle = pOwned->getTitle();
    pOwned.reset();
    if (!sFailure.isEmpty()) GameApp::showMessageBox(sTitle, sFailure, nExitCode);
    return nExitCode;
}

// The application's run; the application is gone (and with it the video,
// so the desktop is back) before an error is logged or a start that failed is
// told to the player in a window of its own.
int runApplication(QarnApp* pApp, const char* pszLogFile) {
    std::unique_ptr<QarnApp> pOwned(pApp);
    int nExitCode = 1;
    try {
        nExitCode = pOwned->run();
    } catch (const Tsl::Exception& e) {
        if (ContentFault::isContentFault(e)) {
            // Damaged or missing content is not a crash: no report, the player is told.
            pOwned->saveAfterError();
            pOwned->failStartOn(e);
            return tellStartFailure(pOwned, QarnApp::EXIT_MISSING_CONTENT);
        }
        std::string sTrace = e.getTrace();
        std::string sText = e.getText();
        pOwned->saveAfterError();
        pOwned.reset();
        logException(sText.c_str(), sTrace, pszLogFile);
        std::fprintf(stderr, "%s\n", sText.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::string sText = e.what();
        pOwned->saveAfterError();
        pOwned.reset();
        logException(sText.c_str(), std::string(), pszLogFile);
        std::fprintf(stderr, "%s\n", sText.c_str());
        return 1;
    }
    return tellStartFailure(pOwned, nExitCode);
}

// The folder of the settings and the log; the tests name one of their own.
UserFolder chooseUserFolder(const LaunchOptions& options) {
    if (options.sUserFolder.isEmpty()) return findUserDataFolder(Names::USER_SUBFOLDER);
    UserFolder folder;
    folder.sPath = options.sUserFolder + "/";
    folder.bWritable = true;
    return folder;
}

// The log is opened again for every line, under a name anything in the
// folder can stand in for: a FIFO there would hold the start until someone
// reads it. Anything but a regular file leaves the game without a log.
Tsl::String chooseLogFile(const Tsl::String& sFolder) {
    Tsl::String sLogFile = userFile(sFolder, Names::LOG_FILE_FORMAT);
    struct stat info;
    if (stat(sLogFile.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return sLogFile;
    std::fprintf(stderr, "%s: The log %s is not a file: the game runs without a log\n", Names::GAME_TITLE,
                 sLogFile.c_str());
    return Tsl::String();
}

} // namespace

Tsl::String getWindowClassName(int nArgc, const char* const* ppszArgs) {
    for (int i = 0; i + 1 < nArgc; ++i)
        if (Tsl::String(ppszArgs[i]) == Names::ARG_WNDCLASS) return ppszArgs[i + 1];
    return Tsl::String(Names::WINDOW_CLASS_PREFIX) + Names::PRODUCT_NAME;
}

int runGame(int nArgc, const char* const* ppszArgs, const LaunchOptions& options) {
    TSL_TRACE();
    Tsl::String sClass = getWindowClassName(nArgc, ppszArgs);
    UserFolder folder = chooseUserFolder(options);
    const Tsl::String& sFolder = folder.sPath;
    InstanceLock lock(sClass, sFolder);
    if (lock.isHeldElsewhere()) {
        std::fprintf(stderr, "%s is running already.\n", Names::GAME_TITLE);
        x11ActivateWindowOfClass(sClass);
        return 1;
    }
    // SDL names the window's class after this, so a second start finds it.
    setenv("SDL_VIDEO_X11_WMCLASS", sClass.c_str(), 1);

    Tsl::String sLogFile = chooseLogFile(sFolder);
    // Before the log is trimmed: the report needs the crashed run's lines.
    reportPreviousCrash(sLogFile);
    GameApp::openLog(sLogFile);
    GameApp::log("M: == STARTUP ==\n");
    GameApp::log("M: Settings and log in %s\n", sFolder.isEmpty() ? "the program's folder" : sFolder.c_str());
    if (!folder.sProblem.isEmpty()) {
        GameApp::log("M: %s\n", folder.sProblem.c_str());
        std::fprintf(stderr, "%s: %s\n", Names::GAME_TITLE, folder.sProblem.c_str());
    }
    openCrashLog(sLogFile);
    installCrashHandlers();

    std::vector<const char*> aArgs;
    aArgs.push_back(Names::ARG_PROGRAM);
    for (int i = 0; i < nArgc; ++i) aArgs.push_back(ppszArgs[i]);
    QarnApp* pApp = options.fnMakeApp ? options.fnMakeApp() : new QarnApp();
    pApp->setArguments(int(aArgs.size()), aArgs.data());
    pApp->setSettingsFile(userFile(sFolder, Names::SETTINGS_FILE_FORMAT));
    pApp->setContentFolder(options.sContentFolder);
    int nExitCode = runApplication(pApp, sLogFile);
    GameApp::log("M: Exit %d\n", nExitCode);
    closeCrashLog();
    GameApp::closeLog();
    return nExitCode;
}
