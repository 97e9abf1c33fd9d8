// The event pump against pushed SDL events and a recording application.
#include "sdl_fixtures.h"

#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Plays the activation state and cursor position the dummy video driver
// cannot produce, and records warps.
class ScriptedPlatform : public SDLPlatform {
public:
    Uint8 nAppState = SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    int nMouseX = 0, nMouseY = 0;
    std::vector<std::pair<int, int>> warps;
    using SDLPlatform::pollMouse;

protected:
    Uint8 queryAppState() override { return nAppState; }
    void queryMouseState(int* pX, int* pY) override {
        *pX = nMouseX;
        *pY = nMouseY;
    }
    void warpMouse(Uint16 nX, Uint16 nY) override {
        warps.emplace_back(nX, nY);
        nMouseX = nX;
        nMouseY = nY;
    }
};

class EventPump : public ::testing::Test {
protected:
    void SetUp() override {
        pPlatform = new ScriptedPlatform();
        pAudio = new RecordingAudio();
        pPlatform->setAudioDriver(pAudio);
        app.setPlatform(pPlatform);
        pPlatform->init();
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
    }

    void pushKey(Uint8 nType, int nKey, int nMod, Uint16 nUnicode) {
        SDL_Event event = {};
        event.type = nType;
        event.key.keysym.sym = static_cast<SDLKey>(nKey);
        event.key.keysym.mod = static_cast<SDLMod>(nMod);
        event.key.keysym.unicode = nUnicode;
        ASSERT_EQ(0, SDL_PushEvent(&event));
    }
    void pushButton(Uint8 nType, int nButton) {
        SDL_Event event = {};
        event.type = nType;
        event.button.button = static_cast<Uint8>(nButton);
        ASSERT_EQ(0, SDL_PushEvent(&event));
    }
    void pushMotion() {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        ASSERT_EQ(0, SDL_PushEvent(&event));
    }
    void pushActive(Uint8 nGain, Uint8 nState) {
        SDL_Event event = {};
        event.type = SDL_ACTIVEEVENT;
        event.active.gain = nGain;
        event.active.state = nState;
        ASSERT_EQ(0, SDL_PushEvent(&event));
    }
    std::vector<std::string> pump() {
        app.calls.clear();
        pAudio->calls.clear();
        pPlatform->processEvents();
        return app.calls;
    }

    RecordingApp app;
    ScriptedPlatform* pPlatform = nullptr;
    RecordingAudio* pAudio = nullptr;
};

typedef std::vector<std::string> Calls;

TEST_F(EventPump, MotionArrivesOnceAfterKeysAndButtonsAtTheFinalPosition) {
    pushMotion();
    pushKey(SDL_KEYDOWN, 'a', 0, 'a');
    pushMotion();
    pushButton(SDL_MOUSEBUTTONDOWN, 1);
    pushButton(SDL_MOUSEBUTTONUP, 1);
    pushMotion();
    pPlatform->nMouseX = 30;
    pPlatform->nMouseY = 40;
    EXPECT_EQ((Calls{"down 97 0", "char 97", "mdown 1 30,40", "mup 1 30,40", "move 30,40"}), pump());

    // No motion: the position is refreshed but no move is delivered.
    pPlatform->nMouseX = 50;
    pushKey(SDL_KEYUP, 'a', 0, 0);
    EXPECT_EQ((Calls{"up 97"}), pump());
    int nX = 0;
    pPlatform->getMousePosition(&nX, nullptr);
    EXPECT_EQ(50, nX);
}

TEST_F(EventPump, AltF4QuitsWithoutReachingTheKeyHandler) {
    pushKey(SDL_KEYDOWN, 285, KMOD_LALT, 0);
    EXPECT_EQ((Calls{"quit"}), pump());
    pushKey(SDL_KEYDOWN, 285, KMOD_RALT, 0);
    EXPECT_EQ((Calls{"quit"}), pump());
    pushKey(SDL_KEYDOWN, 285, 0, 0);
    EXPECT_EQ((Calls{"down 285 0"}), pump());

    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_EQ((Calls{"quit"}), pump());
}

