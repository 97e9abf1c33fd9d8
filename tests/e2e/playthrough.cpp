// playthrough <content folder>
//
// Plays the game from its start to its exit the way a player does, for the
// end-to-end test: the real program's start-up, screens and content, driven
// by a script of input events. Each step waits (a bounded number of frames)
// until its screen is on top, saves a screenshot in the working folder and
// acts. The clock advances a fixed 125 ms a frame and the game's rand() has a
// fixed seed, so a busy machine changes nothing but the run's length.
// Exits 0 when every stop was reached and every screenshot looked alive.
#include "harness.h"

#include "field/gamestatsmode.h"
#include "game/loadingscreen.h"
#include "game/menumode.h"
#include "field/playfield.h"
#include "field/playmode.h"
#include "game/qarnapp.h"
#include "game/qarnexitconfirm.h"
#include "store/storemode.h"
#include "story/storymanager.h"
#include "field/tip.h"
#include "field/weekgoals.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/targets/fieldspots.h"
#include "field/customers/actionballoon.h"
#include "field/mug.h"
#include "field/waitress.h"

#include "platform/platform.h"
#include "screens/selectprofile.h"
#include "screens/splashscreen.h"
#include "image/rect.h"
#include "ui/button.h"
#include "ui/control.h"

#include <SDL.h>

#include <cstdio>
#include <algorithm>
#include <cxxabi.h>
#include <typeinfo>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

enum { STEP_FRAME_LIMIT = 6000, SHOT = 16, KEY_ENTER = 13, KEY_ESCAPE = 27 };

using e2e::app;

template <class Mode>
Mode* top() {
    if (app()->getModeCount() == 0) return nullptr;
    return dynamic_cast<Mode*>(app()->getModeAt(0).get());
}

// A press and a release where a player would click, the pointer moved there first.
void click(int nX, int nY, int nButton = MB_LEFT) {
    app()->getPlatform()->setMousePosition(nX, nY);
    app()->onMouseMove(nX, nY, true);
    app()->onMouseDown(nButton, nX, nY);
    app()->onMouseUp(nButton, nX, nY);
}

void press(int nKey) {
    app()->onKeyDown(nKey, 0);
    app()->onKeyUp(nKey, 0);
}

void clickCentre(const Sprite* pSprite) {
    Rect rect = pSprite->getScreenRect();
    click(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2);
}

// Clicks the centre of the mode's control with that id; false when it has none.
bool clickControl(GameMode* pMode, int nId) {
    for (const Tsl::SmartPtr<Sprite>& pSprite : pMode->getControls()) {
        Control* pControl = dynamic_cast<Control*>(pSprite.get());
        if (!pControl || pControl->getId() != nId || !pControl->isVisible()) continue;
        clickCentre(pControl);
        return true;
    }
    std::fprintf(stderr, "playthrough: no control %d on the screen\n", nId);
    return false;
}

void describeField();

struct Step {
    const char* pszName;
    std::function<bool()> fnReady;
    std::function<bool()> fnAct;  // false: the script cannot go on
    // A screenshot once the stop has been seen this many frames; 0: none.
    int nShotAfter;
};

// The script: its steps in order, one looked at each frame.
class Playthrough {
public:
    explicit Playthrough(std::vector<Step> lSteps) : m_lSteps(std::move(lSteps)) {}

    void onFrame() {
        if (app()->isQuitRequested() || m_bFailed) return;
        if (m_nStep >= m_lSteps.size()) {
            if (++m_nFrames > STEP_FRAME_LIMIT) fail("the program did not end");
            return;
        }
        reportTopChange();
        const Step& step = m_lSteps[m_nStep];
        // The frame drawn since the stop was seen is on the screen now.
        if (m_bShotDue && !saveShot(step.pszName)) return fail("screenshot");
        if (!m_bShotDue) {
            if (++m_nFrames > STEP_FRAME_LIMIT) return fail("never came");
            if (!step.fnReady()) {
                m_nSettled = 0;
                return;
            }
            if (step.nShotAfter > 0) {
                if (++m_nSettled < step.nShotAfter) return;
                m_bShotDue = true;
                return;
            }
        }
        m_bShotDue = false;
        std::printf("playthrough: %s after %d frames\n", step.pszName, m_nFrames);
        if (!step.fnAct()) return fail("could not act");
        ++m_nStep;
        m_nFrames = 0;
        m_nSettled = 0;
    }

