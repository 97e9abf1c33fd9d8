// Sprites inside a mode: z-order, the update list, removal and callbacks from
// controllers, sprites not yet held, tooltip records.
#include "sprite_fixture.h"
#include "sprite/spritecontroller.h"

#include <string>
#include <vector>

namespace {

class CallbackMode : public GameMode {
public:
    void onCallback(int nId, int nData) override { m_aCalls.push_back(nId * 100 + nData); }
    std::vector<int> m_aCalls;
};

// Logs its start and whether the sprite it was given is alive.
class Probe : public SpriteController {
public:
    explicit Probe(std::vector<std::string>* pLog) : m_pLog(pLog) {}
    void start(Tsl::SmartPtr<Sprite> pSprite) override {
        m_pLog->push_back(pSprite ? "start" : "start-null");
    }
    bool update(Tsl::SmartPtr<Sprite> pSprite) override {
        m_pLog->push_back("update z" + std::to_string(pSprite->getZOrder()));
        return false;
    }
    std::vector<std::string>* m_pLog;
};

struct SpriteModeTest : SpriteFixture {
    Tsl::SmartPtr<CallbackMode> pMode = new CallbackMode();

    std::vector<int> layerOrder() const {
        std::vector<int> a;
        for (const Tsl::SmartPtr<Sprite>& p : *pMode->getLayers().getFirst()) a.push_back(p->getX());
        return a;
    }
};

TEST_F(SpriteModeTest, ZOrderChangesResortTheLayerAndTheControls) {
    Tsl::SmartPtr<Sprite> a = new Sprite(1, 0, 0), b = new Sprite(2, 0, 0), c = new Sprite(3, 0, 5);
    pMode->addSprite(a);
    pMode->addControl(b);
    pMode->addControl(c);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), layerOrder());
    // The same value does not re-sort (which would move a behind b).
    a->setZOrder(0);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), layerOrder());
    b->setZOrder(9);
    EXPECT_EQ((std::vector<int>{1, 3, 2}), layerOrder());
    EXPECT_EQ(b, pMode->getControls().getAt(1));
    a->setZOrder(-1);
    c->setZOrder(-2);
    EXPECT_EQ((std::vector<int>{3, 1, 2}), layerOrder());
    EXPECT_EQ(c, pMode->getControls().getFirst());
}

TEST_F(SpriteModeTest, ControllersPutTheSpriteInTheUpdateListUntilTheyAreDone) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(0, 0);
    pMode->addSprite(pSprite);
    EXPECT_TRUE(pMode->getUpdateList().isEmpty());
    pSprite->addController(new SCDelayController(0.2f, new SCQueue()));
    EXPECT_EQ(1, pMode->getUpdateList().getCount());
    pMode->onUpdate(0.1f);
    EXPECT_EQ(1, pMode->getUpdateList().getCount());
    pMode->onUpdate(0.1f);
    pMode->onUpdate(0.1f);
    EXPECT_TRUE(pMode->getUpdateList().isEmpty());
    EXPECT_FALSE(pSprite->getUpdateLink().isLinked());
}

TEST_F(SpriteModeTest, RemoveAndCallbackWrappersActWhenTheyAreTheLastController) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(0, 0);
    pMode->addSprite(pSprite);
    SpriteControllerList lSteps;
    lSteps.append(new SCDelayController(0.1f, new SCQueue()));
    lSteps.append(new SCCallbackWhenDone(pMode, 4, 2));
    lSteps.append(new SCRemoveWhenDone());
    pSprite->addController(new SCQueue(lSteps));
    // Only the mode holds the sprite from here on: it must outlive the walk
    // that takes it out of the mode.
    pSprite = nullptr;
    // The delay runs out on the first step; its (instant) inner controller
    // reports done on the second; then one step each for the wrappers.
    for (int i = 0; i < 2; ++i) pMode->onUpdate(0.1f);
    EXPECT_TRUE(pMode->m_aCalls.empty());
    pMode->onUpdate(0.1f);
    EXPECT_EQ((std::vector<int>{402}), pMode->m_aCalls);
    EXPECT_EQ(1, pMode->getLayers().getFirst()->getCount());
    pMode->onUpdate(0.1f);
    EXPECT_TRUE(pMode->getLayers().getFirst()->isEmpty());
    EXPECT_TRUE(pMode->getUpdateList().isEmpty());

    // Beside another controller they wait.
    Tsl::SmartPtr<Sprite> pBusy = new Sprite(0, 0);
    pMode->addSprite(pBusy);
    pBusy->addController(new SCRemoveWhenDone());
    pBusy->addController(new SCDelayController(0.15f, new SCQueue()));
    pMode->onUpdate(0.1f);
    pMode->onUpdate(0.1f);
    EXPECT_EQ(pMode, pBusy->getOwnerMode());
    pMode->onUpdate(0.1f);
    pMode->onUpdate(0.1f);
    EXPECT_EQ(nullptr, pBusy->getOwnerMode());

    // In no mode there is nothing to remove: the wrapper just ends.
    Tsl::SmartPtr<Sprite> pLoose = new Sprite(0, 0);
    pLoose->addController(new SCRemoveWhenDone());
    pLoose->updateControllers(0.1f);
    EXPECT_EQ(0, pLoose->getControllerCount());
    pLoose->addController(new SCCallbackWhenDone(nullptr, 1, 1));
    pLoose->updateControllers(0.1f);
    EXPECT_EQ(0, pLoose->getControllerCount());
    EXPECT_EQ(nullptr, pLoose->getOwnerMode());
}

