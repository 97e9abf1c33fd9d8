#pragma once

#include "upgrademanager.h"

#include "sprite/sprite.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

#include <vector>

class Animation;
class GameMode;
class Image;

// A preview sprite that answers to the radio choice of a group item: shown
// while one of its ids is chosen and the chosen upgrade's value is one of
// its values; otherwise as m_bShownOtherwise says.
struct UpgradeConditionalSprite {
    Tsl::List<int> m_lChoiceIds;
    Tsl::SmartPtr<Sprite> m_pSprite;
    bool m_bShownOtherwise = false;
    Tsl::List<int> m_lValues;
    bool operator==(const UpgradeConditionalSprite& other) const { return m_pSprite == other.m_pSprite; }
};

// Builds the small picture of a stage's bar that the purchase dialog shows:
// reads the stage's ".scene" with an interpreter of its own that knows only
// the lines that put pictures on the screen, furnishes each upgradeable place
// as the preview levels say, and collects the sprites the purchase adds.
// The scene file belongs to the play field, so a line this reader cannot use
// is logged and skipped: the preview is cosmetic and never stops the dialog.
class UpgradePreview {
public:
    enum { MAX_REPEAT = 100, Z_RAISE = 10 };
    static const float SCALE;

    // anLevels: the upgrade levels to draw; nKind: the store item the
    // dialog was opened for (0-12 an upgrade kind, 13-15 a group).
    UpgradePreview(GameMode* pMode, const UpgradeLevels& anLevels, int nKind);

    // Reads "<scene>.scene"; a missing file is logged and builds nothing.
    void load(const Tsl::String& sSceneName);
    // Reads a scene's text; pszFile names it in the log.
    void read(const char* pszFile, const Tsl::String& sText);

    const Tsl::List<Tsl::SmartPtr<Sprite>>& getSprites() const { return m_lSprites; }
    const Tsl::List<Tsl::SmartPtr<Sprite>>& getHighlights() const { return m_lHighlights; }
    const Tsl::List<UpgradeConditionalSprite>& getConditionals() const { return m_lConditionals; }
    const Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>>& getNamedSprites() const { return m_hNamed; }

private:
    // How a line of a group item's place is built.
    enum GroupAnswer { GA_NOT_GROUP, GA_NONE, GA_SHOWN, GA_HIDDEN, GA_HIDDEN_QUIET };
    struct GroupRule {
        std::vector<int> aChoiceIds;
        std::vector<int> aValues;
        GroupAnswer eAnswer = GA_NOT_GROUP;
    };

    void readLine(const Tsl::String& sLine);
    void declare(const Tsl::List<Tsl::String>& lTokens);
    void place(const Tsl::List<Tsl::String>& lTokens);
    void placeConditional(const Tsl::List<Tsl::String>& lTokens);
    void placeFigure(const Tsl::List<Tsl::String>& lTokens);
    void adjustNamed(const Tsl::List<Tsl::String>& lTokens);
    void scaleAll();

    // The place's state: present, and whether its sprites pulse.
    bool isPresent(const Tsl::String& sSlot, const Tsl::String& sKeyword) const;
    bool isHighlighted(const Tsl::String& sSlot, const Tsl::String& sKeyword) const;
    GroupRule groupRule(const Tsl::String& sSlot, const Tsl::String& sKeyword) const;
    // Builds the sprites of one conditional place through its rules.
    void addPlaced(const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites, const Tsl::String& sSlot,
                   const Tsl::String& sKeyword);
    bool willBuild(const Tsl::String& sSlot, const Tsl::String& sKeyword) const;

    int value(int nKind) const;
    Tsl::SmartPtr<Image> image(const Tsl::String& sName) const;
    Tsl::SmartPtr<Animation> animation(const Tsl::String& sName) const;
    Tsl::SmartPtr<Sprite> named(const Tsl::String& sName) const;
    void addSprite(Tsl::SmartPtr<Sprite> pSprite, bool bHighlight);

    GameMode* m_pMode;
    UpgradeLevels m_anLevels;
    int m_nKind;
    Tsl::String m_sFile;
    int m_nLine;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Image>> m_hImages;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Animation>> m_hAnimations;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>> m_hNamed;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lSprites;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lHighlights;
    Tsl::List<UpgradeConditionalSprite> m_lConditionals;
};
