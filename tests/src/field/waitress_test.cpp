// The waitress over a generated template: her figure, moves, actions and the
// glasses she carries.
#include "playfield_fixture.h"
#include "field/waitress.h"

#include "field/targets/actiontarget.h"
#include "field/mug.h"

#include <regex>

namespace {

// Counts what the waitress does to it.
struct FakeTarget : IActionTarget {
    bool bAccepts = true;
    int nKind = 2;
    int nActions = 0;
    bool bBusy = false;
    bool canDoAction(int) override { return bAccepts; }
    void doAction(int) override { ++nActions; }
    int getActionKind(int) override { return nKind; }
    void setBusy(bool b) override { bBusy = b; }
};

Tsl::SmartPtr<Mug> fullMug() {
    Tsl::SmartPtr<Mug> pMug = new Mug(nullptr);
    pMug->fill(0);
    return pMug;
}

}  // namespace

struct WaitressTest : PlayFieldFixture {
    Tsl::SmartPtr<PlayMode> pMode;
    void SetUp() override {
        PlayFieldFixture::SetUp();
        pMode = makeField();
    }
    Tsl::SmartPtr<Waitress> make(int nCapacity, int nX = 400, int nY = 400) {
        return new Waitress(pMode.get(), "waitress", nX, nY, nCapacity);
    }
    static std::string seq(const Tsl::SmartPtr<Waitress>& p, int i) {
        return p->getSprite(i)->getSequenceName().c_str();
    }
};

TEST_F(WaitressTest, ANewWaitressStandsFacingSouthWithEmptyHands) {
    Tsl::SmartPtr<Waitress> p = make(2);
    EXPECT_EQ(p->getState(), Waitress::STATE_STAND);
    EXPECT_EQ(p->getHeading(), Waitress::SOUTH);
    EXPECT_EQ(p->getMugCount(), 0);
    EXPECT_EQ(seq(p, 0), "stand_s_main");
    EXPECT_EQ(seq(p, 1), "stand_s_arm_empty_left");
    EXPECT_EQ(seq(p, 2), "stand_s_arm_empty_right");
    EXPECT_FALSE(p->getSprite(1)->isPlaying());
    EXPECT_EQ(seq(p, 3), "thumb_empty");
    // Drawn at the depth of the floor she stands on before her first step.
    EXPECT_EQ(p->getSprite(0)->getZOrder(), 50);
    EXPECT_EQ(p->getSprite(3)->getZOrder(), 56);
    EXPECT_TRUE(app.hasAnimation("waitress.template-B"));
    make(6);
    EXPECT_TRUE(app.hasAnimation("waitress.template-A"));
    // A capacity the upgrades never give is two hands.
    EXPECT_EQ(make(5)->getCapacity(), 2);
}

TEST_F(WaitressTest, VelocityFollowsTheHeadingAndTheSecondDirection) {
    struct Case {
        int nHeading, nSecond;
        float fVx, fVy;
    } cases[] = {{1, -1, 149.0f, 0.0f}, {1, 0, 149.0f, -111.75f}, {2, -1, 0.0f, 100.0f}, {0, 3, -82.5f, -110.0f}};
    Tsl::SmartPtr<Waitress> p = make(2);
    for (const Case& c : cases) {
        p->startWalking(c.nHeading, c.nSecond);
        float fVx, fVy;
        p->getVelocity(0.5f, fVx, fVy);
        EXPECT_FLOAT_EQ(fVx, c.fVx) << c.nHeading << "/" << c.nSecond;
        EXPECT_FLOAT_EQ(fVy, c.fVy) << c.nHeading << "/" << c.nSecond;
    }
}

TEST_F(WaitressTest, LimbsAreOrderedAroundTheBodyByHeading) {
    Tsl::SmartPtr<Waitress> p = make(2);
    p->setPosition(401.0f, 401.0f);  // the walk area's depth, 50
    int aanExpected[4][4] = {{49, 49, 50, 50}, {43, 57, 49, 58}, {52, 52, 56, 56}, {57, 43, 58, 49}};
    for (int h = 0; h < 4; ++h) {
        p->setHeading(h);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(p->getSprite(i + 1)->getZOrder(), aanExpected[h][i]) << h << " " << i;
    }
}

