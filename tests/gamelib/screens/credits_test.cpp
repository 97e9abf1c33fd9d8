// The credits: lines stacked and rising through the visible area, ended by
// a click, Escape or the last line leaving the area.
#include "screens_support.h"

#include "screens/creditsmode.h"
#include "ui/label.h"

namespace {

struct CreditsTest : ScreensTest {
    Tsl::SmartPtr<CreditsMode> make() {
        app.addImage("credits_logo", app.createImage(100, 50, true));
        Tsl::SmartPtr<CreditsMode> pCredits = new CreditsMode();
        pCredits->setVisibleArea(30, 570);
        pCredits->setFadeBands(25, 3);
        pCredits->addImage("credits_logo", 1);
        pCredits->addSpace(20);
        return pCredits;
    }
};

TEST_F(CreditsTest, LinesStackFromTheBottomAndRiseUntilTheLastHasGone) {
    Tsl::SmartPtr<CreditsMode> pCredits = make();
    Tsl::SmartPtr<Label> pLine = pCredits->addText("Programming", false);
    app.pushMode(pCredits);
    EXPECT_EQ(570 + 50 + 4 + 20 + 4, int(pLine->getY()));
    pCredits->onUpdate(0.25f);
    EXPECT_FLOAT_EQ(570.0f - 10.0f, pCredits->getScrollTop());
    for (int i = 0; i < 1000 && !pCredits->isFinished(); ++i) pCredits->onUpdate(0.25f);
    EXPECT_LT(pCredits->getScrollTop() + 50 + 20 + pLine->getHeight() + 12, 30.0f);
    EXPECT_EQ(target, app.getModeAt(0));
}

TEST_F(CreditsTest, AClickOrEscapeEndsThem) {
    for (bool bKey : {false, true}) {
        Tsl::SmartPtr<CreditsMode> pCredits = make();
        app.pushMode(pCredits);
        if (bKey) press(SDLK_ESCAPE);
        else click(400, 300);
        EXPECT_EQ(target, app.getModeAt(0));
    }
}

} // namespace
