// The Flash host and sprite over the stand-in's registries: inert with
// nothing registered (as in the program), alive over a scripted control.
#include "fake_flash.h"
#include "sdl_fixtures.h"

#include "media/flashsprite.h"
#include "media/flashwnd.h"
#include "platform/sdl_platform.h"

#include "tsl2/error.h"
#include "tsl2/memstream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace {

// A Flash header: signature, version, length, then the frame rectangle of
// n-bit fields, plain or zlib-compressed after byte 8.
std::string swfHeader(int nXMin, int nXMax, int nYMin, int nYMax, bool bCompressed, int nBits = 15) {
    std::vector<unsigned char> aRect((5 + 4 * nBits + 7) / 8 + 4, 0);
    int nBit = 0;
    auto put = [&](unsigned int nValue, int nCount) {
        for (int i = nCount - 1; i >= 0; --i, ++nBit)
            if ((nValue >> i) & 1u) aRect[nBit / 8] |= static_cast<unsigned char>(0x80 >> (nBit % 8));
    };
    put(static_cast<unsigned int>(nBits), 5);
    for (int v : {nXMin, nXMax, nYMin, nYMax}) put(static_cast<unsigned int>(v) & ((1u << nBits) - 1), nBits);
    std::string sBody(aRect.begin(), aRect.end());
    sBody += std::string(16, '\x01');  // frame rate, count, tags
    std::string sOut = bCompressed ? "CWS" : "FWS";
    sOut += '\x08';
    sOut += std::string(4, '\x40');
    if (!bCompressed) return sOut + sBody;
    uLongf nSize = compressBound(sBody.size());
    std::string sPacked(nSize, '\0');
    compress(reinterpret_cast<Bytef*>(&sPacked[0]), &nSize, reinterpret_cast<const Bytef*>(sBody.data()), sBody.size());
    sPacked.resize(nSize);
    return sOut + sPacked;
}

void readSize(const std::string& sBytes, int* pWidth, int* pHeight) {
    Tsl::SmartPtr<Tsl::MemStream> pStream = new Tsl::MemStream(sBytes.data(), static_cast<int>(sBytes.size()));
    readSwfFrameSize(pStream, pWidth, pHeight);
}

// An application over the SDL platform whose current folder holds the
// movies, reachable through a folder provider as well.
class FlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDLPlatform* pPlatform = new SDLPlatform();
        pPlatform->setVideoDriver(new FakeVideoDriver());
        app.setPlatform(pPlatform);
        ASSERT_TRUE(app.init(640, 480, 0));
        sFolder = makeTempFolder("flash");
        ASSERT_FALSE(sFolder.empty());
        char szOld[4096];
        ASSERT_TRUE(getcwd(szOld, sizeof(szOld)));
        sOldFolder = szOld;
        ASSERT_EQ(0, chdir(sFolder.c_str()));
        std::ofstream("intro.swf", std::ios::binary) << swfHeader(0, 11000, 0, 8000, false);
        app.addResourceFolder(sFolder.c_str());
        FakeFlash::s_nLive = 0;
        FakeFlash::s_nHeldAtDeath = 0;
    }
    void TearDown() override {
        EXPECT_EQ(0, FakeFlash::s_nLive) << "a control outlived its host";
        EXPECT_EQ(0, FakeFlash::s_nHeldAtDeath) << "the host left references on the control";
        ole::LiveObjects live = ole::getLiveObjects();
        EXPECT_EQ(0, live.nWindows);
        EXPECT_EQ(0, live.nDeviceContexts);
        EXPECT_EQ(0, live.nBitmaps);
        EXPECT_EQ(0, ole::getLoadedLibraryCount());
        ole::setDisplayBitsPerPixel(32);
        if (!sOldFolder.empty()) {
            EXPECT_EQ(0, chdir(sOldFolder.c_str()));
        }
    }

    RecordingApp app;
    std::string sFolder;
    std::string sOldFolder;
    FlashScript script;
};

Color pixelAt(Tsl::SmartPtr<Image> pImage, int x, int y) {
    pImage->lock();
    Color c = pImage->getPixel(x, y);
    pImage->unlock();
    return c;
}

} // namespace

