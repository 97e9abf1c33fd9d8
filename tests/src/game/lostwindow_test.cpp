// The game's window destroyed from outside under Xvfb, as "xdotool
// windowclose" does to the window of the game's class: the run ends as the
// close box's confirmed exit does (settings saved, lock file removed, the
// log's closing lines, exit 0), and the X errors SDL meets while leaving do
// not turn that into exit 1. Switching to a window and back with F12 first
// (each switch replaces SDL's windows) is not taken for a loss. Nor may a
// display that resets on every switch leave the game without its window.
#include "game_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

#include "xvfb_screen.h"

#include <X11/keysym.h>

#ifdef CONTENT_ARCHIVE_DIR
namespace {

const char* const XVFB_TEST = "game_lost_window_xvfb";

// Nanoseconds of a file's last change; 0 when it is missing.
long long changedAt(const std::string& sPath) {
    struct stat info;
    if (stat(sPath.c_str(), &info) != 0) return 0;
    return static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
}

size_t countOf(const std::string& sText, const std::string& sPart) {
    size_t nCount = 0;
    for (size_t n = sText.find(sPart); n != std::string::npos; n = sText.find(sPart, n + 1)) ++nCount;
    return nCount;
}

// Waits up to the time for the log to hold the line that often.
bool waitForLog(const GameProcess& game, const char* pszLine, size_t nTimes, int nSeconds) {
    return waitFor([&] { return countOf(readFile(game.logFile()), pszLine) >= nTimes; }, nSeconds);
}

// F12, as the player presses it, to the window that takes the keys.
void pressF12(Display* pDisplay, Window nWindow) {
    XEvent key;
    std::memset(&key, 0, sizeof(key));
    key.xkey.type = KeyPress;
    key.xkey.window = nWindow;
    key.xkey.root = DefaultRootWindow(pDisplay);
    key.xkey.keycode = XKeysymToKeycode(pDisplay, XK_F12);
    key.xkey.same_screen = True;
    XSendEvent(pDisplay, nWindow, False, KeyPressMask, &key);
    key.xkey.type = KeyRelease;
    XSendEvent(pDisplay, nWindow, False, KeyReleaseMask, &key);
    XFlush(pDisplay);
}

// F12 to the game's window once it takes keys; true once the log tells the
// switch to the mode as often as given.
bool switchWithF12(Display* pDisplay, const GameProcess& game, const char* pszGot, size_t nTimes) {
    Window nWindow = waitForKeyWindowOfClass(pDisplay, game.sClass.c_str(), 10);
    if (!nWindow) return false;
    pressF12(pDisplay, nWindow);
    return waitForLog(game, pszGot, nTimes, 20);
}

TEST(LostWindowXvfbTest, AFullScreenWindowDestroyedFromOutsideEndsTheRunAsTheCloseBoxDoes) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer(XVFB_TEST);
    GameProcess game("Quillfen::LostWindowTest");
    game.start(CONTENT_ARCHIVE_DIR);
    Display* pDisplay = openTestDisplay();
    ASSERT_TRUE(pDisplay);
    Window nWindow = waitForWindowOfClass(pDisplay, game.sClass.c_str(), 30);
    ASSERT_NE(0u, nWindow) << "no window; the log:\n" << readFile(game.logFile());
    // Full screen (the first start's choice), and past the screen's opening.
    ASSERT_TRUE(waitForLog(game, "G: Loading theme", 1, 20)) << readFile(game.logFile());
    ASSERT_NE(std::string::npos, readFile(game.logFile()).find("D: Got 800x600 Full")) << readFile(game.logFile());
    // Every switch restarts SDL's video, whose windows go and come back,
    // often with the same ids: that is no loss. A loss found on the way would
    // end the run before the next key is handled, so the second switch
    // happening shows that the first was not taken for one.
    ASSERT_TRUE(switchWithF12(pDisplay, game, "D: Got 800x600 Wnd", 1)) << readFile(game.logFile());
    ASSERT_TRUE(switchWithF12(pDisplay, game, "D: Got 800x600 Full", 2)) << readFile(game.logFile());
    nWindow = waitForKeyWindowOfClass(pDisplay, game.sClass.c_str(), 10);
    ASSERT_NE(0u, nWindow) << readFile(game.logFile());
    std::string sBefore = readFile(game.logFile());
    ASSERT_EQ(std::string::npos, sBefore.find("destroyed from outside")) << sBefore;
    ASSERT_TRUE(fileExists(game.lockFile()));

