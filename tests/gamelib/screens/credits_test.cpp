// The credits: lines stacked and rising through the visible area, ended by
// a click, Escape or the last line leaving the area.
#include "screens_support.h"

#include "screens/creditsmode.h"
#include "ui/label.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// The bands' shade, row by row down the screen: from 0 (clear) to 1.
std::vector<float> shadeByRow(const CreditsMode& credits, int nScreenHeight) {
    std::vector<float> light(nScreenHeight, 1.0f);
    for (const SpriteList* pLayer : credits.getLayers())
        for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
            if (!pSprite->getClipRect().isEmpty()) continue;  // a line
            Rect box = pSprite->getScreenRect();
            for (int y = std::max(0, box.top); y < std::min(nScreenHeight, box.bottom); ++y)
                light[y] *= 1.0f - pSprite->getAlpha();
        }
    std::vector<float> shade;
    for (float f : light) shade.push_back(1.0f - f);
    return shade;
}

// The shade deepens band by band towards the area's edges and stays at its
// darkest out to the screen's edges: nowhere does it end in a hard line.
TEST_F(CreditsTest, TheShadeDeepensSmoothlyOutToTheScreensEdges) {
    Tsl::SmartPtr<CreditsMode> pCredits = make();
    app.pushMode(pCredits);
    std::vector<float> shade = shadeByRow(*pCredits, 600);
    const float BAND_STEP = 1.0f / 26;
    EXPECT_NEAR(1.0f - BAND_STEP, shade[0], 0.001f);
    EXPECT_NEAR(1.0f - BAND_STEP, shade[599], 0.001f);
    EXPECT_EQ(0.0f, shade[300]);
    for (int y = 1; y < 600; ++y) ASSERT_LE(std::fabs(shade[y] - shade[y - 1]), BAND_STEP + 0.001f) << "row " << y;
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
