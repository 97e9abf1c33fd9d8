// A closed outline with precomputed edge data, for locating a point in the
// regions around it and sweeping a circle against it. The region rules assume
// a convex outline.
#pragma once

#include "image/geometry.h"

#include <vector>

class Polygon {
public:
    Polygon();
    explicit Polygon(const Tsl::List<Point>& lPoints);
    virtual ~Polygon();

    void setPoints(const Tsl::List<Point>& lPoints);
    const Tsl::List<Point>& getPoints();
    bool isConvex();
    // 3 behind the edge's line, 0 before its start, 1 beside it, 2 past its end.
    int classifyPoint(int nEdge, const Point& p);
    // -1 inside; 2i + 1 in the region of edge i; 2i in the region of corner i.
    int locatePoint(const Point& p);
    // Fraction of the way at which a circle first touches the outline; 1 when
    // it stays clear. pNormal, when given, receives the contact normal.
    float sweepCircle(const Point& from, const Point& to, float fRadius, Point* pNormal);

    static bool isPolygonClockwise(const Tsl::List<Point>& lPoints);

private:
    void prepare();
    float sweepPiece(const Point& from, const Point& to, float fRadius, Point* pNormal, int nDepth);
    float sweepCorner(const Point& from, const Point& to, float fRadius, Point* pNormal, int nCorner);
    float sweepEdge(const Point& from, const Point& to, float fRadius, Point* pNormal, int nEdge);

    Tsl::List<Point> m_lPoints;
    bool m_bPrepared;
    std::vector<Point> m_pEdgeDirs;
    std::vector<float> m_pEdgeLengthsSq;
    std::vector<Point> m_pNormals;
    std::vector<float> m_pNormalOffsets;
    bool m_bConvex;
    // The closed outline as an array, for indexed access in the hot queries.
    std::vector<Point> m_aCorners;
};