// The window's close button asks (the application's onQuit); a termination
// signal, which SDL would turn into the same quit event, ends the run
// without asking, also once video has started after the platform.
TEST_F(EventPump, TerminationSignalsEndTheRunWithoutTheExitQuestion) {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_EQ((Calls{"quit"}), pump());
    EXPECT_FALSE(app.isQuitRequested());
    for (int nSignal : {SIGTERM, SIGINT}) {
        ASSERT_EQ(0, raise(nSignal));
        EXPECT_EQ(Calls{}, pump()) << nSignal;
        EXPECT_TRUE(app.isQuitRequested()) << nSignal;
        EXPECT_EQ(0, app.getExitCode()) << nSignal;
    }
}

TEST_F(EventPump, HandledKeysAndKeysWithoutUnicodeGiveNoCharacter) {
    app.handledKeys = {'x'};
    pushKey(SDL_KEYDOWN, 'x', 0, 'x');
    pushKey(SDL_KEYDOWN, 'y', 0, 'y');
    pushKey(SDL_KEYDOWN, 273, 0, 0);
    EXPECT_EQ((Calls{"down 120 0", "down 121 0", "char 121", "down 273 0"}), pump());
}

TEST_F(EventPump, ButtonMasksIncludingWheelAndIgnoredExtraButtons) {
    for (int nButton = 2; nButton <= 7; ++nButton) {
        pushButton(SDL_MOUSEBUTTONDOWN, nButton);
        pushButton(SDL_MOUSEBUTTONUP, nButton);
    }
    EXPECT_EQ((Calls{"mdown 2 0,0", "mup 2 0,0", "mdown 4 0,0", "mup 4 0,0", "mdown 8 0,0", "mup 8 0,0",
                     "mdown 16 0,0", "mup 16 0,0"}),
              pump());
}

TEST_F(EventPump, ActivationChangesPauseAndResumeSoundOnce) {
    // Input focus lost while still visible.
    pPlatform->nAppState = SDL_APPMOUSEFOCUS | SDL_APPACTIVE;
    pushActive(0, SDL_APPINPUTFOCUS);
    EXPECT_EQ((Calls{"deactivate"}), pump());
    EXPECT_EQ((Calls{"pause"}), pAudio->calls);

    // Iconified on top: the combined state has not changed again.
    pPlatform->nAppState = SDL_APPMOUSEFOCUS;
    pushActive(0, SDL_APPACTIVE);
    EXPECT_EQ((Calls{}), pump());
    EXPECT_TRUE(pAudio->calls.empty());

    pPlatform->nAppState = SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    pushActive(1, SDL_APPINPUTFOCUS | SDL_APPACTIVE);
    EXPECT_EQ((Calls{"activate"}), pump());
    EXPECT_EQ((Calls{"resume"}), pAudio->calls);

    // Mouse focus is reported on every event that carries it.
    pushActive(0, SDL_APPMOUSEFOCUS);
    pushActive(1, SDL_APPMOUSEFOCUS);
    EXPECT_EQ((Calls{"leave", "enter"}), pump());
}

TEST_F(EventPump, KeyAndJoystickQueriesRejectBadIndices) {
    EXPECT_FALSE(pPlatform->isKeyDown(-1));
    EXPECT_FALSE(pPlatform->isKeyDown(1 << 20));
    EXPECT_EQ(0.0f, pPlatform->getJoystickAxis(0, 99));
    EXPECT_FALSE(pPlatform->isJoystickButtonDown(0, 99));
    EXPECT_EQ(0, pPlatform->getJoystickAxisCount(-1));
    EXPECT_STREQ("SDL Platform v1.0", pPlatform->getName());
}

TEST_F(EventPump, SecondDriversAreRefused) {
    DummyAudioDriver second;
    try {
        pPlatform->setAudioDriver(&second);
        FAIL() << "a second audio driver was accepted";
    } catch (const Tsl::AssertFailException& e) {
        EXPECT_STREQ("Assertion failed : !m_pAudioDriver", e.getMessage());
    }
}

} // namespace
