#include "store/storemode.h"

#include "app/gameapp.h"
#include "app/modetransition.h"
#include "audio/audiodriver.h"
#include "store/buyupgrademode.h"
#include "base/names.h"
#include "player/qarnplayer.h"
#include "rules/upgrademanager.h"
#include "store/upgradestoreimages.h"

#include <algorithm>

const float StoreMode::TALK_TIME = 1.0f;
const float StoreMode::LEAVE_TIME = 0.5f;

namespace {

const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
// While the player is not leaving; the countdown runs from LEAVE_TIME down to its negative.
const float NOT_LEAVING = -1.0f;
// A frame this long or longer (a stall) does not shorten the salesman's reaction.
const float LONGEST_COUNTED_FRAME = 0.5f;

struct Position {
    int nStoreItem;
    int nX, nY;
    int nZOrder;
};
typedef UpgradeManager U;
typedef BuyUpgradeMode B;
const Position POSITIONS[STORE_POSITION_COUNT] = {
    {U::KIND_TRAY, 432, 437, 1},           {B::STORE_CHAIRS, 141, 299, 1},   {B::STORE_STATIONS, 440, 262, 1},
    {U::KIND_PARROT_STAND, 743, 360, 1},   {U::KIND_PROP_DISPENSER, 122, 424, 41}, {B::STORE_CENTERS, 283, 403, 41},
    {U::KIND_SHOW, 574, 210, 1},           {B::STORE_STATIONS, 380, 243, 41}, {B::STORE_STATIONS, 320, 232, 1}};

enum { BACK_X = 627, BACK_Y = 531, BACK_Z = 1, MONEY_X = 578, MONEY_Y = 546, MONEY_Z = 2 };
enum { SALESMAN_X = 472, SALESMAN_Y = 311, SALESMAN_Z = 4, SPEECH_X = 20, SPEECH_Y = 529, SPEECH_Z = 2 };
enum { SPEECH_WIDTH = 500, BUBBLE_X = 600, BUBBLE_Y = 160, BUBBLE_Z = 1, LEAVE_X = 602, LEAVE_Y = 162, LEAVE_Z = 2 };
enum { LEAVE_WIDTH = 113, MASK_X = 789, MASK_Y = 270, MASK_Z = 500 };

// A plain item's picture is the cached one itself (a preload may have put it
// there); centring it in place would move it for every other user.
Tsl::SmartPtr<Image> centredCopy(Tsl::SmartPtr<Image> pPicture) {
    if (!pPicture) return pPicture;
    Tsl::SmartPtr<Image> pCopy = pPicture->clone(false);
    pCopy->alignInsPoint(CENTRED);
    return pCopy;
}

}  // namespace

bool canBuyCenterAt(const UpgradeLevels& anLevels) {
    for (int nTable = 0; nTable < UpgradeManager::TABLE_COUNT; ++nTable) {
        int nCenter = UpgradeManager::KIND_CENTER_0 + nTable;
        if (UpgradeManager::hasChairAt(nTable, anLevels) &&
            UpgradeManager::getValue(nCenter, anLevels[nCenter]) < UpgradeManager::getLevelCount(nCenter) - 1)
            return true;
    }
    return false;
}

namespace {

// The lowest level of what the position sells; the centers' store level
// counts from "not yet available", which it stays while no table has a
// chair for a center.
int storeLevelOf(int nPosition, const UpgradeLevels& anLevels, bool bCenter) {
    int nLevel = -1;
    for (int nKind = 0; nKind < UpgradeManager::KIND_COUNT; ++nKind)
        if (UpgradeManager::isSoldAt(nKind, nPosition) && (nLevel < 0 || anLevels[nKind] < nLevel))
            nLevel = anLevels[nKind];
    if (nPosition != UpgradeManager::POSITION_CENTERS) return nLevel;
    return nLevel + 1 <= 1 && !bCenter ? 0 : nLevel + 1;
}

// Whether the position's item can be bought at its store level: the
// centers need a table with a chair, a barman a juicer, and the juicers
// are sold only while neither station has one.
bool isOnSale(int nPosition, int nLevel, bool bCenter) {
    switch (nPosition) {
        case UpgradeManager::POSITION_CENTERS: return bCenter;
        case UpgradeManager::POSITION_BARMAN_0:
        case UpgradeManager::POSITION_BARMAN_1: return nLevel >= 1;
        case UpgradeManager::POSITION_JUICERS: return nLevel < 1;
        default: return true;
    }
}

}  // namespace

