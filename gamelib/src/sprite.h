// The one drawable object of the system. A sprite belongs to at most one
// mode, which keeps it in its z-ordered layer list (and, for widgets, its
// control list) and steps its controllers every frame while it has any.
#pragma once

#include "color.h"
#include "geometry.h"
#include "image.h"
#include "rect.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"

class DrvSpriteData;
class GameMode;
class SpriteController;
class Sprite;

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

class IVisualObject : public Tsl::RefCountedObject {
public:
    virtual int getZOrder() const = 0;
    virtual void setZOrder(int nZOrder) = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool bVisible) = 0;
};

class Sprite : public IVisualObject {
public:
    Sprite();
    Sprite(int nX, int nY, int nZOrder);
    ~Sprite() override;

    int getZOrder() const override { return m_nZOrder; }
    void setZOrder(int nZOrder) override;
    bool isVisible() const override { return m_bVisible; }
    void setVisible(bool bVisible) override;

    float getXf() const { return m_fX; }
    float getYf() const { return m_fY; }
    int getX() const { return static_cast<int>(m_fX); }
    int getY() const { return static_cast<int>(m_fY); }
    virtual void setPosition(float fX, float fY);

    // Point test in screen coordinates; the image-based modes come with the
    // display engine, subclasses may answer for themselves.
    virtual bool hitTest(int nX, int nY);

    void addController(SpriteController* pController);
    void removeController(SpriteController* pController);
    void updateControllers(float fDt);
    void tickControllers();
    int getControllerCount() const { return m_lControllers.getCount(); }
    SpriteController* getController(int nIndex) const { return m_lControllers.getAt(nIndex); }
    void clearControllers();

    virtual void onMouseEnter() {}
    virtual void onMouseLeave() {}
    virtual void onMouseMove(int nX, int nY) {}
    virtual bool onMouseDown(int nButton) { return false; }
    virtual bool onMouseUp(int nButton) { return false; }
    virtual void onFocusGained() {}
    virtual void onFocusLost() {}
    virtual bool onKeyDown(int nKey, int nModifiers) { return false; }
    virtual bool onKeyUp(int nKey, int nModifiers) { return false; }
    virtual bool onChar(int nCharacter) { return false; }
    virtual void onAttach() {}

    void setOwnerMode(GameMode* pMode);
    GameMode* getOwnerMode() const { return m_pOwner; }
    // Called when the owning mode lets go of the sprite.
    virtual void detach();

    // What the video driver reads to draw the sprite.
    Tsl::SmartPtr<Image> getImage() const { return m_pImage; }
    Tsl::SmartPtr<Image> getDrawImage() const { return m_pDrawImage; }
    float getAlpha() const { return m_fAlpha; }
    virtual void setAlpha(float fAlpha) { m_fAlpha = fAlpha; }
    float getRotation() const { return m_fRotation; }
    void setRotation(float fDegrees) { m_fRotation = fDegrees; }
    float getScaleX() const { return m_fScaleX; }
    float getScaleY() const { return m_fScaleY; }
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
    int getPolygonStamp() const { return m_nPolygonStamp; }
    int getHitTestMode() const { return m_nHitTestMode; }
    virtual void setHitTestMode(int nMode) { m_nHitTestMode = nMode; }
    // Owned; created by the video driver on the first draw that needs it.
    DrvSpriteData* getDriverData() const { return m_pDriverData; }
    void setDriverData(DrvSpriteData* pData);

    SpriteLink& getLayerLink() { return m_layerLink; }
    SpriteLink& getControlLink() { return m_controlLink; }
    SpriteLink& getUpdateLink() { return m_updateLink; }

private:
    template <class Step>
    void walkControllers(Step step);

    SpriteLink m_layerLink;
    SpriteLink m_controlLink;
    SpriteLink m_updateLink;
    GameMode* m_pOwner;
    int m_nZOrder;
    bool m_bVisible;
    float m_fX;
    float m_fY;
    Tsl::Hash<Tsl::String, void*> m_hNamedData;
    Tsl::SmartPtr<Image> m_pImage;
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
    int m_nHitTestMode;
    DrvSpriteData* m_pDriverData;
    // Controllers whose removal was asked for while the list was being walked.
    Tsl::List<SpriteController*> m_lDeferredDeletes;
    int m_nWalkDepth;
};
