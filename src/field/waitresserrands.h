#pragma once

#include "field/scene.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"

class ActionSpot;
class Command;
class PlayMode;
class Waitress;
class WalkGrid;
struct PlayField;

// Where the clicks send the waitress, and her walk there. A click on a
// target becomes her errand at once when she is free: walk to the target's
// place, face it, use it with the click's hand. While she is busy the clicks
// wait their turn, up to six. Her walk follows a route on the walk grid,
// one heading at a time, and a walk that stops moving ends.
class WaitressErrands {
public:
    enum { CLICK_QUEUE_LIMIT = 6, STALL_FRAMES = 8 };

    // The commands run against the play screen; the grid and the field stay theirs.
    WaitressErrands(PlayMode* pMode, const WalkGrid& grid, PlayField& field);
    ~WaitressErrands();

    // Her figure, once the level is built.
    void setWaitress(Waitress* pWaitress) { m_pWaitress = pWaitress; }

    // A route on the walk grid to the point; false when there is none.
    bool walkTo(int nX, int nY);
    void stopWalking();
    bool isWalkPending() const { return m_bWalkPending; }
    // The point her walk ends at; false when she is not walking.
    bool getWalkEnd(PathWaypoint& end) const;

    // A click on the target with hand 0 (the left button) or 1; false when
    // the queue was full and the click is dropped.
    bool click(const Tsl::SmartPtr<ActionSpot>& pTarget, int nHand);
    // One frame of her walk, the orders she takes on her way, and her errands.
    void update(float fDt);

    int getQueuedClickCount() const { return m_lClicks.getCount(); }
    int getCommandCount() const { return m_lCommands.getCount(); }

private:
    struct Click {
        Tsl::SmartPtr<ActionSpot> pSpot;
        int nHand;
    };
    void send(const Click& click);
    void updateWalk(float fDt);
    void chooseStep(float fX, float fY, const PathWaypoint& next, int& nHeading, int& nSecond) const;
    void takeOrdersNearby();
    void updateCommands();

    PlayMode* m_pMode;
    const WalkGrid& m_grid;
    PlayField& m_field;
    Waitress* m_pWaitress = nullptr;
    Tsl::List<Tsl::SmartPtr<Command>> m_lCommands;
    Tsl::List<Click> m_lClicks;
    bool m_bCommandStarted = false;
    bool m_bWalkPending = false;
    Tsl::List<PathWaypoint> m_lRoute;
    int m_nStallFrames = 0;
    bool m_bStopSeen = false;
};
