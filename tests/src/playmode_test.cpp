// A level played headless: the scene loads under the loading dialog, the
// week's goal is closed, a customer comes and is served by scripted clicks,
// the bar closes on time and the level reports once.
#include "playfield_fixture.h"

#include "character.h"
#include "gamestatsmode.h"
#include "qarnplayer.h"
#include "spawnmanager.h"
#include "storymanager.h"
#include "tip.h"
#include "upgrademanager.h"
#include "waitress.h"
#include "weekgoals.h"

#include "ui/label.h"

namespace {
enum { TAP_X = 650, TAP_Y = 280, SINK_X = 740, SINK_Y = 280, SEAT_X = 200, SEAT_Y = 200, BALLOON_Y = 110 };
}

struct LevelTest : PlayFieldFixture {
    QarnPlayer player;
    Tsl::SmartPtr<StoryManagerMode> pStory;
    Tsl::SmartPtr<PlayMode> pMode;

    void SetUp() override {
        PlayFieldFixture::SetUp();
        addText("scene0.scene", fixture::barScene());
        addText("chars_scene0_0", "bob 1\n");
        for (bool& b : player.m_abTipShown) b = true;
    }

    // Into the level: loading, the week's goal closed, the bar open.
    void enter(int nPlayMode = 0, int nMinutes = -1, bool bStory = true) {
        pStory = new StoryManagerMode(0, 3, &player, nPlayMode, StoryManagerMode::NO_MAP);
        pStory->setStep(2);
        pMode = new PlayMode("scene0", nPlayMode, 0, &player, nMinutes);
        if (bStory) pMode->setStoryManager(pStory.get());
        pMode->getSpawnManager()->getRandom().setSeed(3);
        app.pushMode(pMode.get());
        for (int i = 0; i < 3 && pMode->getPhase() != PlayMode::PHASE_WEEK_GOAL; ++i) frame();
        ASSERT_EQ(pMode->getPhase(), PlayMode::PHASE_WEEK_GOAL);
        ASSERT_TRUE(dynamic_cast<WeekGoalDialog*>(app.getModeAt(0).get()));
        app.onKeyDown(13, 0);
        frame();
        ASSERT_EQ(pMode->getPhase(), PlayMode::PHASE_PLAYING);
    }

    void click(int nX, int nY, int nButton = MB_LEFT) { app.onMouseDown(nButton, nX, nY); }

    // Frames until the condition holds; false when it never did.
    template <class Condition>
    bool runUntil(Condition done, int nFrames = 400) {
        for (int i = 0; i < nFrames; ++i) {
            if (done()) return true;
            frame();
        }
        return done();
    }

    Tsl::SmartPtr<Character> customer() { return pMode->getField()->m_lSeatOccupants.getAt(0); }
    Waitress* waitress() { return pMode->getWaitress(); }
    // The middle of the box the field draws the picture in.
    std::pair<int, int> centreOfSprite(const Tsl::SmartPtr<Image>& pImage) {
        for (SpriteList* pLayer : pMode->getLayers())
            for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer)
                if (pSprite->getImage() == pImage) {
                    Rect box = pSprite->getScreenRect();
                    return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
                }
        return {-1, -1};
    }
    bool idle() { return waitress()->isFree() && pMode->getCommandCount() == 0 && pMode->getQueuedClickCount() == 0; }
};

TEST_F(LevelTest, ScriptedClicksServeACustomer) {
    // The hints the map brings back together until all were seen.
    const int anServingHints[] = {3, 4, 5, 6, 7, 18};
    for (int nTip : anServingHints) player.m_abTipShown[nTip] = false;
    enter();
    m_aRand.assign(8, 0);  // bob, seat 0, voice, drink
    ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
    click(SEAT_X, BALLOON_Y);  // the balloon: the order is taken at once
    EXPECT_EQ(customer()->getState(), Character::STATE_WAITING);
    click(TAP_X, TAP_Y);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    ASSERT_FALSE(waitress()->isHandEmpty(0));
    EXPECT_EQ(waitress()->getX(), 650);
    click(SEAT_X, SEAT_Y);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_TRUE(waitress()->isHandEmpty(0));
    ASSERT_TRUE(runUntil([&] { return pMode->getField()->m_nMoney > 0; }));
    EXPECT_EQ(pMode->getField()->m_nMoney, Character::DRINK_PRICE);
    EXPECT_EQ(pMode->getField()->m_nCustomersServed, 1);
    EXPECT_EQ(pMode->getField()->m_nStars, Character::MAX_STARS);
    // The used glass: taken from the seat with the right hand, washed at the sink.
    runUntil([&] { return !customer(); }, 4);
    click(SEAT_X, SEAT_Y, MB_RIGHT);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_EQ(waitress()->getMugCount(), 1);
    click(SINK_X, SINK_Y);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_EQ(waitress()->getMugCount(), 0);
    // One served guest has shown all of them: they stop coming back.
    for (int nTip : anServingHints) EXPECT_TRUE(player.m_abTipShown[nTip]) << nTip;
}

