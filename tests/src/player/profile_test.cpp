// Player profiles: the stored form through the settings file, damaged
// stores, clamps on load, the session commit and the name rules.
#include "game_fixtures.h"
#include "settings_bytes.h"

#include "player/playermanager.h"
#include "story/storymanager.h"
#include "screens/names.h"

#include "tsl2/objectstreamer.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

typedef QarnPlayer P;
typedef ProfileManager M;

// Every saved field, with values whose bytes include 00, 01 and FF.
void fill(P& p, int nSeed) {
    p.m_bStoryStarted = nSeed % 2 == 0;
    p.m_nMinutes = nSeed;
    p.m_nStage = nSeed % 6;
    p.m_nDifficulty = nSeed % 3;
    p.m_nTotalScore = 0x00FF0100 + nSeed;
    p.m_nLevelsWon = 0x01 + nSeed;
    p.m_nStoryLevel = 0x10 + nSeed;
    p.m_bStoryFinished = nSeed % 2 == 1;
    for (int i = 0; i < P::TIP_COUNT; ++i) p.m_abTipShown[i] = (i + nSeed) % 3 == 0;
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) {
        p.m_anSavedUpgrades[i] = (i + nSeed) % UpgradeManager().getLevelCount(i);
        p.m_anBestUpgrades[i] = UpgradeManager().getLevelCount(i) - 1;
    }
    p.m_nSavedMoney = 0x1FF - nSeed;
}

// One record of the store, written by hand (header word, name, fields).
Tsl::String makeRecord(const char* pszMagic, int nVersion, const P& player) {
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer s(pBytes.get(), false);
        s.writeHeader(pszMagic, nVersion);
        s.write(player.getName());
        player.write(s);
    }
    return Tsl::String(reinterpret_cast<const char*>(pBytes->getData()), int(pBytes->getSize()));
}

Tsl::String makeStore(const char* pszMagic, int nVersion, const std::vector<Tsl::String>& aRecords) {
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer s(pBytes.get(), false);
        s.writeHeader(pszMagic, nVersion);
        s.write(int(aRecords.size()));
        for (const Tsl::String& sRecord : aRecords) s.write(sRecord);
    }
    return Tsl::String::encodeBinary(pBytes->getData(), int(pBytes->getSize()));
}

bool inRange(const P& p) {
    bool bOk = p.m_nMinutes >= 1 && p.m_nStage >= 0 && p.m_nStage <= 5 && p.m_nDifficulty >= 0 &&
               p.m_nDifficulty <= 2 && p.m_nLevelsWon >= 0 && p.m_nLevelsWon <= 50 && p.m_nStoryLevel >= 0 &&
               p.m_nStoryLevel <= 50 && p.m_nSavedMoney >= 0 && p.m_nSavedMoney <= 999 &&
               p.m_nMoney == p.m_nSavedMoney;
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i)
        bOk = bOk && p.m_anSavedUpgrades[i] >= 0 && p.m_anSavedUpgrades[i] < UpgradeManager().getLevelCount(i) &&
              p.m_anBestUpgrades[i] >= 0 && p.m_anBestUpgrades[i] < UpgradeManager().getLevelCount(i);
    return bOk;
}

const char* const NAMES[] = {"Ana", "Zo\xC3\xAB \xE2\x98\x80", "M\xC3\xBCller-\xC3\xBF"};

struct ProfileTest : ::testing::Test {
    TestApp app;
    TempFolder folder;
    PlayerManager written;
    Tsl::String sStore;

    void SetUp() override {
        app.setSettingsFile(folder.file("config.dat").c_str());
        for (int i = 0; i < 3; ++i) fill(*static_cast<P*>(written.createProfile(NAMES[i])), i + 1);
        written.saveProfiles();
        sStore = app.getSetting(ScreenNames::SET_PROFILES);
    }
    void TearDown() override { destroyPlayerManager(); }
    // Loads a store into a fresh manager, copies kept before left as they
    // are; no exception may leave.
    PlayerManager* loadKeepingCopies(const Tsl::String& sBlob) {
        app.setSetting(ScreenNames::SET_PROFILES, sBlob);
        destroyPlayerManager();
        return getPlayerManager();
    }
    PlayerManager* load(const Tsl::String& sBlob) {
        for (const Tsl::String& sKey : app.getSettingKeys())
            if (sKey.find(ScreenNames::SET_PROFILES_DAMAGED_PREFIX) == 0) app.removeSetting(sKey.c_str());
        return loadKeepingCopies(sBlob);
    }
    static Tsl::String copyKey(int nNumber) {
        return Tsl::String::format("%s%d", ScreenNames::SET_PROFILES_DAMAGED_PREFIX, nNumber);
    }
    // The copy load kept; empty when none.
    Tsl::String sideCopy() const { return app.getSetting(copyKey(1)); }
    // The loaded profiles are the written ones, in order, field for field.
    void expectWrittenPrefix(PlayerManager* pRead) {
        Tsl::List<Tsl::String> lNames = pRead->getProfileNames();
        for (int i = 0; i < lNames.getCount(); ++i)
            EXPECT_EQ(makeRecord("PRF", 1, *written.getProfile(NAMES[i])),
                      makeRecord("PRF", 1, *pRead->getProfile(lNames.getAt(i))));
    }
};

