// TrueType fonts from the system's DejaVu files, read through a folder
// resource provider: the factory's cache, measuring, drawing, failures and
// the platform's registration and report.
#include "test_folder.h"
#include "fakes.h"
#include "platform/sdl_platform.h"
#include "text/sdl_ttf_font.h"
#include "ui/theme.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const FONT_FOLDER = "/usr/share/fonts/truetype/dejavu";

Tsl::List<Tsl::String> spec(const char* pszWords) { return Tsl::String(pszWords).split(" "); }

class TrueTypeTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.addResourceProvider(new Tsl::FolderResourceProvider(FONT_FOLDER));
        m_pMemory = new Tsl::MemoryResourceProvider();
        app.addResourceProvider(m_pMemory);
        m_nHits = SDLTTFFactory::getHits();
        m_nMisses = SDLTTFFactory::getMisses();
    }
    int hits() const { return SDLTTFFactory::getHits() - m_nHits; }
    int misses() const { return SDLTTFFactory::getMisses() - m_nMisses; }
    SDLTrueTypeFont* ttf(const Tsl::SmartPtr<Font>& p) { return dynamic_cast<SDLTrueTypeFont*>(p.get()); }

    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pMemory;
    Tsl::SmartPtr<SDLTTFFactory> m_pFactory = new SDLTTFFactory();
    int m_nHits = 0, m_nMisses = 0;
};

TEST_F(TrueTypeTest, ASecondRequestIsAHitSharingTheOpenedFont) {
    Tsl::SmartPtr<Font> pFirst = m_pFactory->createFont(spec("DejaVuSans.ttf 14 Bold"));
    Tsl::SmartPtr<Font> pSecond = m_pFactory->createFont(spec("DejaVuSans.ttf 14 BOLD"));
    EXPECT_EQ(1, misses());
    EXPECT_EQ(1, hits());
    EXPECT_NE(pFirst.get(), pSecond.get());
    EXPECT_EQ(ttf(pFirst)->getData().get(), ttf(pSecond)->getData().get());
    EXPECT_EQ(14, ttf(pSecond)->getSize());
    EXPECT_EQ(m_pFactory.get(), pSecond->getFactory().get());
    m_pFactory->createFont(spec("DejaVuSans.ttf 14 italic bold"));
    m_pFactory->createFont(spec("DejaVuSans.ttf 14 bold italic"));
    EXPECT_EQ(3, misses());
    EXPECT_EQ("dejavusans.ttf::14::bold", std::string(m_pFactory->getUseOrder().getAt(0).c_str()));
}

TEST_F(TrueTypeTest, TheLeastRecentlyUsedSpecIsEvicted) {
    for (int nSize = 8; nSize < 8 + SDLTTFFactory::CACHE_SIZE; ++nSize)
        m_pFactory->createFont(spec(Tsl::String::format("DejaVuSans.ttf %d", nSize)));
    m_pFactory->createFont(spec("DejaVuSans.ttf 8"));  // a hit: 8 moves to the end
    m_pFactory->createFont(spec("DejaVuSans.ttf 30"));  // evicts 9
    EXPECT_EQ(1, hits());
    Tsl::List<Tsl::String> lOrder = m_pFactory->getUseOrder();
    ASSERT_EQ(SDLTTFFactory::CACHE_SIZE, lOrder.getCount());
    EXPECT_EQ("dejavusans.ttf::10", std::string(lOrder.getAt(0).c_str()));
    EXPECT_EQ(-1, lOrder.indexOf("dejavusans.ttf::9"));
    int nMisses = misses();
    m_pFactory->createFont(spec("DejaVuSans.ttf 8"));
    m_pFactory->createFont(spec("DejaVuSans.ttf 9"));
    EXPECT_EQ(nMisses + 1, misses());
}

TEST_F(TrueTypeTest, FailuresRaiseAndLeaveTheCacheAlone) {
    const char kGarbage[] = "this is not a font file at all";
    m_pMemory->add("broken.ttf", kGarbage, sizeof(kGarbage));
    m_pFactory->createFont(spec("DejaVuSans.ttf 12"));
    const char* apszBad[] = {"missing.ttf 12", "broken.ttf 12", "DejaVuSans.ttf 0", "DejaVuSans.ttf x"};
    for (const char* pszBad : apszBad) {
        EXPECT_THROW(m_pFactory->createFont(spec(pszBad)), Tsl::Exception) << pszBad;
        EXPECT_EQ(1, m_pFactory->getUseOrder().getCount()) << pszBad;
    }
    EXPECT_THROW(m_pFactory->createFont(spec("DejaVuSans.ttf")), Tsl::FatalErrorException);
}

