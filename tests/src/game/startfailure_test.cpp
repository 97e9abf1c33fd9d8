// A start that cannot go on is told to the player in a window of its own:
// under Xvfb, the window on the screen is the message's text laid out in
// DejaVu Sans, whole inside the window, and it waits for a click; headless,
// an archive entry damaged in the generated content ends the start as a
// missing archive does (exit code 2, the archive and the entry named, no
// crash report), the log saying the message was not shown. A connection to
// the X server cut while the window waits keeps that exit code.
#include "game_process.h"

#include "base/names.h"
#include "game/qarnapp.h"
#include "ui/messagewindow.h"
#include "ui/systemfont.h"

#include "tsl2/resourcefile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "xvfb_screen.h"

namespace {

const char* const XVFB_TEST = "game_start_failure_xvfb";
const char* const ELLIPSIS = "\u2026";

// The message as the game printed it before showing it.
std::string shownText(const GameProcess& game) {
    std::string sErrors = readFile(game.errorFile()), sPrefix = std::string(Names::GAME_TITLE) + ": ";
    size_t nText = sErrors.find(sPrefix);
    if (nText == std::string::npos) return std::string();
    nText += sPrefix.size();
    return sErrors.substr(nText, sErrors.size() - nText - 1);
}

// Of the shot (the window's top-left at the shot's): the pixels unlike the
// test's own drawing of the window, and the ink in the margins around the
// lines (text that does not fit the window).
std::pair<int, int> unlikeDrawnAndInkInMargins(const ScreenShot& shot, const MessageWindow& expected) {
    SDL_Surface* pDrawn = SDL_CreateRGBSurface(SDL_SWSURFACE, expected.getWidth(), expected.getHeight(), 32, 0xFF0000,
                                               0xFF00, 0xFF, 0);
    expected.draw(pDrawn);
    const int nMargin = MessageWindow::MARGIN, nIn = MessageWindow::BORDER;
    std::pair<int, int> counts(0, 0);
    for (int y = 0; y < pDrawn->h; ++y)
        for (int x = 0; x < pDrawn->w; ++x) {
            SDL_Color c = {0, 0, 0, 0}, shown = shot.at(x, y);
            Uint32 nPixel = static_cast<Uint32*>(pDrawn->pixels)[y * pDrawn->pitch / 4 + x];
            SDL_GetRGB(nPixel, pDrawn->format, &c.r, &c.g, &c.b);
            counts.first += !sameColor(c, shown);
            bool bInside = x >= nIn && y >= nIn && x < pDrawn->w - nIn && y < pDrawn->h - nIn;
            bool bLines = x >= nMargin && y >= nMargin && x < pDrawn->w - nMargin && y < pDrawn->h - nMargin;
            counts.second += bInside && !bLines && !sameColor(shown, MessageWindow::getBackground());
        }
    SDL_FreeSurface(pDrawn);
    return counts;
}

// A start that failed with a text too tall for the window.
struct TooLongStart : QarnApp {
    explicit TooLongStart(const std::string& sText) : sText(sText) {}
    bool onInit() override { failStart(sText.c_str()); return false; }
    std::string sText;
};

TEST(StartFailureXvfbTest, AStartFailureIsToldWholeInAWindowThatWaitsForAClick) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer(XVFB_TEST);
    MessageWindow probe("", "");
    const Font& font = probe.getFont();
    ASSERT_FALSE(dynamic_cast<const SystemFont*>(&font)) << "no TrueType font in " << MessageWindow::FONT_FOLDER;
    // Two words exactly as wide as the window's lines may be.
    std::string sFits;
    for (int nWide = 1; nWide < 60 && sFits.empty(); ++nWide)
        for (std::string sLine = std::string(nWide, 'W') + " x"; sFits.empty() && sLine.size() < 200; sLine += 'x')
            if (font.getTextWidth(sLine.c_str()) == probe.getTextWidth()) sFits = sLine;
    ASSERT_FALSE(sFits.empty());
    std::string sTooLong = sFits;
    for (int i = 0; i < 40; ++i) sTooLong += "\nOne of many lines";