TEST_F(ProfileTest, EveryFieldOfSeveralPlayersSurvivesTheSettingsFile) {
    ASSERT_TRUE(app.saveSettings());
    app.setSetting(ScreenNames::SET_PROFILES, "");
    ASSERT_TRUE(app.loadSettings());
    PlayerManager* pRead = getPlayerManager();
    ASSERT_EQ(3, pRead->getProfileCount());
    expectWrittenPrefix(pRead);
    EXPECT_TRUE(sideCopy().isEmpty());
}

TEST_F(ProfileTest, ATruncatedStoreKeepsTheRecordsBeforeTheCutAndASideCopy) {
    int nLastCount = 0;
    for (int nLength = 1; nLength < sStore.getLength(); ++nLength) {
        SCOPED_TRACE(nLength);
        PlayerManager* pRead = load(sStore.left(nLength));
        ASSERT_GE(pRead->getProfileCount(), nLastCount);
        ASSERT_LT(pRead->getProfileCount(), 3);
        expectWrittenPrefix(pRead);
        EXPECT_EQ(sStore.left(nLength), sideCopy());
        nLastCount = pRead->getProfileCount();
    }
    EXPECT_EQ(2, nLastCount);
}

// Each start that meets a damaged store keeps it under a new number, so a
// later damage never replaces the original profiles; the newest three stay.
TEST_F(ProfileTest, DamagedStoresAreKeptUnderNewNumbersAndTheLastThreeStay) {
    const Tsl::String aDamaged[] = {sStore.left(20), sStore.left(30), sStore.left(40), sStore.left(50)};
    struct Step {
        Tsl::String sStored;
        int nNewest;
    } aSteps[] = {{aDamaged[0], 1}, {sStore, 1}, {aDamaged[1], 2}, {aDamaged[1], 2}, {aDamaged[2], 3}, {aDamaged[3], 4}};
    load(sStore);
    for (const Step& step : aSteps) {
        SCOPED_TRACE(step.nNewest);
        loadKeepingCopies(step.sStored);
        EXPECT_FALSE(app.hasSetting(copyKey(step.nNewest + 1)));
        EXPECT_TRUE(app.hasSetting(copyKey(step.nNewest)));
    }
    EXPECT_FALSE(app.hasSetting(copyKey(1)));
    for (int n = 2; n <= 4; ++n) EXPECT_EQ(aDamaged[n - 1], app.getSetting(copyKey(n))) << n;
}

TEST_F(ProfileTest, BitFlipsNeverRaiseAndLeaveOnlyValidProfiles) {
    for (int nByte = 0; nByte < sStore.getLength(); ++nByte) {
        for (int nBit = 0; nBit < 8; ++nBit) {
            Tsl::String sFlipped = sStore;
            sFlipped[nByte] = char(sFlipped[nByte] ^ (1 << nBit));
            PlayerManager* pRead = load(sFlipped);
            ASSERT_LE(pRead->getProfileCount(), 3);
            // A store not read whole is kept aside: no profile goes unnoticed.
            if (pRead->getProfileCount() < 3) {
                EXPECT_EQ(sFlipped, sideCopy()) << "byte " << nByte << " bit " << nBit;
            }
            for (const Tsl::String& sName : pRead->getProfileNames()) {
                EXPECT_EQ(ProfileManager::NAME_TAKEN, pRead->checkNewName(sName));
                EXPECT_TRUE(inRange(*pRead->getProfile(sName)));
            }
        }
    }
}

