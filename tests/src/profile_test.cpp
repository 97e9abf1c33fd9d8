// Player profiles: the stored form through the settings file, damaged
// stores, clamps on load, the session commit and the name rules.
#include "fakes.h"

#include "playermanager.h"
#include "qarnplayer.h"
#include "screens/names.h"

#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Every saved field, with values whose bytes include 00, 01 and FF.
void fill(QarnPlayer& p, int nSeed) {
    p.m_bStoryStarted = nSeed % 2 == 0;
    p.m_nMinutes = 0x01FF + nSeed;
    p.m_nStage = nSeed % 6;
    p.m_nDifficulty = nSeed % 3;
    p.m_nTotalScore = 0x00FF0100 + nSeed;
    p.m_nLevelsWon = 0x01 + nSeed;
    p.m_nStoryLevel = 0x10 + nSeed;
    p.m_bStoryFinished = nSeed % 2 == 1;
    for (int i = 0; i < QarnPlayer::TIP_COUNT; ++i) p.m_abTipShown[i] = (i + nSeed) % 3 == 0;
    for (int i = 0; i < QarnPlayer::UPGRADE_KIND_COUNT; ++i) {
        p.m_anSavedUpgrades[i] = (i + nSeed) % QarnPlayer::getUpgradeLevelCount(i);
        p.m_anBestUpgrades[i] = QarnPlayer::getUpgradeLevelCount(i) - 1;
    }
    p.m_nSavedMoney = 0x1FF - nSeed;
}

void expectSameSaved(const QarnPlayer& a, const QarnPlayer& b) {
    EXPECT_EQ(a.getName(), b.getName());
    EXPECT_EQ(a.m_bStoryStarted, b.m_bStoryStarted);
    EXPECT_EQ(a.m_nMinutes, b.m_nMinutes);
    EXPECT_EQ(a.m_nStage, b.m_nStage);
    EXPECT_EQ(a.m_nDifficulty, b.m_nDifficulty);
    EXPECT_EQ(a.m_nTotalScore, b.m_nTotalScore);
    EXPECT_EQ(a.m_nLevelsWon, b.m_nLevelsWon);
    EXPECT_EQ(a.m_nStoryLevel, b.m_nStoryLevel);
    EXPECT_EQ(a.m_bStoryFinished, b.m_bStoryFinished);
    for (int i = 0; i < QarnPlayer::TIP_COUNT; ++i) EXPECT_EQ(a.m_abTipShown[i], b.m_abTipShown[i]);
    for (int i = 0; i < QarnPlayer::UPGRADE_KIND_COUNT; ++i) {
        EXPECT_EQ(a.m_anSavedUpgrades[i], b.m_anSavedUpgrades[i]);
        EXPECT_EQ(a.m_anBestUpgrades[i], b.m_anBestUpgrades[i]);
    }
    EXPECT_EQ(a.m_nSavedMoney, b.m_nSavedMoney);
}

void expectInRange(const QarnPlayer& p) {
    EXPECT_GE(p.m_nMinutes, 1);
    EXPECT_TRUE(p.m_nStage >= 0 && p.m_nStage <= 5);
    EXPECT_TRUE(p.m_nDifficulty >= 0 && p.m_nDifficulty <= 2);
    EXPECT_TRUE(p.m_nLevelsWon >= 0 && p.m_nLevelsWon <= 50);
    EXPECT_TRUE(p.m_nStoryLevel >= 0 && p.m_nStoryLevel <= 50);
    EXPECT_TRUE(p.m_nSavedMoney >= 0 && p.m_nSavedMoney <= 999);
    for (int i = 0; i < QarnPlayer::UPGRADE_KIND_COUNT; ++i) {
        EXPECT_TRUE(p.m_anSavedUpgrades[i] >= 0 && p.m_anSavedUpgrades[i] < QarnPlayer::getUpgradeLevelCount(i));
        EXPECT_TRUE(p.m_anBestUpgrades[i] >= 0 && p.m_anBestUpgrades[i] < QarnPlayer::getUpgradeLevelCount(i));
    }
    EXPECT_EQ(p.m_nMoney, p.m_nSavedMoney);
}

