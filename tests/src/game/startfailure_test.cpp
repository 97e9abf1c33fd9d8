// A start that cannot go on is told to the player in a window of its own:
// under Xvfb, a missing archive's message is read back from the screen in
// the built-in font's glyphs and the window waits for a click; headless, an
// archive entry damaged in the generated content ends the loading screen as
// a missing archive does (exit code 2, the archive and the entry named, no
// crash report), the log saying the message was not shown. A connection to
// the X server cut while the window waits keeps that exit code.
#include "game_process.h"

#include "base/names.h"
#include "game/qarnapp.h"
#include "ui/messagewindow.h"
#include "ui/systemfont.h"

#include "tsl2/resourcefile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

#include "xvfb_screen.h"

namespace {

const char* const XVFB_TEST = "game_start_failure_xvfb";

// The byte the system font draws for a character of the text.
char drawnAs(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(std::toupper(c));
    if (c == '{') return '(';
    if (c == '}') return ')';
    if (c == '|') return '!';
    if (c == '~') return '-';
    return c >= ' ' && c < '~' ? static_cast<char>(c) : '?';
}

// The mask of a glyph's cells for which the test says yes.
template <typename IsPainted> unsigned int cellMask(IsPainted fnPainted) {
    unsigned int nCells = 0;
    for (int nRow = 0; nRow < SystemFont::GLYPH_HEIGHT; ++nRow)
        for (int nColumn = 0; nColumn < SystemFont::GLYPH_WIDTH; ++nColumn)
            if (fnPainted(nColumn, nRow)) nCells |= 1u << (nRow * SystemFont::GLYPH_WIDTH + nColumn);
    return nCells;
}

// Which of a glyph's cells are painted in the shot, the glyph's top-left at (x, y).
unsigned int readCells(const ScreenShot& shot, int x, int y, const SDL_Color& background) {
    const int nScale = MessageWindow::SCALE;
    return cellMask([&](int nColumn, int nRow) {
        return !sameColor(shot.at(x + nColumn * nScale + nScale / 2, y + nRow * nScale + nScale / 2), background);
    });
}

unsigned int glyphCells(unsigned char c) {
    return cellMask([c](int nColumn, int nRow) { return SystemFont::isGlyphPixel(c, nColumn, nRow); });
}

// Reads a line of the shot back as text: each character the system font
// draws with exactly the cells found, the expected one first when two share
// their cells; "#" where no glyph matches.
std::string readLine(const ScreenShot& shot, int x, int y, const std::string& sExpected, const SDL_Color& background) {
    std::string sRead;
    for (size_t i = 0; i < sExpected.size(); ++i) {
        unsigned int nCells = readCells(shot, x + static_cast<int>(i) * MessageWindow::getAdvance(), y, background);
        char cExpected = drawnAs(static_cast<unsigned char>(sExpected[i]));
        char cRead = '#';
        if (glyphCells(static_cast<unsigned char>(cExpected)) == nCells) cRead = cExpected;
        for (int c = ' '; c < 'a' && cRead == '#'; ++c)
            if (glyphCells(static_cast<unsigned char>(c)) == nCells) cRead = static_cast<char>(c);
        sRead += cRead;
    }
    return sRead;
}

std::string drawnText(const std::string& sText) {
    std::string s;
    for (char c : sText) s += drawnAs(static_cast<unsigned char>(c));
    return s;
}

TEST(StartFailureXvfbTest, AMissingArchiveIsToldInAWindowThatWaitsForAClick) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer(XVFB_TEST);
    GameProcess game("Quillfen::StartFailureTest");
    TestContent().writeTo(game.folder.sPath);
    std::string sArchive = game.folder.file("common.dat");
    std::remove(sArchive.c_str());
    game.start(game.folder.sPath);

    Display* pDisplay = openTestDisplay();
    ASSERT_TRUE(pDisplay);
    Window nWindow = waitForWindowOfClass(pDisplay, game.sClass.c_str(), 20);
    ASSERT_NE(0u, nWindow) << "no window; the log:\n" << readFile(game.logFile());
    Window nChild = 0;
    int nX = 0, nY = 0;
    ASSERT_TRUE(XTranslateCoordinates(pDisplay, nWindow, DefaultRootWindow(pDisplay), 0, 0, &nX, &nY, &nChild))
        << "the window went";

    // The window the player sees: the title, the message, the way out.
    std::string sErrors = readFile(game.errorFile());
    size_t nText = sErrors.find(std::string(Names::GAME_TITLE) + ": ");
    ASSERT_NE(std::string::npos, nText) << sErrors;
    std::string sText = sErrors.substr(nText + std::strlen(Names::GAME_TITLE) + 2);
    MessageWindow expected(Names::GAME_TITLE, sText.substr(0, sText.size() - 1).c_str());
    SDL_Color background = MessageWindow::getBackground();
    const int nInside = MessageWindow::BORDER + 1;
    ASSERT_TRUE(waitFor([&] {
        ScreenShot shot(pDisplay, nX, nY, expected.getWidth(), expected.getHeight());
        return shot.isValid() && sameColor(background, shot.at(nInside, nInside));
    }, 5)) << "the window stayed empty";
    ScreenShot shot(pDisplay, nX, nY, expected.getWidth(), expected.getHeight());
    ASSERT_TRUE(shot.isValid());
    std::string sShown;
    for (size_t i = 0; i < expected.getLines().size(); ++i) {
        const std::string& sLine = expected.getLines()[i].sText;
        int nY = expected.getLineY(static_cast<int>(i));
        std::string sRead = readLine(shot, expected.getLineX(), nY, sLine, background);
        EXPECT_EQ(drawnText(sLine), sRead) << "line " << i;
        sShown += sRead + "\n";
    }
    for (const char* pszShown :
         {"BEACH BAR\n", "THE ARCHIVE 'COMMON.DAT' IS MISSING OR UNREADABLE.\n", "CLICK OR PRESS A KEY TO CLOSE."})
        EXPECT_NE(std::string::npos, sShown.find(pszShown)) << pszShown << " in:\n" << sShown;

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
