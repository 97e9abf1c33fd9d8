#include "image/geometry.h"

#include "tsl2/error.h"
#include "tsl2/list_impl.h"

#include <cmath>
#include <utility>
#include <vector>

static const float PI = 3.1415927f;

float Point::getLength() const { return std::sqrt(x * x + y * y); }

void Point::normalize() {
    float fLength = getLength();
    if (fLength > 0.0f) {
        x /= fLength;
        y /= fLength;
    }
}

float Point::getAngle() const {
    float fAngle = radToDeg(std::atan2(y, x));
    if (fAngle < 0.0f) fAngle += 360.0f;
    if (fAngle >= 360.0f) fAngle -= 360.0f;
    return fAngle;
}

float degToRad(float fDegrees) { return fDegrees * PI / 180.0f; }

float radToDeg(float fRadians) { return fRadians * 180.0f / PI; }

float normalizeAngle(float fAngle) {
    // fmod instead of repeated subtraction so huge inputs end at once; a tiny
    // negative angle rounds to exactly 360 when lifted and must wrap to 0.
    if (!std::isfinite(fAngle)) return 0.0f;
    fAngle = std::fmod(fAngle, 360.0f);
    if (fAngle < 0.0f) fAngle += 360.0f;
    if (fAngle >= 360.0f) fAngle = 0.0f;
    return fAngle;
}

float lerpAngle(float fFrom, float fTo, float fT) {
    float fDelta = fTo - fFrom;
    if (!std::isfinite(fDelta)) return fFrom;
    fDelta = std::fmod(fDelta, 360.0f);
    if (fDelta > 180.0f) fDelta -= 360.0f;
    if (fDelta < -180.0f) fDelta += 360.0f;
    return fFrom + fDelta * fT;
}

float vectorAngle(const Point& p) { return radToDeg(std::atan2(p.y, p.x)); }

Point rotatePoint(const Point& p, float fAngle) {
    if (fAngle == 0.0f) return p;
    float fRad = degToRad(fAngle);
    float c = std::cos(fRad);
    float s = std::sin(fRad);
    return Point(p.x * c - p.y * s, p.x * s + p.y * c);
}

void getRotatedBounds(Point& topLeft, Point& bottomRight, float fAngle) {
    TSL_TRACE();
    float fA = normalizeAngle(fAngle);
    float fRad = degToRad(fA);
    float c = std::cos(fRad);
    float s = std::sin(fRad);
    float l = topLeft.x, t = topLeft.y, r = bottomRight.x, b = bottomRight.y;
    auto rx = [c, s](float x, float y) { return x * c - y * s; };
    auto ry = [c, s](float x, float y) { return x * s + y * c; };
    // The quadrant tells which corner gives each extreme.
    float fLeft, fRight, fTop, fBottom;
    if (fA < 90.0f) {
        fLeft = rx(l, b), fRight = rx(r, t), fTop = ry(l, t), fBottom = ry(r, b);
    } else if (fA < 180.0f) {
        fLeft = rx(r, b), fRight = rx(l, t), fTop = ry(l, b), fBottom = ry(r, t);
    } else if (fA < 270.0f) {
        fLeft = rx(r, t), fRight = rx(l, b), fTop = ry(r, b), fBottom = ry(l, t);
    } else {
        fLeft = rx(l, t), fRight = rx(r, b), fTop = ry(r, t), fBottom = ry(l, b);
    }
    // On a quadrant border the cosine or sine may carry the wrong sign by a
    // rounding error; for a flat rectangle that would invert the result.
    if (fRight < fLeft) std::swap(fLeft, fRight);
    if (fBottom < fTop) std::swap(fTop, fBottom);
    TSL_ASSERT(fBottom >= fTop);
    TSL_ASSERT(fRight >= fLeft);
    topLeft = Point(fLeft, fTop);
    bottomRight = Point(fRight, fBottom);
}

Point getRotatedExtents(const Point& half, float fAngle) {
    float fA = normalizeAngle(fAngle);
    if (fA == 0.0f) return half;
    float fRad = degToRad(fA);
    float c = std::cos(fRad);
    float s = std::sin(fRad);
    return Point(std::fabs(half.x * c) + std::fabs(half.y * s), std::fabs(half.x * s) + std::fabs(half.y * c));
}

// Whether B's box, seen from A's frame, separates from A along A's axes.
static bool separatesInFrame(const Point& centreA, const Point& halfA, float fAngleA, const Point& centreB,
                             const Point& halfB, float fAngleB) {
    Point d = rotatePoint(centreB - centreA, -fAngleA);
    Point e = getRotatedExtents(halfB, fAngleB - fAngleA);
    return std::fabs(d.x) > halfA.x + e.x || std::fabs(d.y) > halfA.y + e.y;
}

