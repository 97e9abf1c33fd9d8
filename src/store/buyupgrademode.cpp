#include "store/buyupgrademode.h"

#include "app/gameapp.h"
#include "base/formattext.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "text/font.h"
#include "rules/upgrademanager.h"

#include <cmath>

namespace {

const int LEFT_TOP = 1 | 8;
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int LEFT_BOTTOM = 1 | Image::ALIGN_BOTTOM;
const int TEXT_CENTRED = Image::ALIGN_HCENTER;
enum { TEXT_WIDTH = 330, TEXT_LINES = 10, TEXT_Z_ORDER = 7, PRICE_Z_ORDER = 2, PRICE_WIDTH = 150, PRICE_HEIGHT = 50 };
enum { SPACER_HEIGHT = 190, SHORT_SPACER_HEIGHT = 90, PREVIEW_WIDTH = 320, PREVIEW_HEIGHT = 240 };
enum { TRAY_BOX_WIDTH = 150, TRAY_BOX_HEIGHT = 90, SPACING = 10, TRAY_LEVELS = 3 };
const char* const PRICE_PLACEHOLDER = "aaaaaaaaaa";
const float PULSE_SPEED = 0.7f * 3.14159265f;
const float PULSE_DEPTH = 63.0f;
const float PULSE_MIDDLE = 128.0f;

typedef UpgradeManager U;
// The radio ids of the group items: the four chairs, the two centers, the
// two bar stations.
enum { FIRST_CHAIR_ID = BuyUpgradeMode::FIRST_RADIO_ID, FIRST_CENTER_ID = FIRST_CHAIR_ID + 4, FIRST_STATION_ID = FIRST_CENTER_ID + 2 };

// The kind that the radio id selects.
int kindOfChoice(int nId) {
    if (nId >= FIRST_STATION_ID) return U::KIND_STATION_0 + nId - FIRST_STATION_ID;
    if (nId >= FIRST_CENTER_ID) return U::KIND_CENTER_0 + nId - FIRST_CENTER_ID;
    return U::KIND_CHAIR_0 + nId - FIRST_CHAIR_ID;
}

}  // namespace

int BuyUpgradeMode::choiceIdOf(int nKind) {
    if (nKind >= U::KIND_STATION_0 && nKind <= U::KIND_STATION_1) return FIRST_STATION_ID + nKind - U::KIND_STATION_0;
    if (nKind >= U::KIND_CENTER_0 && nKind <= U::KIND_CENTER_1) return FIRST_CENTER_ID + nKind - U::KIND_CENTER_0;
    return FIRST_CHAIR_ID + nKind - U::KIND_CHAIR_0;
}

namespace {

// Kinds sharing one description: the first of their group.
int textKindOf(int nKind) {
    if (nKind >= U::KIND_CHAIR_0 && nKind <= U::KIND_CHAIR_3) return U::KIND_CHAIR_0;
    if (nKind == U::KIND_STATION_1) return U::KIND_STATION_0;
    if (nKind == U::KIND_CENTER_1) return U::KIND_CENTER_0;
    return nKind;
}

}  // namespace

BuyUpgradeMode::BuyUpgradeMode(QarnPlayer* pPlayer, int nPlayMode, Tsl::SmartPtr<UpgradeManager> pUpgrades,
                               int nStoreItem, const Tsl::String& sSceneName, bool* pbBought)
    : QarnDialog(), m_pUpgradeManager(pUpgrades), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode), m_sSceneName(sSceneName),
      m_nKind(nStoreItem),
      m_nStoreItem(nStoreItem), m_fTime(0.0f), m_pbBought(pbBought) {
    m_anPreviewLevels = pPlayer->m_anUpgrades;
    // The preview shows the bar after the purchase.
    if (nStoreItem >= 0 && nStoreItem < UpgradeManager::KIND_COUNT) ++m_anPreviewLevels[nStoreItem];
}

BuyUpgradeMode::~BuyUpgradeMode() {}

