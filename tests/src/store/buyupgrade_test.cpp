// The purchase dialog: prices and money, the radio choices of the groups,
// texts, the red pulse, and the bar preview read from in-memory scenes.
#include "store_fixture.h"

#include "store/buyupgrademode.h"
#include "player/playermanager.h"
#include "game/qarnexitconfirm.h"
#include "rules/upgrademanager.h"
#include "store/upgradepreview.h"

#include "test_folder.h"

#include "anim/animsprite.h"
#include "screens/names.h"
#include "ui/dialogmode.h"

namespace {

struct BuyTest : StoreFixture {
    bool bBought = false;
    Tsl::SmartPtr<BuyUpgradeMode> dialog;

    Tsl::SmartPtr<BuyUpgradeMode> open(int nStoreItem, QarnPlayer* pBuyer = nullptr, int nPlayMode = 0) {
        dialog = new BuyUpgradeMode(pBuyer ? pBuyer : &player, nPlayMode, new UpgradeManager(), nStoreItem, "scene0",
                                    &bBought);
        app.pushMode(dialog.get());
        return dialog;
    }
    // The text of the message dialog on top, "" when none is.
    Tsl::String message() {
        Tsl::SmartPtr<CommonDialog> pMessage = Tsl::SmartPtr<CommonDialog>::dynamicCast(app.getModeAt(0));
        return pMessage ? pMessage->getText() : Tsl::String();
    }
    void pressMessageOk() {
        Tsl::SmartPtr<CommonDialog> pMessage = Tsl::SmartPtr<CommonDialog>::dynamicCast(app.getModeAt(0));
        pMessage->onCallback(pMessage->getButton(0)->getId(), 0);
    }
    int previewed() { return dialog->getPreviewSprites().getCount() - 10; }  // past the floor tiles
};

TEST_F(BuyTest, MoneyEqualToThePriceBuysAndShortMoneyDoesNot) {
    for (int nMoney : {20, 19}) {  // chair 0, chosen first, costs 20
        player.m_nMoney = nMoney;
        open(BuyUpgradeMode::STORE_CHAIRS);
        dialog->onCallback(BuyUpgradeMode::ID_BUY, 0);
        bool bBuys = nMoney == 20;
        EXPECT_EQ(player.m_nMoney, bBuys ? 0 : 19);
        EXPECT_EQ(player.m_anUpgrades[UpgradeManager::KIND_CHAIR_0], bBuys ? 1 : 0);
        EXPECT_EQ(bBought, bBuys);
        EXPECT_EQ(message(), bBuys ? "done" : "cant");
        pressMessageOk();
        EXPECT_EQ(app.getModeIndex(dialog.get()), bBuys ? -1 : 0);
        player.m_anUpgrades[2] = 0;
        bBought = false;
    }
}

// The run ends in the store right after the purchase: through the exit
// question, or by a crash that saves nothing more. The next start has what
// a level of the map's play mode would have kept: the story keeps the
// purchase, free play only its best level, relax nothing.
TEST_F(BuyTest, APurchaseOutlivesTheRunThatMadeItAsItsPlayModeKeepsIt) {
    app.setSettingsFile(testPath("settings.dat").c_str());
    struct Case {
        int nPlayMode;
        bool bExitQuestion;
        int nTray, nBestTray, nMoney;
    } aCases[] = {{0, true, 1, 1, 20}, {0, false, 1, 1, 20}, {1, false, 0, 0, 100}, {2, false, 0, 1, 100}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "play mode " << c.nPlayMode << ", exit question " << c.bExitQuestion);
        app.setSetting(ScreenNames::SET_PROFILES, "");
        destroyPlayerManager();
        QarnPlayer* pAnn = getPlayerManager()->getProfile(getPlayerManager()->createProfile("Ann")->getName());
        pAnn->m_nMoney = pAnn->m_nSavedMoney = 100;
        getPlayerManager()->saveProfiles();
        ASSERT_TRUE(app.saveSettings());
        open(BuyUpgradeMode::STORE_TRAY, pAnn, c.nPlayMode);
        dialog->onCallback(BuyUpgradeMode::ID_BUY, 0);
        pressMessageOk();
        if (c.bExitQuestion) {
            Tsl::SmartPtr<QarnExitConfirmMode> pExit = new QarnExitConfirmMode();
            app.pushMode(pExit.get());
            pExit->onCallback(ExitConfirmMode::ID_YES, 0);
            ASSERT_TRUE(app.isQuitRequested());
            app.onExit();
        }
        app.setSetting(ScreenNames::SET_PROFILES, "");
        ASSERT_TRUE(app.loadSettings());
        destroyPlayerManager();
        QarnPlayer* pAgain = getPlayerManager()->getProfile("Ann");
        ASSERT_TRUE(pAgain);
        EXPECT_EQ(c.nTray, pAgain->m_anUpgrades[UpgradeManager::KIND_TRAY]);
        EXPECT_EQ(c.nBestTray, pAgain->m_anBestUpgrades[UpgradeManager::KIND_TRAY]);
        EXPECT_EQ(c.nMoney, pAgain->m_nMoney);
    }
}

