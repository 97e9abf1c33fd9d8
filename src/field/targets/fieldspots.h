#pragma once

#include "field/targets/actionspot.h"
#include "field/mug.h"

// A coaster: holds one glass. She puts a glass down on an empty one and
// takes the glass from a full one. It shows as the coaster and its glass;
// the glass stands on the coaster's point (x, y), one z-order above it.
class GlassSpot : public ActionSpot {
public:
    // The coaster picture's insertion point: the middle of its top face.
    enum { COASTER_INS_Y = 6 };

    GlassSpot(PlayMode* pMode, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);
    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int nHand) override;
    int hitTest(int nX, int nY) const override;
    Refusal getRefusal(int nHand) const override { return m_pGlass ? noRoomRefusal(nHand) : noGlassRefusal(nHand); }
    Tsl::SmartPtr<Mug> getGlass() const { return m_pGlass; }

private:
    Tsl::SmartPtr<Mug> m_pGlass;
};

// The sink: every empty glass she carries is washed away, and a full one is
// poured away: the one in the hand that acted, or with a tray the first one
// when there is nothing to wash, so that a wrong drink never blocks a hand.
class TrashBin : public ActionSpot {
public:
    using ActionSpot::ActionSpot;
    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int) override { return KIND_USE; }
    // She carries nothing it takes: nothing at all, or nothing in that hand.
    Refusal getRefusal(int nHand) const override { return noGlassRefusal(nHand); }

private:
    int pouredSlot(int nHand) const;
};

// Decorates every full glass she carries that is not decorated yet.
class PropDispenser : public ActionSpot {
public:
    using ActionSpot::ActionSpot;
    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int) override { return KIND_USE; }
    Refusal getRefusal(int nHand) const override;
};

// A tap of one drink: with a free hand (a free tray place) she draws a full
// glass of it.
class LiquidButton : public ActionSpot {
public:
    LiquidButton(PlayMode* pMode, int nDrink, int nX, int nY, int nZOrder, int nUseX, int nUseY, int nHeading);
    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int) override { return KIND_FILL; }
    Refusal getRefusal(int nHand) const override { return noRoomRefusal(nHand); }
    int getDrink() const { return m_nDrink; }

protected:
    int m_nDrink;
};

// A bottled drink: the same as a tap, taken rather than drawn.
class BeverageButton : public LiquidButton {
public:
    using LiquidButton::LiquidButton;
    int getActionKind(int) override { return KIND_TAKE; }
};

// A bar station's machine: the taps it carries.
class DrinkMachine : public Tsl::RefCountedObject {
public:
    void addButton(Tsl::SmartPtr<LiquidButton> pButton) { m_lButtons.append(pButton); }
    const Tsl::List<Tsl::SmartPtr<LiquidButton>>& getButtons() const { return m_lButtons; }

private:
    Tsl::List<Tsl::SmartPtr<LiquidButton>> m_lButtons;
};
