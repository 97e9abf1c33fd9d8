#pragma once

#include "image/rect.h"
#include "tsl2/list.h"

// Where a hint's bubble stands on the play field: beside what it speaks of
// (to its right, left, above or below, in that order of preference), wholly
// on the screen, never over what the player must see while reading it (the
// subject, the guest concerned, the waitress) and, where there is room, not
// over what is better left in sight (other guests, the clock, the buttons).
// When nothing right beside the subject will do, the place nearest to it that
// does; when nothing at all does, the one covering least.
class TipPlacer {
public:
    enum { GAP = 12, MARGIN = 6, SCAN_STEP = 8, TOP_BAND = 96 };

    explicit TipPlacer(const Rect& screen) : m_screen(screen) {}

    // A bubble never covers it.
    void keepClear(const Rect& area) { addArea(m_lMust, area); }
    // A bubble covers it only when no place beside the subject is free of it.
    void preferClear(const Rect& area) { addArea(m_lPrefer, area); }
    // The bubble's rectangle for a bubble of that size beside the subject;
    // without a subject, at the top of the screen, centred.
    Rect place(int nWidth, int nHeight, const Rect& subject) const;

private:
    static void addArea(Tsl::List<Rect>& lAreas, const Rect& area);
    static int coveredArea(const Rect& bubble, const Tsl::List<Rect>& lAreas);
    static int distance(const Rect& bubble, const Rect& subject);
    Rect clampToScreen(int nLeft, int nTop, int nWidth, int nHeight) const;
    void addBesideSubject(Tsl::List<Rect>& lPlaces, int nWidth, int nHeight, const Rect& subject) const;
    bool isFree(const Rect& bubble, bool bOfPreferred) const;
    Rect nearestFree(int nWidth, int nHeight, const Rect& target) const;

    Rect m_screen;
    Tsl::List<Rect> m_lMust;
    Tsl::List<Rect> m_lPrefer;
};
