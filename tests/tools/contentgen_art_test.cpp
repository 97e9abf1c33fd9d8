// The generator's drawing, encoders and content set on small inputs, and the
// generated set as the game reads it: the waitress's hands hold what the play
// field lays in them, and the parts of a look line up.
#include "canvas.h"
#include "contentrules.h"
#include "contentset.h"
#include "encoders.h"
#include "handplaces.h"
#include "howtopages.h"

#include "fakes.h"

#include "anim/animation.h"
#include "app/gameapp.h"
#include "image/image.h"

#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <png.h>
#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

// --- drawing and encoding ----------------------------------------------------

TEST(ContentCanvas, ShapesCoverTheirPixelsAndBlendOverWhatIsThere) {
    Canvas c(10, 10);
    c.fillRect(2, 2, 3, 3, Rgba(255, 0, 0));
    EXPECT_EQ(255, c.at(2, 2).a);
    EXPECT_EQ(255, c.at(4, 4).a);
    EXPECT_EQ(0, c.at(5, 5).a);
    EXPECT_EQ(0, c.at(1, 2).a);
    c.fillRect(2, 2, 1, 1, Rgba(0, 0, 255, 128));
    Rgba mixed = c.at(2, 2);
    EXPECT_EQ(255, mixed.a);
    EXPECT_NEAR(127, mixed.r, 1);
    EXPECT_NEAR(128, mixed.b, 1);
    // A soft edge covers part of a pixel.
    Canvas round(20, 20);
    round.ellipse(10, 10, 6.5f, 6.5f, Rgba(0, 255, 0));
    EXPECT_EQ(255, round.at(10, 10).a);
    EXPECT_GT(round.at(16, 10).a, 0);
    EXPECT_LT(round.at(16, 10).a, 255);
}

TEST(ContentCanvas, AnOutlineGoesAroundTheDrawingNeverOverIt) {
    Canvas c(12, 12);
    c.fillRect(4, 4, 4, 4, Rgba(250, 250, 250));
    c.outline(Rgba(10, 10, 10), 1.0f);
    EXPECT_EQ(250, c.at(5, 5).r);
    EXPECT_EQ(250, c.at(4, 4).r);
    EXPECT_EQ(Rgba(10, 10, 10).r, c.at(3, 5).r);
    EXPECT_EQ(255, c.at(3, 5).a);
    EXPECT_EQ(0, c.at(1, 5).a);
}

std::vector<Rgba> decodePng(const Bytes& png, int& nWidth, int& nHeight) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<Rgba> aPixels(PNG_IMAGE_SIZE(image) / 4);
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, aPixels.data(), 0, nullptr));
    nWidth = static_cast<int>(image.width);
    nHeight = static_cast<int>(image.height);
    return aPixels;
}

// Shrinking averages what each new pixel covers, and clear pixels lend no
// colour: a red picture's rim does not darken where it meets the clear.
TEST(ContentCanvas, AShrunkPictureAveragesItsPixelsAndKeepsItsColourAtTheRim) {
    Canvas c(4, 2);
    c.fillRect(0, 0, 2, 2, Rgba(255, 0, 0));
    c.fillRect(2, 0, 1, 2, Rgba(0, 0, 255));
    Canvas half = c.scaled(2, 1);
    EXPECT_EQ(255, half.at(0, 0).r);
    EXPECT_EQ(255, half.at(0, 0).a);
    // Half blue, half clear: blue at half the cover.
    EXPECT_EQ(255, half.at(1, 0).b);
    EXPECT_EQ(0, half.at(1, 0).r);
    EXPECT_NEAR(128, half.at(1, 0).a, 1);
}

TEST(ContentEncoders, APictureReadsBackAsDrawnAndEncodesTheSameEveryTime) {
    Canvas c(7, 5);
    c.fillRect(1, 1, 3, 2, Rgba(200, 100, 50));
    c.set(6, 4, Rgba(1, 2, 3, 40));
    Bytes png = encodePng(c);
    EXPECT_EQ(png, encodePng(c));
    int nWidth = 0, nHeight = 0;
    std::vector<Rgba> aPixels = decodePng(png, nWidth, nHeight);
    ASSERT_EQ(7, nWidth);
    ASSERT_EQ(5, nHeight);
    for (int i = 0; i < 35; ++i) {
        Rgba want = c.pixels()[i];
        if (want.a == 0) want = Rgba(0, 0, 0, 0);
        EXPECT_EQ(0, std::memcmp(&want, &aPixels[i], 4)) << "pixel " << i;
    }
}