TEST(SwfHeader, ReadsBothFormsAndRefusesBrokenOnes) {
    struct Case {
        std::string sBytes;
        int nWidth, nHeight;
    } good[] = {
        {swfHeader(0, 11000, 0, 8000, false), 550, 400},
        {swfHeader(0, 11000, 0, 8000, true), 550, 400},
        {swfHeader(-200, 6400, 100, 4900, false), 330, 240},
        {swfHeader(0, 2000, 0, 1000, true, 12), 100, 50},
    };
    for (const Case& c : good) {
        int w = 0, h = 0;
        readSize(c.sBytes, &w, &h);
        EXPECT_EQ(c.nWidth, w);
        EXPECT_EQ(c.nHeight, h);
    }
    std::string sPlain = swfHeader(0, 11000, 0, 8000, false);
    std::string sPacked = swfHeader(0, 11000, 0, 8000, true);
    std::string bad[] = {
        "",
        "FWS\x08",
        "GIF89a" + sPlain.substr(6),
        sPlain.substr(0, 11),                        // rectangle cut short
        sPacked.substr(0, 10),                       // compressed stream cut short
        "CWS\x08\x40\x40\x40\x40garbage-not-zlib",  // not zlib at all
        swfHeader(0, 0, 0, 0, false),                // empty frame
        swfHeader(0, 1 << 29, 0, 8000, false, 31),   // absurdly large
    };
    for (const std::string& sBytes : bad) {
        int w = -1, h = -1;
        EXPECT_THROW(readSize(sBytes, &w, &h), Tsl::BadStreamFormatException) << sBytes.size() << " bytes";
    }
}

// The frame rectangle takes (5 + 4 n) bits for n-bit fields, rounded up to
// whole bytes: exactly that much reads, one byte less is refused, plain or
// compressed, and so is a fixed part one byte short.
TEST(SwfHeader, AHeaderOneByteShortIsRefused) {
    auto packed = [](const std::string& sPlain) {
        std::string sBody = sPlain.substr(8);
        uLongf nSize = compressBound(sBody.size());
        std::string sOut(nSize, '\0');
        compress(reinterpret_cast<Bytef*>(&sOut[0]), &nSize, reinterpret_cast<const Bytef*>(sBody.data()),
                 sBody.size());
        sOut.resize(nSize);
        return "CWS" + sPlain.substr(3, 5) + sOut;
    };
    for (int nBits : {12, 15, 16}) {
        size_t nHeader = 8 + (5 + 4 * nBits + 7) / 8;
        std::string sWhole = swfHeader(0, 2000, 0, 1000, false, nBits);
        for (bool bCompressed : {false, true}) {
            std::string sExact = sWhole.substr(0, nHeader), sShort = sWhole.substr(0, nHeader - 1);
            if (bCompressed) {
                sExact = packed(sExact);
                sShort = packed(sShort);
            }
            int w = 0, h = 0;
            readSize(sExact, &w, &h);
            EXPECT_EQ(100, w) << nBits << " bits, compressed " << bCompressed;
            EXPECT_EQ(50, h);
            EXPECT_THROW(readSize(sShort, &w, &h), Tsl::BadStreamFormatException) << nBits << " bits";
        }
    }
    int w = 0, h = 0;
    EXPECT_THROW(readSize(swfHeader(0, 2000, 0, 1000, false).substr(0, 7), &w, &h), Tsl::BadStreamFormatException);
}

// Nothing registered, as in the program: the sprite is inert and leaves
// nothing behind.
TEST_F(FlashTest, WithoutAControlTheSpriteIsInert) {
    EXPECT_FALSE(FlashSprite::isAvailable());
    Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 10, 20, 3, false);
    EXPECT_FALSE(pSprite->hasControl());
    pSprite->update();
    pSprite->play();
    pSprite->setScale(2.0f);
    pSprite->update();
    EXPECT_FALSE(pSprite->getImage());
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_EQ(0, pSprite->getCurrentFrame());
    EXPECT_EQ(0, pSprite->getTotalFrames());
    EXPECT_FALSE(pSprite->gotoLabel("start"));
    EXPECT_TRUE(pSprite->getCurrentLabel().isEmpty());
    EXPECT_EQ(0.0f, pSprite->getSize().x);
    EXPECT_EQ(20, pSprite->getY());
}