const char* const NAMES[] = {"Ana", "Zo\xC3\xAB \xE2\x98\x80", "M\xC3\xBCller-\xFF"};

struct ProfileTest : ::testing::Test {
    TestApp app;
    std::string sFolder;

    void SetUp() override {
        char szTemplate[] = "/tmp/profile_test_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szTemplate));
        sFolder = szTemplate;
        app.setSettingsFile((sFolder + "/config.dat").c_str());
    }
    void TearDown() override {
        destroyPlayerManager();
        std::remove((sFolder + "/config.dat").c_str());
        rmdir(sFolder.c_str());
    }

    // The three players saved; the store as it is in the settings.
    Tsl::String saveThree(PlayerManager& manager) {
        for (int i = 0; i < 3; ++i) fill(*static_cast<QarnPlayer*>(manager.createProfile(NAMES[i])), i + 1);
        manager.saveProfiles();
        return app.getSetting(ScreenNames::SET_PROFILES);
    }
    // Loads a store into a fresh manager; no exception may leave.
    PlayerManager* load(const Tsl::String& sBlob) {
        app.setSetting(ScreenNames::SET_PROFILES, sBlob);
        app.setSetting(ScreenNames::SET_PROFILES_DAMAGED, "");
        destroyPlayerManager();
        return getPlayerManager();
    }
    bool hasSideCopy() const { return !app.getSetting(ScreenNames::SET_PROFILES_DAMAGED).isEmpty(); }
};

// A store written by hand: list header, count, records.
Tsl::String makeStore(const char* pszListMagic, int nListVersion, const std::vector<Tsl::String>& aRecords) {
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer s(pBytes.get(), false);
        s.writeHeader(pszListMagic, nListVersion);
        s.write(int(aRecords.size()));
        for (const Tsl::String& sRecord : aRecords) s.write(sRecord);
    }
    return Tsl::String::encodeBinary(pBytes->getData(), int(pBytes->getSize()));
}

Tsl::String makeRecord(const char* pszMagic, int nVersion, const QarnPlayer& player) {
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer s(pBytes.get(), false);
        s.writeHeader(pszMagic, nVersion);
        s.write(player.getName());
        player.write(s);
    }
    return Tsl::String(reinterpret_cast<const char*>(pBytes->getData()), int(pBytes->getSize()));
}

TEST_F(ProfileTest, EveryFieldOfSeveralPlayersSurvivesTheSettingsFile) {
    PlayerManager written;
    saveThree(written);
    ASSERT_TRUE(app.saveSettings());
    app.setSetting(ScreenNames::SET_PROFILES, "");
    ASSERT_TRUE(app.loadSettings());
    PlayerManager* pRead = getPlayerManager();
    ASSERT_EQ(3, pRead->getProfileCount());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        expectSameSaved(*written.getProfile(NAMES[i]), *pRead->getProfile(NAMES[i]));
        expectInRange(*pRead->getProfile(NAMES[i]));
    }
    EXPECT_FALSE(hasSideCopy());
}

TEST_F(ProfileTest, ATruncatedStoreKeepsTheRecordsBeforeTheCutAndASideCopy) {
    PlayerManager written;
    Tsl::String sBlob = saveThree(written);
    int nLastCount = 0;
    for (int nLength = 0; nLength < sBlob.getLength(); ++nLength) {
        SCOPED_TRACE(nLength);
        PlayerManager* pRead = load(sBlob.left(nLength));
        Tsl::List<Tsl::String> lNames = pRead->getProfileNames();
        ASSERT_GE(lNames.getCount(), nLastCount);
        ASSERT_LT(lNames.getCount(), 3);
        for (int i = 0; i < lNames.getCount(); ++i)
            expectSameSaved(*written.getProfile(NAMES[i]), *pRead->getProfile(lNames.getAt(i)));
        EXPECT_EQ(nLength > 0, hasSideCopy());
        nLastCount = lNames.getCount();
    }
    EXPECT_EQ(2, nLastCount);
}

