// Time-driven behaviours attached to a sprite, and the controllers that
// compose them. A controller has exactly one holder (a sprite, a composite or
// a wrapper), which starts it when it becomes active, steps it every frame and
// deletes it once it reports that it is done. A controller never deletes
// itself and never takes itself out of its holder.
#pragma once

#include "app/callbacktarget.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/timer.h"

class Sprite;

class SpriteController {
public:
    SpriteController();
    virtual ~SpriteController();

    virtual void start(Tsl::SmartPtr<Sprite> pSprite);
    // True when done.
    virtual bool update(Tsl::SmartPtr<Sprite> pSprite);
    // Advances the timer, then update.
    virtual bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite);
    // Finishes at once: a step by the time left on the timer.
    virtual bool tick(Tsl::SmartPtr<Sprite> pSprite);
    // True once the controller has used up what it held (a delay whose inner
    // controller finished, a hand-over done): another turn in a loop would
    // do nothing, so the loop lets it go.
    virtual bool isSpent() const { return false; }

    Tsl::SmartPtr<Timer> getTimer() const { return m_pTimer; }

private:
    SpriteController(const SpriteController&) = delete;
    SpriteController& operator=(const SpriteController&) = delete;

    Tsl::SmartPtr<Timer> m_pTimer;
};

typedef Tsl::List<SpriteController*> SpriteControllerList;

// Composites own their children and delete every child they still hold when
// they go. Their own timer is not used.
class SCComposite : public SpriteController {
public:
    ~SCComposite() override;

protected:
    SCComposite() {}
    // Null entries are dropped, as add() drops them.
    explicit SCComposite(const SpriteControllerList& lChildren);
    // Finishes every child in list order (the count taken once). With
    // bStartOthers every child but the running one is started first: it is
    // not running, and finishing it without its start-up would skip work
    // that its end state may depend on.
    void tickChildren(Tsl::SmartPtr<Sprite> pSprite, bool bStartOthers, int nRunning);
    void deleteChildAt(int nIndex);
    // Shared by the composites that publish them.
    void add(SpriteController* pController);
    int getCount() const { return m_lChildren.getCount(); }
    SpriteController* getAt(int nIndex) const { return m_lChildren.getAt(nIndex); }

    SpriteControllerList m_lChildren;
};

// One child after the other.
class SCQueue : public SCComposite {
public:
    SCQueue() {}
    explicit SCQueue(const SpriteControllerList& lChildren) : SCComposite(lChildren) {}

    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;
    // Its children go as they finish.
    bool isSpent() const override { return m_lChildren.isEmpty(); }
    using SCComposite::getCount;
    using SCComposite::getAt;
    using SCComposite::add;
};

// All children at once; done on the step in which the last one finishes.
class SCSet : public SCComposite {
public:
    explicit SCSet(const SpriteControllerList& lChildren) : SCComposite(lChildren) {}

    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;
    bool isSpent() const override { return m_lChildren.isEmpty(); }
    using SCComposite::getCount;
    using SCComposite::getAt;
};

// The children in turn, for ever: a finished child is restarted on its next
// turn. Only tick, or taking the loop off the sprite, ends it; a child that
// finishes spent is deleted instead, and a loop left without children ends.
class SCLoop : public SCComposite {
public:
    SCLoop() : m_nIndex(0) {}
    explicit SCLoop(const SpriteControllerList& lChildren) : SCComposite(lChildren), m_nIndex(0) {}

    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;

    using SCComposite::add;

private:
    int m_nIndex;
};

// Adds the held controller to the sprite once every other controller of the
// sprite has finished.
class SCWhenDone : public SpriteController {
public:
    explicit SCWhenDone(SpriteController* pNext) : m_pNext(pNext) {}
    ~SCWhenDone() override;

    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;
    bool isSpent() const override { return m_pNext == nullptr; }

private:
    void handOver(Tsl::SmartPtr<Sprite> pSprite);

    SpriteController* m_pNext;
};

// Calls the target back once every other controller of the sprite has finished.
class SCCallbackWhenDone : public SpriteController {
public:
    SCCallbackWhenDone(ICallbackTarget* pTarget, int nId, int nData) : m_pTarget(pTarget), m_nId(nId), m_nData(nData) {}

    bool update(Tsl::SmartPtr<Sprite> pSprite) override;

private:
    ICallbackTarget* m_pTarget;
    int m_nId;
    int m_nData;
};

// Takes the sprite out of its mode once every other controller has finished.
class SCRemoveWhenDone : public SpriteController {
public:
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
};

// Starts the inner controller after a delay, handing it the part of the
// frame that lies after the delay ended.
class SCDelayController : public SpriteController {
public:
    SCDelayController(float fDelay, SpriteController* pInner)
        : m_fDelay(fDelay), m_pInner(pInner), m_bInnerStarted(false) {}
    ~SCDelayController() override;

    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    bool tick(Tsl::SmartPtr<Sprite> pSprite) override;
    bool isSpent() const override { return m_bInnerStarted && !m_pInner; }

private:
    void startInner(Tsl::SmartPtr<Sprite> pSprite);
    void dropInner();

    float m_fDelay;
    SpriteController* m_pInner;
    // A delay of 0 or less runs out before the first step: the inner
    // controller must still be started once, and only once.
    bool m_bInnerStarted;
};
