#include "image/color.h"
#include "image/geometry.h"
#include "image/polygon.h"
#include "image/rect.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"
#include "tsl2/hash_impl.h"
#include "tsl2/list_impl.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>

namespace {

Tsl::List<Point> points(std::initializer_list<Point> l) {
    Tsl::List<Point> lPoints;
    for (const Point& p : l) lPoints.append(p);
    return lPoints;
}

} // namespace

TEST(Rect, ValueSemantics) {
    Rect r(10, 10, 5, 5, true);
    EXPECT_EQ(Rect(5, 5, 10, 10), r);
    Rect raw(10, 10, 5, 5, false);
    EXPECT_EQ(10, raw.left);
    EXPECT_EQ(5, raw.right);
    EXPECT_FALSE(raw.isEmpty());

    EXPECT_FALSE(Rect(0, 0, 10, 10).overlaps(Rect(10, 0, 20, 10)));
    EXPECT_EQ(Rect(0, 0, 0, 0), Rect(0, 0, 10, 10).intersect(Rect(10, 0, 20, 10)));
    EXPECT_EQ(Rect(9, 9, 10, 10), Rect(0, 0, 10, 10).intersect(Rect(9, 9, 20, 20)));
    EXPECT_EQ(Rect(5, 5, 8, 8), Rect(0, 0, 0, 0).unite(Rect(5, 5, 8, 8)));
    Rect grown(0, 0, 0, 0);
    grown.extend(Rect(5, 5, 8, 8));
    EXPECT_EQ(Rect(0, 0, 8, 8), grown);
    Rect clipped(-5, 20, 50, 30);
    clipped.clipTo(Rect(0, 0, 40, 10));
    EXPECT_EQ(Rect(0, 10, 40, 10), clipped);
    EXPECT_TRUE(clipped.isEmpty());
    EXPECT_EQ(Point(-1, -1), Rect(-3, -3, 0, 0).getCenter());
    EXPECT_EQ(Rect(1, -1, 3, 2), Rect(Point(1.9f, -1.9f), Point(3.99f, 2.5f)));
    EXPECT_STREQ("(1, 2 - 3, 4)", Rect(1, 2, 3, 4).toString().c_str());
}

TEST(Color, HashTextAndTableKey) {
    EXPECT_STREQ("(0, 0, 0, 255)", toString(Color()).c_str());
    EXPECT_EQ(0x11443322u, getHashCode(Color(0x11, 0x22, 0x33, 0x44)));
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
    EXPECT_EQ(Color(255, 128, 0, 255), Color::Orange);
    Tsl::Hash<Color, int> table;
    table.set(Color::Red, 1);
    table.set(Color::SkyBlue, 2);
    EXPECT_EQ(2, table.get(Color(0, 128, 255)));
    EXPECT_FALSE(table.hasKey(Color(0, 128, 255, 254)));
}

TEST(Color, StreamFormRoundTrip) {
    Tsl::MemStream out;
    Color shared(1, 2, 3, 4);
    {
        Tsl::ObjectStreamer os(&out, false);
        Tsl::persistTo(os, Color(9, 8, 7, 6));
        Tsl::persistTo(os, &shared);
        Tsl::persistTo(os, static_cast<const Color*>(nullptr));
        Tsl::persistTo(os, &shared);
    }
    const std::vector<unsigned char> aExpected = {0x05, 0, 9, 8, 7, 6, 0, 0, 0, 0, 0, 1, 2, 3, 4, 2, 1, 0, 0, 0, 0};
    EXPECT_EQ(aExpected, std::vector<unsigned char>(out.getData(), out.getData() + out.getSize()));

    Tsl::ObjectStreamer is(out.createReadStream(), true);
    Color value(0, 0, 0, 0);
    Tsl::persistFrom(is, value);
    EXPECT_EQ(Color(9, 8, 7, 6), value);
    Color* pFirst = nullptr;
    Color* pNull = &value;
    Color* pAgain = nullptr;
    Tsl::persistFrom(is, pFirst);
    std::unique_ptr<Color> pOwned(pFirst);
    Tsl::persistFrom(is, pNull);
    Tsl::persistFrom(is, pAgain);
    EXPECT_EQ(shared, *pFirst);
    EXPECT_EQ(nullptr, pNull);
    EXPECT_EQ(pFirst, pAgain);
}

