// The base of every widget: a sprite that the owning mode hovers, clicks and
// gives the keyboard focus, with an enabled state and a callback source.
#pragma once

#include "app/callbacktarget.h"
#include "sprite/sprite.h"

// The callback a widget fires: an id and a data word for a target, which is
// the widget's owning mode unless one is set.
class CallbackTrigger {
public:
    explicit CallbackTrigger(int nId = 0, ICallbackTarget* pTarget = nullptr) : m_nId(nId), m_pTarget(pTarget) {}

    int getId() const { return m_nId; }
    void setId(int nId) { m_nId = nId; }
    ICallbackTarget* getTarget() const { return m_pTarget; }
    void setTarget(ICallbackTarget* pTarget) { m_pTarget = pTarget; }
    // Calls the target, or the source's owning mode when no target is set;
    // false when there is neither.
    bool fire(const Sprite* pSource, int nData) const;

private:
    int m_nId;
    ICallbackTarget* m_pTarget;
};

class Control : public Sprite {
public:
    explicit Control(int nId = 0);
    Control(int nId, int nX, int nY, int nZOrder);
    ~Control() override;

    // A disabled control takes no clicks and gives up the focus.
    virtual void setEnabled(bool bEnabled);
    bool isEnabled() const { return m_bEnabled; }
    bool isHovered() const { return m_bHovered; }
    // The left button went down on the control and is still held.
    bool isPressed() const { return m_bPressed; }
    bool hasFocus() const;
    // Whether a click gives the control the keyboard focus.
    bool isFocusable() const { return m_bFocusable; }
    void setFocusable(bool bFocusable) { m_bFocusable = bFocusable; }

    // The press ended away from the control: no click.
    void cancelPress() override;

    CallbackTrigger& getTrigger() { return m_trigger; }
    int getId() const { return m_trigger.getId(); }
    void setCallbackTarget(ICallbackTarget* pTarget) { m_trigger.setTarget(pTarget); }

    // ---- input from the owning mode ----------------------------------------
    void onMouseEnter() override;
    void onMouseLeave() override;
    void onMouseMove(int nX, int nY) override;
    bool onMouseDown(int nButton) override;
    bool onMouseUp(int nButton) override;
    void onFocusGained() override;
    void onFocusLost() override;

protected:
    // Whether the control does something with a click; one that does not
    // leaves presses and releases to the mode under it.
    virtual bool takesClicks() const { return true; }
    // A left click: pressed on the control and released over it.
    virtual void onClick() {}
    // The press went down (x, y in screen coordinates) / the mouse moved
    // while pressed / the press ended (released anywhere).
    virtual void onPress(int, int) {}
    virtual void onDrag(int, int) {}
    virtual void onRelease() {}
    // The look depends on the state that just changed.
    virtual void updateLook() {}
    bool fireCallback(int nData) { return m_trigger.fire(this, nData); }
    // Changes the picture without changing whether the control is shown.
    void showImage(Tsl::SmartPtr<Image> pImage);

private:
    void initControl();

    CallbackTrigger m_trigger;
    bool m_bEnabled;
    bool m_bHovered;
    bool m_bPressed;
    bool m_bFocusable;
    bool m_bFocused;
    // Where the mode last saw the mouse over (or dragging) the control.
    int m_nMouseX;
    int m_nMouseY;
};
