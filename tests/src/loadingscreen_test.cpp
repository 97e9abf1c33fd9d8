// The start-up loading screen: how preload lists are cut, the order and
// pace of loading, the progress icons, bad lists, and the hand-over to the
// menu, which waits while another screen lies above.
#include "game_support.h"

#include "loadingscreen.h"
#include "names.h"

#include "effects/particleemitter.h"
#include "tsl2/error.h"

#include <algorithm>

namespace {

// Sees every name asked for, in order; with a clock it makes each question
// cost 30 ms, so that every loading pass overruns its slice.
class ProbeProvider : public Tsl::ResourceProvider {
public:
    bool hasResource(const Tsl::String& sName) override {
        asked.push_back(sName.c_str());
        if (pTicks) *pTicks += 30;
        return files->hasResource(sName);
    }
    Tsl::SmartPtr<Tsl::Resource> getResource(const Tsl::String& sName) override { return files->getResource(sName); }
    Tsl::List<Tsl::String> getResourceNames() override { return files->getResourceNames(); }
    Tsl::String getName() const override { return "probe"; }

    Tsl::SmartPtr<Tsl::MemoryResourceProvider> files = new Tsl::MemoryResourceProvider("probe");
    std::vector<std::string> asked;
    unsigned int* pTicks = nullptr;
};

class TestLoadingScreen : public LoadingScreen {
public:
    explicit TestLoadingScreen(EventLog* pLog) : m_pLog(pLog) {}
    Tsl::SmartPtr<GameMode> createNextMode() override { return new RecordingMode("menu", MF_ACTIVE | MF_VISIBLE, m_pLog); }
    EventLog* m_pLog;
};

struct LoadingScreenTest : GameTest {
    Tsl::SmartPtr<ProbeProvider> probe = new ProbeProvider();
    Tsl::SmartPtr<TestLoadingScreen> screen;

    void SetUp() override {
        GameTest::SetUp();
        ParticleEmitter::clearCache();
        app.addResourceProvider(probe.get());
        addPictures({"px", "sand_frame_back", "loading_back", "progress_clam", "progress_star", "sand_frame_prop_1",
                     "sand_frame_prop_2", "sand_frame_prop_3", "sand_frame_prop_4", "sand_frame_prop_5"},
                    100, 100);
        addStrings("LDN_Loading Loading\n");
        setLists("", "", "", "", "");
        screen = new TestLoadingScreen(&app.m_log);
    }
    void TearDown() override { ParticleEmitter::clearCache(); }

    void put(const char* pszName, const std::string& sText) {
        probe->files->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }
    void setLists(const std::string& sChar0, const std::string& sCommon, const std::string& sSounds,
                  const std::string& sMusic, const std::string& sEmitters) {
        put(Names::PRELOAD_CHAR0_ANIMS, sChar0);
        put(Names::PRELOAD_COMMON_ANIMS, sCommon);
        put(Names::PRELOAD_SOUNDS, sSounds);
        put(Names::PRELOAD_MUSIC, sMusic);
        put(Names::PRELOAD_EMITTERS, sEmitters);
    }
    void anim(const char* pszName) { put(pszName, "load px\nseq idle\nadd px\n"); }
    int litIcons() {
        int nLit = 0;
        for (const Tsl::SmartPtr<Sprite>& pIcon : screen->getProgressIcons()) nLit += pIcon->getColor().r == 255;
        return nLit;
    }
    bool menuPushed() { return app.getModeCount() > 0 && app.getModeAt(0).get() != screen.get(); }
    // The names asked for that are among the wanted ones, each at its first asking.
    std::vector<std::string> firstAsked(const std::vector<std::string>& wanted) {
        std::vector<std::string> order;
        for (const std::string& s : probe->asked)
            if (std::find(wanted.begin(), wanted.end(), s) != wanted.end() &&
                std::find(order.begin(), order.end(), s) == order.end())
                order.push_back(s);
        return order;
    }
};

TEST(PreloadListTest, CutsAtEveryLineEndAndKeepsBlanks) {
    struct Case {
        const char* pszText;
        std::vector<std::string> names;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}, {1, 2}},
        {"a\nb\n", {"a", "b"}, {1, 2}},
        {"a\nb", {"a", "b"}, {1, 2}},
        {"\n\na\r\n\r\nb\n\n", {"a", "b"}, {3, 5}},
        {"a\rb", {"a", "b"}, {1, 2}},
        {" a \n\tb # no comment\n", {" a ", "\tb # no comment"}, {1, 2}},
        {"", {}, {}},
        {"\r\n\n", {}, {}},
    };
    for (const Case& c : cases) {
        Tsl::List<PreloadItem> items = parsePreloadList(c.pszText, "list.txt");
        std::vector<std::string> names;
        std::vector<int> lines;
        for (const PreloadItem& item : items) {
            names.push_back(item.sName.c_str());
            lines.push_back(item.nLine);
        }
        EXPECT_EQ(c.names, names) << c.pszText;
        EXPECT_EQ(c.lines, lines) << c.pszText;
    }
}