TEST_F(BuyTest, NothingToBuyChangesNothing) {
    player.m_nMoney = 999;
    struct Case {
        int nStoreItem;
        std::initializer_list<std::pair<int, int>> levels;
    } cases[] = {
        {12, {{12, 4}}},                          // the last sign
        {13, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},   // a group without a choice
        {15, {{6, 3}, {7, 3}}},
    };
    for (const Case& c : cases) {
        setLevels(c.levels);
        open(c.nStoreItem);
        EXPECT_FALSE(dialog->getBuyButton()->isEnabled());
        EXPECT_EQ(dialog->getPriceLabel()->getText(), "");
        dialog->onCallback(BuyUpgradeMode::ID_BUY, 0);
        EXPECT_EQ(player.m_nMoney, 999);
        EXPECT_EQ(app.getModeAt(0).get(), dialog.get());
        EXPECT_FALSE(bBought);
        dialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
    }
    for (int nKind = 0; nKind < 13; ++nKind) EXPECT_LE(player.m_anUpgrades[nKind], 4);
    EXPECT_EQ(player.m_anUpgrades[12], 4);
}

TEST_F(BuyTest, GroupsOfferWhatCanStillBeRaised) {
    struct Case {
        int nStoreItem;
        std::initializer_list<std::pair<int, int>> levels;
        std::vector<int> aIds;
        std::vector<std::string> aCaptions;
    } cases[] = {
        {13, {{2, 1}}, {4, 5, 6}, {"UPG_Radio_Chair1", "UPG_Radio_Chair2", "UPG_Radio_Chair3"}},
        {14, {{4, 1}, {11, 1}}, {8}, {"UPC_Radio_Center_1_1"}},
        {14, {{3, 1}, {5, 1}, {11, 2}}, {7}, {"UPC_Radio_Center_0_0"}},
        {15, {{6, 1}, {7, 3}}, {9}, {"UPC_Radio_Juicer_0_2"}},
        {15, {{7, 2}}, {9, 10}, {"UPC_Radio_Juicer_0_0", "UPC_Radio_Juicer_1_3"}},
        {8, {}, {}, {}},
    };
    for (const Case& c : cases) {
        QarnPlayer fresh;
        player = fresh;
        setLevels(c.levels);
        std::vector<int> aIds;
        std::vector<std::string> aCaptions;
        for (const BuyUpgradeMode::RadioChoice& choice : BuyUpgradeMode::choicesFor(c.nStoreItem, player.m_anUpgrades)) {
            aIds.push_back(choice.nId);
            aCaptions.push_back(choice.pszCaption);
        }
        EXPECT_EQ(aIds, c.aIds) << c.nStoreItem;
        EXPECT_EQ(aCaptions, c.aCaptions) << c.nStoreItem;
    }
    // In the dialog the first is chosen at once; an id not offered changes nothing.
    setLevels({{2, 1}});
    open(BuyUpgradeMode::STORE_CHAIRS);
    EXPECT_EQ(dialog->getOptions().getSelectedId(), 4);
    EXPECT_EQ(dialog->getKind(), 3);
    EXPECT_EQ(dialog->getOptions().getAt(0)->getCaption()->getText(), "chair1");
    EXPECT_EQ(dialog->getPriceLabel()->getText(), "costs 20");
    dialog->onCallback(3, 0);
    EXPECT_EQ(dialog->getKind(), 3);
}