TEST_F(SpriteModeTest, ASpriteNobodyHoldsYetSurvivesItsOwnCountedReferences) {
    std::vector<std::string> log;
    Sprite* pRaw = new Sprite(0, 0, 3);
    pRaw->addController(new Probe(&log));
    pRaw->setZOrder(4);
    pRaw->updateControllers(0.1f);
    pRaw->tickControllers();
    // Not started and not stepped while nothing holds it, and still alive.
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(1, pRaw->getControllerCount());
    EXPECT_EQ(0, pRaw->getRefCount());

    Tsl::SmartPtr<Sprite> pSprite = pRaw;
    pMode->addSprite(pSprite);
    EXPECT_EQ((std::vector<std::string>{"start"}), log);
    EXPECT_EQ(1, pMode->getUpdateList().getCount());
    pMode->onUpdate(0.1f);
    EXPECT_EQ("update z4", log.back());

    // Held by a pointer but in no mode: a later add starts the earlier ones first.
    log.clear();
    Sprite* pOther = new Sprite(0, 0, 1);
    pOther->addController(new Probe(&log));
    Tsl::SmartPtr<Sprite> pHeld = pOther;
    pHeld->addController(new Probe(&log));
    EXPECT_EQ((std::vector<std::string>{"start", "start"}), log);
}

TEST_F(SpriteModeTest, TooltipRecordsFollowTheirSprite) {
    Tsl::SmartPtr<Sprite> pLoose = new Sprite(makeImage(10, 10), 0, 0);
    pLoose->setTooltip("no mode", Point(1, 1));
    EXPECT_EQ(nullptr, pLoose->getTooltip());

    Tsl::SmartPtr<Sprite> pSprite = new Sprite(makeImage(10, 10), 20, 30);
    pMode->addSprite(pSprite);
    pSprite->setTooltip("hello", Point(-1000, -1000));
    Tooltip* pTip = pSprite->getTooltip();
    ASSERT_NE(nullptr, pTip);
    EXPECT_EQ(1, pMode->getTooltips().getCount());
    EXPECT_EQ(Tsl::String("hello"), pTip->m_sText);
    EXPECT_FALSE(pTip->m_bHasPosition);
    EXPECT_EQ(Rect(20, 30, 30, 40), pTip->m_ownerRect);
    EXPECT_EQ(pMode, pTip->m_pSprite->getOwnerMode());
    EXPECT_EQ(2, pMode->getLayers().getFirst()->getCount());

    pSprite->setTooltip("again", Point(5, 6));
    pSprite->setTooltipStyle("Small");
    EXPECT_EQ(Tsl::String("again"), pTip->m_sText);
    EXPECT_EQ(Tsl::String("Small"), pTip->m_sStyle);
    EXPECT_TRUE(pTip->m_bHasPosition);
    EXPECT_EQ(Point(5, 6), pTip->m_position);

    pSprite->setPosition(40, 50);
    EXPECT_EQ(Rect(40, 50, 50, 60), pTip->m_ownerRect);
    pSprite->setVisible(false);
    EXPECT_FALSE(pTip->m_bVisible);

    // Leaving the mode takes the record and its sprite along.
    pMode->removeSprite(pSprite);
    EXPECT_EQ(nullptr, pSprite->getTooltip());
    EXPECT_TRUE(pMode->getTooltips().isEmpty());
    EXPECT_TRUE(pMode->getLayers().getFirst()->isEmpty());

    pMode->addSprite(pSprite);
    pSprite->setTooltip("third", Point(0, 0));
    pSprite->removeTooltip();
    EXPECT_TRUE(pMode->getTooltips().isEmpty());
    pSprite->setTooltip("fourth", Point(0, 0));
    pMode->cleanup();
    EXPECT_EQ(nullptr, pSprite->getTooltip());
    EXPECT_TRUE(pMode->getTooltips().isEmpty());
}

// Emptying the mode must end even for entries removeSprite leaves alone.
TEST_F(SpriteModeTest, CleanupEndsForSpritesTheModeDoesNotOwn) {
    Tsl::SmartPtr<GameMode> pOther = new GameMode();
    Tsl::SmartPtr<Sprite> pStray = new Sprite(0, 0);
    pMode->addToUpdateList(pStray);
    Tsl::SmartPtr<Sprite> pMoved = new Sprite(0, 0);
    pMode->addControl(pMoved);
    pMoved->setOwnerMode(pOther.get());

    pMode->cleanup();
    EXPECT_TRUE(pMode->getUpdateList().isEmpty());
    EXPECT_TRUE(pMode->getControls().isEmpty());
    EXPECT_TRUE(pMode->getLayers().getFirst()->isEmpty());
    EXPECT_FALSE(pStray->getUpdateLink().isLinked());
    EXPECT_FALSE(pMoved->getControlLink().isLinked());
}

} // namespace
