#include "image/shape.h"

#include "image/image.h"

#include "tsl2/error.h"
#include "tsl2/list_impl.h"

#include <algorithm>
#include <cmath>
#include <vector>

Point ShapePose::localToScreen(const Point& canvasPoint) const {
    Point p = canvasPoint - insPoint;
    p.x *= scale.x;
    p.y *= scale.y;
    if (fRotation != 0.0f) p = rotatePoint(p, fRotation);
    return p + position;
}

// offset(k) = 1 + 4 + ... + 4^(k-1): the nodes above level k + 1. Kept in
// 64 bits: the entry one beyond a deep tree passes the int range.
long long Shape::getLevelOffset(int nLevel) {
    static std::vector<long long> s_aOffsets;
    if (s_aOffsets.empty() || static_cast<int>(s_aOffsets.size()) <= nLevel) {
        int nLevels = nLevel + 1 > 5 ? nLevel + 1 : 5;
        s_aOffsets.assign(nLevels + 1, 0);
        long long nPower = 1;
        for (int k = 1; k <= nLevels; ++k) {
            s_aOffsets[k] = s_aOffsets[k - 1] + nPower;
            nPower *= 4;
        }
    }
    return s_aOffsets[nLevel];
}

Shape::Shape(Tsl::SmartPtr<Image> pImage, int nCellSize, float fAlphaThreshold, float fFillFraction)
    : m_nCellSize(nCellSize), m_nLevels(1), m_nWidth(0), m_nHeight(0), m_pImage(pImage),
      m_nAlphaThreshold(static_cast<int>(fAlphaThreshold * 255.0f)),
      m_nMinPixels(static_cast<int>(nCellSize * nCellSize * fFillFraction)), m_bStopAtFirst(false),
      m_pOther(nullptr), m_pPoseA(nullptr), m_pPoseB(nullptr), m_nOffsetX(0), m_nOffsetY(0) {
    TSL_TRACE();
    TSL_ASSERT(pImage);
    if (nCellSize <= 0) TSL_THROW(BadParmException, "Shape : cell size %d is not positive", nCellSize);
    pImage->getPhysicalSize(m_nWidth, m_nHeight);
    pImage->getPhysicalOffset(m_nOffsetX, m_nOffsetY);
    int nCells = std::max((m_nWidth + nCellSize - 1) / nCellSize, (m_nHeight + nCellSize - 1) / nCellSize);
    for (int p = 1; p < nCells; p *= 2) ++m_nLevels;
    // Every level is stored complete, so a long thin picture in small cells
    // needs as many nodes as a square one; past the bit arrays' int indexes
    // (16 levels) it is refused.
    if (m_nLevels > MAX_LEVELS)
        TSL_THROW(BadParmException, "Shape : image '%s' of %dx%d pixels in cells of %d needs %d tree levels (at most %d)",
                  pImage->getName().c_str(), m_nWidth, m_nHeight, nCellSize, m_nLevels, MAX_LEVELS);
    int nNodes = static_cast<int>(getLevelOffset(m_nLevels));
    m_bFull.setSize(nNodes + 1);
    m_bPartial.setSize(nNodes + 1);
    pImage->lock();
    try {
        build(0, 0, 0, 1);
    } catch (...) {
        pImage->unlock();
        throw;
    }
    pImage->unlock();
    m_pImage = nullptr;
}

Shape::~Shape() {}

int Shape::build(int x, int y, int nIndex, int nLevel) {
    if (m_nCellSize * x >= m_nWidth || m_nCellSize * y >= m_nHeight) return NODE_EMPTY;
    if (nLevel < m_nLevels) {
        int h = 1 << (m_nLevels - nLevel - 1);
        int nChild = getFirstChild(nIndex, nLevel);
        int nFull = 0, nEmpty = 0;
        const int aDX[4] = {0, h, 0, h}, aDY[4] = {0, 0, h, h};
        for (int i = 0; i < 4; ++i) {
            int nState = build(x + aDX[i], y + aDY[i], nChild + i, nLevel + 1);
            if (nState == NODE_FULL) ++nFull;
            if (nState == NODE_EMPTY) ++nEmpty;
        }
        if (nFull == 4) {
            m_bFull.set(nIndex, true);
            return NODE_FULL;
        }
        if (nEmpty == 4) return NODE_EMPTY;
        m_bPartial.set(nIndex, true);
        return NODE_PARTIAL;
    }
    Rect cell = getNodeRect(x, y, nLevel);
    if (m_pImage->countCovered(cell, m_nAlphaThreshold, m_nMinPixels) > m_nMinPixels) {
        m_bFull.set(nIndex, true);
        return NODE_FULL;
    }
    return NODE_EMPTY;
}

int Shape::getNodeState(int nIndex) const {
    if (m_bPartial.get(nIndex)) return NODE_PARTIAL;
    return m_bFull.get(nIndex) ? NODE_FULL : NODE_EMPTY;
}

Rect Shape::getNodeRect(int x, int y, int nLevel) const {
    int nSide = getNodeSide(nLevel);
    int nLeft = m_nCellSize * x, nTop = m_nCellSize * y;
    return Rect(nLeft, nTop, std::min(nLeft + nSide, m_nWidth), std::min(nTop + nSide, m_nHeight));
}

int Shape::getFirstChild(int nIndex, int nLevel) const {
    return static_cast<int>(getLevelOffset(nLevel) + (nIndex - getLevelOffset(nLevel - 1)) * 4);
}