TEST_F(ProfileTest, BitFlipsNeverRaiseAndLeaveOnlyValidProfiles) {
    PlayerManager written;
    Tsl::String sBlob = saveThree(written);
    for (int nByte = 0; nByte < sBlob.getLength(); ++nByte) {
        for (int nBit = 0; nBit < 8; ++nBit) {
            Tsl::String sFlipped = sBlob;
            sFlipped[nByte] = char(sFlipped[nByte] ^ (1 << nBit));
            PlayerManager* pRead = load(sFlipped);
            ASSERT_LE(pRead->getProfileCount(), 3);
            for (const Tsl::String& sName : pRead->getProfileNames()) {
                EXPECT_EQ(ProfileManager::NAME_TAKEN, pRead->checkNewName(sName));
                expectInRange(*pRead->getProfile(sName));
            }
        }
    }
}

TEST_F(ProfileTest, AForeignRecordOrVersionIsSkippedAndTheRestKept) {
    QarnPlayer aPlayers[3];
    std::vector<Tsl::String> aGood;
    for (int i = 0; i < 3; ++i) {
        aPlayers[i].setName(NAMES[i]);
        fill(aPlayers[i], i);
        aGood.push_back(makeRecord("PRF", 1, aPlayers[i]));
    }
    struct Case {
        const char* pszWhat;
        Tsl::String sStore;
        int nKept;
    } aCases[] = {
        {"wrong record word", makeStore("PFL", 1, {aGood[0], makeRecord("PRX", 1, aPlayers[1]), aGood[2]}), 2},
        {"record version 2", makeStore("PFL", 1, {aGood[0], aGood[1], makeRecord("PRF", 2, aPlayers[2])}), 2},
        {"list version 2", makeStore("PFL", 2, aGood), 0},
        {"wrong list word", makeStore("PFX", 1, aGood), 0},
        {"a duplicate name", makeStore("PFL", 1, {aGood[0], aGood[1], aGood[0]}), 2},
        {"not encoded", Tsl::String("\x01\x05garbage"), 0},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        PlayerManager* pRead = load(c.sStore);
        EXPECT_EQ(c.nKept, pRead->getProfileCount());
        EXPECT_EQ(c.sStore, app.getSetting(ScreenNames::SET_PROFILES_DAMAGED));
        // Saving rewrites the store from what was read; the side copy stays.
        pRead->saveProfiles();
        EXPECT_EQ(c.nKept, load(app.getSetting(ScreenNames::SET_PROFILES))->getProfileCount());
    }
}

TEST_F(ProfileTest, OutOfRangeValuesAreClampedOnLoad) {
    struct Case {
        int QarnPlayer::*pField;
        int nStored;
        int nLoaded;
    } aCases[] = {
        {&QarnPlayer::m_nStage, 6, 5},         {&QarnPlayer::m_nStage, -1, 0},
        {&QarnPlayer::m_nStoryLevel, 51, 50},  {&QarnPlayer::m_nLevelsWon, -7, 0},
        {&QarnPlayer::m_nLevelsWon, 50, 50},   {&QarnPlayer::m_nSavedMoney, 1000, 999},
        {&QarnPlayer::m_nSavedMoney, -1, 0},   {&QarnPlayer::m_nDifficulty, 3, 2},
        {&QarnPlayer::m_nDifficulty, -2, 0},   {&QarnPlayer::m_nMinutes, 0, 3},
        {&QarnPlayer::m_nMinutes, -5, 3},      {&QarnPlayer::m_nMinutes, 1, 1},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nStored);
        QarnPlayer player;
        player.setName("P");
        player.*c.pField = c.nStored;
        player.m_anSavedUpgrades[0] = 3;     // the tray has levels 0-2
        player.m_anBestUpgrades[12] = 9;     // the signs 0-4
        player.m_anSavedUpgrades[6] = -1;
        PlayerManager* pRead = load(makeStore("PFL", 1, {makeRecord("PRF", 1, player)}));
        QarnPlayer* pLoaded = pRead->getProfile("P");
        ASSERT_NE(nullptr, pLoaded);
        EXPECT_EQ(c.nLoaded, pLoaded->*c.pField);
        EXPECT_EQ(2, pLoaded->m_anSavedUpgrades[0]);
        EXPECT_EQ(4, pLoaded->m_anBestUpgrades[12]);
        EXPECT_EQ(0, pLoaded->m_anSavedUpgrades[6]);
        EXPECT_EQ(2, pLoaded->m_anUpgrades[0]);
    }
}

