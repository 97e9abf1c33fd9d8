// The whole game with the generated sample content: started as the program
// starts it, a profile made, the story opened from the menu and its levels
// played by a waiter who serves whoever asks, the way the end-to-end player
// does but from the game's state. Either over the fake platform, which draws
// nothing, or over the real drivers (SDL's dummy video and sound under them)
// with a clock of the test's own. Frames are 125 ms of that clock, whole.
#pragma once

#include "../game_fixtures.h"

#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/targets/fieldspots.h"
#include "field/gamestatsmode.h"
#include "game/menumode.h"
#include "player/playermanager.h"
#include "field/playmode.h"
#include "field/customers/spawnmanager.h"
#include "story/storymanager.h"
#include "field/tip.h"
#include "field/waitress.h"
#include "field/weekgoals.h"

#include "app/platformservices.h"
#include "audio/sdl_audio.h"
#include "image/rect.h"
#include "platform/sdl_platform.h"
#include "screens/selectprofile.h"
#include "tsl2/random.h"
#include "video/sdl_d3d7video.h"

#include <SDL/SDL_keysym.h>

#include <functional>
#include <string>
#include <vector>

// A platform on a clock that moves only when the test says, delivering the
// test's input with the frame's own events.
template <class Platform>
class Stepped : public Platform {
public:
    template <class... Args>
    explicit Stepped(const unsigned int* pnTicks, Args... args) : Platform(args...), m_pnTicks(pnTicks) {}
    unsigned int getTicks() override { return *m_pnTicks; }
    void delay(unsigned int) override {}
    void processEvents() override {
        Platform::processEvents();
        std::vector<std::function<void()>> aInput;
        aInput.swap(m_aInput);
        for (const std::function<void()>& fnInput : aInput) fnInput();
    }
    void queueInput(std::function<void()> fnInput) { m_aInput.push_back(std::move(fnInput)); }

private:
    const unsigned int* m_pnTicks;
    std::vector<std::function<void()>> m_aInput;
};

class GameRun {
public:
    enum Drivers { FAKE_DRIVERS, REAL_DRIVERS };
    enum { FRAME_MS = 125, FRAME_LIMIT = 20000, SEED = 4711 };

    TempFolder folder;
    unsigned int m_nTicks = 1000;
    TestQarnApp app;

    // Without the real platform the theme's TrueType fonts are registered here.
    explicit GameRun(Drivers eDrivers)
        : app([this, eDrivers](EventLog* pLog) { return makePlatform(eDrivers, pLog); }),
          m_bRealDrivers(eDrivers == REAL_DRIVERS) {
        if (!m_bRealDrivers) registerPlatformFontFactories();
    }
    ~GameRun() {
        destroyPlayerManager();
        if (!m_bRealDrivers) unregisterPlatformFontFactories();
        GameApp::closeLog();
    }

    // The program's start-up up to the menu, with a new profile.
    bool start() {
        GameApp::openLog(folder.file("game.log").c_str());
        app.setContentFolder(CONTENT_ARCHIVE_DIR);
        app.setSettingsFile(folder.file("config.dat").c_str());
        if (!app.onInit()) return false;
        app.setMaxFrameTime(FRAME_MS / 1000.0f, true);
        Tsl::seedGameRand(SEED);
        app.onMouseDown(MB_LEFT, 10, 10);  // past the splash
        if (!framesUntil([] { return top<CreateProfileDialog>() != nullptr; })) return false;
        for (char c : std::string("Tess")) app.onChar(c);
        app.onKeyDown(SDLK_RETURN, 0);
        return framesUntil([] { return top<MenuMode>() != nullptr; });
    }

    // From the menu to the story map, its pages passed.
    bool openStory() {
        top<MenuMode>()->onCallback(MenuMode::CMD_STORY, 0);
        return framesUntil(mapWaiting, [this] { app.onKeyDown(SDLK_ESCAPE, 0); });
    }

