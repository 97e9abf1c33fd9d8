// The main menu: a profile on first run, a repaired current player, what
// each play mode commits on return, the story button's three answers, a game
// that starts once its map's pictures are ready, the shadow logo's circuit,
// and a release over the player's name.
#include "game_fixtures.h"
#include "game_support.h"
#include "scratch_log.h"

#include "game/menumode.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"

#include "screens/miscdialogs.h"
#include "screens/selectprofile.h"
#include "text/font.h"
#include "ui/editbox.h"
#include "ui/label.h"

namespace {

class GameStandIn : public GameMode {};

class TestMenu : public MenuMode {
public:
    Tsl::SmartPtr<GameMode> createStoryManager(int nDifficulty, int nMinutes, QarnPlayer*, int nPlayMode) override {
        games.push_back("d" + std::to_string(nDifficulty) + " t" + std::to_string(nMinutes) + " m" + std::to_string(nPlayMode));
        picturesUnready.push_back(GameApp::getInstance()->getImagePreloadQueueLength());
        return new GameStandIn();
    }
    std::vector<std::string> games;
    std::vector<int> picturesUnready;  // when each game's map was made
};

struct MenuTest : GameTest {
    Tsl::SmartPtr<TestMenu> menu = new TestMenu();
    ScratchLog log;

    void SetUp() override {
        GameTest::SetUp();
        addPictures({"px", "menu_isologo", "menu_sombralogo", "sand_frame_back", "menu_vetas", "menu_select",
                     "menu_welcome", "menu_notme", "menu_fondo_0", "menu_fondo_1", "menu_fondo_2", "menu_fondo_3"});
        for (int i = 1; i <= 7; ++i) app.addImage(Tsl::String::format("menu_estatico_%d", i).c_str(), picture(8, 8));
        addFile("clock.anim", "load px\nseq default\nadd px\n");
    }
    void TearDown() override { destroyPlayerManager(); }
    QarnPlayer* addPlayer(const char* pszName) {
        return getPlayerManager()->getProfile(getPlayerManager()->createProfile(pszName)->getName());
    }
    GameMode* top() { return app.getModeAt(0).get(); }
};

TEST_F(MenuTest, FirstRunAsksForAProfileAndAGoneCurrentPlayerIsRepaired) {
    app.pushMode(menu.get());
    CreateProfileDialog* pCreate = dynamic_cast<CreateProfileDialog*>(top());
    ASSERT_TRUE(pCreate);
    EXPECT_FALSE(pCreate->isCancelEnabled());
    getPlayerManager()->createProfile("Bea");
    getPlayerManager()->createProfile("Cy");
    pCreate->endMode();
    EXPECT_EQ(Tsl::String("Bea"), menu->getNameLabel()->getText());
    EXPECT_EQ(Tsl::String("YES"), app.getSetting(Names::SET_DONE_WELCOME));
    EXPECT_FALSE(app.getSetting("PLAYER_MANAGER_PLAYER_PROFILE_DATA").isEmpty());
    // "Zed" is gone: the first profile becomes current again.
    app.setSetting(Names::SET_CURRENT_PLAYER, "Zed");
    menu->onActivate();
    EXPECT_EQ(Tsl::String("Bea"), app.getSetting(Names::SET_CURRENT_PLAYER));
    EXPECT_EQ(menu.get(), top());
}

TEST_F(MenuTest, EachPlayModeCommitsItsOwnShareOnReturn) {
    struct Case {
        int nCommand;
        const char* pszGame;
        int nSaved, nBest, nSavedMoney;
        const char* pszLog;
    } cases[] = {
        {MenuMode::CMD_CONTINUE, "d2 t4 m0", 2, 2, 50, "nS1\nMM push path 1 SM nS1\n"},
        {MenuMode::CMD_RELAX, "d2 t4 m1", 0, 0, 0, "nS1\nMM push path 3 SM nS1\n"},
        {MenuMode::CMD_FREE_PLAY, "d2 t4 m2", 0, 2, 0, "nS1\nMM push path 4 SM nS1\n"},
    };
    QarnPlayer* pPlayer = addPlayer("Ann");
    app.setSetting(Names::SET_DIFFICULTY, "7");
    app.pushMode(menu.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszGame);
        *pPlayer = QarnPlayer();
        pPlayer->setName("Ann");
        pPlayer->m_bStoryStarted = true;
        pPlayer->m_nStage = 1;
        pPlayer->m_nMinutes = 4;
        // The hardest difficulty is 2: a stored 3 is as out of range as a 7.
        app.setSetting(Names::SET_DIFFICULTY, c.nCommand == MenuMode::CMD_RELAX ? "3" : "7");
        menu->handleCommand(c.nCommand);
        for (int i = 0; i < 20 && !dynamic_cast<GameStandIn*>(top()); ++i) step();  // through the fade
        ASSERT_TRUE(dynamic_cast<GameStandIn*>(top()));
        EXPECT_EQ(c.pszGame, menu->games.back());
        EXPECT_EQ(2, pPlayer->m_nDifficulty);
        for (int& nLevel : pPlayer->m_anUpgrades) nLevel = 2;  // the game played
        pPlayer->m_nMoney = 50;
        top()->endMode();
        EXPECT_EQ(c.nSaved, pPlayer->m_anSavedUpgrades[UpgradeManager::KIND_CHAIR_2]);
        EXPECT_EQ(c.nBest, pPlayer->m_anBestUpgrades[UpgradeManager::KIND_CHAIR_2]);
        EXPECT_EQ(c.nSavedMoney, pPlayer->m_nSavedMoney);
        EXPECT_NE(std::string::npos, log.text().find(c.pszLog));
    }
}