size_t readFromBytes(void* pOut, size_t nSize, size_t nCount, void* pSource) {
    auto* pCursor = static_cast<std::pair<const Bytes*, size_t>*>(pSource);
    size_t nLeft = pCursor->first->size() - pCursor->second, nBytes = std::min(nLeft, nSize * nCount);
    std::memcpy(pOut, pCursor->first->data() + pCursor->second, nBytes);
    pCursor->second += nBytes;
    return nBytes / nSize;
}

TEST(ContentEncoders, SoundsDecodeToTheirLength) {
    std::vector<float> aSamples(22050 / 2);
    for (size_t i = 0; i < aSamples.size(); ++i) aSamples[i] = 0.5f * std::sin(static_cast<float>(i) * 0.1f);
    Bytes wav = encodeWav(aSamples, 22050);
    ASSERT_EQ(44 + aSamples.size() * 2, wav.size());
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    EXPECT_EQ(0, std::memcmp(wav.data() + 8, "WAVEfmt ", 8));

    Bytes ogg = encodeOggVorbis(aSamples, 22050, 3);
    EXPECT_EQ(ogg, encodeOggVorbis(aSamples, 22050, 3));
    std::pair<const Bytes*, size_t> cursor(&ogg, 0);
    OggVorbis_File file;
    ov_callbacks callbacks = {readFromBytes, nullptr, nullptr, nullptr};
    ASSERT_EQ(0, ov_open_callbacks(&cursor, &file, nullptr, 0, callbacks));
    EXPECT_EQ(22050, ov_info(&file, -1)->rate);
    long nDecoded = 0;
    char aBuffer[4096];
    int nSection = 0;
    for (long n; (n = ov_read(&file, aBuffer, sizeof(aBuffer), 0, 2, 1, &nSection)) > 0;) nDecoded += n / 2;
    ov_clear(&file);
    EXPECT_EQ(static_cast<long>(aSamples.size()), nDecoded);
}

// --- the content set -------------------------------------------------------------

struct TempFolder {
    std::string sPath;
    TempFolder() {
        const char* pszBase = std::getenv("TSL_TEST_TMP");
        std::string sBase = pszBase ? pszBase : "/tmp";
        mkdir(sBase.c_str(), 0755);
        char aName[] = "contentgen-XXXXXX";
        sPath = sBase + "/" + aName;
        std::vector<char> aTemplate(sPath.begin(), sPath.end());
        aTemplate.push_back(0);
        sPath = mkdtemp(aTemplate.data());
    }
    ~TempFolder() { std::system(("rm -rf '" + sPath + "'").c_str()); }
};

TEST(ContentSetTest, PicturesAreStoredLowerCaseAndEveryArchiveIsWritten) {
    ContentSet set;
    set.addImage("map.dat", "mapa_flor_1_S", Canvas(2, 2));
    set.addText("lang_en.dat", "messages.txt", "OK = OK\n");
    EXPECT_TRUE(set.has("mapa_flor_1_s.png"));
    EXPECT_FALSE(set.has("mapa_flor_1_S.png"));
    EXPECT_THROW(set.addText("common.dat", "messages.txt", "again"), std::runtime_error);
    EXPECT_THROW(set.addText("other.dat", "x.txt", ""), std::runtime_error);
    // A picture made earlier is found by the name it was made under.
    Canvas drawn(3, 2);
    drawn.fillRect(1, 0, 1, 2, Rgba(10, 200, 30, 128));
    ContentSet pictures;
    pictures.addImage("common.dat", "Olvy_Wave", drawn);
    Canvas found = pictures.picture("Olvy_Wave");
    ASSERT_EQ(3, found.width());
    EXPECT_EQ(drawn.pixels()[1].g, found.pixels()[1].g);
    EXPECT_EQ(drawn.pixels()[4].a, found.pixels()[4].a);
    EXPECT_THROW(pictures.picture("olvy_jump"), std::runtime_error);

    TempFolder folder;
    set.write(folder.sPath);
    for (int i = 0; i < ContentSet::ARCHIVE_COUNT; ++i) {
        Tsl::ResourceFile archive((folder.sPath + "/" + ContentSet::ARCHIVES[i]).c_str());
        EXPECT_EQ(std::string(ContentSet::ARCHIVES[i]) == "map.dat" || std::string(ContentSet::ARCHIVES[i]) == "lang_en.dat" ? 1 : 0,
                  archive.getEntryCount());
    }
    Tsl::ResourceFile map((folder.sPath + "/map.dat").c_str());
    // Pictures are compressed already: stored as they are.
    EXPECT_EQ(0u, map.getEntry(0).nFlags & Tsl::GRF_FLAG_DEFLATED);
}

