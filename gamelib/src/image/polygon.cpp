#include "image/polygon.h"

#include "tsl2/error.h"
#include "tsl2/list_impl.h"

#include <cmath>

// Sweeps stop this short of the outline, and pieces shorter than this are not split.
static const float SWEEP_EPSILON = 0.01f;
// Bisection never needs more levels than float precision allows.
static const int SWEEP_MAX_DEPTH = 64;

Polygon::Polygon() : m_bPrepared(false), m_bConvex(false) {}

Polygon::Polygon(const Tsl::List<Point>& lPoints) : m_bPrepared(false), m_bConvex(false) { setPoints(lPoints); }

Polygon::~Polygon() {}

void Polygon::setPoints(const Tsl::List<Point>& lPoints) {
    TSL_TRACE();
    m_lPoints = lPoints;
    m_bPrepared = false;
    prepare();
}

const Tsl::List<Point>& Polygon::getPoints() {
    prepare();
    return m_lPoints;
}

bool Polygon::isConvex() {
    prepare();
    return m_bConvex;
}

// Repeated points give zero-length edges with no direction or normal, and a
// list given already closed would gain a second closing edge: both go.
static Tsl::List<Point> withoutRepeats(const Tsl::List<Point>& lPoints) {
    Tsl::List<Point> lClean;
    for (const Point& p : lPoints) {
        if (lClean.isEmpty() || lClean.getLast() != p) lClean.append(p);
    }
    while (lClean.getCount() > 1 && lClean.getLast() == lClean.getFirst()) lClean.removeAt(lClean.getCount() - 1);
    return lClean;
}

bool Polygon::isPolygonClockwise(const Tsl::List<Point>& lPoints) {
    TSL_TRACE();
    if (lPoints.getCount() <= 2)
        throw Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : lPoints.size() > 2");
    std::vector<Point> p;
    for (const Point& q : lPoints) p.push_back(q);
    bool bTurns = false;
    for (size_t i = 1; i + 1 < p.size() && !bTurns; ++i) {
        Point e1 = p[i] - p[i - 1];
        Point e2 = p[i + 1] - p[i];
        float fLengths = e1.getLength() * e2.getLength();
        if (fLengths > 0.0f && std::fabs((e1.x * e2.y - e1.y * e2.x) / fLengths) >= 0.001f) bTurns = true;
    }
    if (!bTurns) TSL_THROW(FatalErrorException, "Degenerate polygon passed to isPolygonClockwise()");
    // The signed area decides, not the first turn: a concave outline may
    // start with a turn against its winding. For convex ones both agree.
    double fArea = 0.0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % p.size()];
        fArea += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return fArea > 0.0;
}

void Polygon::prepare() {
    TSL_TRACE();
    if (m_bPrepared) return;
    Tsl::List<Point> lPoints = withoutRepeats(m_lPoints);
    if (!isPolygonClockwise(lPoints)) lPoints.reverse();
    m_bConvex = isPolygonConvex(lPoints);
    int nCount = lPoints.getCount();
    lPoints.append(lPoints.getFirst());
    m_lPoints = lPoints;
    m_aCorners.clear();
    for (const Point& p : m_lPoints) m_aCorners.push_back(p);
    m_pEdgeDirs.assign(nCount, Point());
    m_pEdgeLengthsSq.assign(nCount, 0.0f);
    m_pNormals.assign(nCount, Point());
    m_pNormalOffsets.assign(nCount, 0.0f);
    for (int i = 0; i < nCount; ++i) {
        Point e = m_aCorners[i + 1] - m_aCorners[i];
        m_pEdgeDirs[i] = e;
        m_pEdgeLengthsSq[i] = dot(e, e);
        Point n(e.y, -e.x);
        n.normalize();
        m_pNormals[i] = n;
        m_pNormalOffsets[i] = dot(m_aCorners[i], n);
    }
    m_bPrepared = true;
}