// A free game plays with money and upgrades of its own; the story goes on
// from what it saved.
TEST_F(MenuTest, ContinuingTheStoryAfterAFreeGameBringsBackItsSavedState) {
    QarnPlayer* pPlayer = addPlayer("Ann");
    pPlayer->m_bStoryStarted = true;
    pPlayer->m_nSavedMoney = 120;
    pPlayer->m_anSavedUpgrades[UpgradeManager::KIND_TRAY] = 2;
    app.pushMode(menu.get());
    for (int nCommand : {int(MenuMode::CMD_FREE_PLAY), int(MenuMode::CMD_CONTINUE)}) {
        menu->handleCommand(nCommand);
        for (int i = 0; i < 20 && !dynamic_cast<GameStandIn*>(top()); ++i) step();  // through the fade
        ASSERT_TRUE(dynamic_cast<GameStandIn*>(top()));
        if (nCommand == MenuMode::CMD_CONTINUE) break;
        pPlayer->m_nMoney = 0;  // the free game's
        pPlayer->m_anUpgrades[UpgradeManager::KIND_TRAY] = 0;
        top()->endMode();
    }
    EXPECT_EQ(120, pPlayer->m_nMoney);
    EXPECT_EQ(2, pPlayer->m_anUpgrades[UpgradeManager::KIND_TRAY]);
}

TEST_F(MenuTest, TheStoryButtonStartsOrAsks) {
    struct Case {
        bool bStarted;
        int nWon;
        bool bStartAgain, bYesNo;
        int nAnswer;
        const char* pszLog;
    } cases[] = {
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
        EXPECT_EQ(c.pszLog ? 1u : 0u, menu->games.size());
        if (!c.pszLog) continue;
        EXPECT_EQ("d1 t3 m0", menu->games[0]);
        EXPECT_FALSE(pPlayer->m_bStoryStarted);
        EXPECT_NE(std::string::npos, log.text().find(c.pszLog));
        top()->endMode();
    }
}

// The map's pictures are made ready a slice a frame after the click while
// the menu goes on; the game starts once, when the last one is there,
// whatever else is clicked meanwhile.
TEST_F(MenuTest, AGameStartsOnceTheMapsPicturesAreReady) {
    QarnPlayer* pPlayer = addPlayer("Ann");
    pPlayer->m_nMinutes = 4;
    app.setSetting(Names::SET_DIFFICULTY, "1");
    const char* const apszMap[] = {"mapa", "mapa_mar", "mapa_nave_2", "mapa_mask_left", "mapa_mask_right"};
    std::string sPicture = makeBmp(8, 8);
    for (const char* pszName : apszMap) addFile(pszName, sPicture);
    app.pushMode(menu.get());
    // Each picture takes 10 ms of the clock.
    app.platform->m_nTicksPerRead = 10;
    menu->handleCommand(MenuMode::CMD_RELAX);
    int nFrames = 0;
    for (; menu->games.empty() && nFrames < 100; ++nFrames) {
        EXPECT_TRUE(menu->isStartingGame());
        menu->handleCommand(MenuMode::CMD_FREE_PLAY);
        step();
    }
    EXPECT_GT(nFrames, 2);
    EXPECT_EQ(std::vector<std::string>{"d1 t4 m1"}, menu->games);
    EXPECT_EQ(std::vector<int>{0}, menu->picturesUnready);
    for (const char* pszName : apszMap) EXPECT_GE(app.getCachedImageNames().indexOf(pszName), 0) << pszName;
    EXPECT_FALSE(menu->isStartingGame());
}

TEST_F(MenuTest, TheShadowLogoTurnsItsCornersEvenWhenItLandsOnThem) {
    addPlayer("Ann");
    app.pushMode(menu.get());
    Tsl::SmartPtr<Sprite> pShadow = menu->getShadowLogo();
    pShadow->setPosition(15.0f, 3.75f);
    menu->onUpdate(0.25f);
    EXPECT_EQ(2, menu->getShadowState());
    EXPECT_EQ(3.0f, pShadow->getYf());
    int nTurns = 0;
    for (int i = 0, nState = 2; i < 100; ++i, nState = menu->getShadowState()) {
        menu->onUpdate(0.25f);
        nTurns += menu->getShadowState() != nState;
        EXPECT_TRUE(pShadow->getXf() >= 10 && pShadow->getXf() <= 15 && pShadow->getYf() >= 3 && pShadow->getYf() <= 8);
    }
    EXPECT_GE(nTurns, 8);
    EXPECT_EQ(1.0f, menu->getLogo().getAt(0)->getAlpha());  // the last group has faded in too
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
    // ... centred on the name.
    Tsl::SmartPtr<Label> pName = menu->getNameLabel();
    EXPECT_EQ(pName->getX() + pName->getWidth() / 2, menu->getNotMe()->getX() + menu->getNotMe()->getWidth() / 2);
    app.onMouseDown(1, nX, nY);
    app.onMouseUp(1, nX, nY);
    EXPECT_TRUE(dynamic_cast<SelectProfileDialog*>(top()));
    EXPECT_EQ(MenuMode::PLAY_NONE, menu->getPlayMode());
    step();
    EXPECT_FALSE(menu->getNotMe()->isVisible()) << "the hint lies cut off under the dialog";
}

}  // namespace
