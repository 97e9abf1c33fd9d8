#include "seating.h"

#include "bartender.h"

#include <algorithm>
#include <cstdlib>

namespace e2e {

namespace {

const char* const CHAIR = "prop_chair";
const char* const TABLE = "prop_table";
// The counter of the first bar; the other bars' follow its pattern.
const char* const COUNTER = "sc0_counter";
const char* const GLASS = "mug_";
// An asking guest's balloon and an order's.
const char* const BALLOONS[] = {"balloon_", "order_drink"};
// Scenery, glasses and the waitress: drawn among the guests, but no guests.
const char* const NOT_GUESTS[] = {"prop_", "mug_", "wt_"};

bool isFigure(const Seen& seen) {
    if (seen.sPicture.empty() || seen.nScreen != 0) return false;
    for (const char* pszPrefix : NOT_GUESTS)
        if (seen.isNamedLike(pszPrefix)) return false;
    return true;
}

bool spansX(const Seen& guest, int nX) { return guest.box.left < nX && guest.box.right > nX; }

}  // namespace

Seating::Seating(const Sight& sight)
    : m_sight(sight),
      m_pCounter(sight.find(COUNTER)),
      m_lChairs(sight.findAll(CHAIR)),
      m_lTables(sight.findAll(TABLE)) {
    for (const Seen* pGuest : guestsAtTableDepth()) {
        const Seen* pChair = chairUnder(*pGuest);
        if (pChair) m_lSeated.push_back({pGuest, tableOf(*pChair)});
    }
}

// The pictures drawn above the chairs and below the tables.
std::vector<const Seen*> Seating::guestsAtTableDepth() const {
    std::vector<const Seen*> lGuests;
    if (m_lChairs.empty() || m_lTables.empty()) return lGuests;
    for (const Seen& seen : m_sight.all())
        if (isFigure(seen) && seen.nZOrder > m_lChairs.front()->nZOrder && seen.nZOrder < m_lTables.front()->nZOrder)
            lGuests.push_back(&seen);
    return lGuests;
}

// The chair under the figure: it spans the chair's middle, its head above the chair's back.
const Seen* Seating::chairUnder(const Seen& guest) const {
    for (const Seen* pChair : m_lChairs)
        if (spansX(guest, pChair->centreX()) && guest.box.top < pChair->box.top) return pChair;
    return nullptr;
}

const Seen* Seating::tableOf(const Seen& chair) const {
    const Seen* pNearest = nullptr;
    for (const Seen* pTable : m_lTables)
        if (!pNearest ||
            std::abs(pTable->centreX() - chair.centreX()) < std::abs(pNearest->centreX() - chair.centreX()))
            pNearest = pTable;
    return pNearest;
}

bool Seating::isEveryTableTaken() const {
    for (const Seen* pTable : m_lTables)
        if (std::none_of(m_lSeated.begin(), m_lSeated.end(),
                         [pTable](const Seat& seat) { return seat.pTable == pTable; }))
            return false;
    return true;
}

// A glass on the table's top in front of the guest, not in the waitress's hand.
bool Seating::hasGlassBefore(const Seat& seat) const {
    std::vector<const Seen*> lHeld = Bartender::heldGlasses(m_sight);
    for (const Seen* pGlass : m_sight.findLike(GLASS)) {
        if (std::find(lHeld.begin(), lHeld.end(), pGlass) != lHeld.end()) continue;
        if (spansX(*seat.pGuest, pGlass->centreX()) && pGlass->nZOrder > seat.pTable->nZOrder &&
            seat.pTable->box.contains(pGlass->centreX(), pGlass->box.bottom - 1))
            return true;
    }
    return false;
}

// A balloon over the guest's head (its foot may reach a little way down).
bool Seating::hasBalloonOver(const Seen& guest) const {
    for (const char* pszBalloon : BALLOONS)
        for (const Seen* pBalloon : m_sight.findLike(pszBalloon))
            if (spansX(guest, pBalloon->centreX()) && pBalloon->box.bottom <= guest.box.top + guest.box.getHeight() / 4)
                return true;
    return false;
}

bool Seating::isServing() const {
    bool bAnyGlass = false;
    for (const Seat& seat : m_lSeated) {
        bool bGlass = hasGlassBefore(seat);
        if (!bGlass && !hasBalloonOver(*seat.pGuest)) return false;
        bAnyGlass = bAnyGlass || bGlass;
    }
    return bAnyGlass;
}

int Seating::countGuestsAtBar() const {
    if (!m_pCounter) return 0;
    int nGuests = 0;
    for (const Seen& seen : m_sight.all())
        nGuests += isFigure(seen) && seen.nZOrder > 0 && seen.nZOrder < m_pCounter->nZOrder &&
                   seen.box.bottom > m_pCounter->box.top;
    return nGuests;
}

std::string Seating::findMisplaced() const {
    for (const Seen* pGuest : guestsAtTableDepth()) {
        if (m_pCounter && pGuest->box.overlaps(m_pCounter->box))
            return "the guest " + pGuest->sPicture + " at a table covers the counter";
        if (!chairUnder(*pGuest)) return "the guest " + pGuest->sPicture + " at a table sits on no chair";
    }
    return std::string();
}

}  // namespace e2e
