#include "pages/gameoptions.h"

#include "base/sandbackdrop.h"

#include "base/formattext.h"
#include "base/names.h"

#include "app/gameapp.h"
#include "screens/creditsmode.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

namespace {
enum { CENTRED = 0x24, CELL_FLAGS = 9, OPTION_ROWS = GameOptionsDialog::OPT_FULLSCREEN | GameOptionsDialog::OPT_VOLUMES };
enum { SCREEN_W = 800, SCREEN_H = 600 };
enum { CHOICE_GAP = 16 };
enum { FADE_BANDS = 25, FADE_BAND_HEIGHT = 3, SECTION_GAP = 20 };
// The credits' lines keep this far inside their card, above, below and
// at the sides.
enum { CARD_MARGIN = 24 };
// Dark brown: readable on the sand panel and warmer than black.
const Color CREDIT_TEXT_COLOR(70, 42, 18, 255);
const char* const s_apszDifficultyKeys[QarnGameOptions::DIFFICULTY_COUNT] = {Names::STR_GOD_EASY, Names::STR_GOD_MEDIUM,
                                                                              Names::STR_GOD_HARD};
}  // namespace

int readDifficultySetting() {
    int nDifficulty = Tsl::String::toInt(GameApp::getInstance()->getSetting(Names::SET_DIFFICULTY));
    if (nDifficulty < 0) return 0;
    if (nDifficulty >= QarnGameOptions::DIFFICULTY_COUNT) return QarnGameOptions::DIFFICULTY_COUNT - 1;
    return nDifficulty;
}

QarnGameOptions::QarnGameOptions(GameMode* pNotify, int nCloseId, int nLeaveId)
    : GameOptionsDialog(pNotify, nCloseId, nLeaveId) {
    setShownOptions(OPTION_ROWS);
}

QarnGameOptions::~QarnGameOptions() {}

void QarnGameOptions::init() {
    TSL_TRACE();
    GameOptionsDialog::init();
    // Opened during a level: only the standard rows.
    if (getNotifyMode()) return;
    addDifficultyRow();
    addCreditsButton();
}

void QarnGameOptions::addDifficultyRow() {
    TSL_TRACE();
    Tsl::SmartPtr<Image> pClear = getImage(Names::IMG_CHECK_EMPTY);
    Tsl::SmartPtr<Image> pChosen = getImage(Names::IMG_CHECK_FULL);
    int nDifficulty = Tsl::String::toInt(GameApp::getInstance()->getSetting(Names::SET_DIFFICULTY));

    Tsl::SmartPtr<Table> pRow = new Table(this);
    // A caption must not run into the next button's box.
    pRow->setColumnSpacing(CHOICE_GAP);
    pRow->addCell(3);
    addLabel(pRow, getString(Names::STR_GOD_DIFFICULTY), "", CENTRED);
    pRow->addRow(1);
    for (int i = 0; i < DIFFICULTY_COUNT; ++i) {
        pRow->addCell(1);
        Tsl::SmartPtr<RadioButton> pButton =
            new RadioButton(this, pClear, pChosen, getString(s_apszDifficultyKeys[i]), ID_EASY + i);
        pRow->add(pButton.get(), CELL_FLAGS);
        m_lDifficulty.append(pButton);
        pButton->setSelected(nDifficulty == i);
    }
    Tsl::SmartPtr<Table> pOptions = getOptionsTable();
    pOptions->addRow(1);
    pOptions->addCell(1);
    pOptions->add(pRow.get(), CENTRED);
}

void QarnGameOptions::addCreditsButton() {
    Tsl::SmartPtr<Table> pButtons = getButtonsTable();
    pButtons->addCell(1);
    pButtons->setCellFlags(1);
    Tsl::SmartPtr<Button> pCredits = new Button(getString(Names::STR_GOD_CREDITS), ID_CREDITS);
    addControl(pCredits.get());
    pButtons->add(pCredits.get(), CELL_FLAGS);
}

void QarnGameOptions::onCallback(int nId, int) {
    TSL_TRACE();
    GameOptionsDialog::onCallback(nId, 0);
    // The added controls exist only when opened from the menu.
    if (m_lDifficulty.getCount() == 0) return;
    if (nId >= ID_EASY && nId <= ID_HARD) {
        m_lDifficulty.select(nId);
        GameApp::getInstance()->setSetting(Names::SET_DIFFICULTY, Tsl::String::format("%d", nId - ID_EASY).c_str());
    } else if (nId == ID_CREDITS) {
        openCredits();
    }
}

