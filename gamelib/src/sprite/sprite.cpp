#include "sprite/sprite.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/image.h"
#include "image/shape.h"
#include "sprite/spritecontroller.h"
#include "video/videodriver.h"

#include <algorithm>
#include <cmath>

namespace {

// The application's image cache; a sprite made before the application exists
// cannot name its picture.
Tsl::SmartPtr<Image> getNamedImage(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Sprite : no application to load image '%s'", pszName ? pszName : "");
    return pApp->getImage(pszName);
}

// Mapped corners can land a rounding error off a whole pixel (a cosine that
// is not quite 0): such a hair must not add a row or column to a crop.
const float kCropSlack = 1e-3f;

// The same for bounding boxes, whose edges are truncated: 4.99999 from a
// quarter turn must give 5, not 4.
Point snapToWhole(const Point& p) {
    auto snap = [](float f) {
        float fWhole = std::round(f);
        return std::fabs(f - fWhole) < kCropSlack ? fWhole : f;
    };
    return Point(snap(p.x), snap(p.y));
}

} // namespace

// ---- construction ------------------------------------------------------------

Sprite::Sprite() { initFields(0.0f, 0.0f, 0); }

Sprite::Sprite(int nX, int nY, int nZOrder) { initFields(float(nX), float(nY), nZOrder); }

Sprite::Sprite(const Point& position, int nZOrder) { initFields(position.x, position.y, nZOrder); }

Sprite::Sprite(Tsl::SmartPtr<Image> pImage, int nX, int nY, int nZOrder) {
    initFields(float(nX), float(nY), nZOrder);
    setImage(pImage);
}

Sprite::Sprite(Tsl::SmartPtr<Image> pImage, const Point& position, int nZOrder) {
    initFields(position.x, position.y, nZOrder);
    setImage(pImage);
}

Sprite::Sprite(const char* pszImageName, int nX, int nY, int nZOrder) {
    initFields(float(nX), float(nY), nZOrder);
    setImage(pszImageName);
}

Sprite::Sprite(const char* pszImageName, const Point& position, int nZOrder) {
    initFields(position.x, position.y, nZOrder);
    setImage(pszImageName);
}

void Sprite::initFields(float fX, float fY, int nZOrder) {
    m_pOwner = nullptr;
    m_nZOrder = nZOrder;
    m_bVisible = true;
    m_fX = fX;
    m_fY = fY;
    m_fAlpha = 1.0f;
    m_fRotation = 0.0f;
    m_color = Color(255, 255, 255, 255);
    m_fScaleX = 1.0f;
    m_fScaleY = 1.0f;
    m_nRenderFlags = RF_DRAW_COLOR;
    m_nBlendMode = BM_NORMAL;
    m_bStencilTest = false;
    m_nPolygonStamp = -1;
    m_pClipRect = nullptr;
    m_pTooltip = nullptr;
    m_nHitTestMode = HT_PIXELS;
    m_pDriverData = nullptr;
    m_nBlankEntries = 0;
    m_nWalkDepth = 0;
}

Sprite::~Sprite() {
    delete m_pDriverData;
    m_pDriverData = nullptr;
    for (SpriteController* pController : m_lControllers) delete pController;
    m_lControllers.clear();
    for (SpriteController* pController : m_lDeferredDeletes) delete pController;
    m_lDeferredDeletes.clear();
    m_layerLink.reset();
    m_controlLink.reset();
    m_updateLink.reset();
    delete m_pClipRect;
    m_pClipRect = nullptr;
    m_pDrawImage = nullptr;
}

// ---- size and position --------------------------------------------------------

Point Sprite::getSize() const {
    int nWidth, nHeight;
    getSize(nWidth, nHeight);
    return Point(float(nWidth), float(nHeight));
}

void Sprite::getSize(int& nWidth, int& nHeight) const {
    nWidth = nHeight = 0;
    if (m_bVisible && m_pImage) m_pImage->getSize(nWidth, nHeight);
}

