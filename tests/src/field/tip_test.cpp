// The in-play hint bubble: one at a time, and where its edges lie.
#include "playfield_fixture.h"

#include "field/tip.h"
#include "field/tipplace.h"
#include "ui/label.h"

#include <vector>

struct TipTest : PlayFieldFixture {};

TEST_F(TipTest, OneBubbleAtATimeAndItsEdges) {
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    Tip tip;
    EXPECT_FALSE(tip.contains(0, 0));
    tip.hide();
    tip.show(pMode.get(), "first", 100, 50, 200);
    SpriteList lFirst = tip.getSprites();
    ASSERT_FALSE(lFirst.isEmpty());
    tip.show(pMode.get(), "second", 100, 50, 200);
    for (const Tsl::SmartPtr<Sprite>& pSprite : lFirst) EXPECT_EQ(pSprite->getOwnerMode(), nullptr);
    EXPECT_TRUE(tip.isShown());
    EXPECT_TRUE(tip.contains(100, 50));
    EXPECT_FALSE(tip.contains(99, 50));
    // The hit box is the frame drawn around the bubble, the largest piece.
    const Sprite* pFrame = nullptr;
    for (const Tsl::SmartPtr<Sprite>& pSprite : tip.getSprites())
        if (!pFrame || pSprite->getWidth() * pSprite->getHeight() > pFrame->getWidth() * pFrame->getHeight())
            pFrame = pSprite.get();
    ASSERT_NE(nullptr, pFrame);
    Rect frame = pFrame->getScreenRect();
    EXPECT_EQ(Rect(100, 50, frame.right, frame.bottom), frame);
    EXPECT_GT(frame.right, 300);
    EXPECT_TRUE(tip.contains(frame.right - 1, frame.bottom - 1));
    EXPECT_FALSE(tip.contains(frame.right, 50));
    EXPECT_FALSE(tip.contains(100, frame.bottom));
    // The framed text stands in the bubble, the closing line below it.
    std::vector<int> lLineTops;
    for (const Tsl::SmartPtr<Sprite>& pSprite : tip.getSprites()) {
        EXPECT_TRUE(tip.contains(pSprite->getX(), pSprite->getY())) << pSprite->getX() << "," << pSprite->getY();
        if (dynamic_cast<Label*>(pSprite.get())) lLineTops.push_back(pSprite->getY());
    }
    ASSERT_EQ(2u, lLineTops.size());
    EXPECT_LT(lLineTops[0], lLineTops[1]);
    tip.hide();
    EXPECT_TRUE(tip.isHidden());
    for (const Tsl::SmartPtr<Sprite>& pSprite : tip.getSprites()) EXPECT_EQ(pSprite->getOwnerMode(), nullptr);
}

// A hint about the whole bar stands centred over the back of the field; one
// too tall for that, which would reach down to the taps, goes to the top of
// the screen rather than over the money in its corner.
TEST(TipPlacerTest, AHintAboutTheBarStaysCentredAboveWhatMustStayClear) {
    TipPlacer placer(Rect(0, 0, 800, 600));
    placer.keepClear(Rect(230, 215, 270, 300));  // a tap
    placer.keepClear(Rect(530, 215, 570, 300));  // another
    placer.preferClear(Rect(20, 10, 95, 60));    // the clock and the money
    struct Case {
        int nHeight, nTop;
    } cases[] = {{98, 96}, {130, TipPlacer::MARGIN}};
    for (const Case& c : cases) {
        Rect place = placer.place(340, c.nHeight, Rect());
        EXPECT_EQ(place.left, 230) << c.nHeight;
        EXPECT_EQ(place.top, c.nTop) << c.nHeight;
    }
}
