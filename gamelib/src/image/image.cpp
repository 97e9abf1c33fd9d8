#include "image/image.h"

#include "app/gameapp.h"
#include "image/shape.h"

#include "tsl2/error.h"
#include "tsl2/list_impl.h"
#include "tsl2/tokenfilereader.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

bool Image::s_bAutoTrim = false;

Image::Image()
    : m_nPhysWidth(0), m_nPhysHeight(0), m_nInsX(0), m_nInsY(0), m_nSurfaceX(0), m_nSurfaceY(0), m_nOffsetX(0),
      m_nOffsetY(0), m_nCanvasWidth(0), m_nCanvasHeight(0), m_bCommitPending(false), m_bFlipHorizontal(false),
      m_bFlipVertical(false), m_nShapeCellSize(0), m_nShapeThreshold(0), m_fShapeFillFraction(0.0f) {}

Image::~Image() {}

void Image::blit(Image* pSource, int x, int y) {
    blit(pSource, Rect(0, 0, pSource->getWidth(), pSource->getHeight()), x, y);
}

void Image::copy(Image* pSource, int x, int y) {
    copy(pSource, Rect(0, 0, pSource->getWidth(), pSource->getHeight()), x, y);
}

// ---- geometry ------------------------------------------------------------------

void Image::getSize(int& nWidth, int& nHeight) const {
    nWidth = m_nCanvasWidth;
    nHeight = m_nCanvasHeight;
}

Point Image::getSize() const { return Point(static_cast<float>(m_nCanvasWidth), static_cast<float>(m_nCanvasHeight)); }

void Image::getPhysicalSize(int& nWidth, int& nHeight) const {
    nWidth = m_nPhysWidth;
    nHeight = m_nPhysHeight;
}

Point Image::getPhysicalSize() const { return Point(static_cast<float>(m_nPhysWidth), static_cast<float>(m_nPhysHeight)); }

Point Image::getPhysicalOffset() const { return Point(static_cast<float>(m_nOffsetX), static_cast<float>(m_nOffsetY)); }

void Image::getPhysicalOffset(int& nX, int& nY) const {
    nX = m_nOffsetX;
    nY = m_nOffsetY;
}

void Image::getSurfacePosition(int& nX, int& nY) const {
    nX = m_nSurfaceX;
    nY = m_nSurfaceY;
}

void Image::getInsPoint(int& nX, int& nY) const {
    nX = m_nInsX;
    nY = m_nInsY;
}

Point Image::getInsPoint() const { return Point(static_cast<float>(m_nInsX), static_cast<float>(m_nInsY)); }

void Image::setInsPoint(int nX, int nY) {
    m_nInsX = nX;
    m_nInsY = nY;
}

void Image::setInsPoint(const Point& p) { setInsPoint(static_cast<int>(p.x), static_cast<int>(p.y)); }

void Image::setVirtualCanvas(int nOffsetX, int nOffsetY, int nCanvasWidth, int nCanvasHeight) {
    m_nOffsetX = nOffsetX;
    m_nOffsetY = nOffsetY;
    m_nCanvasWidth = nCanvasWidth;
    m_nCanvasHeight = nCanvasHeight;
    pixelsChanged();
}

Rect Image::getPhysicalRect() const {
    int nLeft = m_nOffsetX - m_nInsX, nTop = m_nOffsetY - m_nInsY;
    return Rect(nLeft, nTop, nLeft + m_nPhysWidth, nTop + m_nPhysHeight);
}

Rect Image::getVirtualRect() const {
    return Rect(-m_nInsX, -m_nInsY, m_nCanvasWidth - m_nInsX, m_nCanvasHeight - m_nInsY);
}

Rect Image::getPhysicalCanvasRect() const {
    return Rect(m_nOffsetX, m_nOffsetY, m_nOffsetX + m_nPhysWidth, m_nOffsetY + m_nPhysHeight);
}