int Sprite::getWidth() const { return m_bVisible && m_pImage ? m_pImage->getWidth() : 0; }

int Sprite::getHeight() const { return m_bVisible && m_pImage ? m_pImage->getHeight() : 0; }

void Sprite::getPosition(float& fX, float& fY) const {
    fX = m_fX;
    fY = m_fY;
}

void Sprite::getPosition(int& nX, int& nY) const {
    nX = static_cast<int>(m_fX);
    nY = static_cast<int>(m_fY);
}

void Sprite::setPosition(const Point& p, bool bKeepImageInPlace) {
    TSL_TRACE();
    // The image's own canvas, not the drawn (possibly cut) one: the insertion
    // point being moved is the image's.
    if (bKeepImageInPlace && m_pImage) m_pImage->setInsPoint(screenToImage(p, m_pImage));
    onPositionChanging(static_cast<int>(p.x), static_cast<int>(p.y));
    m_fX = p.x;
    m_fY = p.y;
    onPositionChanged();
}

void Sprite::setPosition(float fX, float fY, bool bKeepImageInPlace) { setPosition(Point(fX, fY), bKeepImageInPlace); }

void Sprite::setPosition(int nX, int nY, bool bKeepImageInPlace) {
    setPosition(Point(float(nX), float(nY)), bKeepImageInPlace);
}

void Sprite::onPositionChanged() {
    if (m_pClipRect) updateClippedImage();
    notifyChanged();
}

void Sprite::setZOrder(int nZOrder) {
    TSL_TRACE();
    if (nZOrder == m_nZOrder) return;
    m_nZOrder = nZOrder;
    // A counted reference to an unheld sprite would delete it on release; an
    // owner always holds its sprites, so the guard only matters for misuse.
    if (m_pOwner && isHeld()) m_pOwner->resortSprite(Tsl::SmartPtr<Sprite>(this));
}

void Sprite::setVisible(bool bVisible) {
    TSL_TRACE();
    m_bVisible = bVisible;
    notifyChanged();
    updateClippedImage();
}

void Sprite::setClipRect(const Rect& clip) {
    TSL_TRACE();
    if (!m_pClipRect) m_pClipRect = new Rect();
    *m_pClipRect = clip;
    updateClippedImage();
}

void Sprite::clearClipRect() {
    TSL_TRACE();
    delete m_pClipRect;
    m_pClipRect = nullptr;
    updateClippedImage();
}

// ---- image and appearance ----------------------------------------------------------

void Sprite::setImage(Tsl::SmartPtr<Image> pImage) {
    TSL_TRACE();
    m_pImage = pImage;
    // setVisible recomputes the drawn image.
    setVisible(m_pImage != nullptr);
}

void Sprite::setImage(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    setImage(getNamedImage(pszName));
}

void Sprite::updateClippedImage() {
    TSL_TRACE();
    m_pDrawImage = m_pImage;
    if (!m_pClipRect || !m_pImage) return;
    Rect pixels = getScreenPixelRect();
    Rect visible = pixels.intersect(*m_pClipRect);
    if (visible.isEmpty()) {
        m_pDrawImage = nullptr;
        return;
    }
    if (visible == pixels) return;
    // The image canvas under the visible part: all four corners, since under
    // a rotation two opposite ones do not bound it. Whole pixels only,
    // rounded outwards, but never past an exact edge: an unscaled sprite at a
    // whole position is cut exactly at the clip.
    Point corners[4] = {screenToLocal(visible.getTopLeft()),
                        screenToLocal(Point(float(visible.right), float(visible.top))),
                        screenToLocal(Point(float(visible.left), float(visible.bottom))),
                        screenToLocal(visible.getBottomRight())};
    float fMinX = corners[0].x, fMaxX = corners[0].x, fMinY = corners[0].y, fMaxY = corners[0].y;
    for (const Point& c : corners) {
        fMinX = std::min(fMinX, c.x);
        fMaxX = std::max(fMaxX, c.x);
        fMinY = std::min(fMinY, c.y);
        fMaxY = std::max(fMaxY, c.y);
    }
    Rect crop(int(std::floor(fMinX + kCropSlack)), int(std::floor(fMinY + kCropSlack)),
              int(std::ceil(fMaxX - kCropSlack)), int(std::ceil(fMaxY - kCropSlack)));
    crop = crop.intersect(m_pImage->getPhysicalCanvasRect());
    if (crop.isEmpty()) {
        m_pDrawImage = nullptr;
        return;
    }
    Tsl::SmartPtr<Image> pCut = m_pImage->createSubImage(crop, false);
    pCut->setInsPoint(m_pImage->getInsPointX() - crop.left, m_pImage->getInsPointY() - crop.top);
    m_pDrawImage = pCut;
}

