// Resource look-up, caches, the animation preload queue, settings, string tables and the log.
#include "test_folder.h"
#include "fakes.h"
#include "settings_bytes.h"
#include "unprivileged.h"

#include "app/rescache.h"
#include "app/resourceloader.h"
#include "app/atomicfile.h"
#include "app/settingsfile.h"
#include "app/stringtable.h"
#include "tsl2/file.h"
#include "tsl2/resourcefile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utime.h>
#include <utility>
#include <vector>

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

typedef std::vector<std::pair<std::string, std::string>> Entries;

bool exists(const std::string& sPath) { return access(sPath.c_str(), F_OK) == 0; }

// The bytes of the settings file the application saves with these entries.
std::string savedFile(const std::string& sPath, const Entries& entries) {
    TestApp app;
    app.setSettingsFile(sPath.c_str());
    for (const auto& entry : entries)
        app.setSetting(entry.first.c_str(), Tsl::String(entry.second.data(), int(entry.second.size())));
    return app.saveSettings() ? readFile(sPath) : std::string();
}

// Records the failures the application reports to the player.
class ReportingApp : public TestApp {
public:
    std::vector<std::pair<std::string, std::string>> reports;

protected:
    void onSettingsNotSaved(const Tsl::String& sFolder, const Tsl::String& sWhy) override {
        reports.emplace_back(sFolder.c_str(), sWhy.c_str());
    }
};

struct SettingsTest : ::testing::Test {
    std::string sPath = tempPath("config.dat");
    std::string sLog = tempPath("settings.log");
    void SetUp() override {
        std::remove(sPath.c_str());
        std::remove(sLog.c_str());
        GameApp::openLog(sLog.c_str());
    }
    void TearDown() override { GameApp::closeLog(); }
};

TEST_F(SettingsTest, RoundTripThroughTheCompressedFile) {
    {
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_FALSE(app.loadSettings());  // none yet: defaults, and one line naming the file
        EXPECT_NE(std::string::npos, readFile(sLog).find(sPath));
        app.setSetting("Fullscreen", "TRUE");
        app.setSetting("SoundVolume", "128");
        app.setSetting("Name", std::string("bin\x01\xff", 5).c_str());
        ASSERT_TRUE(app.saveSettings());
    }
    EXPECT_FALSE(exists(AtomicFile::getTemporaryFile(sPath.c_str()).c_str()));
    TestApp app;
    app.setSettingsFile(sPath.c_str());
    app.setSetting("Difficulty", "1");  // a default the file does not hold
    ASSERT_TRUE(app.loadSettings());
    EXPECT_EQ("TRUE", app.getSetting("Fullscreen"));
    EXPECT_EQ("128", app.getSetting("SoundVolume"));
    EXPECT_EQ(std::string("bin\x01\xff", 5), std::string(app.getSetting("Name").c_str()));
    EXPECT_EQ("1", app.getSetting("Difficulty"));
    EXPECT_EQ("", app.getSetting("Missing"));
    EXPECT_TRUE(app.getDamagedSettings().isEmpty());
}

TEST_F(SettingsTest, ADamagedFileKeepsEveryEntryReadBeforeTheDamage) {
    Entries entries;
    for (const char* pszKey : {"Fullscreen", "PLAYER_MANAGER_PLAYER_PROFILE_DATA", "Highscores", "MusicVolume"})
        entries.emplace_back(pszKey, std::string(pszKey) + " holds a value long enough to fill a few lines");
    std::string sGood = savedFile(sPath, entries);
    struct Case {
        const char* pszWhat;
        size_t nLength;
        int nKept;
    } aCases[] = {{"the last entry cut", sGood.size() - 6, 3}, {"the packing broken off", 20, 0}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        writeFile(sPath, sGood.substr(0, c.nLength));
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_FALSE(app.loadSettings());
        int nKept = 0;
        for (const auto& entry : entries) {
            Tsl::String sValue = app.getSetting(entry.first.c_str());
            if (!app.hasSetting(entry.first.c_str())) continue;
            EXPECT_EQ(entry.second, sValue.c_str());
            ++nKept;
        }
        EXPECT_EQ(c.nKept, nKept);
    }
}

