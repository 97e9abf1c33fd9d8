// The whole game (runGame on the real SDL platform) in a child process, so
// that a test can watch it from outside: its window, its exit code, its log,
// its lock file and what it wrote to standard error.
#pragma once

#include "game_fixtures.h"

#include "game/gamemain.h"
#include "game/instancelock.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Asks every 50 ms, up to the time, until the answer is yes.
inline bool waitFor(const std::function<bool()>& fnDone, int nSeconds) {
    for (int i = 0; i < nSeconds * 20; ++i) {
        if (fnDone()) return true;
        usleep(50000);
    }
    return false;
}

struct GameProcess {
    TempFolder folder;
    std::string sClass;
    pid_t nPid = -1;

    explicit GameProcess(const char* pszClass) : sClass(pszClass) {}
    ~GameProcess() {
        if (nPid > 0) {
            kill(nPid, SIGKILL);
            waitpid(nPid, nullptr, 0);
        }
    }

    std::string logFile() const { return folder.file("tav.log"); }
    std::string errorFile() const { return folder.file("stderr.txt"); }
    // Where the game's lock file lies (the child's runtime folder is the test's).
    std::string lockFile() const {
        const char* pszOld = std::getenv("XDG_RUNTIME_DIR");
        std::string sOld = pszOld ? pszOld : "";
        setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
        std::string sLock = InstanceLock::getLockFile(sClass.c_str(), (folder.sPath + "/").c_str()).c_str();
        if (pszOld)
            setenv("XDG_RUNTIME_DIR", sOld.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        return sLock;
    }
    std::string settingsFile() const { return folder.file("tavconfig.dat"); }

    // Starts the game over the archives of the folder; its settings, log and
    // lock file go to the test's folder, standard error to errorFile().
    void start(const std::string& sContentFolder, std::function<QarnApp*()> fnMakeApp = nullptr) {
        nPid = fork();
        if (nPid != 0) return;
        setenv("XDG_RUNTIME_DIR", folder.sPath.c_str(), 1);
        int nError = open(errorFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (nError >= 0) dup2(nError, 2);
        LaunchOptions options;
        options.sUserFolder = folder.sPath.c_str();
        options.sContentFolder = sContentFolder.c_str();
        options.fnMakeApp = fnMakeApp;
        const char* apszArgs[] = {"--wndclass", sClass.c_str()};
        _exit(runGame(2, apszArgs, options));
    }

    // The exit code; -1 (the game killed) when it did not end in time.
    int waitForExit(int nSeconds) {
        int nStatus = 0;
        if (!waitFor([&] { return waitpid(nPid, &nStatus, WNOHANG) == nPid; }, nSeconds)) return -1;
        nPid = -1;
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    }

};

inline bool fileExists(const std::string& sPath) {
    struct stat info;
    return stat(sPath.c_str(), &info) == 0;
}

// The generated archives copied into a folder of the test, where a test may
// damage them.
inline std::string copyGeneratedContent(const TempFolder& folder, const char* pszFrom) {
    std::string sContent = folder.file("content");
    std::string sCommand = "mkdir -p '" + sContent + "' && cp '" + pszFrom + "'/*.dat '" + sContent + "'/";
    return system(sCommand.c_str()) == 0 ? sContent : std::string();
}