// --- the rules on hand-made files ---------------------------------------------------

struct Recorder : RuleReporter {
    void fault(const std::string& sFile, const std::string& sMessage) override { faults.push_back(sFile + ": " + sMessage); }
    void warn(const std::string& sFile, const std::string&) override { warnings.push_back(sFile); }
    std::vector<std::string> faults, warnings;
};

TEST(ContentRulesInApp, DefinitionsAndScenesThatTheGameReadsPass) {
    TestApp app;
    ASSERT_TRUE(app.init(800, 600, 0));
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pMemory = new Tsl::MemoryResourceProvider();
    pMemory->add("ch_wac_betty.anim", "x", 1);
    app.addResourceProvider(pMemory.get());
    Recorder r;
    checkDefinitions(r, "chars_scene1_19", "# who comes\nhombre\t3 # most\n\nvip 0.5 vip\r\nwac_betty 1 betty fans\n");
    checkScene(r, "scene1.scene",
               "image a\nsprite a 1 2 3 named\nflip named\nsprite_repeat a 0 0 0 3 10\n"
               "sprite_conditional a 0 0 0 mantel_2\nscale_anim named -1 1.5\ntopy 300\nbottomy 301\n");
    EXPECT_EQ(std::vector<std::string>(), r.faults);
    // The tag on the generated VIP is read, but only one VIP would come a level.
    EXPECT_EQ(std::vector<std::string>{"chars_scene1_19, line 4"}, r.warnings);
}

// --- the generated set, as the game reads it -------------------------------------

struct GeneratedSet : ::testing::Test {
    TestApp app;
    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        for (int i = 0; i < ContentSet::ARCHIVE_COUNT; ++i)
            ASSERT_TRUE(app.addArchive((std::string(CONTENT_ARCHIVE_DIR) + "/" + ContentSet::ARCHIVES[i]).c_str()))
                << "the sample content is built with the tools (target content)";
    }
};

// Each arm frame ends in the hand place its "position" names: a glass laid
// there is held, not floating beside the hand.
TEST_F(GeneratedSet, EveryArmFrameReachesTheHandPlaceItNames) {
    for (const char* pszVariant : {"A", "B"}) {
        Tsl::List<Tsl::String> lParams;
        lParams.append(pszVariant);
        Tsl::SmartPtr<Animation> pAnimation = app.getAnimation(
            "waitress.template", GameApp::makeAnimationKey("waitress.template", lParams).c_str(), lParams);
        for (const std::string& sSeq : waitressSequenceNames()) {
            if (sSeq.find("_arm_") == std::string::npos && sSeq.find("thumb") != std::string::npos) continue;
            if (sSeq.find("_main") != std::string::npos) continue;
            for (int f = 0; f < pAnimation->getFrameCount(sSeq.c_str()); ++f) {
                Tsl::SmartPtr<Image> pImage = pAnimation->getFrameImage(sSeq.c_str(), f);
                ASSERT_EQ(WAITRESS_WIDTH, pImage->getWidth()) << sSeq;
                int p = std::atoi(pAnimation->getFrameProp(sSeq.c_str(), f, "position").c_str());
                ASSERT_TRUE(p >= 0 && p < 88) << sSeq;
                EXPECT_FALSE(pImage->isTransparentAt(HAND_PLACES[p][0], HAND_PLACES[p][1], 128))
                    << pszVariant << " " << sSeq << " frame " << f << " place " << p;
            }
        }
    }
}

