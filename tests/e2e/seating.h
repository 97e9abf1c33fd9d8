// Guests at the tables as a player sees them: the chairs and tables the
// upgrades put on the sand, the figures drawn between a chair and its table,
// and what stands or floats by each of them.
#pragma once

#include "eyes.h"

#include <string>
#include <vector>

namespace e2e {

class Seating {
public:
    // A figure sitting on a chair, and the table the chair stands at.
    struct Seat {
        const Seen* pGuest;
        const Seen* pTable;
    };

    explicit Seating(const Sight& sight);

    int countChairs() const { return int(m_lChairs.size()); }
    bool isEveryTableTaken() const;
    // Every seated guest shows a balloon over it or a glass on the table
    // before it, and at least one has its glass: what the seat's guest
    // asks for and drinks is on the screen.
    bool isServing() const;
    // Figures behind the counter, standing at it.
    int countGuestsAtBar() const;
    // Why the figures at the tables' depth are out of place (not on a
    // chair, over the counter); empty when all sit where they should.
    std::string findMisplaced() const;

private:
    std::vector<const Seen*> guestsAtTableDepth() const;
    const Seen* chairUnder(const Seen& guest) const;
    const Seen* tableOf(const Seen& chair) const;
    bool hasGlassBefore(const Seat& seat) const;
    bool hasBalloonOver(const Seen& guest) const;

    const Sight& m_sight;
    const Seen* m_pCounter;
    std::vector<const Seen*> m_lChairs, m_lTables;
    std::vector<Seat> m_lSeated;
};

}  // namespace e2e
