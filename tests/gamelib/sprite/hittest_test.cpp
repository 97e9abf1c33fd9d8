// Point hit tests in their three modes against an independent brute force,
// and sprite-against-sprite collisions.
#include "sprite_fixture.h"

namespace {

using SpriteHits = SpriteFixture;

// The generating rule of makeTrimmedImage, in physical coordinates.
int alphaAt(int x, int y) { return (x + y) % 3 == 0 ? 0 : 1 + (x * 7 + y) % 254; }

struct Placement {
    Point position;
    float fRotation;
    Point scale;
};

TEST_F(SpriteHits, EveryModeAgreesWithABruteForceOverTheScreen) {
    const int nPhysW = 12, nPhysH = 9, nOffX = 3, nOffY = 2, nCanvasW = 20, nCanvasH = 15;
    Tsl::SmartPtr<Image> pImage = makeTrimmedImage(nPhysW, nPhysH, nOffX, nOffY, nCanvasW, nCanvasH);
    pImage->setInsPoint(6, 4);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 0, 0);
    const Placement aPlacements[] = {{Point(50, 40), 0.0f, Point(1, 1)},
                                     {Point(50.5f, 40.25f), 30.0f, Point(2, 1.5f)},
                                     {Point(50, 40), 90.0f, Point(1, 1)},
                                     {Point(47, 43), 200.0f, Point(-1.5f, 0.8f)}};
    for (const Placement& place : aPlacements) {
        pSprite->setPosition(place.position);
        pSprite->setRotation(place.fRotation);
        pSprite->setScale(place.scale.x, place.scale.y);
        double fRad = -double(place.fRotation) * 3.14159265358979 / 180.0;
        int nChecked = 0;
        for (float sy = 0.0f; sy < 90.0f; sy += 0.7f) {
            for (float sx = 0.0f; sx < 100.0f; sx += 0.7f) {
                double dx = sx - place.position.x, dy = sy - place.position.y;
                double lx = (dx * std::cos(fRad) - dy * std::sin(fRad)) / place.scale.x + 6.0;
                double ly = (dx * std::sin(fRad) + dy * std::cos(fRad)) / place.scale.y + 4.0;
                // Float and double disagree right on an edge: skip those points.
                auto nearEdge = [](double v) { return std::fabs(v - std::round(v)) < 1e-3; };
                if (nearEdge(lx) || nearEdge(ly)) continue;
                bool bCanvas = lx >= 0 && lx < nCanvasW && ly >= 0 && ly < nCanvasH;
                bool bRect = lx >= nOffX && lx < nOffX + nPhysW && ly >= nOffY && ly < nOffY + nPhysH;
                bool bPixel = bRect && alphaAt(int(lx) - nOffX, int(ly) - nOffY) > 0;
                Point p(sx, sy);
                pSprite->setHitTestMode(HT_CANVAS);
                ASSERT_EQ(bCanvas, pSprite->hitTest(p)) << sx << "," << sy << " at " << place.fRotation;
                pSprite->setHitTestMode(HT_PIXEL_RECT);
                ASSERT_EQ(bRect, pSprite->hitTest(p)) << sx << "," << sy << " at " << place.fRotation;
                pSprite->setHitTestMode(HT_PIXELS);
                ASSERT_EQ(bPixel, pSprite->hitTest(p)) << sx << "," << sy << " at " << place.fRotation;
                nChecked += bPixel;
            }
        }
        EXPECT_GT(nChecked, 50);
    }
}

TEST_F(SpriteHits, CanvasEdgesAndAlphaThreshold) {
    Tsl::SmartPtr<Image> pImage = makeTrimmedImage(12, 9, 3, 2, 20, 15);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 10, 10);
    pSprite->setHitTestMode(HT_CANVAS);
    EXPECT_TRUE(pSprite->hitTest(Point(10, 10)));
    EXPECT_FALSE(pSprite->hitTest(Point(30, 10)));
    EXPECT_FALSE(pSprite->hitTest(Point(10, 25)));
    EXPECT_TRUE(pSprite->hitTestCanvas(29, 24));
    EXPECT_FALSE(pSprite->hitTestCanvas(9, 10));

    // Physical (0, 1) has alpha 2, (0, 0) alpha 0 but lies in the pixel rectangle.
    Point transparent(13, 12), weak(13, 13);
    pSprite->setHitTestMode(HT_PIXELS);
    EXPECT_FALSE(pSprite->hitTest(transparent));
    EXPECT_TRUE(pSprite->hitTest(weak));
    EXPECT_FALSE(pSprite->hitTestPixels(weak, 2));
    EXPECT_TRUE(pSprite->hitTestPixels(weak, 1));
    pSprite->setHitTestMode(HT_PIXEL_RECT);
    EXPECT_TRUE(pSprite->hitTest(transparent));
    EXPECT_FALSE(pSprite->hitTest(Point(12, 12)));
}

TEST_F(SpriteHits, RectangleAndPixelCollisions) {
    Tsl::SmartPtr<Sprite> a = new Sprite(makeImage(20, 20), 0, 0);
    Tsl::SmartPtr<Sprite> b = new Sprite(makeImage(20, 20), 25, 0);
    EXPECT_FALSE(a->collideCanvases(b));
    EXPECT_FALSE(a->collidePixelRects(b));
    b->setPosition(15, 5);
    EXPECT_TRUE(a->collideCanvases(b));
    EXPECT_TRUE(b->collidePixelRects(a));
    EXPECT_TRUE(a->collidePixels(b, 4, 0));

    // Diagonally below a, overlapping its corner; turned 45 degrees about its
    // centre, b's side no longer reaches that corner; grown, it does again.
    b->getImage()->setInsPoint(10, 10);
    b->setPosition(28, 28);
    EXPECT_TRUE(a->collideCanvases(b));
    b->setRotation(45.0f);
    EXPECT_FALSE(a->collideCanvases(b));
    b->setScale(1.6f);
    EXPECT_TRUE(a->collideCanvases(b));

    // Boxes overlapping over transparent pixels only do not collide pixel-wise.
    Tsl::SmartPtr<Image> pRing = app.createImage(32, 32, true);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (x < 8 || y < 8) pRing->setColorAt(x, y, Color(255, 255, 255, 255));
    Tsl::SmartPtr<Sprite> c = new Sprite(pRing, 100, 100);
    Tsl::SmartPtr<Sprite> d = new Sprite(makeImage(8, 8), 120, 120);
    EXPECT_TRUE(c->collideCanvases(d));
    EXPECT_FALSE(c->collidePixels(d, 4, 0));
    d->setPosition(102, 120);
    EXPECT_TRUE(c->collidePixels(d, 4, 0));

    Tsl::SmartPtr<Sprite> pEmpty = new Sprite(100, 100);
    EXPECT_FALSE(c->collideCanvases(pEmpty));
    EXPECT_FALSE(c->collidePixels(pEmpty, 4, 0));
    EXPECT_FALSE(c->collidePixelRects(Tsl::SmartPtr<Sprite>()));
}

} // namespace
