// Theora playback and the video sprite over movies made by the real
// encoders, under SDL's dummy video and audio output.
#include "movie_fixture.h"
#include "sdl_fixtures.h"

#include "audio/sdl_audio.h"
#include "media/sdl_theora.h"
#include "media/videosprite.h"
#include "media/videospriteimpl.h"
#include "platform/sdl_platform.h"

#include "tsl2/error.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// An application over the SDL platform; with bSound an open mixer at
// 44100 Hz stereo, as the game opens it.
class MovieApp {
public:
    explicit MovieApp(bool bSound) {
        SDLPlatform* pPlatform = new SDLPlatform();
        pPlatform->setVideoDriver(new FakeVideoDriver());
        if (bSound) {
            SDLAudioDriver* pAudio = new SDLAudioDriver();
            pAudio->setFrequency(44100);
            pAudio->setChunkSize(2048);
            pPlatform->setAudioDriver(pAudio);
        }
        app.setPlatform(pPlatform);
        bReady = app.init(160, 120, 0) && app.isAudioEnabled() == bSound;
    }
    RecordingApp app;
    bool bReady = false;
};

Color centre(Tsl::SmartPtr<Image> pImage) {
    pImage->lock();
    Color c = pImage->getPixel(pImage->getWidth() / 2, pImage->getHeight() / 2);
    pImage->unlock();
    return c;
}

int shownFrame(Tsl::SmartPtr<Image> pImage) { return frameOfLuma(centre(pImage).r); }

// The first frame k whose end time (k + 1) / fps reaches t.
int expectedFrame(double t, int nFps) {
    int k = 0;
    while (static_cast<double>(k + 1) / nFps < t) ++k;
    return k;
}

// Updates by dt until the movie reports its end (at most 100 times); the
// number of updates.
int playToEnd(SDLTheoraVideo& video, float fDt) {
    int nUpdates = 0;
    while (!video.isFinished() && nUpdates < 100) {
        video.update(fDt);
        ++nUpdates;
    }
    return nUpdates;
}

template <class Pred>
bool waitFor(Pred pred, int nMilliseconds = 5000) {
    for (int i = 0; i < nMilliseconds / 5; ++i) {
        if (pred()) return true;
        SDL_Delay(5);
    }
    return pred();
}

} // namespace

TEST(Theora, OpensAndReportsThePictureSize) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    spec.nFrameWidth = 48;
    spec.nPicWidth = 41;
    spec.nPicHeight = 23;
    SDLTheoraVideo video;
    ASSERT_TRUE(video.open(writeMovie("size.ogv", spec).c_str()));
    EXPECT_EQ(41, video.getWidth());
    EXPECT_EQ(23, video.getHeight());
    EXPECT_FALSE(video.hasAudioOutput());
    SDLTheoraVideo missing;
    EXPECT_FALSE(missing.open("no-such-movie.ogv"));
}

