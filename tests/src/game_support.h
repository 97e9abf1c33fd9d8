// The game's screens under test: the game's application over the fake
// platform whose sound driver writes what it is asked to play, in-memory
// pictures, texts and string tables, and exact frame steps.
#pragma once

#include "fakes.h"

#include "game/qarnapp.h"

#include "app/gameapp.h"
#include "app/resourceloader.h"
#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

class NamedSample : public Sample {
public:
    explicit NamedSample(const char* pszName) { m_sName = pszName; }
    float getVolume() override { return m_fVolume; }
    void setVolume(float fVolume) override { m_fVolume = fVolume; }
    float m_fVolume = 1.0f;
};

class NamedMusic : public Music {
public:
    explicit NamedMusic(const char*) {}
    float getVolume() override { return 1.0f; }
    void setVolume(float) override {}
};

// Writes "play <name> <channel>", "music <name>" and "stop <channel>"; a channel stays busy
// from its play until its stop. Sound files are found by the suffixes the
// real driver tries.
class RecordingAudioDriver : public DummyAudioDriver {
public:
    bool init() override {
        static const char* const s_apszSuffixes[] = {".ogg", ".wav", nullptr};
        DummyAudioDriver::init();
        delete m_pLoader;
        m_pLoader = new ResourceLoaderImpl<Sample, NamedSample>(s_apszSuffixes);
        m_pMusicLoader = new ResourceLoaderImpl<Music, NamedMusic>(s_apszSuffixes);
        return true;
    }
    ~RecordingAudioDriver() override {
        delete m_pLoader;
        delete m_pMusicLoader;
    }
    IResourceLoader<Sample>* getSampleLoader() override { return m_pLoader; }
    IResourceLoader<Music>* getMusicLoader() override { return m_pMusicLoader; }
    void playMusic(Tsl::SmartPtr<Music> pMusic, bool) override { calls.push_back(std::string("music ") + m_sCurrentMusic.c_str()); }
    int playSample(Tsl::SmartPtr<Sample> pSample, bool, int nChannel) override {
        calls.push_back("play " + std::string(pSample->getName().c_str()) + " " + std::to_string(nChannel));
        volumes.push_back(pSample->getVolume());
        busy.insert(nChannel);
        return nChannel;
    }
    void stopChannel(int nChannel, float) override {
        calls.push_back("stop " + std::to_string(nChannel));
        busy.erase(nChannel);
    }
    bool isChannelPlaying(int nChannel) override { return busy.count(nChannel) > 0; }

    std::vector<std::string> calls;
    std::vector<float> volumes;
    std::set<int> busy;

private:
    IResourceLoader<Sample>* m_pLoader = nullptr;
    IResourceLoader<Music>* m_pMusicLoader = nullptr;
};

class SoundPlatform : public FakePlatform {
public:
    explicit SoundPlatform(EventLog* pLog) : FakePlatform(pLog) {}
    IAudioDriver* getAudioDriver() override { return &audio; }
    RecordingAudioDriver audio;
};

// The game's application for every test of the game. Its platform is made
// at once, so that a test may init() it without the game's start-up, and
// onInit() runs the start-up over the same one: by default the fake
// platform with the recording sound driver, else whatever the maker gives.
class TestQarnApp : public EventLogHolder, public QarnApp {
public:
    using PlatformMaker = std::function<IPlatform*(EventLog*)>;

    TestQarnApp() : TestQarnApp([](EventLog* pLog) -> IPlatform* { return new SoundPlatform(pLog); }) {}
    explicit TestQarnApp(const PlatformMaker& fnMakePlatform) {
        setPlatform(fnMakePlatform(&m_log));
        platform = dynamic_cast<SoundPlatform*>(getPlatform());
    }

    // The recording platform; null over one the maker gave.
    SoundPlatform* platform = nullptr;
    // What the fake video answers a mode switch, set before onInit().
    std::function<bool(int)> m_fnSetVideoMode;

protected:
    IPlatform* createPlatform() override {
        if (platform) platform->video()->m_fnSetVideoMode = m_fnSetVideoMode;
        return getPlatform();
    }
};

template <class T>
Tsl::List<T> listOf(std::initializer_list<T> values) {
    Tsl::List<T> l;
    for (const T& v : values) l.append(v);
    return l;
}

struct GameTest : ::testing::Test {
    TestQarnApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> files = new Tsl::MemoryResourceProvider("files");

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.addResourceProvider(files.get());
        app.setFrameRate(0);
        app.setMaxFrameTime(10.0f, false);
        app.runFrame();
    }

    RecordingAudioDriver& audio() { return app.platform->audio; }

    void addFile(const char* pszName, const std::string& sText) {
        files->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }
    // One text per line, "KEY text".
    void addStrings(const std::string& sTable) {
        static int s_nTable = 0;
        std::string sName = "strings" + std::to_string(++s_nTable) + ".txt";
        addFile(sName.c_str(), sTable);
        app.loadStringTable(sName.c_str());
    }
    Tsl::SmartPtr<Image> picture(int nWidth, int nHeight, const Color& c = Color(200, 100, 50)) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        pImage->fill(c);
        return pImage;
    }
    void addPictures(std::initializer_list<const char*> lNames, int nWidth = 8, int nHeight = 8) {
        for (const char* pszName : lNames) app.addImage(pszName, picture(nWidth, nHeight));
    }
    // One frame of exactly nMs milliseconds.
    void step(int nMs = 250) {
        app.platform->m_nTicks += nMs;
        app.runFrame();
    }
};

// A level under test beneath the dialogs it opens: a mode that records its
// updates, already on the stack.
struct LevelDialogTest : GameTest {
    Tsl::SmartPtr<RecordingMode> level;

    void SetUp() override {
        GameTest::SetUp();
        level = new RecordingMode("level", MF_ACTIVE | MF_VISIBLE, &app.m_log);
        app.pushMode(level);
        app.m_log.clear();
    }
    int levelUpdates() const { return static_cast<int>(level->m_aDts.size()); }
};
