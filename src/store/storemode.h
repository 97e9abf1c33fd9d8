#pragma once

#include "base/qarnmode.h"
#include "rules/upgrademanager.h"

#include "anim/animsprite.h"
#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"

#include <array>

class QarnPlayer;

// What one of the store's nine positions shows at the player's levels.
struct StoreItem {
    int nPosition;
    int nLevel;            // the store level: which picture of the position's row
    const char* pszEntry;  // that picture's row entry; null when the row has none
    bool bBuyable;         // opens the purchase dialog (a button, or the live parrot)
    int nStoreItem;        // the purchase dialog's item id, the button's callback id
};

enum { STORE_POSITION_COUNT = UpgradeManager::STORE_POSITION_COUNT };

// The store's positions at these upgrade levels.
std::array<StoreItem, STORE_POSITION_COUNT> computeStoreItems(const UpgradeLevels& anLevels);
// Some table has a chair and its center can still be raised.
bool canBuyCenterAt(const UpgradeLevels& anLevels);

// The store between story levels: nine item positions, a salesman who
// reacts to the mouse and to purchases, the player's money and a way back.
// An item opens the purchase dialog; when it closes the items are rebuilt
// from the player's new levels.
class StoreMode : public QarnMode {
public:
    enum { ID_BACK = 21, PARROT_ITEM = 8, LAST_STORE_ITEM = 15 };
    static const float TALK_TIME;
    static const float LEAVE_TIME;

    // The player and its record outlive the store; the play mode is the
    // map's, which decides what of a purchase is kept.
    StoreMode(QarnPlayer* pPlayer, int nPlayMode, const Tsl::String& sSceneName);
    ~StoreMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void cleanup() override;
    void onActivate() override;
    void onUpdate(float fDt) override;
    void onMouseMove(int nX, int nY) override;
    bool onMouseUp(int nButton, int nX, int nY) override;

    void refreshItems();
    void clearItems();
    bool canBuyCenter() const;

    const Tsl::List<Tsl::SmartPtr<CustomButton>>& getItemButtons() const { return m_lItemButtons; }
    const Tsl::List<Tsl::SmartPtr<Sprite>>& getItemSprites() const { return m_lItemSprites; }
    const Tsl::List<Tsl::String>& getItemTexts() const { return m_lItemTexts; }
    Tsl::SmartPtr<AnimSprite> getParrot() const { return m_pParrot; }
    Tsl::SmartPtr<AnimSprite> getSalesman() const { return m_pSalesman; }
    Tsl::SmartPtr<Label> getSpeechLabel() const { return m_pSpeechLabel; }
    Tsl::SmartPtr<Label> getMoneyLabel() const { return m_pMoneyLabel; }
    Tsl::SmartPtr<Sprite> getLeaveBubble() const { return m_pLeaveBubble; }
    Tsl::SmartPtr<Label> getLeaveLabel() const { return m_pLeaveLabel; }
    float getTalkTime() const { return m_fTalkTime; }

private:
    void say(const char* pszKey);
    bool isSaying(const char* pszKey) const;
    void salesmanPlays(const char* pszSequence);
    void placeMoney();
    void addItem(const StoreItem& item);
    // The parrot's sequence changes, keeping its frame and the time left on it.
    void switchParrot(const char* pszSequence);
    void leave();

    bool m_bBought;
    bool m_bFresh;
    float m_fTalkTime;
    float m_fLeaveTime;
    Tsl::String m_sSceneName;
    Tsl::List<Tsl::SmartPtr<CustomButton>> m_lItemButtons;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lItemSprites;
    Tsl::List<Tsl::String> m_lItemTexts;
    QarnPlayer* m_pPlayer;
    int m_nPlayMode;
    Tsl::SmartPtr<AnimSprite> m_pParrot;
    Tsl::SmartPtr<AnimSprite> m_pSalesman;
    Tsl::SmartPtr<Label> m_pMoneyLabel;
    Tsl::SmartPtr<Label> m_pSpeechLabel;
    Tsl::SmartPtr<Label> m_pLeaveLabel;
    Tsl::SmartPtr<Sprite> m_pLeaveBubble;
    Tsl::SmartPtr<UpgradeManager> m_pUpgradeManager;
};