void Sprite::getScale(float& fX, float& fY) const {
    fX = m_fScaleX;
    fY = m_fScaleY;
}

void Sprite::setScale(float fX, float fY) {
    m_fScaleX = fX;
    m_fScaleY = fY;
    if (m_pClipRect) updateClippedImage();
}

void Sprite::setPolygon(const Tsl::List<Point>& lPoints) {
    m_lPolygon = lPoints;
    GameApp* pApp = GameApp::getInstance();
    // Without an application there is no frame counter; the stamp must still
    // grow so a driver cache built earlier is seen to be stale.
    m_nPolygonStamp = pApp ? pApp->getFrameCounter() : m_nPolygonStamp + 1;
}

void Sprite::setDriverData(DrvSpriteData* pData) {
    if (pData == m_pDriverData) return;
    delete m_pDriverData;
    m_pDriverData = pData;
}

// ---- coordinates ----------------------------------------------------------------------

Point Sprite::localToScreen(const Point& p) const {
    Point q = p;
    Image* pImage = getDrawImage();
    if (pImage) {
        q -= pImage->getInsPoint();
        // The inverse of screenToLocal's surface factor.
        float fFactor = pImage->getSurfaceFactor();
        if (fFactor != 1.0f && fFactor != 0.0f) q /= fFactor;
    }
    q.x *= m_fScaleX;
    q.y *= m_fScaleY;
    if (m_fRotation != 0.0f) q = rotatePoint(q, m_fRotation);
    return q + getPosition();
}

Point Sprite::screenToImage(const Point& p, Image* pImage) const {
    Point q = p - getPosition();
    if (m_fRotation != 0.0f) q = rotatePoint(q, -m_fRotation);
    q.x /= m_fScaleX;
    q.y /= m_fScaleY;
    if (pImage) {
        q *= pImage->getSurfaceFactor();
        q += pImage->getInsPoint();
    }
    return q;
}

Point Sprite::screenToLocal(const Point& p) const { return screenToImage(p, getDrawImage()); }

Rect Sprite::localRectToScreen(const Rect& r) const {
    Point topLeft = r.getTopLeft();
    Point bottomRight = r.getBottomRight();
    if (m_fScaleX != 1.0f || m_fScaleY != 1.0f) {
        topLeft.x *= m_fScaleX;
        topLeft.y *= m_fScaleY;
        bottomRight.x *= m_fScaleX;
        bottomRight.y *= m_fScaleY;
    }
    // A mirroring scale swaps the corners; the rotated bounds want them in order.
    if (topLeft.x > bottomRight.x) std::swap(topLeft.x, bottomRight.x);
    if (topLeft.y > bottomRight.y) std::swap(topLeft.y, bottomRight.y);
    float fAngle = normalizeAngle(m_fRotation);
    if (fAngle != 0.0f) getRotatedBounds(topLeft, bottomRight, fAngle);
    Point position = getPosition();
    return Rect(snapToWhole(topLeft + position), snapToWhole(bottomRight + position));
}

