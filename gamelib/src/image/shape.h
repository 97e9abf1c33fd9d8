// A pixel-coverage mask of an image as a quadtree of fixed-size cells, for
// pixel-precise collision between two moved, scaled and rotated pictures.
// Nodes are stored breadth first with every level complete, two bits each.
#pragma once

#include "image/geometry.h"
#include "image/rect.h"

#include "tsl2/bitarray.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"

class Image;

// Where a picture stands on the screen: what a sprite contributes to a
// collision test. Canvas points map to the screen by subtracting the
// insertion point, scaling, rotating about the origin and adding the position.
struct ShapePose {
    Point position;
    Point scale;
    float fRotation;
    Point insPoint;

    ShapePose() : scale(1.0f, 1.0f), fRotation(0.0f) {}
    Point localToScreen(const Point& canvasPoint) const;
};

class Shape : public Tsl::RefCountedObject {
public:
    enum NodeState { NODE_EMPTY = 0, NODE_PARTIAL = 1, NODE_FULL = 2 };

    // alphaThreshold in 0..1 (a pixel above it counts as covered); a leaf is
    // full when more than cellSize² × fillFraction of its pixels are covered.
    Shape(Tsl::SmartPtr<Image> pImage, int nCellSize, float fAlphaThreshold, float fFillFraction);
    ~Shape() override;

    // This shape placed by poseA against the other placed by poseB; stops at
    // the first contact.
    bool collide(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB);
    // The same test without stopping: the screen rectangles of every contact.
    Tsl::List<Rect> collectContacts(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB);
    // What the last collectContacts or getFullRects found.
    const Tsl::List<Rect>& getContacts() const { return m_lContacts; }
    // Pixel rectangles of every full node, at full node size (not clipped).
    Tsl::List<Rect> getFullRects();

    int getNodeState(int nIndex) const;
    // The node's pixel rectangle clipped to the image on the right and bottom.
    Rect getNodeRect(int x, int y, int nLevel) const;
    int getFirstChild(int nIndex, int nLevel) const;
    int getLevels() const { return m_nLevels; }
    int getCellSize() const { return m_nCellSize; }

private:
    int build(int x, int y, int nIndex, int nLevel);
    // Both trees from their roots; m_pOther and the poses are set only meanwhile.
    bool collideRoots(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB, bool bStopAtFirst);
    bool collideNodes(int nXA, int nYA, int nIndexA, int nLevelA, int nXB, int nYB, int nIndexB, int nLevelB);
    void collectFull(int x, int y, int nIndex, int nLevel);
    int getNodeSide(int nLevel) const { return m_nCellSize << (m_nLevels - nLevel); }
    // Centre and size on the screen of a node's box.
    void getScreenBox(const ShapePose& pose, int x, int y, int nLevel, Point& centre, Point& size) const;
    static long long getLevelOffset(int nLevel);
    // offset(16) + 1 bits still fit an int index; offset(17) does not.
    enum { MAX_LEVELS = 16 };

    int m_nCellSize;
    int m_nLevels;
    int m_nWidth;
    int m_nHeight;
    Tsl::BitArray m_bFull;
    Tsl::BitArray m_bPartial;
    Tsl::SmartPtr<Image> m_pImage;
    int m_nAlphaThreshold;
    int m_nMinPixels;
    bool m_bStopAtFirst;
    Tsl::List<Rect> m_lContacts;
    Shape* m_pOther;
    const ShapePose* m_pPoseA;
    const ShapePose* m_pPoseB;
    // Where the stored pixels sit in the canvas when the shape was built (the
    // image drops its shape whenever that changes).
    int m_nOffsetX;
    int m_nOffsetY;
};
