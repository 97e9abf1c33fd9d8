// The player's hands through SDL's event queue and the platform's real
// event pump, one frame at a time.
#include "hands.h"

#include "sdl_fixtures.h"

#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::vector<std::string>> Frames;

// The platform as it runs, with a pointer the game may see elsewhere than
// where SDL put it (a window scaled or moved under the game).
class PumpedPlatform : public SDLPlatform {
public:
    int nShiftX = 0;

protected:
    void queryMouseState(int* pX, int* pY) override {
        SDLPlatform::queryMouseState(pX, pY);
        *pX += nShiftX;
    }
};

struct HandsTest : ::testing::Test {
    void SetUp() override {
        pPlatform = new PumpedPlatform();
        pPlatform->setAudioDriver(new RecordingAudio());
        app.setPlatform(pPlatform);
        pPlatform->init();
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
        ASSERT_NE(nullptr, SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE));
    }
    // What the application heard in each of the next frames.
    Frames frames(int nCount) {
        Frames lHeard;
        for (int i = 0; i < nCount; ++i) {
            hands.onFrame();
            app.calls.clear();
            pPlatform->processEvents();
            lHeard.push_back(app.calls);
        }
        return lHeard;
    }

    RecordingApp app;
    PumpedPlatform* pPlatform = nullptr;
    e2e::Hands hands;
};

TEST_F(HandsTest, AClickMovesThenPressesAndReleasesWithThePointerStill) {
    struct Case {
        int nButton;
        const char* pszMask;
    };
    for (const Case& c : {Case{SDL_BUTTON_LEFT, "1"}, Case{SDL_BUTTON_RIGHT, "4"}}) {
        hands.click(120, 80, c.nButton);
        std::string sMask = c.pszMask;
        EXPECT_EQ((Frames{{"move 120,80"}, {"mdown " + sMask + " 120,80"}, {"mup " + sMask + " 120,80"}}), frames(3));
        EXPECT_TRUE(hands.isIdle());
        hands.click(300, 200, c.nButton);
        frames(3);
    }
    EXPECT_FALSE(hands.hasMissed());
}

TEST_F(HandsTest, KeysTypeTheirCharacters) {
    hands.type("Ab");
    hands.key(SDLK_ESCAPE, 27);
    EXPECT_EQ((Frames{{"down 97 0", "char 65"},
                      {"up 97"},
                      {"down 98 0", "char 98"},
                      {"up 98"},
                      {"down 27 0", "char 27"},
                      {"up 27"},
                      {}}),
              frames(7));
}

TEST_F(HandsTest, WaitingSendsNothing) {
    hands.wait(2);
    hands.click(10, 10);
    EXPECT_EQ((Frames{{}, {}, {"move 10,10"}}), frames(3));
}

TEST_F(HandsTest, APointerTheGameSeesElsewhereIsAMiss) {
    pPlatform->nShiftX = 5;
    hands.click(120, 80);
    frames(3);
    ASSERT_TRUE(hands.hasMissed());
    EXPECT_EQ("the pointer went to (120, 80) but the game saw (125, 80)", hands.getMiss());
}

}  // namespace