TEST_F(SettingsTest, DamagedCopiesAreNumberedNeverOverwrittenAndTheLastThreeKept) {
    for (int n = 1; n <= 4; ++n) {
        std::string sDamaged = "damaged " + std::to_string(n);
        writeFile(sPath, sDamaged);
        std::string sCopy = sPath + ".damaged." + std::to_string(n);
        {
            TestApp app;
            app.setSettingsFile(sPath.c_str());
            EXPECT_FALSE(app.loadSettings());
            EXPECT_EQ(sCopy, app.getDamagedSettings().c_str());
            EXPECT_EQ(sDamaged, readFile(sCopy));
        }
        // Written again at once: a start after a crash finds what was read,
        // neither the damage nor nothing.
        TestApp restarted;
        restarted.setSettingsFile(sPath.c_str());
        EXPECT_TRUE(restarted.loadSettings());
    }
    EXPECT_FALSE(exists(sPath + ".damaged.1"));
    for (int n = 2; n <= 4; ++n) EXPECT_TRUE(exists(sPath + ".damaged." + std::to_string(n))) << n;
}

TEST_F(SettingsTest, EntriesPastTheSizeBoundsAreRefusedWithALogLineAndTheRestRead) {
    const std::string sMegabyte(1 << 20, 'x');
    Entries fullTotal;
    for (int i = 0; i < 17; ++i) fullTotal.emplace_back("Big" + std::to_string(i), sMegabyte);
    struct Case {
        const char* pszWhat;
        Entries entries;
        std::vector<std::string> kept;
        int nMostKept;
        const char* pszLogged;
    } aCases[] = {
        {"a value over the bound", {{"Before", "1"}, {"Big", sMegabyte + "x"}, {"After", "2"}}, {"Before", "After"},
         2, "'Big'"},
        {"a key over the bound", {{"Before", "1"}, {sMegabyte + "x", "v"}, {"After", "2"}}, {"Before", "After"}, 2,
         "has a key over"},
        {"values unpacking past the whole bound", fullTotal, {}, 15, "unpacks to more than"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        savedFile(sPath, c.entries);
        std::remove((sPath + ".previous").c_str());  // each case without a copy to fill in from
        writeFile(sLog, "");
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_FALSE(app.loadSettings());
        for (const std::string& sKey : c.kept) EXPECT_TRUE(app.hasSetting(sKey.c_str())) << sKey;
        int nKept = 0;
        for (const auto& entry : c.entries) nKept += app.hasSetting(entry.first.c_str()) ? 1 : 0;
        EXPECT_EQ(c.nMostKept, nKept);
        EXPECT_NE(std::string::npos, readFile(sLog).find(c.pszLogged)) << readFile(sLog);
        EXPECT_FALSE(app.getDamagedSettings().isEmpty());
    }
}

// A socket in the test's folder (through /proc, as its path may be longer
// than a socket's name can be) and a link to it at sPath.
int makeLinkToSocket(const char* pszPath) {
    int nFolder = open(testFolder().c_str(), O_RDONLY | O_DIRECTORY);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "/proc/self/fd/%d/socket", nFolder);
    int nSocket = socket(AF_UNIX, SOCK_STREAM, 0);
    int nBound = bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(nSocket);
    close(nFolder);
    return nBound == 0 ? symlink("socket", pszPath) : -1;
}

// Whatever stands at the name that the game may not read is read without
// waiting, never replaced, and the kept copy, the only good one meanwhile,
// is what the player plays on from, saved over by no start.
TEST_F(SettingsTest, WhatIsNoFileTheGameMayReadStaysAndTheKeptCopyPlaysOn) {
    const std::string sKept = sPath + ".previous";
    const std::string sStory = settingsBytes({{"CurrentPlayerName", "Ana"}});
    writeFile(sKept, sStory);
    struct Case {
        const char* pszWhat;
        int (*pfnMake)(const char*);
    } aCases[] = {
        {"a folder", [](const char* psz) { return mkdir(psz, 0700); }},
        {"a FIFO without a writer", [](const char* psz) { return mkfifo(psz, 0600); }},
        {"a link to a socket", makeLinkToSocket},
        {"a file nobody may read", [](const char* psz) { return creat(psz, 0) < 0 ? -1 : 0; }},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_EQ(0, c.pfnMake(sPath.c_str()));
        struct stat before, after;
        ASSERT_EQ(0, lstat(sPath.c_str(), &before));
        GameApp::closeLog();
        EXPECT_EQ(0, runUnprivileged([&]() {
            for (int nStart = 0; nStart < 2; ++nStart) {
                TestApp app;
                app.setSettingsFile(sPath.c_str());
                alarm(60);  // reading a FIFO would wait for ever
                bool bRead = app.loadSettings();
                alarm(0);
                if (bRead || app.getUnreadableSettings().isEmpty()) return 1;
                if (app.getSetting("CurrentPlayerName") != "Ana") return 2;
                app.setSetting("CurrentPlayerName", "Bo");
                if (app.saveSettings()) return 3;
            }
            return 0;
        }));
        GameApp::openLog(sLog.c_str());
        EXPECT_EQ(sStory, readFile(sKept));
        ASSERT_EQ(0, lstat(sPath.c_str(), &after));
        EXPECT_EQ(before.st_ino, after.st_ino);
        ASSERT_EQ(0, std::remove(sPath.c_str()));
    }
}