Rect Sprite::getScreenRect() const {
    Image* pImage = getDrawImage();
    if (!m_bVisible || !pImage) return Rect(0, 0, 0, 0);
    return localRectToScreen(pImage->getVirtualRect());
}

Rect Sprite::getScreenPixelRect() const {
    Image* pImage = getDrawImage();
    if (!m_bVisible || !pImage) return Rect(0, 0, 0, 0);
    return localRectToScreen(pImage->getPhysicalRect());
}

// ---- hit tests -------------------------------------------------------------------------

bool Sprite::hitTest(const Point& p) {
    switch (m_nHitTestMode) {
    case HT_CANVAS:
        return hitTestCanvas(p);
    case HT_PIXEL_RECT:
        return hitTestPixelRect(p);
    default:
        return hitTestPixels(p, 0);
    }
}

bool Sprite::hitTestCanvas(const Point& p) const {
    Image* pImage = getDrawImage();
    if (!pImage) return false;
    Point q = screenToLocal(p);
    return q.x >= 0.0f && q.x < float(pImage->getWidth()) && q.y >= 0.0f && q.y < float(pImage->getHeight());
}

bool Sprite::hitTestPixelRect(const Point& p) const {
    Image* pImage = getDrawImage();
    if (!pImage) return false;
    Point q = screenToLocal(p);
    Point o = pImage->getPhysicalOffset();
    Point s = pImage->getPhysicalSize();
    return o.x <= q.x && q.x < o.x + s.x && o.y <= q.y && q.y < o.y + s.y;
}

bool Sprite::hitTestPixels(const Point& p, int nAlphaThreshold) const {
    TSL_TRACE();
    if (!hitTestPixelRect(p)) return false;
    Point q = screenToLocal(p);
    return !getDrawImage()->isTransparentAt(static_cast<int>(q.x), static_cast<int>(q.y), nAlphaThreshold);
}

// ---- sprite against sprite -----------------------------------------------------------

namespace {

// A rectangle relative to a sprite's insertion point as the centre and size of
// a turned box on the screen.
void placeBox(const Sprite& sprite, const Rect& r, Point& centre, Point& size) {
    Rect scaled(int(r.left * sprite.getScaleX()), int(r.top * sprite.getScaleY()), int(r.right * sprite.getScaleX()),
                int(r.bottom * sprite.getScaleY()));
    centre = rotatePoint(scaled.getCenter(), sprite.getRotation()) + sprite.getPosition();
    size = scaled.getSize();
}

ShapePose poseOf(const Sprite& sprite, Image* pImage) {
    ShapePose pose;
    pose.position = sprite.getPosition();
    pose.scale = sprite.getScale();
    pose.fRotation = sprite.getRotation();
    pose.insPoint = pImage->getInsPoint();
    return pose;
}

} // namespace

bool Sprite::rectsCollide(const Sprite& a, Rect rectA, const Sprite& b, Rect rectB) {
    Point centreA, sizeA, centreB, sizeB;
    placeBox(a, rectA, centreA, sizeA);
    placeBox(b, rectB, centreB, sizeB);
    return rotatedRectsIntersect(centreA, sizeA, a.getRotation(), centreB, sizeB, b.getRotation());
}

bool Sprite::collidePixelRects(Tsl::SmartPtr<Sprite> pOther) const {
    TSL_TRACE();
    if (!pOther) return false;
    Image* pMine = getDrawImage();
    Image* pTheirs = pOther->getDrawImage();
    if (!pMine || !pTheirs) return false;
    return rectsCollide(*this, pMine->getPhysicalRect(), *pOther, pTheirs->getPhysicalRect());
}

bool Sprite::collideCanvases(Tsl::SmartPtr<Sprite> pOther) const {
    TSL_TRACE();
    if (!pOther) return false;
    Image* pMine = getDrawImage();
    Image* pTheirs = pOther->getDrawImage();
    if (!pMine || !pTheirs) return false;
    return rectsCollide(*this, pMine->getVirtualRect(), *pOther, pTheirs->getVirtualRect());
}