std::array<StoreItem, STORE_POSITION_COUNT> computeStoreItems(const UpgradeLevels& anLevels) {
    bool bCenter = canBuyCenterAt(anLevels);
    std::array<StoreItem, STORE_POSITION_COUNT> aItems;
    for (int p = 0; p < STORE_POSITION_COUNT; ++p) {
        int s = storeLevelOf(p, anLevels, bCenter);
        const char* pszEntry = UpgradeStoreImages::entryOf(p, s);
        bool bBuyable =
            isOnSale(p, s, bCenter) && pszEntry && s < UpgradeManager::getStoreLevelCount(p) - 1;
        aItems[p] = {p, s, pszEntry, bBuyable, POSITIONS[p].nStoreItem};
    }
    return aItems;
}

StoreMode::StoreMode(QarnPlayer* pPlayer, int nPlayMode, const Tsl::String& sSceneName)
    : QarnMode(1), m_bBought(false), m_bFresh(true), m_fTalkTime(0.0f), m_fLeaveTime(NOT_LEAVING),
      m_sSceneName(sSceneName), m_pPlayer(pPlayer), m_nPlayMode(nPlayMode), m_pUpgradeManager(new UpgradeManager()) {}

StoreMode::~StoreMode() {}

bool StoreMode::canBuyCenter() const { return canBuyCenterAt(m_pPlayer->m_anUpgrades); }

void StoreMode::init() {
    TSL_TRACE();
    // The store's pictures are its own: they stay out of the cache.
    DisableImageCache guard;
    addSprite(new Sprite(Names::IMG_STORE_BACK, 0, 0, 0));
    addSprite(new Sprite(Names::IMG_STORE_MASK, MASK_X, MASK_Y, MASK_Z));

    Tsl::SmartPtr<Button> pBack = new Button(getString(Names::STR_HF_BACK), ID_BACK);
    pBack->setStyle(Names::STYLE_PAPER_BUTTON);
    pBack->setPosition(BACK_X, BACK_Y);
    pBack->setZOrder(BACK_Z);
    addControl(pBack);

    m_pMoneyLabel = new Label(Tsl::String::format("%d", m_pPlayer->m_nMoney), 0, 0, MONEY_Z);
    m_pMoneyLabel->setFont(Names::FONT_LABEL_TEXT);
    m_pMoneyLabel->setTextAlign(CENTRED);
    addSprite(m_pMoneyLabel);
    placeMoney();

    Tsl::SmartPtr<Animation> pSalesman = GameApp::getInstance()->getAnimation(Names::ANIM_SALESMAN);
    m_pSalesman = new AnimSprite(pSalesman, SALESMAN_X, SALESMAN_Y, SALESMAN_Z);
    salesmanPlays(Names::SEQ_BLINK);
    addSprite(m_pSalesman);
    Tsl::SmartPtr<AnimSprite> pBody = new AnimSprite(pSalesman, SALESMAN_X, SALESMAN_Y, SALESMAN_Z);
    pBody->play(Names::SEQ_NORMAL, 0.0f, -1);
    addSprite(pBody);

    m_pSpeechLabel = new Label("", SPEECH_X, SPEECH_Y, SPEECH_Z);
    m_pSpeechLabel->setFont(Names::FONT_DEFAULT_BLACK);
    say(Names::STR_UPG_DEFAULT);
    m_pSpeechLabel->setWrapWidth(SPEECH_WIDTH, true);
    addSprite(m_pSpeechLabel);

    m_pLeaveBubble = new Sprite(Names::IMG_STORE_BUBBLE, BUBBLE_X, BUBBLE_Y, BUBBLE_Z);
    m_pLeaveBubble->setAlpha(0.0f);
    addSprite(m_pLeaveBubble);
    m_pLeaveLabel = new Label(getString(Names::STR_UPG_LEAVE), LEAVE_X, LEAVE_Y, LEAVE_Z);
    m_pLeaveLabel->setFont(Names::FONT_DEFAULT_BLACK);
    m_pLeaveLabel->setWrapWidth(LEAVE_WIDTH, true);
    m_pLeaveLabel->setAlpha(0.0f);
    addSprite(m_pLeaveLabel);

    m_fTalkTime = 0.0f;
    m_fLeaveTime = NOT_LEAVING;
    m_bBought = false;
    onActivate();
}