TEST_F(BuyTest, TextsFollowTheKindAndItsLevel) {
    setLevels({{0, 1}, {7, 2}, {11, 1}, {12, 3}});
    struct Case {
        int nStoreItem;
        const char* pszText;
    } cases[] = {{0, "UPG_Text_0_1"}, {8, "UPG_Text_8_0"}, {12, "UPG_Text_12_3"}, {15, "UPG_Text_6_0"}};
    for (const Case& c : cases) {
        open(c.nStoreItem);
        EXPECT_EQ(dialog->getTextLabel()->getText(), c.pszText);
        dialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
    }
    open(BuyUpgradeMode::STORE_STATIONS);
    dialog->onCallback(10, 0);
    EXPECT_EQ(dialog->getTextLabel()->getText(), "UPG_Text_6_2");
}

TEST_F(BuyTest, TheNewPiecesPulseRed) {
    EXPECT_EQ(BuyUpgradeMode::pulseOf(0.0f), 128);
    for (int i = 0; i < 400; ++i) {
        int c = BuyUpgradeMode::pulseOf(i * 0.0078125f);
        ASSERT_GE(c, 65);
        ASSERT_LE(c, 191);
    }
    scene("sprite_conditional pic 0 0 1 prop_dispenser\n");
    open(UpgradeManager::KIND_PROP_DISPENSER);
    ASSERT_EQ(dialog->getHighlightSprites().getCount(), 1);
    step(250);  // 63 sin(0.7 pi / 4) + 128 = 160.9
    EXPECT_EQ(dialog->getHighlightSprites().getAt(0)->getColor(), Color(255, 160, 160, 255));
}

// ---------------------------------------------------------------- preview