// The settings saved twice, then one byte changed anywhere (at each tenth
// and every byte between): the player comes back with the earlier save's
// progress at least, from the copy kept when the second save replaced the
// first. A damaged kept copy only fills in: it never replaces what the file
// gave, whole or damaged.
TEST_F(ProfileTest, OneDamagedByteAnywhereKeepsThePlayerThroughTheKeptCopy) {
    const std::string sFile = folder.file("config.dat");
    const std::string sKept = app.getKeptSettingsFile().c_str();
    // The options beside the profiles, as the game stores them.
    for (const char* pszKey : {"Fullscreen", "SoundVolume", "MusicVolume", "Difficulty", "Highscores"})
        app.setSetting(pszKey, Tsl::String(pszKey) + " holds a value");
    P* pAna = written.getProfile(NAMES[0]);
    Tsl::String asStores[2];
    std::string asSaved[2];
    for (int nSave = 0; nSave < 2; ++nSave) {
        pAna->m_nStoryLevel = 4 + nSave;
        written.saveProfiles();
        asStores[nSave] = app.getSetting(ScreenNames::SET_PROFILES);
        ASSERT_TRUE(app.saveSettings());
        asSaved[nSave] = readFile(sFile);
        // Nothing is kept before a file is replaced; then the one replaced.
        ASSERT_EQ(nSave == 0 ? "" : asSaved[0], readFile(sKept));
    }
    const std::string& sEarlier = asSaved[0];
    const std::string& sLater = asSaved[1];
    auto flip = [](std::string s, size_t nAt) {
        s[nAt] = char(s[nAt] ^ 0xFF);
        return s;
    };
    // No sFile: the settings file is missing.
    struct Case {
        std::string sWhat, sFile, sKept;
        int nLeast, nMost;
    };
    std::vector<Case> aCases;
    for (size_t nAt = 0; nAt < sLater.size(); ++nAt)
        aCases.push_back({"byte " + std::to_string(nAt) + " changed", flip(sLater, nAt), sEarlier, 4, 5});
    aCases.push_back({"the kept copy damaged, the file whole", sLater, flip(sEarlier, sEarlier.size() / 2), 5, 5});
    // Both fail their check at the very end: every entry reads from each.
    auto endsEarly = [&](int nSave) {
        const Tsl::String& sStore = asStores[nSave];
        return settingsBytes({{ScreenNames::SET_PROFILES, std::string(sStore.c_str(), size_t(sStore.getLength()))},
                              {"Last", "lost with the check"}});
    };
    aCases.push_back({"both damaged", endsEarly(1).substr(0, endsEarly(1).size() - 1),
                      flip(endsEarly(0), endsEarly(0).size() - 1), 5, 5});
    // Cut short, the stream handed on exact bytes: the later save stands.
    aCases.push_back({"the last two bytes cut", sLater.substr(0, sLater.size() - 2), sEarlier, 5, 5});
    aCases.push_back({"the file gone, the kept copy whole", "", sLater, 5, 5});
    // A changed byte may garble a key: only the keys saved may come back.
    Tsl::List<Tsl::String> lSavedKeys = app.getSettingKeys();
    lSavedKeys.append("Last");
    // Ana's story level as a start that reads the settings finds it.
    auto startAgain = [&](bool bWhole) {
        for (const Tsl::String& sKey : app.getSettingKeys()) app.removeSetting(sKey.c_str());
        EXPECT_EQ(bWhole, app.loadSettings());
        for (const Tsl::String& sKey : app.getSettingKeys()) EXPECT_LE(0, lSavedKeys.indexOf(sKey)) << sKey.c_str();
        destroyPlayerManager();
        PlayerManager* pRead = getPlayerManager();
        EXPECT_EQ(3, pRead->getProfileCount());
        EXPECT_TRUE(sideCopy().isEmpty());
        const P* pBack = pRead->getProfile(NAMES[0]);
        return pBack ? pBack->m_nStoryLevel : -1;
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.sWhat);
        if (c.sFile.empty())
            std::remove(sFile.c_str());
        else
            writeFile(sFile, c.sFile);
        writeFile(sKept, c.sKept);
        bool bWhole = c.sFile == sLater;
        int nLevel = startAgain(bWhole);
        // The player is told: of a damaged file, or of the kept copy standing
        // in for a missing one, which stays as it was.
        EXPECT_EQ(bWhole || c.sFile.empty(), app.getDamagedSettings().isEmpty());
        EXPECT_EQ(c.sFile.empty(), !app.getRestoredSettings().isEmpty());
        EXPECT_EQ(c.sKept, readFile(sKept));
        EXPECT_LE(c.nLeast, nLevel);
        EXPECT_GE(c.nMost, nLevel);
        // A crash before any save: the next start finds the same, whole.
        EXPECT_EQ(nLevel, startAgain(true));
    }
}