std::vector<BuyUpgradeMode::RadioChoice> BuyUpgradeMode::choicesFor(int nStoreItem, const UpgradeLevels& anLevels) {
    auto value = [&](int nKind) { return U::getValue(nKind, anLevels[nKind]); };
    std::vector<RadioChoice> aChoices;
    if (nStoreItem == STORE_CHAIRS) {
        for (int i = 0; i < 4; ++i) {
            int nKind = U::KIND_CHAIR_0 + i;
            if (U::getPrice(nKind, anLevels[nKind]) >= 0)
                aChoices.push_back({FIRST_CHAIR_ID + i, nKind, Names::STR_RADIO_CHAIR[i]});
        }
    } else if (nStoreItem == STORE_CENTERS) {
        for (int nSide = 0; nSide < U::TABLE_COUNT; ++nSide) {
            int v = value(U::KIND_CENTER_0 + nSide);
            if (U::hasChairAt(nSide, anLevels) && (v == 0 || v == 1))
                aChoices.push_back({FIRST_CENTER_ID + nSide, U::KIND_CENTER_0 + nSide, Names::STR_RADIO_CENTER[nSide][v]});
        }
    } else if (nStoreItem == STORE_STATIONS) {
        for (int nSide = 0; nSide < 2; ++nSide) {
            int v = value(U::KIND_STATION_0 + nSide);
            if (v >= 0 && v <= 2)
                aChoices.push_back({FIRST_STATION_ID + nSide, U::KIND_STATION_0 + nSide, Names::STR_RADIO_JUICER[nSide][v]});
        }
    }
    return aChoices;
}

int BuyUpgradeMode::pulseOf(float fTime) {
    return static_cast<int>(PULSE_DEPTH * std::sin(PULSE_SPEED * fTime) + PULSE_MIDDLE);
}

Tsl::SmartPtr<Sprite> BuyUpgradeMode::getNamedSprite(const char* pszName) const {
    return m_hNamedSprites.hasKey(pszName) ? m_hNamedSprites.get(pszName) : nullptr;
}

bool BuyUpgradeMode::isUpgradeKind() const { return m_nKind >= 0 && m_nKind < UpgradeManager::KIND_COUNT; }

int BuyUpgradeMode::currentPrice() const {
    if (!isUpgradeKind()) return -1;
    return m_pUpgradeManager->getPrice(m_nKind, m_pPlayer->m_anUpgrades[m_nKind]);
}

void BuyUpgradeMode::addBlank(Tsl::SmartPtr<Table> pTable, int nWidth, int nHeight, int nFlags) {
    Tsl::SmartPtr<Sprite> pBlank = new Sprite(createImage(nWidth, nHeight, true), 0, 0, 0);
    addSprite(pBlank);
    pTable->add(pBlank, nFlags);
}