TEST_F(BuyTest, EveryKeywordBuildsAtTwoFifths) {
    scene("# a bar\n"
          "IMAGE pic   # with a comment\n"
          "animation anim.anim\n"
          "clone pic mirrored\n"
          "hflip mirrored\n"
          "inspos center bottom mirrored\n"
          "  \t \n"
          "Sprite pic 100 50 5 named\n"
          "sprite mirrored -7 8 0\n"
          "sprite_repeat pic 0 0 1 3 10 row\n"
          "animsprite anim.anim 10 10 2 dancer\n"
          "flip named\n"
          "flipsafe nobody\n"
          "scale_anim row 2.0 1.0\n"
          "playsequence dancer other\n"
          "walkarea 0 0 10 10 3\n");
    open(UpgradeManager::KIND_PROP_DISPENSER);
    EXPECT_EQ(previewed(), 6);
    Tsl::SmartPtr<Sprite> pNamed = dialog->getNamedSprite("named");
    ASSERT_TRUE(pNamed);
    EXPECT_EQ(pNamed->getX(), 40 + BuyUpgradeMode::PREVIEW_X);
    EXPECT_EQ(pNamed->getY(), 20 + BuyUpgradeMode::PREVIEW_Y);
    EXPECT_EQ(pNamed->getZOrder(), 15);
    EXPECT_FLOAT_EQ(pNamed->getScaleX(), -0.4f);
    EXPECT_FLOAT_EQ(pNamed->getScaleY(), 0.4f);
    Tsl::SmartPtr<Sprite> pMirrored = dialog->getPreviewSprites().getAt(11);
    EXPECT_EQ(pMirrored->getX(), -2 + BuyUpgradeMode::PREVIEW_X);  // truncated toward zero
    EXPECT_EQ(pMirrored->getY(), 3 + BuyUpgradeMode::PREVIEW_Y);
    EXPECT_TRUE(pMirrored->getImage()->isFlippedHorizontally());
    EXPECT_EQ(pMirrored->getImage()->getInsPointX(), 20);
    EXPECT_EQ(pMirrored->getImage()->getInsPointY(), 40);
    EXPECT_FALSE(pNamed->getImage()->isFlippedHorizontally());
    // The row's name stands for its first copy.
    EXPECT_EQ(dialog->getNamedSprite("row").get(), dialog->getPreviewSprites().getAt(12).get());
    EXPECT_FLOAT_EQ(dialog->getPreviewSprites().getAt(12)->getScaleX(), 0.8f);
    EXPECT_EQ(dialog->getPreviewSprites().getAt(14)->getX(), 8 + BuyUpgradeMode::PREVIEW_X);
    Tsl::SmartPtr<AnimSprite> pDancer = Tsl::SmartPtr<AnimSprite>::dynamicCast(dialog->getNamedSprite("dancer"));
    ASSERT_TRUE(pDancer);
    EXPECT_EQ(pDancer->getSequenceName(), "other");
}

TEST_F(BuyTest, PlacesAppearAndPulseByKindAndValue) {
    struct Case {
        const char* pszLine;
        int nStoreItem;
        std::initializer_list<std::pair<int, int>> levels;
        int nBuilt;
        int nPulsing;
    } cases[] = {
        {"sprite_conditional pic 0 0 1 silla_0", 2, {}, 1, 1},
        {"sprite_conditional pic 0 0 1 silla_0", 3, {}, 0, 0},
        {"sprite_conditional pic 0 0 1 silla_0", 9, {{2, 1}}, 1, 0},
        {"sprite_conditional pic 0 0 1 mesa_0", 3, {}, 1, 1},          // comes with the first chair
        {"sprite_conditional pic 0 0 1 mesa_0", 3, {{2, 1}}, 1, 0},    // was there already
        {"sprite_conditional pic 0 0 1 mesa_1", 3, {}, 0, 0},
        {"sprite_conditional pic 0 0 1 juicer_0", 6, {}, 1, 1},
        {"sprite_conditional pic 0 0 1 juicer_0", 6, {{6, 1}}, 0, 0},  // the barman replaces it
        {"sprite_conditional pic 0 0 1 barman_0", 6, {{6, 1}}, 0, 0},
        {"actionspot_conditional glassspot 0 0 1 0 0 n juicer_1", 7, {}, 1, 1},
        {"actionspot_conditional glassspot 0 0 1 0 0 n barman_0", 6, {{6, 2}}, 1, 0},
        {"actionspot_conditional glassspot 0 0 1 0 0 n barman_0_a", 6, {{6, 2}}, 1, 1},
        {"actionspot_conditional trashbin 0 0 1 0 0 n juicer_0", 6, {}, 0, 0},
        {"animsprite_conditional anim.anim 0 0 1 b barman_0", 6, {{6, 1}}, 1, 1},
        {"animsprite_conditional anim.anim 0 0 1 b barman_0", 6, {{6, 2}}, 0, 0},
        {"animsprite_conditional anim.anim 0 0 1 b prop_dispenser", 9, {}, 1, 1},
        {"sprite_conditional pic 0 0 1 center_lvl_2_0", 10, {{10, 1}}, 1, 1},
        {"sprite_conditional pic 0 0 1 mantel_0", 10, {}, 1, 1},
        {"sprite_conditional pic 0 0 1 mantel_2", 10, {{10, 1}}, 1, 0},
        {"sprite_conditional pic 0 0 1 show_2", 12, {{12, 1}}, 1, 1},
        {"sprite_conditional pic 0 0 1 show_3", 12, {{12, 1}}, 0, 0},
        {"parrot 0 0 1", 8, {}, 2, 2},
        {"parrot 0 0 1", 9, {}, 0, 0},
        {"sprite_conditional pic 0 0 1 silla_9", 2, {}, 0, 0},
    };
    for (const Case& c : cases) {
        QarnPlayer fresh;
        player = fresh;
        setLevels(c.levels);
        scene(std::string("image pic\nanimation anim.anim\n") + c.pszLine + "\n");
        open(c.nStoreItem);
        EXPECT_EQ(previewed(), c.nBuilt) << c.pszLine << " / " << c.nStoreItem;
        EXPECT_EQ(dialog->getHighlightSprites().getCount(), c.nPulsing) << c.pszLine << " / " << c.nStoreItem;
        dialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
    }
    // The parrot's two parts stand one above the other.
    scene("parrot 0 0 1\n");
    open(UpgradeManager::KIND_PARROT_STAND);
    EXPECT_EQ(dialog->getPreviewSprites().getAt(10)->getZOrder(), 11);
    EXPECT_EQ(dialog->getPreviewSprites().getAt(11)->getZOrder(), 12);
}