TEST_F(ProfileTest, AForeignRecordOrVersionIsSkippedAndTheRestKept) {
    std::vector<Tsl::String> aGood;
    for (const char* pszName : NAMES) aGood.push_back(makeRecord("PRF", 1, *written.getProfile(pszName)));
    const P& third = *written.getProfile(NAMES[2]);
    struct Case {
        Tsl::String sStore;
        int nKept;
    } aCases[] = {
        {makeStore("PFL", 1, {aGood[0], makeRecord("PRX", 1, third), aGood[1]}), 2},  // wrong record word
        {makeStore("PFL", 1, {aGood[0], aGood[1], makeRecord("PRF", 2, third)}), 2},  // record version 2
        {makeStore("PFL", 1, {aGood[0], aGood[1], aGood[0]}), 2},                     // a name twice
        {makeStore("PFL", 2, aGood), 0},                                              // list version 2
        {makeStore("PFX", 1, aGood), 0},                                              // wrong list word
        {Tsl::String("\x01\x05garbage"), 0},                                          // a broken escape
    };
    for (const Case& c : aCases) {
        PlayerManager* pRead = load(c.sStore);
        EXPECT_EQ(c.nKept, pRead->getProfileCount());
        EXPECT_EQ(c.sStore, sideCopy());
        // Saving rewrites the store from what was read; the side copy stays.
        pRead->saveProfiles();
        EXPECT_EQ(c.nKept, load(app.getSetting(ScreenNames::SET_PROFILES))->getProfileCount());
    }
}

TEST_F(ProfileTest, OutOfRangeValuesAreClampedOnLoad) {
    struct Case {
        int P::*pField;
        int nStored, nLoaded;
    } aCases[] = {
        {&P::m_nStage, 6, 5},        {&P::m_nStage, -1, 0},       {&P::m_nStoryLevel, 51, 50},
        {&P::m_nLevelsWon, -7, 0},   {&P::m_nLevelsWon, 50, 50},  {&P::m_nSavedMoney, 1000, 999},
        {&P::m_nSavedMoney, -1, 0},  {&P::m_nDifficulty, 3, 2},   {&P::m_nDifficulty, -2, 0},
        {&P::m_nMinutes, 0, 3},      {&P::m_nMinutes, -5, 3},     {&P::m_nMinutes, 1, 1},
        {&P::m_nMinutes, 60, 60},    {&P::m_nMinutes, 61, 3},     {&P::m_nMinutes, 100000000, 3},
        {&P::m_nTotalScore, INT_MAX - 5, 999999999},              {&P::m_nTotalScore, INT_MIN, 0},
        {&P::m_nTotalScore, 999999999, 999999999},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nStored);
        P player;
        player.setName("P");
        player.*c.pField = c.nStored;
        player.m_anSavedUpgrades[0] = 3;  // the tray has levels 0-2
        player.m_anBestUpgrades[12] = 9;  // the signs 0-4
        player.m_anSavedUpgrades[6] = -1;
        P* pLoaded = load(makeStore("PFL", 1, {makeRecord("PRF", 1, player)}))->getProfile("P");
        ASSERT_NE(nullptr, pLoaded);
        EXPECT_EQ(c.nLoaded, pLoaded->*c.pField);
        EXPECT_EQ(2, pLoaded->m_anSavedUpgrades[0]);
        EXPECT_EQ(4, pLoaded->m_anBestUpgrades[12]);
        EXPECT_EQ(0, pLoaded->m_anSavedUpgrades[6]);
        EXPECT_EQ(2, pLoaded->m_anUpgrades[0]);
    }
}