TEST_F(LoadingScreenTest, LoadsOneOfEachKindPerPassAndCommonAnimationsLast) {
    for (const char* pszName : {"a1.anim", "a2.anim", "c1.anim"}) anim(pszName);
    put("s1", "x");
    put("s2", "x");
    put("m1", "x");
    put("e1.emitter", "maxparticles 2\n");
    setLists("a1.anim\na2.anim", "c1.anim\n", "s1\ns2\n", "m1\n", "e1.emitter\n");
    app.pushMode(screen.get());
    step();
    EXPECT_EQ(7, screen->getTotal());  // the first frame builds and reads the lists
    EXPECT_EQ(0, screen->getDone());
    step();
    // The fake sound driver reads no files: the pictures and emitters show the passes.
    EXPECT_EQ(std::vector<std::string>({"a1.anim", "e1.emitter", "a2.anim", "c1.anim"}),
              firstAsked({"a1.anim", "a2.anim", "c1.anim", "e1.emitter"}));
    EXPECT_EQ(1, app.getCachedMusicNames().indexOf("m1") + 1);
    EXPECT_EQ(7, screen->getDone());
    EXPECT_TRUE(app.hasAnimation("c1.anim"));
    EXPECT_EQ(10, litIcons());
    EXPECT_TRUE(menuPushed());
}

TEST_F(LoadingScreenTest, TheTenthIconLightsAtFortyFivePercent) {
    std::string sAnims;
    for (int i = 0; i < 40; ++i) {
        std::string sName = "a" + std::to_string(i) + ".anim";
        anim(sName.c_str());
        sAnims += sName + "\n";
    }
    setLists(sAnims, "", "", "", "");
    app.pushMode(screen.get());
    step();
    probe->pTicks = &app.platform->m_nTicks;
    // One entry per frame now; the first frame lights the first icon.
    const int expected[][2] = {{1, 1}, {2, 2}, {17, 9}, {18, 10}};
    for (const auto& e : expected) {
        while (screen->getDone() < e[0]) step();
        EXPECT_EQ(e[1], litIcons()) << e[0];
    }
    EXPECT_FALSE(menuPushed());
}

TEST_F(LoadingScreenTest, EmptyListsHandOverAtOnceWithNoIconLit) {
    app.pushMode(screen.get());
    step();
    step();
    EXPECT_TRUE(screen->isFinished());
    EXPECT_EQ(0, litIcons());
    EXPECT_TRUE(menuPushed());
}

TEST_F(LoadingScreenTest, WaitsUnderAnotherScreenAndSlowsTheFrameRateOnlyWhenRunning) {
    app.setFrameRate(60);
    app.pushMode(screen.get());
    Tsl::SmartPtr<RecordingMode> splash = new RecordingMode("splash", MF_ACTIVE | MF_VISIBLE | MF_UPDATE_BELOW, &app.m_log);
    app.pushMode(splash.get());
    EXPECT_EQ(60, app.getFrameRate());
    step();
    EXPECT_EQ(0, app.getFrameRate());
    step();
    step();
    EXPECT_TRUE(screen->isFinished());
    EXPECT_EQ(MS_RUNNING, screen->getState());
    splash->endMode();
    step();
    EXPECT_EQ(MS_ENDED, screen->getState());
    EXPECT_TRUE(menuPushed());
}

TEST_F(LoadingScreenTest, BadListsAndEntriesStopWithTheirName) {
    struct Case {
        const char* pszAnims;  // null: the list is missing
        const char* pszExpected;
    };
    const Case cases[] = {
        {nullptr, "Resource 'preload-char0-anims.txt' not found"},
        {"\r\nnothere.anim\r\n", "preload-char0-anims.txt line 2: the preloaded name 'nothere.anim'"},
        {"a.anim\n a.anim\n", "preload-char0-anims.txt line 2: the preloaded name ' a.anim'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszExpected);
        probe->files = new Tsl::MemoryResourceProvider("probe");
        anim("a.anim");
        setLists(c.pszAnims ? c.pszAnims : "", "", "", "", "");
        if (!c.pszAnims) probe->files = new Tsl::MemoryResourceProvider("probe");
        Tsl::SmartPtr<TestLoadingScreen> pScreen = new TestLoadingScreen(&app.m_log);
        pScreen->init();
        try {
            pScreen->onUpdate(0.25f);
            pScreen->onUpdate(0.25f);
            ADD_FAILURE() << "no error";
        } catch (const Tsl::Exception& e) {
            EXPECT_NE(std::string(e.getMessage()).find(c.pszExpected), std::string::npos) << e.getMessage();
        }
    }
}

}  // namespace