bool Sprite::collidePixels(Tsl::SmartPtr<Sprite> pOther, int nCellSize, int nAlphaThreshold) const {
    TSL_TRACE();
    if (!pOther || !m_pImage || !pOther->m_pImage) return false;
    Tsl::SmartPtr<Shape> pMine = m_pImage->getShape(nCellSize, nAlphaThreshold, 0.5f);
    Tsl::SmartPtr<Shape> pTheirs = pOther->m_pImage->getShape(nCellSize, nAlphaThreshold, 0.5f);
    return pMine->collide(poseOf(*this, m_pImage), pTheirs, poseOf(*pOther, pOther->m_pImage));
}

// ---- controllers -------------------------------------------------------------------------

void Sprite::addController(SpriteController* pController) {
    TSL_TRACE();
    // A controller has one holder: a second add of the same one is ignored.
    if (!pController || m_lControllers.indexOf(pController) >= 0) return;
    m_lControllers.append(pController);
    if (!isHeld()) {
        m_lUnstarted.append(pController);
        return;
    }
    Tsl::SmartPtr<Sprite> pSelf(this);
    startPendingControllers();
    if (m_pOwner && !m_updateLink.isLinked()) m_pOwner->addToUpdateList(pSelf);
    pController->start(pSelf);
}

void Sprite::startPendingControllers() {
    if (m_lUnstarted.isEmpty() || !isHeld()) return;
    TSL_TRACE();
    Tsl::SmartPtr<Sprite> pSelf(this);
    while (!m_lUnstarted.isEmpty()) {
        SpriteController* pController = m_lUnstarted.removeFirst();
        if (m_lControllers.indexOf(pController) >= 0) pController->start(pSelf);
    }
}

void Sprite::removeController(SpriteController* pController) {
    TSL_TRACE();
    int nIndex = pController ? m_lControllers.indexOf(pController) : -1;
    if (nIndex < 0) return;
    int nUnstarted = m_lUnstarted.indexOf(pController);
    if (nUnstarted >= 0) m_lUnstarted.removeAt(nUnstarted);
    if (m_nWalkDepth > 0) {
        // The walk may be inside this very controller: blank its entry and
        // delete it once the walk is over.
        m_lControllers.getNode(nIndex)->data = nullptr;
        ++m_nBlankEntries;
        m_lDeferredDeletes.append(pController);
        return;
    }
    m_lControllers.removeAt(nIndex);
    delete pController;
}

void Sprite::clearControllers() {
    TSL_TRACE();
    m_lUnstarted.clear();
    if (m_nWalkDepth > 0) {
        for (auto* pNode = m_lControllers.getHead(); pNode; pNode = pNode->pNext) {
            if (!pNode->data) continue;
            m_lDeferredDeletes.append(pNode->data);
            pNode->data = nullptr;
            ++m_nBlankEntries;
        }
        return;
    }
    Tsl::List<SpriteController*> lOld(m_lControllers);
    m_lControllers.clear();
    for (SpriteController* pController : lOld) delete pController;
}

int Sprite::getControllerCount() const { return m_lControllers.getCount() - m_nBlankEntries; }

SpriteController* Sprite::getController(int nIndex) const {
    if (m_nBlankEntries == 0) return m_lControllers.getAt(nIndex);
    // Blank entries of a running walk do not count.
    int nLive = 0;
    for (SpriteController* pController : m_lControllers) {
        if (!pController) continue;
        if (nLive == nIndex) return pController;
        ++nLive;
    }
    TSL_THROW(FatalErrorException, "List index out of range : %d (have %d)", nIndex, nLive);
}