void Image::alignInsPoint(int nFlags) {
    Rect r = nFlags < ALIGN_PHYSICAL ? Rect(0, 0, m_nCanvasWidth, m_nCanvasHeight) : getPhysicalCanvasRect();
    int x = r.left, y = r.top;
    if (nFlags & ALIGN_RIGHT) x = r.right - 1;
    else if (nFlags & ALIGN_HCENTER) x = r.left + (r.right - r.left) / 2;
    if (nFlags & ALIGN_BOTTOM) y = r.bottom - 1;
    else if (nFlags & ALIGN_VCENTER) y = r.top + (r.bottom - r.top) / 2;
    setInsPoint(x, y);
}

Rect Image::storedRect(const Rect& r) const {
    Rect s = r;
    if (m_bFlipHorizontal) {
        s.left = m_nPhysWidth - r.right;
        s.right = m_nPhysWidth - r.left;
    }
    if (m_bFlipVertical) {
        s.top = m_nPhysHeight - r.bottom;
        s.bottom = m_nPhysHeight - r.top;
    }
    return s;
}

void Image::setPhysicalSize(int nWidth, int nHeight) {
    m_nPhysWidth = nWidth;
    m_nPhysHeight = nHeight;
}

void Image::setSurfacePosition(int nX, int nY) {
    m_nSurfaceX = nX;
    m_nSurfaceY = nY;
}

void Image::setPhysicalOffset(int nX, int nY) {
    m_nOffsetX = nX;
    m_nOffsetY = nY;
}

void Image::setCanvasSize(int nWidth, int nHeight) {
    m_nCanvasWidth = nWidth;
    m_nCanvasHeight = nHeight;
}

void Image::pixelsChanged() {
    releaseShape();
    notifyChanged();
}

template <class Edit>
void Image::editPixels(Edit edit) {
    prepareForWrite();
    lock();
    edit(getLockedBuffer());
    unlock();
    invalidate();
}

// ---- drawing and pixel access ----------------------------------------------

void Image::copyRect(Image* pSource, const Rect& source, int x, int y) {
    TSL_TRACE();
    if (hasAlpha() && pSource->hasAlpha())
        blendPixels(pSource, source.left, source.top, source.getWidth(), source.getHeight(), x, y);
    else
        blit(pSource, source, x, y);
}

void Image::copyImage(Image* pSource, int x, int y) {
    copyRect(pSource, Rect(0, 0, pSource->getWidth(), pSource->getHeight()), x, y);
}

void Image::copyImages(const Placement* aPlaced, int nCount) {
    for (int i = 0; i < nCount; ++i) copyImage(aPlaced[i].pImage, aPlaced[i].x, aPlaced[i].y);
}

Color Image::getColorAt(int x, int y) {
    if (!getPhysicalCanvasRect().contains(x, y)) return Color(0, 0, 0, 255);
    lock();
    Color c = getPixel(x - m_nOffsetX, y - m_nOffsetY);
    unlock();
    return c;
}

void Image::setColorAt(int x, int y, const Color& c) {
    if (!getPhysicalCanvasRect().contains(x, y)) return;
    prepareForWrite();
    lock();
    putPixel(x - m_nOffsetX, y - m_nOffsetY, c);
    unlock();
    invalidate();
}

bool Image::isPixelTransparent(int x, int y, int nThreshold) {
    return PixelOps::isPixelTransparent(getLockedBuffer(), storedX(x), storedY(y), nThreshold);
}

bool Image::isTransparentAt(int x, int y, int nThreshold) {
    if (!getPhysicalCanvasRect().contains(x, y)) return true;
    if (!hasAlpha() && !hasColorKey()) return false;
    lock();
    bool bTransparent = isPixelTransparent(x - m_nOffsetX, y - m_nOffsetY, nThreshold);
    unlock();
    return bTransparent;
}

bool Image::isTransparentAt(const Point& p, int nThreshold) {
    return isTransparentAt(static_cast<int>(p.x), static_cast<int>(p.y), nThreshold);
}