    bool isDone() const { return m_nStep == m_lSteps.size() && !m_bFailed; }

private:
    // The screens on the way, so that a failed run tells where it stood.
    void reportTopChange() {
        GameMode* pTop = app()->getModeCount() ? app()->getModeAt(0).get() : nullptr;
        if (pTop == m_pLastTop) return;
        m_pLastTop = pTop;
        char* pszName = pTop ? abi::__cxa_demangle(typeid(*pTop).name(), nullptr, nullptr, nullptr) : nullptr;
        std::printf("playthrough: on top: %s\n", pszName ? pszName : "nothing");
        std::free(pszName);
    }

    void fail(const char* pszWhy) {
        const char* pszStep = m_nStep < m_lSteps.size() ? m_lSteps[m_nStep].pszName : "end";
        std::fprintf(stderr, "playthrough: step '%s' failed: %s\n", pszStep, pszWhy);
        describeField();
        m_bFailed = true;
        m_nStep = m_lSteps.size();
        app()->quit(1);
    }

    // Not blank (several colours) and not the last stop's picture again.
    bool saveShot(const char* pszName) {
        char szFile[64];
        std::snprintf(szFile, sizeof(szFile), "%02d-%s.bmp", ++m_nShots, pszName);
        std::vector<Uint32> aPixels;
        if (!e2e::saveScreen(szFile, &aPixels)) return false;
        size_t nColours = e2e::countColours(aPixels, 16);
        size_t nChanged = e2e::countChanged(m_aLast, aPixels);
        bool bChanged = m_aLast.empty() || nChanged * 50 > aPixels.size();
        std::printf("playthrough: %s: %zu colours, %zu of %zu samples changed\n", szFile, nColours, nChanged,
                    aPixels.size());
        m_aLast = aPixels;
        if (nColours < 8) std::fprintf(stderr, "playthrough: %s is blank\n", szFile);
        if (!bChanged) std::fprintf(stderr, "playthrough: %s is the last picture again\n", szFile);
        return nColours >= 8 && bChanged;
    }

    std::vector<Step> m_lSteps;
    size_t m_nStep = 0;
    int m_nFrames = 0;
    int m_nSettled = 0;
    int m_nShots = 0;
    bool m_bFailed = false;
    bool m_bShotDue = false;
    std::vector<Uint32> m_aLast;
    GameMode* m_pLastTop = nullptr;
};

// --- the level: one customer served by clicks -----------------------------

PlayMode* playing() {
    PlayMode* pMode = top<PlayMode>();
    return pMode && pMode->getPhase() == PlayMode::PHASE_PLAYING ? pMode : nullptr;
}

Tsl::SmartPtr<Character> askingCustomer(PlayMode* pMode) {
    for (const Tsl::SmartPtr<Character>& pChar : pMode->getField()->m_lSeatOccupants)
        if (pChar && pChar->getState() == Character::STATE_ASKING) return pChar;
    return nullptr;
}

Tsl::SmartPtr<Character> waitingCustomer(PlayMode* pMode) {
    for (const Tsl::SmartPtr<Character>& pChar : pMode->getField()->m_lSeatOccupants)
        if (pChar && pChar->getState() == Character::STATE_WAITING) return pChar;
    return nullptr;
}

bool idle(PlayMode* pMode) {
    return pMode->getWaitress()->isFree() && pMode->getCommandCount() == 0 && pMode->getQueuedClickCount() == 0;
}

// The spot a click at the point reaches, as the play screen picks it.
ActionSpot* spotAt(PlayMode* pMode, int nX, int nY) {
    bool bBalloon = false;
    return pMode->hitTarget(nX, nY, bBalloon).get();
}

// Where a target is drawn: its pictures, or its guest and the glass there.
std::vector<Rect> shownRects(ActionSpot* pSpot) {
    std::vector<Rect> aRects;
    CharacterSpot* pSeat = dynamic_cast<CharacterSpot*>(pSpot);
    if (pSeat && pSeat->getCharacter() && pSeat->getCharacter()->getSprite())
        aRects.push_back(pSeat->getCharacter()->getSprite()->getScreenRect());
    for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) aRects.push_back(pPicture->getScreenRect());
    return aRects;
}

