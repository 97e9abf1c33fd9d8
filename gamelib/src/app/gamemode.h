// One screen or dialog on the application's mode stack. A mode owns its
// sprites in z-ordered layers, its controls (the sprites that take input) and
// the list of sprites whose controllers it steps every frame.
#pragma once

#include "app/callbacktarget.h"
#include "effects/particle.h"
#include "sprite/sprite.h"
#include "tsl2/str.h"

class Font;

enum ModeFlags {
    MF_ACTIVE = 0x01,        // updated and given input
    MF_VISIBLE = 0x02,       // drawn
    MF_DRAW_BELOW = 0x04,    // the mode below is drawn too
    MF_UPDATE_BELOW = 0x08,  // the mode below is updated too
    MF_INPUT_BELOW = 0x10,   // input passes to the mode below
    MF_CLEAR_SCREEN = 0x20   // the screen is cleared to opaque black first
};

enum ModeState { MS_NEW, MS_RUNNING, MS_SUSPENDED, MS_ENDED };

// A sprite's tooltip as its mode keeps it: the text and style, where its
// owner is on the screen, and the sprite that shows it.
struct Tooltip {
    Tsl::String m_sText;
    Tsl::String m_sStyle;
    // The owner's screen pixel rectangle.
    Rect m_ownerRect;
    Point m_position;
    // False while the position is the "no position" value (-1000, -1000).
    bool m_bHasPosition = false;
    // Follows the owner's visibility.
    bool m_bVisible = true;
    // A text drawn cut is logged once, however often it is built again.
    bool m_bCutLogged = false;
    Tsl::SmartPtr<Sprite> m_pSprite;
};

class GameMode : public Tsl::RefCountedObject, public ICallbackTarget {
public:
    explicit GameMode(unsigned int nFlags = MF_ACTIVE | MF_VISIBLE);
    ~GameMode() override;

    unsigned int getFlags() const { return m_nFlags; }
    void setFlags(unsigned int nFlags) { m_nFlags = nFlags; }
    bool isActive() const { return (m_nFlags & MF_ACTIVE) != 0; }
    bool isVisible() const { return (m_nFlags & MF_VISIBLE) != 0; }
    ModeState getState() const { return m_eState; }
    void setState(ModeState eState) { m_eState = eState; }

    // Hooks the screens override.
    void onCallback(int nId, int nData) override {}
    virtual void init() {}
    // Before the mode ends; the default removes all sprites.
    virtual void cleanup();
    // The mode became the top of the stack / stopped being it.
    virtual void onActivate() {}
    virtual void onDeactivate() {}
    // The application window gained or lost the input focus.
    virtual void onAppActivate() {}
    virtual void onAppDeactivate() {}
    virtual void onUpdate(float fDt);
    virtual bool onKeyDown(int nKey, int nModifiers) { return false; }
    virtual bool onKeyUp(int nKey, int nModifiers) { return false; }
    virtual bool onChar(int nCharacter) { return false; }
    virtual void onMouseMove(int nX, int nY) {}
    virtual bool onMouseDown(int nButton, int nX, int nY) { return false; }
    virtual bool onMouseUp(int nButton, int nX, int nY) { return false; }

    // Sprites.
    void addSprite(Tsl::SmartPtr<Sprite> pSprite);
    void removeSprite(Tsl::SmartPtr<Sprite> pSprite);
    void resortSprite(Tsl::SmartPtr<Sprite> pSprite);
    void addToUpdateList(Tsl::SmartPtr<Sprite> pSprite);
    void removeAllSprites();
    const Tsl::List<SpriteList*>& getLayers() const { return m_lLayers; }
    const SpriteList& getUpdateList() const { return m_lUpdateList; }
    const SpriteList& getControls() const { return m_lControls; }

    // Tooltips: the mode owns the records; each owning sprite keeps a pointer.
    Tooltip* addTooltip(const Tsl::String& sText, const Rect& ownerRect, const Point& position);
    void removeTooltip(Tooltip* pTooltip);
    void setTooltipText(Tooltip* pTooltip, const Tsl::String& sText);
    void setTooltipStyle(Tooltip* pTooltip, const Tsl::String& sStyle);
    void setTooltipPosition(Tooltip* pTooltip, const Point& position);
    void setTooltipHasPosition(Tooltip* pTooltip, bool bHasPosition);
    void setTooltipVisible(Tooltip* pTooltip, bool bVisible);
    void setTooltipRect(Tooltip* pTooltip, const Rect& ownerRect);
    const Tsl::List<Tooltip*>& getTooltips() const { return m_lTooltips; }