void Shape::getScreenBox(const ShapePose& pose, int x, int y, int nLevel, Point& centre, Point& size) const {
    Rect r = getNodeRect(x, y, nLevel);
    // The exact centre, not integer halves: a parent's box must hold its
    // children's, or the descent rejects pairs whose children touch. Node
    // rectangles are in stored pixels; the pose maps canvas points.
    Point local((r.left + r.right) * 0.5f + m_nOffsetX, (r.top + r.bottom) * 0.5f + m_nOffsetY);
    centre = pose.localToScreen(local);
    // A mirrored sprite has a negative scale; the box keeps its extent.
    size = Point(r.getWidth() * std::fabs(pose.scale.x), r.getHeight() * std::fabs(pose.scale.y));
}

static Rect screenRect(const Point& centre, const Point& size) {
    Point half = size / 2.0f;
    return Rect(centre - half, centre + half);
}

bool Shape::collideNodes(int nXA, int nYA, int nIndexA, int nLevelA, int nXB, int nYB, int nIndexB, int nLevelB) {
    int nStateA = getNodeState(nIndexA);
    int nStateB = m_pOther->getNodeState(nIndexB);
    if (nStateA == NODE_EMPTY || nStateB == NODE_EMPTY) return false;
    Point centreA, sizeA, centreB, sizeB;
    getScreenBox(*m_pPoseA, nXA, nYA, nLevelA, centreA, sizeA);
    m_pOther->getScreenBox(*m_pPoseB, nXB, nYB, nLevelB, centreB, sizeB);
    if (!rotatedRectsIntersect(centreA, sizeA, m_pPoseA->fRotation, centreB, sizeB, m_pPoseB->fRotation))
        return false;
    if (nStateA == NODE_FULL && nStateB == NODE_FULL) {
        // Only a collecting test keeps rectangles: the shape is shared by
        // every sprite showing its image, and collide runs every frame.
        if (!m_bStopAtFirst) m_lContacts.append(screenRect(centreA, sizeA).intersect(screenRect(centreB, sizeB)));
        return true;
    }
    struct Node {
        int x, y, nIndex, nLevel;
    };
    Node aA[4], aB[4];
    int nA = 0, nB = 0;
    auto candidates = [](const Shape* pShape, int x, int y, int nIndex, int nLevel, int nState, Node* pOut) {
        if (nState == NODE_FULL) {
            pOut[0] = Node{x, y, nIndex, nLevel};
            return 1;
        }
        int h = 1 << (pShape->m_nLevels - nLevel - 1);
        int nChild = pShape->getFirstChild(nIndex, nLevel);
        pOut[0] = Node{x, y, nChild, nLevel + 1};
        pOut[1] = Node{x + h, y, nChild + 1, nLevel + 1};
        pOut[2] = Node{x, y + h, nChild + 2, nLevel + 1};
        pOut[3] = Node{x + h, y + h, nChild + 3, nLevel + 1};
        return 4;
    };
    nA = candidates(this, nXA, nYA, nIndexA, nLevelA, nStateA, aA);
    nB = candidates(m_pOther, nXB, nYB, nIndexB, nLevelB, nStateB, aB);
    bool bHit = false;
    for (int i = 0; i < nA; ++i) {
        for (int j = 0; j < nB; ++j) {
            if (collideNodes(aA[i].x, aA[i].y, aA[i].nIndex, aA[i].nLevel, aB[j].x, aB[j].y, aB[j].nIndex,
                             aB[j].nLevel)) {
                bHit = true;
                if (m_bStopAtFirst) return true;
            }
        }
    }
    return bHit;
}

bool Shape::collideRoots(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB, bool bStopAtFirst) {
    TSL_ASSERT(pOther);
    m_pOther = pOther;
    m_pPoseA = &poseA;
    m_pPoseB = &poseB;
    m_bStopAtFirst = bStopAtFirst;
    bool bHit = collideNodes(0, 0, 0, 1, 0, 0, 0, 1);
    m_pOther = nullptr;
    m_pPoseA = m_pPoseB = nullptr;
    return bHit;
}

bool Shape::collide(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB) {
    TSL_TRACE();
    return collideRoots(poseA, pOther, poseB, true);
}

Tsl::List<Rect> Shape::collectContacts(const ShapePose& poseA, Shape* pOther, const ShapePose& poseB) {
    TSL_TRACE();
    m_lContacts.clear();
    collideRoots(poseA, pOther, poseB, false);
    return m_lContacts;
}

void Shape::collectFull(int x, int y, int nIndex, int nLevel) {
    int nState = getNodeState(nIndex);
    if (nState == NODE_EMPTY) return;
    if (nState == NODE_FULL) {
        int nSide = getNodeSide(nLevel);
        m_lContacts.append(Rect(m_nCellSize * x, m_nCellSize * y, m_nCellSize * x + nSide, m_nCellSize * y + nSide));
        return;
    }
    int h = 1 << (m_nLevels - nLevel - 1);
    int nChild = getFirstChild(nIndex, nLevel);
    collectFull(x, y, nChild, nLevel + 1);
    collectFull(x + h, y, nChild + 1, nLevel + 1);
    collectFull(x, y + h, nChild + 2, nLevel + 1);
    collectFull(x + h, y + h, nChild + 3, nLevel + 1);
}

Tsl::List<Rect> Shape::getFullRects() {
    m_lContacts.clear();
    collectFull(0, 0, 0, 1);
    return m_lContacts;
}
