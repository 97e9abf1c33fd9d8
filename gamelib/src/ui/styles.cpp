#include "ui/styles.h"

#include "app/gameapp.h"

#include <algorithm>

namespace StyleDraw {

void drawPart(Image* pTarget, Image* pSource, const Rect& source, int nX, int nY) {
    if (!pTarget || !pSource || source.isEmpty()) return;
    // The blit lands the source's insertion point on (x, y); we want the
    // region's corner there.
    pTarget->copyRect(pSource, source, nX + pSource->getInsPointX(), nY + pSource->getInsPointY());
}

namespace {
// Repeats the source region across the target region (clipped at its far edges).
void tile(Image* pTarget, Image* pSource, const Rect& source, const Rect& target) {
    if (source.isEmpty() || target.isEmpty()) return;
    for (int y = target.top; y < target.bottom; y += source.getHeight()) {
        int nHeight = std::min(source.getHeight(), target.bottom - y);
        for (int x = target.left; x < target.right; x += source.getWidth()) {
            int nWidth = std::min(source.getWidth(), target.right - x);
            drawPart(pTarget, pSource, Rect(source.left, source.top, source.left + nWidth, source.top + nHeight), x, y);
        }
    }
}
} // namespace

void drawNineSlice(Image* pTarget, Image* pSource, const Rect& borders, const Rect& target) {
    if (!pTarget || !pSource) return;
    int nSrcW = pSource->getWidth(), nSrcH = pSource->getHeight();
    // Borders larger than the image or the target shrink to fit.
    int l = std::max(0, std::min(borders.left, nSrcW)), r = std::max(0, std::min(borders.right, nSrcW - l));
    int t = std::max(0, std::min(borders.top, nSrcH)), b = std::max(0, std::min(borders.bottom, nSrcH - t));
    l = std::min(l, target.getWidth() / 2 + target.getWidth() % 2);
    r = std::min(r, target.getWidth() - l);
    t = std::min(t, target.getHeight() / 2 + target.getHeight() % 2);
    b = std::min(b, target.getHeight() - t);
    int sx[4] = {0, l, nSrcW - r, nSrcW};
    int sy[4] = {0, t, nSrcH - b, nSrcH};
    int dx[4] = {target.left, target.left + l, target.right - r, target.right};
    int dy[4] = {target.top, target.top + t, target.bottom - b, target.bottom};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            tile(pTarget, pSource, Rect(sx[col], sy[row], sx[col + 1], sy[row + 1]),
                 Rect(dx[col], dy[row], dx[col + 1], dy[row + 1]));
}

Tsl::SmartPtr<Image> makeNineSlice(Image* pSource, const Rect& borders, int nWidth, int nHeight) {
    Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->createImage(std::max(nWidth, 1), std::max(nHeight, 1), true);
    pImage->fill(Color(0, 0, 0, 0));
    drawNineSlice(pImage, pSource, borders, Rect(0, 0, nWidth, nHeight));
    return pImage;
}

} // namespace StyleDraw
