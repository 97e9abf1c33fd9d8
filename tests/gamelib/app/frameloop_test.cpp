// The frame loop and the mode stack, driven through a real GameApp over fake drivers.
#include "fakes.h"
#include "app/modetransition.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct FrameLoopTest : ::testing::Test {
    TestApp app;
    EventLog& log = app.m_log;
    FakePlatform* platform = app.m_pFakePlatform;

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.setFrameRate(0);  // frames without waiting unless a test asks
        log.clear();
    }
    Tsl::SmartPtr<RecordingMode> mode(const char* pszName, unsigned int nFlags) {
        return new RecordingMode(pszName, nFlags, &log);
    }
};

TEST_F(FrameLoopTest, OneFrameRunsUpdateEventsRenderInOrderAndStampsTwice) {
    app.pushMode(mode("a", MF_ACTIVE | MF_VISIBLE));
    log.clear();
    int nBefore = app.getFrameCounter();
    int nAtRender = -1;
    platform->video()->m_fnOnRender = [&] { nAtRender = app.getFrameCounter(); };
    app.runFrame();
    EXPECT_EQ("a.update events render", log.joined());
    EXPECT_EQ(nBefore + 1, nAtRender);
    EXPECT_EQ(nBefore + 2, app.getFrameCounter());
}

TEST_F(FrameLoopTest, WaitsForTheFrameIntervalAndMeasuresDtFromTheClock) {
    Tsl::SmartPtr<RecordingMode> pMode = mode("a", MF_ACTIVE);
    app.pushMode(pMode);
    app.setFrameRate(64);  // 1000 / 64 = 15 ms in integer division
    app.runFrame();        // first frame: nothing to wait for
    log.clear();
    app.runFrame();
    EXPECT_EQ("delay15 a.update events render", log.joined());
    EXPECT_FLOAT_EQ(0.015f, pMode->m_aDts.back());

    app.setFrameRate(0);  // no wait at all
    log.clear();
    platform->m_nTicks += 8;
    app.runFrame();
    EXPECT_EQ("a.update events render", log.joined());
    EXPECT_FLOAT_EQ(0.008f, pMode->m_aDts.back());
}

TEST_F(FrameLoopTest, LongFramesAreClampedToTheMaximumFrameTime) {
    Tsl::SmartPtr<RecordingMode> pMode = mode("a", MF_ACTIVE);
    app.pushMode(pMode);
    app.setFrameRate(0);
    app.runFrame();
    platform->m_nTicks += 250;
    app.runFrame();
    EXPECT_FLOAT_EQ(0.05f, pMode->m_aDts.back());
    app.setMaxFrameTime(0.05f, false);
    platform->m_nTicks += 250;
    app.runFrame();
    EXPECT_FLOAT_EQ(0.25f, pMode->m_aDts.back());
}

TEST_F(FrameLoopTest, UpdatesGoDownOnlyWhileModesLetTheOneBelowUpdate) {
    // Bottom to top: c, b (updates below), a (updates below, inactive).
    app.pushMode(mode("c", MF_ACTIVE));
    app.pushMode(mode("b", MF_ACTIVE | MF_UPDATE_BELOW));
    app.pushMode(mode("a", MF_UPDATE_BELOW));
    log.clear();
    app.runFrame();
    EXPECT_EQ("b.update c.update events render", log.joined());

    app.pushMode(mode("top", MF_ACTIVE));
    log.clear();
    app.runFrame();
    EXPECT_EQ("top.update events render", log.joined());
}

TEST_F(FrameLoopTest, LowestDrawnModeIsTheFirstThatDoesNotDrawBelow) {
    EXPECT_EQ(-1, app.getLowestDrawnModeIndex());
    app.pushMode(mode("c", MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW));
    EXPECT_EQ(0, app.getLowestDrawnModeIndex());
    app.pushMode(mode("b", MF_ACTIVE | MF_VISIBLE));
    app.pushMode(mode("a", MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW));
    EXPECT_EQ(1, app.getLowestDrawnModeIndex());
    app.pushMode(mode("top", MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW));
    EXPECT_EQ(2, app.getLowestDrawnModeIndex());
}

TEST_F(FrameLoopTest, PushRunsInitOnceAndMovesTheFocus) {
    Tsl::SmartPtr<RecordingMode> pA = mode("a", MF_ACTIVE);
    Tsl::SmartPtr<RecordingMode> pB = mode("b", MF_ACTIVE);
    app.pushMode(pA);
    app.pushMode(pB);
    EXPECT_EQ("a.init a.activate b.init a.deactivate b.activate", log.joined());
    EXPECT_EQ(pB.get(), app.getModeAt(0).get());

    log.clear();
    app.suspendMode(pB);
    EXPECT_EQ(MS_SUSPENDED, pB->getState());
    EXPECT_EQ("b.deactivate a.activate", log.joined());
    log.clear();
    app.pushMode(pB);  // back from suspension: no second init
    EXPECT_EQ("a.deactivate b.activate", log.joined());
    EXPECT_THROW(app.pushMode(pB), Tsl::BadStateException);
}