TEST_F(LevelTest, EachHandHoldsWhatItTook) {
    enter();
    enum { COASTER_X = 100, COASTER_Y = 280 };
    click(TAP_X, TAP_Y, MB_RIGHT);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_TRUE(waitress()->isHandEmpty(0));
    EXPECT_FALSE(waitress()->isHandEmpty(1));
    // Put down with the right hand, taken up again with the left.
    click(COASTER_X, COASTER_Y, MB_RIGHT);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_EQ(waitress()->getMugCount(), 0);
    click(COASTER_X, COASTER_Y);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_FALSE(waitress()->isHandEmpty(0));
    EXPECT_TRUE(waitress()->isHandEmpty(1));
}

TEST_F(LevelTest, ClicksQueueUpToSixAndABlockedWalkIsRefused) {
    enter();
    for (int i = 0; i < 10; ++i) click(TAP_X, TAP_Y, i % 2 ? MB_RIGHT : MB_LEFT);
    EXPECT_EQ(pMode->getQueuedClickCount(), PlayMode::CLICK_QUEUE_LIMIT);
    // The wheel does nothing.
    click(TAP_X, TAP_Y, MB_WHEEL_UP);
    EXPECT_EQ(pMode->getQueuedClickCount(), PlayMode::CLICK_QUEUE_LIMIT);
    // Off the floor: no route, the waitress stays.
    EXPECT_FALSE(pMode->walkTo(400, 100));
    EXPECT_FALSE(pMode->isWalkPending());
    // The queue drains: two hands, then every further tap is refused.
    ASSERT_TRUE(runUntil([&] { return idle(); }, 800));
    EXPECT_EQ(waitress()->getMugCount(), 2);
}

TEST_F(LevelTest, AWalkThatCannotGoOnEndsAndDropsItsAction) {
    enter();
    click(TAP_X, TAP_Y);
    for (int i = 0; i < 4; ++i) frame();
    ASSERT_TRUE(pMode->isWalkPending());
    // The floor shrinks around her: every further step is refused.
    int nX = waitress()->getX(), nY = waitress()->getY();
    pMode->editScene().m_lWalkAreas.clear();
    pMode->editScene().m_lWalkAreas.append(WalkArea{nX - 2, nY - 2, nX + 3, nY + 3, 200});
    ASSERT_TRUE(runUntil([&] { return idle(); }, PlayMode::STALL_FRAMES + 8));
    EXPECT_FALSE(pMode->isWalkPending());
    EXPECT_EQ(waitress()->getMugCount(), 0);
}

TEST_F(LevelTest, AnOpenTipTakesTheClickAndHoldsTheCustomers) {
    for (bool& b : player.m_abTipShown) b = false;
    enter();
    ASSERT_TRUE(pMode->getTip()->isShown());
    EXPECT_TRUE(player.m_abTipShown[PlayMode::TIP_LEVEL_START]);
    // The map's own hints stay due: their numbers are not the level's.
    for (int nTip : StoryManagerMode::MAP_TIPS) EXPECT_FALSE(player.m_abTipShown[nTip]) << nTip;
    for (int i = 0; i < 40; ++i) frame();
    EXPECT_EQ(pMode->getSpawnManager()->getCustomerCount(), 0);
    click(TAP_X, TAP_Y);
    EXPECT_EQ(pMode->getCommandCount(), 3) << "a click outside the bubble still acts";
    click(260, 90);
    EXPECT_TRUE(pMode->getTip()->isHidden());
}

