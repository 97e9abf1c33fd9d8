// High-score tables: the stored bytes, the defaults, insertion, repair of
// damaged, short and long tables, and the screen's tabs.
#include "game_support.h"

#include "pages/highscoremode.h"
#include "text/font.h"
#include "tsl2/memstream.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/uitable.h"

#include <algorithm>
#include <memory>

namespace {

typedef Tsl::List<HighscoreTable> Tables;

struct HighscoreTest : GameTest {
    Tsl::SmartPtr<HighScoreMode> scores = new HighScoreMode();

    Tsl::String setting() const { return app.getSetting("Highscores"); }
    static std::string bytesOf(const Tsl::String& s) { return std::string(s.c_str(), s.getLength()); }
    static std::string decoded(const Tsl::String& s) {
        std::unique_ptr<Tsl::MemStream> p(Tsl::String::decodeBinary(s));
        return std::string(reinterpret_cast<const char*>(p->getData()), static_cast<size_t>(p->getSize()));
    }
    // The stored form written here independently of saveTables.
    static Tsl::String encode(const Tables& tables) {
        Tsl::MemStream stream;
        {
            Tsl::ObjectStreamer streamer(&stream, false);
            HighscoreStreamer adapter(streamer);
            for (const HighscoreTable& table : tables) {
                adapter.write(static_cast<unsigned char>(0));
                table.persistTo(adapter);
            }
        }
        return Tsl::String::encodeBinary(stream.getData(), static_cast<int>(stream.getSize()));
    }
    static Tables defaults() {
        Tables tables;
        for (int t = 0; t < 3; ++t) tables.append(HighScoreMode::makeDefaultTable(t));
        return tables;
    }
    static bool same(const Tables& a, const Tables& b) { return encode(a) == encode(b); }
    void store(const Tsl::String& sValue) { app.setSetting("Highscores", sValue.c_str()); }
};

TEST_F(HighscoreTest, DefaultTablesAreStoredByteForByte) {
    scores->loadTables();
    ASSERT_EQ(3, scores->getTables().getCount());
    HighscoreTable first = scores->getTables().getAt(0);
    EXPECT_EQ("Olvy", first.getAt(0).m_sName);
    EXPECT_EQ(450000, first.getAt(0).m_nScore);
    EXPECT_EQ(400000, first.getAt(9).m_nScore);
    std::string sValue = bytesOf(setting());
    EXPECT_EQ(554u, sValue.size());
    EXPECT_EQ(std::string::npos, sValue.find('\0'));
    std::string sRaw = decoded(setting());
    EXPECT_EQ(441u, sRaw.size());
    EXPECT_EQ(std::string("\x05\x00\x14\x0A", 4), sRaw.substr(0, 4));
    EXPECT_NE(std::string::npos, sRaw.find(std::string("\x00\x12\x04"
                                                       "Bear\x28\x7C\x06\x00\x12\x00",
                                                       13)));
}

TEST_F(HighscoreTest, StoredTablesComeBackUnchangedAndAreNotRewritten) {
    Tables tables = defaults();
    HighscoreTable& table = tables.getNode(1)->data;
    const int aScores[] = {1, 256, 65536, -1, 0x01010101};
    for (int i = 0; i < 5; ++i) {
        HighscoreEntry& entry = table.getNode(i)->data;
        entry.m_nScore = aScores[i];
        entry.m_sName = Tsl::String(i % 2 ? "\x01" : "x");
        entry.m_sExtra = i == 2 ? "\x01\x02" : "";
    }
    Tsl::String sStored = encode(tables);
    store(sStored);
    scores->loadTables();
    EXPECT_TRUE(same(tables, scores->getTables()));
    EXPECT_EQ(bytesOf(sStored), bytesOf(setting()));
    scores->saveTables();
    EXPECT_EQ(bytesOf(sStored), bytesOf(setting()));
}

TEST_F(HighscoreTest, ANewScoreEntersOnlyAboveTheLowestAndIsAppended) {
    struct Case {
        int nScore, nTable;
        bool bEntered;
        const char* pszLast;  // the table's tenth entry after the submission
    } cases[] = {{400000, 0, false, "PunkGrrrl"}, {1, 2, false, "Quillfen"}, {500000, 3, false, nullptr},
                 {500000, -1, false, nullptr},    {447000, 0, true, "Me"},    {2000, 1, true, "Me"}};
    scores->loadTables();
    for (const Case& c : cases) {
        std::string sBefore = bytesOf(setting());
        EXPECT_EQ(c.bEntered, scores->submitScore(c.nScore, "Me", c.nTable)) << c.nScore;
        EXPECT_EQ(c.bEntered, sBefore != bytesOf(setting())) << c.nScore;
        if (c.pszLast) {
            EXPECT_EQ(c.pszLast, scores->getTables().getAt(c.nTable).getAt(9).m_sName) << c.nScore;
        }
    }
    EXPECT_EQ(bytesOf(encode(scores->getTables())), bytesOf(setting()));
    // Equal scores: sorting takes the later one first.
    HighscoreTable table = scores->getTables().getAt(1);
    table.sort();
    EXPECT_EQ("Me", table.getAt(8).m_sName);
    EXPECT_EQ("Nurse", table.getAt(9).m_sName);
    // The displaced entry's second text goes with the new one; a table
    // shorter than ten still takes an entry.
    table = HighScoreMode::makeDefaultTable(1);
    table.getNode(8)->data.m_sExtra = "nurse's";
    EXPECT_TRUE(scores->insertScore(table, 3000, "Me"));
    EXPECT_EQ("nurse's", table.getAt(9).m_sExtra);
    HighscoreTable shortTable = listOf({HighscoreEntry("One", 5)});
    EXPECT_TRUE(scores->insertScore(shortTable, 6, "Two"));
    EXPECT_EQ(2, shortTable.getCount());
}

// The second entry of a pair drops the lowest of the table, not the first
// one, which was appended behind the old tenth.
TEST_F(HighscoreTest, TwoScoresInARowBothStayInTheTable) {
    EXPECT_TRUE(scores->submitScore(447000, "First", 0));
    EXPECT_TRUE(scores->submitScore(446000, "Second", 0));
    std::vector<std::string> aNames;
    for (const HighscoreEntry& entry : scores->getTables().getAt(0)) aNames.push_back(entry.m_sName.c_str());
    EXPECT_NE(aNames.end(), std::find(aNames.begin(), aNames.end(), "First"));
    EXPECT_NE(aNames.end(), std::find(aNames.begin(), aNames.end(), "Second"));
    EXPECT_EQ(aNames.end(), std::find(aNames.begin(), aNames.end(), "Harley"));
}

TEST_F(HighscoreTest, DamagedValuesGiveTheDefaultsAndAreRewritten) {
    Tsl::String sGood = encode(defaults());
    std::string sBytes = bytesOf(sGood);
    std::vector<std::string> damaged;
    for (size_t n = 1; n < sBytes.size(); ++n) damaged.push_back(sBytes.substr(0, n));
    std::string sRaw = decoded(sGood);
    for (size_t i : {size_t(0), size_t(2), size_t(5), size_t(15)}) {  // header, list, name and second-text tags
        std::string sFlipped = sRaw;
        sFlipped[i] = static_cast<char>(sFlipped[i] ^ 0x40);
        damaged.push_back(bytesOf(Tsl::String::encodeBinary(sFlipped.data(), static_cast<int>(sFlipped.size()))));
    }
    damaged.push_back("\x01\x03");  // a broken escape
    for (const std::string& s : damaged) {
        store(Tsl::String(s.data(), static_cast<int>(s.size())));
        scores->loadTables();
        ASSERT_EQ(3, scores->getTables().getCount());
        EXPECT_TRUE(same(defaults(), scores->getTables())) << s.size();
        EXPECT_EQ(sBytes, bytesOf(setting())) << s.size();
    }
}

TEST_F(HighscoreTest, ShortLongAndMissingTablesAreMadeTen) {
    Tables stored;
    HighscoreTable shortTable, longTable;
    for (int i = 0; i < 3; ++i) shortTable.append(HighscoreEntry("S", 900000 + i));
    for (int i = 0; i < 12; ++i) longTable.append(HighscoreEntry("L", i));
    stored.append(shortTable);
    stored.append(longTable);
    store(encode(stored));
    scores->loadTables();
    const Tables& tables = scores->getTables();
    ASSERT_EQ(3, tables.getCount());
    for (const HighscoreTable& table : tables) EXPECT_EQ(10, table.getCount());
    EXPECT_EQ(900002, tables.getAt(0).getAt(2).m_nScore);
    EXPECT_EQ("Clown", tables.getAt(0).getAt(3).m_sName);
    EXPECT_EQ(11, tables.getAt(1).getAt(0).m_nScore);
    EXPECT_EQ(2, tables.getAt(1).getAt(9).m_nScore);
    EXPECT_EQ(bytesOf(encode(tables)), bytesOf(setting()));
    EXPECT_TRUE(scores->submitScore(900005, "S", 0));
}

// A name longer than a profile's can hold was damaged or edited: it is cut
// on load and saved back so, and the screen shows the table.
TEST_F(HighscoreTest, StoredNamesAreCutToTheProfileNameLimit) {
    const std::string sE = "\xC3\xA9";  // one character, two bytes
    std::string sAccents;
    for (int i = 0; i < 25; ++i) sAccents += sE;
    struct Case {
        std::string sStored, sLoaded;
    } cases[] = {
        {std::string(1000, 'N'), std::string(20, 'N')},
        {sAccents, sAccents.substr(0, 40)},
        {std::string(20, 'T'), std::string(20, 'T')},
    };
    addPictures({"sand_frame_back", "high_back"});
    for (const Case& c : cases) {
        Tables tables = defaults();
        tables.getNode(0)->data.getNode(0)->data.m_sName = c.sStored.c_str();
        store(encode(tables));
        Tsl::SmartPtr<HighScoreMode> screen = new HighScoreMode();
        app.pushMode(screen);
        EXPECT_EQ(c.sLoaded, screen->getTables().getAt(0).getAt(0).m_sName.c_str());
        tables.getNode(0)->data.getNode(0)->data.m_sName = c.sLoaded.c_str();
        EXPECT_EQ(bytesOf(encode(tables)), bytesOf(setting()));
        screen->endMode();
    }
}

TEST_F(HighscoreTest, ScreenShowsSortedTablesAndBuildsEachTabOnce) {
    addPictures({"sand_frame_back", "high_back"});
    EXPECT_TRUE(scores->submitScore(447000, "New", 0));
    Tsl::SmartPtr<HighScoreMode> screen = new HighScoreMode();
    app.pushMode(screen);
    EXPECT_EQ("New", screen->getTables().getAt(0).getAt(1).m_sName);
    EXPECT_EQ(1, screen->getBuildCount());
    for (int nTab : {1, 0, 1, 2, 2}) {
        screen->onCallback(nTab, 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(i == nTab, screen->getTabButton(i)->isToggled());
            if (screen->getScoreTable(i)) {
                EXPECT_EQ(i == nTab ? 20 : -10, screen->getScoreTable(i)->getZOrder());
            }
        }
    }
    EXPECT_EQ(3, screen->getBuildCount());
    // Rank, name and score of the widest row stay apart.
    const HighscoreEntry& last = screen->getTables().getAt(2).getAt(9);
    screen->getScoreTable(2)->layout();
    SpriteList lSprites;
    screen->getScoreTable(2)->getSprites(lSprites, true);
    std::vector<Label*> apRow;
    for (const Tsl::String& sText : {Tsl::String("10"), last.m_sName, Tsl::String::format("%d", last.m_nScore)})
        for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites) {
            Label* pLabel = dynamic_cast<Label*>(pSprite.get());
            if (pLabel && pLabel->getText() == sText) apRow.push_back(pLabel);
        }
    ASSERT_EQ(3u, apRow.size());
    for (int c = 0; c < 2; ++c)
        EXPECT_GE(apRow[c + 1]->getX() - (apRow[c]->getX() + apRow[c]->getWidth()), 16) << c;
    EXPECT_TRUE(screen->onMouseDown(MB_LEFT, 5, 5));
    screen->onCallback(HighScoreMode::ID_BACK, 0);
    EXPECT_EQ(MS_ENDED, screen->getState());
}

}  // namespace