void StoreMode::cleanup() {}

void StoreMode::say(const char* pszKey) { m_pSpeechLabel->setText(getString(pszKey)); }

bool StoreMode::isSaying(const char* pszKey) const { return m_pSpeechLabel->getText() == getString(pszKey); }

void StoreMode::salesmanPlays(const char* pszSequence) { m_pSalesman->play(pszSequence, 0.0f, -1); }

void StoreMode::placeMoney() {
    m_pMoneyLabel->setText(Tsl::String::format("%d", m_pPlayer->m_nMoney));
    m_pMoneyLabel->setPosition(MONEY_X - m_pMoneyLabel->getWidth() / 2, int(MONEY_Y));
}

void StoreMode::onActivate() {
    TSL_TRACE();
    if (m_bBought) {
        GameApp* pApp = GameApp::getInstance();
        pApp->playSound(pApp->getSample(Names::SFX_STORE_CLINK), 0, -1);
        salesmanPlays(Names::SEQ_SMILE);
        say(Names::STR_UPG_GOOD);
        m_fTalkTime = TALK_TIME;
        m_bBought = false;
    } else if (!m_bFresh) {
        say(Names::STR_UPG_BAD);
    }
    clearItems();
    placeMoney();
    refreshItems();
}

void StoreMode::refreshItems() {
    TSL_TRACE();
    // Greyed and composed pictures are private copies; keep them out of the cache.
    DisableImageCache guard;
    for (const StoreItem& item : computeStoreItems(m_pPlayer->m_anUpgrades)) addItem(item);
}

void StoreMode::addItem(const StoreItem& item) {
    const Position& place = POSITIONS[item.nPosition];
    Tsl::SmartPtr<Image> pPicture;
    if (item.nPosition == UpgradeManager::POSITION_PARROT) {
        m_pParrot = UpgradeStoreImages::getStoreAnimation(item.nPosition, item.nLevel);
        if (m_pParrot) {
            m_pParrot->setPosition(place.nX, place.nY);
            addSprite(m_pParrot);
        } else {
            pPicture = UpgradeStoreImages::getStoreImage(item.nPosition, item.nLevel);
        }
    } else {
        pPicture = UpgradeStoreImages::getStoreImage(item.nPosition, item.nLevel);
    }
    if (!pPicture) return;
    pPicture = centredCopy(pPicture);
    if (item.bBuyable) {
        Tsl::SmartPtr<Image> pHighlight =
            centredCopy(UpgradeStoreImages::getStoreHighlightImage(item.nPosition, item.nLevel));
        Tsl::SmartPtr<CustomButton> pButton = new CustomButton(item.nStoreItem, pPicture, pHighlight, pHighlight, pPicture);
        pButton->setPosition(place.nX, place.nY);
        pButton->setZOrder(place.nZOrder);
        addControl(pButton);
        m_lItemButtons.append(pButton);
        m_lItemTexts.append(getString(Tsl::String::format(Names::STR_UPG_ITEM, item.nPosition).c_str()));
    } else {
        Tsl::SmartPtr<Sprite> pSprite = new Sprite(pPicture, place.nX, place.nY, place.nZOrder);
        addSprite(pSprite);
        m_lItemSprites.append(pSprite);
    }
}

void StoreMode::clearItems() {
    while (!m_lItemButtons.isEmpty()) removeSprite(m_lItemButtons.removeFirst());
    if (m_pParrot) {
        removeSprite(m_pParrot);
        m_pParrot = nullptr;
    }
    while (!m_lItemSprites.isEmpty()) removeSprite(m_lItemSprites.removeFirst());
    m_lItemTexts.clear();
}

