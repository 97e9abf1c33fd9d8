// The float 2-D vector of the whole system and the free functions on angles,
// turned rectangles, segments, circles and point lists. Angles are degrees;
// with the screen's y axis pointing down a positive angle turns clockwise.
#pragma once

#include "image/rect.h"
#include "tsl2/list.h"

class Point {
public:
    Point() : x(0.0f), y(0.0f) {}
    Point(float fX, float fY) : x(fX), y(fY) {}
    Point(const Point& other) = default;
    Point& operator=(const Point& other) = default;
    virtual ~Point() {}

    Point& operator+=(const Point& p) {
        x += p.x;
        y += p.y;
        return *this;
    }
    Point& operator-=(const Point& p) {
        x -= p.x;
        y -= p.y;
        return *this;
    }
    Point& operator*=(float f) {
        x *= f;
        y *= f;
        return *this;
    }
    Point& operator/=(float f) {
        x /= f;
        y /= f;
        return *this;
    }
    bool operator==(const Point& p) const { return x == p.x && y == p.y; }
    bool operator!=(const Point& p) const { return !(*this == p); }

    float getLength() const;
    float getLengthSquared() const { return x * x + y * y; }
    // A zero vector is left unchanged.
    void normalize();
    // Direction in degrees, in [0, 360).
    float getAngle() const;

    float x;
    float y;
};

inline Point operator+(const Point& a, const Point& b) { return Point(a.x + b.x, a.y + b.y); }
inline Point operator-(const Point& a, const Point& b) { return Point(a.x - b.x, a.y - b.y); }
inline Point operator-(const Point& p) { return Point(-p.x, -p.y); }
inline Point operator*(const Point& p, float f) { return Point(p.x * f, p.y * f); }
inline Point operator*(float f, const Point& p) { return Point(p.x * f, p.y * f); }
inline Point operator/(const Point& p, float f) { return Point(p.x / f, p.y / f); }
// Mirrors the two product orders: with the scalar first the point is still
// divided by it, (p.x / f, p.y / f), not a component-wise reciprocal.
inline Point operator/(float f, const Point& p) { return Point(p.x / f, p.y / f); }
inline float dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y; }

// Angles.
float degToRad(float fDegrees);
float radToDeg(float fRadians);
// Into [0, 360) for any finite input; a non-finite angle gives 0.
float normalizeAngle(float fAngle);
// The short way round from one angle to another; not normalised.
float lerpAngle(float fFrom, float fTo, float fT);
// Direction in degrees, in (-180, 180].
float vectorAngle(const Point& p);
Point rotatePoint(const Point& p, float fAngle);

// Rectangles turned about the origin or their centres.
void getRotatedBounds(Point& topLeft, Point& bottomRight, float fAngle);
Point getRotatedExtents(const Point& half, float fAngle);
// Touching counts as overlapping.
bool rotatedRectsIntersect(const Point& centreA, const Point& sizeA, float fAngleA, const Point& centreB,
                           const Point& sizeB, float fAngleB);

// Segments, lines, circles and point lists.
bool isLeftOf(const Point& a, const Point& b, const Point& p);
float getTriangleArea2(const Point& a, const Point& b, const Point& c);
Point reflect(const Point& v, const Point& n);
// False when the line misses the circle or when p1 == p2 (no direction).
bool intersectLineCircle(const Point& p1, const Point& p2, const Point& centre, float fRadius, float& fT1,
                         float& fT2);
bool sweptCircleHitsCircle(const Point& centre, const Point& velocity, float fRadius, const Point& otherCentre,
                           float fOtherRadius, float& fT);
int getOutCode(const Point& p, const Rect& rect);
bool segmentIntersectsRect(const Point& a, const Point& b, const Rect& rect);
Point getSpiralPoint(int nIdx, int* pnRing);
bool isPolygonConvex(const Tsl::List<Point>& lPoints);
bool isPointInPolygon(const Tsl::List<Point>& lPoints, const Point& p);
Tsl::List<Point> getConvexHull(const Tsl::List<Point>& lPoints);
