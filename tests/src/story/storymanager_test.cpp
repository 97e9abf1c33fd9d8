// The story's step machine over stand-in screens: a whole story, failed and
// abandoned levels, quick play, released resources and damaged profiles.
#include "story_support.h"

#include "field/tip.h"
#include "rules/storyrules.h"

#include "screens/names.h"

namespace {

typedef StoryManagerMode Smm;

struct StoryProgressTest : StoryTest {
    bool flowerShows(const Tsl::SmartPtr<Smm>& pStory, int nLevel, const char* pszImage) {
        return pStory->getFlowers().getAt(nLevel)->getImage().get() == app.getImage(pszImage).get();
    }
};

TEST_F(StoryProgressTest, ANewStoryRunsFromItsPagesThroughFiftyLevelsToTheScoreAndLeaves) {
    player->m_nTotalScore = 77;
    player->m_anUpgrades[UpgradeManager::KIND_CHAIR_1] = 2;
    app.setSetting(Names::SET_LAST_CUTSCENE, "3");
    Tsl::SmartPtr<Smm> pStory = open(0);
    EXPECT_TRUE(player->m_bStoryStarted);
    EXPECT_EQ(0, player->m_nTotalScore);
    EXPECT_EQ(UpgradeLevels({0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}), player->m_anUpgrades);
    EXPECT_EQ("pages historieta_1 historieta_1a ms_story", factory.last());
    endTop();
    const char* apszPages[] = {"", "pages historieta_2 ms_story", "pages historieta_3 ms_story",
                               "pages historieta_4a historieta_4b ms_story", "pages historieta_5a historieta_5b ms_story"};
    for (int nLevel = 0; nLevel < 50; ++nLevel) {
        SCOPED_TRACE(nLevel);
        int nStage = nLevel / 10;
        EXPECT_FALSE(pStory->isLastLevelOfStage());
        pStory->onCallback(Smm::ID_PLAY_NEXT, 0);
        ASSERT_EQ("play scene" + std::to_string(nStage) + " m0 d1 t-1", factory.last());
        EXPECT_EQ(nLevel % 10 == 9, pStory->isLastLevelOfStage());
        pStory->addScore(10);
        pStory->addMoney(30);
        endTop();
        if (nLevel % 10 == 9 && nLevel < 49) {
            EXPECT_EQ(apszPages[nStage + 1], factory.last());
            EXPECT_EQ(Tsl::String(nStage + 1 < 3 ? "3" : std::to_string(nStage + 1).c_str()),
                      app.getSetting(Names::SET_LAST_CUTSCENE));
            endTop();
            EXPECT_FALSE(pStory->getLocks().getAt(nStage + 1)->isVisible());
        }
        EXPECT_EQ(nLevel + 1, player->m_nLevelsWon);
        if (nLevel == 49) break;
        EXPECT_EQ(Smm::STEP_WAITING, pStory->getStep());
        int nNext = nLevel + 1;
        bool bLarge = nNext % 10 == 0 || nNext == 49;
        EXPECT_TRUE(flowerShows(pStory, nNext, Tsl::String::format("mapa_flor_%d_%s", nNext / 10 + 1, bLarge ? "L" : "S").c_str()));
    }
    EXPECT_EQ(999, player->m_nMoney);
    EXPECT_EQ(5, player->m_nStage);
    EXPECT_EQ(50, player->m_nStoryLevel);
    EXPECT_TRUE(player->m_bStoryFinished);
    EXPECT_EQ("pages historieta_6a historieta_6c ms_story_win", factory.last());
    EXPECT_EQ(Tsl::String("5"), app.getSetting(Names::SET_LAST_CUTSCENE));
    endTop();
    EXPECT_EQ("congratulations HF_Newhigh", factory.last());
    EXPECT_EQ("score 500 Ann t0", factory.made[factory.made.size() - 2]);
    EXPECT_EQ(MS_RUNNING, pStory->getState());
    endTop();
    EXPECT_EQ(MS_ENDED, pStory->getState());
    std::string sLog = logText();
    EXPECT_EQ(0u, sLog.find("SMc\n")) << sLog;
    EXPECT_NE(std::string::npos, sLog.find("B: >SM M0 S0-0\n"));
    EXPECT_NE(std::string::npos, sLog.find("SM push PM Path 1 nS4\n"));
    EXPECT_FALSE(app.getSetting("PLAYER_MANAGER_PLAYER_PROFILE_DATA").isEmpty());
}

TEST_F(StoryProgressTest, FailedOrAbandonedLevelsBringNoProgress) {
    player->m_bStoryStarted = true;
    player->m_nStoryLevel = 9;
    Tsl::SmartPtr<Smm> pStory = open(0);
    EXPECT_EQ(Smm::STEP_WAITING, pStory->getStep());
    for (int nResult : {Smm::RESULT_FAILED, Smm::RESULT_NO_PROGRESS}) {
        SCOPED_TRACE(nResult);
        pStory->onCallback(Smm::ID_PLAY_NEXT, 0);
        EXPECT_TRUE(pStory->isLastLevelOfStage());
        pStory->addScore(5);
        pStory->setLevelResult(nResult);
        endTop();
        EXPECT_EQ(Smm::STEP_WAITING, pStory->getStep());
        EXPECT_FALSE(pStory->isLastLevelOfStage());
        EXPECT_EQ(9, player->m_nStoryLevel);
        EXPECT_EQ(0, player->m_nLevelsWon);
        EXPECT_EQ(0, player->m_nStage);
    }
    EXPECT_EQ(10, player->m_nTotalScore);  // what the level added stays
    // Without a store the map stays; exit leaves.
    factory.made.clear();
    pStory->onCallback(Smm::ID_EXIT, 0);
    EXPECT_EQ(MS_ENDED, pStory->getState());
    EXPECT_TRUE(factory.made.empty());
}

TEST_F(StoryProgressTest, DamagedProfilesStayInsideTheTables) {
    struct Case {
        int nStage, nLevel, nDifficulty;
        bool bStarted;
        const char* pszPlay;
        int nStageAfter, nLevelAfter;
        const char* pszAfter;
    };
    const Case cases[] = {
        {5, 49, 1, true, "play scene4 m0 d1 t-1", 5, 50, "pages historieta_6a historieta_6c ms_story_win"},
        {4, 50, 1, true, "play scene4 m0 d1 t-1", 5, 50, "pages historieta_6a historieta_6c ms_story_win"},
        {0, 0, 7, false, "play scene0 m0 d2 t-1", 0, 1, "play scene0 m0 d2 t-1"},
        {0, 0, -3, false, "play scene0 m0 d0 t-1", 0, 1, "play scene0 m0 d0 t-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszPlay);
        player->m_nStage = c.nStage;
        player->m_nStoryLevel = c.nLevel;
        player->m_bStoryStarted = c.bStarted;
        Tsl::SmartPtr<Smm> pStory = open(0, c.nDifficulty);
        if (!c.bStarted) endTop();
        pStory->onCallback(Smm::ID_PLAY_NEXT, 0);
        EXPECT_EQ(c.pszPlay, factory.last());
        EXPECT_FALSE(pStory->isLastLevelOfStage());
        endTop();
        EXPECT_EQ(c.nStageAfter, player->m_nStage);
        EXPECT_EQ(c.nLevelAfter, player->m_nStoryLevel);
        EXPECT_EQ(c.pszAfter, factory.last());
        while (pStory->getState() == MS_RUNNING && app.getModeAt(0).get() != pStory.get()) endTop();
        if (pStory->getState() == MS_RUNNING) pStory->onCallback(Smm::ID_EXIT, 0);
    }
    // A won story's player picks the store in relax mode: the last scene's
    // store, which keeps a purchase as relax mode keeps a level.
    player->m_nStage = 5;
    player->m_bStoryFinished = true;
    Tsl::SmartPtr<Smm> pPicker = open(1);
    pPicker->setStep(Smm::STEP_STORE);
    pPicker->onActivate();
    EXPECT_EQ("store scene4 m1", factory.last());
}

TEST_F(StoryProgressTest, ProgressSurvivesARestart) {
    app.setSettingsFile(testPath("settings.dat").c_str());
    Tsl::SmartPtr<Smm> pStory = open(0);
    endTop();
    pStory->onCallback(Smm::ID_PLAY_NEXT, 0);
    pStory->addMoney(40);
    endTop();
    pStory->onCallback(Smm::ID_EXIT, 0);
    ASSERT_EQ(MS_ENDED, pStory->getState());
    // A new run reads the profiles from the settings file: back on the map
    // the won level was written there already.
    app.setSetting(ScreenNames::SET_PROFILES, "");
    ASSERT_TRUE(app.loadSettings());
    destroyPlayerManager();
    QarnPlayer* pAgain = getPlayerManager()->getProfile("Ann");
    ASSERT_TRUE(pAgain);
    EXPECT_TRUE(pAgain->m_bStoryStarted);
    EXPECT_EQ(1, pAgain->m_nStoryLevel);
    EXPECT_EQ(1, pAgain->m_nLevelsWon);
    EXPECT_EQ(40, pAgain->m_nSavedMoney);
    EXPECT_EQ(1, pAgain->m_anSavedUpgrades[UpgradeManager::KIND_STATION_0]);
}

struct QuickPlayTest : StoryTest {
    static int s_nNext;
    static std::vector<int> s_script;
    void script(std::vector<int> values) {
        s_script = values;
        s_nNext = 0;
        Tsl::setGameRandSource([](void*) { return s_script[s_nNext++ % s_script.size()]; }, nullptr);
    }
    void clickSite(int nSite) {
        const Smm::Site& site = Smm::MAP_SITES[nSite];
        int nX = (site.nLeft + site.nRight) / 2, nY = (site.nTop + site.nBottom) / 2;
        app.onMouseMove(nX, nY, true);
        app.onMouseMove(nX + 1, nY, true);
        app.onMouseDown(1, nX, nY);
        app.onMouseUp(1, nX, nY);
    }
    std::vector<int> upgrades() { return std::vector<int>(player->m_anUpgrades.begin(), player->m_anUpgrades.end()); }
};
int QuickPlayTest::s_nNext = 0;
std::vector<int> QuickPlayTest::s_script;

TEST_F(QuickPlayTest, UpgradesPerPlayModeTheClickedSceneAndResourcesKeptForTheSameScene) {
    player->m_anBestUpgrades = {3, 0, 0, 0, 0, 0, 0, 0, 2, 1, 2, 2, -1};
    player->m_nMinutes = 5;
    player->m_nMoney = 40;
    Tsl::SmartPtr<Smm> pRelax = open(1);
    script({5, 7, 9, 9, 2, 3, 4, 5});
    clickSite(2);
    EXPECT_EQ("play scene2 m1 d1 t5", factory.last());
    // r(0) twice gives both stations 0, so the first is set; a best below 0 draws nothing.
    EXPECT_EQ(std::vector<int>({1, 1, 1, 1, 1, 1, 1, 0, 2, 1, 1, 2, 0}), upgrades());
    EXPECT_EQ(8, s_nNext);
    EXPECT_EQ(0, player->m_nMoney);
    player->m_nQuickPlayScore = 120;
    pRelax->setLevelResult(Smm::RESULT_FAILED);
    factory.bEnter = false;
    endTop();
    EXPECT_EQ("score 120 Ann t1", factory.last());
    EXPECT_EQ(0, player->m_nQuickPlayScore);
    pRelax->onCallback(Smm::ID_EXIT, 0);

    // Free play: fixed upgrades; the level resources go only when the scene changes.
    addFile("extra.anim", "load px\nseq default\nadd px\n");
    Tsl::SmartPtr<Smm> pFree = open(2);
    for (const std::pair<int, bool>& s : {std::make_pair(1, true), std::make_pair(1, true), std::make_pair(3, false)}) {
        app.getAnimation("extra.anim");
        app.addImage("extra", picture(4, 4));
        clickSite(s.first);
        EXPECT_EQ("play scene" + std::to_string(s.first) + " m2 d1 t5", factory.made[factory.made.size() - 1]);
        EXPECT_EQ(std::vector<int>({0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}), upgrades());
        EXPECT_EQ(s.second, app.hasAnimation("extra.anim"));
        EXPECT_EQ(s.second, app.getCachedImageNames().indexOf("extra") >= 0);
        EXPECT_TRUE(app.hasAnimation("palm_map.anim"));
        pFree->setLevelResult(Smm::RESULT_FAILED);
        endTop();
    }
    EXPECT_NE(std::string::npos, logText().find("SM push PM Path 2 nIdx3\n"));
}

}  // namespace

TEST(StoryReports, MoneyStopsAt999AndTheLastLevelOfAStageIsKnown) {
    QarnPlayer player;
    StoryManagerMode story(0, 3, &player, 0, StoryManagerMode::NO_MAP);
    player.m_nMoney = 990;
    story.addMoney(25);
    EXPECT_EQ(story.getMoney(), StoryRules::MONEY_CAP);
    story.setStep(2);
    struct Case {
        int nStage, nLevel;
        bool bLast;
    } cases[] = {{0, 9, true}, {0, 8, false}, {4, 49, true}, {5, 50, false}};
    for (const Case& c : cases) {
        player.m_nStage = c.nStage;
        player.m_nStoryLevel = c.nLevel;
        EXPECT_EQ(story.isLastLevelOfStage(), c.bLast) << c.nStage << "/" << c.nLevel;
    }
    story.setStep(3);
    player.m_nStage = 0;
    player.m_nStoryLevel = 9;
    EXPECT_FALSE(story.isLastLevelOfStage());
    story.setLevelResult(2);
    EXPECT_EQ(story.getPendingAction(), 2);
}
