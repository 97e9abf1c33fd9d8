// The scripted player's judgement on the play field. From one look at the
// field it chooses the next clicks a sensible person makes: close a tip,
// answer a guest who asks, carry a guest the drink its balloon shows (the
// guest whose patience meter shows least first), and clear used glasses to
// the sink. Between looks it remembers only what a person at the screen
// does: whether the waitress has been standing still, and what it has seen
// of the day.
#pragma once

#include "eyes.h"
#include "hands.h"

#include <set>
#include <string>
#include <vector>

namespace e2e {

// A guest with a balloon over it: asking ("!") or showing the drink it waits for.
struct Guest {
    enum { ASKING = -1 };
    const Seen* pBalloon;
    // The figure under the balloon; null when none shows there.
    const Seen* pFigure;
    // The drink the balloon shows, ASKING for a question.
    int nDrink;
    // Steps left on the meter over the balloon; more than any meter shows
    // when there is none.
    int nPatience;
};

class Bartender {
public:
    // A new day: nothing of the last one is remembered.
    void startDay();
    // Leaves the used glasses on the tables, to watch them gather there.
    void keepTableGlasses(bool bKeep) { m_bKeepTableGlasses = bKeep; }
    // Whether the glass stands on a table's top (its foot there, drawn over it).
    static bool standsOnTable(const Sight& sight, const Seen& glass);
    // One look at the field, and the next click when one is due.
    void play(const Sight& sight, Hands& hands);

    // The clock of the field ("m:ss"), empty when none shows.
    static std::string readClock(const Sight& sight);
    // The money the field shows and its goal (0 in the timed games); false
    // when no money label shows.
    static bool readMoney(const Sight& sight, int& nMoney, int& nGoal);
    // Whether the clock moved since the day began.
    bool isClockRunning(const Sight& sight) const;
    // The names of every picture seen on the field this day.
    const std::set<std::string>& getSeenPictures() const { return m_aSeen; }
    // The guests with balloons, the least patient first.
    static std::vector<Guest> findGuests(const Sight& sight);
    // The glasses in the waitress's hands.
    static std::vector<const Seen*> heldGlasses(const Sight& sight);
    // The drink a glass holds full, decorated or not, or -1 (used, clean, half drunk).
    static int drinkIn(const Seen& glass);
    // A decorated glass, or a balloon that asks for one.
    static bool isDecorated(const Seen& seen);

private:
    bool isIdle(const Sight& sight);
    void plan(const Sight& sight, Hands& hands);
    void bringGlass(const Sight& sight, Hands& hands, const Seen& glass, const std::vector<Guest>& lGuests);
    bool decorateFirst(const Sight& sight, Hands& hands, const Seen& glass, const std::vector<Guest>& lGuests);
    static Rect figureBox(const Sight& sight);
    static std::vector<const Seen*> usedGlasses(const Sight& sight, const std::vector<Guest>& lGuests);
    // Clicks the first of the pictures that shows somewhere uncovered;
    // false when none does.
    bool clickFirst(const Sight& sight, Hands& hands, const std::vector<const Seen*>& lTargets);

    std::set<std::string> m_aSeen;
    std::string m_sFirstClock;
    std::string m_sLastFigure;
    int m_nStill = 0;
    int m_nSinceClick = 0;
    bool m_bKeepTableGlasses = false;
};

}  // namespace e2e
