// The scripted player's judgement on the play field. From one look at the
// field it chooses the next clicks a sensible person makes: close a tip,
// answer a guest who asks, carry a guest the drink its balloon shows (the
// guest who has least patience left first), and clear used glasses to the
// sink. It remembers only what a person at the screen remembers: what it
// clicked last, where the waitress stood, and what it has seen of the day.
#pragma once

#include "eyes.h"
#include "hands.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace e2e {

class Bartender {
public:
    // A new day: nothing of the last one is remembered.
    void startDay();
    // One look at the field. False when the field shows something the
    // player cannot go on from.
    bool play(const Sight& sight, Hands& hands);

    // The clock of the field ("m:ss"), empty when none shows.
    static std::string readClock(const Sight& sight);
    // The money the field shows and its goal (0 in the timed games); false
    // when no money label shows.
    static bool readMoney(const Sight& sight, int& nMoney, int& nGoal);
    // Whether the clock moved since the day began.
    bool isClockRunning(const Sight& sight) const;
    // The names of every picture seen on the field this day.
    const std::set<std::string>& getSeenPictures() const { return m_aSeen; }
    // The guests: the figures the balloons stand beside.
    static std::vector<const Seen*> findGuests(const Sight& sight);

private:
    // A drink a guest waits for and where to click.
    struct Order {
        int nDrink;
        const Seen* pBalloon;
        const Seen* pGuest;
        float fPatience;
    };
    bool isIdle(const Sight& sight);
    bool plan(const Sight& sight, Hands& hands);
    std::vector<Order> findOrders(const Sight& sight) const;
    std::vector<const Seen*> heldGlasses(const Sight& sight) const;
    std::vector<const Seen*> usedGlasses(const Sight& sight) const;
    const Seen* findSource(const Sight& sight, int nDrink) const;
    bool clickOn(const Sight& sight, Hands& hands, const Seen* pSeen, const char* pszWhat, int nButton);
    Rect figureBox(const Sight& sight) const;
    std::string figureSignature(const Sight& sight) const;

    std::set<std::string> m_aSeen;
    std::string m_sFirstClock;
    std::string m_sLastFigure;
    int m_nStill = 0;
    int m_nSinceClick = 0;
    // Where balloons first showed, by place, in looks since the day began:
    // the guest waiting longest has least patience left.
    std::map<std::pair<int, int>, int> m_aBalloonSince;
    int m_nLooks = 0;
};

}  // namespace e2e
