#include "pages/highscoremode.h"

#include "base/sandbackdrop.h"

#include "app/gameapp.h"
#include "base/names.h"
#include "screens/profilemanager.h"
#include "tsl2/error.h"
#include "tsl2/list_impl.h"
#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

const char* const DEFAULT_HIGHSCORE_NAMES[30] = {
    "Olvy", "Betty", "Wendy", "Clown", "Count",    "Bear",   "Grey",   "Valkyrie", "Harley", "PunkGrrrl",
    "Olvy", "Betty", "Wendy", "Robin", "Bikeress", "Sailor", "Safari", "Frank",    "Nurse",  "Wolf",
    "Olvy", "Betty", "Wendy", "Guru",  "Biker",    "Hero",   "Geisha", "Pirate",   "Carlos", "Quillfen"};
const char* const DEFAULT_HIGHSCORE_SCORES[30] = {
    "450000", "445000", "440000", "435000", "430000", "425000", "420000", "415000", "410000", "400000",
    "18000",  "16000",  "14000",  "12000",  "10000",  "8000",   "6000",   "4000",   "2000",   "1000",
    "18000",  "16000",  "14000",  "12000",  "10000",  "8000",   "6000",   "4000",   "2000",   "1000"};

namespace {
const int Z_TILES = -2;
const int Z_BACKGROUND = -1;
const int Z_HIDDEN_TABLE = -10;
const int Z_SHOWN_TABLE = 20;
const int Z_TABS = 2;
const int TABLE_X = 280, TABLE_Y = 150;
const int TABS_X = 70, TABS_Y = 160;
const int BACK_X = 606, BACK_Y = 460;
const int LEFT = 1;
// Room between rank, name and score, so a long name never runs into either.
const int COLUMN_GAP = 24;
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const char* const TAB_STYLES[HighScoreMode::TABLE_COUNT] = {Names::STYLE_TAB_ADVENTURE, Names::STYLE_TAB_RELAX,
                                                           Names::STYLE_TAB_FREE};
}  // namespace

HighScoreMode::HighScoreMode() : QarnMode(MF_ACTIVE), m_nBuildCount(0) {}

HighScoreMode::~HighScoreMode() {}

HighscoreTable HighScoreMode::makeDefaultTable(int nTable) {
    HighscoreTable table;
    for (int k = 0; k < TABLE_SIZE; ++k) {
        int i = TABLE_SIZE * nTable + k;
        table.append(HighscoreEntry(DEFAULT_HIGHSCORE_NAMES[i], Tsl::String::toInt(DEFAULT_HIGHSCORE_SCORES[i])));
    }
    return table;
}

void HighScoreMode::loadTables() {
    TSL_TRACE();
    m_lTables.clear();
    Tsl::String sValue = getApp()->getSetting(Names::SET_HIGHSCORES);
    bool bWhole = false;
    if (sValue.getLength() >= 1) {
        try {
            bWhole = readHighscoreTables(sValue, TABLE_COUNT, TABLE_SIZE, m_lTables);
        } catch (const Tsl::Exception& e) {
            GameApp::log("High scores damaged, defaults restored: %s\n", e.getMessage());
            m_lTables.clear();
        }
    }
    for (int t = m_lTables.getCount(); t < TABLE_COUNT; ++t) m_lTables.append(makeDefaultTable(t));
    if (!fillShortTables())
        bWhole = false;
    if (!cutLongNames())
        bWhole = false;
    if (!bWhole)
        saveTables();
}

// A short table could take no insertion: the defaults fill it up to ten.
// False when a table had to be filled.
bool HighScoreMode::fillShortTables() {
    bool bAllTen = true;
    for (int t = 0; t < TABLE_COUNT; ++t) {
        HighscoreTable& table = m_lTables.getNode(t)->data;
        bAllTen = bAllTen && table.getCount() == TABLE_SIZE;
        HighscoreTable defaults = makeDefaultTable(t);
        for (int k = table.getCount(); k < TABLE_SIZE; ++k) table.append(defaults.getAt(k));
    }
    return bAllTen;
}

// A name comes from a profile, so a longer one was damaged or edited; cut
// and saved back, it no longer makes a picture too wide to draw.
bool HighScoreMode::cutLongNames() {
    bool bUnchanged = true;
    for (int t = 0; t < m_lTables.getCount(); ++t) {
        HighscoreTable& table = m_lTables.getNode(t)->data;
        for (int k = 0; k < table.getCount(); ++k) {
            Tsl::String& sName = table.getNode(k)->data.m_sName;
            Tsl::String sCut = ProfileManager::cutName(sName);
            if (sCut == sName) continue;
            sName = sCut;
            bUnchanged = false;
        }
    }
    return bUnchanged;
}

void HighScoreMode::saveTables() {
    TSL_TRACE();
    getApp()->setSetting(Names::SET_HIGHSCORES, writeHighscoreTables(m_lTables));
}

bool HighScoreMode::insertScore(HighscoreTable& table, int nScore, const Tsl::String& sName) {
    for (int i = 0; i < table.getCount(); ++i) {
        HighscoreEntry entry = table.getAt(i);
        if (entry.m_nScore >= nScore)
            continue;
        table.sort();
        if (table.getCount() >= TABLE_SIZE)
            table.removeAt(TABLE_SIZE - 1);
        // The displaced entry's second text goes with the new one.
        entry.m_sName = sName;
        entry.m_nScore = nScore;
        table.append(entry);
        return true;
    }
    return false;
}