// Known colours through every chroma layout and picture offset, odd sizes
// included: every pixel of the picture, last row and column too.
TEST(Theora, ConvertsKnownColoursOverThePictureRegion) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    struct Case {
        int nFormat, nPicX, nPicY, nPicWidth, nPicHeight;
    } cases[] = {
        {0, 0, 0, 32, 32}, {0, 2, 4, 17, 13}, {0, 3, 5, 17, 13}, {2, 1, 2, 19, 11}, {3, 5, 3, 21, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("format " + std::to_string(c.nFormat) + " offset " + std::to_string(c.nPicX) + "," +
                     std::to_string(c.nPicY));
        MovieSpec spec;
        spec.nPixelFormat = c.nFormat;
        spec.nPicX = c.nPicX;
        spec.nPicY = c.nPicY;
        spec.nPicWidth = c.nPicWidth;
        spec.nPicHeight = c.nPicHeight;
        spec.nFrames = 2;
        // Outside the picture a colour that must never show; inside, the
        // left part red, the right part blue; the top rows bright.
        spec.fnPixel = [c](int, int x, int y, unsigned char* p) {
            int px = x - c.nPicX, py = y - c.nPicY;
            bool bInside = px >= 0 && py >= 0 && px < c.nPicWidth && py < c.nPicHeight;
            // Outside only the luma differs: a chroma sample shared with a
            // picture pixel must carry the picture's chroma.
            p[0] = 30;
            px = std::max(0, std::min(c.nPicWidth - 1, px));
            py = std::max(0, std::min(c.nPicHeight - 1, py));
            bool bLeft = px < c.nPicWidth / 2;
            if (bInside) p[0] = py < c.nPicHeight / 2 ? 200 : 90;
            p[1] = bLeft ? 100 : 220;
            p[2] = bLeft ? 200 : 110;
        };
        SDLTheoraVideo video;
        ASSERT_TRUE(video.open(writeMovie("colours.ogv", spec).c_str()));
        Tsl::SmartPtr<Image> pPicture = video.update(0.01f);
        ASSERT_TRUE(pPicture);
        ASSERT_EQ(c.nPicWidth, pPicture->getWidth());
        ASSERT_EQ(c.nPicHeight, pPicture->getHeight());
        pPicture->lock();
        // Away from the edges, where the encoder may blur: the four corners
        // of the picture and the pixel next to each.
        int w = c.nPicWidth, h = c.nPicHeight;
        struct Probe {
            int x, y, nLuma, nCb, nCr;
        } probes[] = {{0, 0, 200, 100, 200}, {1, 1, 200, 100, 200}, {w - 1, 0, 200, 220, 110},
                      {0, h - 1, 90, 100, 200}, {w - 1, h - 1, 90, 220, 110}, {w - 2, h - 2, 90, 220, 110}};
        for (const Probe& probe : probes) {
            Color got = pPicture->getPixel(probe.x, probe.y);
            int d = probe.nCr - 128, e = probe.nCb - 128;
            int r = probe.nLuma + static_cast<int>(d * 1.37f);
            int g = probe.nLuma + static_cast<int>(e * -0.336f) + static_cast<int>(d * -0.698f);
            int b = probe.nLuma + static_cast<int>(e * 1.732f);
            auto clamp = [](int n) { return n < 0 ? 0 : n > 255 ? 255 : n; };
            EXPECT_NEAR(clamp(r), got.r, 6) << probe.x << "," << probe.y;
            EXPECT_NEAR(clamp(g), got.g, 6) << probe.x << "," << probe.y;
            EXPECT_NEAR(clamp(b), got.b, 6) << probe.x << "," << probe.y;
            EXPECT_EQ(255, got.a);
        }
        pPicture->unlock();
    }
}

// Without sound the movie runs on the time given to update; each update
// shows the picture due at that time, and the frame that finds no more
// data reports the end.
TEST(Theora, AdvancesOnDtAndFinishes) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    SDLTheoraVideo video;
    ASSERT_TRUE(video.open(writeMovie("dt.ogv", spec).c_str()));
    double t = 0.0;
    int nUpdates = 0;
    while (!video.isFinished() && nUpdates < 100) {
        t += 0.125;
        ++nUpdates;
        Tsl::SmartPtr<Image> pPicture = video.update(0.125f);
        EXPECT_FLOAT_EQ(static_cast<float>(t), video.getCurrentTime());
        if (t <= 1.0) {
            ASSERT_TRUE(pPicture) << t;
            EXPECT_EQ(expectedFrame(t, spec.nFps), shownFrame(pPicture)) << t;
        }
    }
    EXPECT_TRUE(video.isFinished());
    EXPECT_LE(nUpdates, 12);
}

TEST(Theora, SeeksForwardOnly) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    SDLTheoraVideo video;
    ASSERT_TRUE(video.open(writeMovie("seek.ogv", spec).c_str()));
    video.update(0.125f);
    video.seek(video.getCurrentTime());
    EXPECT_FLOAT_EQ(0.125f, video.getCurrentTime());
    video.seek(0.625f);
    Tsl::SmartPtr<Image> pPicture = video.update(0.125f);
    ASSERT_TRUE(pPicture);
    EXPECT_EQ(expectedFrame(0.75, spec.nFps), shownFrame(pPicture));
    try {
        video.seek(0.5f);
        FAIL() << "a backward seek must raise";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("Theora : Backwards seek not implemented\n", e.getMessage());
    }
}