// Clicks the centre of the spot's picture, or the point nearest it that no
// other picture covers.
bool clickSpot(PlayMode* pMode, ActionSpot* pSpot) {
    if (!pSpot) return false;
    for (const Rect& r : shownRects(pSpot)) {
        int nCentreX = int(r.left + r.right) / 2, nCentreY = int(r.top + r.bottom) / 2;
        for (int nOff = 0; nOff < 64; nOff += 4)
            for (int nSideX : {0, -1, 1})
                for (int nSideY : {0, -1, 1}) {
                    int nX = nCentreX + nSideX * nOff, nY = nCentreY + nSideY * nOff;
                    if (spotAt(pMode, nX, nY) != pSpot) continue;
                    click(nX, nY);
                    return true;
                }
    }
    std::fprintf(stderr, "playthrough: every point of the spot is covered\n");
    return false;
}

// A click on the tip's bubble (its largest piece, the frame) closes it.
bool closeTip(Tip* pTip) {
    const Sprite* pLargest = nullptr;
    for (const Tsl::SmartPtr<Sprite>& pSprite : pTip->getSprites())
        if (!pLargest || pSprite->getWidth() * pSprite->getHeight() > pLargest->getWidth() * pLargest->getHeight())
            pLargest = pSprite.get();
    if (pLargest) clickCentre(pLargest);
    return pLargest != nullptr;
}

// The next thing a player does to serve a customer: take an order, draw its
// drink, carry the glass to the seat. Only while she stands idle, so no
// click queues behind another; a customer who left makes way for the next.
bool serveNext() {
    PlayMode* pMode = playing();
    if (!pMode || !idle(pMode)) return true;
    if (pMode->getTip()->isShown()) return closeTip(pMode->getTip());
    Tsl::SmartPtr<Character> pChar = waitingCustomer(pMode);
    if (!pChar) {
        pChar = askingCustomer(pMode);
        if (pChar) std::printf("playthrough: takes an order\n");
        return !pChar || clickSpot(pMode, pChar->getBalloon().get());
    }
    Tsl::SmartPtr<Mug> pGlass = pMode->getWaitress()->getHandContents(0);
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
        if (pGlass) {
            CharacterSpot* pSeat = dynamic_cast<CharacterSpot*>(pSpot.get());
            if (pSeat && pSeat->getCharacter() == pChar) {
                std::printf("playthrough: serves drink %d\n", pGlass->getDrink());
                return clickSpot(pMode, pSeat);
            }
        } else {
            LiquidButton* pTap = dynamic_cast<LiquidButton*>(pSpot.get());
            if (pTap && pTap->getDrink() == pChar->getOrder()) {
                std::printf("playthrough: draws drink %d\n", pTap->getDrink());
                return clickSpot(pMode, pTap);
            }
        }
    }
    std::fprintf(stderr, "playthrough: nowhere to click for drink %d\n", pChar->getOrder());
    return false;
}

bool mapWaiting() {
    StoryManagerMode* pMap = top<StoryManagerMode>();
    return pMap && pMap->getStep() == StoryManagerMode::STEP_WAITING && !pMap->isMarkerMoving();
}

// Until the stop is reached the action is repeated every eighth frame: story
// pages go by with Escape, and a click that only closed a tip is made again.
std::function<bool()> repeatUntil(std::function<bool()> fnReady, std::function<bool()> fnAction) {
    auto pFrame = std::make_shared<int>(0);
    return [fnReady, fnAction, pFrame]() {
        if (fnReady()) return true;
        if (++*pFrame % 8 == 0) fnAction();
        return false;
    };
}

std::function<bool()> skipUntil(std::function<bool()> fnReady) {
    return repeatUntil(fnReady, [] {
        press(KEY_ESCAPE);
        return true;
    });
}

// What a failed level looked like, for the test's output.
void describeField() {
    PlayMode* pMode = top<PlayMode>();
    if (!pMode) return;
    std::fprintf(stderr, "playthrough: phase %d, %.1f s, waitress %s, %d commands, %d clicks\n", pMode->getPhase(),
                 double(pMode->getLevelSeconds()), pMode->getWaitress()->isFree() ? "free" : "busy",
                 pMode->getCommandCount(), pMode->getQueuedClickCount());
    for (const Tsl::SmartPtr<Character>& pChar : pMode->getField()->m_lSeatOccupants)
        if (pChar) std::fprintf(stderr, "playthrough: customer state %d order %d\n", pChar->getState(), pChar->getOrder());
}