// A stored name no dialog would have given is mended the way the dialogs
// see names; the profile keeps its progress under it, under a number when
// another profile has the name already.
TEST_F(ProfileTest, StoredNamesTheDialogsWouldRefuseAreMendedKeepingTheProgress) {
    typedef std::vector<std::pair<const char*, const char*>> Names;  // stored, loaded
    const Names aCases[] = {
        {{"M\xC3\xBCller-\xFF", "M\xC3\xBCller-?"}},   // not UTF-8
        {{"\xC0\xAFx", "??x"}},                        // an overlong slash
        {{"\xED\xA0\x80y", "???y"}},                   // a surrogate
        {{"Zo\xC3", "Zo?"}},                            // cut inside a character
        {{"A\tna", "A?na"}},
        {{"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"}},
        {{" Bo ", "Bo"}},
        {{"A\xFF", "A?"}, {"A\xFE", "A? 2"}, {"a\x01", "a? 3"}},
        {{"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrst"}, {"abcdefghijklmnopqrstu", "abcdefghijklmnopqr 2"}},
    };
    for (const Names& names : aCases) {
        SCOPED_TRACE(names.back().second);
        std::vector<Tsl::String> aRecords;
        P player;
        for (int i = 0; i < int(names.size()); ++i) {
            fill(player, 4 + i);
            player.setName(names[i].first);
            aRecords.push_back(makeRecord("PRF", 1, player));
        }
        PlayerManager* pRead = load(makeStore("PFL", 1, aRecords));
        ASSERT_EQ(int(names.size()), pRead->getProfileCount());
        for (int i = 0; i < int(names.size()); ++i) {
            P* pLoaded = pRead->getProfile(names[i].second);
            ASSERT_NE(nullptr, pLoaded) << names[i].second;
            EXPECT_EQ(names[i].second, pLoaded->getName());
            EXPECT_EQ(M::NAME_TAKEN, pRead->checkNewName(pLoaded->getName()));
            EXPECT_EQ(4 + i, pLoaded->m_nMinutes);
        }
    }
}

// A stored score at the top stays there: the next won level's points (and
// a negative sum) saturate instead of overflowing.
TEST_F(ProfileTest, TheNextLevelsPointsStopAtTheTopOfTheScore) {
    P player;
    player.setName("P");
    player.m_bStoryStarted = true;
    player.m_nTotalScore = INT_MAX - 5;
    P* pLoaded = load(makeStore("PFL", 1, {makeRecord("PRF", 1, player)}))->getProfile("P");
    ASSERT_NE(nullptr, pLoaded);
    Tsl::SmartPtr<StoryManagerMode> pStory = new StoryManagerMode(1, 3, pLoaded, 0, StoryManagerMode::NO_MAP);
    pStory->addScore(40 + 3 * 10);
    EXPECT_EQ(999999999, pStory->getScore());
    pStory->addScore(INT_MIN);
    EXPECT_EQ(0, pStory->getScore());
}

TEST(QarnPlayerTest, CommitSessionKeepsWhatThePlayModeEarned) {
    struct Case {
        int nPlayMode, nSaved, nBest, nSavedMoney;
    } aCases[] = {{-1, 1, 2, 10}, {0, 3, 3, 500}, {1, 1, 2, 10}, {2, 1, 3, 10}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.nPlayMode);
        P p;
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
    struct Case {
        const char* pszName;
        M::NameProblem eProblem;
    } aCases[] = {
        {"Bo", M::NAME_OK},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9" "abcdefghij", M::NAME_OK},
        {"abcdefghijklmnopqrstu", M::NAME_TOO_LONG},
        {"", M::NAME_EMPTY},   {" \t ", M::NAME_EMPTY},         {"ANA", M::NAME_TAKEN},
        {" ana", M::NAME_TAKEN}, {"A\tna", M::NAME_BAD_CHARACTER}, {"A\x01", M::NAME_BAD_CHARACTER},
        {"A\x7F", M::NAME_BAD_CHARACTER}, {"A\xFF", M::NAME_BAD_CHARACTER},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(c.eProblem, written.checkNewName(c.pszName));
        EXPECT_EQ(c.eProblem == M::NAME_OK, M::getProblemKey(c.eProblem) == nullptr);
    }
    // Checked with one spelling, found with another.
    ASSERT_NE(nullptr, written.getProfileData(" aNa"));
    EXPECT_EQ("Ana", written.getProfileData(" aNa")->getName());
    EXPECT_EQ(nullptr, written.createProfile("ana "));
    for (int i = 3; i < M::MAX_PROFILES; ++i) ASSERT_NE(nullptr, written.createProfile(Tsl::String::format("P%d", i)));
    EXPECT_EQ(M::LIST_FULL, written.checkNewName("Ninth"));
    EXPECT_EQ(nullptr, written.createProfile("Ninth"));
    EXPECT_TRUE(written.deleteProfile("ANA"));
    EXPECT_FALSE(written.hasProfile("Ana"));
    EXPECT_FALSE(written.deleteProfile("Ana"));
}

} // namespace
