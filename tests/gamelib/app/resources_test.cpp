// Resource look-up, caches, the animation preload queue, string tables and the log.
#include "test_folder.h"
#include "fakes.h"

#include "app/rescache.h"
#include "app/resourceloader.h"
#include "app/stringtable.h"
#include "tsl2/file.h"
#include "tsl2/resourcefile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string tempPath(const char* pszName) {
    return testPath(pszName);
}

std::string readFile(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& sPath, const std::string& sData) {
    std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
    out << sData;
}

Tsl::SmartPtr<Tsl::MemoryResourceProvider> memory(const char* pszName,
                                                  std::initializer_list<std::pair<const char*, const char*>> entries) {
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> p = new Tsl::MemoryResourceProvider(pszName);
    for (auto& e : entries) p->add(e.first, e.second, static_cast<int>(std::strlen(e.second)));
    return p;
}

struct ResourcesTest : ::testing::Test {
    TestApp app;
    void SetUp() override { ASSERT_TRUE(app.init(800, 600, 0)); }
};

TEST_F(ResourcesTest, FindResourceAsksProvidersInOrderWithEachSuffixAfterTheAlias) {
    app.addResourceProvider(memory("first", {{"beach.png", "1"}, {"alias-list", "old new\n"}}));
    app.addResourceProvider(memory("second", {{"beach", "2"}, {"new.ogg", "3"}}));
    static const char* const s_apszSuffixes[] = {"", ".jpg", ".png", nullptr};
    // The first provider with any suffix wins over a later provider's exact name.
    EXPECT_EQ("beach.png", app.findResource("beach", s_apszSuffixes));
    EXPECT_EQ("", app.findResource("nothing", s_apszSuffixes));
    EXPECT_EQ("", app.findResource(nullptr, s_apszSuffixes));
    app.loadResourceAliases("alias-list");
    static const char* const s_apszSound[] = {".ogg", ".wav", nullptr};
    EXPECT_EQ("new.ogg", app.findResource("old", s_apszSound));
    EXPECT_EQ("2", std::string(app.getResource("beach")->getString().c_str()));
    EXPECT_TRUE(app.hasResource("beach.png"));
    EXPECT_FALSE(app.hasResource("beach.jpg"));
}

TEST_F(ResourcesTest, AMissingResourceRaisesTheQuotedMessage) {
    try {
        app.getResource("ghost");
        FAIL();
    } catch (const Tsl::ResourceException& e) {
        EXPECT_STREQ("GameApp::getResource() : Resource 'ghost' not found", e.getMessage());
    }
}

TEST_F(ResourcesTest, ABrokenArchiveIsReportedByNameAndDoesNotHideTheOthers) {
    std::string sLog = tempPath("broken.log");
    std::remove(sLog.c_str());
    GameApp::openLog(sLog.c_str());
    std::string sArchive = tempPath("broken.dat");
    writeFile(sArchive, "GRF\x01 but nothing sensible after it");
    app.addResourceProvider(memory("good", {{"kept", "x"}}));
    EXPECT_FALSE(app.addArchive(sArchive.c_str()));
    EXPECT_TRUE(app.hasResource("kept"));
    EXPECT_EQ(1, app.getResourceProviders().getCount());
    EXPECT_NE(std::string::npos, readFile(sLog).find(sArchive));
    GameApp::closeLog();
}

// A loader that counts its loads and hands out plain counted objects.
struct Thing : Tsl::RefCountedObject {};
struct ThingLoader : IResourceLoader<Thing> {
    int nLoads = 0;
    Thing* load(const char* pszName) override {
        ++nLoads;
        return std::string(pszName) == "missing" ? nullptr : new Thing();
    }
    bool exists(const char*) override { return true; }
};