// She stands with the glass a waiting customer ordered: the moment before serving.
bool bringsOrder() {
    PlayMode* pMode = playing();
    if (!pMode || !idle(pMode)) return false;
    Tsl::SmartPtr<Character> pChar = waitingCustomer(pMode);
    Tsl::SmartPtr<Mug> pGlass = pMode->getWaitress()->getHandContents(0);
    return pChar && pGlass && pGlass->getDrink() == pChar->getOrder() && !pMode->getTip()->isShown();
}

bool served() { return playing() && playing()->getField()->m_nCustomersServed > 0; }

// The menu on top with its pictures, buttons and logo faded in.
bool menuShown() {
    MenuMode* pMenu = top<MenuMode>();
    if (!pMenu) return false;
    for (const SpriteList* pGroup : {&pMenu->getBackdrop(), &pMenu->getMenuItems(), &pMenu->getLogo()})
        if (pGroup->getCount() > 0 && pGroup->getAt(0)->getAlpha() < 1.0f) return false;
    return true;
}

std::vector<Step> script() {
    auto nothing = [] { return true; };
    return {
        {"splash", [] { return top<SplashScreen>() != nullptr; }, nothing, SHOT},
        {"loading", [] { return top<LoadingScreen>() != nullptr; }, nothing, 2},
        {"profile", [] { return top<CreateProfileDialog>() != nullptr; },
         [] {
             for (const char* p = "Tester"; *p; ++p) app()->onChar(*p);
             press(KEY_ENTER);
             return true;
         },
         SHOT},
        {"menu", menuShown,
         [] { return clickControl(top<MenuMode>(), MenuMode::CMD_STORY); }, SHOT},
        {"map", skipUntil(mapWaiting),
         [] { return clickControl(top<StoryManagerMode>(), StoryManagerMode::ID_PLAY_NEXT); }, SHOT},
        {"week-goal", [] { return top<WeekGoalDialog>() != nullptr; },
         [] {
             press(KEY_ENTER);
             return true;
         },
         SHOT},
        {"play-field", repeatUntil(bringsOrder, serveNext), nothing, SHOT},
        {"served", repeatUntil(served, serveNext), nothing, 0},
        {"results",
         // An open tip holds the day: it is read and closed as it comes.
         repeatUntil(
             [] {
                 GameStatsMode* pResults = top<GameStatsMode>();
                 return pResults && pResults->getOkButton() && pResults->getOkButton()->isEnabled();
             },
             [] {
                 PlayMode* pMode = playing();
                 return !pMode || pMode->getTip()->isHidden() || closeTip(pMode->getTip());
             }),
         [] {
             Tsl::SmartPtr<Button> pOk = top<GameStatsMode>()->getOkButton();
             if (!pOk) return false;
             clickCentre(pOk.get());
             return true;
         },
         SHOT},
        {"map-again", skipUntil(mapWaiting),
         [] { return clickControl(top<StoryManagerMode>(), StoryManagerMode::ID_STORE); }, SHOT},
        {"store", [] { return top<StoreMode>() != nullptr; },
         [] { return clickControl(top<StoreMode>(), StoreMode::ID_BACK); }, SHOT},
        {"map-last", skipUntil(mapWaiting),
         [] { return clickControl(top<StoryManagerMode>(), StoryManagerMode::ID_EXIT); }, SHOT},
        {"menu-last", [] { return top<MenuMode>() != nullptr; },
         [] {
             app()->onQuit();  // the window's close box
             return true;
         },
         SHOT},
        {"exit-question", [] { return top<QarnExitConfirmMode>() != nullptr; },
         [] { return clickControl(top<QarnExitConfirmMode>(), ExitConfirmMode::ID_YES); }, SHOT},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: playthrough <content folder>\n");
        return 2;
    }
    Playthrough playthrough(script());
    int nExit = e2e::runScripted("Playthrough", argv[1], [&playthrough] { playthrough.onFrame(); });
    if (nExit != 0) return nExit;
    return playthrough.isDone() ? 0 : 1;
}
