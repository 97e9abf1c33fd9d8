#pragma once

#include "field/scenebuilder.h"
#include "rules/upgrademanager.h"

#include "sprite/sprite.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

#include <vector>

class GameMode;

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

// Builds the small picture of a stage's bar that the purchase dialog shows,
// from the lines of the stage's ".scene" that put pictures on the screen:
// each upgradeable place as the preview levels furnish it, at two fifths of
// its size, and the sprites that the purchase adds collected to pulse. The
// scene file belongs to the play field, so a line that cannot be drawn is
// logged and skipped: the preview is cosmetic and never stops the dialog.
class UpgradePreview : public SceneBuilder {
public:
    enum { Z_RAISE = 10 };
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
    const Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>>& getNamedSprites() const { return getNamed(); }

protected:
    bool isBuilt(const SceneVisual& line) const override;
    void placed(const SceneVisual& line, const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites) override;
    void placeOther(const SceneVisual& line) override;
    void lineFailed(const SceneVisual& line, Tsl::Exception& e) override;

private:
    // How a line of a group item's place is built.
    enum GroupAnswer { GA_NOT_GROUP, GA_NONE, GA_SHOWN, GA_HIDDEN, GA_HIDDEN_QUIET };
    struct GroupRule {
        std::vector<int> aChoiceIds;
        std::vector<int> aValues;
        GroupAnswer eAnswer = GA_NOT_GROUP;
    };

    void addFloor();
    void scaleAll();
    // Whether the place's sprites pulse.
    bool isHighlighted(const Tsl::String& sSlot, SceneVisual::Kind eKind) const;
    GroupRule groupRule(const Tsl::String& sSlot, SceneVisual::Kind eKind) const;
    GroupRule chairRule(const Tsl::String& sSlot) const;
    GroupRule centerRule(const Tsl::String& sSlot) const;
    GroupRule stationRule(const Tsl::String& sSlot, SceneVisual::Kind eKind) const;
    int value(int nKind) const;
    void addSprite(Tsl::SmartPtr<Sprite> pSprite, bool bHighlight);

    GameMode* m_pMode;
    int m_nKind;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lSprites;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lHighlights;
    Tsl::List<UpgradeConditionalSprite> m_lConditionals;
};