void BuyUpgradeMode::init() {
    TSL_TRACE();
    DialogMode::init();
    if (m_nKind != STORE_TRAY) loadPreviewScene();
    Tsl::SmartPtr<Table> pTable = getTable();
    m_pInfoTable = new Table(this);
    m_pButtonTable = new Table(this);
    m_pMainTable = new Table(this);

    m_pPriceLabel = new Label(PRICE_PLACEHOLDER, 0, 0, PRICE_Z_ORDER);
    m_pPriceLabel->setFont(Names::FONT_DEFAULT_SMALL);
    m_pPriceLabel->setSize(PRICE_WIDTH, PRICE_HEIGHT);
    addSprite(m_pPriceLabel);

    m_pTextLabel = new Label("", 0, 0, TEXT_Z_ORDER, TEXT_WIDTH, true);
    m_pTextLabel->setFont(Names::FONT_DEFAULT_SMALL);
    m_pTextLabel->setNumLines(TEXT_LINES);
    m_pTextLabel->setTextAlign(TEXT_CENTRED);
    addSprite(m_pTextLabel);

    int nTrayLevel = m_pPlayer->m_anUpgrades[UpgradeManager::KIND_TRAY];
    m_pInfoTable->add(m_pTextLabel, LEFT_TOP);
    if (m_nKind != STORE_TRAY || nTrayLevel <= 0)
        addBlank(m_pInfoTable, TEXT_WIDTH, SPACER_HEIGHT, LEFT_TOP);
    else if (nTrayLevel == 1)
        addBlank(m_pInfoTable, TEXT_WIDTH, SHORT_SPACER_HEIGHT, LEFT_TOP);
    m_pInfoTable->addRow(1);
    m_pInfoTable->add(buildOptions(), LEFT_TOP);

    m_pMainTable->add(m_pInfoTable, CENTRED);
    m_pMainTable->addCell(1);
    if (m_nKind != STORE_TRAY) {
        m_pMainTable->setSpacing(SPACING);
        addBlank(m_pMainTable, PREVIEW_WIDTH, PREVIEW_HEIGHT, LEFT_TOP);
        // A private copy: the mask's insertion point is ours to move.
        Tsl::SmartPtr<Image> pMask = getImage(Names::IMG_BUY_MASK)->clone(false);
        pMask->alignInsPoint(LEFT_BOTTOM);
        addSprite(new Sprite(pMask, PREVIEW_X, PREVIEW_Y, MASK_Z_ORDER));
    } else {
        addTrayPicture();
    }
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lPreviewSprites) {
        pSprite->setPosition(pSprite->getX() + PREVIEW_X, pSprite->getY() + PREVIEW_Y);
        addSprite(pSprite);
    }

    m_pButtonTable->add(m_pPriceLabel, CENTRED);
    m_pButtonTable->addCell(1);
    m_pBuyButton = new Button(getString(Names::STR_UPG_BUY), ID_BUY);
    addControl(m_pBuyButton);
    m_pButtonTable->add(m_pBuyButton, CENTRED);
    m_pButtonTable->addCell(1);
    Tsl::SmartPtr<Button> pCancel = new Button(getString(Names::STR_UPG_CANCEL), ID_CANCEL);
    addControl(pCancel);
    m_pButtonTable->add(pCancel, CENTRED);

    pTable->add(m_pMainTable, LEFT_TOP);
    pTable->addRow(1);
    pTable->add(m_pButtonTable, LEFT_TOP);
    pTable->setFrameEnabled(true);
    layout(true);
    updateTexts();
}

// The next tray, as a picture in place of a preview.
void BuyUpgradeMode::addTrayPicture() {
    addBlank(m_pMainTable, TRAY_BOX_WIDTH, TRAY_BOX_HEIGHT, CENTRED);
    int nNext = m_pPlayer->m_anUpgrades[UpgradeManager::KIND_TRAY] + 1;
    if (nNext < 1 || nNext >= TRAY_LEVELS) return;  // no further tray to show
    Tsl::SmartPtr<Image> pTray = getImage(Tsl::String::format(Names::IMG_BUY_TRAY, nNext).c_str())->clone(false);
    pTray->setInsPoint(pTray->getWidth() / 3, 0);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pTray, 0, 0, 0);
    addSprite(pSprite);
    m_pMainTable->setSpacing(SPACING);
    m_pMainTable->add(pSprite, CENTRED);
}

Tsl::SmartPtr<Table> BuyUpgradeMode::buildOptions() {
    Tsl::SmartPtr<Table> pOptions = new Table(this);
    for (const RadioChoice& choice : choicesFor(m_nStoreItem, m_pPlayer->m_anUpgrades)) {
        Tsl::SmartPtr<RadioButton> pRadio = new RadioButton(this, getImage(Names::IMG_CHECK_EMPTY),
                                                            getImage(Names::IMG_CHECK_FULL),
                                                            getString(choice.pszCaption), choice.nId);
        pRadio->setFont(Names::FONT_DEFAULT_SMALL);
        pOptions->add(pRadio, LEFT_TOP);
        pOptions->addRow(1);
        m_radioOptions.append(pRadio);
    }
    if (m_radioOptions.getCount() > 0) onCallback(m_radioOptions.getAt(0)->getId(), 0);
    return pOptions;
}