TEST_F(FrameLoopTest, OnlyTheTopModeMaySuspendItself) {
    Tsl::SmartPtr<RecordingMode> pA = mode("a", MF_ACTIVE);
    Tsl::SmartPtr<RecordingMode> pB = mode("b", MF_ACTIVE);
    app.pushMode(pA);
    app.pushMode(pB);
    EXPECT_THROW(app.suspendMode(pA), Tsl::BadStateException);
    EXPECT_EQ(2, app.getModeCount());
    EXPECT_EQ(pB.get(), app.getModeAt(0).get());
    EXPECT_EQ(MS_RUNNING, pA->getState());
}

// A mode whose start or cleanup fails.
struct FailingMode : RecordingMode {
    using RecordingMode::RecordingMode;
    void init() override {
        RecordingMode::init();
        if (m_bFailInit) throw std::runtime_error("init failed");
    }
    void cleanup() override {
        RecordingMode::cleanup();
        if (m_bFailCleanup) throw std::runtime_error("cleanup failed");
    }
    bool m_bFailInit = true;
    bool m_bFailCleanup = true;
};

TEST_F(FrameLoopTest, AFailedInitOrCleanupLeavesAStackThatStillWorks) {
    Tsl::SmartPtr<RecordingMode> pBase = mode("base", MF_ACTIVE);
    Tsl::SmartPtr<FailingMode> pMode = new FailingMode("m", MF_ACTIVE, &log);
    app.pushMode(pBase);
    EXPECT_THROW(app.pushMode(pMode), std::runtime_error);
    EXPECT_EQ(1, app.getModeCount());
    EXPECT_EQ(MS_NEW, pMode->getState());

    pMode->m_bFailInit = false;
    app.pushMode(pMode);
    EXPECT_THROW(app.endMode(pMode), std::runtime_error);
    EXPECT_EQ(pMode.get(), app.getModeAt(0).get());
    EXPECT_EQ(MS_RUNNING, pMode->getState());
    pMode->m_bFailCleanup = false;
    app.endMode(pMode);
    EXPECT_EQ(1, app.getModeCount());
    EXPECT_EQ(MS_ENDED, pMode->getState());
}

TEST_F(FrameLoopTest, OnlyTheTopModeMayEndAndItIsReleasedAfterTheFrame) {
    Tsl::SmartPtr<RecordingMode> pA = mode("a", MF_ACTIVE);
    GameMode* pB = new RecordingMode("b", MF_ACTIVE, &log);
    app.pushMode(pA);
    app.pushMode(pB);
    EXPECT_THROW(app.endMode(pA), Tsl::BadStateException);
    EXPECT_EQ(2, app.getModeCount());

    Tsl::SmartPtr<GameMode> pWatch(pB);
    log.clear();
    app.endMode(pB);
    EXPECT_EQ("b.cleanup a.activate", log.joined());
    EXPECT_EQ(MS_ENDED, pB->getState());
    EXPECT_EQ(1, app.getModeCount());
    // The stack let go; the application keeps it until the frame ends.
    EXPECT_EQ(2, pWatch->getRefCount());
    app.runFrame();
    EXPECT_EQ(1, pWatch->getRefCount());
}

TEST_F(FrameLoopTest, ModalRunReturnsWhenTheModeHasLeftTheStack) {
    Tsl::SmartPtr<RecordingMode> pBase = mode("base", MF_ACTIVE);
    Tsl::SmartPtr<RecordingMode> pModal = mode("modal", MF_ACTIVE);
    Tsl::SmartPtr<RecordingMode> pChild = mode("child", MF_ACTIVE);
    app.pushMode(pBase);
    int nUpdates = 0;
    pModal->m_fnOnUpdate = [&] {
        ++nUpdates;
        if (nUpdates == 2) app.pushMode(pChild);  // a dialog over the modal mode
        if (nUpdates == 4) app.endMode(pModal);
    };
    pChild->m_fnOnUpdate = [&] { app.endMode(pChild); };
    app.runModal(pModal);
    EXPECT_EQ(4, nUpdates);
    EXPECT_EQ(pBase.get(), app.getModeAt(0).get());
}

