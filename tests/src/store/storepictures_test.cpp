// The store's item pictures: which position and level has which kind of
// picture, the composed signs, and cached pictures left as they were.
#include "game_support.h"

#include "anim/animsprite.h"
#include "rules/upgrademanager.h"
#include "store/upgradestoreimages.h"

namespace {

const Color ITEM(200, 100, 50);
const Color STAMP(0, 0, 255);

struct StorePicturesTest : GameTest {
    UpgradeManager upgrades;
    void SetUp() override {
        GameTest::SetUp();
        for (const char* pszItem : {"store_bandeja1", "store_bandeja2", "store_sillas", "store_jugomatic",
                                    "store_decos", "store_centros1", "store_centros2", "store_badboy1",
                                    "store_badboy2", "store_parrot_stand"})
            for (const char* pszSuffix : {"_normal", "_highlight"})
                app.addImage((std::string(pszItem) + pszSuffix).c_str(), picture(150, 150, ITEM));
        for (int i = 1; i <= 4; ++i)
            for (const char* pszSuffix : {"_normal", "_highlight"})
                app.addImage(("store_cartel" + std::to_string(i) + pszSuffix).c_str(),
                             picture(20, 20, Color(i * 50, 0, 0)));
        for (const char* pszStamp : {"store_soldout_low", "store_soldout_high", "store_soldout_1", "store_soldout_2",
                                     "store_na_barman1", "store_na_barman2", "store_na_low"})
            app.addImage(pszStamp, picture(30, 30, STAMP));
        addFile("store_parrot.anim", "load store_sillas_normal\nseq default\nadd store_sillas_normal\n");
    }
    // n none, c the cached item, h the cached highlight, s a greyed item with
    // a stamp, p the greyed parrot stand, g a sign canvas, G the sold-out one.
    char kindOf(const Tsl::SmartPtr<Image>& p, int nPosition, int nLevel, bool bHighlight) {
        if (!p) return 'n';
        if (p->getWidth() == 210) return p->getHeight() == 260 ? 'g' : p->getHeight() == 270 ? 'G' : '?';
        if (nPosition == 3) return 'p';
        if (p->getColorAt(1, 1) == ITEM) return bHighlight ? 'h' : 'c';
        return p->getColorAt(1, 1) == Color(100, 50, 25) ? 's' : '?';
    }
};

TEST_F(StorePicturesTest, EachPositionAndLevelHasItsKindOfPicture) {
    // Levels -1 to the count, by position -1 to 9.
    const char* const pictures[] = {"nnn",     "nccsn",   "ncsn", "ncsssn", "nnpn", "ncsn",
                                    "nsccsn",  "nggggGn", "nsccsn", "nsccsn", "nnn"};
    const char* const highlights[] = {"nnn",     "nhhnn",   "nhnn", "nhnnnn", "nnnn", "nhnn",
                                      "nnhhnn",  "nggggnn", "nnhhnn", "nnhhnn", "nnn"};
    for (int nPosition = -1; nPosition <= 9; ++nPosition) {
        std::string sPictures, sHighlights;
        int nCount = UpgradeManager::getStoreLevelCount(nPosition);
        for (int nLevel = -1; nLevel <= (nCount ? nCount : 1); ++nLevel) {
            sPictures += kindOf(upgrades.getStoreImage(nPosition, nLevel), nPosition, nLevel, false);
            sHighlights +=
                kindOf(upgrades.getStoreHighlightImage(nPosition, nLevel), nPosition, nLevel, true);
            // Only the parrot on sale is alive.
            Tsl::SmartPtr<AnimSprite> pLive = upgrades.getStoreAnimation(nPosition, nLevel);
            EXPECT_EQ(nPosition == 3 && nLevel == 0 ? 10 : -1, pLive ? pLive->getZOrder() : -1);
        }
        EXPECT_EQ(pictures[nPosition + 1], sPictures) << nPosition;
        EXPECT_EQ(highlights[nPosition + 1], sHighlights) << nPosition;
    }
    // Greying and stamping worked on copies.
    for (const char* pszCached : {"store_sillas_normal", "store_parrot_stand_normal", "store_badboy1_normal"})
        EXPECT_EQ(ITEM, app.getImage(pszCached)->getColorAt(1, 1)) << pszCached;
    EXPECT_EQ(Color(150, 0, 0), app.getImage("store_cartel3_normal")->getColorAt(1, 1));
}

TEST_F(StorePicturesTest, SignsStandGreyBehindTheOneOnSale) {
    Tsl::SmartPtr<Image> pSigns = upgrades.getStoreImage(UpgradeManager::POSITION_SIGNS, 2);
    EXPECT_EQ(Color(150, 0, 0), pSigns->getColorAt(105, 245));  // sign 2 in colour in front
    EXPECT_EQ(Color(25, 0, 0), pSigns->getColorAt(55, 230));    // sign 0 greyed behind
    Tsl::SmartPtr<Image> pHighlight = upgrades.getStoreHighlightImage(UpgradeManager::POSITION_SIGNS, 2);
    EXPECT_EQ(Color(150, 0, 0), pHighlight->getColorAt(105, 245));
    Tsl::SmartPtr<Image> pSold = upgrades.getStoreImage(UpgradeManager::POSITION_SIGNS, 4);
    EXPECT_EQ(STAMP, pSold->getColorAt(105, 245));
    EXPECT_EQ(Color(25, 0, 0), pSold->getColorAt(55, 230));
}

}  // namespace
