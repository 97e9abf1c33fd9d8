// The sand under the full screens: the whole screen covered on the tile's
// own grid, as sprites of a mode and drawn over a picture.
#include "game_support.h"

#include "base/sandbackdrop.h"

namespace {

const Color SAND(230, 200, 150);

struct SandBackdropTest : GameTest {
    void SetUp() override {
        GameTest::SetUp();
        app.addImage("sand_frame_back", picture(44, 44, SAND));
    }
};

TEST_F(SandBackdropTest, TilesCoverTheScreenOnTheirOwnGrid) {
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    SandBackdrop::addTo(pMode.get(), -3);
    int nTiles = 0;
    Rect covered;
    for (SpriteList* pLayer : pMode->getLayers())
        for (const Tsl::SmartPtr<Sprite>& pTile : *pLayer) {
            ++nTiles;
            EXPECT_EQ(pTile->getZOrder(), -3);
            EXPECT_EQ(pTile->getX() % 44 + pTile->getY() % 44, 0);
            covered = covered.unite(pTile->getScreenRect());
        }
    EXPECT_EQ(nTiles, 19 * 14);
    EXPECT_EQ(covered, Rect(0, 0, 836, 616));

    Tsl::SmartPtr<Image> pCanvas = app.createImage(100, 50, false);
    SandBackdrop::drawOn(pCanvas.get());
    EXPECT_EQ(pCanvas->getColorAt(99, 49), SAND);
}

}  // namespace