TEST(Color, StreamFormRejectsBadInput) {
    auto reader = [](std::vector<unsigned char> aBytes) {
        aBytes.insert(aBytes.begin(), 0x05);
        return std::unique_ptr<Tsl::ObjectStreamer>(new Tsl::ObjectStreamer(
            new Tsl::MemStream(aBytes.data(), static_cast<int>(aBytes.size()), true), true));
    };
    Color* pColor = nullptr;
    // A reference to an object never read.
    try {
        Tsl::persistFrom(*reader({1, 7, 0, 0, 0}), pColor);
        FAIL() << "unknown index accepted";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("AlreadyLoaded failed", e.getMessage());
    }
    EXPECT_THROW(Tsl::persistFrom(*reader({9, 0, 0, 0, 0}), pColor), Tsl::BadStreamFormatException);
    // Cut inside the channels: an error, and nothing handed out (or leaked).
    EXPECT_THROW(Tsl::persistFrom(*reader({0, 0, 0, 0, 0, 5, 6}), pColor), Tsl::Exception);
    EXPECT_EQ(nullptr, pColor);
    EXPECT_THROW(Tsl::persistFrom(*reader({0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}), pColor), Tsl::Exception);
    EXPECT_EQ(nullptr, pColor);
}

TEST(Angles, NormalizeAndLerpEndForAnyInput) {
    EXPECT_FLOAT_EQ(330.0f, normalizeAngle(-30.0f));
    EXPECT_FLOAT_EQ(0.0f, normalizeAngle(720.0f));
    EXPECT_FLOAT_EQ(360.0f, lerpAngle(350.0f, 10.0f, 0.5f));
    // Inputs that would loop for ever or leave the range by rounding.
    const float aHard[] = {1e30f, -1e30f, -1e-9f, std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (float f : aHard) {
        float a = normalizeAngle(f);
        EXPECT_TRUE(a >= 0.0f && a < 360.0f) << f;
        (void)lerpAngle(f, 10.0f, 0.5f);
        (void)lerpAngle(10.0f, f, 0.5f);
    }
    EXPECT_NEAR(-10.0f, lerpAngle(0.0f, 350.0f + 3600.0f, 1.0f), 1e-3f);
}

TEST(Points, BasicsAndRotation) {
    Point zero;
    zero.normalize();
    EXPECT_EQ(Point(0, 0), zero);
    EXPECT_FLOAT_EQ(5.0f, Point(3, 4).getLength());
    Point r = rotatePoint(Point(1, 0), 90.0f);
    EXPECT_NEAR(0.0f, r.x, 1e-6f);
    EXPECT_NEAR(1.0f, r.y, 1e-6f);
    EXPECT_NEAR(270.0f, Point(0, -1).getAngle(), 1e-4f);
    EXPECT_NEAR(-90.0f, vectorAngle(Point(0, -1)), 1e-4f);
    // Scalar first or last, the point is divided by it.
    EXPECT_EQ(Point(1.5f, -2.0f), Point(3, -4) / 2.0f);
    EXPECT_EQ(Point(1.5f, -2.0f), 2.0f / Point(3, -4));
    Point q(3, -4);
    q /= 2.0f;
    EXPECT_EQ(Point(1.5f, -2.0f), q);
}

TEST(RotatedRects, BoundsAgainstBruteForce) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-50.0f, 50.0f), angle(-720.0f, 720.0f);
    const float aQuadrantEdges[] = {0.0f, 90.0f, 180.0f, 270.0f, 360.0f, -90.0f};
    for (int i = 0; i < 400; ++i) {
        float l = coord(rng), t = coord(rng);
        float r = l + std::fabs(coord(rng)) * (i % 7 == 0 ? 0.0f : 1.0f), b = t + std::fabs(coord(rng));
        float a = i < 6 ? aQuadrantEdges[i] : angle(rng);
        Point tl(l, t), br(r, b);
        getRotatedBounds(tl, br, a);
        float fMinX = 1e9f, fMaxX = -1e9f, fMinY = 1e9f, fMaxY = -1e9f;
        for (const Point& c : {Point(l, t), Point(r, t), Point(l, b), Point(r, b)}) {
            Point q = rotatePoint(c, normalizeAngle(a));
            fMinX = std::min(fMinX, q.x), fMaxX = std::max(fMaxX, q.x);
            fMinY = std::min(fMinY, q.y), fMaxY = std::max(fMaxY, q.y);
        }
        EXPECT_NEAR(fMinX, tl.x, 1e-3f);
        EXPECT_NEAR(fMaxX, br.x, 1e-3f);
        EXPECT_NEAR(fMinY, tl.y, 1e-3f);
        EXPECT_NEAR(fMaxY, br.y, 1e-3f);
    }
}

