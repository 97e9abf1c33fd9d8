// Separable filters and the box blur on small pictures.
#include "effects_fixture.h"
#include "effects/filter.h"

#include <algorithm>

namespace {

struct FilterTest : EffectsFixture {
    Tsl::SmartPtr<Image> filled(int nWidth, int nHeight, const Color& c) {
        Tsl::SmartPtr<Image> p = app.createImage(nWidth, nHeight, true);
        p->fill(c);
        return p;
    }
};

TEST_F(FilterTest, IdentityKernelLeavesTheImageAlone) {
    Tsl::SmartPtr<Image> pImage = makeImage(5, 4);
    const float afOne[] = {1.0f};
    SeparableFilter(1, afOne, 1.0f, 1, afOne, 1.0f).apply(pImage);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(Color(x, y, 7, 255), pImage->getColorAt(x, y));
}

// The first weight takes the leftmost (topmost) pixel of the window: a row
// kernel (1, 0, 0) shifts the picture right, a column kernel (0, 0, 1) up;
// the edge pixels repeat.
TEST_F(FilterTest, AnAsymmetricKernelShiftsThePictureItsOwnWay) {
    Tsl::SmartPtr<Image> pImage = makeImage(5, 4);
    const float afLeft[] = {1.0f, 0.0f, 0.0f}, afBelow[] = {0.0f, 0.0f, 1.0f};
    SeparableFilter(3, afLeft, 1.0f, 3, afBelow, 1.0f).apply(pImage);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Color(std::max(x - 1, 0), std::min(y + 1, 3), 7, 255), pImage->getColorAt(x, y)) << x << "," << y;
}

TEST_F(FilterTest, BoxOfThreeSpreadsASinglePixelIntoABlockOf28) {
    Tsl::SmartPtr<Image> pImage = filled(5, 5, Color(0, 0, 0, 0));
    pImage->setColorAt(2, 2, Color(255, 255, 255, 255));
    BoxBlur(3).apply(pImage);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            bool bInside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(bInside ? Color(28, 28, 28, 28) : Color(0, 0, 0, 0), pImage->getColorAt(x, y)) << x << "," << y;
        }
}

TEST_F(FilterTest, UniformImagesStayUniformWhateverTheKernelOrSize) {
    const float afWeights[] = {0.25f, 0.5f, 0.25f};
    struct Case {
        int nWidth, nHeight, nBox;
    };
    // The 1 x 1 and 2 x 1 images are narrower than half the wide kernels.
    for (Case c : {Case{6, 3, 0}, Case{1, 1, 9}, Case{2, 1, 15}, Case{3, 7, 5}}) {
        Tsl::SmartPtr<Image> pImage = filled(c.nWidth, c.nHeight, Color(90, 60, 30, 200));
        if (c.nBox) BoxBlur(c.nBox).apply(pImage);
        else SeparableFilter(3, afWeights, 1.0f, 3, afWeights, 1.0f).apply(pImage);
        for (int y = 0; y < c.nHeight; ++y)
            for (int x = 0; x < c.nWidth; ++x) {
                Color px = pImage->getColorAt(x, y);
                // A box weight of 1/n rounds down by at most one.
                EXPECT_NEAR(90, px.r, 1);
                EXPECT_NEAR(200, px.a, 1);
            }
    }
    // Weights summing past 1 saturate.
    const float afBright[] = {2.0f};
    Tsl::SmartPtr<Image> pImage = filled(2, 2, Color(200, 10, 0, 255));
    SeparableFilter(1, afBright, 1.0f, 1, afBright, 1.0f).apply(pImage);
    EXPECT_EQ(Color(255, 40, 0, 255), pImage->getColorAt(1, 1));
}

TEST_F(FilterTest, EvenOrEmptyKernelsAreRefused) {
    const float afTwo[] = {0.5f, 0.5f};
    EXPECT_THROW(BoxBlur(2), Tsl::AssertFailException);
    EXPECT_THROW(BoxBlur(0), Tsl::AssertFailException);
    EXPECT_THROW(SeparableFilter(1, afTwo, 1.0f, 2, afTwo, 1.0f), Tsl::AssertFailException);
    SeparableFilter empty;
    EXPECT_THROW(empty.apply(makeImage(2, 2)), Tsl::AssertFailException);
}

TEST_F(FilterTest, TrimmedImagesAndViewsFilterTheirOwnPixelsOnly) {
    // A trimmed picture: 3 x 1 stored pixels inside a 10 x 10 canvas.
    Tsl::SmartPtr<Image> pTrimmed = filled(3, 1, Color(0, 0, 0, 0));
    pTrimmed->setColorAt(1, 0, Color(255, 255, 255, 255));
    pTrimmed->setVirtualCanvas(4, 5, 10, 10);
    BoxBlur(3).apply(pTrimmed);
    // One stored row: the column pass repeats it, so the row pass's 85 stays.
    for (int x = 4; x <= 6; ++x) EXPECT_EQ(Color(85, 85, 85, 85), pTrimmed->getColorAt(x, 5));
    EXPECT_EQ(3, pTrimmed->getPhysicalSize().x);

    // A view cut from a shared picture: the picture keeps its pixels.
    Tsl::SmartPtr<Image> pSource = makeImage(6, 6);
    Tsl::SmartPtr<Image> pView = pSource->createSubImage(2, 2, 3, 3, true);
    const float afHalf[] = {0.5f};
    SeparableFilter(1, afHalf, 1.0f, 1, afHalf, 1.0f).apply(pView);
    EXPECT_EQ(Color(0, 0, 1, 63), pView->getColorAt(0, 0));
    EXPECT_EQ(Color(2, 2, 7, 255), pSource->getColorAt(2, 2));
}

} // namespace