TEST(Theora, BrokenHeadersRaiseTheirErrors) {
    MovieApp movieApp(true);
    ASSERT_TRUE(movieApp.bReady);
    struct Case {
        const char* pszName;
        bool bTheora, bVorbis, bCut;
        const char* pszMessage;
    } cases[] = {
        {"theora.ogv", true, false, false, "Error parsing Theora stream headers in '%s'; corrupt stream?"},
        {"vorbis.ogv", false, true, false, "Error parsing Vorbis stream headers in '%s'; corrupt stream?"},
        {"cut.ogv", false, false, true, "End of file while searching for codec headers in '%s'"},
    };
    for (const Case& c : cases) {
        MovieSpec spec;
        spec.nSoundChannels = 1;
        spec.fSoundSeconds = 0.5f;
        spec.bCorruptTheoraComment = c.bTheora;
        spec.bCorruptVorbisComment = c.bVorbis;
        spec.bCutAfterFirstPage = c.bCut;
        std::string sPath = writeMovie(c.pszName, spec);
        SDLTheoraVideo video;
        try {
            video.open(sPath.c_str());
            ADD_FAILURE() << c.pszName << " opened";
        } catch (const Tsl::FatalErrorException& e) {
            EXPECT_STREQ(Tsl::String::format(c.pszMessage, sPath.c_str()).c_str(), e.getMessage());
            EXPECT_NE(std::string::npos, e.getTrace().find(sPath)) << e.getTrace();
        }
    }
    // Not a movie at all: a sound file alone.
    std::string sSound = writeMovieFile("sound.ogv", makeOggVorbis(44100, 0.1f));
    SDLTheoraVideo video;
    EXPECT_THROW(video.open(sSound.c_str()), Tsl::FatalErrorException);
}

// Identification headers a hostile file may carry: each is refused at open
// with an error naming the file, before anything is sized by it.
TEST(Theora, HostileHeadersAreRefusedOrBounded) {
    MovieApp movieApp(true);
    ASSERT_TRUE(movieApp.bReady);
    // Big-endian fields of the Theora header: coded frame size in macroblocks
    // at 10 and 12, picture size (24 bits) at 14 and 17.
    auto put = [](std::vector<unsigned char>& b, size_t nAt, unsigned nValue, int nBytes) {
        for (int i = 0; i < nBytes; ++i) b[nAt + i] = static_cast<unsigned char>(nValue >> (8 * (nBytes - 1 - i)));
    };
    auto frame = [put](unsigned nWidth, unsigned nHeight) {
        return [=](std::vector<unsigned char>& b) {
            put(b, 10, (nWidth + 15) / 16, 2);
            put(b, 12, (nHeight + 15) / 16, 2);
            put(b, 14, nWidth, 3);
            put(b, 17, nHeight, 3);
        };
    };
    // The Vorbis rate: little-endian at 12.
    auto rate = [](unsigned nRate) {
        return [=](std::vector<unsigned char>& b) {
            for (int i = 0; i < 4; ++i) b[12 + i] = static_cast<unsigned char>(nRate >> (8 * i));
        };
    };
    using Patch = std::function<void(std::vector<unsigned char>&)>;
    struct Case {
        const char* pszName;
        Patch fnTheora, fnVorbis;
        const char* pszMessage;  // null: opens
    } cases[] = {
        // A coded frame the decoder itself refuses; a small picture in a huge frame.
        {"refused.ogv", [put](std::vector<unsigned char>& b) { put(b, 10, 0xFFFF, 2), put(b, 12, 0xFFFF, 2); }, nullptr,
         "Movie picture too large"},
        {"frame.ogv", [put](std::vector<unsigned char>& b) { put(b, 10, 0x1000, 2), put(b, 12, 2, 2); }, nullptr,
         "Movie picture too large"},
        {"huge.ogv", frame(16384, 16384), nullptr, "Movie picture too large"},
        {"wide.ogv", frame(4097, 32), nullptr, "Movie picture too large"},
        {"widest.ogv", frame(4096, 32), nullptr, nullptr},
        {"rate-max.ogv", nullptr, rate(0x7FFFFFFF), "Unsupported sound rate"},
        {"rate-over.ogv", nullptr, rate(192001), "Unsupported sound rate"},
        {"rate-top.ogv", nullptr, rate(192000), nullptr},
    };
    for (const Case& c : cases) {
        MovieSpec spec;
        spec.nSoundChannels = 1;
        spec.fSoundSeconds = 0.25f;
        spec.fnPatchTheoraInfo = c.fnTheora;
        spec.fnPatchVorbisInfo = c.fnVorbis;
        std::string sPath = writeMovie(c.pszName, spec);
        SDLTheoraVideo video;
        try {
            EXPECT_TRUE(video.open(sPath.c_str())) << c.pszName;
            EXPECT_EQ(nullptr, c.pszMessage) << c.pszName << " opened";
        } catch (const Tsl::FatalErrorException& e) {
            std::string sMessage = e.getMessage();
            EXPECT_TRUE(c.pszMessage && sMessage.find(c.pszMessage) == 0 && sMessage.find(sPath) != std::string::npos)
                << c.pszName << ": " << sMessage;
        }
    }
}