// Two saves that fail: the first reported with the folder and the cause in
// plain words, the second not, and the file there before (if any) left as
// it was. 0 when all holds.
int checkFailedSaves(const std::string& sPath, const std::string& sFolder, const std::string& sCause) {
    std::string sBefore = readFile(sPath);
    ReportingApp app;
    app.setSettingsFile(sPath.c_str());
    app.setSetting("A", "2");
    if (app.saveSettings() || app.saveSettings()) return 1;
    if (app.reports.size() != 1) return 2;
    if (app.reports[0].first != sFolder || app.reports[0].second != sCause) return 3;
    return readFile(sPath) == sBefore ? 0 : 4;
}

TEST_F(SettingsTest, AFailedSaveIsReportedOncePerRunWithTheFolderAndTheCauseAndKeepsThePreviousFile) {
    std::string sFolder = testFolder() + "/";
    {
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("A", "1");
        ASSERT_TRUE(app.saveSettings());
    }
    const char* const IN_THE_WAY = "a folder stands where the file goes";
    const std::string sTemporary = AtomicFile::getTemporaryFile(sPath.c_str()).c_str();
    // A folder where the temporary file goes; the log keeps the raw error.
    ASSERT_EQ(0, mkdir(sTemporary.c_str(), 0700));
    EXPECT_EQ(0, checkFailedSaves(sPath, sFolder, IN_THE_WAY));
    EXPECT_NE(std::string::npos, readFile(sLog).find(std::strerror(EISDIR))) << readFile(sLog);
    EXPECT_TRUE(exists(sTemporary)) << "a folder in the way is not ours to remove";
    ASSERT_EQ(0, rmdir(sTemporary.c_str()));
    // A folder where the file goes.
    std::string sOther = testPath("folder.dat");
    ASSERT_EQ(0, mkdir(sOther.c_str(), 0700));
    EXPECT_EQ(0, checkFailedSaves(sOther, sFolder, IN_THE_WAY));
    // A disk that takes nothing, or fails to keep what it took: the file
    // stays as it was and no temporary file is left.
    struct Fault {
        AtomicFile::Step eStep;
        int nErrno;
        const char* pszCause;
        int nChecked;  // 4: the file was replaced, only its folder's entry may not be on the disk
    } aFaults[] = {{AtomicFile::WRITE, ENOSPC, "no space is left on the disk", 0},
                   {AtomicFile::SYNC, EIO, "the disk reported an error", 0},
                   {AtomicFile::SYNC_FOLDER, EIO, "the disk reported an error", 4}};
    for (const Fault& fault : aFaults) {
        SCOPED_TRACE(fault.eStep);
        AtomicFile::plantFault(fault.eStep, fault.nErrno);
        EXPECT_EQ(fault.nChecked, checkFailedSaves(sPath, sFolder, fault.pszCause));
        AtomicFile::plantFault(fault.eStep, 0);
        EXPECT_FALSE(exists(sTemporary));
    }
    // A read-only folder, for a user whom its mode binds.
    std::string sReadOnly = testPath("ro");
    ASSERT_EQ(0, mkdir(sReadOnly.c_str(), 0755));
    writeFile(sReadOnly + "/config.dat", "kept");
    GameApp::closeLog();
    EXPECT_EQ(0, runUnprivileged([&]() {
        if (chmod(sReadOnly.c_str(), 0555) != 0) return 5;
        int nResult = checkFailedSaves(sReadOnly + "/config.dat", sReadOnly + "/", "the folder is read-only");
        return chmod(sReadOnly.c_str(), 0755) == 0 ? nResult : 6;
    }));
}

