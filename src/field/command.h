#pragma once

#include "field/targets/actionspot.h"
#include "tsl2/refcount.h"

class PlayMode;

// One step of what a click asks of the waitress. The play screen starts the
// first command of its list and takes the next once it reports done.
class Command : public Tsl::RefCountedObject {
public:
    virtual void start(PlayMode* pMode) = 0;
    virtual bool isDone(PlayMode* pMode) = 0;
    // A failed step drops the rest of its click's commands.
    virtual bool hasFailed() const { return false; }
};

// Walks to the point on the walk grid; done when she arrives or the walk stops.
class CmdWalk : public Command {
public:
    CmdWalk(int nX, int nY) : m_nX(nX), m_nY(nY), m_bFailed(false) {}
    void start(PlayMode* pMode) override;
    bool isDone(PlayMode* pMode) override;
    bool hasFailed() const override { return m_bFailed; }
    enum { ARRIVAL_SLACK = 8 };

private:
    int m_nX, m_nY;
    bool m_bFailed;
};

class CmdSetHeading : public Command {
public:
    explicit CmdSetHeading(int nHeading) : m_nHeading(nHeading) {}
    void start(PlayMode* pMode) override;
    bool isDone(PlayMode*) override { return true; }

private:
    int m_nHeading;
};

// Acts on the target with the hand; a refusal is shown (hand held out, a
// sound) and ends the command.
class CmdUseTarget : public Command {
public:
    CmdUseTarget(Tsl::SmartPtr<ActionSpot> pTarget, int nHand) : m_pTarget(pTarget), m_nHand(nHand) {}
    void start(PlayMode* pMode) override;
    bool isDone(PlayMode* pMode) override;
    ActionSpot* getTarget() const { return m_pTarget.get(); }
    int getHand() const { return m_nHand; }

private:
    Tsl::SmartPtr<ActionSpot> m_pTarget;
    int m_nHand;
};
