// The store: what each position offers at given levels, and the screen with
// scripted input and exact frame steps.
#include "store_fixture.h"

#include "store/buyupgrademode.h"
#include "player/qarnplayer.h"
#include "store/storemode.h"
#include "rules/upgrademanager.h"

#include "anim/animsprite.h"
#include "app/modetransition.h"

#include <cstring>

namespace {

struct Levels {
    UpgradeLevels a = {};
    Levels& set(int nKind, int nLevel) {
        a[nKind] = nLevel;
        return *this;
    }
};

TEST(StoreItems, PositionsFollowTheLevels) {
    struct Case {
        const char* pszWhat;
        Levels levels;
        int nPosition;
        const char* pszEntry;
        bool bBuyable;
    } cases[] = {
        {"fresh trays", Levels(), 0, "store_bandeja1", true},
        {"all chairs bought", Levels().set(2, 1).set(3, 1).set(4, 1).set(5, 1), 1, "store_soldout_high", false},
        {"one chair missing", Levels().set(2, 1).set(3, 1).set(4, 1), 1, "store_sillas", true},
        {"no chair, no center", Levels(), 5, "store_na_low", false},
        {"a chair, no center", Levels().set(3, 1), 5, "store_centros1", true},
        {"stations (1, 0): juicers", Levels().set(6, 1), 2, "store_jugomatic", true},
        {"stations (1, 0): barman 0", Levels().set(6, 1), 7, "store_badboy2", true},
        {"stations (1, 0): barman 1", Levels().set(6, 1), 8, "store_na_barman2", false},
        {"both juicers", Levels().set(6, 1).set(7, 2), 2, "store_soldout_high", false},
        {"signs at 4", Levels().set(12, 4), 6, "upg_sold", false},
        {"signs at 3", Levels().set(12, 3), 6, "store_cartel4", true},
        {"parrot not bought", Levels(), 3, "store_parrot.anim", true},
        {"parrot bought", Levels().set(8, 1), 3, "store_soldout_high", false},
        {"centers sold out", Levels().set(2, 1).set(4, 1).set(10, 2).set(11, 2), 5, "store_soldout_low", false},
    };
    for (const Case& c : cases) {
        StoreItem item = computeStoreItems(c.levels.a)[c.nPosition];
        ASSERT_NE(item.pszEntry, nullptr) << c.pszWhat;
        EXPECT_STREQ(item.pszEntry, c.pszEntry) << c.pszWhat;
        EXPECT_EQ(item.bBuyable, c.bBuyable) << c.pszWhat;
    }
}

// Every level combination in range: each position has its picture, and a
// buyable item opens a dialog that can buy something.
TEST(StoreItems, EveryCombinationHasPicturesAndSomethingToBuy) {
    const UpgradeLevels anCounts = {3, 1, 2, 2, 2, 2, 4, 4, 2, 2, 3, 3, 5};
    UpgradeManager upgrades;
    Levels levels;
    int nCombinations = 0;
    for (;;) {
        ++nCombinations;
        for (const StoreItem& item : computeStoreItems(levels.a)) {
            ASSERT_NE(item.pszEntry, nullptr) << "position " << item.nPosition << " level " << item.nLevel;
            if (!item.bBuyable) continue;
            if (item.nStoreItem >= BuyUpgradeMode::STORE_CHAIRS)
                ASSERT_FALSE(BuyUpgradeMode::choicesFor(item.nStoreItem, levels.a).empty())
                    << "position " << item.nPosition << " level " << item.nLevel;
            else
                ASSERT_GE(upgrades.getPrice(item.nStoreItem, levels.a[item.nStoreItem]), 0);
        }
        int k = 0;
        while (k < 13 && ++levels.a[k] == anCounts[k]) levels.a[k++] = 0;
        if (k == 13) break;
    }
    EXPECT_EQ(nCombinations, 3 * 16 * 16 * 2 * 2 * 9 * 5);
}

struct StoreScreenTest : StoreFixture {
    Tsl::SmartPtr<StoreMode> store;
    void SetUp() override {
        StoreFixture::SetUp();
        store = new StoreMode(&player, 0, "scene0");
        app.pushMode(store.get());
    }
    bool storeRuns() { return app.getModeIndex(store.get()) >= 0; }
    Tsl::String speech() { return store->getSpeechLabel()->getText(); }
    Tsl::String salesman() { return store->getSalesman()->getSequenceName(); }
    // The purchase dialog on top ends through its Cancel, or through the OK
    // of the message a purchase shows.
    void closeDialog() { app.getModeAt(0)->onCallback(BuyUpgradeMode::ID_CANCEL, 0); }
    bool hasButton(int nId) {
        for (const Tsl::SmartPtr<CustomButton>& p : store->getItemButtons())
            if (p->getId() == nId) return true;
        return false;
    }
};

TEST_F(StoreScreenTest, BackFadesTheBubbleInAndLeavesASecondLater) {
    EXPECT_EQ(store->getLeaveBubble()->getAlpha(), 0.0f);
    store->onCallback(StoreMode::ID_BACK, 0);
    const float afAlphas[] = {0.5f, 1.0f, 1.0f};
    for (float fAlpha : afAlphas) {
        step(250);
        ASSERT_TRUE(storeRuns());
        EXPECT_EQ(store->getLeaveBubble()->getAlpha(), fAlpha);
        EXPECT_EQ(store->getLeaveLabel()->getAlpha(), fAlpha);
    }
    step(250);
    EXPECT_FALSE(storeRuns());
    EXPECT_TRUE(Tsl::SmartPtr<TrnFadeToBlack>::dynamicCast(app.getModeAt(0)));
    // A second press during the countdown leaves at once.
    Tsl::SmartPtr<StoreMode> pAgain = new StoreMode(&player, 0, "scene0");
    app.pushMode(pAgain.get());
    pAgain->onCallback(StoreMode::ID_BACK, 0);
    step(250);
    pAgain->onCallback(StoreMode::ID_BACK, 0);
    EXPECT_EQ(app.getModeIndex(pAgain.get()), -1);
}

TEST_F(StoreScreenTest, TheSalesmanReactsForOneSecondOfShortFrames) {
    EXPECT_EQ(speech(), "idle");
    store->onCallback(0, 0);
    EXPECT_EQ(salesman(), "sad");
    closeDialog();
    EXPECT_EQ(speech(), "bad");
    step(500);  // a stall does not count
    EXPECT_EQ(store->getTalkTime(), 1.0f);
    for (int i = 0; i < 3; ++i) step(250);
    EXPECT_EQ(salesman(), "sad");
    step(250);  // ends exactly at 0
    EXPECT_EQ(salesman(), "blink");
    EXPECT_EQ(store->getTalkTime(), 0.0f);
}

TEST_F(StoreScreenTest, APurchaseRebuildsTheItemsAndCheersTheSalesman) {
    player.m_nMoney = 25;
    EXPECT_FALSE(hasButton(14));  // no chair, no center to buy
    store->onCallback(13, 0);      // chairs: chair 0 is chosen first
    app.getModeAt(0)->onCallback(BuyUpgradeMode::ID_BUY, 0);
    closeDialog();  // the message's OK
    ASSERT_EQ(app.getModeAt(0).get(), store.get());
    EXPECT_EQ(player.m_anUpgrades[2], 1);
    EXPECT_EQ(player.m_nMoney, 5);
    EXPECT_EQ(speech(), "good");
    EXPECT_EQ(salesman(), "smile");
    EXPECT_EQ(store->getMoneyLabel()->getText(), "5");
    EXPECT_TRUE(hasButton(14));
    bool bClink = false;
    for (const std::string& sCall : audio().calls) bClink |= sCall.find("sfx_store_clink") != std::string::npos;
    EXPECT_TRUE(bClink);
}

// The store centres its item pictures on copies: a picture the cache already
// held (a preload) keeps its insertion point for its other users.
TEST_F(StoreScreenTest, CachedItemPicturesKeepTheirInsertionPoints) {
    store->onCallback(0, 0);
    closeDialog();  // the items are built a second time
    for (const char* pszName : {"store_bandeja1_normal", "store_bandeja1_highlight", "store_sillas_normal"}) {
        Tsl::SmartPtr<Image> pCached = app.getImage(pszName);
        EXPECT_EQ(pCached->getInsPointX(), 0) << pszName;
        EXPECT_EQ(pCached->getInsPointY(), 0) << pszName;
    }
    Tsl::SmartPtr<Image> pShown = store->getItemButtons().getAt(0)->getImage();
    EXPECT_EQ(pShown->getInsPointX(), 30);
    EXPECT_EQ(pShown->getInsPointY(), 30);
}

TEST_F(StoreScreenTest, HoverNamesItemsAndSwitchesTheParrotKeepingItsFrame) {
    Tsl::SmartPtr<AnimSprite> pParrot = store->getParrot();
    ASSERT_TRUE(pParrot);
    step(375);  // 1.5 frames at 4 a second
    int nFrame = pParrot->getFrame();
    float fLeft = pParrot->getFrameTimeLeft();
    ASSERT_EQ(nFrame, 1);
    app.onMouseMove(750, 370, true);
    EXPECT_EQ(pParrot->getSequenceName(), "highlight");
    EXPECT_EQ(pParrot->getFrame(), nFrame);
    EXPECT_EQ(pParrot->getFrameTimeLeft(), fLeft);
    EXPECT_EQ(speech(), "parrot");
    EXPECT_EQ(salesman(), "talk");
    EXPECT_NE(audio().calls.back().find("sfx_mouseover"), std::string::npos);
    app.onMouseMove(10, 10, true);
    EXPECT_EQ(pParrot->getSequenceName(), "normal");
    EXPECT_EQ(pParrot->getFrame(), nFrame);
    EXPECT_EQ(speech(), "idle");
    app.onMouseMove(432, 437, true);  // the trays
    EXPECT_EQ(speech(), "trays");
    app.onMouseMove(10, 10, true);
    EXPECT_EQ(salesman(), "blink");
    store->onMouseUp(4, 750, 370);  // any button buys the parrot
    EXPECT_TRUE(Tsl::SmartPtr<BuyUpgradeMode>::dynamicCast(app.getModeAt(0)));
}

}  // namespace
