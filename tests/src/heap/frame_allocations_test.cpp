// Frames of play and of the story map allocate nothing once they run, those of
// the congratulations only for new flowers: the whole frame (update, input and
// drawing through the Direct3D 7 driver), counted with this program's new.
//
// The rule: a frame may allocate only for something new, which the test
// sees from outside the game: the player clicked or an order of the
// player's took effect; something came or went (a customer, a glass, a
// balloon, a cloud); an animation switched to another sequence (a
// customer's mood, the waitress turning or reaching out, a glass filled);
// the device made a texture or built one's caches (a label's new text, a
// frame drawn for its first times); or something was loaded. A frame with
// none of these (animations stepping, the walk, the glasses she carries,
// customers drinking, the clock, timers, emitters, the mode stack, drawing
// what was drawn before) allocates nothing at all.
#include "allocation_count.h"
#include "game_run.h"

#include "base/names.h"
#include "story/longdialogmode.h"

#include "anim/animsprite.h"
#include "audio/audiodriver.h"
#include "d3d7/test_hooks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// What of a frame's work is new, seen from outside.
struct FrameLook {
    // Every sprite of the modes (held, so that no new one takes an old one's
    // address) with the sequence it plays, "" for a still one.
    std::map<Tsl::SmartPtr<Sprite>, std::string> sprites;
    int nImages = 0, nAnimations = 0, nQueued = 0, nOrders = 0, nTextureWork = 0;

    static FrameLook take() {
        FrameLook now;
        GameApp* pApp = GameApp::getInstance();
        now.nImages = pApp->getCachedImageNames().getCount();
        now.nAnimations = pApp->getAnimationNames().getCount();
        now.nQueued = pApp->getPreloadQueueLength();
        now.nTextureWork = dx7::test::textureWorkCount();
        if (PlayMode* pPlay = GameRun::playing())
            now.nOrders = pPlay->getCommandCount() * 100 + pPlay->getQueuedClickCount() * 10 + pPlay->isWalkPending();
        for (int m = 0; m < pApp->getModeCount(); ++m)
            for (SpriteList* pLayer : pApp->getModeAt(m)->getLayers())
                for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
                    AnimSprite* pAnim = dynamic_cast<AnimSprite*>(pSprite.get());
                    now.sprites[pSprite] = pAnim ? pAnim->getSequenceName().c_str() : "";
                }
        return now;
    }
    bool isQuietUntil(const FrameLook& next) const {
        return sprites == next.sprites && nOrders == next.nOrders && loadsNothingUntil(next);
    }
    bool loadsNothingUntil(const FrameLook& next) const {
        return nImages == next.nImages && nAnimations == next.nAnimations && nQueued == 0 && next.nQueued == 0 &&
               nTextureWork == next.nTextureWork;
    }
};

struct FrameAllocations : ::testing::Test {
    GameRun run{GameRun::REAL_DRIVERS};
    FrameLook last;

    // 300 frames (the first day brings a customer every 20 s or so), acting
    // before each; returns how many were quiet, each of which must have
    // allocated nothing. With nPerNewSprite, a frame in which sprites came but
    // nothing was loaded is quiet too, and may allocate that many for each of
    // them.
    int countFrames(const char* pszWhere, const std::function<void()>& fnAct, long nPerNewSprite = 0) {
        int nQuiet = 0;
        last = FrameLook::take();
        for (int i = 0; i < 300; ++i) {
            FrameLook before = last;
            int nClicks = run.getClickCount();
            fnAct();
            AllocationCount::open();
            run.frame();
            long nAllocations = AllocationCount::close();
            last = FrameLook::take();
            bool bQuiet = nPerNewSprite ? before.loadsNothingUntil(last) : before.isQuietUntil(last);
            if (run.getClickCount() != nClicks || !bQuiet) continue;
            ++nQuiet;
            for (const auto& entry : last.sprites) nAllocations -= nPerNewSprite * !before.sprites.count(entry.first);
            EXPECT_LE(nAllocations, 0) << "a quiet frame of " << pszWhere << ", frame " << i;
        }
        return nQuiet;
    }
};

TEST_F(FrameAllocations, PlayAndTheMapAllocateOnlyForWhatIsNew) {
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.openStory());
    ASSERT_TRUE(run.startLevel());
    PlayField* pField = GameRun::playing()->getField();
    // The first customer is served: what every level loads once is loaded.
    ASSERT_TRUE(run.framesUntil([&] { return pField->m_nCustomersServed > 0; }, [&] { run.serveNext(); }));
    int nToCome = pField->m_nCustomersToCome, nMoney = pField->m_nMoney, nServed = pField->m_nCustomersServed;
    EXPECT_GE(countFrames("play", [&] { run.serveNext(); }), 25);
    // Customers came, were served and paid meanwhile.
    EXPECT_LT(pField->m_nCustomersToCome, nToCome);
    EXPECT_GT(pField->m_nCustomersServed, nServed);
    EXPECT_GT(pField->m_nMoney, nMoney);
    ASSERT_TRUE(run.finishLevel());
    EXPECT_GE(countFrames("the map", [] {}), 25);
    // The sound driver's sweep of finished sounds comes round every quarter
    // of a minute or so, with sounds held: it allocates nothing either.
    GameApp* pApp = GameApp::getInstance();
    ASSERT_GE(pApp->playSound(pApp->getSample(Names::SFX_MAP_HIGHLIGHT)), 0);
    AllocationCount::open();
    pApp->getAudioDriver()->update(60.0f);
    EXPECT_EQ(0, AllocationCount::close()) << "the sweep of finished sounds";
}

TEST_F(FrameAllocations, CongratulationsAllocateOnlyForTheirNewFlowers) {
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.openStory());  // the dialog comes over the map
    GameApp::getInstance()->pushMode(new LongDialogMode("A new high score!", "Congratulations", 0));
    // A flower is a particle, its sprite and their places in the lists that
    // hold them: neither a copy of its picture nor an emitter per burst.
    EXPECT_GE(countFrames("the congratulations", [] {}, 7), 25);
}

}  // namespace