int Polygon::classifyPoint(int nEdge, const Point& p) {
    prepare();
    TSL_ASSERT(nEdge >= 0 && nEdge < static_cast<int>(m_pEdgeDirs.size()));
    Point v = p - m_aCorners[nEdge];
    if (dot(v, m_pNormals[nEdge]) < 0.0f) return 3;
    float fT = dot(v, m_pEdgeDirs[nEdge]);
    if (fT < 0.0f) return 0;
    if (fT <= m_pEdgeLengthsSq[nEdge]) return 1;
    return 2;
}

int Polygon::locatePoint(const Point& p) {
    prepare();
    int nEdges = static_cast<int>(m_pEdgeDirs.size());
    int nPrevious = 3;
    int nClass = 3;
    for (int i = 0; i < nEdges; ++i) {
        nClass = classifyPoint(i, p);
        if (nClass == 1) return 2 * i + 1;
        if (nClass != 2 && nPrevious == 2) return 2 * i;
        if (nClass == 0 && nPrevious == 3 && i > 0) return 2 * i;
        nPrevious = nClass;
    }
    int nFirst = classifyPoint(0, p);
    if ((nFirst != 2 && nClass == 2) || (nFirst == 0 && nClass == 3)) return 0;
    return -1;
}

float Polygon::sweepCircle(const Point& from, const Point& to, float fRadius, Point* pNormal) {
    TSL_TRACE();
    prepare();
    // Non-finite ends would halve for ever without the pieces getting shorter.
    if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) || !std::isfinite(to.y))
        return 1.0f;
    return sweepPiece(from, to, fRadius, pNormal, 0);
}

float Polygon::sweepPiece(const Point& from, const Point& to, float fRadius, Point* pNormal, int nDepth) {
    int nA = locatePoint(from);
    int nB = locatePoint(to);
    if (nA == -1) return 0.0f;
    if (nA == nB) {
        if (nA % 2 == 0) return sweepCorner(from, to, fRadius, pNormal, nA / 2);
        return sweepEdge(from, to, fRadius, pNormal, (nA - 1) / 2);
    }
    if ((to - from).getLength() < SWEEP_EPSILON || nDepth >= SWEEP_MAX_DEPTH) return 1.0f;
    Point mid = (from + to) * 0.5f;
    float fT = sweepPiece(from, mid, fRadius, pNormal, nDepth + 1);
    if (fT < 1.0f) return fT * 0.5f;
    fT = sweepPiece(mid, to, fRadius, pNormal, nDepth + 1);
    if (fT < 1.0f) return 0.5f + fT * 0.5f;
    return 1.0f;
}

float Polygon::sweepCorner(const Point& from, const Point& to, float fRadius, Point* pNormal, int nCorner) {
    const Point& corner = m_aCorners[nCorner];
    float fT1 = 0.0f, fT2 = 0.0f;
    if (from == to) {
        // No movement: touching already or never.
        if ((from - corner).getLength() >= fRadius) return 1.0f;
        fT1 = 0.0f;
    } else {
        if (!intersectLineCircle(from, to, corner, fRadius, fT1, fT2) || fT1 > 1.0f) return 1.0f;
        if (fT1 < 0.0f && (to - corner).getLength() >= fRadius) return 1.0f;
    }
    if (pNormal) {
        Point n = from + (to - from) * fT1 - corner;
        n.normalize();
        *pNormal = n;
    }
    // A circle that already overlaps the corner touches at the start, not before it.
    return fT1 < 0.0f ? 0.0f : fT1;
}

float Polygon::sweepEdge(const Point& from, const Point& to, float fRadius, Point* pNormal, int nEdge) {
    const Point& n = m_pNormals[nEdge];
    float fA = dot(from, n) - m_pNormalOffsets[nEdge] - fRadius;
    float fB = dot(to, n) - m_pNormalOffsets[nEdge] - fRadius;
    if (fA > 0.0f && fB > 0.0f) return 1.0f;
    if (fA <= fB) return 0.0f;
    if (pNormal) *pNormal = n;
    // Starting closer than the safety margin means no movement at all, not a
    // negative fraction.
    float fT = (fA - SWEEP_EPSILON) / (fA - fB);
    return fT < 0.0f ? 0.0f : fT;
}