bool HighScoreMode::submitScore(int nScore, const Tsl::String& sName, int nTable) {
    TSL_TRACE();
    if (nTable < 0 || nTable >= TABLE_COUNT)
        return false;
    loadTables();
    bool bEntered = insertScore(m_lTables.getNode(nTable)->data, nScore, sName);
    if (bEntered)
        saveTables();
    return bEntered;
}

// ---- the screen ---------------------------------------------------------------------------

void HighScoreMode::init() {
    TSL_TRACE();
    SandBackdrop::addTo(this, Z_TILES);
    addSprite(new Sprite(Names::IMG_HIGH_BACK, 0, 0, Z_BACKGROUND));
    for (int t = 0; t < TABLE_COUNT; ++t) m_lScoreTables.append(nullptr);

    loadTables();
    for (int t = 0; t < TABLE_COUNT; ++t) m_lTables.getNode(t)->data.sort();
    buildScoreTable(0);

    addTabs();
    Tsl::SmartPtr<Button> pBack = new Button(getString(Names::STR_HF_BACK), ID_BACK);
    addControl(pBack);
    pBack->setPosition(BACK_X, BACK_Y);

    m_lTableBuilt.getNode(0)->data = true;
    m_lScoreTables.getAt(0)->setPosition(TABLE_X, TABLE_Y);
    showTab(0);
}

// The three tabs, one below the other.
void HighScoreMode::addTabs() {
    Tsl::SmartPtr<Table> pTabs = new Table(this);
    for (int i = 0; i < TABLE_COUNT; ++i) {
        Tsl::SmartPtr<ToggleButton> pTab = new ToggleButton(Tsl::String(), i);
        pTab->setStyle(TAB_STYLES[i]);
        addControl(pTab);
        pTabs->add(pTab, CENTRED);
        pTabs->addRow(1);
        m_lTabButtons.append(pTab);
        m_lTableBuilt.append(false);
    }
    pTabs->setPosition(TABS_X, TABS_Y);
    pTabs->setZOrder(Z_TABS);
    pTabs->layout();
}

// Hidden tables lie under the background rather than being removed.
void HighScoreMode::showTab(int nIndex) {
    for (const Tsl::SmartPtr<ToggleButton>& pTab : m_lTabButtons) pTab->setToggled(false);
    m_lTabButtons.getAt(nIndex)->setToggled(true);
    for (const Tsl::SmartPtr<Table>& pTable : m_lScoreTables)
        if (pTable)
            pTable->setZOrder(Z_HIDDEN_TABLE);
    Tsl::SmartPtr<Table> pShown = m_lScoreTables.getAt(nIndex);
    pShown->setZOrder(Z_SHOWN_TABLE);
    pShown->layout();
}

void HighScoreMode::onCallback(int nId, int) {
    if (nId == ID_BACK) {
        endMode();
        return;
    }
    if (nId < 0 || nId >= TABLE_COUNT)
        return;
    if (!m_lTableBuilt.getAt(nId)) {
        buildScoreTable(nId);
        m_lTableBuilt.getNode(nId)->data = true;
        m_lScoreTables.getAt(nId)->setPosition(TABLE_X, TABLE_Y);
    }
    showTab(nId);
}

bool HighScoreMode::onMouseDown(int, int, int) { return true; }

void HighScoreMode::buildScoreTable(int nIndex) {
    TSL_TRACE();
    ++m_nBuildCount;
    Tsl::SmartPtr<Table> pOuter = new Table(this);
    pOuter->setFrameStyle(Names::FRAME_EMPTY);
    pOuter->setFrameEnabled(true);
    pOuter->setColumnSpacing(COLUMN_GAP);
    Tsl::SmartPtr<Table> apColumns[3] = {new Table(this), new Table(this), new Table(this)};
    auto addText = [&](int nColumn, const Tsl::String& sText, const char* pszFont, int nWrap) {
        Tsl::SmartPtr<Label> pLabel = new Label(sText);
        pLabel->setFont(pszFont);
        pLabel->setTextAlign(1);
        if (nWrap > 0)
            pLabel->setWrapWidth(nWrap, false);
        addSprite(pLabel);
        apColumns[nColumn]->add(pLabel, LEFT);
        apColumns[nColumn]->addRow(1);
    };
    addText(0, Tsl::String(), Names::FONT_HIGHSCORE_TITLE, 30);
    addText(1, getString(Names::STR_HF_NAME), Names::FONT_HIGHSCORE_TITLE, 130);
    addText(2, getString(Names::STR_HF_SCORE), Names::FONT_HIGHSCORE_TITLE, 130);
    int nRank = 0;
    for (const HighscoreEntry& entry : m_lTables.getAt(nIndex)) {
        addText(0, Tsl::String::format("%d", ++nRank), Names::FONT_HIGHSCORE, 0);
        addText(1, entry.m_sName, Names::FONT_HIGHSCORE, 0);
        addText(2, Tsl::String::format("%d", entry.m_nScore), Names::FONT_HIGHSCORE, 0);
    }
    for (int c = 0; c < 3; ++c) {
        if (c > 0)
            pOuter->addCell(1);
        pOuter->add(apColumns[c], LEFT);
    }
    m_lScoreTables.getNode(nIndex)->data = pOuter;
}
