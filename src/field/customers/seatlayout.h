#pragma once

#include "image/rect.h"
#include "sprite/sprite.h"
#include "tsl2/list.h"

class ActionSpot;
class CharacterSpot;
struct SeatPlace;

// Where, around each seat, its guests' glasses and balloons go, so that
// neither lands on what the player must see or click. Worked out once, when
// the level's scene stands, for every seat whoever comes to sit there.
//
// A seat's glasses stand in a row on the surface before it (the counter, a
// table, the sand), clear of what stands on that surface and of the share
// of the neighbouring seats; a guest's balloon keeps off the drink sources,
// the sink, the prop dispenser, the other guests' balloons and its own face.
class SeatLayout {
public:
    // Glasses of one row stand this far apart; a glass needs this much room
    // either side of its middle and above its foot, its foot this much.
    enum { GLASS_SPACING = 22, GLASS_HALF_WIDTH = 16, GLASS_HEIGHT = 48, FOOT_HALF_WIDTH = 11 };
    // A full row is followed by one just behind it; beyond that the glasses
    // go onto the same places again. A row holds at most MAX_ROW glasses.
    enum { ROW_RISE = 8, ROWS = 2, MAX_ROW = 4 };
    // How far a balloon may move from over its guest's head, in steps.
    enum { BALLOON_STEP = 10, MAX_BALLOON_SHIFT = 60, MAX_BALLOON_DROP = 80, CLEARANCE = 2 };

    SeatLayout(const Tsl::List<Tsl::SmartPtr<Sprite>>& lScenery, const Tsl::List<Tsl::SmartPtr<ActionSpot>>& lSpots,
               const Rect& screen);

    // Gives each seat its row of glass places and its balloon's shift.
    void fit(const Tsl::List<Tsl::SmartPtr<CharacterSpot>>& lSeats) const;

private:
    struct Obstacle {
        const Sprite* pPicture;  // null for a glass that may stand there
        Rect box;
        int nZOrder;
    };

    Tsl::List<int> glassRow(const CharacterSpot& seat, const Tsl::List<Tsl::SmartPtr<CharacterSpot>>& lSeats) const;
    const Sprite* surfaceUnder(const SeatPlace& place) const;
    bool glassFits(int nX, const SeatPlace& place, const Sprite* pSurface) const;
    bool balloonFits(const Rect& balloon, const Rect& face, const Tsl::List<Rect>& lTaken) const;
    void placeBalloon(CharacterSpot& seat, Tsl::List<Rect>& lTaken) const;

    Tsl::List<Tsl::SmartPtr<Sprite>> m_lScenery;
    Tsl::List<Obstacle> m_lOnSurfaces;  // scenery, coasters and the glasses on them, signs
    Tsl::List<Rect> m_lStations;        // what the player clicks for a drink, to wash or to decorate
    Rect m_screen;
};