// Both ways of making the control set it up the same way, show it at the
// movie's size and draw it into the sprite.
TEST_F(FlashTest, CreatesThroughTheLibraryOrTheRegisteredClass) {
    for (RegisteredFlash::Way eWay : {RegisteredFlash::PRIVATE_LIBRARY, RegisteredFlash::REGISTERED_CLASS}) {
        SCOPED_TRACE(eWay == RegisteredFlash::PRIVATE_LIBRARY ? "library" : "registered");
        script.calls.clear();
        RegisteredFlash registered(&script, eWay);
        EXPECT_TRUE(FlashSprite::isAvailable());
        EXPECT_EQ(0, ole::getLoadedLibraryCount());
        {
            Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, true);
            ASSERT_TRUE(pSprite->hasControl());
            std::string sExpected = "SetClientSite | Advise | WMode transparent | Scale showAll | BackgroundColor 0 | "
                                    "EmbedMovie off | EmbedMovie on | Movie " + sFolder + "/intro.swf | Play | DoVerb -1 550x400";
            EXPECT_EQ(sExpected, script.joined());
            EXPECT_EQ(550.0f, pSprite->getSize().x);
            EXPECT_EQ(400.0f, pSprite->getSize().y);
            EXPECT_TRUE(pSprite->isPlaying());
            pSprite->update();
            Tsl::SmartPtr<Image> pImage = pSprite->getImage();
            ASSERT_TRUE(pImage);
            EXPECT_EQ(550, pImage->getWidth());
            // The left half is the control's colour (bytes B, G, R = 10, 20, 30).
            Color c = pixelAt(pImage, 5, 5);
            EXPECT_EQ(30, c.r);
            EXPECT_EQ(20, c.g);
            EXPECT_EQ(10, c.b);
        }
        EXPECT_NE(std::string::npos, script.joined().find("Unadvise | Close"));
    }
}

// A control that lacks the extended view or windowless activation still
// plays; one without the Flash interface is dropped cleanly.
TEST_F(FlashTest, FallsBackOrGivesUpOnMissingInterfaces) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    script.bNoViewObjectEx = true;
    script.bNoWindowless = true;
    {
        Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, true);
        ASSERT_TRUE(pSprite->hasControl());
        // Not windowless after all: no transparent mode.
        EXPECT_EQ(std::string::npos, script.joined().find("WMode"));
        pSprite->update();
        EXPECT_TRUE(pSprite->getImage());
    }
    script.bNoFlashInterface = true;
    Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, false);
    EXPECT_FALSE(pSprite->hasControl());
    EXPECT_EQ(0, FakeFlash::s_nLive);
}

TEST_F(FlashTest, MissingMovieRaisesResourceNotFound) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    try {
        FlashSprite sprite("outro.swf", 0, 0, 0, false);
        FAIL() << "a missing movie must raise";
    } catch (const Tsl::Exception& e) {
        EXPECT_STREQ("Resource outro.swf not found", e.getMessage());
    }
}

// A new scale applies at the next update, which rebuilds the bitmaps; an
// image made before keeps its own pixels.
TEST_F(FlashTest, ScaleRebuildsTheBitmapsAtTheNextUpdate) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, false);
    pSprite->update();
    Tsl::SmartPtr<Image> pBefore = pSprite->getImage();
    pSprite->setScale(0.5f);
    EXPECT_EQ(550, pSprite->getImage()->getWidth());
    pSprite->update();
    EXPECT_EQ(275, pSprite->getImage()->getWidth());
    EXPECT_EQ(200, pSprite->getImage()->getHeight());
    EXPECT_EQ(1, ole::getLiveObjects().nBitmaps);
    EXPECT_EQ(550, pBefore->getWidth());
    EXPECT_EQ(30, pixelAt(pBefore, 5, 5).r);
}

