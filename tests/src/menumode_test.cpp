// The main menu: a profile on first run, a repaired current player, what
// each play mode commits on return, the story button's three answers, the
// shadow logo's circuit, and a click on the player's name.
#include "game_support.h"

#include "menumode.h"
#include "names.h"
#include "playermanager.h"
#include "qarnplayer.h"

#include "app/modetransition.h"
#include "screens/miscdialogs.h"
#include "screens/selectprofile.h"
#include "text/font.h"
#include "ui/editbox.h"
#include "ui/label.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class GameStandIn : public GameMode {
public:
    explicit GameStandIn(const std::string& s) : GameMode(MF_ACTIVE | MF_VISIBLE), what(s) {}
    std::string what;
};

class TestMenu : public MenuMode {
public:
    Tsl::SmartPtr<GameMode> createStoryManager(int nDifficulty, int nMinutes, QarnPlayer*, int nPlayMode) override {
        games.push_back("d" + std::to_string(nDifficulty) + " t" + std::to_string(nMinutes) + " m" + std::to_string(nPlayMode));
        return new GameStandIn(games.back());
    }
    std::vector<std::string> games;
};

struct MenuTest : GameTest {
    Tsl::SmartPtr<TestMenu> menu = new TestMenu();
    std::filesystem::path folder;

    void SetUp() override {
        GameTest::SetUp();
        char szFolder[] = "/tmp/menutest-XXXXXX";
        folder = mkdtemp(szFolder);
        GameApp::openLog((folder / "game.log").c_str());
        addPictures({"px", "menu_isologo", "menu_sombralogo", "sand_frame_back", "menu_vetas", "menu_select",
                     "menu_welcome", "menu_notme", "menu_fondo_0", "menu_fondo_1", "menu_fondo_2", "menu_fondo_3"});
        for (int i = 1; i <= 7; ++i) app.addImage(Tsl::String::format("menu_estatico_%d", i).c_str(), picture(8, 8));
        addFile("clock.anim", "load px\nseq default\nadd px\n");
    }
    void TearDown() override {
        destroyPlayerManager();
        GameApp::closeLog();
        std::filesystem::remove_all(folder);
    }
    QarnPlayer* addPlayer(const char* pszName) {
        return getPlayerManager()->getProfile(getPlayerManager()->createProfile(pszName)->getName());
    }
    GameMode* top() { return app.getModeAt(0).get(); }
    // Frames until a stand-in game is on top (through the fade).
    void reachGame() {
        for (int i = 0; i < 20 && !dynamic_cast<GameStandIn*>(top()); ++i) step();
        ASSERT_TRUE(dynamic_cast<GameStandIn*>(top()));
    }
    std::string logText() {
        std::ifstream in(folder / "game.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(MenuTest, FirstRunAsksForAProfileThatCannotBeCancelledThenGreetsIt) {
    app.pushMode(menu.get());
    CreateProfileDialog* pCreate = dynamic_cast<CreateProfileDialog*>(top());
    ASSERT_TRUE(pCreate);
    EXPECT_FALSE(pCreate->isCancelEnabled());
    EXPECT_TRUE(app.getSetting(Names::SET_DONE_WELCOME).isEmpty());
    getPlayerManager()->createProfile("Bea");
    pCreate->endMode();
    EXPECT_EQ(Tsl::String("Bea"), menu->getNameLabel()->getText());
    EXPECT_EQ(Tsl::String("Bea"), app.getSetting(Names::SET_CURRENT_PLAYER));
    EXPECT_EQ(Tsl::String("YES"), app.getSetting(Names::SET_DONE_WELCOME));
    EXPECT_FALSE(app.getSetting("PLAYER_MANAGER_PLAYER_PROFILE_DATA").isEmpty());
}

TEST_F(MenuTest, ACurrentPlayerThatIsGoneIsReplacedByTheFirstProfile) {
    addPlayer("Ann");
    addPlayer("Bo");
    app.setSetting(Names::SET_CURRENT_PLAYER, "Zed");
    app.pushMode(menu.get());
    EXPECT_EQ(Tsl::String("Ann"), app.getSetting(Names::SET_CURRENT_PLAYER));
    EXPECT_EQ(Tsl::String("Ann"), menu->getNameLabel()->getText());
    EXPECT_EQ(menu.get(), top());
    // The welcome picture and the name are centred together on x 215.
    int nLeft = menu->getNameLabel()->getX() - 8, nRight = menu->getNameLabel()->getX() + menu->getNameLabel()->getWidth();
    EXPECT_LE(std::abs((nLeft + nRight) / 2 - 215), 1);
}

TEST_F(MenuTest, EachPlayModeCommitsItsOwnShareOnReturn) {
    struct Case {
        int nCommand;
        const char* pszGame;
        int nSavedAfter, nBestAfter, nSavedMoneyAfter;
        const char* pszLog;
    };
    const Case cases[] = {
        {MenuMode::CMD_CONTINUE, "d2 t4 m0", 2, 2, 50, "nS1\nMM push path 1 SM nS1\n"},
        {MenuMode::CMD_RELAX, "d2 t4 m1", 0, 0, 0, "nS1\nMM push path 3 SM nS1\n"},
        {MenuMode::CMD_FREE_PLAY, "d2 t4 m2", 0, 2, 0, "nS1\nMM push path 4 SM nS1\n"},
    };
    QarnPlayer* pPlayer = addPlayer("Ann");
    app.setSetting(Names::SET_DIFFICULTY, "7");
    app.pushMode(menu.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszGame);
        pPlayer->m_bStoryStarted = true;
        pPlayer->m_nStage = 1;
        pPlayer->m_nMinutes = 4;
        for (int k = 0; k < 13; ++k) pPlayer->m_anSavedUpgrades[k] = pPlayer->m_anBestUpgrades[k] = 0;
        pPlayer->m_nSavedMoney = 0;
        menu->handleCommand(c.nCommand);
        reachGame();
        EXPECT_EQ(c.pszGame, menu->games.back());
        EXPECT_EQ(2, pPlayer->m_nDifficulty);
        // The game played: new upgrades and money.
        for (int k = 0; k < 13; ++k) pPlayer->m_anUpgrades[k] = 2;
        pPlayer->m_nMoney = 50;
        top()->endMode();
        EXPECT_EQ(c.nSavedAfter, pPlayer->m_anSavedUpgrades[4]);
        EXPECT_EQ(c.nBestAfter, pPlayer->m_anBestUpgrades[4]);
        EXPECT_EQ(c.nSavedMoneyAfter, pPlayer->m_nSavedMoney);
        EXPECT_NE(std::string::npos, logText().find(c.pszLog));
    }
}

TEST_F(MenuTest, TheStoryButtonStartsContinuesOrAsks) {
    struct Case {
        bool bStarted;
        int nWon;
        bool bStartAgain, bYesNo;
        int nAnswer;
        const char* pszLog;
    };
    const Case cases[] = {
        {false, 0, false, false, 0, "MM push path 2 SM nS0\n"},
        {true, 49, true, false, MenuMode::CMD_NEW_STORY, "MM push path 5 SM nS0\n"},
        {true, 50, false, true, MenuMode::CMD_NEW_STORY, "MM push path 5 SM nS0\n"},
        {true, 50, false, true, MenuMode::CMD_CANCEL, nullptr},
    };
    QarnPlayer* pPlayer = addPlayer("Ann");
    app.setSetting(Names::SET_DIFFICULTY, "1");
    app.pushMode(menu.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nWon);
        menu->games.clear();
        pPlayer->m_bStoryStarted = c.bStarted;
        pPlayer->m_nLevelsWon = c.nWon;
        menu->handleCommand(MenuMode::CMD_STORY);
        EXPECT_EQ(c.bStartAgain, dynamic_cast<StartAgainDlg*>(top()) != nullptr);
        EXPECT_EQ(c.bYesNo, dynamic_cast<DlgYesNo*>(top()) != nullptr);
        if (c.bStartAgain || c.bYesNo) {
            top()->endMode();
            menu->handleCommand(c.nAnswer);
        }
        if (!c.pszLog) {
            EXPECT_TRUE(menu->games.empty());
            EXPECT_EQ(menu.get(), top());
            continue;
        }
        EXPECT_EQ(std::vector<std::string>({"d1 t3 m0"}), menu->games);
        EXPECT_FALSE(pPlayer->m_bStoryStarted);
        EXPECT_NE(std::string::npos, logText().find(c.pszLog));
        top()->endMode();
    }
}