TEST_F(WaitressTest, MovesAreRefusedOutsideTheFloorAndScaleWithDepth) {
    Tsl::SmartPtr<Waitress> p = make(2);
    p->setPosition(400.5f, 400.25f);  // the same pixel: the floats only
    float fX, fY;
    p->getPosition(fX, fY);
    EXPECT_EQ(fX, 400.5f);
    EXPECT_EQ(p->getSprite(0)->getXf(), 400.0f);
    p->setPosition(400.0f, 100.0f);  // above the floor
    p->getPosition(fX, fY);
    EXPECT_EQ(fY, 400.25f);
    struct Case {
        float fY, fScale;
    } cases[] = {{559.0f, 0.9992f}, {300.0f, 0.792f}, {430.0f, 0.896f}};
    for (const Case& c : cases) {
        p->setPosition(400.0f, c.fY);
        p->updateScale();
        EXPECT_NEAR(p->getSprite(0)->getScaleX(), c.fScale, 1e-4) << c.fY;
    }
}

TEST_F(WaitressTest, HandsFillInOrderAndAFullTrayRefuses) {
    Tsl::SmartPtr<Waitress> p = make(2);
    EXPECT_TRUE(p->setHandContents(fullMug()));
    EXPECT_TRUE(p->setHandContents(fullMug()));
    EXPECT_FALSE(p->setHandContents(fullMug()));
    EXPECT_EQ(p->getMugCount(), 2);
    EXPECT_FALSE(p->getHandContents(2));
    EXPECT_FALSE(p->takeHandContents(2));
    EXPECT_FALSE(p->takeHandContents(-1));

    Tsl::SmartPtr<Waitress> pTray = make(4);
    for (int i = 0; i < 2; ++i) pTray->setHandContents(fullMug());
    pTray->takeHandContents(0);
    pTray->setHandContents(fullMug());
    EXPECT_TRUE(pTray->getHandContents(0));
    EXPECT_FALSE(pTray->getHandContents(2));

    Tsl::SmartPtr<Mug> pEmpty = new Mug(nullptr);
    pTray->takeHandContents(1);
    pTray->setHandContents(pEmpty);
    Tsl::List<Tsl::SmartPtr<Mug>> lTaken = pTray->takeEmptyMugs();
    ASSERT_EQ(lTaken.getCount(), 1);
    EXPECT_EQ(lTaken.getFirst(), pEmpty);
    EXPECT_TRUE(pTray->isHandEmpty(1));
    EXPECT_EQ(pTray->getFullMugs().getCount(), 1);
}

TEST_F(WaitressTest, GlassesLieOnTheHandPlacesAndTheTray) {
    // Body canvas 200 x 180, insertion point at its bottom centre.
    Tsl::SmartPtr<Waitress> p = make(2);
    Tsl::SmartPtr<Mug> pMug = fullMug();
    p->setHandContents(pMug);
    // Hand place 0 is canvas point (59, 111); the figure stands at (400, 400).
    EXPECT_EQ(pMug->getX(), 359);
    EXPECT_EQ(pMug->getY(), 331);
    EXPECT_EQ(pMug->getZOrder(), p->getSprite(1)->getZOrder() + 4);

    Tsl::SmartPtr<Waitress> pTray = make(6);
    pTray->setHeading(Waitress::NORTH);
    Tsl::SmartPtr<Mug> apMugs[4];
    for (Tsl::SmartPtr<Mug>& pm : apMugs) pTray->setHandContents(pm = fullMug());
    EXPECT_EQ(apMugs[3]->getY() - apMugs[0]->getY(), 26);
    EXPECT_EQ(apMugs[0]->getX(), 359);
    EXPECT_EQ(apMugs[1]->getX(), 378);
}

TEST_F(WaitressTest, HandPlacesOutsideTheTableAreClamped) {
    struct Case {
        const char* pszPlace;
        int nX, nY;
    } cases[] = {{"position 500", 406, 350}, {"position -3", 359, 331}, {"position x", 359, 331}};
    for (const Case& c : cases) {
        addText("waitress.template", std::regex_replace(fixture::waitressTemplate(), std::regex("position [0-9]+"),
                                                        c.pszPlace));
        app.releaseAnimation("waitress.template-B");
        Tsl::SmartPtr<Waitress> p = make(2);
        Tsl::SmartPtr<Mug> pMug = fullMug();
        ASSERT_TRUE(p->setHandContents(pMug));
        EXPECT_EQ(pMug->getX(), c.nX) << c.pszPlace;
        EXPECT_EQ(pMug->getY(), c.nY) << c.pszPlace;
    }
}