// Brute force: sample points of A's interior and test them inside B.
static bool insideBox(const Point& p, const Point& c, const Point& size, float fAngle) {
    Point d = rotatePoint(p - c, -fAngle);
    return std::fabs(d.x) <= size.x / 2 + 1e-3f && std::fabs(d.y) <= size.y / 2 + 1e-3f;
}

static bool bruteIntersect(const Point& ca, const Point& sa, float fa, const Point& cb, const Point& sb, float fb) {
    const int N = 24;
    for (int i = 0; i <= N; ++i)
        for (int j = 0; j <= N; ++j) {
            Point pa = ca + rotatePoint(Point(sa.x * (i / float(N) - 0.5f), sa.y * (j / float(N) - 0.5f)), fa);
            if (insideBox(pa, cb, sb, fb)) return true;
            Point pb = cb + rotatePoint(Point(sb.x * (i / float(N) - 0.5f), sb.y * (j / float(N) - 0.5f)), fb);
            if (insideBox(pb, ca, sa, fa)) return true;
        }
    return false;
}

TEST(RotatedRects, IntersectionAgainstBruteForce) {
    EXPECT_TRUE(rotatedRectsIntersect(Point(0, 0), Point(10, 10), 0, Point(10, 0), Point(10, 10), 0));
    EXPECT_FALSE(rotatedRectsIntersect(Point(0, 0), Point(10, 10), 0, Point(100, 0), Point(10, 10), 0));
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(-30.0f, 30.0f), size(1.0f, 30.0f), angle(0.0f, 360.0f);
    int nDisagree = 0;
    for (int i = 0; i < 600; ++i) {
        Point ca(pos(rng), pos(rng)), cb(pos(rng), pos(rng)), sa(size(rng), size(rng)), sb(size(rng), size(rng));
        float fa = angle(rng), fb = angle(rng);
        // Separating-axis test on the two frames is exact for rectangles; the
        // sampled brute force can only miss grazing contacts.
        bool bFast = rotatedRectsIntersect(ca, sa, fa, cb, sb, fb);
        bool bBrute = bruteIntersect(ca, sa, fa, cb, sb, fb);
        if (bFast != bBrute) {
            EXPECT_TRUE(bFast) << i;
            ++nDisagree;
        }
    }
    EXPECT_LT(nDisagree, 12);
}

