// The one drawable object of the system. A sprite belongs to at most one
// mode, which keeps it in its z-ordered layer list (and, for widgets, its
// control list) and steps its controllers every frame while it has any.
#pragma once

#include "image/color.h"
#include "image/geometry.h"
#include "image/image.h"
#include "image/rect.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class DrvSpriteData;
class GameMode;
class SpriteController;
class Sprite;
struct Tooltip;

// What the video driver does with a sprite (render flags).
enum SpriteRenderFlags { RF_DRAW_COLOR = 1, RF_WRITE_STENCIL = 2, RF_CLEAR_STENCIL = 4 };
enum SpriteBlendMode { BM_NORMAL = 0, BM_ADDITIVE = 1 };
enum SpriteHitTestMode { HT_PIXELS = 0, HT_PIXEL_RECT = 1, HT_CANVAS = 2 };

typedef Tsl::List<Tsl::SmartPtr<Sprite>> SpriteList;
typedef SpriteList::Node SpriteNode;

// Where a mode keeps a sprite in one of its lists; written and read only by the mode.
struct SpriteLink {
    SpriteList* pList = nullptr;
    SpriteNode* pNode = nullptr;
    bool isLinked() const { return pList != nullptr; }
    void reset() {
        pList = nullptr;
        pNode = nullptr;
    }
};

// What a sprite and a layout table share: size, position, z-order,
// visibility and clip rectangle.
class IVisualObject : public Tsl::RefCountedObject {
public:
    ~IVisualObject() override {}
    virtual Point getSize() const = 0;
    virtual void getSize(int& nWidth, int& nHeight) const = 0;
    virtual void setSize(const Point& size) = 0;
    virtual void setSize(int nWidth, int nHeight) = 0;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
    virtual Point getPosition() const = 0;
    virtual void getPosition(float& fX, float& fY) const = 0;
    virtual void getPosition(int& nX, int& nY) const = 0;
    virtual void setPosition(const Point& p) = 0;
    virtual void setPosition(float fX, float fY) = 0;
    virtual void setPosition(int nX, int nY) = 0;
    virtual int getZOrder() const = 0;
    virtual void setZOrder(int nZOrder) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool bVisible) = 0;
    virtual void setClipRect(const Rect& clip) = 0;
    virtual void clearClipRect() = 0;
};

class Sprite : public IVisualObject {
public:
    Sprite();
    Sprite(int nX, int nY, int nZOrder = 0);
    Sprite(const Point& position, int nZOrder = 0);
    Sprite(Tsl::SmartPtr<Image> pImage, int nX, int nY, int nZOrder = 0);
    Sprite(Tsl::SmartPtr<Image> pImage, const Point& position, int nZOrder = 0);
    // The image comes from the application's image cache.
    Sprite(const char* pszImageName, int nX, int nY, int nZOrder = 0);
    Sprite(const char* pszImageName, const Point& position, int nZOrder = 0);
    ~Sprite() override;

    // ---- the visual-object interface ---------------------------------------
    Point getSize() const override;
    void getSize(int& nWidth, int& nHeight) const override;
    // A sprite's size follows its image; widgets override these.
    void setSize(const Point&) override {}
    void setSize(int, int) override {}
    int getWidth() const override;
    int getHeight() const override;
    Point getPosition() const override { return Point(m_fX, m_fY); }
    void getPosition(float& fX, float& fY) const override;
    void getPosition(int& nX, int& nY) const override;
    void setPosition(const Point& p) override { setPosition(p, false); }
    void setPosition(float fX, float fY) override { setPosition(Point(fX, fY), false); }
    void setPosition(int nX, int nY) override { setPosition(Point(float(nX), float(nY)), false); }
    int getZOrder() const override { return m_nZOrder; }
    void setZOrder(int nZOrder) override;
    bool isVisible() const override { return m_bVisible; }
    void setVisible(bool bVisible) override;
    void setClipRect(const Rect& clip) override;
    void clearClipRect() override;

