// The integer rectangle of every pixel region. Right and bottom edges are
// exclusive, so width = right - left and height = bottom - top.
#pragma once

#include "tsl2/str.h"

class Point;

struct Rect {
    int top;
    int left;
    int bottom;
    int right;

    Rect() : top(0), left(0), bottom(0), right(0) {}
    // With bNormalize cleared the values are stored as given: the theme keeps
    // four unrelated sizes in a Rect that way.
    Rect(int nLeft, int nTop, int nRight, int nBottom, bool bNormalize = true);
    Rect(const Point& topLeft, const Point& bottomRight, bool bNormalize = true);

    void setNormalized(int nLeft, int nTop, int nRight, int nBottom);

    int getLeft() const { return left; }
    int getTop() const { return top; }
    int getRight() const { return right; }
    int getBottom() const { return bottom; }
    int getWidth() const { return right - left; }
    int getHeight() const { return bottom - top; }

    bool isEmpty() const { return top == bottom || left == right; }
    // Rectangles that only touch along an edge do not overlap.
    bool overlaps(const Rect& other) const;
    Rect intersect(const Rect& other) const;
    // Bounding box in place; an empty rectangle still contributes its corners.
    void extend(const Rect& other);
    // Bounding box where an empty operand does not count.
    Rect unite(const Rect& other) const;
    void clipTo(const Rect& bounds);
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    // True when other lies wholly inside this rectangle.
    bool containsRect(const Rect& other) const;
    Rect offsetBy(int dx, int dy) const { return Rect(left + dx, top + dy, right + dx, bottom + dy, false); }

    bool operator==(const Rect& other) const;
    bool operator!=(const Rect& other) const { return !(*this == other); }

    Point getCenter() const;
    Point getTopLeft() const;
    Point getBottomRight() const;
    Point getSize() const;
    Tsl::String toString() const;
};