bool rotatedRectsIntersect(const Point& centreA, const Point& sizeA, float fAngleA, const Point& centreB,
                           const Point& sizeB, float fAngleB) {
    Point halfA = sizeA / 2.0f;
    Point halfB = sizeB / 2.0f;
    float fMaxA = halfA.x > halfA.y ? halfA.x : halfA.y;
    float fMaxB = halfB.x > halfB.y ? halfB.x : halfB.y;
    float fReach = (fMaxA + fMaxB) * 1.4142135f;
    if ((centreA - centreB).getLengthSquared() > fReach * fReach) return false;
    if (separatesInFrame(centreA, halfA, fAngleA, centreB, halfB, fAngleB)) return false;
    return !separatesInFrame(centreB, halfB, fAngleB, centreA, halfA, fAngleA);
}

bool isLeftOf(const Point& a, const Point& b, const Point& p) {
    return (b.y - a.y) * (p.x - a.x) - (b.x - a.x) * (p.y - a.y) > 0.0f;
}

float getTriangleArea2(const Point& a, const Point& b, const Point& c) {
    return std::fabs((c.x - a.x) * (a.y - b.y) - (c.y - a.y) * (a.x - b.x));
}

Point reflect(const Point& v, const Point& n) {
    Point nn = n;
    nn.normalize();
    return v - nn * (2.0f * dot(v, nn));
}

bool intersectLineCircle(const Point& p1, const Point& p2, const Point& centre, float fRadius, float& fT1,
                         float& fT2) {
    Point d = p2 - p1;
    Point f = p1 - centre;
    float a = dot(d, d);
    if (a == 0.0f) return false;
    float b = 2.0f * dot(f, d);
    float c = dot(f, f) - fRadius * fRadius;
    float fDisc = b * b - 4.0f * a * c;
    if (fDisc < 0.0f) return false;
    float fRoot = std::sqrt(fDisc);
    fT1 = (-b - fRoot) / (2.0f * a);
    fT2 = (fRoot - b) / (2.0f * a);
    return true;
}

bool sweptCircleHitsCircle(const Point& centre, const Point& velocity, float fRadius, const Point& otherCentre,
                           float fOtherRadius, float& fT) {
    float fT2 = 0.0f;
    if (!intersectLineCircle(centre, centre + velocity, otherCentre, fRadius + fOtherRadius, fT, fT2)) return false;
    return fT >= 0.0f && fT <= 1.0f;
}

int getOutCode(const Point& p, const Rect& rect) {
    int nCode = 0;
    if (p.x < rect.left) nCode |= 1;
    if (p.x > rect.right) nCode |= 2;
    if (p.y < rect.top) nCode |= 4;
    if (p.y > rect.bottom) nCode |= 8;
    return nCode;
}

// Moves an end that lies outside onto the border named by its outcode.
static Point clipToBorder(const Point& a, const Point& b, int nCode, const Rect& rect) {
    if (nCode & (8 | 4)) {
        float fY = static_cast<float>((nCode & 8) ? rect.bottom : rect.top);
        return Point(a.x + (fY - a.y) * (b.x - a.x) / (b.y - a.y), fY);
    }
    float fX = static_cast<float>((nCode & 1) ? rect.left : rect.right);
    return Point(fX, a.y + (fX - a.x) * (b.y - a.y) / (b.x - a.x));
}

bool segmentIntersectsRect(const Point& a, const Point& b, const Rect& rect) {
    Point p = a, q = b;
    int nCodeP = getOutCode(p, rect);
    int nCodeQ = getOutCode(q, rect);
    // Each move clears at least one bit of an end's code; the cap only guards
    // against rounding (or NaN) keeping a point outside for ever.
    for (int nStep = 0; nStep < 16; ++nStep) {
        if ((nCodeP | nCodeQ) == 0) return true;
        if (nCodeP & nCodeQ) return false;
        if (nCodeP != 0) {
            p = clipToBorder(p, q, nCodeP, rect);
            nCodeP = getOutCode(p, rect);
        } else {
            q = clipToBorder(q, p, nCodeQ, rect);
            nCodeQ = getOutCode(q, rect);
        }
    }
    return false;
}