TEST(PointLists, SpiralSegmentsHullAndContainment) {
    const Point aRing1[] = {Point(0, -1), Point(-1, -1), Point(-1, 0), Point(-1, 1),
                            Point(0, 1),  Point(1, 1),   Point(1, 0),  Point(1, -1)};
    for (int n = 1; n <= 8; ++n) {
        int nRing = -1;
        EXPECT_EQ(aRing1[n - 1], getSpiralPoint(n, &nRing)) << n;
        EXPECT_EQ(1, nRing);
    }
    // The spiral visits every cell of ring r exactly once.
    std::set<std::pair<int, int>> seen;
    for (int n = 0; n < 81; ++n) {
        Point p = getSpiralPoint(n, nullptr);
        EXPECT_TRUE(seen.insert({int(p.x), int(p.y)}).second) << n;
        EXPECT_LE(std::max(std::fabs(p.x), std::fabs(p.y)), 4.0f);
    }
    EXPECT_THROW(getSpiralPoint(-1, nullptr), Tsl::AssertFailException);
    // The last index still lands on its ring.
    int nRing = 0;
    Point last = getSpiralPoint(std::numeric_limits<int>::max(), &nRing);
    EXPECT_EQ(23170, nRing);
    EXPECT_EQ(23170.0f, std::max(std::fabs(last.x), std::fabs(last.y)));

    Rect box(0, 0, 10, 10);
    EXPECT_FALSE(segmentIntersectsRect(Point(-5, -3), Point(-1, 20), box));
    EXPECT_TRUE(segmentIntersectsRect(Point(-5, 5), Point(15, 5), box));
    EXPECT_TRUE(segmentIntersectsRect(Point(-5, -4), Point(5, 12), box));
    EXPECT_FALSE(segmentIntersectsRect(Point(-5, 8), Point(3, 20), box));

    std::mt19937 rng(3);
    std::uniform_real_distribution<float> coord(-20.0f, 20.0f);
    for (int round = 0; round < 20; ++round) {
        Tsl::List<Point> lPoints;
        for (int i = 0; i < 30; ++i) lPoints.append(Point(coord(rng), coord(rng)));
        Tsl::List<Point> lHull = getConvexHull(lPoints);
        ASSERT_GE(lHull.getCount(), 3);
        // Every input point lies inside or on the hull: none strictly right
        // of any hull edge walked in order.
        std::vector<Point> h;
        for (const Point& q : lHull) h.push_back(q);
        for (const Point& p : lPoints) {
            for (size_t i = 0; i < h.size(); ++i) {
                const Point& a = h[i];
                const Point& b = h[(i + 1) % h.size()];
                float fCross = (b.y - a.y) * (p.x - a.x) - (b.x - a.x) * (p.y - a.y);
                EXPECT_LE(fCross, 1e-3f);
            }
        }
        EXPECT_TRUE(isPolygonConvex(lHull));
    }
    Tsl::List<Point> square = points({Point(0, 0), Point(10, 0), Point(10, 10), Point(0, 10)});
    EXPECT_TRUE(isPointInPolygon(square, Point(5, 5)));
    EXPECT_FALSE(isPointInPolygon(square, Point(15, 5)));
    EXPECT_FALSE(isPolygonConvex(points({Point(0, 0), Point(10, 0), Point(5, 2), Point(5, 10)})));
}

// A brute classifier for a clockwise convex polygon: inside, or the nearest
// feature (edge interior or corner) of the outline.
static int bruteLocate(const std::vector<Point>& c, const Point& p) {
    size_t n = c.size();
    bool bInside = true;
    for (size_t i = 0; i < n; ++i) {
        Point e = c[(i + 1) % n] - c[i];
        Point normal(e.y, -e.x);
        if (dot(p - c[i], normal) > 0) bInside = false;
    }
    if (bInside) return -1;
    float fBest = 1e30f;
    int nBest = -2;
    for (size_t i = 0; i < n; ++i) {
        Point e = c[(i + 1) % n] - c[i];
        float t = dot(p - c[i], e) / dot(e, e);
        if (t > 0 && t < 1) {
            float d = (p - (c[i] + e * t)).getLength();
            if (d < fBest) fBest = d, nBest = int(2 * i + 1);
        }
        float dc = (p - c[i]).getLength();
        if (dc < fBest) fBest = dc, nBest = int(2 * i);
    }
    return nBest;
}