// Past the entry bound the rest of the count is still read: the
// application's own keys (the defaults' and the standard screens') are kept,
// only other new keys are refused. The file is kept aside, numbered, before
// any save writes what was read; where it cannot be moved at the start, the
// first save that can keeps it first.
TEST_F(SettingsTest, PastTheEntryBoundTheOwnKeysAreStillReadAndTheOriginalIsKeptBeforeAnySave) {
    Entries entries;
    for (int i = 0; i < SettingsFile::MAX_ENTRIES + 5; ++i) entries.emplace_back("junk" + std::to_string(i), "");
    entries.insert(entries.end(), {{"PLAYER_MANAGER_PLAYER_PROFILE_DATA", "Ana, day 5"}, {"Difficulty", "2"},
                                   {"CurrentPlayerName", "Ana"}, {"Other", "late"}});
    const std::string sOriginal = settingsBytes(entries);
    writeFile(sPath, sOriginal);
    {
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("Difficulty", "1");  // a default: its key is the application's
        EXPECT_FALSE(app.loadSettings());
        EXPECT_EQ("Ana, day 5", app.getSetting("PLAYER_MANAGER_PLAYER_PROFILE_DATA"));
        EXPECT_EQ("2", app.getSetting("Difficulty"));
        EXPECT_EQ("Ana", app.getSetting("CurrentPlayerName"));
        EXPECT_FALSE(app.hasSetting("Other"));
        EXPECT_EQ(SettingsFile::MAX_ENTRIES + 3, app.getSettingKeys().getCount());
        EXPECT_NE(std::string::npos, readFile(sLog).find("6 entries past the first 10000 new keys refused"))
            << readFile(sLog);
        EXPECT_EQ(sPath + ".damaged.1", app.getDamagedSettings().c_str());
        ASSERT_TRUE(app.saveSettings());
    }
    EXPECT_EQ(sOriginal, readFile(sPath + ".damaged.1"));
    {
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("Difficulty", "1");
        EXPECT_TRUE(app.loadSettings());
        EXPECT_EQ("Ana, day 5", app.getSetting("PLAYER_MANAGER_PLAYER_PROFILE_DATA"));
    }
    // Keeping it fails in a read-only folder; once the folder is writable
    // again, the save keeps the copy before it writes, or, when the file was
    // removed meanwhile, has nothing left to keep and saves all the same.
    struct Later {
        const char* pszWhat;
        bool bRemoved;
    } aLater[] = {{"kept by the save", false}, {"removed meanwhile", true}};
    for (const Later& later : aLater) {
        SCOPED_TRACE(later.pszWhat);
        std::string sFolder = testPath(later.bRemoved ? "locked-removed" : "locked");
        std::string sLocked = sFolder + "/config.dat";
        ASSERT_EQ(0, mkdir(sFolder.c_str(), 0755));
        writeFile(sLocked, sOriginal);
        GameApp::closeLog();
        EXPECT_EQ(0, runUnprivileged([&]() {
            if (chmod(sFolder.c_str(), 0555) != 0) return 1;
            ReportingApp app;
            app.setSettingsFile(sLocked.c_str());
            if (app.loadSettings() || app.getDamagedSettings() != Tsl::String(sLocked.c_str())) return 2;
            if (app.saveSettings() || readFile(sLocked) != sOriginal) return 3;
            if (chmod(sFolder.c_str(), 0755) != 0) return 4;
            if (later.bRemoved && std::remove(sLocked.c_str()) != 0) return 5;
            if (!app.saveSettings()) return 6;
            if (later.bRemoved) return exists(sLocked + ".damaged.1") || readFile(sLocked).empty() ? 7 : 0;
            if (app.getDamagedSettings() != Tsl::String((sLocked + ".damaged.1").c_str())) return 8;
            return readFile(sLocked + ".damaged.1") == sOriginal && readFile(sLocked) != sOriginal ? 0 : 9;
        }));
        GameApp::openLog(sLog.c_str());
    }
}

