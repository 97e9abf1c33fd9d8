// The level results: what each kind of level shows and counts frame by
// frame, the ticks, and the results written back into the play field.
#include "game_support.h"

#include "base/changinglabel.h"
#include "field/gamestatsmode.h"
#include "playfield_support.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/uitable.h"

namespace {

const int UNWRITTEN = -7;

struct GameStatsTest : GameTest {
    PlayField field;
    Tsl::SmartPtr<GameStatsMode> dialog;

    void SetUp() override {
        GameTest::SetUp();
        addPictures({"youwin", "youlose", "timesup", "bubble_separator", "olvy"});
        addFile("olvywindow.anim", "load olvy\nseq happy\nadd olvy\nseq sad\nadd olvy\n");
        addStrings("StatTimePlayed %d:%d\n");
        field.m_nMoneyResult = UNWRITTEN;
        field.m_nStarsResult = UNWRITTEN;
    }
    void story(int nMoney, int nGoal) {
        field.m_nPlayMode = 0;
        field.m_nMoney = nMoney;
        field.m_nMoneyGoal = nGoal;
        field.m_nStars = 4;
        field.m_nCustomersServed = 8;
        field.m_nLevelCustomers = 10;
        field.m_nPrevTotalMoney = 50;
    }
    void timed(int nMode) {
        field.m_nPlayMode = nMode;
        field.m_nMoney = 60;
        field.m_fSecondsPlayed = 125.5f;
        field.m_nStars = 3;
        field.m_nCustomersServed = 0;
    }
    void push() {
        dialog = new GameStatsMode(&field, 0);
        app.pushMode(dialog);
        audio().calls.clear();
    }
    static std::string textOf(const Tsl::SmartPtr<ChangingLabel>& p) {
        return p ? std::string(p->m_pLabel->getText().c_str()) : "-";
    }
    // Steps until the counting is over; the score, stars, customers and
    // total as each frame leaves them.
    std::vector<std::string> countThrough() {
        std::vector<std::string> frames;
        for (int i = 0; i < 40 && dialog->getPhase() < GameStatsMode::LAST_PHASE; ++i) {
            EXPECT_FALSE(dialog->getOkButton()->isEnabled() && field.m_nPlayMode == 0);
            step();
            frames.push_back(textOf(dialog->getScoreLabel()) + " " + textOf(dialog->getStarsLabel()) + " " +
                             textOf(dialog->getCustomersLabel()) + " " + textOf(dialog->getTotalLabel()));
        }
        return frames;
    }
};

TEST_F(GameStatsTest, WonStoryLevelCountsEveryRowInTurnAndWritesTheResults) {
    story(100, 100);  // a tie wins
    push();
    EXPECT_EQ("$100", dialog->getGoalLabel()->m_pLabel->getText());
    EXPECT_EQ("happy", dialog->getCharacter()->getSequenceName());
    std::vector<std::string> expected = {
        "$25 0 0/10 $50",   "$50 0 0/10 $50",  "$75 0 0/10 $50",  "$100 0 0/10 $50",
        "$100 0 0/10 $50",  // no time row in a story level
        "$100 1 0/10 $50",  "$100 2 0/10 $50", "$100 3 0/10 $50", "$100 4 0/10 $50",
        "$100 4 2/10 $50",  "$100 4 4/10 $50", "$100 4 6/10 $50", "$100 4 8/10 $50",
        "$100 4 8/10 $87",  "$100 4 8/10 $125", "$100 4 8/10 $150",
        "$100 4 8/10 $150",  // no stars total to count
    };
    EXPECT_EQ(expected, countThrough());
    EXPECT_TRUE(dialog->getOkButton()->isEnabled());
    EXPECT_EQ(100, field.m_nMoneyResult);
    EXPECT_EQ(4, field.m_nStarsResult);
    std::vector<std::string> ticks;
    for (int i = 0; i < 4; ++i) ticks.insert(ticks.end(), {"play sfx_game_number 2", "stop 2"});
    EXPECT_EQ(ticks, audio().calls);
    EXPECT_FLOAT_EQ(0.2f, audio().volumes.back());
    dialog->onCallback(GameStatsMode::ID_OK, 0);
    EXPECT_EQ(MS_ENDED, dialog->getState());
}

// The total is the story's purse after the level: a lost day's money is
// kept too, and the purse holds at most $999. No total of stars is shown,
// as nothing in the game keeps one.
TEST_F(GameStatsTest, TheTotalMoneyEndsWhereThePurseDoes) {
    addStrings("GSM_TotalStars Total stars\n");
    struct Case {
        int nMoney, nGoal, nPrevTotal;
        const char* pszTotal;
        const char* pszMusic;
        int nMoneyResult;
    } cases[] = {{99, 100, 50, "$149", "play ms_loselevel 1", UNWRITTEN},
                 {100, 40, 950, "$999", "play ms_winlevel 1", 100}};
    for (const Case& c : cases) {
        story(c.nMoney, c.nGoal);
        field.m_nPrevTotalMoney = c.nPrevTotal;
        field.m_nMoneyResult = UNWRITTEN;
        audio().calls.clear();
        dialog = new GameStatsMode(&field, 0);
        app.pushMode(dialog);
        EXPECT_EQ(c.pszMusic, audio().calls.front());
        countThrough();
        EXPECT_EQ(c.pszTotal, textOf(dialog->getTotalLabel()));
        EXPECT_EQ(c.nMoneyResult, field.m_nMoneyResult);
        EXPECT_EQ(4, field.m_nStarsResult);
        SpriteList lSprites;
        dialog->getTable()->getSprites(lSprites, true);
        for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites)
            if (Label* pLabel = dynamic_cast<Label*>(pSprite.get())) {
                EXPECT_NE("Total stars", pLabel->getText());
            }
        dialog->onCallback(GameStatsMode::ID_OK, 0);
    }
}