    // ---- moving -----------------------------------------------------------------
    // With keepImageInPlace the picture stays where it is on the screen and
    // the new position becomes its insertion point (on the shared image).
    virtual void setPosition(const Point& p, bool bKeepImageInPlace);
    virtual void setPosition(float fX, float fY, bool bKeepImageInPlace);
    virtual void setPosition(int nX, int nY, bool bKeepImageInPlace);
    virtual void setAlpha(float fAlpha) { m_fAlpha = fAlpha; }
    // Point test in screen coordinates by hit-test mode.
    virtual bool hitTest(const Point& p);
    virtual void setHitTestMode(int nMode) { m_nHitTestMode = nMode; }
    virtual int getX() const { return static_cast<int>(m_fX); }
    virtual int getY() const { return static_cast<int>(m_fY); }
    // Screen bounding boxes of the drawn image's canvas and of its pixels.
    virtual Rect getScreenRect() const;
    virtual Rect getScreenPixelRect() const;

    // ---- controllers --------------------------------------------------------------
    // The sprite owns its controllers and deletes each one that reports done.
    virtual void addController(SpriteController* pController);
    virtual void removeController(SpriteController* pController);
    virtual void updateControllers(float fDt);
    virtual void tickControllers();
    virtual int getControllerCount() const;
    virtual SpriteController* getController(int nIndex) const;
    virtual void clearControllers();

    // ---- input hooks: true means the event was consumed --------------------------
    virtual void onMouseEnter() {}
    virtual void onMouseLeave() {}
    virtual void onMouseMove(int, int) {}
    virtual bool onMouseDown(int) { return false; }
    virtual bool onMouseUp(int) { return false; }
    virtual void onFocusGained() {}
    virtual void onFocusLost() {}
    // A press this sprite took will get no release over it (dragged off, or
    // the mode stack changed): whatever the press started ends without a click.
    virtual void cancelPress() {}
    virtual bool onKeyDown(int, int) { return false; }
    virtual bool onKeyUp(int, int) { return false; }
    virtual bool onChar(int) { return false; }
    // Before a move, with the new position truncated.
    virtual void onPositionChanging(int, int) {}
    virtual void onPositionChanged();
    virtual void onAttach() {}
    // Called when the owning mode lets go of the sprite.
    virtual void detach();
    // The tooltip follows the sprite's visibility and screen rectangle.
    virtual void notifyChanged();

    // ---- image -------------------------------------------------------------------------
    Tsl::SmartPtr<Image> getImage() const { return m_pImage; }
    // Null hides the sprite, an image shows it.
    void setImage(Tsl::SmartPtr<Image> pImage);
    void setImage(const char* pszName);
    // What the video driver draws: the image, a part of it cut to the clip
    // rectangle, or null when the clip hides the sprite.
    Tsl::SmartPtr<Image> getDrawImage() const { return m_pClipRect ? m_pDrawImage : m_pImage; }
    bool isClipped() const { return m_pDrawImage != m_pImage; }
    void updateClippedImage();

    // ---- appearance ----------------------------------------------------------------------
    float getXf() const { return m_fX; }
    float getYf() const { return m_fY; }
    float getAlpha() const { return m_fAlpha; }
    float getRotation() const { return m_fRotation; }
    void setRotation(float fDegrees) { m_fRotation = fDegrees; }
    float getScaleX() const { return m_fScaleX; }
    float getScaleY() const { return m_fScaleY; }
    void getScale(float& fX, float& fY) const;
    Point getScale() const { return Point(m_fScaleX, m_fScaleY); }
    void setScale(float fX, float fY);
    void setScale(float fScale) { setScale(fScale, fScale); }
    bool isScaled() const { return m_fScaleX != 1.0f || m_fScaleY != 1.0f; }
    const Color& getColor() const { return m_color; }
    void setColor(const Color& color) { m_color = color; }
    int getBlendMode() const { return m_nBlendMode; }
    void setBlendMode(int nMode) { m_nBlendMode = nMode; }
    int getRenderFlags() const { return m_nRenderFlags; }
    void setRenderFlags(int nFlags) { m_nRenderFlags = nFlags; }
    bool getStencilTest() const { return m_bStencilTest; }
    void setStencilTest(bool bTest) { m_bStencilTest = bTest; }
    const Tsl::List<Point>& getPolygon() const { return m_lPolygon; }
    // The stamp tells the driver to rebuild its cached vertices.
    void setPolygon(const Tsl::List<Point>& lPoints);
    int getPolygonStamp() const { return m_nPolygonStamp; }
    int getHitTestMode() const { return m_nHitTestMode; }
    // Owned; created by the video driver on the first draw that needs it.
    DrvSpriteData* getDriverData() const { return m_pDriverData; }
    void setDriverData(DrvSpriteData* pData);

