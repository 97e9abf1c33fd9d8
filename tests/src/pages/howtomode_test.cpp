// The how-to pages: paging clamps at both ends and the buttons follow.
#include "game_support.h"

#include "pages/howtomode.h"

#include "text/font.h"
#include "ui/button.h"

namespace {

typedef GameTest HowtoModeTest;

TEST_F(HowtoModeTest, PagesClampAndButtonsFollow) {
    struct Step {
        int nId;
        int nPage;
        bool bPrevious, bNext;
    };
    // Starts on page 0; 99 changes nothing but re-applies the states.
    const Step steps[] = {{HowtoMode::ID_PREVIOUS, 0, false, true}, {HowtoMode::ID_NEXT, 1, true, true},
                          {99, 1, true, true},                       {HowtoMode::ID_NEXT, 2, true, false},
                          {HowtoMode::ID_NEXT, 2, true, false},      {HowtoMode::ID_PREVIOUS, 1, true, true}};
    addPictures({"howto0", "howto1", "howto2", "sand_frame_back"});
    Tsl::SmartPtr<HowtoMode> pHowto = new HowtoMode();
    app.pushMode(pHowto.get());
    EXPECT_FALSE(pHowto->getPreviousButton()->isEnabled());
    EXPECT_TRUE(pHowto->getNextButton()->isEnabled());
    // One row from (150, 550): back, previous, next, side by side.
    Tsl::SmartPtr<Button> pPrevious = pHowto->getPreviousButton(), pNext = pHowto->getNextButton();
    EXPECT_GT(pPrevious->getX(), 150);
    EXPECT_GE(pNext->getX(), pPrevious->getX() + pPrevious->getWidth());
    EXPECT_GE(pPrevious->getY(), 550);
    EXPECT_GE(pNext->getY(), 550);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.nId);
        pHowto->onCallback(s.nId, 0);
        EXPECT_EQ(s.nPage, pHowto->getPage());
        EXPECT_EQ(s.bPrevious, pHowto->getPreviousButton()->isEnabled());
        EXPECT_EQ(s.bNext, pHowto->getNextButton()->isEnabled());
        for (int i = 0; i < HowtoMode::PAGE_COUNT; ++i)
            EXPECT_EQ(i == s.nPage ? HowtoMode::Z_SHOWN : HowtoMode::Z_HIDDEN, pHowto->getPages().getAt(i)->getZOrder());
    }
    pHowto->onCallback(HowtoMode::ID_BACK, 0);
    EXPECT_EQ(MS_ENDED, pHowto->getState());
}

}  // namespace