// A movie with sound but no mixer (audio off) runs on dt and never waits
// for a clock nobody moves.
TEST(Theora, WithoutAMixerSoundIsDroppedAndTheMovieRunsOnDt) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    spec.nSoundChannels = 2;
    spec.fSoundSeconds = 1.0f;
    SDLTheoraVideo video;
    ASSERT_TRUE(video.open(writeMovie("nomixer.ogv", spec).c_str()));
    EXPECT_FALSE(video.hasAudioOutput());
    video.play();
    playToEnd(video, 0.125f);
    EXPECT_TRUE(video.isFinished());
    EXPECT_EQ(0, video.getQueuedChunkCount());
}

// A file cut short has no end-of-stream page: its end still ends the movie.
TEST(Theora, AFileCutShortStillFinishes) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    spec.nFrameWidth = spec.nPicWidth = 64;
    spec.nFrameHeight = spec.nPicHeight = 64;
    spec.nFrames = 16;
    // Busy pictures, so the pictures outweigh the headers.
    spec.fnPixel = [](int k, int x, int y, unsigned char* p) { p[0] = static_cast<unsigned char>((x * 37 + y * 91 + k * 53) * 2654435761u >> 24); };
    std::string sBytes = makeMovie(spec);
    std::string sPath = writeMovieFile("cut-short.ogv", sBytes.substr(0, sBytes.size() * 2 / 3));
    SDLTheoraVideo video;
    ASSERT_TRUE(video.open(sPath.c_str()));
    playToEnd(video, 0.125f);
    EXPECT_TRUE(video.isFinished());
}

// A second player takes the mixer's hook over: the first goes on on the
// time it is given, and its end leaves the second one's hook in place.
TEST(Theora, ASecondPlayerOwnsTheHook) {
    MovieApp movieApp(true);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    spec.nSoundChannels = 1;
    spec.fSoundSeconds = 1.0f;
    std::string sPath = writeMovie("two.ogv", spec);
    SDLTheoraVideo second;
    {
        SDLTheoraVideo first;
        ASSERT_TRUE(first.open(sPath.c_str()));
        first.play();
        ASSERT_TRUE(second.open(sPath.c_str()));
        first.update(0.25f);
        EXPECT_FLOAT_EQ(0.25f, first.getCurrentTime());
        // Sound nobody would mix is not queued.
        EXPECT_EQ(0, first.getQueuedChunkCount());
    }
    second.play();
    EXPECT_TRUE(waitFor([&] {
        second.update(0.0f);
        return second.getCurrentTime() > 0.1f;
    }));
}

