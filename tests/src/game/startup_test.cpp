// The game's start-up on test archives: what it pushes, the settings it
// starts from, the full-screen guard, missing content, and reaching the
// stand-in menu with a profile.
#include "game_fixtures.h"
#include "settings_bytes.h"
#include "unprivileged.h"

#include "game/gamemain.h"
#include "player/highscoreentry.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "game/loadingscreen.h"
#include "game/menumode.h"
#include "text/font.h"
#include "ui/label.h"

#include "app/atomicfile.h"
#include "screens/names.h"
#include "screens/selectprofile.h"
#include "screens/splashscreen.h"
#include "ui/dialogmode.h"
#include "video/videodriver.h"

#include "d3d7/test_hooks.h"

#include "tsl2/file.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <gtest/gtest.h>

#include <SDL/SDL_keysym.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

struct StartupTest : ::testing::Test {
    TempFolder folder;
    TestContent content;

    void SetUp() override { GameApp::openLog(folder.file("game.log").c_str()); }
    void TearDown() override {
        destroyPlayerManager();
        GameApp::closeLog();
    }
    void prepare(QarnApp& app) {
        content.writeTo(folder.sPath);
        app.setContentFolder(folder.sPath.c_str());
        app.setSettingsFile(folder.file("config.dat").c_str());
    }
    // Skips the splash; the loading screen builds, loads its empty lists and
    // hands over to the menu, which asks for a name.
    static bool reachesTheNameDialog(QarnApp& app) {
        app.onMouseDown(MB_LEFT, 10, 10);  // skips the only splash item
        app.runFrame();
        for (int i = 0; i < 3; ++i) app.runFrame();
        return Tsl::SmartPtr<CreateProfileDialog>::dynamicCast(app.getModeAt(0));
    }
    // A message with the line breaks that keep long paths in a dialog taken out.
    static std::string unbroken(std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '\n'), s.end());
        return s;
    }
    // The settings as the file holds them now.
    std::map<std::string, std::string> savedSettings() {
        std::map<std::string, std::string> settings;
        Tsl::SmartPtr<Tsl::File> pFile = new Tsl::File(folder.file("config.dat").c_str(), Tsl::File::eRead);
        Tsl::SmartPtr<Tsl::ZStream> pZip = new Tsl::ZStream(pFile.get(), -1);
        Tsl::ObjectStreamer streamer(pZip.get(), false);
        streamer.readHeader("SET", 1);
        int nCount = 0;
        streamer.read(nCount);
        for (int i = 0; i < nCount; ++i) {
            Tsl::String sKey, sValue;
            streamer.read(sKey);
            streamer.read(sValue);
            settings[sKey.c_str()] = sValue.c_str();
        }
        return settings;
    }
};

TEST_F(StartupTest, PushesTheSplashAboveTheLoadingScreenWithDefaultsIconAndTheme) {
    TestQarnApp app;
    prepare(app);
    ASSERT_TRUE(app.onInit());
    ASSERT_EQ(2, app.getModeCount());
    EXPECT_TRUE(Tsl::SmartPtr<SplashScreen>::dynamicCast(app.getModeAt(0)));
    EXPECT_TRUE(Tsl::SmartPtr<LoadingScreen>::dynamicCast(app.getModeAt(1)));
    EXPECT_EQ("1", app.getSetting(Names::SET_DIFFICULTY));
    EXPECT_EQ("Beach bar test", app.getString(Names::STR_CAPTION));
    EXPECT_TRUE(app.platform->video()->m_pIcon);
    EXPECT_EQ(800, app.getScreenWidth());
    EXPECT_FALSE(app.getConfirmExit());
}

TEST_F(StartupTest, TheFullScreenGuardStepsThroughAFailedSwitchAndALaterGoodOne) {
    content.writeTo(folder.sPath);
    struct Step {
        const char* pszWhat;
        bool bSwitchWorks;
        bool bInitOk;
        int nFlagsTried;         // of the last mode change
        const char* pszGuardWhileSwitching;
        const char* pszGuardAfter;
    } aSteps[] = {
        {"first start", true, true, VMF_FULLSCREEN, "TRUE", "FALSE"},
        {"the switch dies", false, false, VMF_FULLSCREEN, "TRUE", "TRUE"},
        {"next start: windowed", true, true, 0, "TRUE", "TRUE"},
    };
    for (const Step& step : aSteps) {
        SCOPED_TRACE(step.pszWhat);
        TestQarnApp app;
        prepare(app);
        int nFlags = -1;
        std::string sGuard;
        app.m_fnSetVideoMode = [&](int nTried) {
            nFlags = nTried;
            sGuard = savedSettings()[Names::SET_FULLSCREEN_FAILED];
            return step.bSwitchWorks;
        };
        EXPECT_EQ(step.bInitOk, app.onInit());
        EXPECT_EQ(step.nFlagsTried, nFlags);
        if (step.nFlagsTried) {
            EXPECT_EQ(step.pszGuardWhileSwitching, sGuard);
        }
        EXPECT_EQ(step.pszGuardAfter, savedSettings()[Names::SET_FULLSCREEN_FAILED]);
    }
    // In the windowed run the player switches to full screen, and it works.
    TestQarnApp app;
    prepare(app);
    ASSERT_TRUE(app.onInit());
    app.getVideoDriver()->setFullScreen(true);
    app.onExit();
    EXPECT_EQ("FALSE", savedSettings()[Names::SET_FULLSCREEN_FAILED]);
    EXPECT_EQ("TRUE", savedSettings()[ScreenNames::SET_FULLSCREEN]);
}

