#pragma once

#include "field/targets/actiontarget.h"
#include "anim/animsprite.h"
#include "field/mug.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class PlayMode;

// The figure the player steers: five sprites of one template animation (body,
// two arms, two thumbs) at one point, a state (stand, walk, act), a heading
// and the glasses she carries in her hands or on a tray.
class Waitress : public Tsl::RefCountedObject {
public:
    enum State { STATE_STAND = 0, STATE_WALK = 2, STATE_ACT = 3 };
    enum Heading { NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3 };
    enum { HAND_PLACE_COUNT = 88, ARM_COUNT = 2, SPRITE_COUNT = 5 };

    // Builds the figure from "<baseName>.template"; a capacity other than 2,
    // 4 or 6 counts as 2.
    Waitress(PlayMode* pMode, const char* pszBaseName, int nX, int nY, int nCapacity);
    ~Waitress() override;
    // Queues the figure's animation for that base name and capacity to be
    // loaded ahead of the construction (GameApp::preloadAnimation).
    static void preloadFigure(const char* pszBaseName, int nCapacity);

    // Rebuilds the figure from the template file (the full name) for a new capacity.
    void setCapacity(const Tsl::String& sTemplateFile, int nCapacity);
    // Applies the depth scale of the current y; the glasses are not moved.
    void updateScale();

    int getX() const { return static_cast<int>(m_fX); }
    int getY() const { return static_cast<int>(m_fY); }
    void getPosition(int& nX, int& nY) const;
    void getPosition(float& fX, float& fY) const;
    int getHeading() const { return m_nHeading; }
    int getState() const { return m_nState; }
    float getScale() const { return m_fScale; }
    void getHandPosition(int& nX, int& nY, int nHand) const;
    // Where a hand (0, 1 or 2, the tray) reaches from her feet when she faces that way.
    static void getReachOffset(int nHeading, int nHand, int& nDx, int& nDy);
    int getCapacity() const { return m_nCapacity; }
    bool hasTray() const { return m_bHasTray; }
    bool isWalking() const { return m_nState == STATE_WALK; }
    bool isHandBusy(int nHand) const { return m_nState == STATE_ACT && m_nActingArm == nHand; }
    bool isFree() const { return !isWalking() && !isHandBusy(0) && !isHandBusy(1); }
    bool hasStoppedWalking() const { return m_nPreviousState == STATE_WALK && m_nState != STATE_WALK; }
    void getVelocity(float fDt, float& fVx, float& fVy) const;

    // A point outside every walk area is refused: nothing changes.
    void setPosition(float fX, float fY);
    void setHeading(int nHeading);
    // One walk step; the play screen calls it every frame while she walks.
    void startWalking(int nHeading, int nSecondDirection);
    void stop();

    // The target's action kind when the action starts, else -1. Without a
    // target the hand is held out (the refusal gesture).
    int startAction(Tsl::SmartPtr<IActionTarget> pTarget, int nHand);
    virtual void update(float fDt);

    // Carrying. Slots outside 0..capacity-1 are never filled: null / refused.
    Tsl::SmartPtr<Mug> getHandContents(int nSlot) const;
    bool isHandEmpty(int nSlot) const { return !getHandContents(nSlot); }
    int getMugCount() const;
    // Into the first empty slot; false (nothing changes) when all are full.
    bool setHandContents(Tsl::SmartPtr<Mug> pMug);
    // Into that slot; false (nothing changes) when it is full or not below the capacity.
    bool setHandContents(Tsl::SmartPtr<Mug> pMug, int nSlot);
    Tsl::SmartPtr<Mug> takeHandContents(int nSlot);
    Tsl::List<Tsl::SmartPtr<Mug>> takeEmptyMugs();
    Tsl::List<Tsl::SmartPtr<Mug>> getFullMugs() const;
    void placeMugs();

    // The five sprites: 0 main, 1 arm 0, 2 arm 1, 3 thumb 0, 4 thumb 1.
    Tsl::SmartPtr<AnimSprite> getSprite(int nIndex) const;
    Tsl::SmartPtr<IActionTarget> getTarget() const { return m_pTarget; }

private:
    void buildFigure(const Tsl::String& sFile);
    void setState(int nNewState);
    void completeAction();
    void releaseTarget();
    void showStandingArms();
    void playArmSequence(int nHandIndex, const char* pszArm, const char* pszThumb);
    void updateZOrders();
    // Plays the sequence; a name the template lacks hides the sprite and is logged once.
    void play(const Tsl::SmartPtr<AnimSprite>& pSprite, const Tsl::String& sSequence, int nLoop = -1);
    float depthScale(float fY) const;
    void applyScale(float fScale);
    // The hand place of an arm's "position", clamped into the table (logged).
    int handPlace(const Tsl::SmartPtr<AnimSprite>& pArm) const;
    bool contentsFull(int nSlot) const { return !isHandEmpty(nSlot); }
    void addSprites();
    void removeSprites();

    Tsl::SmartPtr<AnimSprite> m_pMainSprite;
    Tsl::SmartPtr<AnimSprite> m_pArmSprites[ARM_COUNT];
    Tsl::SmartPtr<AnimSprite> m_pThumbSprites[ARM_COUNT];
    PlayMode* m_pMode;
    int m_nState;
    int m_nPreviousState;
    float m_fX, m_fY;
    int m_nHeading;
    int m_nSecondDirection;
    bool m_bRightFoot;
    Tsl::SmartPtr<IActionTarget> m_pTarget;
    int m_nActingArm;
    int m_nActingHand;
    Tsl::List<Tsl::SmartPtr<Mug>> m_lMugs;
    int m_nCapacity;
    bool m_bHasTray;
    float m_fScale;
    // Sequence names already reported missing.
    mutable Tsl::Hash<Tsl::String, int> m_hMissing;
};
