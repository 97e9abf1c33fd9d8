// The image fonts over a glyph sheet generated here: seven rows between
// marker pixels, glyph k of every row 2 + k % 3 pixels wide, 3 clear
// columns between glyphs, each row's reference A with 2 clear rows on top.
#include "fakes.h"
#include "text/bitmapfont.h"
#include "text/codepage.h"
#include "text/simplefont.h"
#include "ui/theme.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int STRIP = 10, BAND = STRIP + 4, GAP = 3, FIRST_X = 2;
const Color WHITE(255, 255, 255, 255);

int glyphWidth(int k) { return 2 + k % 3; }
int glyphX(int k) {
    int x = FIRST_X;
    for (int i = 0; i < k; ++i) x += glyphWidth(i) + GAP;
    return x;
}

struct SheetOptions {
    int nMarkedRows = 7;
    // Opaque pixels with a magenta colour key instead of alpha.
    bool bColorKey = false;
    // The last glyph of row 3 runs to the sheet's right edge.
    bool bTouchEdge = false;
};

// A generated picture with the name a loaded one would have.
class NamedImage : public SDLImage {
public:
    NamedImage(int nWidth, int nHeight, bool bAlpha) : SDLImage(nWidth, nHeight, bAlpha, true) { setName("sheet"); }
};

Tsl::SmartPtr<Image> makeSheet(const SheetOptions& opt) {
    int nWidth = glyphX(34);
    Tsl::SmartPtr<Image> pSheet = new NamedImage(nWidth, 7 * BAND, !opt.bColorKey);
    if (opt.bColorKey) {
        pSheet->fill(Color(255, 0, 255));
        pSheet->setColorKey(Color(255, 0, 255));
    }
    for (int r = 0; r < 7; ++r) {
        int y0 = r * BAND;
        if (r < opt.nMarkedRows) {
            pSheet->setColorAt(0, y0, WHITE);
            pSheet->setColorAt(0, y0 + STRIP + 1, WHITE);
        }
        const Tsl::String& sChars = GlyphSheetLayout::rowCharacters(r);
        for (int k = 0; k < sChars.getLength(); ++k) {
            bool bLast = k == sChars.getLength() - 1;
            int nRight = opt.bTouchEdge && r == 3 && bLast ? nWidth : glyphX(k) + glyphWidth(k);
            for (int y = (k == 0 ? 2 : 0); y < STRIP; ++y)
                for (int x = glyphX(k); x < nRight; ++x) pSheet->setColorAt(x, y0 + 1 + y, WHITE);
        }
    }
    return pSheet;
}

class BitmapFontTest : public ::testing::Test {
protected:
    Tsl::SmartPtr<Font> load(const char* pszClass, const SheetOptions& opt = SheetOptions()) {
        app.addImage("sheet", makeSheet(opt));
        Tsl::List<Tsl::String> lParams;
        lParams.append("sheet");
        return Theme::createFont(pszClass, lParams);
    }
    // The application's start-up registers both image font classes.
    void SetUp() override { ASSERT_TRUE(app.onInit()); }
    TestApp app;
};

int widthOf(const Font& font, char c) {
    char sz[2] = {c, 0};
    return font.getTextWidth(sz);
}

TEST_F(BitmapFontTest, EveryRowYieldsItsCharactersAndTheMetrics) {
    Tsl::SmartPtr<Font> pFont = load("BitmapFont");
    for (int r = 0; r < 7; ++r) {
        const Tsl::String& sChars = GlyphSheetLayout::rowCharacters(r);
        for (int k = 1; k < sChars.getLength(); ++k) {
            EXPECT_TRUE(pFont->hasGlyph(sChars[k])) << r << "/" << k;
            // Later rows replace earlier ones: A is row 6's reference glyph.
            EXPECT_EQ(glyphWidth(k) + 1, widthOf(*pFont, sChars[k])) << r << "/" << k;
        }
    }
    EXPECT_EQ(glyphWidth(0) + 1, widthOf(*pFont, 'A'));
    EXPECT_FALSE(pFont->hasGlyph(' '));
    BitmapFontBase* pBitmap = dynamic_cast<BitmapFontBase*>(pFont.get());
    EXPECT_EQ(GAP, pBitmap->getBlankWidth());
    EXPECT_EQ(STRIP + 5, pBitmap->getHeight());
    Tsl::SmartPtr<Image> pGlyph = (*pBitmap->getGlyphTable())['b'];
    EXPECT_EQ(0, pGlyph->getInsPointX());
    EXPECT_EQ(2, pGlyph->getInsPointY());
}