TEST(QarnPlayerTest, CommitSessionKeepsWhatThePlayModeEarned) {
    struct Case {
        int nPlayMode;
        int nSaved, nBest, nSavedMoney;
    } aCases[] = {{-1, 1, 2, 10}, {0, 3, 3, 500}, {1, 1, 2, 10}, {2, 1, 3, 10}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nPlayMode);
        QarnPlayer p;
        p.m_anSavedUpgrades[6] = 1;
        p.m_anBestUpgrades[6] = 2;
        p.m_anUpgrades[6] = 3;
        p.m_anBestUpgrades[7] = 3;  // a best level above the current one stays
        p.m_anUpgrades[7] = 1;
        p.m_nSavedMoney = 10;
        p.m_nMoney = 500;
        p.commitSession(c.nPlayMode);
        EXPECT_EQ(c.nSaved, p.m_anSavedUpgrades[6]);
        EXPECT_EQ(c.nBest, p.m_anBestUpgrades[6]);
        EXPECT_EQ(3, p.m_anBestUpgrades[7]);
        EXPECT_EQ(c.nSavedMoney, p.m_nSavedMoney);
    }
}

TEST_F(ProfileTest, NameRulesAreOneNormalisationEverywhere) {
    PlayerManager manager;
    ASSERT_NE(nullptr, manager.createProfile("  Ana  "));
    struct Case {
        const char* pszName;
        ProfileManager::NameProblem eProblem;
    } aCases[] = {
        {"Bo", ProfileManager::NAME_OK},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
         "abcdefghij", ProfileManager::NAME_OK},  // 20 characters, 30 bytes
        {"abcdefghijklmnopqrstu", ProfileManager::NAME_TOO_LONG},
        {"", ProfileManager::NAME_EMPTY},
        {" \t ", ProfileManager::NAME_EMPTY},
        {"ANA", ProfileManager::NAME_TAKEN},
        {" ana", ProfileManager::NAME_TAKEN},
        {"A\tna", ProfileManager::NAME_BAD_CHARACTER},
        {"A\x01", ProfileManager::NAME_BAD_CHARACTER},
        {"A\x7F", ProfileManager::NAME_BAD_CHARACTER},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(c.eProblem, manager.checkNewName(c.pszName));
        EXPECT_EQ(c.eProblem == ProfileManager::NAME_OK, ProfileManager::getProblemKey(c.eProblem) == nullptr);
    }
    // Checked with one spelling, found with another.
    EXPECT_TRUE(manager.hasProfile("ANA "));
    ASSERT_NE(nullptr, manager.getProfileData(" aNa"));
    EXPECT_EQ("Ana", manager.getProfileData(" aNa")->getName());
    EXPECT_EQ(nullptr, manager.createProfile("ana"));
    for (int i = 1; i < ProfileManager::MAX_PROFILES; ++i)
        ASSERT_NE(nullptr, manager.createProfile(Tsl::String::format("P%d", i)));
    EXPECT_EQ(ProfileManager::LIST_FULL, manager.checkNewName("Ninth"));
    EXPECT_EQ(nullptr, manager.createProfile("Ninth"));
    EXPECT_TRUE(manager.deleteProfile("ANA"));
    EXPECT_FALSE(manager.hasProfile("Ana"));
    EXPECT_FALSE(manager.deleteProfile("Ana"));
}

} // namespace