    // The map's next level, played to its end and back on the map.
    bool playLevel() { return startLevel() && finishLevel(); }

    // Up to the first frame of play.
    bool startLevel() {
        top<StoryManagerMode>()->onCallback(StoryManagerMode::ID_PLAY_NEXT, 0);
        if (!framesUntil([] { return top<WeekGoalDialog>() != nullptr; })) return false;
        app.onKeyDown(SDLK_RETURN, 0);
        if (!framesUntil([] { return playing() != nullptr; })) return false;
        m_nOrdersTaken = 0;
        // The delays between customers come from the spawn manager's own generator.
        playing()->getSpawnManager()->getRandom().setSeed(SEED);
        return true;
    }

    // Serves until the bar closes and the results are counted, then back on the map.
    bool finishLevel() {
        auto resultsCounted = [] {
            GameStatsMode* pResults = top<GameStatsMode>();
            return pResults && pResults->getOkButton() && pResults->getOkButton()->isEnabled();
        };
        if (!framesUntil(resultsCounted, [this] { serveNext(); })) return false;
        top<GameStatsMode>()->onCallback(GameStatsMode::ID_OK, 0);
        return framesUntil(mapWaiting, [this] { app.onKeyDown(SDLK_ESCAPE, 0); });
    }

    void frame() {
        m_nTicks += FRAME_MS;
        // The fake platform notes every frame's calls: kept at one frame's worth.
        app.m_log.clear();
        app.runFrame();
    }

    // Frames until the condition holds, acting before each; false after FRAME_LIMIT frames.
    bool framesUntil(const std::function<bool()>& fnDone, const std::function<void()>& fnAct = [] {}) {
        for (int i = 0; i < FRAME_LIMIT; ++i) {
            if (fnDone()) return true;
            fnAct();
            frame();
        }
        return fnDone();
    }

    template <class Mode>
    static Mode* top() {
        GameApp* pApp = GameApp::getInstance();
        return pApp->getModeCount() ? dynamic_cast<Mode*>(pApp->getModeAt(0).get()) : nullptr;
    }

    static PlayMode* playing() {
        PlayMode* pMode = top<PlayMode>();
        return pMode && pMode->getPhase() == PlayMode::PHASE_PLAYING ? pMode : nullptr;
    }

    static bool mapWaiting() {
        StoryManagerMode* pMap = top<StoryManagerMode>();
        return pMap && pMap->getStep() == StoryManagerMode::STEP_WAITING && !pMap->isMarkerMoving();
    }

    // A waiter who takes only so many orders a level fails it: the next level is the same again.
    void setOrdersPerLevel(int nOrders) { m_nOrdersPerLevel = nOrders; }

