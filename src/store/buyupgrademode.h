#pragma once

#include "base/qarndialog.h"
#include "rules/upgrademanager.h"
#include "store/upgradepreview.h"

#include "ui/button.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

#include <vector>

class QarnPlayer;

// The purchase dialog of one store item: what the upgrade does, what it
// costs and a small live preview of the stage's bar in which the new pieces
// pulse red; for the chairs, centers and juicers a radio choice of which one.
// "Buy" pays from the player's money and raises that upgrade by one level.
class BuyUpgradeMode : public QarnDialog {
public:
    enum { ID_CANCEL = 0, ID_BUY = 1, ID_CANT_RESULT = 2, FIRST_RADIO_ID = 3, LAST_RADIO_ID = 10 };
    enum { STORE_TRAY = 0, STORE_CHAIRS = 13, STORE_CENTERS = 14, STORE_STATIONS = 15 };
    enum { PREVIEW_X = 402, PREVIEW_Y = 152, MASK_Z_ORDER = 500 };

    // One radio option: its callback id, the upgrade kind it buys and its caption key.
    struct RadioChoice {
        int nId;
        int nKind;
        const char* pszCaption;
    };

    // pbBought (the store's) becomes true after a purchase; the player and
    // the flag outlive the dialog. A purchase is kept as a level of the play
    // mode would keep it (QarnPlayer::commitSession).
    BuyUpgradeMode(QarnPlayer* pPlayer, int nPlayMode, Tsl::SmartPtr<UpgradeManager> pUpgrades, int nStoreItem,
                   const Tsl::String& sSceneName, bool* pbBought);
    ~BuyUpgradeMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void cleanup() override;
    void onUpdate(float fDt) override;
    // A click that reaches the dialog itself goes no further.
    bool onMouseDown(int nButton, int nX, int nY) override { return true; }

    void updateTexts();
    Tsl::SmartPtr<Table> buildOptions();
    void showChoice(int nId);
    void loadPreviewScene();

    // The radio option of a group item that buys the kind.
    static int choiceIdOf(int nKind);
    // The options a group item offers at these levels, in order; none for
    // any other item.
    static std::vector<RadioChoice> choicesFor(int nStoreItem, const UpgradeLevels& anLevels);
    // The red and blue of the pulse after fTime seconds: 65 to 191.
    static int pulseOf(float fTime);

    int getKind() const { return m_nKind; }
    Tsl::SmartPtr<Label> getTextLabel() const { return m_pTextLabel; }
    Tsl::SmartPtr<Label> getPriceLabel() const { return m_pPriceLabel; }
    Tsl::SmartPtr<Button> getBuyButton() const { return m_pBuyButton; }
    const RadioGroup& getOptions() const { return m_radioOptions; }
    const Tsl::List<Tsl::SmartPtr<Sprite>>& getPreviewSprites() const { return m_lPreviewSprites; }
    const Tsl::List<Tsl::SmartPtr<Sprite>>& getHighlightSprites() const { return m_lHighlightSprites; }
    const Tsl::List<UpgradeConditionalSprite>& getConditionalSprites() const { return m_lConditionalSprites; }
    Tsl::SmartPtr<Sprite> getNamedSprite(const char* pszName) const;

private:
    // The price of the next level of m_nKind; -1 when there is nothing to
    // buy (a group without a choice, or the last level).
    int currentPrice() const;
    bool isUpgradeKind() const;
    void buy();
    void addBlank(Tsl::SmartPtr<Table> pTable, int nWidth, int nHeight, int nFlags);
    void addTrayPicture();

    Tsl::SmartPtr<Label> m_pTextLabel;
    Tsl::SmartPtr<Label> m_pPriceLabel;
    Tsl::SmartPtr<Table> m_pMainTable;
    Tsl::SmartPtr<Table> m_pInfoTable;
    Tsl::SmartPtr<Table> m_pButtonTable;
    Tsl::SmartPtr<UpgradeManager> m_pUpgradeManager;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>> m_hNamedSprites;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lHighlightSprites;
    QarnPlayer* m_pPlayer;
    int m_nPlayMode;
    Tsl::String m_sSceneName;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lPreviewSprites;
    int m_nKind;
    int m_nStoreItem;
    float m_fTime;
    bool* m_pbBought;
    UpgradeLevels m_anPreviewLevels;
    RadioGroup m_radioOptions;
    Tsl::List<UpgradeConditionalSprite> m_lConditionalSprites;
    Tsl::SmartPtr<Button> m_pBuyButton;
};
