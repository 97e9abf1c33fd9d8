// How a sprite walks its controllers, and the composites and wrappers.
#include "sprite_fixture.h"
#include "sprite/spritecontroller.h"

#include <string>
#include <vector>

namespace {

// Done once its timer ran out; logs start, every step (with its dt) and its death.
class Timed : public SpriteController {
public:
    Timed(const char* pszName, float fDuration, EventLog* pLog) : m_sName(pszName), m_pLog(pLog) {
        getTimer()->setDuration(fDuration, true);
        getTimer()->setFlags(Timer::CLAMP);
    }
    ~Timed() override { m_pLog->add(m_sName + ".dead"); }
    void start(Tsl::SmartPtr<Sprite> pSprite) override {
        EXPECT_TRUE(pSprite);
        m_pLog->add(m_sName + ".start");
    }
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override {
        char szDt[32];
        snprintf(szDt, sizeof szDt, "%.2f", fDt);
        m_pLog->add(m_sName + ".step" + szDt);
        bool bDone = SpriteController::step(fDt, pSprite);
        if (m_fnOnStep) m_fnOnStep(pSprite);
        return bDone;
    }
    bool update(Tsl::SmartPtr<Sprite>) override { return !m_bEndless && getTimer()->isDone(); }

    std::string m_sName;
    // A wave or a blink: runs on a timer without a duration, never done.
    bool m_bEndless = false;
    EventLog* m_pLog;
    std::function<void(Tsl::SmartPtr<Sprite>)> m_fnOnStep;
};

struct ControllerTest : SpriteFixture {
    EventLog log;
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(0, 0);

