// The start-up loading screen: how preload lists are cut, the order and
// pace of loading, the progress icons, bad lists, and the hand-over to the
// menu, which waits while another screen lies above.
#include "game_support.h"

#include "game/loadingscreen.h"
#include "base/names.h"

#include "effects/particleemitter.h"
#include "tsl2/error.h"

namespace {

// Notes the names asked for; with a clock, each question costs 30 ms, so
// that every loading pass overruns its slice.
class ProbeProvider : public Tsl::MemoryResourceProvider {
public:
    bool hasResource(const Tsl::String& sName) override {
        if (std::string(sName.c_str()).rfind("preload-", 0) != 0) asked += std::string(sName.c_str()) + " ";
        if (pTicks) *pTicks += 30;
        return Tsl::MemoryResourceProvider::hasResource(sName);
    }
    std::string asked;
    unsigned int* pTicks = nullptr;
};

class TestLoadingScreen : public LoadingScreen {
    Tsl::SmartPtr<GameMode> createNextMode() override { return new GameMode(); }
};

struct LoadingScreenTest : GameTest {
    Tsl::SmartPtr<ProbeProvider> probe = new ProbeProvider();
    Tsl::SmartPtr<TestLoadingScreen> screen = new TestLoadingScreen();

    void SetUp() override {
        GameTest::SetUp();
        ParticleEmitter::clearCache();
        app.addResourceProvider(probe.get());
        addPictures({"px", "sand_frame_back", "loading_back", "progress_clam", "progress_star", "sand_frame_prop_1",
                     "sand_frame_prop_2", "sand_frame_prop_3", "sand_frame_prop_4", "sand_frame_prop_5"});
        setLists("", "", "");
    }
    void TearDown() override { ParticleEmitter::clearCache(); }

    void put(const char* pszName, const std::string& sText) { probe->add(pszName, sText.data(), int(sText.size())); }
    void setLists(const std::string& sChar0, const std::string& sCommon, const std::string& sOthers) {
        put(Names::PRELOAD_CHAR0_ANIMS, sChar0);
        put(Names::PRELOAD_COMMON_ANIMS, sCommon);
        put(Names::PRELOAD_SOUNDS, sOthers);
        put(Names::PRELOAD_MUSIC, sOthers);
        put(Names::PRELOAD_EMITTERS, "");
    }
    void anim(const std::string& sName) { put(sName.c_str(), "load px\nseq idle\nadd px\n"); }
    int litIcons() {
        int nLit = 0;
        for (const Tsl::SmartPtr<Sprite>& pIcon : screen->getProgressIcons()) nLit += pIcon->getColor().r == 255;
        return nLit;
    }
    bool handedOver() { return screen->getState() == MS_ENDED && app.getModeAt(0).get() != screen.get(); }
};

TEST(PreloadListTest, CutsAtEveryLineEndAndKeepsBlanks) {
    struct Case {
        const char* pszText;
        std::string sNamesAndLines;
    } cases[] = {{"a\r\nb\r\n", "a1 b2 "},    {"a\nb", "a1 b2 "}, {"\n\na\r\n\r\nb\n\n", "a3 b5 "}, {"a\rb", "a1 b2 "},
                 {" a \n\tb #c\n", " a 1 \tb #c2 "}, {"\r\n\n", ""}};
    for (const Case& c : cases) {
        std::string s;
        for (const PreloadItem& item : parsePreloadList(c.pszText, "list.txt"))
            s += std::string(item.sName.c_str()) + std::to_string(item.nLine) + " ";
        EXPECT_EQ(c.sNamesAndLines, s) << c.pszText;
    }
}

TEST_F(LoadingScreenTest, LoadsOneNameOfEachKindPerPassCommonAnimationsLast) {
    for (const char* pszName : {"a1.anim", "a2.anim", "c1.anim"}) anim(pszName);
    put("e1.emitter", "maxparticles 2\n");
    setLists("a1.anim\na2.anim", "c1.anim\n", "x1\nx2\n");
    put(Names::PRELOAD_EMITTERS, "e1.emitter\n");
    app.pushMode(screen.get());
    step();
    EXPECT_EQ(8, screen->getTotal());  // the first frame builds and reads the lists
    EXPECT_EQ(0, screen->getDone());
    step();
    // The fake sound driver reads no files: the animations and the emitter show the passes.
    EXPECT_EQ("a1.anim e1.emitter a2.anim c1.anim ", probe->asked);
    EXPECT_GE(app.getCachedMusicNames().indexOf("x2"), 0);
    EXPECT_EQ(10, litIcons());
    EXPECT_TRUE(handedOver());
}

TEST_F(LoadingScreenTest, ProgressIconsLightByHalfTheTotalAndEmptyListsHandOverAtOnce) {
    app.pushMode(screen.get());
    step();
    step();
    EXPECT_EQ(0, litIcons());
    EXPECT_TRUE(handedOver());

    std::string sAnims;
    for (int i = 0; i < 40; ++i) {
        anim("a" + std::to_string(i) + ".anim");
        sAnims += "a" + std::to_string(i) + ".anim\n";
    }
    setLists(sAnims, "", "");
    screen = new TestLoadingScreen();
    app.pushMode(screen.get());
    step();
    probe->pTicks = &app.platform->m_nTicks;
    app.showCursor(true);  // as the splash above does when it ends
    for (const auto& e : {std::make_pair(1, 1), std::make_pair(2, 2), std::make_pair(17, 9), std::make_pair(18, 10)}) {
        while (screen->getDone() < e.first) step();
        EXPECT_EQ(e.second, litIcons()) << e.first;
        EXPECT_FALSE(app.getVideoDriver()->isCursorShown()) << e.first;
    }
    EXPECT_FALSE(handedOver());
}

TEST_F(LoadingScreenTest, WaitsUnderTheSplashAndRunsUnthrottledOnlyOnceUpdated) {
    app.setFrameRate(60);
    app.pushMode(screen.get());
    Tsl::SmartPtr<GameMode> pSplash = new GameMode(MF_ACTIVE | MF_VISIBLE | MF_UPDATE_BELOW);
    app.pushMode(pSplash);
    EXPECT_EQ(60, app.getFrameRate());
    step();
    EXPECT_EQ(0, app.getFrameRate());
    step();
    step();
    EXPECT_TRUE(screen->isFinished());
    EXPECT_EQ(MS_RUNNING, screen->getState());
    pSplash->endMode();
    step();
    EXPECT_TRUE(handedOver());
}

TEST_F(LoadingScreenTest, AMissingListOrABadNameStopsWithListAndLine) {
    EXPECT_THROW(readPreloadList(&app, "preload-none.txt"), Tsl::ResourceException);
    const std::pair<const char*, const char*> cases[] = {
        {"\r\nnothere.anim\r\n", "preload-char0-anims.txt line 2: the preloaded name 'nothere.anim'"},
        {"a.anim\n a.anim\n", "preload-char0-anims.txt line 2: the preloaded name ' a.anim'"}};
    anim("a.anim");
    for (const auto& c : cases) {
        setLists(c.first, "", "");
        Tsl::SmartPtr<TestLoadingScreen> pScreen = new TestLoadingScreen();
        pScreen->init();
        try {
            pScreen->onUpdate(0.25f);
            pScreen->onUpdate(0.25f);
            ADD_FAILURE() << "no error";
        } catch (const Tsl::Exception& e) {
            EXPECT_NE(std::string(e.getMessage()).find(c.second), std::string::npos) << e.getMessage();
        }
    }
}

}  // namespace
