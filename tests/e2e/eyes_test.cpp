// The player's eyes against screens built here: what they list, in which
// order, and where they would click.
#include "eyes.h"

#include "game_support.h"

#include "image/sdl_image.h"
#include "ui/label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using e2e::Seen;
using e2e::Sight;

namespace {

// A picture as the cache would hold one loaded under its name: clear, with
// an opaque block where it shows something.
class NamedPicture : public SDLImage {
public:
    NamedPicture(const char* pszName, int nWidth, int nHeight, const Rect& solid)
        : SDLImage(nWidth, nHeight, true, true) {
        setName(pszName);
        lock();
        for (int y = solid.top; y < solid.bottom; ++y)
            for (int x = solid.left; x < solid.right; ++x) putPixel(x, y, Color(200, 40, 40, 255));
        unlock();
    }
};

struct EyesTest : GameTest {
    Tsl::SmartPtr<GameMode> pushScreen(unsigned int nFlags = MF_ACTIVE | MF_VISIBLE) {
        Tsl::SmartPtr<GameMode> pMode = new GameMode(nFlags);
        app.pushMode(pMode);
        return pMode;
    }
    Tsl::SmartPtr<Sprite> put(GameMode* pMode, const char* pszName, int nX, int nY, int nZ, int nSize = 40) {
        Tsl::SmartPtr<Sprite> pSprite =
            new Sprite(new NamedPicture(pszName, nSize, nSize, Rect(0, 0, nSize, nSize)), nX, nY, nZ);
        pMode->addSprite(pSprite);
        return pSprite;
    }
    Tsl::SmartPtr<Label> write(GameMode* pMode, const char* pszText, int nX, int nY) {
        Tsl::SmartPtr<Label> pLabel = new Label(pszText, nX, nY, 5);
        pMode->addSprite(pLabel.get());
        return pLabel;
    }
    static std::vector<std::string> names(const Sight& sight) {
        std::vector<std::string> lNames;
        for (const Seen& seen : sight.all()) lNames.push_back(std::to_string(seen.nScreen) + ":" + seen.sPicture);
        return lNames;
    }
};

TEST_F(EyesTest, SeeTheDrawnScreensInPaintingOrderAndNothingHiddenOrFaded) {
    Tsl::SmartPtr<GameMode> pBelow = pushScreen();
    put(pBelow.get(), "Sea", 0, 0, 2);
    put(pBelow.get(), "sand", 0, 0, 1);
    put(pBelow.get(), "hidden", 0, 0, 3)->setVisible(false);
    put(pBelow.get(), "faded", 0, 0, 3)->setAlpha(0.2f);
    Tsl::SmartPtr<GameMode> pDialog = pushScreen(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW);
    put(pDialog.get(), "frame", 10, 10, 0);
    EXPECT_EQ((std::vector<std::string>{"1:sand", "1:sea", "0:frame"}), names(Sight::look()));

    // A screen that hides the one below: only its own pictures are seen.
    pDialog->setFlags(MF_ACTIVE | MF_VISIBLE);
    EXPECT_EQ((std::vector<std::string>{"0:frame"}), names(Sight::look()));
}

TEST_F(EyesTest, FindPicturesByNameOrBeginningWhateverTheCase) {
    Tsl::SmartPtr<GameMode> pScreen = pushScreen();
    put(pScreen.get(), "order_drink2", 0, 0, 1);
    put(pScreen.get(), "order_drink10", 50, 0, 1);
    put(pScreen.get(), "mapa_flor_T_s", 100, 0, 1);
    Sight sight = Sight::look();
    ASSERT_NE(nullptr, sight.find("ORDER_DRINK2"));
    EXPECT_EQ(0, sight.find("order_drink2")->box.left);
    EXPECT_EQ(nullptr, sight.find("order_drink"));
    EXPECT_EQ(2u, sight.findLike("order_drink").size());
    EXPECT_EQ(1u, sight.findLike("mapa_flor_T").size());
}

// Where a click lands on a picture: its centre unless something drawn later
// covers it there, then some uncovered point of its own.
TEST_F(EyesTest, PointOnAPictureAvoidsWhatCoversIt) {
    struct Case {
        const char* pszWhat;
        Rect cover;   // an empty one: nothing covers the picture
        bool bBelow;  // the cover is drawn before the picture
        bool bFound;
    };
    const Case aCases[] = {
        {"nothing over it", Rect(), false, true},
        {"its centre covered", Rect(110, 110, 130, 130), false, true},
        {"wholly covered", Rect(90, 90, 150, 150), false, false},
        {"covered only from below", Rect(90, 90, 150, 150), true, true},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        Tsl::SmartPtr<GameMode> pScreen = pushScreen();
        put(pScreen.get(), "target", 100, 100, 5, 40);
        if (!c.cover.isEmpty())
            put(pScreen.get(), "cover", c.cover.left, c.cover.top, c.bBelow ? 1 : 9, c.cover.getWidth());
        Sight sight = Sight::look();
        const Seen* pTarget = sight.find("target");
        ASSERT_NE(nullptr, pTarget);
        int nX = -1, nY = -1;
        EXPECT_EQ(c.bFound, sight.pointOn(*pTarget, nX, nY));
        if (c.bFound) {
            EXPECT_TRUE(pTarget->box.contains(nX, nY));
            EXPECT_EQ(pTarget->nOrder, sight.topAt(nX, nY)->nOrder);
        }
        pScreen->endMode();
    }
}

TEST_F(EyesTest, ReadTheValueWrittenBesideACaption) {
    Tsl::SmartPtr<GameMode> pScreen = pushScreen();
    write(pScreen.get(), "Money today", 150, 287);
    write(pScreen.get(), "$20", 442, 287);
    write(pScreen.get(), "Goal", 150, 309);
    write(pScreen.get(), "$40", 442, 309);
    write(pScreen.get(), "far away", 600, 287);
    Sight sight = Sight::look();
    ASSERT_NE(nullptr, sight.textBeside("Money today"));
    EXPECT_EQ("$20", sight.textBeside("Money today")->sText);
    ASSERT_NE(nullptr, sight.textBeside("Goal"));
    EXPECT_EQ("$40", sight.textBeside("Goal")->sText);
    EXPECT_EQ(nullptr, sight.textBeside("$40"));
    EXPECT_EQ(nullptr, sight.textBeside("Stars"));
}

TEST_F(EyesTest, SteadyOnceNothingMovedOrChangedForSomeLooks) {
    Tsl::SmartPtr<GameMode> pScreen = pushScreen();
    Tsl::SmartPtr<Sprite> pMarker = put(pScreen.get(), "marker", 100, 100, 1);
    Tsl::SmartPtr<Label> pCount = write(pScreen.get(), "$10", 300, 300);
    e2e::Steady steady;
    auto look = [&] {
        Sight sight = Sight::look();
        return steady.check({sight.find("marker"), sight.findText(pCount->getText().c_str())});
    };
    // Each change starts the count again: a step of the marker, a new number.
    for (int nStep = 0; nStep < 3; ++nStep) {
        pMarker->setPosition(100 + nStep, 100);
        pCount->setText(("$" + std::to_string(10 + nStep)).c_str());
        for (int i = 0; i < e2e::Steady::LOOKS; ++i) EXPECT_FALSE(look());
    }
    EXPECT_TRUE(look());
}

// A picture laid over the whole screen that shows only a hut.
TEST_F(EyesTest, SolidBoxIsWhereAPictureShowsPixels) {
    Tsl::SmartPtr<GameMode> pScreen = pushScreen();
    pScreen->addSprite(new Sprite(new NamedPicture("site", 800, 600, Rect(100, 40, 180, 120)), 0, 0, 1));
    Sight sight = Sight::look();
    Rect solid = sight.solidBox(*sight.find("site"), 4);
    EXPECT_EQ(100, solid.left);
    EXPECT_EQ(40, solid.top);
    EXPECT_GE(solid.right, 176);
    EXPECT_LE(solid.right, 180);
    EXPECT_GE(solid.bottom, 116);
    EXPECT_LE(solid.bottom, 120);
}

}  // namespace