TEST_F(FrameLoopTest, RunInitsFramesUntilQuitThenExitsOnABlackScreen) {
    TestApp* pApp = &app;
    Tsl::SmartPtr<RecordingMode> pMode = mode("a", MF_ACTIVE);
    int nFrames = 0;
    pMode->m_fnOnUpdate = [&] {
        if (++nFrames == 3) pApp->quit(7);
    };
    app.pushMode(pMode);
    log.clear();
    EXPECT_EQ(7, app.run());
    EXPECT_EQ(3, nFrames);
    ASSERT_GE(log.entries.size(), 3u);
    EXPECT_EQ("exit", log.entries[log.entries.size() - 3]);
    EXPECT_EQ("clear", log.entries[log.entries.size() - 2]);
    EXPECT_EQ("flip", log.entries.back());
}

// Finishes after two updates, logging its own focus changes.
class TwoFrameTransition : public ModeTransition {
public:
    explicit TwoFrameTransition(EventLog* pLog) : m_pLog(pLog) {}
    void onActivate() override { m_pLog->add("trn.activate"); }
    void onUpdate(float) override {
        m_pLog->add("trn.update");
        if (++m_nFrames == 2) finishTransition();
    }
    EventLog* m_pLog;
    int m_nFrames = 0;
};

TEST_F(FrameLoopTest, ATransitionEndsItselfAndPushesItsTargetWithoutFocusFlicker) {
    Tsl::SmartPtr<RecordingMode> pOld = mode("old", MF_ACTIVE);
    Tsl::SmartPtr<RecordingMode> pNew = mode("new", MF_ACTIVE);
    app.pushMode(pOld);
    log.clear();
    app.pushModeWithTransition(pNew, new TwoFrameTransition(&log));
    app.runFrame();
    app.runFrame();
    app.runFrame();
    // The old screen lost the focus once and never got it back in between.
    EXPECT_EQ("old.deactivate trn.activate trn.update events render trn.update new.init new.activate events render "
              "new.update events render",
              log.joined());
    EXPECT_EQ(pNew.get(), app.getModeAt(0).get());
    EXPECT_EQ(pOld.get(), app.getModeAt(1).get());
    // Without a transition the target is simply pushed.
    Tsl::SmartPtr<RecordingMode> pThird = mode("third", MF_ACTIVE);
    app.pushModeWithTransition(pThird, nullptr);
    EXPECT_EQ(pThird.get(), app.getModeAt(0).get());
}

TEST_F(FrameLoopTest, FadeToBlackDarkensAtTwoPerSecondThenHandsOverWithoutWakingTheModeBelow) {
    Tsl::SmartPtr<RecordingMode> pOld = mode("old", MF_ACTIVE | MF_VISIBLE);
    Tsl::SmartPtr<RecordingMode> pNew = mode("new", MF_ACTIVE | MF_VISIBLE);
    app.pushMode(pOld);
    app.runFrame();  // the clock starts
    Tsl::SmartPtr<TrnFadeToBlack> pFade = new TrnFadeToBlack();
    app.pushModeWithTransition(pNew, pFade);
    EXPECT_EQ(1, app.getLowestDrawnModeIndex());  // the old screen shows through
    for (int i = 1; i < 10; ++i) {
        platform->m_nTicks += 50;
        app.runFrame();
        EXPECT_NEAR(0.1f * i, pFade->getAlpha(), 1e-4f);
        EXPECT_EQ(pFade.get(), app.getModeAt(0).get());
    }
    log.clear();
    platform->m_nTicks += 50;
    app.runFrame();
    EXPECT_EQ(pNew.get(), app.getModeAt(0).get());
    EXPECT_EQ(pOld.get(), app.getModeAt(1).get());
    EXPECT_EQ("new.init new.activate events render", log.joined());
}

TEST_F(FrameLoopTest, AFadeWithoutTargetGivesTheFocusBackToTheModeItUncovers) {
    Tsl::SmartPtr<RecordingMode> pBase = mode("base", MF_ACTIVE | MF_VISIBLE);
    Tsl::SmartPtr<RecordingMode> pTop = mode("top", MF_ACTIVE | MF_VISIBLE);
    app.pushMode(pBase);
    app.pushMode(pTop);
    app.runFrame();  // the clock starts
    pTop->endModeWithTransition(new TrnFadeToBlack());
    log.clear();
    for (int i = 0; i < 10; ++i) {
        platform->m_nTicks += 50;
        app.runFrame();
    }
    EXPECT_EQ(pBase.get(), app.getModeAt(0).get());
    EXPECT_NE(std::string::npos, log.joined().find("base.activate")) << log.joined();
}

