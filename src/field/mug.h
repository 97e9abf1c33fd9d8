#pragma once

#include "tsl2/refcount.h"
#include "tsl2/str.h"

class GameMode;
class AnimSprite;

// A glass: its drink, how many sips are left, whether it is decorated, and
// the picture that shows it where its carrier or its coaster puts it.
class Mug : public Tsl::RefCountedObject {
public:
    enum { FULL_SIPS = 3, NO_DRINK = -1 };
    // What the picture shows: the glass standing, held while drinking, or
    // carried on her tray (smaller, as the tray's places are close).
    enum View { VIEW_STAND = 0, VIEW_DRINK = 1, VIEW_TRAY = 2 };

    // The picture goes into the mode when there is one and its art exists.
    explicit Mug(GameMode* pMode);
    ~Mug() override;

    bool isEmpty() const { return m_nSips == 0; }
    int getSips() const { return m_nSips; }
    int getDrink() const { return m_nDrink; }
    bool isDecorated() const { return m_bDecorated; }
    // A clean glass that was never filled.
    bool isClean() const { return m_bClean; }
    void fill(int nDrink);
    // One sip; the last one leaves a used empty glass.
    void sip();
    void decorate();

    void setPosition(int nX, int nY, int nZOrder);
    // VIEW_STAND ("stand_%s"), VIEW_TRAY ("tray_%s"), other values the
    // drinking view ("drink_%s").
    void setViewMode(int nMode);
    void setHeading(int nHeading);
    void setScale(float fScale);
    void setVisible(bool bVisible);
    int getX() const { return m_nX; }
    int getY() const { return m_nY; }
    int getZOrder() const { return m_nZOrder; }
    int getViewMode() const { return m_nViewMode; }
    int getHeading() const { return m_nHeading; }
    float getScale() const { return m_fScale; }
    // The z-order of its picture where it is drawn at the point, else -1.
    int hitTest(int nX, int nY) const;
    // Takes the picture out of its mode.
    void detach();
    // Null without art or once detached.
    AnimSprite* getSprite() const { return m_pSprite.get(); }

private:
    // What the picture was last set to show: contents, heading and view in one number.
    enum { SHOWN_CLEAN = -2, SHOWN_USED = -1, SHOWN_NOTHING = -0x7FFFFFFF };
    void refresh();

    GameMode* m_pMode;
    Tsl::SmartPtr<AnimSprite> m_pSprite;
    int m_nDrink;
    int m_nSips;
    bool m_bDecorated;
    bool m_bClean;
    int m_nX, m_nY, m_nZOrder;
    int m_nViewMode;
    int m_nHeading;
    float m_fScale;
    int m_nShown;
};