TEST_F(GameStatsTest, TimedGamesCountTimeAndMayBeLeftEarly) {
    struct Case {
        int nMode;
        const char* pszButton;
        int nStarsResult;
    } cases[] = {{1, "exit", UNWRITTEN}, {2, "ok", 3}};
    for (const Case& c : cases) {
        timed(c.nMode);
        field.m_nStarsResult = UNWRITTEN;
        push();
        EXPECT_EQ(c.pszButton, dialog->getOkButton()->getText());
        EXPECT_TRUE(dialog->getOkButton()->isEnabled());
        EXPECT_EQ(c.nMode == 2, dialog->getStarsLabel() != nullptr);
        EXPECT_EQ("0:0", dialog->getTimeLabel()->getText());
        for (int i = 0; i < 8; ++i) step();  // the money, then the time
        EXPECT_EQ("2:5", dialog->getTimeLabel()->getText());
        // Pressed before the counting is over: the stars still count.
        dialog->onCallback(GameStatsMode::ID_OK, 0);
        EXPECT_EQ(MS_ENDED, dialog->getState());
        EXPECT_EQ(c.nStarsResult, field.m_nStarsResult);
        EXPECT_EQ(UNWRITTEN, field.m_nMoneyResult);
    }
}

TEST_F(GameStatsTest, ACountToZeroEndsAtOnceWithoutATick) {
    timed(1);
    field.m_nMoney = 0;
    field.m_fSecondsPlayed = 0.0f;
    push();
    std::vector<std::string> frames = countThrough();
    EXPECT_EQ(6u, frames.size());  // three counts; each phase without a count takes a frame
    EXPECT_EQ(std::vector<std::string>({"stop 2", "stop 2", "stop 2"}), audio().calls);
}

}  // namespace

// Every caption and value is readable: lines of different rows never overlap.
TEST_F(GameStatsTest, RowsOfTextDoNotOverlap) {
    story(70, 40);
    push();
    step();
    SpriteList lSprites;
    dialog->getTable()->getSprites(lSprites, true);
    std::vector<Rect> aLines;
    for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites)
        if (dynamic_cast<Label*>(pSprite.get()) && !pSprite->getScreenRect().isEmpty())
            aLines.push_back(pSprite->getScreenRect());
    ASSERT_GT(aLines.size(), 8u);
    for (const Rect& a : aLines)
        for (const Rect& b : aLines)
            if (a.top < b.top) {
                EXPECT_LE(a.bottom, b.top) << "a line at " << a.top << " runs into the one at " << b.top;
            }
}