TEST_F(LevelTest, TheBarClosesOnTimeAndTheLevelReportsOnce) {
    // The closing sign, its insertion point off its centre as a picture's may be.
    Tsl::SmartPtr<Image> pSign = app.createImage(320, 130, true);
    pSign->setInsPoint(30, 12);
    app.addImage("parrot_banner_closing", pSign);
    struct Case {
        int nPlayMode;
        int nMinutes;
        int nExpectedSeconds;
        bool bStory;
    } cases[] = {{0, -1, 120, true}, {1, 0, 180, true}, {2, 1, 60, true}, {0, 1, 60, false}};
    for (const Case& c : cases) {
        enter(c.nPlayMode, c.nMinutes, c.bStory);
        frame();
        // Only the story's levels have a goal to show beside the money.
        EXPECT_EQ(std::string(c.nPlayMode == 0 ? "$0 / $40" : "$0"), pMode->getMoneyLabel()->getText().c_str());
        player.m_nMoney = 5;
        player.m_nQuickPlayScore = -1;
        // Nobody is served: customers give up and leave.
        m_aRand.clear();
        int nResults = 0;
        for (int i = 0; i < 8 * 400 && pMode->getPhase() == PlayMode::PHASE_PLAYING; ++i) frame();
        EXPECT_GE(pMode->getLevelSeconds(), c.nExpectedSeconds) << c.nPlayMode;
        EXPECT_LT(pMode->getLevelSeconds(), c.nExpectedSeconds + Character::MAX_PATIENCE) << c.nPlayMode;
        EXPECT_EQ(std::make_pair(400, 300), centreOfSprite(pSign)) << "the closing sign stands in the field's middle";
        for (int i = 0; i < app.getModeCount(); ++i)
            nResults += dynamic_cast<GameStatsMode*>(app.getModeAt(i).get()) != nullptr;
        EXPECT_EQ(nResults, 1);
        // The results count up, then their button ends them.
        GameStatsMode* pStats = dynamic_cast<GameStatsMode*>(app.getModeAt(0).get());
        ASSERT_TRUE(pStats);
        for (int i = 0; i < 400 && pStats->getPhase() < 6; ++i) frame();
        pStats->onCallback(0, 0);
        for (int i = 0; i < 3; ++i) frame();
        EXPECT_EQ(app.getModeCount(), 0) << c.nPlayMode;
        // No money: the story level failed; the timed modes always report their end.
        EXPECT_EQ(pStory->getPendingAction(), c.bStory ? 2 : 0) << c.nPlayMode;
        if (c.nPlayMode == 0) {
            EXPECT_EQ(player.m_nMoney, 5);
            EXPECT_EQ(player.m_nQuickPlayScore, -1);
        } else {
            EXPECT_EQ(player.m_nQuickPlayScore, 0);
        }
    }
}

// Once the bar has closed nobody new sits down, whatever the draws and
// however many seats customers who gave up leave free.
TEST_F(LevelTest, NobodyArrivesAfterTheBarHasClosed) {
    addText("chars_scene0_0", "bob 1\nann 2\n");
    Tsl::setGameRandSource(nullptr, nullptr);
    Tsl::seedGameRand(20240611u);
    enter(1, 1);
    std::vector<std::pair<Character*, float>> aArrivals;
    for (int i = 0; i < 8 * (60 + 3 * Character::MAX_PATIENCE) && pMode->getPhase() == PlayMode::PHASE_PLAYING; ++i) {
        frame();
        for (const Tsl::SmartPtr<Character>& pChar : pMode->getField()->m_lSeatOccupants) {
            bool bSeen = !pChar;
            for (const auto& arrival : aArrivals) bSeen = bSeen || arrival.first == pChar.get();
            if (!bSeen) aArrivals.push_back({pChar.get(), pMode->getLevelSeconds()});
        }
    }
    ASSERT_GE(aArrivals.size(), 3u);
    for (const auto& arrival : aArrivals) EXPECT_LE(arrival.second, 60.0f);
    EXPECT_NE(PlayMode::PHASE_PLAYING, pMode->getPhase());
}

// A story level adds its money and ten points a star to the score, and is
// won when its money reaches the goal exactly.
TEST_F(LevelTest, AStoryLevelScoresItsMoneyAndStarsAndIsWonAtTheGoal) {
    addText("chars_scene0_0", "");
    struct Case {
        int nMoney, nStars, nScore, nPending;
    } cases[] = {{40, 3, 70, 0}, {39, 0, 39, StoryManagerMode::ACTION_LEVEL_FAILED}};
    for (const Case& c : cases) {
        player.m_nTotalScore = 0;
        enter(0, 1);
        pMode->onCustomerPaid(c.nMoney, c.nStars);
        ASSERT_TRUE(runUntil([&] { return pMode->getPhase() != PlayMode::PHASE_PLAYING; }, 8 * 70));
        EXPECT_EQ(c.nScore, pStory->getScore()) << c.nMoney;
        EXPECT_EQ(c.nPending, pStory->getPendingAction()) << c.nMoney;
        while (app.getModeCount() > 0) app.endMode(app.getModeAt(0).get());
    }
}