// The hook's arithmetic, called by hand while SDL's own callback is paused.
TEST(Theora, PostMixResamplesFrameByFrameAndHonoursExclusive) {
    MovieApp movieApp(true);
    ASSERT_TRUE(movieApp.bReady);
    struct Case {
        int nChannels, nRate;
        bool bExclusive;
        float fVolume;
    } cases[] = {{2, 44100, true, 1.0f}, {1, 44100, true, 1.0f}, {2, 22050, true, 1.0f}, {2, 44100, false, 1.0f},
                 {2, 44100, true, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nChannels) + " channels at " + std::to_string(c.nRate));
        MovieSpec spec;
        spec.nSoundChannels = c.nChannels;
        spec.nSoundRate = c.nRate;
        spec.fSoundSeconds = 1.0f;
        spec.nFrames = 8;
        SDLTheoraVideo video;
        ASSERT_TRUE(video.open(writeMovie("mix.ogv", spec).c_str()));
        ASSERT_TRUE(video.hasAudioOutput());
        video.setAudioExclusive(c.bExclusive);
        video.setVolume(c.fVolume);
        SDL_PauseAudio(1);
        video.update(0.0f);
        ASSERT_GT(video.getQueuedChunkCount(), 0);
        video.play();
        // Longer than the conversion buffer: served in pieces.
        std::vector<Sint16> aOut(20000, 1000);
        SDL_LockAudio();
        SDLTheoraVideo::postMix(&video, reinterpret_cast<unsigned char*>(aOut.data()), 40000);
        SDL_UnlockAudio();
        EXPECT_NEAR(40000.0 / (44100 * 4), video.getCurrentTime(), 1e-6);
        int nNonZero = 0, nRightDiffers = 0, nLeftover = 0;
        for (size_t i = 0; i + 1 < aOut.size(); i += 2) {
            if (aOut[i] != 0) ++nNonZero;
            if (aOut[i] != aOut[i + 1]) ++nRightDiffers;
            if (aOut[i] == 1000) ++nLeftover;
        }
        // The whole request was served: about a quarter second is queued.
        EXPECT_LT(nLeftover, 100);
        if (c.fVolume == 0.0f) {
            // Silence replaces the mixer's output.
            EXPECT_EQ(0, nNonZero);
            SDL_PauseAudio(0);
            continue;
        }
        EXPECT_GT(nNonZero, 9000);
        // Mono is written to both sides; the two stereo tones differ.
        if (c.nChannels == 1)
            EXPECT_EQ(0, nRightDiffers);
        else
            EXPECT_GT(nRightDiffers, 9000);
        if (c.nRate == 22050) {
            // Half the rate: every source frame, both sides together, twice.
            int nPairs = 0;
            for (size_t i = 0; i + 3 < aOut.size(); i += 4)
                if (aOut[i] == aOut[i + 2] && aOut[i + 1] == aOut[i + 3]) ++nPairs;
            EXPECT_GT(nPairs, 4900);
        }
        if (!c.bExclusive) {
            // Mixed into the 1000 already there: the sound rides on it.
            long long nSum = 0;
            for (Sint16 v : aOut) nSum += v;
            EXPECT_GT(nSum / static_cast<long long>(aOut.size()), 500);
        }
        SDL_PauseAudio(0);
    }
}

// The movie's sound through SDL's real audio thread for a few seconds:
// decoding on this thread, mixing on that one (run under the sanitizers).
// Updates pass no time at all, so only the mixed sound can move the movie.
TEST(Theora, PlaysWithSoundOnTheAudioClock) {
    MovieApp movieApp(true);
    ASSERT_TRUE(movieApp.bReady);
    // The whole length in sound, and sound that ends early: the pictures
    // still play to the end.
    for (float fSoundSeconds : {2.0f, 0.5f}) {
        SCOPED_TRACE(fSoundSeconds);
        MovieSpec spec;
        spec.nSoundChannels = 2;
        spec.nSoundRate = 22050;
        spec.fSoundSeconds = fSoundSeconds;
        spec.nFrames = 16;
        spec.nFps = 8;
        SDLTheoraVideo video;
        ASSERT_TRUE(video.open(writeMovie("sound.ogv", spec).c_str()));
        ASSERT_TRUE(video.hasAudioOutput());
        video.setAudioExclusive(true);
        video.play();
        std::vector<int> aFrames;
        bool bDone = waitFor(
            [&] {
                Tsl::SmartPtr<Image> pPicture = video.update(0.0f);
                if (pPicture) aFrames.push_back(shownFrame(pPicture));
                return video.isFinished();
            },
            20000);
        ASSERT_TRUE(bDone);
        EXPECT_GE(video.getCurrentTime(), 1.5f);
        // Pictures went forward only, up to the last one.
        ASSERT_FALSE(aFrames.empty());
        for (size_t i = 1; i < aFrames.size(); ++i) EXPECT_LT(aFrames[i - 1], aFrames[i]);
        EXPECT_EQ(spec.nFrames - 1, aFrames.back());
        // The mixer takes what was queued.
        EXPECT_TRUE(waitFor([&] { return video.getQueuedChunkCount() == 0; }));
    }
}