TEST_F(TrueTypeTest, AnAliasedNameOpensAndSharesTheEntryOfItsTarget) {
    const char kAliases[] = "label DejaVuSans.ttf\n";
    m_pMemory->add("aliases", kAliases, sizeof(kAliases) - 1);
    app.loadResourceAliases("aliases");
    Tsl::SmartPtr<Font> pFont = m_pFactory->createFont(spec("label 12"));
    m_pFactory->createFont(spec("DejaVuSans.ttf 12"));
    EXPECT_GT(pFont->getHeight(), 0);
    EXPECT_EQ(1, misses());
}

TEST_F(TrueTypeTest, SpecParameterZeroIsThePointSize) {
    Tsl::List<Tsl::String> lSpec = spec("DejaVuSans.ttf 12 bold");
    EXPECT_TRUE(m_pFactory->setIntParam(lSpec, 0, 20));
    EXPECT_FALSE(m_pFactory->setIntParam(lSpec, 1, 20));
    EXPECT_EQ("20", std::string(lSpec.getAt(1).c_str()));
    EXPECT_EQ(20, m_pFactory->getIntParam(lSpec, 0));
    EXPECT_EQ(-1, m_pFactory->getIntParam(lSpec, 1));
}

// Bounding box of the pixels drawn in exactly one colour.
Rect boxOf(Image* pImage, const Color& c) {
    Rect box(1000, 1000, -1, -1, false);
    for (int y = 0; y < pImage->getHeight(); ++y)
        for (int x = 0; x < pImage->getWidth(); ++x) {
            Color p = pImage->getColorAt(x, y);
            if (p.a == 0 || p.r != c.r || p.g != c.g || p.b != c.b) continue;
            box.left = std::min(box.left, x), box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
        }
    return box;
}

TEST_F(TrueTypeTest, DrawsTheTextInItsColourOverTheShadowAtTheOffset) {
    Tsl::SmartPtr<Font> pFont = m_pFactory->createFont(spec("DejaVuSans.ttf 20"));
    EXPECT_EQ(pFont->getTextWidth("LLLL"), pFont->getTextWidth("LL\nLLLL\n"));
    EXPECT_GT(pFont->getTextWidth("LLLL"), pFont->getTextWidth("LL"));
    pFont->setTextColor(Color(255, 0, 0));
    pFont->setShadowColor(Color(0, 255, 0));
    pFont->setShadowOffset(2);
    Tsl::SmartPtr<Image> pTarget = app.createImage(80, 40, true);
    pFont->drawString(pTarget, 10, 5, "L");
    Rect text = boxOf(pTarget, Color(255, 0, 0)), shadow = boxOf(pTarget, Color(0, 255, 0));
    ASSERT_LT(text.left, text.right);
    EXPECT_GE(text.left, 10);
    EXPECT_EQ(text.right + 2, shadow.right);
    EXPECT_EQ(text.bottom + 2, shadow.bottom);

    // SDL_ttf renders nothing for a text without width: nothing is drawn.
    Tsl::SmartPtr<Image> pUntouched = app.createImage(80, 40, true);
    pFont->drawString(pUntouched, 10, 5, "\xe2\x80\x8b");
    EXPECT_GT(boxOf(pUntouched, Color(255, 0, 0)).left, 80);

    pFont->setDrawShadow(false);
    Tsl::SmartPtr<Image> pPlain = app.createImage(80, 40, true);
    pFont->drawString(pPlain, 10, 5, "L");
    EXPECT_EQ(text, boxOf(pPlain, Color(255, 0, 0)));
    EXPECT_GT(boxOf(pPlain, Color(0, 255, 0)).left, 80);
}

TEST_F(TrueTypeTest, LineEndsOfWrappedTextDrawNoGlyph) {
    Tsl::SmartPtr<Font> pFont = m_pFactory->createFont(spec("DejaVuSans.ttf 20"));
    pFont->setTextColor(Color(255, 0, 0));
    pFont->setDrawShadow(false);
    Tsl::SmartPtr<Image> pLine = app.createImage(80, 40, true);
    pFont->drawString(pLine, 10, 5, "L");
    for (const char* pszEnded : {"L\n", "L\r\n"}) {
        Tsl::SmartPtr<Image> pEnded = app.createImage(80, 40, true);
        pFont->drawString(pEnded, 10, 5, pszEnded);
        EXPECT_EQ(boxOf(pLine, Color(255, 0, 0)), boxOf(pEnded, Color(255, 0, 0)));
        EXPECT_EQ(pFont->getTextWidth("L"), pFont->getTextWidth(pszEnded));
    }
}