bool Image::isRowTransparent(int y, int nThreshold) {
    // A row outside the stored pixels has nothing to show.
    if (y < 0 || y >= m_nPhysHeight) return true;
    lock();
    bool bTransparent = PixelOps::isRowTransparent(getLockedBuffer(), storedY(y), nThreshold);
    unlock();
    return bTransparent;
}

bool Image::isColumnTransparent(int x, int nThreshold) {
    if (x < 0 || x >= m_nPhysWidth) return true;
    lock();
    bool bTransparent = PixelOps::isColumnTransparent(getLockedBuffer(), storedX(x), nThreshold);
    unlock();
    return bTransparent;
}

bool Image::isRowSpanClear(int y, int x0, int x1) { return isPhysicalRectClear(Rect(x0, y, x1, y + 1, false)); }

bool Image::isColumnSpanClear(int x, int y0, int y1) { return isPhysicalRectClear(Rect(x, y0, x + 1, y1, false)); }

bool Image::isPhysicalRectClear(const Rect& r) {
    // Clipped so a span past the pixels reads nothing outside them; an
    // inverted span is empty, hence clear.
    if (r.right <= r.left || r.bottom <= r.top) return true;
    Rect inside = r.intersect(Rect(0, 0, m_nPhysWidth, m_nPhysHeight));
    if (inside.isEmpty()) return true;
    return PixelOps::isRectClear(getLockedBuffer(), storedRect(inside));
}

int Image::countCovered(const Rect& r, int nThreshold, int nLimit) {
    return PixelOps::countCovered(getLockedBuffer(), storedRect(r), nThreshold, nLimit);
}

Rect Image::getCoveredRect(int nThreshold) {
    Rect box = getPhysicalCanvasRect().intersect(Rect(0, 0, m_nCanvasWidth, m_nCanvasHeight));
    // Without alpha or a key every stored pixel shows: the pixels, perhaps
    // released since they were drawn, need not be read back.
    if (box.isEmpty() || (!hasAlpha() && !hasColorKey())) return box;
    box = box.offsetBy(-m_nOffsetX, -m_nOffsetY);
    // Under one lock, rows and then columns from each edge inwards, each
    // scan stopping at the first pixel that shows: beyond the clear margins
    // little of the picture is read.
    auto shows = [&](int nLeft, int nTop, int nRight, int nBottom) {
        return countCovered(Rect(nLeft, nTop, nRight, nBottom), nThreshold, 0) > 0;
    };
    lock();
    while (box.top < box.bottom && !shows(box.left, box.top, box.right, box.top + 1)) ++box.top;
    // A row shows a pixel: every other scan stops at it at the latest.
    if (box.top < box.bottom) {
        while (!shows(box.left, box.bottom - 1, box.right, box.bottom)) --box.bottom;
        while (!shows(box.left, box.top, box.left + 1, box.bottom)) ++box.left;
        while (!shows(box.right - 1, box.top, box.right, box.bottom)) --box.right;
    }
    unlock();
    return box.top < box.bottom ? box.offsetBy(m_nOffsetX, m_nOffsetY) : Rect();
}

// ---- views, clones, masks --------------------------------------------------

