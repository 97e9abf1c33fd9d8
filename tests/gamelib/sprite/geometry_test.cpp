// Where a sprite is on the screen: mappings, bounding boxes, clip cut-outs.
#include "sprite_fixture.h"

namespace {

using SpriteGeometry = SpriteFixture;

TEST_F(SpriteGeometry, ConstructionTruncationAndVisibilityFollowTheImage) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(Point(-0.7f, 2.9f), 3);
    EXPECT_EQ(0, pSprite->getX());
    EXPECT_EQ(2, pSprite->getY());
    int nX, nY;
    pSprite->getPosition(nX, nY);
    EXPECT_EQ(0, nX);
    EXPECT_EQ(2, nY);
    EXPECT_EQ(3, pSprite->getZOrder());
    EXPECT_EQ(Rect(0, 0, 0, 0), pSprite->getScreenRect());

    pSprite->setVisible(false);
    pSprite->setImage(makeImage(10, 6));
    EXPECT_TRUE(pSprite->isVisible());
    EXPECT_EQ(10, pSprite->getWidth());
    EXPECT_EQ(Point(10.0f, 6.0f), pSprite->getSize());

    // Hidden: no size, no screen rectangle, yet the hit test still answers.
    pSprite->setPosition(0, 0);
    pSprite->setVisible(false);
    EXPECT_EQ(0, pSprite->getWidth());
    EXPECT_EQ(0, pSprite->getHeight());
    EXPECT_EQ(Rect(0, 0, 0, 0), pSprite->getScreenRect());
    EXPECT_TRUE(pSprite->hitTest(Point(5.0f, 5.0f)));

    pSprite->setImage(Tsl::SmartPtr<Image>());
    EXPECT_FALSE(pSprite->isVisible());
    EXPECT_FALSE(pSprite->hitTest(Point(5.0f, 5.0f)));
}

TEST_F(SpriteGeometry, LocalAndScreenMappingsAreInverseUnderRotationAndScale) {
    Tsl::SmartPtr<Image> pImage = makeImage(40, 30);
    pImage->setInsPoint(12, 7);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, Point(100.5f, 80.25f));
    const float aAngles[] = {0.0f, 30.0f, 90.0f, 135.0f, -45.0f, 400.0f};
    const Point aScales[] = {Point(1, 1), Point(2, 0.5f), Point(-1, 1), Point(0.3f, -2)};
    const Point aLocal[] = {Point(0, 0), Point(12, 7), Point(39.5f, 29), Point(-5, 100)};
    for (float fAngle : aAngles) {
        for (const Point& scale : aScales) {
            pSprite->setRotation(fAngle);
            pSprite->setScale(scale.x, scale.y);
            for (const Point& p : aLocal) expectNear(p, pSprite->screenToLocal(pSprite->localToScreen(p)), 2e-3f);
        }
    }
    // The insertion point sits on the position whatever the transform.
    expectNear(Point(100.5f, 80.25f), pSprite->localToScreen(Point(12, 7)));
    // 90 degrees turns clockwise on a screen whose y axis points down.
    pSprite->setScale(1.0f);
    pSprite->setRotation(90.0f);
    expectNear(Point(100.5f, 90.25f), pSprite->localToScreen(Point(22, 7)));
}

