#pragma once

#include "field/targets/actionspot.h"

class Character;

// The bubble over a customer who wants to order. A click on it acts at once:
// the order is taken, nobody walks.
class ActionBalloon : public ActionSpot {
public:
    ActionBalloon(PlayMode* pMode, Character* pCharacter, int nX, int nY, int nZOrder);
    ~ActionBalloon() override;

    void setShown(bool bShown);
    bool isShown() const { return m_bShown; }
    // The balloon and its pictures go to another anchor (x, y) and z-order.
    void moveTo(int nX, int nY, int nZOrder);
    int hitTest(int nX, int nY) const override { return m_bShown ? ActionSpot::hitTest(nX, nY) : -1; }
    // The customer is leaving: the balloon no longer reaches it.
    void detachCharacter() { m_pCharacter = nullptr; }

    bool canDoAction(int nHand) override;
    void doAction(int nHand) override;
    int getActionKind(int) override { return KIND_USE; }

private:
    Character* m_pCharacter;
    bool m_bShown;
};