    // The next click a player makes while she stands idle: close a tip, take
    // an order, draw the drink a waiting customer ordered, or carry it over.
    void serveNext() {
        PlayMode* pMode = playing();
        if (!pMode || !pMode->getWaitress()->isFree() || pMode->getCommandCount() > 0 ||
            pMode->getQueuedClickCount() > 0)
            return;
        if (pMode->getTip()->isShown()) {
            closeTip(pMode->getTip());
            return;
        }
        Tsl::SmartPtr<Character> pWaiting, pAsking;
        for (const Tsl::SmartPtr<Character>& pChar : pMode->getField()->m_lSeatOccupants) {
            if (pChar && pChar->getState() == Character::STATE_WAITING && !pWaiting) pWaiting = pChar;
            if (pChar && pChar->getState() == Character::STATE_ASKING && !pAsking) pAsking = pChar;
        }
        if (!pWaiting) {
            if (!pAsking || m_nOrdersTaken == m_nOrdersPerLevel) return;
            ++m_nOrdersTaken;
            clickSpot(pMode, pAsking->getBalloon().get());
            return;
        }
        Tsl::SmartPtr<Mug> pGlass = pMode->getWaitress()->getHandContents(0);
        for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
            CharacterSpot* pSeat = dynamic_cast<CharacterSpot*>(pSpot.get());
            LiquidButton* pTap = dynamic_cast<LiquidButton*>(pSpot.get());
            bool bServe = pGlass && pSeat && pSeat->getCharacter() == pWaiting;
            bool bDraw = !pGlass && pTap && pTap->getDrink() == pWaiting->getOrder();
            if (bServe || bDraw) {
                clickSpot(pMode, pSpot.get());
                return;
            }
        }
        // A glass nobody waits for goes to the sink.
        for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots())
            if (pGlass && dynamic_cast<TrashBin*>(pSpot.get())) clickSpot(pMode, pSpot.get());
    }

    // A press and release at the point in the next frame, the pointer moved there first.
    void click(int nX, int nY) {
        queueInput([this, nX, nY] {
            app.onMouseMove(nX, nY, true);
            app.onMouseDown(MB_LEFT, nX, nY);
            app.onMouseUp(MB_LEFT, nX, nY);
        });
        ++m_nClicks;
    }
    int getClickCount() const { return m_nClicks; }

    // A click on the bubble's largest piece closes it.
    void closeTip(Tip* pTip) {
        const Sprite* pLargest = nullptr;
        for (const Tsl::SmartPtr<Sprite>& pSprite : pTip->getSprites())
            if (!pLargest || pSprite->getWidth() * pSprite->getHeight() > pLargest->getWidth() * pLargest->getHeight())
                pLargest = pSprite.get();
        if (!pLargest) return;
        Rect rect = pLargest->getScreenRect();
        click(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2);
    }

    // A click on the spot where it is drawn (its pictures, or its guest) and
    // no other target covers it: the centre, or the nearest such point.
    void clickSpot(PlayMode* pMode, ActionSpot* pSpot) {
        if (!pSpot) return;
        std::vector<Rect> aShown;
        CharacterSpot* pSeat = dynamic_cast<CharacterSpot*>(pSpot);
        if (pSeat && pSeat->getCharacter() && pSeat->getCharacter()->getSprite())
            aShown.push_back(pSeat->getCharacter()->getSprite()->getScreenRect());
        for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) aShown.push_back(pPicture->getScreenRect());
        for (const Rect& r : aShown)
            for (int nOff = 0; nOff < 64; nOff += 4)
                for (int nSideX : {0, -1, 1})
                    for (int nSideY : {0, -1, 1}) {
                        int nX = int(r.left + r.right) / 2 + nSideX * nOff, nY = int(r.top + r.bottom) / 2 + nSideY * nOff;
                        bool bBalloon = false;
                        if (pMode->hitTarget(nX, nY, bBalloon).get() != pSpot) continue;
                        click(nX, nY);
                        return;
                    }
    }

private:
    // The test's clock and input over either platform.
    IPlatform* makePlatform(Drivers eDrivers, EventLog* pLog) {
        if (eDrivers == FAKE_DRIVERS) return new Stepped<FakePlatform>(&m_nTicks, pLog);
        SDLPlatform* pPlatform = new Stepped<SDLPlatform>(&m_nTicks);
        pPlatform->setVideoDriver(new D3D7VideoDriver());
        pPlatform->setAudioDriver(new SDLAudioDriver());
        return pPlatform;
    }
    // Input the next frame delivers.
    void queueInput(std::function<void()> fnInput) {
        if (m_bRealDrivers)
            static_cast<Stepped<SDLPlatform>*>(app.getPlatform())->queueInput(std::move(fnInput));
        else
            static_cast<Stepped<FakePlatform>*>(app.getPlatform())->queueInput(std::move(fnInput));
    }

    bool m_bRealDrivers;
    int m_nClicks = 0;
    int m_nOrdersPerLevel = -1;
    int m_nOrdersTaken = 0;
};
