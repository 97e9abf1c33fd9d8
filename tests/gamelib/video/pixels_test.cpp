// What the driver draws, read back from the software device's frame.
#include "render_support.h"

namespace {

Color pattern(int x, int y) {
    return Color(static_cast<unsigned char>(x * 7 + 3), static_cast<unsigned char>(y * 11 + 5),
                 static_cast<unsigned char>((x * y) & 0xFF), 255);
}

dx7::DWORD toFrame(const Color& c) { return rgb(c.r, c.g, c.b); }

class PixelsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        start(VMF_STENCIL);
    }
};

} // namespace

TEST_F(PixelsTest, UnscaledSpritesReproduceTheirTexelsAroundTheInsertionPoint) {
    Tsl::SmartPtr<Image> pImage = makeImage(37, 23, false, pattern);
    pImage->setInsPoint(5, 3);
    addSprite(pImage, 20.0f, 30.0f);
    Tsl::SmartPtr<Image> pAlpha = makeImage(9, 9, true, [](int x, int y) { return Color(10, 200, 30, 255); });
    addSprite(pAlpha, 100.0f, 100.0f);
    dx7::test::Frame f = frame();
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(toFrame(pattern(x, y)), f.at(15 + x, 27 + y)) << x << "," << y;
    EXPECT_EQ(rgb(0, 0, 0), f.at(14, 27));
    EXPECT_EQ(rgb(0, 0, 0), f.at(52, 27));
    EXPECT_EQ(rgb(0, 0, 0), f.at(15, 50));
    EXPECT_EQ(rgb(10, 200, 30), f.at(108, 108));
    EXPECT_EQ(rgb(0, 0, 0), f.at(109, 108));
}

TEST_F(PixelsTest, TintAlphaAndAdditiveBlending) {
    addSprite(makeSolid(WIDTH, HEIGHT, Color(0, 0, 200)), 0.0f, 0.0f, 0);
    Tsl::SmartPtr<Sprite> pTinted = addSprite(makeSolid(10, 10, Color(200, 100, 50)), 10.0f, 10.0f, 1);
    pTinted->setColor(Color(128, 255, 0));
    Tsl::SmartPtr<Sprite> pHalf = addSprite(makeSolid(10, 10, Color(255, 0, 0)), 30.0f, 10.0f, 1);
    pHalf->setAlpha(0.5f);
    Tsl::SmartPtr<Sprite> pAdded = addSprite(makeSolid(10, 10, Color(100, 50, 100)), 50.0f, 10.0f, 1);
    pAdded->setBlendMode(BM_ADDITIVE);
    // More than full opacity counts as full.
    Tsl::SmartPtr<Sprite> pOver = addSprite(makeSolid(10, 10, Color(0, 255, 0)), 70.0f, 10.0f, 1);
    pOver->setAlpha(3.0f);
    dx7::test::Frame f = frame();
    EXPECT_TRUE(pixelNear(f.at(15, 15), rgb(100, 100, 0)));
    EXPECT_TRUE(pixelNear(f.at(35, 15), rgb(127, 0, 100)));
    EXPECT_TRUE(pixelNear(f.at(55, 15), rgb(100, 50, 255)));
    EXPECT_EQ(rgb(0, 255, 0), f.at(75, 15));
    EXPECT_EQ(rgb(0, 0, 200), f.at(5, 5));
}

TEST_F(PixelsTest, ImageAlphaScalesTheVertexAlpha) {
    addSprite(makeSolid(WIDTH, HEIGHT, Color(0, 0, 0)), 0.0f, 0.0f, 0);
    Tsl::SmartPtr<Image> pImage = makeSolid(8, 8, Color(255, 255, 255));
    pImage->setAlpha(128);
    addSprite(pImage, 10.0f, 10.0f, 1);
    dx7::test::Frame f = frame();
    EXPECT_TRUE(pixelNear(f.at(12, 12), rgb(128, 128, 128)));
}

TEST_F(PixelsTest, ColourKeyedPixelsAreTransparent) {
    addSprite(makeSolid(WIDTH, HEIGHT, Color(0, 0, 200)), 0.0f, 0.0f, 0);
    Tsl::SmartPtr<Image> pImage =
        makeImage(8, 8, false, [](int x, int) { return x < 4 ? Color(255, 0, 255) : Color(0, 255, 0); });
    pImage->setColorKey(Color(255, 0, 255));
    addSprite(pImage, 10.0f, 10.0f, 1);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(0, 0, 200), f.at(11, 12));
    EXPECT_EQ(rgb(0, 255, 0), f.at(15, 12));
    // Scaled: filtering at the keyed edge never brings the key colour in.
    m_pMode->removeAllSprites();
    addSprite(makeSolid(WIDTH, HEIGHT, Color(0, 0, 200)), 0.0f, 0.0f, 0);
    Tsl::SmartPtr<Sprite> pScaled = addSprite(pImage, 10.0f, 10.0f, 1);
    pScaled->setScale(3.0f, 3.0f);
    f = frame();
    for (int x = 10; x < 34; ++x) {
        dx7::DWORD n = f.at(x, 20);
        EXPECT_LT((n >> 16) & 0xFF, 20u) << x;
    }
}