TEST_F(WaitressTest, AnActionTakesEffectExactlyOnce) {
    enum { AT_DOACTION, AT_END, INTERRUPTED, REFUSED_LATER };
    for (int nCase : {AT_DOACTION, AT_END, INTERRUPTED, REFUSED_LATER}) {
        if (nCase == AT_END) addText("waitress.template", fixture::waitressTemplate({}, false));
        Tsl::SmartPtr<Waitress> p = make(2);
        Tsl::SmartPtr<FakeTarget> pTarget = new FakeTarget();
        EXPECT_EQ(p->startAction(pTarget.get(), 0), 2);
        EXPECT_TRUE(pTarget->bBusy);
        EXPECT_EQ(seq(p, 1), "take_s_left");
        EXPECT_EQ(p->startAction(pTarget.get(), 0), -1) << "the arm is still busy";
        if (nCase == INTERRUPTED) p->setHeading(Waitress::EAST);
        if (nCase == REFUSED_LATER) pTarget->bAccepts = false;
        for (int i = 0; i < 8; ++i) p->update(0.125f);
        EXPECT_EQ(pTarget->nActions, nCase == REFUSED_LATER ? 0 : 1) << nCase;
        EXPECT_EQ(p->getState(), Waitress::STATE_STAND) << nCase;
        EXPECT_FALSE(pTarget->bBusy) << nCase;
        EXPECT_FALSE(p->getTarget());
    }
}

TEST_F(WaitressTest, ALoopingActionInTheArtStillEnds) {
    std::string sText = fixture::waitressTemplate();
    size_t nAt = sText.find("seq fill_s_left fps 8");
    sText.insert(nAt + std::string("seq fill_s_left fps 8").size(), " loop");
    addText("waitress.template", sText);
    Tsl::SmartPtr<Waitress> p = make(2);
    Tsl::SmartPtr<FakeTarget> pTarget = new FakeTarget();
    pTarget->nKind = 1;
    p->startAction(pTarget.get(), 0);
    for (int i = 0; i < 12; ++i) p->update(0.125f);
    EXPECT_EQ(pTarget->nActions, 1);
    EXPECT_TRUE(p->isFree());
}

TEST_F(WaitressTest, WalkStepsSwingTheArmsAgainstTheLegs) {
    Tsl::SmartPtr<Waitress> p = make(2);
    p->startWalking(Waitress::SOUTH, -1);
    EXPECT_TRUE(p->isWalking());
    EXPECT_EQ(seq(p, 0), "walk_s_main_right");
    EXPECT_EQ(seq(p, 1), "walk_s_arm_empty_left_front");
    EXPECT_EQ(seq(p, 2), "walk_s_arm_empty_right_back");
    EXPECT_FALSE(p->hasStoppedWalking());
    for (int i = 0; i < 3; ++i) p->update(0.125f);
    EXPECT_FALSE(p->isWalking());
    EXPECT_TRUE(p->hasStoppedWalking());
    p->startWalking(Waitress::SOUTH, -1);
    EXPECT_EQ(seq(p, 0), "walk_s_main_left");
    // No floor five pixels ahead: no step.
    Tsl::SmartPtr<Waitress> pEdge = make(2, 400, 302);
    pEdge->startWalking(Waitress::NORTH, -1);
    EXPECT_FALSE(pEdge->isWalking());
}

TEST_F(WaitressTest, ASequenceTheTemplateLacksHidesOnlyThatSprite) {
    addText("waitress.template", fixture::waitressTemplate({"stand_e_main"}));
    Tsl::SmartPtr<Waitress> p = make(2);
    p->setHeading(Waitress::EAST);
    EXPECT_FALSE(p->getSprite(0)->getImage());
    EXPECT_TRUE(p->getSprite(1)->getImage());
    // Without a body picture the glasses are not laid out, and nothing fails.
    Tsl::SmartPtr<Mug> pMug = fullMug();
    EXPECT_TRUE(p->setHandContents(pMug));
    EXPECT_EQ(pMug->getX(), 0);
}
