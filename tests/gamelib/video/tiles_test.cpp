// Texture tiles: their sizes, the quads images cut from them, and how long
// the textures live.
#include "render_support.h"

TEST(TileSize, LeastPaddingWithTiesToTheLargerTile) {
    EXPECT_EQ(1, nextPowerOfTwo(0));
    EXPECT_EQ(1, nextPowerOfTwo(1));
    EXPECT_EQ(32, nextPowerOfTwo(17));
    EXPECT_EQ(64, nextPowerOfTwo(64));
    EXPECT_EQ(256, chooseTileSize(800, 64, 512));
    EXPECT_EQ(64, chooseTileSize(600, 64, 512));
    EXPECT_EQ(64, chooseTileSize(50, 64, 512));
    EXPECT_EQ(512, chooseTileSize(1024, 64, 512));
    EXPECT_EQ(256, chooseTileSize(300, 64, 512));
}

namespace {

class TilesTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        start(0);
    }
};

void expectCorners(const Drv3DTileData* p, int nTile, const float aExpected[4][4]) {
    for (int c = 0; c < 4; ++c) {
        int i = 4 * nTile + c;
        EXPECT_FLOAT_EQ(aExpected[c][0], p->m_aU[i]) << "u of corner " << c << " of tile " << nTile;
        EXPECT_FLOAT_EQ(aExpected[c][1], p->m_aV[i]) << "v of corner " << c << " of tile " << nTile;
        EXPECT_FLOAT_EQ(aExpected[c][2], p->m_aX[i]) << "x of corner " << c << " of tile " << nTile;
        EXPECT_FLOAT_EQ(aExpected[c][3], p->m_aY[i]) << "y of corner " << c << " of tile " << nTile;
    }
}

} // namespace

TEST_F(TilesTest, ScreenSizedSurfaceIsCutIntoFortyTiles) {
    Tsl::SmartPtr<Image> pImage = makeSolid(800, 600, Color(1, 2, 3));
    m_pDriver->preloadImage(pImage);
    Drv3DTileData* pTiles = surfaceTiles(pImage);
    ASSERT_TRUE(pTiles);
    EXPECT_EQ(40, pTiles->getCount());
    EXPECT_EQ(800, pTiles->m_nPaddedWidth);
    EXPECT_EQ(608, pTiles->m_nPaddedHeight);
    EXPECT_EQ(40, dx7::test::liveTextureCount());
    // An exact multiple of the tile size has no remainder strips.
    Tsl::SmartPtr<Image> pExact = makeSolid(512, 128, Color(1, 2, 3));
    m_pDriver->preloadImage(pExact);
    EXPECT_EQ(1, surfaceTiles(pExact)->getCount());
}

TEST_F(TilesTest, ImageQuadsInterpolateTheSurfaceTilesTheyOverlap) {
    // 300 x 100: a 256 x 64 tile, a right strip of 44 (texture 64), a bottom
    // strip of 36 (texture 64) and the corner.
    Tsl::SmartPtr<Image> pSheet = makeSolid(300, 100, Color(9, 9, 9));
    Tsl::SmartPtr<Image> pCut = pSheet->createSubImage(250, 60, 20, 10, false);
    m_pDriver->preloadImage(pCut);
    Drv3DTileData* pSurface = surfaceTiles(pSheet);
    ASSERT_EQ(4, pSurface->getCount());
    const float aRightStrip[4][4] = {{0, 0, 256, 0}, {44.0f / 64, 0, 300, 0}, {44.0f / 64, 1, 300, 64}, {0, 1, 256, 64}};
    expectCorners(pSurface, 1, aRightStrip);

    Drv3DTileData* pTiles = imageTiles(pCut);
    ASSERT_EQ(4, pTiles->getCount());
    const float aFirst[4][4] = {{250.0f / 256, 60.0f / 64, 0, 0},
                                {1, 60.0f / 64, 6, 0},
                                {1, 1, 6, 4},
                                {250.0f / 256, 1, 0, 4}};
    expectCorners(pTiles, 0, aFirst);
    const float aSecond[4][4] = {{0, 60.0f / 64, 6, 0}, {14.0f / 64, 60.0f / 64, 20, 0},
                                 {14.0f / 64, 1, 20, 4}, {0, 1, 6, 4}};
    expectCorners(pTiles, 1, aSecond);
    const float aCorner[4][4] = {{0, 0, 6, 4}, {14.0f / 64, 0, 20, 4},
                                 {14.0f / 64, 6.0f / 64, 20, 10}, {0, 6.0f / 64, 6, 10}};
    expectCorners(pTiles, 3, aCorner);
}

TEST_F(TilesTest, MirroredImageQuadsAreFlipped) {
    Tsl::SmartPtr<Image> pImage = makeSolid(40, 20, Color(9, 9, 9));
    pImage->flipHorizontal();
    ASSERT_TRUE(pImage->isFlippedHorizontally());
    m_pDriver->preloadImage(pImage);
    Drv3DTileData* pTiles = imageTiles(pImage);
    ASSERT_EQ(1, pTiles->getCount());
    EXPECT_FLOAT_EQ(40.0f, pTiles->m_aX[0]);
    EXPECT_FLOAT_EQ(0.0f, pTiles->m_aX[1]);
    EXPECT_FLOAT_EQ(0.0f, pTiles->m_aY[0]);
}