void Sprite::purgeControllers() {
    for (auto* pNode = m_lControllers.getHead(); pNode;) {
        auto* pNext = pNode->pNext;
        if (!pNode->data) m_lControllers.removeNode(pNode);
        pNode = pNext;
    }
    m_nBlankEntries = 0;
    Tsl::List<SpriteController*> lDoomed(m_lDeferredDeletes);
    m_lDeferredDeletes.clear();
    for (SpriteController* pController : lDoomed) delete pController;
}

template <class Step>
void Sprite::walkControllers(Step step) {
    // The walk needs a counted reference (a controller may take the sprite out
    // of its mode), and that reference must not be the one that deletes a
    // sprite nobody holds: such a sprite is not stepped.
    if (!isHeld()) return;
    Tsl::SmartPtr<Sprite> pSelf(this);
    startPendingControllers();
    struct Depth {
        Sprite* pSprite;
        explicit Depth(Sprite* p) : pSprite(p) { ++pSprite->m_nWalkDepth; }
        ~Depth() {
            if (--pSprite->m_nWalkDepth == 0) pSprite->purgeControllers();
        }
    } depth(this);
    // The count is re-read every time: controllers appended during the walk
    // run in the same walk. A finished controller leaves a blank entry, so
    // the index moves on to the one after it.
    for (int i = 0; i < m_lControllers.getCount(); ++i) {
        SpriteController* pController = m_lControllers.getAt(i);
        if (!pController) continue;
        if (step(pController, pSelf)) removeController(pController);
    }
}

void Sprite::updateControllers(float fDt) {
    TSL_TRACE();
    walkControllers([fDt](SpriteController* pController, const Tsl::SmartPtr<Sprite>& pSprite) {
        return pController->step(fDt, pSprite);
    });
}

void Sprite::tickControllers() {
    TSL_TRACE();
    walkControllers(
        [](SpriteController* pController, const Tsl::SmartPtr<Sprite>& pSprite) { return pController->tick(pSprite); });
}

// ---- owner, tooltip, named data -----------------------------------------------------

void Sprite::setOwnerMode(GameMode* pMode) {
    TSL_TRACE();
    m_pOwner = pMode;
    if (!pMode) return;
    onAttach();
    // The mode holds the sprite now: controllers given earlier can start.
    startPendingControllers();
}

void Sprite::detach() {
    TSL_TRACE();
    if (m_pTooltip && m_pOwner) m_pOwner->removeTooltip(m_pTooltip);
    m_pTooltip = nullptr;
    m_pOwner = nullptr;
}

void Sprite::notifyChanged() {
    if (!m_pTooltip || !m_pOwner) return;
    m_pOwner->setTooltipVisible(m_pTooltip, isVisible());
    m_pOwner->setTooltipRect(m_pTooltip, getScreenPixelRect());
}

void Sprite::setTooltip(const Tsl::String& sText, Point position) {
    TSL_TRACE();
    if (!m_pOwner) return;
    if (!m_pTooltip) {
        m_pTooltip = m_pOwner->addTooltip(sText, getScreenPixelRect(), position);
        return;
    }
    m_pOwner->setTooltipPosition(m_pTooltip, position);
    m_pOwner->setTooltipHasPosition(m_pTooltip, position != Point(-1000.0f, -1000.0f));
    m_pOwner->setTooltipText(m_pTooltip, sText);
}

void Sprite::setTooltipStyle(const Tsl::String& sStyle) {
    if (m_pOwner && m_pTooltip) m_pOwner->setTooltipStyle(m_pTooltip, sStyle);
}

void Sprite::removeTooltip() {
    TSL_TRACE();
    if (m_pOwner && m_pTooltip) m_pOwner->removeTooltip(m_pTooltip);
    m_pTooltip = nullptr;
}

void Sprite::setData(const char* pszName, void* pValue) { m_hNamedData.set(pszName, pValue); }

bool Sprite::hasData(const char* pszName) const { return m_hNamedData.hasKey(pszName); }

void* Sprite::getData(const char* pszName) const { return m_hNamedData.get(pszName); }