// A look template blits its parts at (0, 0): they line up only when every
// part has the figure's canvas.
TEST_F(GeneratedSet, EveryPartOfALookHasTheFigureCanvas) {
    int nParts = 0;
    for (const char* pszArchive : {"chars0.dat", "chars1.dat", "dresses.dat"}) {
        Tsl::ResourceFile archive((std::string(CONTENT_ARCHIVE_DIR) + "/" + pszArchive).c_str());
        for (const Tsl::String& sEntry : archive.getResourceNames()) {
            std::string sName = sEntry.c_str();
            bool bPart = sName.compare(0, 3, "ps_") == 0 || sName.compare(0, 3, "vip") == 0 || sName.compare(0, 5, "cust_") == 0;
            if (!bPart || sName.size() < 4 || sName.compare(sName.size() - 4, 4, ".png") != 0) continue;
            Tsl::SmartPtr<Image> pImage = app.getImage(sName.substr(0, sName.size() - 4).c_str());
            EXPECT_EQ(110, pImage->getWidth()) << sName;
            EXPECT_EQ(190, pImage->getHeight()) << sName;
            ++nParts;
        }
    }
    EXPECT_GT(nParts, 250);
}

// The how-to pages each show a picture of their own in their frame: most of
// the frame differs from one page to any other. A sign on a page's stage is
// in its view whole or not at all.
TEST_F(GeneratedSet, EachHowtoPageShowsAPictureOfItsOwnItsSignsWhole) {
    const int PAGES = static_cast<int>(howtoPages().size());
    ASSERT_EQ(3, PAGES);
    for (const HowtoPage& page : howtoPages())
        for (const HowtoPiece& piece : page.pieces) {
            if (piece.sPicture.find("sign") == std::string::npos) continue;
            Tsl::SmartPtr<Image> pSign = app.getImage(piece.sPicture.c_str());
            float w = pSign->getWidth() * piece.fScale, h = pSign->getHeight() * piece.fScale;
            float x = piece.x - (piece.eAnchor == HowtoPiece::TOP_LEFT ? 0 : w / 2) - page.aView[0];
            float y = piece.y - (piece.eAnchor == HowtoPiece::TOP_LEFT ? 0 : piece.eAnchor == HowtoPiece::CENTRE ? h / 2 : h) - page.aView[1];
            bool bOut = x >= page.aView[2] || y >= page.aView[3] || x + w <= 0 || y + h <= 0;
            EXPECT_TRUE(bOut || (x >= 0 && y >= 0 && x + w <= page.aView[2] && y + h <= page.aView[3]))
                << page.sTitle << ": " << piece.sPicture << " cut at the frame";
        }
    for (int a = 0; a < PAGES; ++a)
        for (int b = a + 1; b < PAGES; ++b) {
            Tsl::SmartPtr<Image> pA = app.getImage(("howto" + std::to_string(a)).c_str());
            Tsl::SmartPtr<Image> pB = app.getImage(("howto" + std::to_string(b)).c_str());
            int nSampled = 0, nDifferent = 0;
            for (int y = HOWTO_FRAME_Y; y < HOWTO_FRAME_Y + HOWTO_FRAME_H; y += 2)
                for (int x = HOWTO_FRAME_X; x < HOWTO_FRAME_X + HOWTO_FRAME_W; x += 2) {
                    Color p = pA->getColorAt(x, y), q = pB->getColorAt(x, y);
                    ++nSampled;
                    nDifferent += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 48;
                }
            EXPECT_GT(nDifferent * 3, nSampled) << "howto" << a << " and howto" << b << ": " << nDifferent << " of "
                                                << nSampled << " differ";
        }
}

// Every step a page's lines number (or letter: a label and two spaces) has
// its pointer in the picture; the first page starts with taking the order, then fills, then
// serves.
TEST(HowtoPages, EveryStepHasItsPointerAndTheOrderComesFirst) {
    std::vector<HowtoPage> pages = howtoPages();
    for (const HowtoPage& page : pages) {
        std::vector<std::string> steps, pointed;
        for (const std::string& sLine : page.lines)
            if (sLine.size() > 2 && sLine[0] != ' ' && sLine.compare(1, 2, "  ") == 0) steps.push_back(sLine.substr(0, 1));
        for (const HowtoPointer& p : page.pointers) pointed.push_back(p.sLabel);
        EXPECT_EQ(steps, pointed) << page.sTitle;
    }
    std::string sText;
    for (const std::string& sLine : pages[0].lines) sText += sLine + " ";
    size_t nOrder = sText.find("balloon"), nFill = sText.find("fill"), nServe = sText.find("serve");
    ASSERT_NE(std::string::npos, nOrder) << sText;
    EXPECT_NE(std::string::npos, sText.find("order")) << sText;
    EXPECT_LT(nOrder, nFill) << sText;
    EXPECT_LT(nFill, nServe) << sText;
}

} // namespace