void QarnGameOptions::openCredits() { GameApp::getInstance()->pushMode(makeCredits().get()); }

Tsl::SmartPtr<CreditsMode> QarnGameOptions::makeCredits() {
    TSL_TRACE();
    Tsl::SmartPtr<CreditsMode> pCredits = new CreditsMode();
    if (!GameApp::getInstance()->hasImage(Names::IMG_BACK_CREDITS)) buildCreditsBackground();
    pCredits->setBackground(Names::IMG_BACK_CREDITS);
    pCredits->setFadeBands(FADE_BANDS, FADE_BAND_HEIGHT);
    Rect card = getCreditsCard();
    pCredits->setVisibleArea(card.top + CARD_MARGIN, card.bottom - CARD_MARGIN);
    addCreditLines(pCredits.get());
    return pCredits;
}

Rect QarnGameOptions::getCreditsCard() {
    Tsl::SmartPtr<Image> pCard = GameApp::getInstance()->getImage(Names::IMG_CREDITS_CARD);
    int nLeft = (SCREEN_W - pCard->getWidth()) / 2, nTop = (SCREEN_H - pCard->getHeight()) / 2;
    return Rect(nLeft, nTop, nLeft + pCard->getWidth(), nTop + pCard->getHeight());
}

// Built once per run and kept in the cache for later openings.
void QarnGameOptions::buildCreditsBackground() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    Tsl::SmartPtr<Image> pBack = pApp->createImage(SCREEN_W, SCREEN_H, false);
    SandBackdrop::drawOn(pBack.get());
    pBack->blit(pApp->getImage(Names::IMG_LOADING_BACK).get(), -6, -10);
    Rect card = getCreditsCard();
    pBack->blit(pApp->getImage(Names::IMG_CREDITS_CARD).get(), card.left, card.top);
    pApp->addImage(Names::IMG_BACK_CREDITS, pBack, 0);
}

// A line too long for the card goes on over more lines, each centred.
void QarnGameOptions::fitToCard(Label* pLine) {
    pLine->setTextAlign(Font::ALIGN_HCENTER);
    pLine->setWrapWidth(getCreditsCard().getWidth() - 2 * CARD_MARGIN, false);
}

// The credits' white lines would fade into the light sand panel behind them.
void QarnGameOptions::addDarkLine(CreditsMode* pCredits, const char* pszTextOrKey) {
    Tsl::SmartPtr<Label> pLine = pCredits->addText(pszTextOrKey, true);
    pLine->setTextColor(CREDIT_TEXT_COLOR);
    fitToCard(pLine.get());
}

// A section's names are its heading's key followed by "_1", "_2", ... as far
// as the string tables hold them.
void QarnGameOptions::addCreditLines(CreditsMode* pCredits) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    pCredits->addImage(Names::IMG_CREDITS_LOGO, 1);
    addDarkLine(pCredits,
                formatText(getString(Names::STR_ABOUT_VERSION), VERSION_MAJOR, VERSION_MINOR, VERSION_BUILD).c_str());
    addDarkLine(pCredits, Names::STR_ABOUT_SUBTITLE);
    for (int nSection = 0; nSection < Names::CREDIT_HEADING_COUNT; ++nSection) {
        const char* pszHeading = Names::STR_CREDIT_HEADINGS[nSection];
        pCredits->addSpace(SECTION_GAP);
        Tsl::SmartPtr<Label> pHeading = pCredits->addText(pszHeading, true);
        pHeading->setFont(getFont(Names::FONT_HIGHSCORE_TITLE_BLUE));
        fitToCard(pHeading.get());
        if (nSection == Names::CREDIT_HEADING_COUNT - 1) {
            addDarkLine(pCredits, Names::STR_CREDIT_LIBRARIES);
            continue;
        }
        for (int nLine = 1;; ++nLine) {
            Tsl::String sKey = Tsl::String::format("%s_%d", pszHeading, nLine);
            if (!pApp->hasString(sKey.c_str())) break;
            addDarkLine(pCredits, sKey.c_str());
        }
    }
}