TEST(VideoSpriteTest, ShowsPicturesFromThePlatformsBackEnd) {
    MovieApp movieApp(false);
    ASSERT_TRUE(movieApp.bReady);
    MovieSpec spec;
    spec.nPicWidth = 30;
    spec.nPicHeight = 18;
    Tsl::SmartPtr<VideoSprite> pSprite = new VideoSprite(writeMovie("sprite.ogv", spec).c_str());
    EXPECT_EQ(30, pSprite->getWidth());
    EXPECT_EQ(18, pSprite->getHeight());
    EXPECT_FALSE(pSprite->getImage());
    pSprite->update(0.125f);
    ASSERT_TRUE(pSprite->getImage());
    EXPECT_EQ(0, shownFrame(pSprite->getImage()));
    // A picture someone still holds keeps its pixels while the movie goes on
    // and after the sprite is gone.
    Tsl::SmartPtr<Image> pKept = pSprite->getImage();
    pSprite->update(0.5f);
    EXPECT_EQ(4, shownFrame(pSprite->getImage()));
    EXPECT_EQ(0, shownFrame(pKept));
    pSprite = nullptr;
    EXPECT_EQ(0, shownFrame(pKept));

    try {
        VideoSprite missing("nowhere.ogv");
        FAIL() << "a missing movie must raise";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("Can't open 'nowhere.ogv'", e.getMessage());
    }
}

// A back end that plays a script: the pictures update returns and the
// update at which the movie ends; it records the volumes it was given.
class ScriptedBackEnd : public IVideoSpriteImpl {
public:
    bool open(const char*) override { return true; }
    Tsl::SmartPtr<Image> update(float) override {
        ++nUpdates;
        bFinished = nUpdates >= nEndAt;
        return GameApp::getInstance()->createImage(4, 4, false);
    }
    void play() override {}
    void stop() override {}
    void pause() override {}
    bool isFinished() override { return bFinished; }
    int getWidth() override { return 4; }
    int getHeight() override { return 4; }
    void setVolume(float f) override { aVolumes.push_back(f); }
    void setAudioExclusive(bool b) override { bExclusive = b; }
    bool isAudioExclusive() override { return bExclusive; }
    float getCurrentTime() override { return 0.0f; }
    void seek(float) override {}

    int nUpdates = 0, nEndAt = 3;
    bool bFinished = false, bExclusive = false;
    std::vector<float> aVolumes;
};

class ScriptedPlatform : public SDLPlatform {
public:
    IVideoSpriteImpl* createVideoSpriteImpl() override { return pLast = new ScriptedBackEnd(); }
    ScriptedBackEnd* pLast = nullptr;
};

// The volume is the sprite's factor on the sound option, given again every
// frame; the frame that finds the end keeps the previous picture.
TEST(VideoSpriteTest, PassesTheVolumeEveryFrameAndStopsAtTheEnd) {
    RecordingApp app;
    ScriptedPlatform* pPlatform = new ScriptedPlatform();
    pPlatform->setVideoDriver(new FakeVideoDriver());
    app.setPlatform(pPlatform);
    ASSERT_TRUE(app.init(160, 120, 0));
    app.setSoundVolume(255);
    Tsl::SmartPtr<VideoSprite> pSprite = new VideoSprite("scripted");
    ScriptedBackEnd* pBackEnd = pPlatform->pLast;
    EXPECT_TRUE(pBackEnd->bExclusive);
    pSprite->setVolume(0.5f);
    pSprite->update(0.1f);
    app.setSoundVolume(51);
    pSprite->update(0.1f);
    Tsl::SmartPtr<Image> pShown = pSprite->getImage();
    pSprite->update(0.1f);
    EXPECT_TRUE(pSprite->isFinished());
    EXPECT_FALSE(pSprite->isPlaying());
    EXPECT_EQ(pShown, pSprite->getImage());
    pSprite->update(0.1f);
    EXPECT_EQ(3, pBackEnd->nUpdates);
    ASSERT_GE(pBackEnd->aVolumes.size(), 3u);
    EXPECT_FLOAT_EQ(0.5f, pBackEnd->aVolumes[pBackEnd->aVolumes.size() - 3]);
    EXPECT_FLOAT_EQ(0.1f, pBackEnd->aVolumes.back());
}