    long long nBefore = changedAt(game.settingsFile());
    XDestroyWindow(pDisplay, nWindow);
    XSync(pDisplay, False);
    EXPECT_EQ(0, game.waitForExit(30));
    XCloseDisplay(pDisplay);

    std::string sLog = readFile(game.logFile());
    size_t nLost = sLog.find("G: The window was destroyed from outside");
    EXPECT_NE(std::string::npos, nLost) << sLog;
    // Found only once this test destroyed it, not after the second switch.
    EXPECT_GE(nLost, sBefore.size()) << sLog;
    EXPECT_NE(std::string::npos, sLog.find("G: Quit\nM: Exit 0\n", nLost)) << sLog;
    EXPECT_EQ(std::string::npos, sLog.find("EXCEPTION")) << sLog;
    // The exit hook saved the settings again, as a confirmed quit does.
    EXPECT_GT(changedAt(game.settingsFile()), nBefore);
    EXPECT_FALSE(fileExists(game.lockFile()));
    EXPECT_EQ(std::string::npos, readFile(game.errorFile()).find("X Error")) << readFile(game.errorFile());
}

// A bare display (no -noreset, and this test connects only to press a key)
// resets whenever a switch's restart of SDL's video leaves it without
// clients. Each switch comes back in a window on the driver the game started
// with; a display that does not come back ends the run as a start that
// failed, never a game that runs on unseen.
TEST(ResettingDisplayXvfbTest, EverySwitchComesBackInAWindowOrEndsTheRunAsAFailedStart) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer("game_resetting_display_xvfb");
    GameProcess game("Quillfen::ResettingDisplayTest");
    // SDL chooses its driver, as on a player's machine; the harness's x11 after.
    unsetenv("SDL_VIDEODRIVER");
    game.start(CONTENT_ARCHIVE_DIR);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const char* const pszFailed = "The start failed";
    std::string sLog;
    Window nWindow = 0;
    for (size_t nDone = 0; nDone <= 40; ++nDone) {
        ASSERT_TRUE(waitFor([&] {
            sLog = readFile(game.logFile());
            return countOf(sLog, "D: Got 800x600") > nDone || countOf(sLog, pszFailed) > 0;
        }, 30)) << sLog;
        // The display of a run that ended may be resetting.
        Display* pDisplay = nullptr;
        ASSERT_TRUE(waitFor([&] { return (pDisplay = openTestDisplay()) != nullptr; }, 10));
        nWindow = waitForKeyWindowOfClass(pDisplay, game.sClass.c_str(), 10);
        // F12 also closes the message window of a run that ended.
        if (nWindow) pressF12(pDisplay, nWindow);
        XCloseDisplay(pDisplay);
        if (!nWindow || countOf(sLog, pszFailed) > 0) break;
    }
    if (countOf(sLog, pszFailed) > 0) {
        EXPECT_EQ(GameApp::EXIT_START_FAILED, game.waitForExit(30)) << readFile(game.logFile());
        EXPECT_FALSE(fileExists(game.lockFile()));
        return;
    }
    EXPECT_NE(0u, nWindow) << "the game runs without a window; the log:\n" << sLog;
    EXPECT_EQ(countOf(sLog, "D: Got 800x600") + 1, countOf(sLog, "D: Drv 'x11'")) << sLog;
}

} // namespace
#endif