TEST(Polygon, PreparationAndLocation) {
    Polygon ccw(points({Point(0, 0), Point(0, 10), Point(10, 10), Point(10, 0)}));
    const Tsl::List<Point>& l = ccw.getPoints();
    ASSERT_EQ(5, l.getCount());
    EXPECT_EQ(l.getFirst(), l.getLast());
    EXPECT_TRUE(Polygon::isPolygonClockwise(l));
    EXPECT_TRUE(ccw.isConvex());

    // Duplicate points and an already closed list give the same outline.
    Polygon messy(points({Point(0, 0), Point(10, 0), Point(10, 0), Point(10, 10), Point(0, 10), Point(0, 0)}));
    EXPECT_EQ(5, messy.getPoints().getCount());

    EXPECT_THROW(Polygon(points({Point(0, 0), Point(1, 1)})), Tsl::AssertFailException);
    EXPECT_THROW(Polygon(points({Point(0, 0), Point(1, 1), Point(2, 2)})), Tsl::FatalErrorException);
    EXPECT_THROW(ccw.classifyPoint(4, Point(0, 0)), Tsl::AssertFailException);
    EXPECT_THROW(ccw.classifyPoint(-1, Point(0, 0)), Tsl::AssertFailException);

    Polygon hexagon(points({Point(0, -10), Point(9, -5), Point(9, 5), Point(0, 10), Point(-9, 5), Point(-9, -5)}));
    std::vector<Point> corners;
    for (const Point& q : hexagon.getPoints()) corners.push_back(q);
    corners.pop_back();
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-25.0f, 25.0f);
    for (int i = 0; i < 2000; ++i) {
        Point p(coord(rng), coord(rng));
        EXPECT_EQ(bruteLocate(corners, p), hexagon.locatePoint(p)) << p.x << "," << p.y;
    }
}

TEST(Polygon, SweepingACircle) {
    Polygon square(points({Point(0, 0), Point(10, 0), Point(10, 10), Point(0, 10)}));
    // Straight at the left edge from outside: stops 0.01 short.
    Point normal;
    float t = square.sweepCircle(Point(-10, 5), Point(0, 5), 2.0f, &normal);
    float dA = 8.0f, dB = -2.0f;
    EXPECT_NEAR((dA - 0.01f) / (dA - dB), t, 1e-4f);
    EXPECT_NEAR(-1.0f, normal.x, 1e-5f);
    // Parallel to an edge, clear of it.
    EXPECT_FLOAT_EQ(1.0f, square.sweepCircle(Point(-3, -5), Point(13, -5), 2.0f, nullptr));
    // Starting inside.
    EXPECT_FLOAT_EQ(0.0f, square.sweepCircle(Point(5, 5), Point(50, 5), 1.0f, nullptr));
    // Zero-length moves and already touching starts end with a fraction in [0, 1].
    for (const Point& p : {Point(-1, -1), Point(-5, 5), Point(-0.5f, 5)}) {
        float f = square.sweepCircle(p, p, 2.0f, &normal);
        EXPECT_TRUE(f >= 0.0f && f <= 1.0f);
    }
    float fTouch = square.sweepCircle(Point(-1, -1), Point(-20, -20), 2.0f, nullptr);
    EXPECT_TRUE(fTouch >= 0.0f && fTouch <= 1.0f);
    // Through a corner region into an edge region: stops before the outline.
    float fDiag = square.sweepCircle(Point(-10, -10), Point(5, 5), 1.0f, &normal);
    Point at = Point(-10, -10) + Point(15, 15) * fDiag;
    EXPECT_GT((at - Point(0, 0)).getLength(), 0.99f);
    EXPECT_LT(fDiag, 1.0f);
    EXPECT_FLOAT_EQ(1.0f, square.sweepCircle(Point(-1e30f, 5), Point(std::numeric_limits<float>::infinity(), 5), 1,
                                             nullptr));
}