    // ---- clip ----------------------------------------------------------------------------
    Rect getClipRect() const { return m_pClipRect ? *m_pClipRect : Rect(0, 0, 0, 0); }
    bool hasClipRect() const { return m_pClipRect != nullptr; }

    // ---- coordinates: local is the drawn image's canvas ------------------------------
    Point localToScreen(const Point& p) const;
    Point screenToLocal(const Point& p) const;
    Rect localRectToScreen(const Rect& r) const;

    // ---- hit tests (none looks at visibility; the clip acts through the drawn image)
    bool hitTestCanvas(const Point& p) const;
    bool hitTestCanvas(int nX, int nY) const { return hitTestCanvas(Point(float(nX), float(nY))); }
    bool hitTestPixelRect(const Point& p) const;
    bool hitTestPixels(const Point& p, int nAlphaThreshold) const;

    // ---- sprite against sprite ----------------------------------------------------------
    bool collidePixelRects(Tsl::SmartPtr<Sprite> pOther) const;
    bool collideCanvases(Tsl::SmartPtr<Sprite> pOther) const;
    bool collidePixels(Tsl::SmartPtr<Sprite> pOther, int nCellSize, int nAlphaThreshold) const;
    // Two rectangles given relative to each sprite's insertion point, placed
    // by the sprites' scale, rotation and position.
    static bool rectsCollide(const Sprite& a, Rect rectA, const Sprite& b, Rect rectB);

    // ---- owner ----------------------------------------------------------------------------
    void setOwnerMode(GameMode* pMode);
    GameMode* getOwnerMode() const { return m_pOwner; }

    // ---- tooltip (kept by the owning mode; a sprite in no mode has none) ---------------
    void setTooltip(const Tsl::String& sText, Point position);
    void setTooltipStyle(const Tsl::String& sStyle);
    void removeTooltip();
    Tooltip* getTooltip() const { return m_pTooltip; }

    // ---- named data: untyped pointers the sprite never dereferences -------------------
    void setData(const char* pszName, void* pValue);
    bool hasData(const char* pszName) const;
    void* getData(const char* pszName) const;

    SpriteLink& getLayerLink() { return m_layerLink; }
    SpriteLink& getControlLink() { return m_controlLink; }
    SpriteLink& getUpdateLink() { return m_updateLink; }

private:
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    void initFields(float fX, float fY, int nZOrder);
    // Canvas coordinates of an image shown at this sprite's placement.
    Point screenToImage(const Point& p, Image* pImage) const;
    template <class Step>
    void walkControllers(Step step);
    void purgeControllers();
    void startPendingControllers();
    bool isHeld() const { return getRefCount() > 0; }

    SpriteLink m_layerLink;
    SpriteLink m_controlLink;
    SpriteLink m_updateLink;
    GameMode* m_pOwner;
    Tsl::Hash<Tsl::String, void*> m_hNamedData;
    Tsl::SmartPtr<Image> m_pImage;
    int m_nZOrder;
    bool m_bVisible;
    float m_fX;
    float m_fY;
    float m_fAlpha;
    float m_fRotation;
    Color m_color;
    float m_fScaleX;
    float m_fScaleY;
    int m_nRenderFlags;
    int m_nBlendMode;
    bool m_bStencilTest;
    Tsl::List<SpriteController*> m_lControllers;
    Tsl::List<Point> m_lPolygon;
    int m_nPolygonStamp;
    Rect* m_pClipRect;
    Tsl::SmartPtr<Image> m_pDrawImage;
    Tooltip* m_pTooltip;
    int m_nHitTestMode;
    DrvSpriteData* m_pDriverData;
    // While the controllers are walked, a removed controller leaves a blank
    // entry (so the walk's index stays right) and is deleted after the walk.
    Tsl::List<SpriteController*> m_lDeferredDeletes;
    int m_nBlankEntries;
    int m_nWalkDepth;
    // Controllers given to the sprite before anything held it: their start
    // needs a counted reference, which would delete an unheld sprite when it
    // goes, so they start once the sprite is held.
    Tsl::List<SpriteController*> m_lUnstarted;
};