// Version 8: alpha from the difference between the renders over black and
// over white, clamped to a byte.
TEST_F(FlashTest, VersionEightAlphaComesFromTwoRenders) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    struct Case {
        unsigned char nBlack, nWhite;
        int nAlpha;
    } cases[] = {{0, 255, 0}, {90, 90, 255}, {60, 150, 165}, {255, 0, 255}};
    script.nVersion = 0x080000;
    for (const Case& c : cases) {
        std::memset(script.aOverBlack, c.nBlack, 3);
        std::memset(script.aOverWhite, c.nWhite, 3);
        Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, true);
        pSprite->update();
        Color left = pixelAt(pSprite->getImage(), 3, 3);
        EXPECT_EQ(c.nAlpha, left.a) << int(c.nBlack) << "/" << int(c.nWhite);
        EXPECT_EQ(c.nBlack, left.r);
        // The untouched half: black over black, white over white.
        EXPECT_EQ(0, pixelAt(pSprite->getImage(), 500, 3).a);
    }
}

// Other display depths draw over the parent window's picture (black here).
TEST_F(FlashTest, OtherDepthsDrawOverTheParentsPicture) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    ole::setDisplayBitsPerPixel(16);
    Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, false);
    pSprite->update();
    EXPECT_NE(std::string::npos, script.joined().find("Draw 32"));
    EXPECT_EQ(30, pixelAt(pSprite->getImage(), 3, 3).r);
    EXPECT_EQ(0, pixelAt(pSprite->getImage(), 500, 3).r);
}

TEST_F(FlashTest, CountsLoopsAndFollowsLabels) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    script.frames = {1, 5, 9, 2, 6, 9, 1, 4};
    script.labels = {L"intro", L"menu"};
    Tsl::SmartPtr<FlashSprite> pSprite = new FlashSprite("intro.swf", 0, 0, 0, false);
    for (int i = 0; i < 8; ++i) pSprite->update();
    EXPECT_EQ(2, pSprite->getLoopCount());
    EXPECT_EQ(24, pSprite->getTotalFrames());
    EXPECT_TRUE(pSprite->gotoLabel("menu"));
    EXPECT_STREQ("menu", pSprite->getCurrentLabel().c_str());
    EXPECT_FALSE(pSprite->gotoLabel("credits"));
    EXPECT_STREQ("menu", pSprite->getCurrentLabel().c_str());
    pSprite->stop();
    EXPECT_FALSE(pSprite->isPlaying());
    pSprite->rewind();
    pSprite->gotoFrame(3);
    EXPECT_NE(std::string::npos, script.joined().find("StopPlay | Rewind | GotoFrame 3"));
}

// The site as the control sees it: its window, and an invalidation that
// refreshes the bitmaps.
TEST_F(FlashTest, SiteAnswersTheControlsCalls) {
    RegisteredFlash registered(&script, RegisteredFlash::REGISTERED_CLASS);
    CFlashWnd host;
    ASSERT_TRUE(host.create(ShockwaveFlashObjects::CLSID_ShockwaveFlash, 0, static_cast<int>(ole::WS_CHILD),
                            ole::adoptForeignWindow(0, 640, 480), nullptr, "intro.swf"));
    ole::HWND hWnd = nullptr;
    EXPECT_EQ(ole::S_OK, host.GetWindow(&hWnd));
    EXPECT_EQ(host.getHostWindow(), hWnd);
    ole::RECT rc;
    ole::GetWindowRect(hWnd, &rc);
    EXPECT_EQ(550, rc.right - rc.left);
    ole::IUnknown* pUnknown = nullptr;
    EXPECT_EQ(ole::E_NOINTERFACE, host.QueryInterface(ole::IID_IOleObject, reinterpret_cast<void**>(&pUnknown)));
    EXPECT_EQ(nullptr, pUnknown);
    // An invalidation refreshes the bitmaps without a target.
    EXPECT_EQ(ole::S_OK, host.InvalidateRect(nullptr, ole::FALSE));
    EXPECT_EQ(1, ole::getLiveObjects().nBitmaps);
    EXPECT_FALSE(host.isVersion8());
}