TEST_F(TilesTest, ImageCutFromARebuiltSurfaceDrawsTheNewPixels) {
    Tsl::SmartPtr<Image> pSheet = makeSolid(60, 40, Color(200, 0, 0));
    Tsl::SmartPtr<Image> pCut = pSheet->createSubImage(10, 10, 20, 20, false);
    addSprite(pSheet, 0.0f, 0.0f, 0);
    addSprite(pCut, 100.0f, 50.0f, 1);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(200, 0, 0), f.at(105, 55));

    // New pixels in the shared store: the sheet, drawn first, rebuilds the
    // store's textures; the cut must follow, not keep the freed slots.
    Tsl::SmartPtr<Surface> pStore = dynamic_cast<SDLImage*>(pSheet.get())->getSurface();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) pStore->putPixel(x, y, Color(0, 0, 150));
    pStore->markModified();
    f = frame();
    EXPECT_EQ(rgb(0, 0, 150), f.at(5, 5));
    EXPECT_EQ(rgb(0, 0, 150), f.at(105, 55));
}

TEST_F(TilesTest, ChangeInTheFrameOfTheBuildIsNotMissed) {
    // Built and changed under the same frame stamp (a preload during the update).
    frame();
    Tsl::SmartPtr<Image> pImage = makeSolid(16, 16, Color(200, 0, 0));
    m_pDriver->preloadImage(pImage);
    Tsl::SmartPtr<Surface> pStore = dynamic_cast<SDLImage*>(pImage.get())->getSurface();
    pStore->putPixel(3, 3, Color(0, 200, 0));
    pStore->markModified();
    addSprite(pImage, 0.0f, 0.0f);
    m_pDriver->renderFrame();
    EXPECT_EQ(rgb(0, 200, 0), readFrame().at(3, 3));
}

TEST_F(TilesTest, TexturesLiveAsLongAsTheirPicturesAndModes) {
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    Tsl::SmartPtr<Image> pBig = makeSolid(150, 100, Color(1, 1, 1));
    Tsl::SmartPtr<Image> pSmall = makeSolid(10, 10, Color(2, 2, 2));
    Tsl::SmartPtr<Image> pCut = pBig->createSubImage(0, 0, 30, 30, false);
    addSprite(pBig, 0.0f, 0.0f);
    addSprite(pSmall, 0.0f, 0.0f);
    addSprite(pCut, 50.0f, 0.0f);
    frame();
    int nTiles = surfaceTiles(pBig)->getCount() + surfaceTiles(pSmall)->getCount();
    EXPECT_EQ(nTiles, dx7::test::liveTextureCount());

    // Churn: the pixels change every frame, the count stays.
    Tsl::SmartPtr<Surface> pStore = dynamic_cast<SDLImage*>(pSmall.get())->getSurface();
    for (int i = 0; i < 5; ++i) {
        pStore->putPixel(1, 1, Color(static_cast<unsigned char>(i), 0, 0));
        pStore->markModified();
        frame();
        EXPECT_EQ(nTiles, dx7::test::liveTextureCount());
    }

    // A mode change drops every texture; the next frame makes them again.
    ASSERT_TRUE(m_pDriver->setVideoMode(WIDTH, HEIGHT, 0));
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    frame();
    EXPECT_EQ(nTiles, dx7::test::liveTextureCount());
    m_pDriver->invalidateTextures();
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    frame();
    EXPECT_EQ(nTiles, dx7::test::liveTextureCount());

    // Pictures gone, textures gone.
    m_pMode->removeAllSprites();
    pCut = nullptr;
    pBig = nullptr;
    pSmall = nullptr;
    pStore = nullptr;
    EXPECT_EQ(0, dx7::test::liveTextureCount());
}

TEST_F(TilesTest, FailedTextureCreationOrLockRaisesAndLeavesNoTextureBehind) {
    Tsl::SmartPtr<Image> pImage = makeSolid(150, 100, Color(0, 90, 0));
    addSprite(pImage, 0.0f, 0.0f);
    dx7::test::failNext(dx7::test::Fault::CreateTexture, 1, 2);
    try {
        frame();
        FAIL() << "no exception";
    } catch (const Tsl::Exception& e) {
        EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("D3DXCreateTexture"));
    }
    dx7::test::failNext(dx7::test::Fault::Lock);
    try {
        frame();
        FAIL() << "no exception";
    } catch (const Tsl::Exception& e) {
        EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("Lock failed"));
    }
    // The scene was closed: the next frame draws.
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(0, 90, 0), f.at(140, 90));
    EXPECT_EQ(surfaceTiles(pImage)->getCount(), dx7::test::liveTextureCount());
}
