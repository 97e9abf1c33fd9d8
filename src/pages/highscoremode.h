#pragma once

#include "player/highscoreentry.h"
#include "base/qarnmode.h"
#include "ui/button.h"

#include "tsl2/list.h"

class Table;
class ToggleButton;

// Element 10 * t + k is entry k of table t.
extern const char* const DEFAULT_HIGHSCORE_NAMES[30];
extern const char* const DEFAULT_HIGHSCORE_SCORES[30];

// The three high-score tables (one per play mode), kept in the setting
// "Highscores", and the screen that shows them behind three tabs. The story
// uses an instance that is never shown to submit a score.
class HighScoreMode : public QarnMode {
public:
    enum { TABLE_COUNT = 3, TABLE_SIZE = 10, ID_BACK = -1 };

    HighScoreMode();
    ~HighScoreMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    // Every press stops here.
    bool onMouseDown(int nButton, int nX, int nY) override;

    // Fills the tables from the setting. Whatever is missing, short or
    // damaged there comes from the defaults, and the repaired tables are
    // stored again, so a broken setting never stops the screen or a
    // submission.
    void loadTables();
    void saveTables();
    // Enters the score when it beats the lowest entry: that one is dropped
    // and the new one appended (the table is sorted again when shown).
    bool insertScore(HighscoreTable& table, int nScore, const Tsl::String& sName);
    // Loads, inserts into table nTable (0 to 2) and saves when it entered.
    bool submitScore(int nScore, const Tsl::String& sName, int nTable);

    const Tsl::List<HighscoreTable>& getTables() const { return m_lTables; }
    static HighscoreTable makeDefaultTable(int nTable);
    Tsl::SmartPtr<Table> getScoreTable(int nIndex) const { return m_lScoreTables.getAt(nIndex); }
    Tsl::SmartPtr<ToggleButton> getTabButton(int nIndex) const { return m_lTabButtons.getAt(nIndex); }
    int getBuildCount() const { return m_nBuildCount; }

private:
    bool fillShortTables();
    // Names no longer than a profile's; false when one had to be cut.
    bool cutLongNames();
    void addTabs();
    void buildScoreTable(int nIndex);
    void showTab(int nIndex);

    Tsl::List<HighscoreTable> m_lTables;
    Tsl::List<Tsl::SmartPtr<Table>> m_lScoreTables;
    Tsl::List<Tsl::SmartPtr<ToggleButton>> m_lTabButtons;
    Tsl::List<bool> m_lTableBuilt;
    int m_nBuildCount;
};
