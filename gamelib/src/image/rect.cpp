#include "image/rect.h"

#include "image/geometry.h"

#include <algorithm>

Rect::Rect(int nLeft, int nTop, int nRight, int nBottom, bool bNormalize) {
    if (bNormalize) {
        setNormalized(nLeft, nTop, nRight, nBottom);
    } else {
        left = nLeft;
        top = nTop;
        right = nRight;
        bottom = nBottom;
    }
}

Rect::Rect(const Point& topLeft, const Point& bottomRight, bool bNormalize)
    : Rect(static_cast<int>(topLeft.x), static_cast<int>(topLeft.y), static_cast<int>(bottomRight.x),
           static_cast<int>(bottomRight.y), bNormalize) {}

void Rect::setNormalized(int nLeft, int nTop, int nRight, int nBottom) {
    left = std::min(nLeft, nRight);
    right = std::max(nLeft, nRight);
    top = std::min(nTop, nBottom);
    bottom = std::max(nTop, nBottom);
}

bool Rect::overlaps(const Rect& other) const {
    return !(other.left >= right || other.right <= left || other.top >= bottom || other.bottom <= top);
}

Rect Rect::intersect(const Rect& other) const {
    if (!overlaps(other)) return Rect(0, 0, 0, 0);
    return Rect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom));
}

void Rect::extend(const Rect& other) {
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

Rect Rect::unite(const Rect& other) const {
    if (isEmpty()) return other;
    if (other.isEmpty()) return *this;
    return Rect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom));
}

static int clampInto(int n, int nLow, int nHigh) {
    if (n < nLow) n = nLow;
    if (n > nHigh) n = nHigh;
    return n;
}

void Rect::clipTo(const Rect& bounds) {
    top = clampInto(top, bounds.top, bounds.bottom);
    bottom = clampInto(bottom, bounds.top, bounds.bottom);
    left = clampInto(left, bounds.left, bounds.right);
    right = clampInto(right, bounds.left, bounds.right);
}

bool Rect::containsRect(const Rect& other) const {
    return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
}

bool Rect::operator==(const Rect& other) const {
    return top == other.top && left == other.left && bottom == other.bottom && right == other.right;
}

Point Rect::getCenter() const {
    // Integer halves truncate toward zero before the conversion to float.
    return Point(static_cast<float>((left + right) / 2), static_cast<float>((top + bottom) / 2));
}

Point Rect::getTopLeft() const { return Point(static_cast<float>(left), static_cast<float>(top)); }

Point Rect::getBottomRight() const { return Point(static_cast<float>(right), static_cast<float>(bottom)); }

Point Rect::getSize() const { return Point(static_cast<float>(right - left), static_cast<float>(bottom - top)); }

Tsl::String Rect::toString() const { return Tsl::String::format("(%d, %d - %d, %d)", left, top, right, bottom); }