Point getSpiralPoint(int nIdx, int* pnRing) {
    TSL_ASSERT(nIdx >= 0);
    int n = nIdx;
    int nRing = 0;
    Point p;
    if (n > 0) {
        // The root is corrected in 64 bits: (root + 1)² passes the int range
        // for indexes near its top.
        long long nRoot = static_cast<long long>(std::sqrt(static_cast<double>(n)));
        while (nRoot * nRoot > n) --nRoot;
        while ((nRoot + 1) * (nRoot + 1) <= n) ++nRoot;
        nRing = static_cast<int>((nRoot + 1) / 2);
        int r = nRing;
        int k = n - (2 * r - 1) * (2 * r - 1);
        if (k < 2 * r)
            p = Point(static_cast<float>(r - 1 - k), static_cast<float>(-r));
        else if (k < 4 * r)
            p = Point(static_cast<float>(-r), static_cast<float>(k - 3 * r + 1));
        else if (k < 6 * r)
            p = Point(static_cast<float>(k - 5 * r + 1), static_cast<float>(r));
        else
            p = Point(static_cast<float>(r), static_cast<float>(7 * r - 1 - k));
    }
    if (pnRing) *pnRing = nRing;
    return p;
}

static std::vector<Point> toVector(const Tsl::List<Point>& lPoints) {
    std::vector<Point> aPoints;
    aPoints.reserve(lPoints.getCount());
    for (const Point& p : lPoints) aPoints.push_back(p);
    return aPoints;
}

bool isPolygonConvex(const Tsl::List<Point>& lPoints) {
    std::vector<Point> p = toVector(lPoints);
    Point prev;
    float fPrevS = 0.0f;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        Point d = p[i + 1] - p[i];
        float fS = dot(d, Point(-prev.y, prev.x));
        if (i >= 1 && fS * fPrevS < 0.0f) return false;
        prev = d;
        fPrevS = fS;
    }
    return true;
}

bool isPointInPolygon(const Tsl::List<Point>& lPoints, const Point& pt) {
    std::vector<Point> p = toVector(lPoints);
    bool bInside = false;
    size_t nCount = p.size();
    for (size_t i = 0; i < nCount; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % nCount];
        bool bStraddles = (a.y < pt.y && b.y >= pt.y) || (b.y < pt.y && a.y >= pt.y);
        if (!bStraddles) continue;
        float fX = a.x + (pt.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (fX > pt.x) bInside = !bInside;
    }
    return bInside;
}

// One QuickHull step: inserts the hull points strictly left of (a, b) into
// aHull right after a's position.
static void hullStep(std::vector<Point>& aHull, size_t nA, const Point& a, const Point& b,
                     const std::vector<Point>& aCandidates) {
    if (aCandidates.empty()) return;
    if (aCandidates.size() == 1) {
        aHull.insert(aHull.begin() + nA + 1, aCandidates[0]);
        return;
    }
    size_t nBest = 0;
    float fBest = -1.0f;
    for (size_t i = 0; i < aCandidates.size(); ++i) {
        float fArea = getTriangleArea2(a, b, aCandidates[i]);
        if (fArea > fBest) {
            fBest = fArea;
            nBest = i;
        }
    }
    Point far = aCandidates[nBest];
    aHull.insert(aHull.begin() + nA + 1, far);
    std::vector<Point> aLeftA, aLeftB;
    for (const Point& p : aCandidates) {
        if (isLeftOf(a, far, p)) aLeftA.push_back(p);
        else if (isLeftOf(far, b, p)) aLeftB.push_back(p);
    }
    // The far side first: its insertions land after far, leaving a's index valid.
    size_t nFar = nA + 1;
    hullStep(aHull, nFar, far, b, aLeftB);
    hullStep(aHull, nA, a, far, aLeftA);
}

Tsl::List<Point> getConvexHull(const Tsl::List<Point>& lPoints) {
    TSL_TRACE();
    Tsl::List<Point> lHull;
    std::vector<Point> p = toVector(lPoints);
    if (p.size() < 3) return lHull;
    size_t nMin = 0, nMax = 0;
    for (size_t i = 1; i < p.size(); ++i) {
        if (p[i].x < p[nMin].x) nMin = i;
        if (p[i].x > p[nMax].x) nMax = i;
    }
    Point a = p[nMin], b = p[nMax];
    std::vector<Point> aAbove, aBelow;
    for (const Point& q : p) {
        if (isLeftOf(a, b, q)) aAbove.push_back(q);
        else if (isLeftOf(b, a, q)) aBelow.push_back(q);
    }
    std::vector<Point> aHull{a, b};
    hullStep(aHull, 1, b, a, aBelow);
    hullStep(aHull, 0, a, b, aAbove);
    for (const Point& q : aHull) lHull.append(q);
    return lHull;
}