TEST_F(BitmapFontTest, MeasuresLinesAndDecodesUtf8) {
    Tsl::SmartPtr<Font> pFont = load("SimpleFont");
    int a = widthOf(*pFont, 'a');
    EXPECT_EQ(0, pFont->getTextWidth(""));
    EXPECT_EQ(2 * a, pFont->getTextWidth("aa\na\raa"));
    EXPECT_EQ(3 * GAP, pFont->getTextWidth("  \t"));
    // á is one glyph (row 1, character 28), not two bytes looked up apart.
    EXPECT_EQ(glyphWidth(28) + 1, pFont->getTextWidth("\xc3\xa1"));
    EXPECT_EQ("\xe1", std::string(CodePage::toWindows1252("\xc3\xa1").c_str()));
    // A byte that starts no UTF-8 sequence stands for itself.
    EXPECT_EQ(glyphWidth(28) + 1, pFont->getTextWidth("\xe1"));
}

TEST_F(BitmapFontTest, SimpleFontDrawsTintedGlyphsOverTheirShadowAndCachesEachColour) {
    Tsl::SmartPtr<Font> pFont = load("SimpleFont");
    pFont->setTextColor(Color(255, 0, 0));
    pFont->setShadowColor(Color(0, 0, 255));
    Tsl::SmartPtr<Image> pTarget = app.createImage(40, 30, true);
    pFont->drawString(pTarget, 5, 5, "a");
    // 'a' is 3 wide; its insertion point (0, 2) puts the strip top at y 3.
    EXPECT_EQ(Color(255, 0, 0, 255), pTarget->getColorAt(5, 3));
    EXPECT_EQ(Color(255, 0, 0, 255), pTarget->getColorAt(7, 12));
    EXPECT_EQ(Color(0, 0, 255, 255), pTarget->getColorAt(8, 13));
    EXPECT_EQ(0, pTarget->getColorAt(9, 3).a);

    SimpleFont* pSimple = dynamic_cast<SimpleFont*>(pFont.get());
    Tsl::SmartPtr<Font> pClone = pFont->clone();
    pClone->drawString(pTarget, 0, 0, "ab");
    EXPECT_EQ(2, pSimple->getCore()->getColorCount());
    pClone->setTextColor(Color(0, 255, 0));
    pClone->drawString(pTarget, 0, 0, "ab");
    EXPECT_EQ(3, pSimple->getCore()->getColorCount());
}

TEST_F(BitmapFontTest, AColourKeyedSheetTintsOnlyItsGlyphPixels) {
    SheetOptions opt;
    opt.bColorKey = true;
    Tsl::SmartPtr<Font> pFont = load("SimpleFont", opt);
    EXPECT_EQ(glyphWidth(1) + 1, widthOf(*pFont, 'a'));
    pFont->setTextColor(Color(255, 0, 0));
    pFont->setDrawShadow(false);
    Tsl::SmartPtr<Image> pTarget = app.createImage(40, 30, true);
    pFont->drawString(pTarget, 5, 5, "Aa");
    // A's two clear rows on top stay clear; its body is red.
    EXPECT_EQ(0, pTarget->getColorAt(5, 3).a);
    EXPECT_EQ(Color(255, 0, 0, 255), pTarget->getColorAt(5, 5));
    EXPECT_EQ(0, pTarget->getColorAt(7, 6).a);
    EXPECT_EQ(Color(255, 0, 0, 255), pTarget->getColorAt(8, 3));
}

TEST_F(BitmapFontTest, BitmapFontCopiesGlyphsAsPainted) {
    Tsl::SmartPtr<Font> pFont = load("BitmapFont");
    pFont->setTextColor(Color(255, 0, 0));
    Tsl::SmartPtr<Image> pTarget = app.createImage(40, 30, true);
    pFont->drawString(pTarget, 5, 5, "a");
    EXPECT_EQ(WHITE, pTarget->getColorAt(5, 3));
    EXPECT_EQ(0, pTarget->getColorAt(8, 13).a);
}

TEST_F(BitmapFontTest, DamagedSheetsWarnOrFailButNeverHang) {
    {
        SheetOptions opt;
        opt.bTouchEdge = true;
        testing::internal::CaptureStderr();
        Tsl::SmartPtr<Font> pFont = load("BitmapFont", opt);
        std::string sErr = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, sErr.find("WARNING : Loading font 'sheet' : line 3, character 8")) << sErr;
        EXPECT_FALSE(pFont->hasGlyph('"'));
        EXPECT_TRUE(pFont->hasGlyph('\''));
    }
    {
        SheetOptions opt;
        opt.nMarkedRows = 3;
        testing::internal::CaptureStderr();
        Tsl::SmartPtr<Font> pFont = load("SimpleFont", opt);
        std::string sErr = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, sErr.find("no top marker for line 3")) << sErr;
        EXPECT_TRUE(pFont->hasGlyph('9'));
        EXPECT_FALSE(pFont->hasGlyph('?'));
    }
    {
        SheetOptions opt;
        opt.nMarkedRows = 0;
        testing::internal::CaptureStderr();
        EXPECT_THROW(load("SimpleFont", opt), Tsl::ResourceException);
        testing::internal::GetCapturedStderr();
    }
}

} // namespace
