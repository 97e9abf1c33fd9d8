// Story pages: the automatic way's fades, waits, texts, pages and skipping,
// and the album's paging.
#include "game_support.h"

#include "story/slideshow.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/label.h"

namespace {

struct SlideshowTest : GameTest {
    Tsl::SmartPtr<SlideshowMode> show;

    void SetUp() override {
        GameTest::SetUp();
        addPictures({"sand_frame_back"}, 44, 44);
        addPictures({"album_prev", "album_stop", "album_next"}, 10, 10);
        addPictures({"littlebutton_active", "littlebutton_highlight", "littlebutton_pushed"}, 20, 20);
        for (int i = 1; i <= 4; ++i) app.addImage(("p" + std::to_string(i)).c_str(), picture(10 * i, 10));
    }
    static Tsl::SmartPtr<SlideSpec> slide(const char* pszImage, bool bNewPage, StoryTextList lTexts = StoryTextList()) {
        return new SlideSpec(pszImage, 5, 5, 1, lTexts, bNewPage);
    }
    void start(const SlideList& lSlides, bool bAlbum = false) {
        show = new SlideshowMode(lSlides, bAlbum, "ms_story");
        app.pushMode(show);
    }
    float newestAlpha() const { return show->getPageSprites().getLast()->getAlpha(); }
    bool ended() const { return show->GameMode::getState() == MS_ENDED; }
};

TEST_F(SlideshowTest, AnEmptyListEndsOnTheSecondUpdate) {
    start(SlideList());
    step();
    EXPECT_EQ(SlideshowMode::STATE_FADING_OUT, show->getSlideState());
    EXPECT_FALSE(ended());
    step();
    EXPECT_TRUE(ended());
}

TEST_F(SlideshowTest, ASlideFadesInItsTextsAppearInTurnItStaysTenSecondsAndTheLastFadesOut) {
    Color white(255, 255, 255);
    StoryTextList lTexts = listOf<Tsl::SmartPtr<StoryText>>(
        {new StoryText("first", "Theme::Default", 0, 0, 2, 0.0f, white),
         new StoryText("second", "Theme::Default", 0, 40, 2, 0.5f, white)});
    start(listOf<Tsl::SmartPtr<SlideSpec>>({slide("p1", true, lTexts)}));
    step();
    ASSERT_EQ(1, show->getPageSprites().getCount());
    EXPECT_EQ(0.0f, newestAlpha());
    step(5000);  // a long frame: opacity stops at full strength
    EXPECT_EQ(1.0f, newestAlpha());
    EXPECT_EQ(SlideshowMode::STATE_TEXTS, show->getSlideState());
    const Tsl::List<Tsl::SmartPtr<Label>>& labels = show->getTextLabels();
    std::vector<std::pair<float, float>> expected = {{0.25f, 0.0f}, {0.5f, 0.25f}, {0.75f, 0.5f}, {1.0f, 0.75f},
                                                     {1.0f, 1.0f},  {1.0f, 1.0f}};
    for (const auto& alphas : expected) {
        step();
        EXPECT_EQ(alphas.first, labels.getAt(0)->getAlpha());
        EXPECT_EQ(alphas.second, labels.getAt(1)->getAlpha());
    }
    step();
    EXPECT_EQ(SlideshowMode::STATE_WAITING, show->getSlideState());
    for (int i = 0; i < 40; ++i) step();  // ten seconds
    EXPECT_EQ(SlideshowMode::STATE_FADING_OUT, show->getSlideState());
    step();
    EXPECT_EQ(0.75f, newestAlpha());
    EXPECT_EQ(0.75f, labels.getAt(1)->getAlpha());
    step(5000);
    EXPECT_EQ(0.0f, newestAlpha());
    EXPECT_TRUE(ended());
}

TEST_F(SlideshowTest, NewPagesClearEarlierPicturesAndTextsSkippingAnywhere) {
    StoryTextList lTexts = listOf<Tsl::SmartPtr<StoryText>>({new StoryText("Hello", "Theme::Default", 0, 0, 2, 0.0f, Color(1, 2, 3))});
    start(listOf<Tsl::SmartPtr<SlideSpec>>({slide("p1", true, lTexts), slide("p2", false), slide("p3", true)}));
    step();
    show->onMouseDown(MB_LEFT, 1, 1);  // while fading in
    step();
    EXPECT_EQ(2, show->getPageSprites().getCount());
    EXPECT_EQ(1, show->getTextLabels().getCount());
    // What was skipped stays in full view, not frozen half faded in.
    EXPECT_EQ(1.0f, show->getPageSprites().getFirst()->getAlpha());
    EXPECT_EQ(1.0f, show->getTextLabels().getFirst()->getAlpha());
    step(1000);
    show->onKeyDown(' ', 0);  // while the texts appear
    step();
    EXPECT_EQ(1, show->getPageSprites().getCount());
    EXPECT_EQ(30, show->getPageSprites().getFirst()->getWidth());
    EXPECT_EQ(0, show->getTextLabels().getCount());
    step(1000);
    step();
    show->onMouseDown(MB_LEFT, 1, 1);  // while waiting after the last slide
    step();
    EXPECT_EQ(SlideshowMode::STATE_FADING_OUT, show->getSlideState());
    show->onMouseDown(MB_RIGHT, 1, 1);
    EXPECT_TRUE(ended());
}

TEST_F(SlideshowTest, AlbumPagesTurnOnlyToPagesThatExist) {
    for (bool bFirstMarked : {false, true}) {
        start(listOf<Tsl::SmartPtr<SlideSpec>>({slide("p1", bFirstMarked), slide("p2", false), slide("p3", true), slide("p4", false)}),
              true);
        EXPECT_EQ(0, show->getPage());
        EXPECT_EQ(2, show->getPageSprites().getCount());
        EXPECT_FALSE(show->getPrevButton()->isEnabled());
        EXPECT_TRUE(show->getNextButton()->isEnabled());
        show->onKeyDown(' ', 0);
        EXPECT_EQ(2, show->getPage());
        EXPECT_EQ(30, show->getPageSprites().getFirst()->getWidth());
        EXPECT_TRUE(show->getPrevButton()->isEnabled());
        EXPECT_FALSE(show->getNextButton()->isEnabled());
        show->onKeyDown(' ', 0);  // no further page
        EXPECT_EQ(2, show->getPage());
        show->onCallback(SlideshowMode::ID_PREV, 0);
        EXPECT_EQ(0, show->getPage());
        EXPECT_EQ(10, show->getPageSprites().getFirst()->getWidth());
        step(20000);  // nothing moves by itself
        EXPECT_EQ(0, show->getPage());
        if (bFirstMarked)
            show->onCallback(SlideshowMode::ID_STOP, 0);
        else
            EXPECT_TRUE(show->onKeyDown(27, 0));
        EXPECT_TRUE(ended());
    }
}

}  // namespace