void BuyUpgradeMode::onCallback(int nId, int) {
    TSL_TRACE();
    if (nId == ID_CANCEL) {
        endMode();
    } else if (nId == ID_BUY) {
        buy();
    } else if (nId >= FIRST_RADIO_ID && nId <= LAST_RADIO_ID) {
        if (!m_radioOptions.select(nId)) return;
        m_nKind = kindOfChoice(nId);
        showChoice(nId);
        updateTexts();
    }
}

// Nothing to buy past the last level or for a group without a choice: the
// money would rise by the -1 "price" and the level pass its last.
void BuyUpgradeMode::buy() {
    int nPrice = currentPrice();
    if (nPrice < 0) return;
    GameApp* pApp = GameApp::getInstance();
    if (nPrice > m_pPlayer->m_nMoney) {
        pApp->pushMode(new DlgMessage(this, getString(Names::STR_UPG_CANT), ID_CANT_RESULT));
        return;
    }
    m_pPlayer->m_nMoney -= nPrice;
    ++m_pPlayer->m_anUpgrades[m_nKind];
    // Written at once: the run may end in the store, closed or crashed,
    // before the map or the menu would save again. Kept as the map keeps a
    // level: a purchase in free play must not become the story's.
    m_pPlayer->commitSession(m_nPlayMode);
    getPlayerManager()->saveProfiles();
    pApp->saveSettings();
    if (m_pbBought) *m_pbBought = true;
    // Its OK comes back as Cancel and closes this dialog.
    pApp->pushMode(new DlgMessage(this, getString(Names::STR_UPG_UPGRADED), ID_CANCEL));
}

void BuyUpgradeMode::updateTexts() {
    int nLevel = isUpgradeKind() ? m_pPlayer->m_anUpgrades[m_nKind] : 0;
    m_pTextLabel->setText(getString(Tsl::String::format(Names::STR_UPG_TEXT, textKindOf(m_nKind), nLevel).c_str()));
    m_pInfoTable->layout();
    m_pMainTable->layout();
    m_pButtonTable->layout();
    int nPrice = currentPrice();
    m_pPriceLabel->setText(nPrice >= 0 ? formatText(getString(Names::STR_UPG_PRICE), nPrice) : Tsl::String());
    if (m_pBuyButton) m_pBuyButton->setEnabled(nPrice >= 0);
}

void BuyUpgradeMode::showChoice(int nId) {
    if (!isUpgradeKind()) return;
    int nValue = m_pUpgradeManager->getValue(m_nKind, m_anPreviewLevels[m_nKind]) + 1;
    for (const UpgradeConditionalSprite& entry : m_lConditionalSprites)
        for (int nChoice : entry.m_lChoiceIds)
            if (nChoice != nId) entry.m_pSprite->setVisible(entry.m_bShownOtherwise);
    for (const UpgradeConditionalSprite& entry : m_lConditionalSprites) {
        if (entry.m_lChoiceIds.indexOf(nId) < 0) continue;
        for (int nEntryValue : entry.m_lValues)
            if (nEntryValue != nValue) entry.m_pSprite->setVisible(false);
    }
    for (const UpgradeConditionalSprite& entry : m_lConditionalSprites)
        if (entry.m_lChoiceIds.indexOf(nId) >= 0 && entry.m_lValues.indexOf(nValue) >= 0)
            entry.m_pSprite->setVisible(true);
}

void BuyUpgradeMode::loadPreviewScene() {
    TSL_TRACE();
    UpgradePreview preview(this, m_anPreviewLevels, m_nKind);
    preview.load(m_sSceneName);
    m_lPreviewSprites = preview.getSprites();
    m_lHighlightSprites = preview.getHighlights();
    m_lConditionalSprites = preview.getConditionals();
    m_hNamedSprites = preview.getNamedSprites();
}

void BuyUpgradeMode::cleanup() { DialogMode::cleanup(); }

void BuyUpgradeMode::onUpdate(float fDt) {
    m_fTime += fDt;
    int c = pulseOf(m_fTime);
    Color color(255, static_cast<unsigned char>(c), static_cast<unsigned char>(c), 255);
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lHighlightSprites) pSprite->setColor(color);
}