TEST_F(PixelsTest, RotationAndScaleTurnAboutTheInsertionPoint) {
    // Left half red, right half blue; turned 90 degrees clockwise about its
    // top-left corner and doubled, it hangs below and left of the position.
    Tsl::SmartPtr<Image> pImage =
        makeImage(8, 4, false, [](int x, int) { return x < 4 ? Color(255, 0, 0) : Color(0, 0, 255); });
    Tsl::SmartPtr<Sprite> pSprite = addSprite(pImage, 50.0f, 40.0f);
    pSprite->setRotation(90.0f);
    pSprite->setScale(2.0f, 2.0f);
    dx7::test::Frame f = frame();
    EXPECT_TRUE(pixelNear(f.at(45, 43), rgb(255, 0, 0), 2));
    EXPECT_TRUE(pixelNear(f.at(45, 52), rgb(0, 0, 255), 2));
    EXPECT_EQ(rgb(0, 0, 0), f.at(52, 45));
    EXPECT_EQ(rgb(0, 0, 0), f.at(45, 38));
    EXPECT_EQ(rgb(0, 0, 0), f.at(40, 45));
    EXPECT_EQ(rgb(0, 0, 0), f.at(45, 57));

    // Scale alone about a centred insertion point.
    pSprite->setRotation(0.0f);
    pSprite->setScale(2.0f, 3.0f);
    pImage->setInsPoint(4, 2);
    f = frame();
    EXPECT_TRUE(pixelNear(f.at(43, 35), rgb(255, 0, 0), 2));
    EXPECT_TRUE(pixelNear(f.at(56, 45), rgb(0, 0, 255), 2));
    EXPECT_EQ(rgb(0, 0, 0), f.at(33, 40));
    EXPECT_EQ(rgb(0, 0, 0), f.at(67, 40));
    EXPECT_EQ(rgb(0, 0, 0), f.at(50, 32));
    EXPECT_EQ(rgb(0, 0, 0), f.at(50, 47));
}

TEST_F(PixelsTest, HalfOffScreenSpritesKeepTheirVisiblePart) {
    Tsl::SmartPtr<Image> pImage = makeImage(20, 20, false, pattern);
    addSprite(pImage, -10.0f, -5.0f);
    addSprite(pImage, WIDTH - 7.0f, HEIGHT - 9.0f);
    dx7::test::Frame f = frame();
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(toFrame(pattern(x + 10, y + 5)), f.at(x, y));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(toFrame(pattern(x, y)), f.at(WIDTH - 7 + x, HEIGHT - 9 + y));
}

TEST_F(PixelsTest, NeighbouringTilesNeverBlendTheirSharedEdgeTwice) {
    // 150 x 100 is cut into four tiles; a half-transparent even colour shows
    // any pixel drawn twice.
    Tsl::SmartPtr<Image> pImage = makeSolid(150, 100, Color(255, 255, 255, 128));
    addSprite(pImage, 3.0f, 7.0f);
    dx7::test::Frame f = frame();
    ASSERT_GT(surfaceTiles(pImage)->getCount(), 1);
    dx7::DWORD nFirst = f.at(3, 7);
    EXPECT_TRUE(pixelNear(nFirst, rgb(128, 128, 128)));
    int nOdd = 0;
    for (int y = 7; y < 107 && y < HEIGHT; ++y)
        for (int x = 3; x < 153; ++x)
            if (f.at(x, y) != nFirst) ++nOdd;
    EXPECT_EQ(0, nOdd);
    EXPECT_EQ(rgb(0, 0, 0), f.at(153, 50));
    EXPECT_EQ(rgb(0, 0, 0), f.at(2, 50));
}

