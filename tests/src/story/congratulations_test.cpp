// The congratulations dialog: what it shows, a burst of flowers each frame
// from the emitter definition read once, and clicks that go nowhere.
#include "game_support.h"

#include "effects/particleemitter.h"
#include "story/longdialogmode.h"
#include "text/font.h"
#include "tsl2/random.h"
#include "ui/button.h"
#include "ui/label.h"

#include <algorithm>
#include <set>
#include <chrono>
#include <cstdio>

namespace {

struct CongratulationsTest : GameTest {
    Tsl::SmartPtr<LongDialogMode> dialog;

    void SetUp() override {
        GameTest::SetUp();
        ParticleEmitter::clearCache();
        addPictures({"congrats"}, 200, 100);
        for (int i = 1; i <= 5; ++i) app.addImage(Tsl::String::format("mapa_flor_%d_s", i).c_str(), picture(i, 8));
        addFile("flower_cannon.emitter",
                "maxparticles 6\nlifetimerange 1 2\nspeedrange -50 50 -200 -100\naccelerationrange 0 0 200 200\n");
        addStrings("CPD_OK Great\n");
        dialog = new LongDialogMode("A new high score!", "Congratulations", 0);
        app.pushMode(dialog);
    }
    void TearDown() override {
        Tsl::setGameRandSource(nullptr, nullptr);
        ParticleEmitter::clearCache();
    }
    int liveParticles() { return dialog->getParticleSystem()->getCount(); }
};

TEST_F(CongratulationsTest, ShowsTheTextAndOkButNotTheTitle) {
    std::vector<std::string> texts;
    for (const SpriteList* pLayer : dialog->getLayers())
        for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
            if (Label* pLabel = dynamic_cast<Label*>(pSprite.get())) texts.push_back(pLabel->getText().c_str());
            if (Button* pButton = dynamic_cast<Button*>(pSprite.get())) texts.push_back(pButton->getText().c_str());
        }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(std::vector<std::string>({"A new high score!", "Great"}), texts);
    EXPECT_TRUE(dialog->onMouseUp(MB_LEFT, 1, 1));
    EXPECT_EQ(MS_RUNNING, dialog->getState());
    dialog->onCallback(0, 0);
    EXPECT_EQ(MS_ENDED, dialog->getState());
}

// Each burst shows the flower drawn for it: the flowers' pictures here are
// as wide as their number.
TEST_F(CongratulationsTest, OneBurstPerFrameFromTheCachedDefinition) {
    static int s_nRand;
    s_nRand = 0;
    Tsl::setGameRandSource([](void*) { return s_nRand++; }, nullptr);
    step();
    EXPECT_EQ(6, liveParticles());
    EXPECT_TRUE(ParticleEmitter::isCached("flower_cannon.emitter"));
    // Read once: a damaged file no longer matters.
    addFile("flower_cannon.emitter", "bogus words\n");
    step();
    step();
    EXPECT_EQ(18, liveParticles());
    std::set<int> flowers;
    for (const Tsl::SmartPtr<Particle>& pPetal : *dialog->getParticleSystem())
        flowers.insert(pPetal->getSprite()->getImage()->getWidth());
    EXPECT_EQ(std::set<int>({1, 3, 5}), flowers);
}

// Not a check: how the dialog does over ten seconds of frames at about
// sixty a second (1/64 s keeps the steps exact).
TEST_F(CongratulationsTest, BenchmarkTenSecondsAtSixtyFrames) {
    std::chrono::duration<double, std::milli> total(0);
    int nMost = 0;
    const int FRAMES = 640;
    for (int i = 0; i < FRAMES; ++i) {
        auto start = std::chrono::steady_clock::now();
        dialog->onUpdate(1.0f / 64.0f);
        total += std::chrono::steady_clock::now() - start;
        nMost = std::max(nMost, liveParticles());
    }
    std::printf("congratulations: %d frames, up to %d live particles, %.3f ms per update\n", FRAMES, nMost,
                total.count() / FRAMES);
    EXPECT_GT(nMost, 0);
}

}  // namespace