TEST(ResCacheTest, HoldsOneReferencePerEntryAndReleasesByList) {
    ThingLoader loader;
    ResCache<Thing> cache;
    cache.setLoader(&loader);
    Tsl::SmartPtr<Thing> pA = cache.get("a");
    EXPECT_EQ(2, pA->getRefCount());
    EXPECT_EQ(pA.get(), cache.get("a").get());
    EXPECT_EQ(1, loader.nLoads);
    cache.get("b");
    cache.get("c");
    EXPECT_FALSE(cache.get("missing"));
    EXPECT_FALSE(cache.has("missing"));
    Tsl::SmartPtr<Thing> pTransient = cache.get("d", false);
    EXPECT_EQ(1, pTransient->getRefCount());
    EXPECT_FALSE(cache.has("d"));

    Tsl::List<Tsl::String> lKeep;
    lKeep.append("b");
    cache.releaseExcept(lKeep);
    EXPECT_EQ(1, pA->getRefCount());
    EXPECT_EQ(1, cache.getCount());
    EXPECT_TRUE(cache.has("b"));
}

// Animations read from memory: "walk" takes one slice per picture it loads,
// "dress" is a template whose parameters pick its pictures.
struct AnimApp : TestApp {
    AnimApp() {
        addResourceProvider(memory("anims", {{"walk", "load a\nload b\nload c\nseq walk loop\nadd all\n"},
                                             {"dress", "params 2\nload (0)\nseq s fps (1)\nadd (0)\n"},
                                             {"broken", "load a\nbogus\n"}}));
        for (const char* pszName : {"a", "b", "c", "red"}) addImage(pszName, createImage(2, 2, true));
    }
};

TEST(AnimationCacheTest, PreloadQueueStepsOneSliceAndDirectRequestsFinishQueuedLoads) {
    AnimApp app;
    Tsl::List<Tsl::String> lParams;
    lParams.append("red");
    lParams.append("2");
    app.preloadAnimation("walk");
    app.preloadAnimation("dress", nullptr, lParams);
    app.preloadAnimation("walk");  // already queued: ignored
    EXPECT_EQ(2, app.getPreloadQueueLength());

    for (int nStep = 0; nStep < 3; ++nStep) {  // one picture a step
        EXPECT_TRUE(app.stepAnimationPreload());
        EXPECT_FALSE(app.hasAnimation("walk"));
    }
    app.stepAnimationPreload();  // the light rest of the file in one step
    EXPECT_TRUE(app.hasAnimation("walk"));
    EXPECT_EQ(3, app.getAnimation("walk")->getFrameCount("walk"));
    EXPECT_EQ(1, app.getPreloadQueueLength());

    // The queued template is finished by a direct request, not loaded again.
    Tsl::SmartPtr<Animation> pDress = app.getAnimation("dress", nullptr, lParams);
    ASSERT_TRUE(pDress);
    EXPECT_EQ(2.0f, pDress->getSequenceFps("s"));
    EXPECT_TRUE(app.hasAnimation("dress-red-2"));
    EXPECT_EQ(0, app.getPreloadQueueLength());
    EXPECT_FALSE(app.stepAnimationPreload());

    app.preloadAnimation("dress", nullptr, lParams);  // cached: nothing queued
    EXPECT_EQ(0, app.getPreloadQueueLength());
    EXPECT_EQ(pDress.get(), app.getAnimation("dress", nullptr, lParams).get());
    app.releaseAnimation("dress-red-2");
    EXPECT_FALSE(app.hasAnimation("dress-red-2"));
}

TEST(AnimationCacheTest, ABrokenQueuedFileLeavesTheQueueWithItsError) {
    AnimApp app;
    app.preloadAnimation("broken");
    app.preloadAnimation("walk");
    EXPECT_NO_THROW(app.stepAnimationPreload());
    EXPECT_THROW(app.stepAnimationPreload(), AnimationParserException);
    EXPECT_EQ(1, app.getPreloadQueueLength());
    EXPECT_FALSE(app.hasAnimation("broken"));
}

TEST(AnimationCacheTest, AMissingFileRaisesAClearErrorAndCachesNothing) {
    AnimApp app;
    EXPECT_THROW(app.getAnimation("walk-missing"), Tsl::ResourceException);
    EXPECT_THROW(app.preloadAnimation("walk-missing"), Tsl::ResourceException);
    EXPECT_EQ(0, app.getPreloadQueueLength());
    EXPECT_FALSE(app.hasAnimation("walk-missing"));
}