// What other programs and people do to the settings file: two games saving
// into one folder at once, a file nobody may read, a symbolic link, a
// file's mode, a stranger in the temporary file's place.
TEST_F(SettingsTest, HostileFilesNeitherLoseTheSettingsNorGetTheWrongWords) {
    {
        SCOPED_TRACE("two games saving into one folder at once");
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("A", "1");
        for (int nRound = 0; nRound < 10; ++nRound) {
            pid_t nChild = fork();
            ASSERT_GE(nChild, 0);
            if (nChild == 0) {
                int nFailed = 0;
                for (int i = 0; i < 3; ++i) nFailed += app.saveSettings() ? 0 : 1;
                _exit(nFailed);
            }
            for (int i = 0; i < 3; ++i) EXPECT_TRUE(app.saveSettings());
            int nStatus = 0;
            ASSERT_EQ(nChild, waitpid(nChild, &nStatus, 0));
            EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << nStatus;
        }
        EXPECT_EQ(std::string::npos, readFile(sLog).find("Could not save")) << readFile(sLog);
    }
    {
        SCOPED_TRACE("a file nobody may read");
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        ASSERT_TRUE(app.loadSettings());
    }
    const std::string sIntact = readFile(sPath);
    GameApp::closeLog();
    EXPECT_EQ(0, runUnprivileged([&]() {
        if (chmod(sPath.c_str(), 0) != 0) return 1;
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        if (app.loadSettings() || app.getUnreadableSettings() != Tsl::String(sPath.c_str())) return 2;
        if (!app.getDamagedSettings().isEmpty()) return 3;
        app.setSetting("A", "2");
        if (app.saveSettings()) return 4;
        if (exists(sPath + ".damaged.1") || chmod(sPath.c_str(), 0600) != 0) return 5;
        return readFile(sPath) == sIntact ? 0 : 6;
    }));
    GameApp::openLog(sLog.c_str());
    {
        SCOPED_TRACE("a symbolic link");
        std::string sReal = testPath("real");
        ASSERT_EQ(0, mkdir(sReal.c_str(), 0700));
        ASSERT_EQ(0, std::rename(sPath.c_str(), (sReal + "/config.dat").c_str()));
        ASSERT_EQ(0, symlink("real/config.dat", sPath.c_str()));
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        ASSERT_TRUE(app.loadSettings());
        app.setSetting("A", "3");
        ASSERT_TRUE(app.saveSettings());
        struct stat info;
        ASSERT_EQ(0, lstat(sPath.c_str(), &info));
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        EXPECT_EQ(sIntact, readFile(app.getKeptSettingsFile().c_str()));
        EXPECT_NE(sIntact, readFile(sReal + "/config.dat"));
        ASSERT_EQ(0, std::remove(sPath.c_str()));
        ASSERT_EQ(0, std::rename((sReal + "/config.dat").c_str(), sPath.c_str()));
    }
    for (mode_t nMode : {0444, 0600}) {
        SCOPED_TRACE(nMode);
        ASSERT_EQ(0, chmod(sPath.c_str(), nMode));
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        ASSERT_TRUE(app.saveSettings());
        struct stat info;
        ASSERT_EQ(0, stat(sPath.c_str(), &info));
        EXPECT_EQ(nMode, info.st_mode & 07777);
    }
    {
        SCOPED_TRACE("a link where the temporary file goes");
        // Whatever stands there is removed, never written through.
        std::string sTemporary = AtomicFile::getTemporaryFile(sPath.c_str()).c_str();
        std::string sStranger = testPath("stranger");
        writeFile(sStranger, "not the game's");
        ASSERT_EQ(0, symlink(sStranger.c_str(), sTemporary.c_str()));
        {
            TestApp app;
            app.setSettingsFile(sPath.c_str());
            EXPECT_TRUE(app.saveSettings());
        }
        EXPECT_EQ("not the game's", readFile(sStranger));
        EXPECT_FALSE(exists(sTemporary));
        ReportingApp nowhere;
        nowhere.setSettingsFile(testPath("gone/config.dat").c_str());
        EXPECT_FALSE(nowhere.saveSettings());
        ASSERT_EQ(1u, nowhere.reports.size());
        EXPECT_EQ("the folder does not exist", nowhere.reports[0].second);
    }
    {
        SCOPED_TRACE("temporary files a save that never ended left");
        const std::string sLeft = sPath + ".4242.tmp", sWriting = sPath + ".4343.tmp";
        writeFile(sLeft, "left");
        writeFile(sWriting, "being written");
        struct utimbuf past = {std::time(nullptr) - 3600, std::time(nullptr) - 3600};
        ASSERT_EQ(0, utime(sLeft.c_str(), &past));
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_TRUE(app.loadSettings());
        EXPECT_FALSE(exists(sLeft));
        EXPECT_TRUE(exists(sWriting));
    }
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
              "B: failed 7\nG: The line above came 1 more time\n",
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