    const struct {
        const char* pszWhat;
        std::function<QarnApp*()> fnMakeApp;
        std::string sFirstLine;
        bool bCut;
    } aCases[] = {
        {"a missing archive", nullptr, "The archive 'common.dat' is missing or unreadable.", false},
        {"a text taller than the window", [&]() -> QarnApp* { return new TooLongStart(sTooLong); }, sFits, true},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        GameProcess game("Quillfen::StartFailureTest");
        TestContent().writeTo(game.folder.sPath);
        std::remove(game.folder.file("common.dat").c_str());
        game.start(game.folder.sPath, c.fnMakeApp);

        Display* pDisplay = openTestDisplay();
        ASSERT_TRUE(pDisplay);
        Window nWindow = waitForWindowOfClass(pDisplay, game.sClass.c_str(), 20);
        ASSERT_NE(0u, nWindow) << "no window; the log:\n" << readFile(game.logFile());
        Window nChild = 0;
        int nX = 0, nY = 0;
        ASSERT_TRUE(XTranslateCoordinates(pDisplay, nWindow, DefaultRootWindow(pDisplay), 0, 0, &nX, &nY, &nChild))
            << "the window went";

        // The text as handed to the font: the file's name as it is, a line
        // that fits exactly kept whole, the end of a text too long cut.
        MessageWindow expected(Names::GAME_TITLE, shownText(game).c_str());
        const std::vector<MessageWindow::Line>& aLines = expected.getLines();
        EXPECT_EQ(c.sFirstLine, aLines[2].sText);
        const std::string& sLast = aLines[aLines.size() - 3].sText;
        EXPECT_EQ(c.bCut, sLast.size() > 3 && sLast.compare(sLast.size() - 3, 3, ELLIPSIS) == 0) << sLast;
        EXPECT_LE(expected.getHeight(), MessageWindow::MAX_HEIGHT);
        // The window on the screen is that text, whole inside it.
        std::pair<int, int> counts(-1, -1);
        EXPECT_TRUE(waitFor([&] {
            ScreenShot shot(pDisplay, nX, nY, expected.getWidth(), expected.getHeight());
            counts = shot.isValid() ? unlikeDrawnAndInkInMargins(shot, expected) : counts;
            return counts.first == 0;
        }, 5)) << counts.first << " pixels unlike the message";
        EXPECT_EQ(0, counts.second);

        // It waits: the game is still there, its lock held, until the click.
        usleep(300000);
        EXPECT_TRUE(findWindowOfClass(pDisplay, game.sClass.c_str()));
        EXPECT_TRUE(fileExists(game.lockFile()));
        XEvent click;
        std::memset(&click, 0, sizeof(click));
        click.xbutton.type = ButtonPress;
        click.xbutton.window = firstChild(pDisplay, nWindow);
        ASSERT_NE(0u, click.xbutton.window) << "the window went";
        click.xbutton.root = DefaultRootWindow(pDisplay);
        click.xbutton.x = 20;
        click.xbutton.y = 20;
        click.xbutton.button = Button1;
        click.xbutton.same_screen = True;
        XSendEvent(pDisplay, click.xbutton.window, False, ButtonPressMask, &click);
        XFlush(pDisplay);
        EXPECT_EQ(QarnApp::EXIT_MISSING_CONTENT, game.waitForExit(20));
        XCloseDisplay(pDisplay);

        std::string sLog = readFile(game.logFile());
        EXPECT_NE(std::string::npos, sLog.find("G: Message box shown, closed with a click\nM: Exit 2\n")) << sLog;
        EXPECT_FALSE(fileExists(game.lockFile()));
    }
}