TEST_F(SpriteGeometry, ScreenRectBoundsTheMappedCanvas) {
    Tsl::SmartPtr<Image> pImage = makeTrimmedImage(20, 10, 4, 2, 30, 16);
    pImage->setInsPoint(10, 8);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 100, 50);
    EXPECT_EQ(Rect(90, 42, 120, 58), pSprite->getScreenRect());
    EXPECT_EQ(Rect(94, 44, 114, 54), pSprite->getScreenPixelRect());

    pSprite->setRotation(90.0f);
    pSprite->setScale(2.0f);
    // Canvas x -10..20 and y -8..8 relative to the insertion point, doubled,
    // then turned: x' = -y, y' = x.
    Rect r = pSprite->getScreenRect();
    EXPECT_NEAR(84, r.left, 1);
    EXPECT_NEAR(116, r.right, 1);
    EXPECT_NEAR(30, r.top, 1);
    EXPECT_NEAR(90, r.bottom, 1);

    // Any angle: the box holds every mapped canvas corner and is tight.
    for (float fAngle = 0.0f; fAngle < 360.0f; fAngle += 17.0f) {
        pSprite->setRotation(fAngle);
        pSprite->setScale(-1.5f, 0.75f);
        Rect box = pSprite->getScreenRect();
        float fMinX = 1e9f, fMaxX = -1e9f, fMinY = 1e9f, fMaxY = -1e9f;
        for (Point c : {Point(0, 0), Point(30, 0), Point(0, 16), Point(30, 16)}) {
            Point s = pSprite->localToScreen(c);
            fMinX = std::min(fMinX, s.x), fMaxX = std::max(fMaxX, s.x);
            fMinY = std::min(fMinY, s.y), fMaxY = std::max(fMaxY, s.y);
        }
        EXPECT_NEAR(fMinX, box.left, 1.01f) << fAngle;
        EXPECT_NEAR(fMaxX, box.right, 1.01f) << fAngle;
        EXPECT_NEAR(fMinY, box.top, 1.01f) << fAngle;
        EXPECT_NEAR(fMaxY, box.bottom, 1.01f) << fAngle;
    }
}

// The drawn image must show, at every screen pixel, the picture's own pixel
// there, and nothing outside the clip.
void expectCutMatches(Sprite* pSprite, Image* pImage, const Rect& clip) {
    Tsl::SmartPtr<Image> pDrawn = pSprite->getDrawImage();
    ASSERT_TRUE(pDrawn);
    Rect drawn = pSprite->getScreenPixelRect();
    EXPECT_TRUE(clip.containsRect(drawn)) << drawn.toString().c_str() << " in " << clip.toString().c_str();
    for (int y = drawn.top; y < drawn.bottom; ++y) {
        for (int x = drawn.left; x < drawn.right; ++x) {
            Point local = pSprite->screenToLocal(Point(x + 0.5f, y + 0.5f));
            Color cut = pDrawn->getColorAt(int(local.x), int(local.y));
            Point whole = local + pImage->getInsPoint() - pDrawn->getInsPoint();
            Color full = pImage->getColorAt(int(whole.x), int(whole.y));
            ASSERT_EQ(full.r, cut.r) << x << "," << y;
            ASSERT_EQ(full.g, cut.g) << x << "," << y;
        }
    }
}

TEST_F(SpriteGeometry, ClipRectangleCutsExactlyAndKeepsTheVisiblePartInPlace) {
    Tsl::SmartPtr<Image> pImage = makeImage(20, 20);
    pImage->setInsPoint(5, 5);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 10, 10);
    EXPECT_FALSE(pSprite->hasClipRect());

    pSprite->setClipRect(Rect(0, 0, 100, 100));
    EXPECT_EQ(pImage, pSprite->getDrawImage());
    EXPECT_FALSE(pSprite->isClipped());

    pSprite->setClipRect(Rect(200, 200, 300, 300));
    EXPECT_FALSE(pSprite->getDrawImage());
    EXPECT_FALSE(pSprite->hitTest(Point(10, 10)));

    // Unscaled at a whole position: the cut ends exactly at the clip edge,
    // not a row and a column past it.
    Rect clip(7, 8, 15, 12);
    pSprite->setClipRect(clip);
    EXPECT_TRUE(pSprite->isClipped());
    EXPECT_EQ(clip, pSprite->getScreenPixelRect());
    expectCutMatches(pSprite, pImage, clip);
    EXPECT_TRUE(pSprite->hitTest(Point(14.5f, 11.5f)));
    EXPECT_FALSE(pSprite->hitTest(Point(15.0f, 11.0f)));

    // Moving and scaling recompute the cut; the clip stays on the screen.
    pSprite->setPosition(12, 9);
    EXPECT_EQ(clip, pSprite->getScreenPixelRect());
    expectCutMatches(pSprite, pImage, clip);
    // Turned a quarter clockwise the picture covers (15, 5)-(35, 25): it only
    // touches the clip, so nothing is drawn; then a clip across it.
    pSprite->setRotation(90.0f);
    pSprite->setPosition(30, 10);
    EXPECT_FALSE(pSprite->getDrawImage());
    pSprite->setClipRect(Rect(20, 0, 33, 13));
    EXPECT_EQ(Rect(20, 5, 33, 13), pSprite->getScreenPixelRect());
    expectCutMatches(pSprite, pImage, Rect(20, 0, 33, 13));

    pSprite->clearClipRect();
    EXPECT_EQ(pImage, pSprite->getDrawImage());
    EXPECT_EQ(Rect(0, 0, 0, 0), pSprite->getClipRect());
}