TEST(StringTableTest, LookUpsUpperCaseTheKeyAndAMissingKeyShowsItself) {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pTexts = memory(
        "texts", {{"messages.txt", "# menu\nMNM_Adventure = Adventure\nmnm_quit\tQuit the game\nTWO  Line one\\nline two\n"}});
    app.addResourceProvider(pTexts);
    app.loadStringTable("messages.txt");
    EXPECT_EQ("Adventure", app.getString("mnm_adventure"));
    EXPECT_EQ("Quit the game", app.getString("MNM_QUIT"));
    EXPECT_EQ("Line one\nline two", app.getString("two"));
    EXPECT_EQ("Not_There", app.getString("Not_There"));
    EXPECT_TRUE(app.hasString("mnm_quit"));
}

TEST(StringTableTest, BadLinesNameTheFileAndLine) {
    try {
        parseStringTable("OK text\nLONELYKEY\n", "messages.txt");
        FAIL();
    } catch (const Tsl::Exception& e) {
        EXPECT_NE(std::string::npos, std::string(e.getMessage()).find("messages.txt, line 2"));
    }
}

TEST(StringTableTest, XmlSpreadsheetsAreReadAsKeyValueTables) {
    const char* pszXml =
        "<?xml version=\"1.0\"?>\n<Workbook xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
        "<Worksheet ss:Name=\"t\"><Table><Row><Cell><Data ss:Type=\"String\">hf_title</Data></Cell>"
        "<Cell><Data ss:Type=\"String\">High &amp; mighty</Data></Cell></Row></Table></Worksheet></Workbook>";
    Tsl::Hash<Tsl::String, Tsl::String> hTable = parseStringTable(pszXml, "private.txt");
    EXPECT_EQ("High & mighty", hTable.get("HF_TITLE"));
}

TEST(LogTest, AppendsUnchangedOnlyWhileOpenAndStartsFreshWhenTooLarge) {
    std::string sLog = tempPath("app.log");
    std::remove(sLog.c_str());
    GameApp::log("nothing is written %d\n", 1);
    EXPECT_FALSE(Tsl::File::exists(sLog.c_str()));
    GameApp::openLog(sLog.c_str());
    GameApp::log("G: one");
    GameApp::log(" and %s\n", "two");
    EXPECT_EQ("G: one and two\n", readFile(sLog));
    GameApp::closeLog();
    GameApp::openLog(sLog.c_str());  // small: kept
    EXPECT_EQ("G: one and two\n", readFile(sLog));
    writeFile(sLog, std::string(GameApp::LOG_SIZE_LIMIT + 1, 'x'));
    GameApp::openLog(sLog.c_str());
    EXPECT_FALSE(Tsl::File::exists(sLog.c_str()));
    GameApp::closeLog();
}

TEST(LogTest, ALineComingAgainAndAgainIsWrittenOnceWithItsCount) {
    std::string sLog = tempPath("repeats.log");
    GameApp::openLog(sLog.c_str());
    for (int i = 0; i < 5; ++i) GameApp::log("B: failed %d\n", 7);
    for (int i = 0; i < 2; ++i) {
        GameApp::log("A: part");  // pieces of a line are never repeats
        GameApp::log("\n");
    }
    GameApp::log("B: failed %d\n", 7);
    GameApp::log("B: failed %d\n", 7);
    GameApp::closeLog();
    EXPECT_EQ("B: failed 7\nG: The line above came 4 more times\nA: part\nA: part\n"
              "B: failed 7\nG: The line above came 1 more times\n",
              readFile(sLog));
}

TEST(VideoDepthTest, FlagsAndDepthsConvertBothWays) {
    EXPECT_EQ(0x04, IVideoDriver::getVideoDepthFlags(15));
    EXPECT_EQ(0x04, IVideoDriver::getVideoDepthFlags(16));
    EXPECT_EQ(0x08, IVideoDriver::getVideoDepthFlags(24));
    EXPECT_EQ(0x0C, IVideoDriver::getVideoDepthFlags(32));
    EXPECT_EQ(0, IVideoDriver::getVideoDepthFlags(8));
    EXPECT_EQ(32, IVideoDriver::getVideoDepthFromFlags(0x0D));
    EXPECT_EQ(16, IVideoDriver::getVideoDepthFromFlags(0x04));
    EXPECT_EQ(0, IVideoDriver::getVideoDepthFromFlags(0x01));
}

} // namespace