TEST_F(MenuTest, TheShadowLogoTurnsItsCornersEvenWhenItLandsOnThemAndTheGroupsFadeInTurn) {
    addPlayer("Ann");
    app.pushMode(menu.get());
    Tsl::SmartPtr<Sprite> pShadow = menu->getShadowLogo();
    EXPECT_EQ(1, menu->getShadowState());
    pShadow->setPosition(15.0f, 3.75f);
    menu->onUpdate(0.25f);
    EXPECT_EQ(2, menu->getShadowState());
    EXPECT_EQ(3.0f, pShadow->getYf());
    int nTurns = 0, nState = 2;
    for (int i = 0; i < 100; ++i) {
        menu->onUpdate(0.25f);
        nTurns += menu->getShadowState() != nState;
        nState = menu->getShadowState();
        EXPECT_TRUE(pShadow->getXf() >= 10 && pShadow->getXf() <= 15 && pShadow->getYf() >= 3 && pShadow->getYf() <= 8);
    }
    EXPECT_GE(nTurns, 8);
    // 101 quarter seconds: each group has had its second in turn.
    EXPECT_EQ(1.0f, menu->getBackdrop().getAt(0)->getAlpha());
    EXPECT_EQ(1.0f, menu->getLogo().getAt(0)->getAlpha());
}

TEST_F(MenuTest, AReleaseOverThePlayersNameOpensTheProfilesAndAnyOtherIsSwallowed) {
    addPlayer("Ann");
    app.pushMode(menu.get());
    int nX = menu->getNameLabel()->getX() + 2, nY = menu->getNameLabel()->getY() + 2;
    app.onMouseDown(1, 5, 595);
    EXPECT_TRUE(app.onMouseUp(1, 5, 595));
    EXPECT_EQ(menu.get(), top());
    app.onMouseMove(nX, nY, true);
    step();
    EXPECT_TRUE(menu->getNotMe()->isVisible());
    app.onMouseDown(1, nX, nY);
    app.onMouseUp(1, nX, nY);
    EXPECT_TRUE(dynamic_cast<SelectProfileDialog*>(top()));
    EXPECT_EQ(MenuMode::PLAY_NONE, menu->getPlayMode());
}

}  // namespace