TEST_F(SpriteGeometry, RotationAloneDoesNotRecomputeTheCut) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(makeImage(20, 20), 0, 0);
    pSprite->setClipRect(Rect(0, 0, 10, 10));
    Tsl::SmartPtr<Image> pCut = pSprite->getDrawImage();
    pSprite->setRotation(45.0f);
    EXPECT_EQ(pCut, pSprite->getDrawImage());
    pSprite->setScale(0.5f);
    EXPECT_NE(pCut, pSprite->getDrawImage());
}

TEST_F(SpriteGeometry, KeepImageInPlaceMovesTheInsertionPointInstead) {
    Tsl::SmartPtr<Image> pImage = makeImage(40, 40);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 100, 100);
    pSprite->setRotation(90.0f);
    pSprite->setScale(2.0f);
    Point before = pSprite->localToScreen(Point(3, 4));
    pSprite->setPosition(Point(120, 110), true);
    EXPECT_EQ(120, pSprite->getX());
    expectNear(before, pSprite->localToScreen(Point(3, 4)), 2.0f);
    expectNear(Point(120, 110), pSprite->localToScreen(pImage->getInsPoint()), 2.0f);

    // The image's own canvas counts, even while the sprite draws a cut-out.
    Tsl::SmartPtr<Sprite> pClipped = new Sprite(makeImage(40, 40), 0, 0);
    pClipped->setClipRect(Rect(10, 10, 30, 30));
    pClipped->setPosition(Point(15, 20), true);
    EXPECT_EQ(Point(15, 20), pClipped->getImage()->getInsPoint());
    EXPECT_EQ(Rect(10, 10, 30, 30), pClipped->getScreenPixelRect());

    // Without an image it is a plain move.
    Tsl::SmartPtr<Sprite> pEmpty = new Sprite(5, 5);
    pEmpty->setPosition(Point(7, 8), true);
    EXPECT_EQ(Point(7, 8), pEmpty->getPosition());
}

TEST_F(SpriteGeometry, PolygonStampsTheFrameAndNamedDataHoldsPointers) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite();
    EXPECT_EQ(-1, pSprite->getPolygonStamp());
    Tsl::List<Point> lPoints;
    lPoints.append(Point(1, 2));
    lPoints.append(Point(3, 4));
    pSprite->setPolygon(lPoints);
    EXPECT_EQ(app.getFrameCounter(), pSprite->getPolygonStamp());
    EXPECT_EQ(2, pSprite->getPolygon().getCount());

    int nValue = 0, nOther = 0;
    EXPECT_FALSE(pSprite->hasData("cell"));
    pSprite->setData("cell", &nValue);
    pSprite->setData("cell", &nOther);
    EXPECT_TRUE(pSprite->hasData("cell"));
    EXPECT_EQ(&nOther, pSprite->getData("cell"));
    EXPECT_THROW(pSprite->getData("missing"), Tsl::FatalErrorException);
}

} // namespace