void StoreMode::onCallback(int nId, int) {
    TSL_TRACE();
    if (nId >= 0 && nId <= LAST_STORE_ITEM) {
        salesmanPlays(Names::SEQ_SAD);
        m_fTalkTime = TALK_TIME;
        GameApp::getInstance()->pushMode(
            new BuyUpgradeMode(m_pPlayer, m_nPlayMode, m_pUpgradeManager, nId, m_sSceneName, &m_bBought));
        m_bFresh = false;
    } else if (nId == ID_BACK) {
        // A second press while the countdown runs leaves at once.
        if (m_fLeaveTime > NOT_LEAVING)
            leave();
        else
            m_fLeaveTime = LEAVE_TIME;
    }
}

void StoreMode::leave() { endModeWithTransition(new TrnFadeToBlack()); }

void StoreMode::onUpdate(float fDt) {
    if (m_pParrot) m_pParrot->update(fDt);
    m_pSalesman->update(fDt);
    if (m_fTalkTime > 0.0f && fDt < LONGEST_COUNTED_FRAME) {
        m_fTalkTime -= fDt;
        // A reaction that ends exactly on a frame ends too.
        if (m_fTalkTime <= 0.0f) {
            m_fTalkTime = 0.0f;
            salesmanPlays(Names::SEQ_BLINK);
        }
    }
    if (m_fLeaveTime > -LEAVE_TIME) {
        m_fLeaveTime -= fDt;
        // Leaves a full second after the press, whatever the frame length.
        if (m_fLeaveTime <= -LEAVE_TIME) {
            leave();
            return;
        }
        // Fades in over the first half second, then stays.
        float fAlpha = std::min(1.0f, (LEAVE_TIME - m_fLeaveTime) * 2.0f);
        m_pLeaveBubble->setAlpha(fAlpha);
        m_pLeaveLabel->setAlpha(fAlpha);
    }
}

void StoreMode::switchParrot(const char* pszSequence) {
    int nFrame = m_pParrot->getFrame();
    float fTimeLeft = m_pParrot->getFrameTimeLeft();
    m_pParrot->play(pszSequence, 0.0f, -1);
    m_pParrot->setFrame(nFrame, fTimeLeft);
}

void StoreMode::onMouseMove(int nX, int nY) {
    bool bHovering = false;
    if (m_pParrot && m_pParrot->hitTestCanvas(nX, nY)) {
        if (m_pParrot->getSequenceName() != Names::SEQ_HIGHLIGHT) {
            GameApp* pApp = GameApp::getInstance();
            pApp->playSound(pApp->getSample(Names::SFX_MOUSE_OVER), 0, -1);
            switchParrot(Names::SEQ_HIGHLIGHT);
            salesmanPlays(Names::SEQ_TALK);
            if (!isSaying(Names::STR_UPG_PARROT)) say(Names::STR_UPG_PARROT);
        }
        bHovering = true;
    } else if (m_pParrot && m_pParrot->getSequenceName() != Names::SEQ_NORMAL) {
        switchParrot(Names::SEQ_NORMAL);
    }
    int nIndex = 0;
    for (const Tsl::SmartPtr<CustomButton>& pButton : m_lItemButtons) {
        if (bHovering) break;
        if (pButton->getState() == ImageButton::STATE_HIGHLIGHTED) {
            bHovering = true;
            const Tsl::String& sText = m_lItemTexts.getAt(nIndex);
            if (m_pSpeechLabel->getText() != sText) {
                m_pSpeechLabel->setText(sText);
                salesmanPlays(Names::SEQ_TALK);
            }
        }
        ++nIndex;
    }
    if (!bHovering && !isSaying(Names::STR_UPG_DEFAULT) && m_fTalkTime == 0.0f) {
        say(Names::STR_UPG_DEFAULT);
        salesmanPlays(Names::SEQ_BLINK);
    }
}

bool StoreMode::onMouseUp(int, int nX, int nY) {
    if (m_pParrot && m_pParrot->hitTestCanvas(nX, nY)) onCallback(PARROT_ITEM, 0);
    return true;
}