// "xdotool windowkill" on the waiting window cuts the game's connection to
// the X server: the run still ends with the start's exit code.
TEST(StartFailureXvfbTest, AMessageWindowWhoseConnectionIsCutEndsWithTheStartsExitCode) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer(XVFB_TEST);
    GameProcess game("Quillfen::CutConnectionTest");
    TestContent().writeTo(game.folder.sPath);
    std::remove(game.folder.file("common.dat").c_str());
    game.start(game.folder.sPath);

    Display* pDisplay = openTestDisplay();
    ASSERT_TRUE(pDisplay);
    Window nWindow = waitForKeyWindowOfClass(pDisplay, game.sClass.c_str(), 20);
    ASSERT_NE(0u, nWindow) << "no window; the log:\n" << readFile(game.logFile());
    XKillClient(pDisplay, nWindow);
    XSync(pDisplay, False);
    EXPECT_EQ(QarnApp::EXIT_MISSING_CONTENT, game.waitForExit(20)) << readFile(game.logFile());
    XCloseDisplay(pDisplay);
    EXPECT_NE(std::string::npos, readFile(game.errorFile()).find("The connection to the X server was cut."))
        << readFile(game.errorFile());
}

#ifdef CONTENT_ARCHIVE_DIR
// One byte changed in the middle of an entry read while starting: the archive
// passes the start-up check, the entry does not read back.
TEST(StartFailureTest, ADamagedEntryFoundWhileStartingEndsTheStartAsAMissingArchiveDoes) {
    const struct {
        const char* pszArchive;
        const char* pszEntry;
    } aCases[] = {{"sfx.dat", "sfx_game_ask0.wav"}, {"common.dat", "preload-sound.txt"}, {"common.dat", "sand.theme"}};
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszEntry);
        GameProcess game("Quillfen::DamagedEntryTest");
        std::string sContent = copyGeneratedContent(game.folder, CONTENT_ARCHIVE_DIR);
        ASSERT_FALSE(sContent.empty());
        std::string sArchive = sContent + "/" + c.pszArchive;
        unsigned int nAt = 0;
        {
            Tsl::ResourceFile archive(sArchive.c_str());
            for (int i = 0; i < archive.getEntryCount(); ++i)
                if (archive.getEntry(i).sName == c.pszEntry)
                    nAt = archive.getEntry(i).nOffset + archive.getEntry(i).nStoredSize / 2;
        }
        ASSERT_NE(0u, nAt);
        {
            std::fstream file(sArchive, std::ios::in | std::ios::out | std::ios::binary);
            file.seekg(nAt);
            char cByte = static_cast<char>(file.get());
            file.seekp(nAt);
            file.put(static_cast<char>(cByte ^ 0x5A));
        }

        game.start(sContent);
        EXPECT_EQ(QarnApp::EXIT_MISSING_CONTENT, game.waitForExit(60));
        // The player's words, the folder and what to do; zlib's words only in the log.
        std::string sMessage = std::string(Names::GAME_TITLE) + ": The archive '" + c.pszArchive +
                               "' is damaged: its entry '" + c.pszEntry + "' cannot be read.\nFolder searched: " +
                               sContent + "\nWhat to do: ";
        std::string sErrors = readFile(game.errorFile());
        EXPECT_NE(std::string::npos, sErrors.find(sMessage)) << sErrors;
        EXPECT_EQ(std::string::npos, sErrors.find("compressed")) << sErrors;
        std::string sLog = readFile(game.logFile());
        EXPECT_NE(std::string::npos, sLog.find(std::string("entry '") + c.pszEntry + "' : ")) << sLog;
        EXPECT_NE(std::string::npos,
                  sLog.find("G: Message box not shown: the video driver 'dummy' shows no window\nM: Exit 2\n"))
            << sLog;
        // Not a crash: no exception block, no report.
        EXPECT_EQ(std::string::npos, sLog.find("EXCEPTION")) << sLog;
        EXPECT_FALSE(fileExists(game.logFile() + ".report"));
        EXPECT_FALSE(fileExists(game.lockFile()));
    }
}
#endif

} // namespace