std::string readFile(const std::string& sPath) {
    std::ifstream in(sPath);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST_F(TrueTypeTest, ThePlatformRegistersTheFactoryAndReportsItAtShutDown) {
    std::string sLog = testPath("fontcache.log");
    GameApp::openLog(sLog.c_str());
    SDLPlatform* pPlatform = new SDLPlatform();
    Tsl::SmartPtr<Font> pFont = Theme::createFont("truetype", spec("DejaVuSans.ttf 11"));
    Theme::createFont("TrueType", spec("DejaVuSans.ttf 11"));
    std::string sExpected = SDLTTFFactory::formatStatistics().c_str();
    pPlatform->shutdown();
    delete pPlatform;
    GameApp::closeLog();
    EXPECT_EQ(sExpected, readFile(sLog));
    EXPECT_NE(std::string::npos, sExpected.find("misses\n"));
    EXPECT_FALSE(Theme::findFontFactory("TrueType"));
    // The font handed out keeps SDL_ttf up; the last one going shuts it down.
    EXPECT_TRUE(TTF_WasInit());
    pFont = nullptr;
    EXPECT_EQ(0, SDLTTFData::getUseCount());
    EXPECT_FALSE(TTF_WasInit());
    std::remove(sLog.c_str());
}

TEST_F(TrueTypeTest, AReplacedPlatformLeavesTheFactoryToItsSuccessor) {
    SDLPlatform* pOld = new SDLPlatform();
    SDLPlatform* pNew = new SDLPlatform();
    pOld->shutdown();
    delete pOld;
    EXPECT_TRUE(Theme::findFontFactory("TrueType"));
    delete pNew;
    EXPECT_FALSE(Theme::findFontFactory("TrueType"));
}

TEST(TrueTypeStatistics, TheLineHasTheQuotedForm) {
    Tsl::String sLine = SDLTTFFactory::formatStatistics();
    int nHits = 0, nMisses = 0;
    double fPercent = -1;
    ASSERT_EQ(3, std::sscanf(sLine, "S: Font cache : %d hits (%lf%%), %d misses\n", &nHits, &fPercent, &nMisses));
    int nTotal = nHits + nMisses;
    EXPECT_NEAR(nTotal ? nHits * 100.0 / nTotal : 0.0, fPercent, 0.05);
}

// Every candidate line measured whole, as wrapping did before it kept a bound.
std::vector<std::string> wrapMeasuringWhole(const Font& font, const std::string& sText, int nWidth) {
    std::vector<std::string> aLines;
    std::string sLine;
    auto kind = [](char c) { return c == '\n' ? 0 : c == ' ' ? 1 : 2; };
    for (size_t i = 0; i < sText.size();) {
        size_t j = i + 1;
        while (kind(sText[i]) != 0 && j < sText.size() && kind(sText[j]) == kind(sText[i])) ++j;
        std::string sToken = sText.substr(i, j - i);
        if (!sLine.empty() && font.getTextWidth((sLine + sToken).c_str()) > nWidth) {
            aLines.push_back(sLine);
            sLine = sToken;
        } else {
            sLine += sToken;
        }
        i = j;
        if (sLine.back() == '\n' || i == sText.size()) {
            aLines.push_back(sLine);
            sLine.clear();
        }
    }
    return aLines;
}

// Random texts of words with kerned pairs, accents and line feeds, in upright, bold and
// italic faces, wrapped to random widths: the same lines as measuring each whole.
TEST_F(TrueTypeTest, WrappingBreaksWhereMeasuringEachLineWholeWould) {
    const char* apszWords[] = {"AV", "To", "Ty", "LT", "Wa", "f.", "r,", "yA", "\xc3\xa9t\xc3\xa9", "jj", "ff",
                               "Yo!", "VAVAV", "iiii", "\xe2\x80\x94", "T.", "L'", "ww"};
    const char* apszSpecs[] = {"DejaVuSans.ttf 14", "DejaVuSerif.ttf 23 bold italic", "DejaVuSansMono.ttf 9",
                               "DejaVuSerif-Italic.ttf 31"};
    std::mt19937 rng(5);
    for (const char* pszSpec : apszSpecs) {
        Tsl::SmartPtr<Font> pFont = m_pFactory->createFont(spec(pszSpec));
        for (int nText = 0; nText < 60; ++nText) {
            std::string sText;
            for (int nWords = 1 + static_cast<int>(rng() % 60); nWords > 0; --nWords) {
                sText += apszWords[rng() % (sizeof(apszWords) / sizeof(apszWords[0]))];
                if (rng() % 3 == 0) sText += apszWords[rng() % (sizeof(apszWords) / sizeof(apszWords[0]))];
                sText += rng() % 12 == 0 ? "\n" : rng() % 5 == 0 ? "  " : " ";
            }
            int nWidth = rng() % 8 == 0 ? 1 << 30 : 10 + static_cast<int>(rng() % 400);
            std::vector<std::string> aLines;
            Tsl::List<Tsl::String> lLines = pFont->wrapText(sText.c_str(), nWidth);
            for (int i = 0; i < lLines.getCount(); ++i) aLines.push_back(lLines.getAt(i).c_str());
            ASSERT_EQ(wrapMeasuringWhole(*pFont, sText, nWidth), aLines) << pszSpec << " at " << nWidth;
        }
    }
}

} // namespace
