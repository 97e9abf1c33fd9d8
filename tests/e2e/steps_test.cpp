// The player's stops: waiting for a screen, acting once it settled,
// repeating an act that did not take, and giving up in bounded time.
#include "steps.h"

#include "game_support.h"

#include "ui/label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using e2e::Hands;
using e2e::Sight;
using e2e::Step;
using e2e::StepRunner;

namespace {

struct StepsTest : GameTest {
    void SetUp() override {
        GameTest::SetUp();
        pScreen = new GameMode();
        app.pushMode(pScreen);
    }
    // The screen shows this word, or nothing.
    void show(const std::string& sWord) {
        if (pWord) pScreen->removeSprite(pWord.get());
        pWord = nullptr;
        if (sWord.empty()) return;
        pWord = new Label(sWord.c_str(), 10, 10, 1);
        pScreen->addSprite(pWord.get());
    }
    static bool shows(const Sight& sight, const char* pszWord) { return sight.findText(pszWord) != nullptr; }
    void frames(StepRunner& runner, int nCount) {
        for (int i = 0; i < nCount; ++i) runner.onFrame();
    }
    void expectFailsAfter(Step step, int nFrames) {
        StepRunner runner({step});
        frames(runner, nFrames - 1);
        EXPECT_FALSE(runner.hasFailed());
        frames(runner, 1);
        EXPECT_TRUE(runner.hasFailed());
        EXPECT_TRUE(app.isQuitRequested());
        EXPECT_FALSE(runner.isDone());
    }

    Tsl::SmartPtr<GameMode> pScreen;
    Tsl::SmartPtr<Label> pWord;
    std::vector<std::string> acts;
};

TEST_F(StepsTest, ActsOnceTheScreenSettledAndGoesOnWhenItTookEffect) {
    StepRunner runner({Step(
        "door", [](const Sight& s) { return shows(s, "door"); },
        [this](const Sight&, Hands&) {
            acts.push_back("knock");
            return true;
        },
        [](const Sight& s) { return shows(s, "open"); },
        [this](const Sight&, Hands&) {
            acts.push_back("wait");
            return true;
        })});
    frames(runner, 2);
    EXPECT_EQ((std::vector<std::string>{"wait", "wait"}), acts);
    acts.clear();
    show("door");
    frames(runner, StepRunner::SETTLE_FRAMES);
    EXPECT_EQ((std::vector<std::string>{"knock"}), acts);
    // Not open yet: the act is repeated while the door still shows.
    frames(runner, StepRunner::RETRY_FRAMES);
    EXPECT_EQ((std::vector<std::string>{"knock", "knock"}), acts);
    EXPECT_FALSE(runner.isDone());
    show("open");
    frames(runner, 1);
    EXPECT_TRUE(runner.isDone());
    EXPECT_FALSE(app.isQuitRequested());
}

// A run that cannot go on ends the game (each case needs a game of its own:
// a quit is not taken back).
TEST_F(StepsTest, AScreenThatNeverComesEndsTheRunAtTheLimit) {
    expectFailsAfter(Step(
                         "nothing", [](const Sight& s) { return shows(s, "never"); }, nullptr, nullptr, nullptr, 5),
                     6);
}

TEST_F(StepsTest, ARefusedActEndsTheRun) {
    expectFailsAfter(
        Step(
            "no", [](const Sight&) { return true; }, [](const Sight&, Hands&) { return e2e::refuse("no"); }),
        StepRunner::SETTLE_FRAMES);
}

TEST_F(StepsTest, ARefusalWhileWaitingEndsTheRun) {
    expectFailsAfter(Step(
                         "no", [](const Sight&) { return false; }, nullptr, nullptr,
                         [](const Sight&, Hands&) { return e2e::refuse("no"); }),
                     1);
}

}  // namespace