static int clampToInt(long long n) {
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

Tsl::SmartPtr<Image> Image::createSubImage(int x, int y, int nWidth, int nHeight, bool bCommitNow) {
    TSL_TRACE();
    Tsl::SmartPtr<Image> pImage = newEmptyImage();
    pImage->initFromRegion(this, x, y, nWidth, nHeight);
    if (bCommitNow) pImage->commit();
    return pImage;
}

Tsl::SmartPtr<Image> Image::createSubImage(const Rect& r, bool bCommitNow) {
    return createSubImage(r.left, r.top, r.getWidth(), r.getHeight(), bCommitNow);
}

Tsl::SmartPtr<Image> Image::clone(bool bCommitNow) {
    TSL_TRACE();
    Tsl::SmartPtr<Image> pImage = createSubImage(0, 0, m_nCanvasWidth, m_nCanvasHeight, bCommitNow);
    pImage->setInsPoint(m_nInsX, m_nInsY);
    pImage->m_sName = m_sName;
    pImage->m_pShape = m_pShape;
    return pImage;
}

void Image::initFromRegion(Image* pSource, int x, int y, int nWidth, int nHeight) {
    TSL_TRACE();
    TSL_ASSERT(pSource);
    if (nWidth < 0 || nHeight < 0)
        TSL_THROW(BadParmException, "Image::initFromRegion : negative size %dx%d for '%s'", nWidth, nHeight,
                  pSource->getName().c_str());
    // The far corner may lie past the int range (sizes from a ".subimage"
    // text); it is clamped before the region is cut to the stored pixels.
    Rect region(x, y, clampToInt(static_cast<long long>(x) + nWidth), clampToInt(static_cast<long long>(y) + nHeight));
    region.clipTo(pSource->getPhysicalCanvasRect());
    Rect inSource = region.offsetBy(-pSource->m_nOffsetX, -pSource->m_nOffsetY);
    // A mirrored source stores the region at its mirror position.
    Rect stored = pSource->storedRect(inSource);
    shareSurface(pSource);
    bool bEmpty = region.isEmpty();
    setSurfacePosition(pSource->m_nSurfaceX + stored.left, pSource->m_nSurfaceY + stored.top);
    setPhysicalSize(bEmpty ? 0 : region.getWidth(), bEmpty ? 0 : region.getHeight());
    setInsPoint(0, 0);
    m_bCommitPending = true;
    m_bFlipHorizontal = pSource->m_bFlipHorizontal;
    m_bFlipVertical = pSource->m_bFlipVertical;
    if (bEmpty) setPhysicalOffset(0, 0);
    else setPhysicalOffset(region.left - x, region.top - y);
    setCanvasSize(nWidth, nHeight);
    copyTransparency(pSource);
    pixelsChanged();
}

Tsl::SmartPtr<Shape> Image::getShape(int nCellSize, int nThreshold, float fFillFraction) {
    TSL_TRACE();
    if (m_pShape && m_nShapeCellSize == nCellSize && m_nShapeThreshold == nThreshold &&
        m_fShapeFillFraction == fFillFraction)
        return m_pShape;
    // Reads see the pixels as shown; only the threshold's float form is rounded
    // up a hair so n / 255 * 255 truncates back to n.
    m_pShape = new Shape(this, nCellSize, nThreshold / 255.0f + 1e-6f, fFillFraction);
    m_nShapeCellSize = nCellSize;
    m_nShapeThreshold = nThreshold;
    m_fShapeFillFraction = fFillFraction;
    return m_pShape;
}

void Image::releaseShape() { m_pShape = nullptr; }

Tsl::SmartPtr<Image> Image::createAlphaMask() {
    TSL_TRACE();
    Tsl::SmartPtr<Image> pMask = newBlankImage(m_nPhysWidth, m_nPhysHeight, false);
    lock();
    pMask->lock();
    for (int y = 0; y < m_nPhysHeight; ++y) {
        for (int x = 0; x < m_nPhysWidth; ++x) {
            unsigned char a = getPixel(x, y).a;
            pMask->putPixel(x, y, Color(a, a, a, 255));
        }
    }
    pMask->unlock();
    unlock();
    pMask->invalidate();
    return pMask;
}

// ---- edits -------------------------------------------------------------------

void Image::remapChannels(int nRed, int nGreen, int nBlue) {
    TSL_TRACE();
    editPixels([&](const PixelBuffer& buf) { PixelOps::remapChannels(buf, nRed, nGreen, nBlue); });
}

void Image::tint(const Color& k) {
    TSL_TRACE();
    editPixels([&](const PixelBuffer& buf) { PixelOps::tint(buf, k); });
}

void Image::multiplyAlpha(unsigned char nFactor) {
    TSL_TRACE();
    if (nFactor == 255) return;
    editPixels([&](const PixelBuffer& buf) { PixelOps::multiplyAlpha(buf, nFactor); });
}

void Image::setAlphaFromImage(Image* pMask, int nMode) {
    TSL_TRACE();
    TSL_ASSERT(pMask);
    if (nMode != 0 && nMode != 1) return;
    if (!hasAlpha()) convertToAlphaFormat();
    prepareForWrite();
    if (pMask != this) pMask->prepare();
    // Only where both images have pixels; what the mask does not cover is
    // transparent under it, so those pixels get a mask value of 0.
    Rect mine = getPhysicalCanvasRect();
    Rect common = mine.intersect(pMask->getPhysicalCanvasRect());
    lock();
    if (pMask != this) pMask->lock();
    PixelBuffer dst = getLockedBuffer();
    PixelBuffer mask = pMask->getLockedBuffer();
    if (common.isEmpty()) {
        PixelOps::setAlpha(dst, 0);
    } else {
        Rect inDst = common.offsetBy(-m_nOffsetX, -m_nOffsetY);
        Rect aStrips[4] = {Rect(0, 0, m_nPhysWidth, inDst.top), Rect(0, inDst.bottom, m_nPhysWidth, m_nPhysHeight),
                           Rect(0, inDst.top, inDst.left, inDst.bottom),
                           Rect(inDst.right, inDst.top, m_nPhysWidth, inDst.bottom)};
        for (const Rect& strip : aStrips) {
            if (!strip.isEmpty()) PixelOps::setAlpha(dst.sub(strip), 0);
        }
        PixelOps::transferAlpha(dst.sub(inDst), mask.sub(common.offsetBy(-pMask->m_nOffsetX, -pMask->m_nOffsetY)),
                                nMode);
    }
    if (pMask != this) pMask->unlock();
    unlock();
    invalidate();
    notifyChanged();
}

void Image::flipHorizontal() {
    m_bFlipHorizontal = !m_bFlipHorizontal;
    m_nInsX = m_nCanvasWidth - m_nInsX;
    m_nOffsetX = m_nCanvasWidth - m_nPhysWidth - m_nOffsetX;
    pixelsChanged();
}

void Image::flipVertical() {
    m_bFlipVertical = !m_bFlipVertical;
    m_nInsY = m_nCanvasHeight - m_nInsY;
    m_nOffsetY = m_nCanvasHeight - m_nPhysHeight - m_nOffsetY;
    pixelsChanged();
}

// ---- commit and preparation ------------------------------------------------

void Image::commit() {
    if (!m_bCommitPending) return;
    TSL_TRACE();
    commitPixels();
    m_bCommitPending = false;
}

void Image::applyPendingFlips() {
    commit();
    if (!m_bFlipHorizontal && !m_bFlipVertical) return;
    TSL_TRACE();
    // Mirroring works in place: a store other images draw from must not move.
    if (isStoreShared()) commitPixels();
    if (m_bFlipHorizontal) applyHorizontalFlip();
    if (m_bFlipVertical) applyVerticalFlip();
    m_bFlipHorizontal = false;
    m_bFlipVertical = false;
}

void Image::prepare() { applyPendingFlips(); }

void Image::prepareForWrite() {
    prepare();
    if (isStoreShared()) commitPixels();
}

void Image::copyTransparency(Image* pOther) {
    setAlpha(pOther->getAlpha());
    if (pOther->hasColorKey()) setColorKey(pOther->getColorKey());
}

void Image::copyGeometry(Image* pOther) {
    copyTransparency(pOther);
    m_nInsX = pOther->m_nInsX;
    m_nInsY = pOther->m_nInsY;
    m_nOffsetX = pOther->m_nOffsetX;
    m_nOffsetY = pOther->m_nOffsetY;
    m_nCanvasWidth = pOther->m_nCanvasWidth;
    m_nCanvasHeight = pOther->m_nCanvasHeight;
    pixelsChanged();
}

namespace {

// Cuts one axis of a blit: the source span [nFrom, nTo) to the stored pixels
// [0, nSrcLimit), then the destination to [0, nDstLimit), moving the other
// along. In 64 bits, so positions near the int limits (a huge or NaN float
// turned into an int) cannot wrap. False when nothing is left.
bool clipAxis(long long& nFrom, long long& nTo, long long& nDest, long long nSrcLimit, long long nDstLimit) {
    if (nFrom < 0) {
        nDest -= nFrom;
        nFrom = 0;
    }
    if (nTo > nSrcLimit) nTo = nSrcLimit;
    if (nDest < 0) {
        nFrom -= nDest;
        nDest = 0;
    }
    if (nDest + (nTo - nFrom) > nDstLimit) nTo = nFrom + (nDstLimit - nDest);
    return nTo > nFrom;
}

} // namespace

bool Image::clipBlit(Image* pSource, int& nSrcX, int& nSrcY, int& nWidth, int& nHeight, int& x, int& y) {
    TSL_TRACE();
    prepareForWrite();
    if (pSource != this) pSource->prepare();
    if (!clipToPictures(pSource, nSrcX, nSrcY, nWidth, nHeight, x, y)) return false;
    Rect pDst(x, y, x + nWidth, y + nHeight);

    // Drawing into a trimmed picture enlarges its stored pixels, never its canvas.
    Rect phys = getPhysicalCanvasRect();
    if (!phys.containsRect(pDst)) {
        Rect grown = pDst;
        if (!phys.isEmpty()) {
            grown = phys;
            grown.extend(pDst);
        }
        setPhysicalRect(grown.left, grown.top, grown.getWidth(), grown.getHeight());
    }
    x -= m_nOffsetX;
    y -= m_nOffsetY;
    return true;
}

bool Image::clipToPictures(const Image* pSource, int& nSrcX, int& nSrcY, int& nWidth, int& nHeight, int& x,
                           int& y) const {
    long long nLeft = static_cast<long long>(nSrcX) - pSource->m_nOffsetX, nRight = nLeft + nWidth;
    long long nTop = static_cast<long long>(nSrcY) - pSource->m_nOffsetY, nBottom = nTop + nHeight;
    long long nDestX = x, nDestY = y;
    if (!clipAxis(nLeft, nRight, nDestX, pSource->m_nPhysWidth, m_nCanvasWidth) ||
        !clipAxis(nTop, nBottom, nDestY, pSource->m_nPhysHeight, m_nCanvasHeight))
        return false;
    // Everything is inside both pictures now, hence in int range.
    nSrcX = static_cast<int>(nLeft);
    nSrcY = static_cast<int>(nTop);
    x = static_cast<int>(nDestX);
    y = static_cast<int>(nDestY);
    nWidth = static_cast<int>(nRight - nLeft);
    nHeight = static_cast<int>(nBottom - nTop);
    return true;
}

// ---- loading -------------------------------------------------------------------

namespace {

// Names whose ".subimage" description is being followed, to stop cycles.
std::vector<std::string>& subImageChain() {
    static std::vector<std::string> s_aChain;
    return s_aChain;
}

struct ChainLink {
    explicit ChainLink(const char* pszName) { subImageChain().push_back(pszName); }
    ~ChainLink() { subImageChain().pop_back(); }
};

GameApp* requireApp(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Image::load : no application to load '%s' from", pszName);
    return pApp;
}

} // namespace

void Image::load(const char* pszName, bool bConvert, bool bAlpha) {
    TSL_TRACE();
    m_sName = pszName;
    Tsl::traceSetNote(pszName);
    GameApp* pApp = requireApp(pszName);
    Tsl::String sSubImage = m_sName + ".subimage";
    if (pApp->hasResource(sSubImage))
        loadSubImage(pszName, pApp->getResource(sSubImage)->getString());
    else
        loadPixels(pszName, bConvert, bAlpha);
    Tsl::String sSpec = m_sName + ".spec";
    if (pApp->hasResource(sSpec))
        loadSpec(pszName, pApp->getResource(sSpec)->getString());
    else if (bConvert && s_bAutoTrim)
        trim();
}

void Image::loadSubImage(const char* pszName, const Tsl::String& sDescription) {
    TSL_TRACE();
    for (const std::string& sLink : subImageChain()) {
        if (sLink == pszName) TSL_THROW(FatalErrorException, "Image::load : %s.subimage refers back to itself", pszName);
    }
    ChainLink link(pszName);
    Tsl::List<Tsl::String> lToks = sDescription.split(" \t\r\n");
    if (lToks.getCount() < 5)
        TSL_THROW(FatalErrorException, "Image::load : %s.subimage needs an image name, x, y, width and height",
                  pszName);
    int x = Tsl::String::toInt(lToks.getAt(1)), y = Tsl::String::toInt(lToks.getAt(2));
    int nWidth = Tsl::String::toInt(lToks.getAt(3)), nHeight = Tsl::String::toInt(lToks.getAt(4));
    if (nWidth <= 0 || nHeight <= 0)
        TSL_THROW(FatalErrorException, "Image::load : %s.subimage has the size %dx%d", pszName, nWidth, nHeight);
    Tsl::SmartPtr<Image> pSource = GameApp::getInstance()->getImage(lToks.getAt(0));
    initFromRegion(pSource, x, y, nWidth, nHeight);
}

bool Image::isVirtualCanvasInRange(int nCanvasSize, int nOffset, int nPhysSize) {
    if (nCanvasSize < 0) return false;
    long long nLow = std::min(static_cast<long long>(nOffset), 0LL);
    long long nHigh = std::max(static_cast<long long>(nOffset) + nPhysSize, static_cast<long long>(nCanvasSize));
    return nHigh - nLow <= INT_MAX;
}

void Image::loadSpec(const char* pszName, const Tsl::String& sSpec) {
    TSL_TRACE();
    Tsl::String sSource = Tsl::String(pszName) + ".spec";
    Tsl::TokenFileReader reader(sSpec, sSource);
    while (reader.nextLine()) {
        // The assertion below keeps its fixed text: the note names the line.
        Tsl::traceSetNote(Tsl::String::format("%s, line %d", sSource.c_str(), reader.getLineNumber()));
        Tsl::List<Tsl::String>& lToks = reader.getTokens();
        if (lToks.getAt(0) != "vcanvas")
            TSL_THROW(FatalErrorException, "Unknown token %s at %s, line %d", lToks.getAt(0).c_str(), sSource.c_str(),
                      reader.getLineNumber());
        if (lToks.getCount() != 5)
            throw Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : lToks.getLength() == 5");
        int nCanvasWidth = Tsl::String::toInt(lToks.getAt(1)), nCanvasHeight = Tsl::String::toInt(lToks.getAt(2));
        int nOffsetX = Tsl::String::toInt(lToks.getAt(3)), nOffsetY = Tsl::String::toInt(lToks.getAt(4));
        // The stored pixels may lie partly or wholly outside the canvas;
        // only a geometry whose edges (or the span of canvas and stored
        // pixels together, which drawing may grow the pixels to) leave the
        // int range is refused.
        if (!isVirtualCanvasInRange(nCanvasWidth, nOffsetX, m_nPhysWidth) ||
            !isVirtualCanvasInRange(nCanvasHeight, nOffsetY, m_nPhysHeight))
            TSL_THROW(FatalErrorException,
                      "Bad vcanvas %d %d %d %d at %s, line %d : a canvas and %dx%d stored pixels out of range",
                      nCanvasWidth, nCanvasHeight, nOffsetX, nOffsetY, sSource.c_str(), reader.getLineNumber(),
                      m_nPhysWidth, m_nPhysHeight);
        setVirtualCanvas(nOffsetX, nOffsetY, nCanvasWidth, nCanvasHeight);
    }
}