TEST_F(PixelsTest, StencilMaskLimitsLaterSpritesForOneFrame) {
    // The mask: opaque on the left half, transparent on the right; it writes
    // no colour.
    Tsl::SmartPtr<Image> pMaskImage =
        makeImage(40, 20, true, [](int x, int) { return Color(255, 255, 255, x < 20 ? 255 : 0); });
    Tsl::SmartPtr<Sprite> pMask = addSprite(pMaskImage, 10.0f, 10.0f, 0);
    pMask->setRenderFlags(RF_WRITE_STENCIL);
    Tsl::SmartPtr<Sprite> pMasked = addSprite(makeSolid(WIDTH, HEIGHT, Color(255, 0, 0)), 0.0f, 0.0f, 1);
    pMasked->setStencilTest(true);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(255, 0, 0), f.at(10, 10));
    EXPECT_EQ(rgb(255, 0, 0), f.at(29, 29));
    EXPECT_EQ(rgb(0, 0, 0), f.at(30, 15));
    EXPECT_EQ(rgb(0, 0, 0), f.at(9, 15));
    EXPECT_EQ(rgb(0, 0, 0), f.at(15, 30));
    dx7::test::StencilFrame s;
    ASSERT_TRUE(dx7::test::readStencil(s));
    EXPECT_EQ(1, s.at(15, 15));
    EXPECT_EQ(0, s.at(35, 15));

    // Next frame without the mask: the stencil was cleared, nothing passes.
    pMask->setVisible(false);
    f = frame();
    EXPECT_EQ(rgb(0, 0, 0), f.at(15, 15));

    // Frames that draw nothing but the mask, in a mode that does not clear:
    // the second mask has the same states as the sprite before it, yet its
    // pending clear is still taken at the next frame's start.
    m_pMode->setFlags(MF_ACTIVE | MF_VISIBLE);
    pMasked->setVisible(false);
    pMask->setVisible(true);
    frame();
    frame();
    pMask->setVisible(false);
    frame();
    ASSERT_TRUE(dx7::test::readStencil(s));
    EXPECT_EQ(0, s.at(15, 15));
}

TEST_F(PixelsTest, ClearStencilFlagClearsForEverySpriteThatAsks) {
    Tsl::SmartPtr<Image> pLeft =
        makeImage(40, 10, true, [](int x, int) { return Color(255, 255, 255, x < 20 ? 255 : 0); });
    Tsl::SmartPtr<Image> pRight =
        makeImage(40, 10, true, [](int x, int) { return Color(255, 255, 255, x < 20 ? 0 : 255); });
    Tsl::SmartPtr<Sprite> pMaskA = addSprite(pLeft, 0.0f, 0.0f, 0);
    Tsl::SmartPtr<Sprite> pMaskB = addSprite(pRight, 0.0f, 0.0f, 1);
    pMaskA->setRenderFlags(RF_WRITE_STENCIL | RF_CLEAR_STENCIL);
    pMaskB->setRenderFlags(RF_WRITE_STENCIL | RF_CLEAR_STENCIL);
    Tsl::SmartPtr<Sprite> pMasked = addSprite(makeSolid(40, 10, Color(0, 255, 0)), 0.0f, 0.0f, 2);
    pMasked->setStencilTest(true);
    dx7::test::Frame f = frame();
    // The second mask cleared the first one's before writing its own.
    EXPECT_EQ(rgb(0, 0, 0), f.at(5, 5));
    EXPECT_EQ(rgb(0, 255, 0), f.at(25, 5));
}

TEST_F(PixelsTest, ClipRectangleDrawsNotOneRowOrColumnPast) {
    Tsl::SmartPtr<Image> pImage = makeImage(30, 30, false, pattern);
    Tsl::SmartPtr<Sprite> pSprite = addSprite(pImage, 20.0f, 20.0f);
    pSprite->setClipRect(Rect(25, 27, 35, 36));
    dx7::test::Frame f = frame();
    EXPECT_EQ(toFrame(pattern(5, 7)), f.at(25, 27));
    EXPECT_EQ(toFrame(pattern(14, 15)), f.at(34, 35));
    EXPECT_EQ(rgb(0, 0, 0), f.at(35, 30));
    EXPECT_EQ(rgb(0, 0, 0), f.at(30, 36));
    EXPECT_EQ(rgb(0, 0, 0), f.at(24, 30));
    EXPECT_EQ(rgb(0, 0, 0), f.at(30, 26));
}

TEST_F(PixelsTest, PolygonsFillWithTheTintAndFollowPointCountChanges) {
    Tsl::SmartPtr<Sprite> pSprite = addSprite(makeSolid(4, 4, Color(0, 255, 0)), 40.0f, 40.0f);
    pSprite->setColor(Color(255, 0, 0));
    Tsl::List<Point> lTriangle;
    lTriangle.append(Point(0, 0));
    lTriangle.append(Point(20, 0));
    lTriangle.append(Point(0, 20));
    pSprite->setPolygon(lTriangle);
    dx7::test::Frame f = frame();
    EXPECT_EQ(rgb(255, 0, 0), f.at(42, 42));
    EXPECT_EQ(rgb(0, 0, 0), f.at(57, 57));

    // A new polygon with the same stamp as the cached one (no frame between).
    pSprite->setPolygon(lTriangle);
    m_pDriver->renderFrame();
    Tsl::List<Point> lSquare = lTriangle;
    lSquare.insertAfter(lSquare.getNode(1), Point(20, 20));
    pSprite->setPolygon(lSquare);
    m_pDriver->renderFrame();
    f = readFrame();
    EXPECT_EQ(rgb(255, 0, 0), f.at(57, 57));
    EXPECT_EQ(rgb(0, 0, 0), f.at(61, 50));
}