TEST_F(LevelTest, QuittingFromTheOptionsBringsNoProgress) {
    enter();
    pMode->onCallback(PlayMode::CB_QUIT_LEVEL, 0);
    frame();
    EXPECT_EQ(app.getModeCount(), 0);
    EXPECT_EQ(pStory->getStep(), 3);
    EXPECT_EQ(pStory->getPendingAction(), 0);
}

TEST_F(LevelTest, TheCustomersAnimationsLeaveWithTheLevel) {
    auto customerAnimations = [&] {
        int nCount = 0;
        for (const Tsl::String& sKey : app.getAnimationNames()) nCount += sKey.left(3) == "ch_";
        return nCount + app.getPreloadQueueLength();
    };
    // One level is left with its customer seated, the next with one still loading.
    struct Case {
        const char* pszDefinitions;
        bool bSeated;
    } cases[] = {{"hombre 1\n", true}, {"bob 1\n", false}};
    for (const Case& c : cases) {
        addText("chars_scene0_0", c.pszDefinitions);
        enter();
        SpawnManager* pSpawn = pMode->getSpawnManager();
        ASSERT_TRUE(runUntil([&] { return c.bSeated ? pSpawn->getCustomerCount() > 0 : !pSpawn->getPending().isEmpty(); }));
        EXPECT_GT(customerAnimations(), 0);
        pMode->onCallback(PlayMode::CB_QUIT_LEVEL, 0);
        frame();
        ASSERT_EQ(app.getModeCount(), 0);
        EXPECT_EQ(customerAnimations(), 0) << c.pszDefinitions;
    }
}

TEST_F(LevelTest, BrokenArtOfThePlayRefusesTheLevelAtItsStart) {
    for (const char* pszArt : {"mug.anim", "balloon.anim"}) {
        addText(pszArt, "load px\nbogus\n");
        pMode = new PlayMode("scene0", 0, 0, &player, -1);
        app.pushMode(pMode.get());
        for (int i = 0; i < 4; ++i) frame();
        EXPECT_EQ(pMode->getPhase(), PlayMode::PHASE_DONE) << pszArt;
        pMode->onCallback(PlayMode::CB_SCENE_ERROR, 0);
        while (app.getModeCount() > 0) app.endMode(app.getModeAt(0).get());
        addText(pszArt, fixture::customerTemplate());
    }
}

TEST_F(LevelTest, TheScenesAnimationsAndTheOrderBalloonsPlay) {
    const char* pszLoop = "load px\nseq default fps 8 loop\nadd px\nadd px\n";
    addText("wave.anim", pszLoop);
    addText("balloon.anim", pszLoop);
    addText("scene0.scene", fixture::barScene() + "animation wave.anim\nanimsprite wave.anim 10 20 5\n"
                                                  "animsprite_conditional wave.anim 30 20 5 juice juicer_0\n");
    player.m_anUpgrades[UpgradeManager::KIND_STATION_0] = 1;
    enter();
    ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
    std::vector<std::pair<AnimSprite*, int>> aPlaying;
    for (SpriteList* pLayer : pMode->getLayers())
        for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
            AnimSprite* p = dynamic_cast<AnimSprite*>(pSprite.get());
            if (p && (p->getAnimation() == app.getAnimation("wave.anim") ||
                      p->getAnimation() == app.getAnimation("balloon.anim")))
                aPlaying.push_back({p, p->getFrame()});
        }
    ASSERT_EQ(aPlaying.size(), 3u);
    frame();
    for (const auto& sprite : aPlaying) EXPECT_NE(sprite.first->getFrame(), sprite.second) << sprite.first->getX();
}

TEST_F(LevelTest, ABrokenSceneShowsAMessageAndLeaves) {
    addText("scene0.scene", "topy 300\nbottomy 200\n");
    pStory = new StoryManagerMode(0, 3, &player, 0, StoryManagerMode::NO_MAP);
    pStory->setStep(2);
    pMode = new PlayMode("scene0", 0, 0, &player, -1);
    pMode->setStoryManager(pStory.get());
    app.pushMode(pMode.get());
    for (int i = 0; i < 4; ++i) frame();
    ASSERT_EQ(pMode->getPhase(), PlayMode::PHASE_DONE);
    ASSERT_EQ(app.getModeCount(), 2);
    app.getModeAt(0)->onCallback(0, 0);
    pMode->onCallback(PlayMode::CB_SCENE_ERROR, 0);
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(pStory->getStep(), 3);
}