TEST_F(BuyTest, GroupChoicesShowTheirPieces) {
    // Chairs: the owned chair stays, the others wait for their button.
    setLevels({{2, 1}});
    scene("image pic\n"
          "sprite_conditional pic 0 0 1 silla_0 owned\n"
          "sprite_conditional pic 0 0 1 silla_1 second\n"
          "sprite_conditional pic 0 0 1 silla_2 third\n");
    open(BuyUpgradeMode::STORE_CHAIRS);
    EXPECT_EQ(dialog->getConditionalSprites().getCount(), 3);
    EXPECT_EQ(dialog->getHighlightSprites().getCount(), 2);
    EXPECT_TRUE(dialog->getNamedSprite("owned")->isVisible());
    EXPECT_TRUE(dialog->getNamedSprite("second")->isVisible());  // chair 1 is chosen first
    EXPECT_FALSE(dialog->getNamedSprite("third")->isVisible());
    dialog->onCallback(5, 0);
    EXPECT_TRUE(dialog->getNamedSprite("owned")->isVisible());
    EXPECT_FALSE(dialog->getNamedSprite("second")->isVisible());
    EXPECT_TRUE(dialog->getNamedSprite("third")->isVisible());
    dialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);

    QarnPlayer fresh;
    // Stations: the barman of station 0 waits for its juicer's upgrade.
    player = fresh;
    setLevels({{6, 1}, {7, 3}});
    scene("image pic\nsprite_conditional pic 0 0 1 juicer_0 j0\nsprite_conditional pic 0 0 1 juicer_1 j1\n"
          "actionspot_conditional glassspot 0 0 1 0 0 n barman_0\n");
    open(BuyUpgradeMode::STORE_STATIONS);
    ASSERT_EQ(dialog->getConditionalSprites().getCount(), 2);  // station 1's juicer is gone
    UpgradeConditionalSprite barman = dialog->getConditionalSprites().getAt(1);
    EXPECT_EQ(barman.m_lChoiceIds.getAt(0), 9);
    EXPECT_EQ(barman.m_lValues.getCount(), 2);
    EXPECT_TRUE(barman.m_pSprite->isVisible());  // chosen at once
    EXPECT_FALSE(dialog->getNamedSprite("j0")->isVisible());
}