TEST_F(StartupTest, MissingOrBrokenContentStopsTheStartWithOneMessageNamingIt) {
    struct Case {
        const char* pszWhat;
        std::function<void(TestContent&)> fnBreak;
        std::function<void(const std::string&)> fnAfterWrite;
        const char* pszNamed;
    } aCases[] = {
        {"missing archive", nullptr, [](const std::string& s) { std::remove((s + "/scene3.dat").c_str()); },
         "scene3.dat"},
        {"broken archive", nullptr, [](const std::string& s) { writeFile(s + "/map.dat", "GRF\x01 broken"); },
         "map.dat"},
        {"missing string table", [](TestContent& c) { c.archives["lang_en.dat"].erase("private.txt"); }, nullptr,
         "private.txt"},
        {"missing theme", [](TestContent& c) { c.archives["common.dat"].erase("sand.theme"); }, nullptr,
         "sand.theme"},
        {"broken theme", [](TestContent& c) { c.archives["common.dat"]["sand.theme"] = "font\n"; }, nullptr,
         "sand.theme"},
        {"missing preload list", [](TestContent& c) { c.archives["common.dat"].erase("preload-sound.txt"); },
         nullptr, "preload-sound.txt"},
        // Last: the next case's archives would be written into the FIFO.
        {"FIFO in an archive's place", nullptr,
         [](const std::string& s) { std::remove((s + "/sfx.dat").c_str()); mkfifo((s + "/sfx.dat").c_str(), 0600); },
         "sfx.dat"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        TestContent broken;
        if (c.fnBreak) c.fnBreak(broken);
        broken.writeTo(folder.sPath);
        if (c.fnAfterWrite) c.fnAfterWrite(folder.sPath);
        std::remove(folder.file("game.log").c_str());
        TestQarnApp app;
        app.setContentFolder(folder.sPath.c_str());
        EXPECT_FALSE(app.onInit());
        EXPECT_EQ(QarnApp::EXIT_MISSING_CONTENT, app.getExitCode());
        // The message waits for the player until the application is gone
        // (runGame shows it then, in a window of its own).
        std::string sFailure = app.getStartFailure().c_str();
        EXPECT_NE(std::string::npos, sFailure.find(c.pszNamed)) << sFailure;
        EXPECT_NE(std::string::npos, sFailure.find("\nFolder searched: " + folder.sPath + "\n")) << sFailure;
        std::string sLog = readFile(folder.file("game.log"));
        size_t nMessage = sLog.find("B: The start failed: ");
        ASSERT_NE(std::string::npos, nMessage);
        EXPECT_EQ(std::string::npos, sLog.find("B: The start failed: ", nMessage + 1));
        EXPECT_NE(std::string::npos, sLog.find(c.pszNamed, nMessage)) << sLog;
        // Nothing in the log calls the game by the product's name (the player knows its title).
        EXPECT_EQ(std::string::npos, sLog.find(Names::PRODUCT_NAME)) << sLog;
        EXPECT_EQ(0, app.getModeCount());
    }
}

TEST_F(StartupTest, SettingsTroubleIsToldOnceNamingThePlaceBeforeTheNameDialog) {
    std::string sDamaged("\x78\x9C broken settings \x00\x01\xFF", 23);
    const std::string sFile = folder.file("config.dat"), sKept = sFile + ".previous";
    const std::string sTemporary = AtomicFile::getTemporaryFile(sFile.c_str()).c_str();
    struct Case {
        const char* pszWhat;
        std::function<void(const std::string&)> fnBreak;
        std::string sNamed;
        const char* pszSaid;
    } aCases[] = {
        {"a damaged file, kept aside", [&](const std::string& s) { writeFile(s, sDamaged); },
         folder.file("config.dat.damaged.1"), Names::STR_SETTINGS_DAMAGED},
        {"saves failing: a folder where the file is written first",
         [&](const std::string&) { mkdir(sTemporary.c_str(), 0700); }, folder.sPath + "/",
         Names::STR_SETTINGS_NOT_SAVED},
        {"a FIFO in the file's place", [](const std::string& s) { mkfifo(s.c_str(), 0600); }, sFile,
         Names::STR_SETTINGS_UNREADABLE},
        {"the file missing beside the kept copy", [&](const std::string&) { writeFile(sKept, settingsBytes({})); },
         sKept, Names::STR_SETTINGS_MISSING},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        for (const std::string& sLeft : {sFile, sKept, sTemporary}) std::remove(sLeft.c_str());
        c.fnBreak(sFile);
        TestQarnApp app;
        prepare(app);
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(app.onInit());  // the full-screen guard saves twice
        app.saveSettings();
        std::string sErr = unbroken(::testing::internal::GetCapturedStderr());
        std::string sTold = std::string(app.getTitle().c_str()) + ": ";
        EXPECT_EQ(sErr.find(sTold), sErr.rfind(sTold)) << sErr;
        EXPECT_NE(std::string::npos, sErr.find(c.sNamed)) << sErr;
        EXPECT_NE(std::string::npos, sErr.find(c.pszSaid)) << sErr;
        app.runFrame();
        Tsl::SmartPtr<DlgMessage> pNotice = Tsl::SmartPtr<DlgMessage>::dynamicCast(app.getModeAt(0));
        ASSERT_TRUE(pNotice);
        EXPECT_NE(std::string::npos, unbroken(pNotice->getText().c_str()).find(c.sNamed));
        pNotice->onCallback(0, 0);
        EXPECT_TRUE(reachesTheNameDialog(app));
        destroyPlayerManager();
    }
    EXPECT_EQ(sDamaged, readFile(folder.file("config.dat.damaged.1")));
    // A file the game may not read is named as such and left where it is.
    std::string sLocked = folder.file("config.dat");
    std::remove(sLocked.c_str());
    writeFile(sLocked, sDamaged);
    GameApp::closeLog();
    EXPECT_EQ(0, runUnprivileged([&]() {
        if (chmod(sLocked.c_str(), 0) != 0) return 1;
        TestQarnApp app;
        prepare(app);
        ::testing::internal::CaptureStderr();
        if (!app.onInit()) return 2;
        std::string sErr = unbroken(::testing::internal::GetCapturedStderr());
        if (sErr.find(Names::STR_SETTINGS_UNREADABLE) == std::string::npos || sErr.find(sLocked) == std::string::npos)
            return 3;
        if (chmod(sLocked.c_str(), 0600) != 0) return 4;
        return readFile(sLocked) == sDamaged && readFile(folder.file("config.dat.damaged.2")).empty() ? 0 : 5;
    }));
}

TEST_F(StartupTest, StoredHighScoreTablesAreCutToTenWhenTheSettingsLoad) {
    Tsl::List<HighscoreTable> lTables;
    for (int t = 0; t < 3; ++t) lTables.append(HighscoreTable());
    for (int i = 0; i < 1000; ++i) lTables.getNode(1)->data.append(HighscoreEntry("Long", i));
    {
        TestQarnApp app;
        app.setSettingsFile(folder.file("config.dat").c_str());
        app.setSetting(Names::SET_HIGHSCORES, writeHighscoreTables(lTables));
        ASSERT_TRUE(app.saveSettings());
    }
    TestQarnApp app;
    prepare(app);
    ASSERT_TRUE(app.onInit());
    lTables.clear();
    EXPECT_TRUE(readHighscoreTables(savedSettings()[Names::SET_HIGHSCORES].c_str(), 3, 1000, lTables));
    EXPECT_EQ(10, lTables.getAt(1).getCount());
}

TEST_F(StartupTest, TheSplashEndsOnTheLoadingScreenWhoseMenuAsksForAProfileAndGreetsIt) {
    TestQarnApp app;
    prepare(app);
    ASSERT_TRUE(app.onInit());
    ASSERT_TRUE(reachesTheNameDialog(app));
    EXPECT_TRUE(app.getConfirmExit());
    Tsl::SmartPtr<CreateProfileDialog> pCreate = Tsl::SmartPtr<CreateProfileDialog>::dynamicCast(app.getModeAt(0));
    EXPECT_FALSE(pCreate->isCancelEnabled());
    for (char c : std::string("Kai")) app.onChar(c);
    app.onKeyDown(SDLK_RETURN, 0);
    Tsl::SmartPtr<MenuMode> pMenu = Tsl::SmartPtr<MenuMode>::dynamicCast(app.getModeAt(0));
    ASSERT_TRUE(pMenu);
    EXPECT_EQ("Kai", pMenu->getNameLabel()->getText());
    EXPECT_EQ("Kai", savedSettings()[ScreenNames::SET_CURRENT_PLAYER]);
    // A close request now asks first, once.
    app.onQuit();
    app.onQuit();
    EXPECT_EQ(2, app.getModeCount());
}

TEST(WindowClassTest, TheWordAfterTheSwitchNamesTheClassAndAnythingElseIsIgnored) {
    struct Case {
        std::vector<const char*> aArgs;
        const char* pszClass;
    } aCases[] = {
        {{}, "Quillfen::Taverlin"},
        {{"--wndclass"}, "Quillfen::Taverlin"},
        {{"--hidden", "--wndclass", "Other"}, "Other"},
        {{"Other", "--wndclass"}, "Quillfen::Taverlin"},
        {{"--bogus", "x"}, "Quillfen::Taverlin"},
    };
    for (const Case& c : aCases) EXPECT_EQ(c.pszClass, getWindowClassName(int(c.aArgs.size()), c.aArgs.data()));
}

} // namespace
