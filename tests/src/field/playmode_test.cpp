// A level played headless: the scene loads under the loading dialog, the
// week's goal is closed, a customer comes and is served by scripted clicks,
// the bar closes on time and the level reports once.
#include "game_fixtures.h"
#include "playfield_fixture.h"

#include "field/customers/character.h"
#include "field/gamestatsmode.h"
#include "pages/loadingdialog.h"
#include "field/mug.h"
#include "field/refusalnote.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "field/customers/spawnmanager.h"
#include "story/storymanager.h"
#include "field/tip.h"
#include "rules/upgrademanager.h"
#include "field/waitress.h"
#include "field/weekgoals.h"

#include "screens/miscdialogs.h"
#include "screens/names.h"
#include "test_folder.h"
#include "ui/label.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {
enum { TAP_X = 650, TAP_Y = 280, SINK_X = 740, SINK_Y = 280, SEAT_X = 200, SEAT_Y = 200, BALLOON_Y = 40, COASTER_X = 100 };
}

struct LevelTest : PlayFieldFixture {
    QarnPlayer player;
    QarnPlayer* pPlayer = &player;  // the one who plays
    Tsl::SmartPtr<StoryManagerMode> pStory;
    Tsl::SmartPtr<PlayMode> pMode;

    void SetUp() override {
        PlayFieldFixture::SetUp();
        addText("scene0.scene", fixture::barScene());
        addText("chars_scene0_0", "bob 1\n");
        for (bool& b : player.m_abTipShown) b = true;
        for (int n = 0; n < Names::ORDER_PATIENCE_STEPS; ++n)
            for (const char* pszPicture : {"order_drink", "order_patience"})
                app.addImage((pszPicture + std::to_string(n)).c_str(), app.createImage(8, 8, true));
    }