    // Free particles (their emitter is gone), ticked after the sprites.
    ParticleList* getParticleSystem() { return &m_lParticles; }
    void addParticle(Tsl::SmartPtr<Particle> pParticle) { m_lParticles.append(pParticle); }
    void addParticles(ParticleList lParticles) { m_lParticles.appendList(lParticles); }

    // Only the topmost mode may end itself: cleanup, marked ended, popped.
    void endMode();
    // Ends the mode, then pushes the transition, which ends itself in turn.
    void endModeWithTransition(Tsl::SmartPtr<GameMode> pTransition);

    // The application's services, for the screens' convenience.
    Tsl::String getString(const char* pszKey) const;
    Tsl::SmartPtr<Image> getImage(const char* pszName) const;
    Tsl::SmartPtr<Image> createImage(int nWidth, int nHeight, bool bAlpha) const;
    // A theme font by spec name; unknown names give the theme's default font.
    static Tsl::SmartPtr<Font> getFont(const char* pszName);
    // A full-screen black shade under the mode's other sprites, at that opacity.
    enum { OVERLAY_Z_ORDER = -1000 };
    Tsl::SmartPtr<Sprite> addOverlay(float fAlpha);

    // Controls: sprites that are hovered, clicked and given the keyboard focus.
    Tsl::SmartPtr<Sprite> addControl(Tsl::SmartPtr<Sprite> pControl);
    Tsl::SmartPtr<Sprite> getHoverControl() const { return m_pHover; }
    Tsl::SmartPtr<Sprite> getFocus() const { return m_pFocus; }
    void setFocus(Tsl::SmartPtr<Sprite> pControl);
    // The topmost visible control under the point, or null.
    Tsl::SmartPtr<Sprite> findControlAt(int nX, int nY) const;

    // Tooltip sprites are drawn above the mode's other sprites.
    enum { TOOLTIP_Z_ORDER = 1000000 };

    // Input as the application routes it: the control first, then the mode's hook.
    bool handleKeyDown(int nKey, int nModifiers);
    bool handleKeyUp(int nKey, int nModifiers);
    bool handleChar(int nCharacter);
    void handleMouseMove(int nX, int nY);
    bool handleMouseDown(int nButton, int nX, int nY);
    bool handleMouseUp(int nButton, int nX, int nY);
    // The mouse left the mode's reach: the hovered control is told.
    void clearHover();
    // The press the pressed control waits for will never be released here.
    void cancelPress();

protected:
    // Renders the record's text in its style (a theme frame style) into its
    // sprite's image; an empty text leaves the sprite without one.
    virtual void buildTooltipImage(Tooltip* pTooltip);
    // Shows the tooltips whose owner is under the mouse, placed at their
    // position or else under (or, near the bottom, above) the owner.
    void updateTooltips(int nX, int nY);

private:
    GameMode(const GameMode&) = delete;
    GameMode& operator=(const GameMode&) = delete;

    static void insertByZOrder(SpriteList& lList, SpriteLink& link, const Tsl::SmartPtr<Sprite>& pSprite);
    static void unlinkFrom(SpriteLink& link);
    // Hover follows the point; the pressed control hears the move too.
    Tsl::SmartPtr<Sprite> updateHover(int nX, int nY);
    Tsl::SmartPtr<Sprite> getKeyboardTarget() const;
    // Takes the list's first sprite out of the mode; the list always shrinks.
    void removeFirstSprite(SpriteList& lList);
    bool ownsTooltip(Tooltip* pTooltip) const { return pTooltip && m_lTooltips.indexOf(pTooltip) >= 0; }
    void deleteTooltips();

    unsigned int m_nFlags;
    ModeState m_eState;
    SpriteList m_lSprites;
    Tsl::List<SpriteList*> m_lLayers;
    SpriteList m_lControls;
    SpriteList m_lUpdateList;
    ParticleList m_lParticles;
    Tsl::SmartPtr<Sprite> m_pHover;
    Tsl::SmartPtr<Sprite> m_pFocus;
    // The control that took the last mouse press, until its release.
    Tsl::SmartPtr<Sprite> m_pCapture;
    Tsl::List<Tooltip*> m_lTooltips;
};