TEST_F(FrameLoopTest, ModesEndThemselvesAndReachTheApplicationsServices) {
    Tsl::SmartPtr<RecordingMode> pBase = mode("base", MF_ACTIVE | MF_VISIBLE);
    Tsl::SmartPtr<RecordingMode> pTop = mode("top", MF_ACTIVE | MF_VISIBLE);
    app.pushMode(pBase);
    app.pushMode(pTop);
    EXPECT_THROW(pBase->endMode(), Tsl::BadStateException);
    log.clear();
    pTop->endMode();
    EXPECT_EQ("top.cleanup base.activate", log.joined());

    // Through a transition: the mode ends now and the transition runs on top.
    Tsl::SmartPtr<TrnFadeToBlack> pFade = new TrnFadeToBlack();
    app.pushMode(pTop);
    pTop->endModeWithTransition(pFade);
    EXPECT_EQ(MS_ENDED, pTop->getState());
    EXPECT_EQ(pFade.get(), app.getModeAt(0).get());
    EXPECT_EQ(pBase.get(), app.getModeAt(1).get());

    EXPECT_EQ("NO_SUCH_TEXT", pBase->getString("NO_SUCH_TEXT"));
    // The shade lies under the mode's own sprites and covers the screen.
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pBase->createImage(4, 4, true), 0, 0, 0);
    pBase->addSprite(pSprite);
    Tsl::SmartPtr<Sprite> pShade = pBase->addOverlay(0.6f);
    EXPECT_EQ(pShade, pBase->getLayers().getFirst()->getFirst());
    EXPECT_EQ(GameMode::OVERLAY_Z_ORDER, pShade->getZOrder());
    EXPECT_FLOAT_EQ(0.6f, pShade->getAlpha());
    EXPECT_EQ(Rect(0, 0, 800, 600), pShade->getScreenRect());
    EXPECT_EQ(Color(0, 0, 0, 255), pShade->getImage()->getColorAt(400, 300));
}

TEST(GameAppLifetime, OneInstanceAtATimeAndNullAfterDestruction) {
    EXPECT_EQ(nullptr, GameApp::getInstance());
    {
        TestApp app;
        EXPECT_EQ(&app, GameApp::getInstance());
        EXPECT_THROW(TestApp second, Tsl::BadStateException);
        EXPECT_EQ(&app, GameApp::getInstance());
    }
    EXPECT_EQ(nullptr, GameApp::getInstance());
}

TEST(GameAppLifetime, AModeFailingToCleanUpAtShutdownDoesNotStopTheOthersOrTheShutdown) {
    struct FailingMode : RecordingMode {
        using RecordingMode::RecordingMode;
        void cleanup() override {
            RecordingMode::cleanup();
            TSL_THROW(BadStateException, "cleanup failed");
        }
    };
    EventLog log;
    {
        TestApp app;
        app.pushMode(new RecordingMode("bottom", MF_ACTIVE, &log));
        app.pushMode(new FailingMode("top", MF_ACTIVE, &log));
        log.clear();
    }
    EXPECT_EQ("top.cleanup bottom.cleanup", log.joined());
    EXPECT_EQ(nullptr, GameApp::getInstance());
}

TEST_F(FrameLoopTest, WithoutAnAudioDeviceTheSilentDriverStandsIn) {
    ASSERT_NE(nullptr, app.getAudioDriver());
    EXPECT_FALSE(app.isAudioEnabled());
    app.setSoundVolume(300);
    EXPECT_EQ(255, app.getSoundVolume());
    EXPECT_FLOAT_EQ(1.0f, app.getAudioDriver()->getSoundVolume());
    app.setMusicVolume(51);
    EXPECT_FLOAT_EQ(0.2f, app.getAudioDriver()->getMusicVolume());
}

} // namespace

namespace {

TEST(ModeParticlesTest, FreeParticlesAgeWithTheModeAndLeaveWhenDead) {
    TestApp app;
    Tsl::SmartPtr<GameMode> pMode = new GameMode(MF_ACTIVE);
    ParticleList lBatch;
    for (int i = 1; i <= 3; ++i) {
        Tsl::SmartPtr<Particle> p = new Particle();
        p->setLifetime(0.25f * i);
        lBatch.append(p);
    }
    pMode->addParticles(lBatch);
    pMode->onUpdate(0.25f);
    EXPECT_EQ(2, pMode->getParticleSystem()->getCount());
    pMode->onUpdate(0.25f);
    ASSERT_EQ(1, pMode->getParticleSystem()->getCount());
    EXPECT_EQ(0.5f, pMode->getParticleSystem()->getFirst()->getAge());
    pMode->onUpdate(0.25f);
    EXPECT_EQ(0, pMode->getParticleSystem()->getCount());
}

} // namespace
