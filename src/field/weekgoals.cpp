#include "field/weekgoals.h"

#include "app/gameapp.h"
#include "base/formattext.h"
#include "base/names.h"
#include "field/playfield.h"
#include "tsl2/random.h"
#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"

namespace {
const int LEFT_CENTRED = 1 | Image::ALIGN_VCENTER;
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int TIP_WRAP_WIDTH = 370;
const int KEY_RETURN = 13;
const int KEY_SPACE = 32;
const int KEY_KEYPAD_ENTER = 271;

// The tips about an upgrade, and whether the bar has it: those that suggest
// buying it (a tray, a show, chairs at the tables) are for a bar without
// it, the one about using it (the decorations) for a bar with it.
enum { TIP_TRAY = 6, TIP_DECORATIONS = 7, TIP_SHOW = 8, TIP_CHAIRS = 13, TIP_STORE = 15 };
struct UpgradeTip {
    int nTip;
    bool bAboutUsing;
    bool (*owns)(const UpgradeLevels& anLevels);
};
const UpgradeTip s_aUpgradeTips[] = {
    {TIP_TRAY, false, [](const UpgradeLevels& an) { return an[UpgradeManager::KIND_TRAY] > 0; }},
    {TIP_DECORATIONS, true, [](const UpgradeLevels& an) { return an[UpgradeManager::KIND_PROP_DISPENSER] > 0; }},
    {TIP_SHOW, false, [](const UpgradeLevels& an) { return an[UpgradeManager::KIND_SHOW] > 0; }},
    {TIP_CHAIRS, false, [](const UpgradeLevels& an) { return UpgradeManager::countChairs(an) > 0; }}};

bool fitsTheBar(int nTip, const UpgradeLevels& anLevels) {
    for (const UpgradeTip& tip : s_aUpgradeTips)
        if (tip.nTip == nTip) return tip.owns(anLevels) == tip.bAboutUsing;
    return true;
}

// The tips that send the player to the store, which only the story's map opens.
bool sendsToStore(int nTip) { return nTip == TIP_TRAY || nTip == TIP_STORE; }
}  // namespace

WeekGoalDialog::WeekGoalDialog(PlayField* pField, const UpgradeLevels& anLevels)
    : QarnDialog(true), m_pField(pField), m_anLevels(anLevels) {}

WeekGoalDialog::~WeekGoalDialog() {}

void WeekGoalDialog::onCallback(int nId, int) {
    if (nId == ID_GO)
        endMode();
}

void WeekGoalDialog::addRowLabel(const Tsl::String& sText) {
    getTable()->addRow(1);
    m_lLabels.append(addLabel(sText, LEFT_CENTRED));
}

void WeekGoalDialog::init() {
    TSL_TRACE();
    DialogMode::init();
    Tsl::SmartPtr<Table> pTable = getTable();
    Tsl::String sScene = getString(Tsl::String::format(Names::STR_SCENE_NAME, m_pField->m_nStage).c_str());
    addRowLabel(getString(Names::STR_WKG_WORKPLACE) + " " + sScene);
    // Levels picked on the map outside the story have no money goal and no
    // count of customers (0 and -1): those rows would only show the markers.
    if (m_pField->m_nMoneyGoal > 0) addRowLabel(formatText(getString(Names::STR_WKG_SALES), m_pField->m_nMoneyGoal));
    if (m_pField->m_nLevelCustomers >= 0)
        addRowLabel(formatText(getString(Names::STR_WKG_CUSTOMER), m_pField->m_nLevelCustomers));

    int nTip = pickTip();
    pTable->addRow(1);
    Tsl::SmartPtr<Label> pTip = new Label(formatText(getString(Names::STR_WKG_TIP)) + " " +
                                          getString(Tsl::String::format(Names::STR_RANDOM_TIP, nTip).c_str()));
    pTip->setFont(Names::FONT_DEFAULT);
    pTip->setTextAlign(1);
    pTip->setWrapWidth(TIP_WRAP_WIDTH, true);
    addSprite(pTip);
    pTable->add(pTip, LEFT_CENTRED);
    m_lLabels.append(pTip);

    pTable->addRow(1);
    pTable->addCell(2);
    addImage(Names::IMG_BUBBLE_SEPARATOR, CENTRED);

    Tsl::SmartPtr<Button> pGo = new Button(getString(Names::STR_WKG_GO), ID_GO);
    addControl(pGo);
    pTable->addRow(1);
    pTable->addCell(2);
    pTable->add(pGo, CENTRED);

    pTable->setFrameEnabled(true);
    GameApp::getInstance()->showCursor(true);
    layout(true);
}

// Advice to buy what she already has, to use what she has not got, or to
// visit a store the quick-play map keeps closed, would only puzzle the
// player. The draw is among the others, so that none is shown more often
// than the rest.
int WeekGoalDialog::pickTip() const {
    bool bStory = m_pField->m_nPlayMode == 0;
    int anAllowed[RANDOM_TIP_COUNT];
    int nAllowed = 0;
    for (int nTip = 0; nTip < RANDOM_TIP_COUNT; ++nTip)
        if (fitsTheBar(nTip, m_anLevels) && (bStory || !sendsToStore(nTip))) anAllowed[nAllowed++] = nTip;
    return anAllowed[Tsl::gameRand() % nAllowed];
}

void WeekGoalDialog::cleanup() {
    DialogMode::cleanup();
    GameApp::getInstance()->showCursor(false);
}

// Laid out once, at the end of init.
void WeekGoalDialog::onActivate() { GameApp::getInstance()->showCursor(true); }

void WeekGoalDialog::onUpdate(float fDt) {
    GameApp::getInstance()->showCursor(true);
    GameMode::onUpdate(fDt);
}

bool WeekGoalDialog::onKeyDown(int nKey, int nModifiers) {
    if (nKey == KEY_RETURN || nKey == KEY_SPACE || nKey == KEY_KEYPAD_ENTER) {
        onCallback(ID_GO, 0);
        return true;
    }
    return GameMode::onKeyDown(nKey, nModifiers);
}

Tsl::List<Tsl::String> WeekGoalDialog::getTexts() const {
    Tsl::List<Tsl::String> lTexts;
    for (const Tsl::SmartPtr<Label>& pLabel : m_lLabels) lTexts.append(pLabel->getText());
    return lTexts;
}
