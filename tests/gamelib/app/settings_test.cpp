// The settings file: the round trip, damage (what is kept and the numbered
// copies), size bounds, paths that are no file, and failed saves.
#include "test_folder.h"
#include "fakes.h"
#include "unprivileged.h"

#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/zstream.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> Entries;

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

bool exists(const std::string& sPath) { return access(sPath.c_str(), F_OK) == 0; }

std::string bytesOf(const Tsl::MemStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.getData()), static_cast<size_t>(stream.getSize()));
}

// The file's unpacked bytes for the entries in this order.
std::string unpackedSettings(const Entries& entries) {
    Tsl::MemStream raw;
    {
        Tsl::ObjectStreamer streamer(&raw, false);
        streamer.writeHeader("SET", 1);
        streamer.write(static_cast<int>(entries.size()));
        for (const auto& entry : entries) {
            streamer.write(Tsl::String(entry.first.data(), static_cast<int>(entry.first.size())));
            streamer.write(Tsl::String(entry.second.data(), static_cast<int>(entry.second.size())));
        }
    }
    return bytesOf(raw);
}

std::string packed(const std::string& sUnpacked) {
    Tsl::MemStream file;
    {
        Tsl::ZStream zip(&file, 1);
        zip.write(sUnpacked.data(), static_cast<int>(sUnpacked.size()));
        zip.close();
    }
    return bytesOf(file);
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
    std::string sPath = testPath("config.dat");
    std::string sLog = testPath("settings.log");
    void SetUp() override { GameApp::openLog(sLog.c_str()); }
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
    EXPECT_FALSE(Tsl::File::exists((sPath + ".tmp").c_str()));
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
    const Entries entries = {{"Fullscreen", "TRUE"}, {"PLAYER_MANAGER_PLAYER_PROFILE_DATA", "profiles"},
                             {"Highscores", "scores"}, {"MusicVolume", "12"}};
    std::string sUnpacked = unpackedSettings(entries);
    struct Case {
        const char* pszWhat;
        std::string sFile;
        size_t nKept;  // entries from the front that must come back
    } aCases[] = {
        {"the last entry cut", packed(sUnpacked.substr(0, sUnpacked.size() - 1)), 3},
        {"the last entry missing", packed(sUnpacked.substr(0, sUnpacked.size() - 4)), 3},
        {"cut in the second", packed(sUnpacked.substr(0, 40)), 1},
        {"the packing broken off", packed(sUnpacked).substr(0, 20), 0},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        writeFile(sPath, c.sFile);
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("MusicVolume", "255");
        EXPECT_FALSE(app.loadSettings());
        for (size_t i = 0; i < entries.size(); ++i) {
            Tsl::String sValue = app.getSetting(entries[i].first.c_str());
            if (i < c.nKept)
                EXPECT_EQ(entries[i].second, sValue.c_str());
            else
                EXPECT_TRUE(sValue.isEmpty() || sValue == "255") << entries[i].first << " = " << sValue.c_str();
        }
    }
}

TEST_F(SettingsTest, DamagedCopiesAreNumberedNeverOverwrittenAndTheLastThreeKept) {
    for (int n = 1; n <= 4; ++n) {
        std::string sDamaged = "damaged " + std::to_string(n);
        writeFile(sPath, sDamaged);
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_FALSE(app.loadSettings());
        std::string sCopy = sPath + ".damaged." + std::to_string(n);
        EXPECT_EQ(sCopy, app.getDamagedSettings().c_str());
        EXPECT_EQ(sDamaged, readFile(sCopy));
        // Moved away: the next save cannot replace it.
        EXPECT_FALSE(exists(sPath));
    }
    EXPECT_FALSE(exists(sPath + ".damaged.1"));
    for (int n = 2; n <= 4; ++n) EXPECT_TRUE(exists(sPath + ".damaged." + std::to_string(n))) << n;
}

TEST_F(SettingsTest, AnUnreadableFileIsMovedAsideLikeADamagedOne) {
    // Otherwise the first save would replace what could not be read.
    writeFile(sPath, "unreadable");
    GameApp::closeLog();
    EXPECT_EQ(0, runUnprivileged([&]() {
        if (chmod(sPath.c_str(), 0) != 0) return 1;
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        if (app.loadSettings()) return 2;
        std::string sCopy = sPath + ".damaged.1";
        if (app.getDamagedSettings() != Tsl::String(sCopy.c_str()) || exists(sPath)) return 3;
        return chmod(sCopy.c_str(), 0600) == 0 && readFile(sCopy) == "unreadable" ? 0 : 4;
    }));
}