    Timed* timed(const char* pszName, float fDuration) { return new Timed(pszName, fDuration, &log); }
    // Steps the sprite and returns what happened.
    std::string frame(float fDt) {
        log.clear();
        pSprite->updateControllers(fDt);
        return log.joined();
    }
};

TEST_F(ControllerTest, AControllerDoneOnItsFirstStepDoesNotMakeTheWalkSkipTheNext) {
    pSprite->addController(timed("a", 0.0f));
    pSprite->addController(timed("b", 1.0f));
    EXPECT_EQ("a.start b.start", log.joined());
    // Finished controllers are deleted once the walk is over.
    EXPECT_EQ("a.step0.50 b.step0.50 a.dead", frame(0.5f));
    EXPECT_EQ(1, pSprite->getControllerCount());
    EXPECT_EQ("b.step0.50 b.dead", frame(0.5f));
    EXPECT_EQ(0, pSprite->getControllerCount());
    EXPECT_THROW(pSprite->getController(0), Tsl::FatalErrorException);
}

TEST_F(ControllerTest, ControllersClearedOrRemovedDuringTheWalkDieAfterIt) {
    Timed* a = timed("a", 1.0f);
    Timed* b = timed("b", 1.0f);
    Timed* c = timed("c", 1.0f);
    pSprite->addController(a);
    pSprite->addController(b);
    pSprite->addController(c);
    // a takes b off: b is not stepped; a and c live on.
    a->m_fnOnStep = [&](Tsl::SmartPtr<Sprite> p) {
        p->removeController(b);
        EXPECT_EQ(2, p->getControllerCount());
        EXPECT_EQ(c, p->getController(1));
    };
    EXPECT_EQ("a.step0.10 c.step0.10 b.dead", frame(0.1f));
    // A callback that clears every controller, itself included, mid-walk.
    a->m_fnOnStep = [&](Tsl::SmartPtr<Sprite> p) {
        p->clearControllers();
        EXPECT_EQ(0, p->getControllerCount());
    };
    EXPECT_EQ("a.step0.10 a.dead c.dead", frame(0.1f));
    EXPECT_EQ(0, pSprite->getControllerCount());
    // Controllers added after the clear in the same walk survive it.
    Timed* d = timed("d", 1.0f);
    pSprite->addController(d);
    d->m_fnOnStep = [&](Tsl::SmartPtr<Sprite> p) {
        p->clearControllers();
        p->addController(timed("e", 0.0f));
    };
    EXPECT_EQ("d.step0.10 e.start e.step0.10 d.dead e.dead", frame(0.1f));
}

TEST_F(ControllerTest, QueueRunsItsChildrenOneAfterTheOther) {
    SpriteControllerList lChildren;
    lChildren.append(timed("a", 1.0f));
    lChildren.append(timed("b", 1.0f));
    SCQueue* pQueue = new SCQueue(lChildren);
    pSprite->addController(pQueue);
    EXPECT_EQ("a.start", log.joined());
    EXPECT_EQ(2, pQueue->getCount());
    std::vector<std::string> aFrames;
    for (int i = 0; i < 8; ++i) aFrames.push_back(frame(0.25f));
    EXPECT_EQ("a.step0.25 a.dead b.start", aFrames[3]);
    EXPECT_EQ("b.step0.25", aFrames[4]);
    EXPECT_EQ("b.step0.25 b.dead", aFrames[7]);
    EXPECT_EQ(1, pSprite->getControllerCount());
    EXPECT_EQ("", frame(0.25f));
    EXPECT_EQ(0, pSprite->getControllerCount());
}

TEST_F(ControllerTest, EmptyCompositesEndOnTheirFirstStepAndASetWithItsSlowestChild) {
    pSprite->addController(new SCQueue());
    pSprite->addController(new SCSet(SpriteControllerList()));
    pSprite->updateControllers(0.1f);
    EXPECT_EQ(0, pSprite->getControllerCount());

    SpriteControllerList lChildren;
    lChildren.append(timed("fast", 0.2f));
    lChildren.append(timed("slow", 0.5f));
    SCSet* pSet = new SCSet(lChildren);
    pSprite->addController(pSet);
    EXPECT_EQ("fast.start slow.start", log.joined());
    frame(0.2f);
    EXPECT_EQ(1, pSet->getCount());
    frame(0.2f);
    EXPECT_EQ(1, pSprite->getControllerCount());
    EXPECT_EQ("slow.step0.20 slow.dead", frame(0.2f));
    EXPECT_EQ(0, pSprite->getControllerCount());
}

TEST_F(ControllerTest, LoopRestartsEachChildOnItsTurnAndNeverEnds) {
    SCLoop* pLoop = new SCLoop();
    Timed* a = timed("a", 1.0f);
    Timed* b = timed("b", 1.0f);
    pLoop->add(a);
    pLoop->add(b);
    pSprite->addController(pLoop);
    for (int i = 0; i < 3; ++i) frame(0.5f);
    // a ended on the second step, b ran once since.
    EXPECT_EQ(0.5f, b->getTimer()->getTime());
    EXPECT_EQ("b.step0.50 a.start", frame(0.5f));
    EXPECT_EQ(0.0f, a->getTimer()->getTime());
    for (int i = 0; i < 20; ++i) frame(0.5f);
    EXPECT_EQ(1, pSprite->getControllerCount());
    // Only tick ends it.
    log.clear();
    pSprite->tickControllers();
    EXPECT_EQ(0, pSprite->getControllerCount());
    EXPECT_NE(std::string::npos, log.joined().find("a.dead"));

    SCLoop empty;
    EXPECT_THROW(empty.step(0.1f, pSprite), Tsl::FatalErrorException);
}

TEST_F(ControllerTest, CompositesBuiltFromAListDropItsNullEntries) {
    for (int nKind = 0; nKind < 3; ++nKind) {
        SpriteControllerList lChildren;
        lChildren.append(nullptr);
        lChildren.append(timed("a", 0.5f));
        lChildren.append(nullptr);
        SpriteController* pComposite = nKind == 0   ? static_cast<SpriteController*>(new SCQueue(lChildren))
                                       : nKind == 1 ? static_cast<SpriteController*>(new SCSet(lChildren))
                                                    : static_cast<SpriteController*>(new SCLoop(lChildren));
        pSprite->addController(pComposite);
        EXPECT_EQ("a.step0.25", frame(0.25f)) << nKind;
        log.clear();
        pSprite->tickControllers();
        EXPECT_EQ(0, pSprite->getControllerCount());
        EXPECT_NE(std::string::npos, log.joined().find("a.dead")) << nKind;
    }
}

TEST_F(ControllerTest, AControllerAddedTwiceRunsOnceAFrameAndDiesOnce) {
    Timed* pOnce = timed("a", 0.5f);
    pSprite->addController(pOnce);
    pSprite->addController(pOnce);
    EXPECT_EQ("a.step0.25", frame(0.25f));
    EXPECT_EQ("a.step0.25 a.dead", frame(0.25f));
    EXPECT_EQ(0, pSprite->getControllerCount());
}

TEST_F(ControllerTest, DelayHandsItsInnerControllerTheOvershoot) {
    pSprite->addController(new SCDelayController(0.5f, timed("c", 0.2f)));
    EXPECT_EQ("", log.joined());
    EXPECT_EQ("", frame(0.3f));
    EXPECT_EQ("c.start c.step0.10", frame(0.3f));
    EXPECT_EQ("c.step0.30 c.dead", frame(0.3f));
    EXPECT_EQ(0, pSprite->getControllerCount());

    // Ticked while waiting: started once, finished at once.
    pSprite->addController(new SCDelayController(5.0f, timed("d", 1.0f)));
    log.clear();
    pSprite->tickControllers();
    EXPECT_EQ("d.start d.step1.00 d.dead", log.joined());
}

TEST_F(ControllerTest, ADelayRunsItsInnerControllerOnceAndStartsItEvenWithoutDelay) {
    // Without any delay the inner controller still gets its start-up.
    pSprite->addController(new SCDelayController(0.0f, timed("c", 0.2f)));
    EXPECT_EQ("c.start c.step0.10", frame(0.1f));
    EXPECT_EQ("c.step0.10 c.dead", frame(0.1f));
    EXPECT_EQ(0, pSprite->getControllerCount());
    pSprite->addController(new SCDelayController(0.0f, timed("t", 1.0f)));
    log.clear();
    pSprite->tickControllers();
    EXPECT_EQ("t.start t.step1.00 t.dead", log.joined());

    // An inner controller done on the step the delay ran out is not run a
    // second time: the wrapper ends on the next step all the same.
    struct Once : SpriteController {
        int* pRuns;
        explicit Once(int* p) : pRuns(p) {}
        bool update(Tsl::SmartPtr<Sprite>) override {
            ++*pRuns;
            return true;
        }
    };
    int nRuns = 0;
    pSprite->addController(new SCDelayController(0.1f, new Once(&nRuns)));
    pSprite->updateControllers(0.1f);
    EXPECT_EQ(1, nRuns);
    EXPECT_EQ(1, pSprite->getControllerCount());
    pSprite->updateControllers(0.1f);
    EXPECT_EQ(1, nRuns);
    EXPECT_EQ(0, pSprite->getControllerCount());
}

TEST_F(ControllerTest, WhenDoneWaitsForTheOthersAndItsControllerRunsInTheSameWalk) {
    pSprite->addController(timed("fade", 0.5f));
    pSprite->addController(new SCWhenDone(timed("next", 1.0f)));
    EXPECT_EQ("fade.step0.25", frame(0.25f));
    EXPECT_EQ("fade.step0.25 next.start next.step0.25 fade.dead", frame(0.25f));
    EXPECT_EQ(1, pSprite->getControllerCount());
    pSprite->clearControllers();

    // Added before the fade it acts one frame later.
    pSprite->addController(new SCWhenDone(timed("next", 1.0f)));
    pSprite->addController(timed("fade", 0.5f));
    frame(0.25f);
    EXPECT_EQ("fade.step0.25 fade.dead", frame(0.25f));
    EXPECT_EQ("next.start next.step0.25", frame(0.25f));
    pSprite->clearControllers();

    // Never handed over: the wrapper deletes what it holds.
    pSprite->addController(timed("fade", 1.0f));
    pSprite->addController(new SCWhenDone(timed("held", 1.0f)));
    log.clear();
    pSprite->clearControllers();
    EXPECT_EQ("fade.dead held.dead", log.joined());
}

TEST_F(ControllerTest, TickFinishesTimedControllersAndKeepsTimerlessOnes) {
    pSprite->addController(timed("fade", 2.0f));
    Timed* pWave = timed("wave", 0.0f);
    pWave->getTimer()->setFlags(0);
    pWave->m_bEndless = true;
    pSprite->addController(pWave);
    pSprite->updateControllers(0.5f);
    SpriteControllerList lChildren;
    lChildren.append(timed("q1", 1.0f));
    lChildren.append(timed("q2", 1.0f));
    pSprite->addController(new SCQueue(lChildren));
    log.clear();
    pSprite->tickControllers();
    // The wave goes back to its start and stays; the later queue child is
    // started before it is finished.
    EXPECT_EQ("fade.step1.50 wave.step-0.50 q1.step1.00 q2.start q2.step1.00 fade.dead q1.dead q2.dead",
              log.joined());
    EXPECT_EQ(1, pSprite->getControllerCount());
    EXPECT_EQ(0.0f, pWave->getTimer()->getTime());
}

} // namespace