    // Into the level: loading, the week's goal closed, the bar open.
    void enter(int nPlayMode = 0, int nMinutes = -1, bool bStory = true) {
        pStory = new StoryManagerMode(0, 3, pPlayer, nPlayMode, StoryManagerMode::NO_MAP);
        pStory->setStep(2);
        pMode = new PlayMode("scene0", nPlayMode, 0, pPlayer, nMinutes);
        if (bStory) pMode->setLevelReport(pStory.get());
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
    std::string customerLook() { return customer()->getSprite()->getSequenceName().c_str(); }

    // The visible sprites of the level showing the picture or playing the animation.
    int shown(const char* pszPicture) {
        bool bAnimation = std::string(pszPicture).find(".anim") != std::string::npos;
        int nShown = 0;
        for (SpriteList* pLayer : pMode->getLayers())
            for (const Tsl::SmartPtr<Sprite>& p : *pLayer) {
                AnimSprite* pAnim = dynamic_cast<AnimSprite*>(p.get());
                nShown += p->isVisible() && (bAnimation ? pAnim && pAnim->getAnimation() == app.getAnimation(pszPicture)
                                                        : p->getImage() == app.getImage(pszPicture));
            }
        return nShown;
    }
    // The guest at seat 0 asks, and the order is taken at its balloon.
    void takeOrder() {
        ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
        click(SEAT_X, BALLOON_Y);
        ASSERT_EQ(customer()->getState(), Character::STATE_WAITING);
    }
    // Her left hand takes a glass from the tap, then offers it at seat 0.
    void serveFrom(int nTapX) {
        click(nTapX, TAP_Y);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
        click(SEAT_X, SEAT_Y);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
    }
    Waitress* waitress() { return pMode->getWaitress(); }
    void quit() {
        pMode->onCallback(PlayMode::CB_QUIT_LEVEL, 0);
        frame();
    }
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
    enum Held { NONE = -1, USED, FULL, DECORATED, OTHER };
    // What she carries, slot by slot: drink 0 full, decorated or drunk, or drink 1.
    void hold(const std::vector<int>& aSlots) {
        for (size_t i = 0; i < aSlots.size(); ++i) {
            if (aSlots[i] == NONE) continue;
            Tsl::SmartPtr<Mug> pMug = new Mug(pMode.get());
            pMug->fill(aSlots[i] == OTHER ? 1 : 0);
            for (int nSip = 0; aSlots[i] == USED && nSip < Mug::FULL_SIPS; ++nSip) pMug->sip();
            if (aSlots[i] == DECORATED) pMug->decorate();
            waitress()->setHandContents(pMug, int(i));
        }
    }
    std::string saidRefusal() { return pMode->getRefusalNote()->getText().c_str(); }
    // The words of each reason (their keys here), by ActionSpot::Refusal: a
    // list of reasons in another order would swap them.
    std::string refusal(int nWhy) {
        const char* const apszSaid[] = {"NotNow",    "NoWay",   "QueueFull", "HandFull",  "HandsFull",  "TrayFull",
                                        "HandEmpty", "NoGlass", "NoDrink",   "Decorated", "NotOrdered", "GuestGone"};
        return std::string("REFUSED_") + apszSaid[nWhy];
    }
};

// What the level shows is made ready a slice a frame under the loading
// dialog, and the level is built once all of it is there: in the first
// update when it was there already (the second entry, after the first).
TEST_F(LevelTest, TheLevelIsBuiltUnderTheDialogOnceWhatItShowsIsReady) {
    addText("scene0.scene", "image bar\nsprite bar 0 0 10\n" + fixture::barScene());
    addText("bar", makeBmp(16, 8));
    for (int n = 4; n < LoadingDialog::CLOCK_STEPS; ++n)  // the clock turns all the way round
        app.addImage(Tsl::String::format(Names::IMG_CLOCK_HAND, n).c_str(), app.createImage(8, 8, true));
    // Each picture and each line of the waitress's figure takes 10 ms of the clock.
    app.platform->m_nTicksPerRead = 10;
    for (bool bReady : {false, true}) {
        SCOPED_TRACE(bReady);
        pMode = new PlayMode("scene0", 0, 0, pPlayer, -1);
        app.pushMode(pMode.get());
        int nUpdates = 0;
        for (; pMode->getPhase() == PlayMode::PHASE_LOADING && nUpdates < 400; ++nUpdates) {
            frame();
            if (nUpdates == 0) {
                EXPECT_GE(app.getCachedImageNames().indexOf("bar"), 0);
            }
        }
        EXPECT_EQ(bReady, nUpdates == 1);
        EXPECT_EQ(PlayMode::PHASE_LOADED, pMode->getPhase());
        EXPECT_EQ(0, app.getImagePreloadQueueLength() + app.getPreloadQueueLength());
    }
}

TEST_F(LevelTest, ScriptedClicksServeACustomer) {
    // The hints the map brings back together until all were seen.
    const int anServingHints[] = {3, 4, 5, 6, 7, 18};
    for (int nTip : anServingHints) player.m_abTipShown[nTip] = false;
    enter();
    // The player reads each tip as it comes: an open one holds the guests.
    auto readTips = [&] {
        if (pMode->getTip()->isShown()) pMode->getTip()->hide();
    };
    m_aRand.assign(8, 0);  // bob, seat 0, voice, drink
    ASSERT_TRUE(runUntil([&] { readTips(); return customer() && customer()->getState() == Character::STATE_ASKING; }));
    click(SEAT_X, BALLOON_Y);  // the balloon: the order is taken at once
    EXPECT_EQ(customer()->getState(), Character::STATE_WAITING);
    click(TAP_X, TAP_Y);
    ASSERT_TRUE(runUntil([&] { readTips(); return idle(); }));
    ASSERT_FALSE(waitress()->isHandEmpty(0));
    EXPECT_EQ(waitress()->getX(), 650);
    click(SEAT_X, SEAT_Y);
    ASSERT_TRUE(runUntil([&] { readTips(); return idle(); }));
    EXPECT_TRUE(waitress()->isHandEmpty(0));
    EXPECT_EQ(shown("order_drink0") + shown("order_patience4"), 0) << "the balloon goes with the drink served";
    ASSERT_TRUE(runUntil([&] { readTips(); return pMode->getField()->m_nMoney > 0; }));
    EXPECT_EQ(pMode->getField()->m_nMoney, Character::DRINK_PRICE);
    EXPECT_EQ(pMode->getField()->m_nCustomersServed, 1);
    EXPECT_EQ(pMode->getField()->m_nStars, Character::MAX_STARS);
    // The used glass: taken from the seat with the right hand, washed at the sink.
    runUntil([&] { readTips(); return !customer(); }, 4);
    click(SEAT_X, SEAT_Y, MB_RIGHT);
    ASSERT_TRUE(runUntil([&] { readTips(); return idle(); }));
    EXPECT_EQ(waitress()->getMugCount(), 1);
    click(SINK_X, SINK_Y);
    ASSERT_TRUE(runUntil([&] { readTips(); return idle(); }));
    EXPECT_EQ(waitress()->getMugCount(), 0);
    // One served guest has shown all of them: they stop coming back.
    for (int nTip : anServingHints) EXPECT_TRUE(player.m_abTipShown[nTip]) << nTip;
}

// Where a click lands: on a target's pictures where they are drawn (not
// where they are see-through, nor around them), the picture drawn on top
// winning, never on a target the scenery hides; a spot the scene draws
// nothing for keeps its click box, and an empty seat shows nothing.
TEST_F(LevelTest, AClickReachesTheTargetDrawnAtThePoint) {
    Tsl::SmartPtr<Image> pHalf = opaque(30, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 15; ++x) pHalf->setColorAt(x, y, Color(0, 0, 0, 0));
    app.addImage("half", pHalf);
    app.addImage("cover", opaque(100, 40));
    app.addImage("basin", opaque(40, 40));
    addText("scene0.scene", fixture::barScene() + "image half\ninspos center bottom half\nsprite half 650 300 80\n"
                                                  "image cover\ninspos center bottom cover\nsprite cover 200 260 65\n"
                                                  "image basin\ninspos center bottom basin\nsprite basin 330 250 80\n"
                                                  "actionspot trashbin 330 240 80 330 330 n\n");
    enter();
    seatGuest(pMode.get(), 0, "bob");
    seatGuest(pMode.get(), 1, "bob");
    // Seats 200, 320 and the VIP place, then the tap, the sink, the coaster and the basin.
    const Tsl::List<Tsl::SmartPtr<ActionSpot>>& spots = pMode->getSpots();
    const struct {
        int nX, nY, nSpot;  // -1: nothing
    } cases[] = {
        {200, 180, 0}, {200, 240, -1},                 // a guest; its legs under the scenery
        {660, 270, 3}, {640, 270, -1}, {660, 235, -1},  // the tap's picture; its see-through half; above it
        {100, 270, 5},                                 // the coaster: no picture, its box
        {330, 230, 6}, {330, 180, 1},                  // the basin drawn over a guest; that guest above it
        {500, 200, -1},                                // the VIP place, nobody there
    };
    for (const auto& c : cases) {
        bool bBalloon = false;
        EXPECT_EQ(pMode->hitTarget(c.nX, c.nY, bBalloon), c.nSpot < 0 ? nullptr : spots.getAt(c.nSpot))
            << c.nX << "," << c.nY;
    }
}

TEST_F(LevelTest, EachHandHoldsWhatItTook) {
    enter();
    enum { COASTER_Y = 280 };
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
    addText("sfx_game_refused.wav", "no");
    // Without a tray and with one: two hands, four places.
    for (int nTray : {0, 1}) {
        player.m_anUpgrades[UpgradeManager::KIND_TRAY] = nTray;
        int nRefused = plays("sfx_game_refused"), nRoom = UpgradeManager::getValue(UpgradeManager::KIND_TRAY, nTray);
        enter();
        const int nClicks = 10;
        for (int i = 0; i < nClicks; ++i) click(TAP_X, TAP_Y, i % 2 ? MB_RIGHT : MB_LEFT);
        EXPECT_EQ(pMode->getQueuedClickCount(), PlayMode::CLICK_QUEUE_LIMIT);
        EXPECT_EQ(saidRefusal(), refusal(ActionSpot::REFUSED_QUEUE_FULL)) << "a click beyond them is refused aloud";
        // The wheel does nothing.
        click(TAP_X, TAP_Y, MB_WHEEL_UP);
        EXPECT_EQ(pMode->getQueuedClickCount(), PlayMode::CLICK_QUEUE_LIMIT);
        // Off the floor: no route, the waitress stays.
        EXPECT_FALSE(pMode->walkTo(400, 100));
        EXPECT_FALSE(pMode->isWalkPending());
        // One more while she walks to the tap: said over her where she
        // stands, not towards where she goes.
        int nStartX = waitress()->getX();
        ASSERT_TRUE(runUntil([&] { return waitress()->getX() != nStartX; }));
        click(TAP_X, TAP_Y);
        Rect note = pMode->getRefusalNote()->getBounds(), her = waitress()->getSprite(0)->getScreenPixelRect();
        int nNoteMiddle = (note.left + note.right) / 2;
        EXPECT_TRUE(her.left <= nNoteMiddle && nNoteMiddle <= her.right && note.bottom <= her.top)
            << note.toString().c_str() << " over " << her.toString().c_str();
        // The queue drains (the click under way, then the six queued): the
        // hands or the tray fill, then every further tap is refused, as were
        // the clicks the full queue turned away.
        ASSERT_TRUE(runUntil([&] { return idle(); }, 800));
        EXPECT_EQ(waitress()->getMugCount(), nRoom);
        EXPECT_EQ(plays("sfx_game_refused") - nRefused, nClicks + 1 - nRoom) << nTray;
        quit();
    }
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
    EXPECT_EQ(saidRefusal(), refusal(ActionSpot::REFUSED_NO_WAY));
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
    EXPECT_EQ(pMode->getLevelSeconds(), 0.0f) << "reading a tip takes none of the day";
    click(TAP_X, TAP_Y);
    EXPECT_EQ(pMode->getCommandCount(), 3) << "a click outside the bubble still acts";
    Rect bubble = pMode->getTip()->getBounds();
    click((bubble.left + bubble.right) / 2, (bubble.top + bubble.bottom) / 2);
    EXPECT_TRUE(pMode->getTip()->isHidden());
    click(TAP_X, TAP_Y);
    EXPECT_EQ(pMode->getCommandCount() + pMode->getQueuedClickCount(), 3) << "a press before the field is drawn again";
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
        player.m_bStoryStarted = true;
        player.m_nMoney = 5;
        player.m_nStage = 2;
        enter(c.nPlayMode, c.nMinutes, c.bStory);
        frame();
        // The bar played is the one the week's goal names.
        EXPECT_EQ(c.nPlayMode == 0 && c.bStory ? 2 : 0, pMode->getField()->m_nStage);
        // Only the story's levels have a goal to show beside the money.
        EXPECT_EQ(std::string(c.nPlayMode == 0 ? "$0 / $40" : "$0"), pMode->getMoneyLabel()->getText().c_str());
        player.m_nQuickPlayScore = -1;
        // Nobody is served: customers give up and leave.
        m_aRand.clear();
        int nResults = 0;
        for (int i = 0; i < 8 * 400 && pMode->getPhase() == PlayMode::PHASE_PLAYING; ++i) frame();
        EXPECT_GE(pMode->getLevelSeconds(), c.nExpectedSeconds) << c.nPlayMode;
        EXPECT_LT(pMode->getLevelSeconds(), c.nExpectedSeconds + Character::MAX_PATIENCE) << c.nPlayMode;
        EXPECT_EQ(std::make_pair(400, 65), centreOfSprite(pSign)) << "the closing sign stands at the top, in the middle";
        for (int i = 0; i < app.getModeCount(); ++i)
            nResults += dynamic_cast<GameStatsMode*>(app.getModeAt(i).get()) != nullptr;
        EXPECT_EQ(nResults, 1);
        // The results count up, then their button ends them.
        GameStatsMode* pStats = dynamic_cast<GameStatsMode*>(app.getModeAt(0).get());
        ASSERT_TRUE(pStats);
        for (int i = 0; i < 400 && pStats->getPhase() < 6; ++i) frame();
        // The story's purse, as the map will show it.
        if (c.nPlayMode == 0 && c.bStory) {
            EXPECT_STREQ("$5", pStats->getTotalLabel()->m_pLabel->getText().c_str());
        }
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
// won when its money reaches the goal exactly. With nobody left at closing
// time the level ends at once, and the closing hint opened then must not lie
// over the results.
TEST_F(LevelTest, AStoryLevelScoresItsMoneyAndStarsAndIsWonAtTheGoal) {
    addText("chars_scene0_0", "");
    struct Case {
        int nMoney, nStars, nScore, nPending;
    } cases[] = {{40, 3, 70, 0}, {39, 0, 39, StoryManagerMode::ACTION_LEVEL_FAILED}};
    for (const Case& c : cases) {
        player.m_nTotalScore = 0;
        player.m_abTipShown[PlayMode::TIP_CLOSING] = false;
        enter(0, 1);
        pMode->onCustomerPaid(c.nMoney, c.nStars);
        ASSERT_TRUE(runUntil([&] { return pMode->getPhase() != PlayMode::PHASE_PLAYING; }, 8 * 70));
        EXPECT_EQ(c.nScore, pStory->getScore()) << c.nMoney;
        EXPECT_EQ(c.nPending, pStory->getPendingAction()) << c.nMoney;
        frame();
        EXPECT_TRUE(pMode->getTip()->isHidden()) << c.nMoney;
        while (app.getModeCount() > 0) app.endMode(app.getModeAt(0).get());
    }
}

TEST_F(LevelTest, QuittingFromTheOptionsBringsNoProgress) {
    enter();
    quit();
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
        quit();
        ASSERT_EQ(app.getModeCount(), 0);
        EXPECT_EQ(customerAnimations(), 0) << c.pszDefinitions;
    }
}

TEST_F(LevelTest, BrokenArtOfThePlayRefusesTheLevelAtItsStart) {
    // The balloon of a drink only a second tap pours is not among the fixture's pictures.
    addText("scene0.scene", fixture::barScene() + "actionspot liquid 560 290 80 560 330 n 5\n");
    for (const char* pszArt : {"mug.anim", "balloon.anim", "order_drink5.png"}) {
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
    pMode->setLevelReport(pStory.get());
    app.pushMode(pMode.get());
    for (int i = 0; i < 4; ++i) frame();
    ASSERT_EQ(pMode->getPhase(), PlayMode::PHASE_DONE);
    ASSERT_EQ(app.getModeCount(), 2);
    app.getModeAt(0)->onCallback(0, 0);
    pMode->onCallback(PlayMode::CB_SCENE_ERROR, 0);
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(pStory->getStep(), 3);
}

// ---- orders, glasses and the drink sources ----------------------------------------------------

TEST_F(LevelTest, TheBalloonShowsTheOrderAndThePatienceLeftUntilTheGuestGoes) {
    enter();
    ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
    EXPECT_EQ(shown("order_patience4"), 1) << "the meter shows while the guest asks";
    takeOrder();
    EXPECT_EQ(shown("order_drink0"), 1);
    Tsl::SmartPtr<Character> pGuest = customer();
    // The share of patience left, and the meter's step then.
    for (const auto& look : {std::make_pair(0.75f, "order_patience3"), std::make_pair(0.375f, "order_patience1"),
                             std::make_pair(0.075f, "order_patience0")}) {
        ASSERT_TRUE(runUntil([&] { return pGuest->getPatienceLeft() <= look.first * pGuest->getPatience(); }));
        EXPECT_EQ(shown(look.second), 1) << look.second;
    }
    ASSERT_TRUE(runUntil([&] { return !customer(); }));
    EXPECT_EQ(shown("order_drink0") + shown("order_patience0"), 0);
}

// A guest pays the drink's price, a VIP twice over, and three, two or one
// stars by the share of its patience left when served.
TEST_F(LevelTest, AGuestPaysByItsKindAndThePatienceItHasLeft) {
    struct Case { bool bVip; float fShare; int nPrices, nStars; } cases[] = {
        {false, 1.0f, 1, 3}, {false, 0.5f, 1, 2}, {false, 0.2f, 1, 1}, {true, 1.0f, 2, 3}};
    for (const Case& c : cases) {
        enter();
        Tsl::SmartPtr<Character> pGuest = seatGuest(pMode.get(), c.bVip ? pMode->getField()->m_nFirstVipSeat : 1);
        ASSERT_TRUE(runUntil([&] { return pGuest->getState() == Character::STATE_ASKING; }));
        pGuest->takeOrder();
        ASSERT_TRUE(runUntil([&] { return pGuest->getPatienceLeft() <= c.fShare * pGuest->getPatience(); }));
        Tsl::SmartPtr<Mug> pMug = new Mug(pMode.get());
        pMug->fill(pGuest->getOrder());
        pGuest->serve(pMug);
        ASSERT_TRUE(runUntil([&] { return pMode->getField()->m_nMoney > 0; }));
        EXPECT_EQ(c.nPrices * Character::DRINK_PRICE, pMode->getField()->m_nMoney) << c.bVip;
        EXPECT_EQ(c.nStars, pMode->getField()->m_nStars) << c.fShare;
        quit();
    }
}

TEST_F(LevelTest, AWrongGlassMakesTheGuestSayNoEveryTime) {
    addText("scene0.scene", fixture::barScene() + "actionspot liquid 560 290 80 560 330 n 1\n");
    addText("sfx_game_mistake0.wav", "voice 0");
    for (int nTip : {PlayMode::TIP_FULL_GLASS, PlayMode::TIP_UNORDERED_DRINK}) player.m_abTipShown[nTip] = false;
    enter();
    takeOrder();
    for (int nOffer = 1; nOffer <= 2; ++nOffer) {
        serveFrom(560);
        EXPECT_EQ(plays("sfx_game_mistake0"), nOffer);
        EXPECT_EQ(customerLook(), "angry");
        // Nobody waits for it: the sink's hint, not the one that sends her to the guest.
        EXPECT_EQ(pMode->getOpenTip(), nOffer == 1 ? PlayMode::TIP_UNORDERED_DRINK : -1);
        click(SINK_X, SINK_Y);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
        EXPECT_LT(pMode->getOpenTip(), 0) << "poured away: the sink's hint goes with it";
        ASSERT_TRUE(runUntil([&] { return customerLook() == "wait"; }, 10));
    }
    EXPECT_EQ(waitress()->getMugCount(), 0);
}

TEST_F(LevelTest, TheSinkTakesAnyGlassSheCarries) {
    // Tray upgrade level, the slots before and after a click with the button.
    struct Case {
        int nTray;
        std::vector<int> aBefore;
        int nButton;
        std::vector<int> aAfter;
    } cases[] = {{0, {FULL, NONE}, MB_LEFT, {NONE, NONE}},  {0, {NONE, FULL}, MB_LEFT, {NONE, FULL}},
                 {0, {FULL, USED}, MB_LEFT, {NONE, NONE}},  {0, {USED, FULL}, MB_LEFT, {NONE, FULL}},
                 {1, {FULL, USED, FULL, NONE}, MB_LEFT, {FULL, NONE, FULL, NONE}},
                 {1, {NONE, FULL, FULL, NONE}, MB_LEFT, {NONE, NONE, FULL, NONE}}};
    for (const Case& c : cases) {
        player.m_anUpgrades[UpgradeManager::KIND_TRAY] = c.nTray;
        enter();
        hold(c.aBefore);
        click(SINK_X, SINK_Y, c.nButton);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
        std::vector<int> aAfter;
        for (size_t i = 0; i < c.aAfter.size(); ++i) {
            Tsl::SmartPtr<Mug> pMug = waitress()->getHandContents(int(i));
            aAfter.push_back(pMug ? int(!pMug->isEmpty()) : NONE);
        }
        EXPECT_EQ(aAfter, c.aAfter) << "case " << (&c - cases);
        EXPECT_EQ(shown("mug.anim"), waitress()->getMugCount()) << "the pictures of the glasses gone";
        quit();
    }
}

// Whatever she cannot do, she says why, in the player's words, with the
// refusal sound, on the screen at either end of the bar: also a click that
// waited its turn behind another.
TEST_F(LevelTest, EachRefusalSaysWhatStandsInTheWay) {
    addText("sfx_game_refused.wav", "no");
    addText("scene0.scene", fixture::barScene() + "actionspot propdispenser 560 290 80 560 330 n\n"
                                                  "actionspot trashbin 400 100 80 400 100 n\n");
    enum { PROPS_X = 560, OFF_FLOOR_X = 400, OFF_FLOOR_Y = 80, GLASS_Y = 205 };
    // Seat 0 while she walks there. Queued: its guest still asks, and the
    // click waits behind one at the tap; on her way she takes the order, and
    // both her hands are full by then. Drinking: she served the drink she
    // held, and the guest is clicked at its glass.
    enum Seat { AS_IT_IS = 0, QUEUED = 1, GUEST_LEAVES = 2, USED_GLASS_LEFT = 4, GUEST_DRINKS = 8 };
    struct Case {
        int nTray;
        std::vector<int> aHeld;
        int nX, nY, nButton, nWhy;
        int nSeat = AS_IT_IS;
    } cases[] = {
        {0, {FULL, NONE}, TAP_X, TAP_Y, MB_LEFT, ActionSpot::REFUSED_HAND_FULL},
        {0, {FULL, USED}, TAP_X, TAP_Y, MB_RIGHT, ActionSpot::REFUSED_HANDS_FULL},
        {1, {FULL, FULL, USED, FULL}, TAP_X, TAP_Y, MB_LEFT, ActionSpot::REFUSED_TRAY_FULL},
        {0, {NONE, FULL}, SINK_X, SINK_Y, MB_LEFT, ActionSpot::REFUSED_HAND_EMPTY},
        {0, {NONE, NONE}, COASTER_X, TAP_Y, MB_LEFT, ActionSpot::REFUSED_NO_GLASS},
        {0, {NONE, USED}, PROPS_X, TAP_Y, MB_LEFT, ActionSpot::REFUSED_NO_DRINK},
        {0, {DECORATED, NONE}, PROPS_X, TAP_Y, MB_LEFT, ActionSpot::REFUSED_DECORATED},
        {0, {OTHER, NONE}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_NOT_ORDERED},
        {0, {USED, NONE}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_NO_DRINK},
        {0, {NONE, FULL}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_HAND_EMPTY},
        {0, {FULL, NONE}, SEAT_X, GLASS_Y, MB_LEFT, ActionSpot::REFUSED_NOT_NOW, GUEST_DRINKS},
        {0, {FULL, NONE}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_GUEST_GONE, GUEST_LEAVES},
        {0, {NONE, NONE}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_GUEST_GONE, QUEUED | GUEST_LEAVES},
        {0, {OTHER, USED}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_NOT_ORDERED, USED_GLASS_LEFT},
        {0, {NONE, NONE}, OFF_FLOOR_X, OFF_FLOOR_Y, MB_LEFT, ActionSpot::REFUSED_NO_WAY},
        {0, {USED, NONE}, SEAT_X, SEAT_Y, MB_LEFT, ActionSpot::REFUSED_HANDS_FULL, QUEUED | USED_GLASS_LEFT},
    };
    int nRefused = 0;
    for (const Case& c : cases) {
        player.m_anUpgrades[UpgradeManager::KIND_TRAY] = c.nTray;
        enter();
        m_aRand.assign(8, 0);
        if (c.nSeat & QUEUED)
            ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
        else
            takeOrder();
        hold(c.aHeld);
        if (c.nSeat & USED_GLASS_LEFT) pMode->getField()->m_lSeatSpots.getAt(0)->addUsedGlass(new Mug(pMode.get()));
        if (c.nSeat & GUEST_DRINKS) customer()->serve(waitress()->takeHandContents(0));
        if (c.nSeat & QUEUED) click(TAP_X, TAP_Y, MB_RIGHT);
        click(c.nX, c.nY, c.nButton);
        if (c.nSeat & GUEST_LEAVES) pMode->removeCharacter(customer());
        ASSERT_TRUE(runUntil([&] { return idle(); }));
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        EXPECT_EQ(saidRefusal(), refusal(c.nWhy));
        EXPECT_TRUE(Rect(0, 0, 800, 600).containsRect(pMode->getRefusalNote()->getBounds()));
        EXPECT_EQ(plays("sfx_game_refused"), ++nRefused) << "refused aloud, a waiting click too";
        EXPECT_TRUE(runUntil([&] { return saidRefusal().empty(); })) << "what she said goes by itself";
        quit();
    }
}

TEST_F(LevelTest, AnAskingGuestWithinHerReachOrdersWhenSheStops) {
    addText("sfx_game_refused.wav", "no");
    // Where she is sent: the guest's seat, the empty coaster (where her empty
    // hands are refused), the tap.
    for (int nX : {int(SEAT_X), int(COASTER_X), int(TAP_X)}) {
        enter();
        ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
        click(nX, nX == SEAT_X ? SEAT_Y : TAP_Y);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
        EXPECT_EQ(customer()->getState(), nX == SEAT_X ? Character::STATE_WAITING : Character::STATE_ASKING) << nX;
        quit();
    }
    EXPECT_EQ(plays("sfx_game_refused"), 1) << "sent to the guest only for the order, she refuses nothing there";
}

// Six guests in turn at the same seat, and a guest each time at a seat whose
// glasses stand close by; no glass is cleared. Each drink stands beside the
// glasses left on its seat, not over them, and off the other seat's; the six
// left stand on six places, the nearer drawn in front.
TEST_F(LevelTest, UsedGlassesStayOnTheirSeatUntilSheTakesThem) {
    addText("scene0.scene", fixture::barScene() + "seat 240 240 330 n glass 244 220 61\n");
    enter(1, 10);
    const Tsl::List<Tsl::SmartPtr<Mug>>& lUsed = pMode->getField()->m_lSeatSpots.getAt(0)->getUsedGlasses();
    const Tsl::List<Tsl::SmartPtr<Mug>>& lBeside = pMode->getField()->m_lSeatSpots.getAt(2)->getUsedGlasses();
    for (int nGuest = 0; nGuest < 6; ++nGuest) {
        Tsl::SmartPtr<Character> pBeside = seatGuest(pMode.get(), 2, "ann");
        ASSERT_TRUE(runUntil([&] { return pBeside->getState() == Character::STATE_ASKING; }));
        pBeside->takeOrder();
        Tsl::SmartPtr<Mug> pDrink = new Mug(pMode.get());
        pDrink->fill(pBeside->getOrder());
        pBeside->serve(pDrink);
        takeOrder();
        serveFrom(TAP_X);
        ASSERT_EQ(customer()->getState(), Character::STATE_DRINKING);
        Rect served = customer()->getGlass()->getSprite()->getScreenRect();
        ASSERT_FALSE(served.isEmpty());
        for (const Tsl::SmartPtr<Mug>& pUsed : lUsed)
            EXPECT_FALSE(served.overlaps(pUsed->getSprite()->getScreenRect()) &&
                         customer()->getGlass()->getZOrder() > pUsed->getZOrder());
        std::vector<Mug*> aOurs{customer()->getGlass().get()}, aTheirs{pDrink.get()};
        for (const Tsl::SmartPtr<Mug>& pUsed : lUsed) aOurs.push_back(pUsed.get());
        for (const Tsl::SmartPtr<Mug>& pUsed : lBeside) aTheirs.push_back(pUsed.get());
        for (Mug* pOurs : aOurs)
            for (Mug* pTheirs : aTheirs)
                EXPECT_FALSE(pOurs->getSprite()->getScreenRect().overlaps(pTheirs->getSprite()->getScreenRect())) << nGuest;
        ASSERT_TRUE(runUntil([&] { return !customer() && !pMode->getField()->m_lSeatOccupants.getAt(2); }));
    }
    pMode->getField()->m_nCustomersToCome = 0;  // nobody sits down while she clears the seat
    EXPECT_EQ(shown("mug.anim"), 12) << "each guest's glass stands on its seat";
    ASSERT_EQ(lUsed.getCount(), 6);
    for (const Tsl::SmartPtr<Mug>& pUsed : lUsed) {
        EXPECT_TRUE(!pUsed->isClean() && std::string(pUsed->getSprite()->getSequenceName().c_str()).find("_empty") !=
                                             std::string::npos) << "a drunk glass is used and drawn empty";
        for (const Tsl::SmartPtr<Mug>& pOther : lUsed) {
            bool bMeet = pOther != pUsed && pOther->getSprite()->getScreenRect().overlaps(pUsed->getSprite()->getScreenRect());
            EXPECT_FALSE(pOther != pUsed && pOther->getX() == pUsed->getX() && pOther->getY() == pUsed->getY());
            EXPECT_TRUE(!bMeet || (pOther->getY() > pUsed->getY()) == (pOther->getZOrder() > pUsed->getZOrder()));
        }
    }
    for (int nTrip = 0; nTrip < 3; ++nTrip) {
        click(SEAT_X, SEAT_Y);
        click(SEAT_X, SEAT_Y, MB_RIGHT);
        click(SINK_X, SINK_Y);
        ASSERT_TRUE(runUntil([&] { return idle(); }));
    }
    EXPECT_EQ(shown("mug.anim"), 6) << "only the seat beside has glasses left";
    // A glass let go of anywhere takes its picture along.
    Tsl::SmartPtr<Mug> pMug = new Mug(pMode.get());
    pMug = nullptr;
    EXPECT_EQ(shown("mug.anim"), 6);
}

// Escape or a lost focus pauses the open bar, once however often they come
// (a screen on top of the field is never paused over); under the pause the
// clock, the waiting guest's patience, the next guest's arrival and the
// waitress on her way stand still, and going on lets them run again.
TEST_F(LevelTest, APauseHoldsTheDayUntilThePlayerGoesOn) {
    const std::function<void()> pauses[] = {[&] { app.onKeyDown(PlayMode::KEY_ESCAPE, 0); }, [&] { app.onDeactivate(); }};
    for (const std::function<void()>& pause : pauses) {
        enter();
        m_aRand.assign(8, 0);
        ASSERT_TRUE(runUntil([&] { return customer() && customer()->getState() == Character::STATE_ASKING; }));
        click(SEAT_X, BALLOON_Y);
        click(TAP_X, TAP_Y);
        frame();
        auto day = [&] {
            return std::vector<float>{pMode->getLevelSeconds(), customer()->getPatienceLeft(),
                                      pMode->getSpawnManager()->getTimer(), float(waitress()->getX())};
        };
        std::vector<float> before = day();
        pause();
        ASSERT_TRUE(dynamic_cast<GamePausedDlg*>(app.getModeAt(0).get())) << "paused by the first of them alone";
        app.onActivate();
        app.onDeactivate();
        ASSERT_EQ(2, app.getModeCount());
        for (int i = 0; i < 40; ++i) frame();
        EXPECT_EQ(before, day());
        app.onKeyDown(PlayMode::KEY_ESCAPE, 0);
        frame();
        EXPECT_NE(before[0], day()[0]);
        EXPECT_NE(before[3], day()[3]);
        quit();
    }
}

// A quick player takes the order, fills, serves and clears the used glass
// without stopping to read a hint: each step's hint takes the place of the
// one before at once, and none about a step already taken is left to read,
// nor comes back another day. A hint about no step (her refusal at the sink,
// clicked first) waits its turn until it is read.
TEST_F(LevelTest, AQuickPlayerIsShownNoHintAboutAStepAlreadyTaken) {
    const std::vector<int> aSteps = {PlayMode::TIP_ORDER_TAKEN, PlayMode::TIP_FULL_GLASS, PlayMode::TIP_SERVED,
                                     PlayMode::TIP_REFUSED, PlayMode::TIP_PAID};
    for (int nTip : aSteps) player.m_abTipShown[nTip] = false;
    player.m_abTipShown[PlayMode::TIP_GLASS_LEFT] = false;
    enter();
    m_aRand.assign(8, 0);
    takeOrder();
    click(SINK_X, SINK_Y);
    click(TAP_X, TAP_Y);
    click(SEAT_X, SEAT_Y);
    std::vector<int> aShown;
    // The guest drinks once the hints are read; it pays, and its glass is cleared at once.
    ASSERT_TRUE(runUntil([&] {
        int nOpen = pMode->getOpenTip();
        if (nOpen >= 0 && (aShown.empty() || aShown.back() != nOpen)) aShown.push_back(nOpen);
        if (customer() && customer()->getState() == Character::STATE_DRINKING) pMode->getTip()->hide();
        return !customer();
    }));
    click(SEAT_X, SEAT_Y);
    click(SINK_X, SINK_Y);
    ASSERT_TRUE(runUntil([&] { return idle(); }));
    EXPECT_EQ(aShown, aSteps);
    EXPECT_EQ(PlayMode::TIP_PAID, pMode->getOpenTip()) << "the goal's hint waits until read";
    pMode->getTip()->hide();
    for (int i = 0; i < 8; ++i) frame();
    EXPECT_LT(pMode->getOpenTip(), 0) << "no hint comes back for a step already taken";
    EXPECT_TRUE(player.m_abTipShown[PlayMode::TIP_GLASS_LEFT]) << "nor another day";
}

// A tip about a guest comes up while it waits: reading it costs the guest
// no patience and the day no time.
TEST_F(LevelTest, ATipHoldsTheGuestsPatienceAndTheClock) {
    player.m_abTipShown[PlayMode::TIP_ORDER] = false;
    enter();
    m_aRand.assign(8, 0);
    ASSERT_TRUE(runUntil([&] { return pMode->getTip()->isShown(); }));
    ASSERT_TRUE(customer());
    float fPatience = customer()->getPatienceLeft(), fSeconds = pMode->getLevelSeconds();
    for (int i = 0; i < 40; ++i) frame();
    EXPECT_EQ(fPatience, customer()->getPatienceLeft());
    EXPECT_EQ(fSeconds, pMode->getLevelSeconds());
}

// Every hint stands beside what it speaks of, on the screen, and covers
// neither the guest concerned nor the waitress: guests at either end of the
// bar and in front of it, with her beside each of them.
TEST_F(LevelTest, EachHintLeavesItsGuestAndTheWaitressInSight) {
    app.addImage(Names::IMG_HUD_PLATE, app.createImage(150, 64, true));
    enter();
    struct Case {
        Rect guest;
        int nWaitressX, nWaitressY;
    } cases[] = {{Rect(150, 90, 250, 260), 200, 340}, {Rect(270, 90, 370, 260), 480, 330},
                 {Rect(640, 90, 760, 260), 700, 560}, {Rect(450, 330, 550, 520), 400, 450},
                 {Rect(10, 110, 160, 250), 230, 200}};
    std::set<std::pair<int, int>> places;
    std::set<int> widths;
    for (const Case& c : cases) {
        waitress()->setPosition(float(c.nWaitressX), float(c.nWaitressY));
        Rect her = waitress()->getSprite(0)->getScreenPixelRect();
        for (int nHint = 0; nHint < PlayMode::TIP_EVENT_COUNT; ++nHint) {
            player.m_abTipShown[nHint] = false;
            pMode->onTipEvent(nHint, c.guest);
            Rect bubble = pMode->getTip()->getBounds();
            // The clock and the money are drawn above the field's bubbles.
            EXPECT_TRUE(Rect(0, 0, 800, 600).containsRect(bubble) && !bubble.overlaps(c.guest) && !bubble.overlaps(her) &&
                        !bubble.overlaps(pMode->getHudRect()))
                << "hint " << nHint << " at " << bubble.toString().c_str() << ", guest " << c.guest.toString().c_str();
            places.insert({bubble.left, bubble.top});
            widths.insert(bubble.getWidth());
            pMode->getTip()->hide();
        }
    }
    EXPECT_GT(places.size(), 8u) << "the hints stand where their subjects are";
    EXPECT_GT(widths.size(), 4u);
}

// A new player serves one guest on the first day and gives up; the day is
// tried again and no hint comes back. Hints shown in play outlive a run that
// ends before the map is seen again.
TEST_F(LevelTest, EachHintShowsOncePerPlayerOverARetryAndARestart) {
    app.setSettingsFile(testPath("settings.dat").c_str());
    pPlayer = getPlayerManager()->getProfile(getPlayerManager()->createProfile("Ann")->getName());
    int nRead = 0;
    auto readTips = [&] {
        if (pMode->getTip()->isHidden()) return;
        ++nRead;
        pMode->getTip()->hide();
    };
    auto serveOneGuest = [&] {
        m_aRand.assign(8, 0);
        ASSERT_TRUE(runUntil([&] { readTips(); return customer() && customer()->getState() == Character::STATE_ASKING; }));
        click(SEAT_X, BALLOON_Y);
        click(TAP_X, TAP_Y);
        ASSERT_TRUE(runUntil([&] { readTips(); return idle(); }));
        click(SEAT_X, SEAT_Y);
        ASSERT_TRUE(runUntil([&] { readTips(); return pMode->getField()->m_nMoney > 0; }));
        for (int i = 0; i < 8; ++i) {
            readTips();
            frame();
        }
    };
    auto flags = [&] { return std::vector<bool>(pPlayer->m_abTipShown, pPlayer->m_abTipShown + QarnPlayer::TIP_COUNT); };
    // The clicks past a full queue open its hint.
    auto openQueueHint = [&] {
        for (int i = 0; i <= PlayMode::CLICK_QUEUE_LIMIT + 1; ++i) click(TAP_X, TAP_Y);
        ASSERT_TRUE(pMode->getTip()->isShown());
    };
    // The program starts again: the profiles as the settings file has them.
    auto reload = [&] {
        app.setSetting(ScreenNames::SET_PROFILES, "");
        destroyPlayerManager();
        ASSERT_TRUE(app.loadSettings());
        pPlayer = getPlayerManager()->getProfile("Ann");
        ASSERT_TRUE(pPlayer);
    };

    enter();
    serveOneGuest();
    EXPECT_EQ(7, nRead) << "the day's start, the six steps of serving; paid and glass left come together";
    quit();
    pStory->onActivate();  // back on the map
    std::vector<bool> seen = flags();

    nRead = 0;
    enter();
    serveOneGuest();
    EXPECT_EQ(0, nRead) << "a hint came back on the second try";
    EXPECT_EQ(seen, flags());

    // One more hint in play, then the run ends without the map. The file is
    // written with the end of the level, not in the frame the hint opens.
    std::string sFile = readFile(testPath("settings.dat"));
    ASSERT_NO_FATAL_FAILURE(openQueueHint());
    EXPECT_EQ(sFile, readFile(testPath("settings.dat")));
    seen = flags();
    quit();
    ASSERT_NO_FATAL_FAILURE(reload());
    EXPECT_EQ(seen, flags());

    // A hint, then the program exits from the level: the exit saves it, and
    // the level that goes with the program writes nothing more.
    pPlayer->m_abTipShown[PlayMode::TIP_QUEUE] = false;
    enter();
    ASSERT_NO_FATAL_FAILURE(openQueueHint());
    seen = flags();
    app.onExit();
    sFile = readFile(testPath("settings.dat"));
    std::remove(testPath("settings.dat").c_str());
    app.endMode(pMode.get());
    EXPECT_EQ("", readFile(testPath("settings.dat"))) << "written again after the exit";
    writeFile(testPath("settings.dat"), sFile);
    ASSERT_NO_FATAL_FAILURE(reload());
    EXPECT_EQ(seen, flags());
}