TEST_F(SettingsTest, OversizeEntriesAreRefusedWithALogLineAndTheRestRead) {
    const std::string sMegabyte(1 << 20, 'x');
    Entries fullTotal;
    for (int i = 0; i < 17; ++i) fullTotal.emplace_back("Big" + std::to_string(i), sMegabyte);
    fullTotal.emplace_back("After", "lost");
    struct Case {
        const char* pszWhat;
        Entries entries;
        std::vector<std::string> kept, refused;
        const char* pszLogged;
    } aCases[] = {
        {"a value over the bound", {{"Before", "1"}, {"Big", sMegabyte + "x"}, {"After", "2"}},
         {"Before", "After"}, {"Big"}, "'Big'"},
        {"a key over the bound", {{"Before", "1"}, {sMegabyte + "x", "v"}, {"After", "2"}},
         {"Before", "After"}, {}, "entry 2 has a key"},
        {"values unpacking past the whole bound", fullTotal, {"Big0", "Big14"}, {"Big16", "After"},
         "unpacks to more than"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        writeFile(sPath, packed(unpackedSettings(c.entries)));
        writeFile(sLog, "");
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        EXPECT_FALSE(app.loadSettings());
        for (const std::string& sKey : c.kept) EXPECT_TRUE(app.hasSetting(sKey.c_str())) << sKey;
        for (const std::string& sKey : c.refused) EXPECT_FALSE(app.hasSetting(sKey.c_str())) << sKey;
        EXPECT_NE(std::string::npos, readFile(sLog).find(c.pszLogged)) << readFile(sLog);
        EXPECT_FALSE(app.getDamagedSettings().isEmpty());
    }
}

TEST_F(SettingsTest, OnlyARegularFileIsReadAsSettings) {
    struct Case {
        const char* pszWhat;
        int (*pfnMake)(const char*);
    } aCases[] = {
        {"a folder", [](const char* psz) { return mkdir(psz, 0700); }},
        {"a FIFO without a writer", [](const char* psz) { return mkfifo(psz, 0600); }},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_EQ(0, c.pfnMake(sPath.c_str()));
        writeFile(sLog, "");
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("Fullscreen", "TRUE");
        alarm(60);  // reading a FIFO would wait for ever
        EXPECT_FALSE(app.loadSettings());
        alarm(0);
        EXPECT_EQ("TRUE", app.getSetting("Fullscreen"));
        EXPECT_TRUE(app.getDamagedSettings().isEmpty());
        EXPECT_NE(std::string::npos, readFile(sLog).find("is not a file")) << readFile(sLog);
        ASSERT_EQ(0, std::remove(sPath.c_str()));
    }
}

// Two saves that fail: the first reported with the folder, the second not,
// and the file there before (if any) left as it was. 0 when all holds.
int checkFailedSaves(const std::string& sPath, const std::string& sFolder) {
    std::string sBefore = readFile(sPath);
    ReportingApp app;
    app.setSettingsFile(sPath.c_str());
    app.setSetting("A", "2");
    if (app.saveSettings() || app.saveSettings()) return 1;
    if (app.reports.size() != 1) return 2;
    if (app.reports[0].first != sFolder || app.reports[0].second.empty()) return 3;
    return readFile(sPath) == sBefore ? 0 : 4;
}

TEST_F(SettingsTest, AFailedSaveIsReportedOncePerRunWithTheFolderAndKeepsThePreviousFile) {
    std::string sFolder = testFolder() + "/";
    {
        TestApp app;
        app.setSettingsFile(sPath.c_str());
        app.setSetting("A", "1");
        ASSERT_TRUE(app.saveSettings());
    }
    // A folder where the temporary file goes.
    ASSERT_EQ(0, mkdir((sPath + ".tmp").c_str(), 0700));
    EXPECT_EQ(0, checkFailedSaves(sPath, sFolder));
    EXPECT_TRUE(exists(sPath + ".tmp")) << "a folder in the way is not ours to remove";
    ASSERT_EQ(0, rmdir((sPath + ".tmp").c_str()));
    // A folder where the file goes.
    std::string sOther = testPath("folder.dat");
    ASSERT_EQ(0, mkdir(sOther.c_str(), 0700));
    EXPECT_EQ(0, checkFailedSaves(sOther, sFolder));
    // A read-only folder, for a user whom its mode binds.
    std::string sReadOnly = testPath("ro");
    ASSERT_EQ(0, mkdir(sReadOnly.c_str(), 0755));
    writeFile(sReadOnly + "/config.dat", "kept");
    GameApp::closeLog();
    EXPECT_EQ(0, runUnprivileged([&]() {
        if (chmod(sReadOnly.c_str(), 0555) != 0) return 5;
        int nResult = checkFailedSaves(sReadOnly + "/config.dat", sReadOnly + "/");
        return chmod(sReadOnly.c_str(), 0755) == 0 ? nResult : 6;
    }));
}

} // namespace