TEST_F(BuyTest, ASecondCenterReplacesTheFirstAndItsCloth) {
    setLevels({{2, 1}, {10, 1}});  // table 0 has a chair and its first center
    scene("image pic\n"
          "sprite_conditional pic 0 0 1 center_lvl_1_0 first\n"
          "sprite_conditional pic 0 0 1 center_lvl_2_0 second\n"
          "sprite_conditional pic 0 0 1 mantel_0 cloth\n"
          "sprite_conditional pic 0 0 1 mantel_2 bigcloth\n"
          "sprite_conditional pic 0 0 1 center_lvl_1_1 bare\n");
    open(BuyUpgradeMode::STORE_CENTERS);
    EXPECT_EQ(dialog->getConditionalSprites().getCount(), 5);
    const struct {
        const char* pszName;
        bool bShown;
        bool bPulsing;
    } expected[] = {{"first", false, false}, {"second", true, true}, {"cloth", false, false},
                    {"bigcloth", true, false}, {"bare", false, true}};  // table 1 has no chair: no choice shows it
    for (const auto& e : expected) {
        Tsl::SmartPtr<Sprite> pSprite = dialog->getNamedSprite(e.pszName);
        ASSERT_TRUE(pSprite) << e.pszName;
        EXPECT_EQ(pSprite->isVisible(), e.bShown) << e.pszName;
        EXPECT_EQ(dialog->getHighlightSprites().indexOf(pSprite) >= 0, e.bPulsing) << e.pszName;
    }
}

TEST_F(BuyTest, BrokenLinesAreLoggedAndSkipped) {
    openLog();
    scene("image pic\n"
          "sprite pic 1\n"
          "flip ghost\n"
          "sprite pic 1 1 1 plain\n"
          "playsequence plain walk\n"
          "sprite_repeat pic 0 0 0 1000 5\n"
          "sprite_repeat pic 0 0 0 0 5\n"
          "scale_anim plain x 1\n"
          "image missing_picture\n"
          "sprite missing_picture 1 1 1\n"
          "sprite_conditional pic 0 0 1 no_such_place\n");
    open(UpgradeManager::KIND_PROP_DISPENSER);
    EXPECT_EQ(previewed(), 2);
    EXPECT_FALSE(dialog->getPreviewSprites().getLast()->getImage());
    std::string sLog = logText();
    for (int nLine : {2, 3, 5, 6, 8, 9, 11})
        EXPECT_NE(sLog.find("scene0.scene, line " + std::to_string(nLine) + ":"), std::string::npos) << nLine;
    EXPECT_EQ(sLog.find("line 7:"), std::string::npos);
    EXPECT_EQ(sLog.find("line 10:"), std::string::npos);
}

TEST_F(BuyTest, AMissingSceneGivesADialogWithoutPreview) {
    openLog();
    open(UpgradeManager::KIND_PROP_DISPENSER);
    EXPECT_TRUE(dialog->getPreviewSprites().isEmpty());
    EXPECT_NE(logText().find("scene0.scene"), std::string::npos);
    EXPECT_EQ(app.getModeAt(0).get(), dialog.get());
    // Framed like every dialog, not text floating over the store.
    EXPECT_TRUE(dialog->getTable()->isFrameEnabled());
}

TEST_F(BuyTest, CachedPicturesStayAsTheyWere) {
    scene("image pic\nhflip pic\ninspos 3 4 pic\nsprite pic 0 0 0\n"
          "actionspot_conditional glassspot 0 0 1 0 0 n juicer_0\n");
    for (int i = 0; i < 2; ++i) {
        open(UpgradeManager::KIND_STATION_0);
        dialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
    }
    for (const char* pszName : {"pic", "posavaso_1", "mask_buyupgrade"}) {
        Tsl::SmartPtr<Image> pCached = app.getImage(pszName);
        EXPECT_FALSE(pCached->isFlippedHorizontally()) << pszName;
        EXPECT_EQ(pCached->getInsPointX(), 0) << pszName;
        EXPECT_EQ(pCached->getInsPointY(), 0) << pszName;
    }
}

}  // namespace
