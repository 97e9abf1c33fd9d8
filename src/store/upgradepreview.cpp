#include "store/upgradepreview.h"

#include "store/buyupgrademode.h"
#include "field/targets/fieldspots.h"
#include "base/names.h"

#include "app/gameapp.h"
#include "app/gamemode.h"

const float UpgradePreview::SCALE = 0.4f;

namespace {

typedef UpgradeManager U;
enum { FLOOR_TILES = 10, FLOOR_STEP = 80, FLOOR_Y = 555, FLOOR_Z_ORDER = 140 };

bool startsWith(const Tsl::String& s, const char* pszPrefix) { return s.find(pszPrefix) == 0; }

bool isJuicer(const Tsl::String& s) { return s == "juicer_0" || s == "juicer_1"; }
bool isBarman(const Tsl::String& s) { return s == "barman_0" || s == "barman_1"; }
bool isExtraBarman(const Tsl::String& s) { return s == "barman_0_a" || s == "barman_1_a"; }

}  // namespace

UpgradePreview::UpgradePreview(GameMode* pMode, const UpgradeLevels& anLevels, int nKind)
    : SceneBuilder(anLevels, Z_RAISE), m_pMode(pMode), m_nKind(nKind) {}

int UpgradePreview::value(int nKind) const { return U::getValue(nKind, getLevels()[nKind]); }

void UpgradePreview::load(const Tsl::String& sSceneName) {
    TSL_TRACE();
    Tsl::String sFile = Tsl::String::format(Names::SCENE_FILE_FORMAT, sSceneName.c_str());
    GameApp* pApp = GameApp::getInstance();
    if (!pApp->hasResource(sFile.c_str())) {
        GameApp::log("Upgrade preview: scene '%s' not found, no preview\n", sFile.c_str());
        return;
    }
    read(sFile.c_str(), pApp->getResource(sFile.c_str())->getString());
}

void UpgradePreview::read(const char* pszFile, const Tsl::String& sText) {
    TSL_TRACE();
    addFloor();
    Tsl::List<Tsl::String> lFaults;
    SceneData scene = parseSceneLines(pszFile, sText, lFaults);
    for (const Tsl::String& sFault : lFaults) GameApp::log("%s; line skipped\n", sFault.c_str());
    build(scene);
    scaleAll();
}

void UpgradePreview::addFloor() {
    try {
        Tsl::SmartPtr<Image> pFloor = m_pMode->getImage(Names::IMG_PREVIEW_FLOOR);
        for (int i = 0; i < FLOOR_TILES; ++i)
            m_lSprites.append(new Sprite(pFloor, i * FLOOR_STEP, FLOOR_Y, FLOOR_Z_ORDER));
    } catch (const Tsl::Exception& e) {
        GameApp::log("No floor for the upgrade preview: %s\n", e.getMessage());
    }
}

void UpgradePreview::lineFailed(const SceneVisual& line, Tsl::Exception& e) {
    GameApp::log("%s, line %d: %s; line skipped\n", getFile().c_str(), line.m_nLine, e.getMessage());
}

void UpgradePreview::addSprite(Tsl::SmartPtr<Sprite> pSprite, bool bHighlight) {
    m_lSprites.append(pSprite);
    if (bHighlight) m_lHighlights.append(pSprite);
}

// The spots draw nothing of their own but the coasters.
void UpgradePreview::placeOther(const SceneVisual& line) {
    if (line.m_eKind != SceneVisual::SPOT_CONDITIONAL || line.m_sResource != "glassspot") return;
    Tsl::SmartPtr<Image> pCoaster = m_pMode->getImage(Names::IMG_COASTER)->clone(false);
    pCoaster->setInsPoint(pCoaster->getWidth() / 2, GlassSpot::COASTER_INS_Y);
    Tsl::List<Tsl::SmartPtr<Sprite>> lSprites;
    lSprites.append(new Sprite(pCoaster, line.m_nX, line.m_nY, raised(line.m_nZ)));
    placed(line, lSprites);
}

void UpgradePreview::scaleAll() {
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lSprites) {
        pSprite->setScale(pSprite->getScaleX() * SCALE, pSprite->getScaleY() * SCALE);
        pSprite->setPosition(static_cast<int>(pSprite->getXf() * SCALE), static_cast<int>(pSprite->getYf() * SCALE));
    }
}

bool UpgradePreview::isHighlighted(const Tsl::String& sSlot, SceneVisual::Kind eKind) const {
    int nKind = U::getSlotKind(sSlot);
    // A table comes with the first chair of its side.
    if (eKind == SceneVisual::SPRITE_CONDITIONAL && startsWith(sSlot, "mesa_")) {
        int nFirst = nKind;
        return (m_nKind == nFirst || m_nKind == nFirst + 1) && value(nFirst) != value(nFirst + 1);
    }
    if (nKind < 0 || nKind != m_nKind) return false;
    int v = value(nKind);
    if (eKind == SceneVisual::SPOT_CONDITIONAL) {
        if (isJuicer(sSlot)) return v == 1;
        if (isBarman(sSlot)) return v == 2;
        return v == 3;
    }
    bool bPicture = eKind == SceneVisual::SPRITE_CONDITIONAL || eKind == SceneVisual::ANIMSPRITE_CONDITIONAL;
    if (bPicture && isJuicer(sSlot)) return v == 1;
    if (eKind == SceneVisual::SPRITE_CONDITIONAL && startsWith(sSlot, "mantel_")) return v != 2;
    return true;
}

UpgradePreview::GroupRule UpgradePreview::groupRule(const Tsl::String& sSlot, SceneVisual::Kind eKind) const {
    if (m_nKind == BuyUpgradeMode::STORE_CHAIRS && eKind == SceneVisual::SPRITE_CONDITIONAL) return chairRule(sSlot);
    if (m_nKind == BuyUpgradeMode::STORE_CENTERS && eKind == SceneVisual::SPRITE_CONDITIONAL) return centerRule(sSlot);
    if (m_nKind == BuyUpgradeMode::STORE_STATIONS) return stationRule(sSlot, eKind);
    return GroupRule();
}

UpgradePreview::GroupRule UpgradePreview::chairRule(const Tsl::String& sSlot) const {
    GroupRule rule;
    int nKind = U::getSlotKind(sSlot);
    if (startsWith(sSlot, "silla_")) {
        rule.aChoiceIds = {BuyUpgradeMode::choiceIdOf(nKind)};
        rule.aValues = {1};
        rule.eAnswer = value(nKind) == 1 ? GA_SHOWN : GA_HIDDEN;
    } else if (startsWith(sSlot, "mesa_")) {
        int nTable = (nKind - U::KIND_CHAIR_0) / 2;
        rule.aChoiceIds = {BuyUpgradeMode::choiceIdOf(nKind), BuyUpgradeMode::choiceIdOf(nKind + 1)};
        rule.aValues = {1};
        rule.eAnswer = U::hasChairAt(nTable, getLevels()) ? GA_SHOWN : GA_HIDDEN;
    }
    return rule;
}

// A center and its cloth belong to a value of their table's center; the
// second cloth stays hidden without pulsing while the first is shown.
UpgradePreview::GroupRule UpgradePreview::centerRule(const Tsl::String& sSlot) const {
    GroupRule rule;
    int nKind = U::getSlotKind(sSlot);
    if (nKind != U::KIND_CENTER_0 && nKind != U::KIND_CENTER_1) return rule;
    int v = value(nKind);
    rule.aChoiceIds = {BuyUpgradeMode::choiceIdOf(nKind)};
    bool bSecond = startsWith(sSlot, "center_lvl_2_") || sSlot == "mantel_2" || sSlot == "mantel_3";
    int nValue = bSecond ? 2 : 1;
    rule.aValues = {nValue};
    GroupAnswer eHidden = startsWith(sSlot, "mantel_") && bSecond ? GA_HIDDEN_QUIET : GA_HIDDEN;
    rule.eAnswer = v == nValue ? GA_SHOWN : v == nValue - 1 ? eHidden : GA_NONE;
    return rule;
}

// A juicer belongs to its station's value 1, a barman to 2 and 3 (his
// animation only to 2), the extra coaster to 3.
UpgradePreview::GroupRule UpgradePreview::stationRule(const Tsl::String& sSlot, SceneVisual::Kind eKind) const {
    GroupRule rule;
    int nKind = U::getSlotKind(sSlot);
    if (nKind != U::KIND_STATION_0 && nKind != U::KIND_STATION_1) return rule;
    int v = value(nKind);
    bool bSpot = eKind == SceneVisual::SPOT_CONDITIONAL;
    auto answer = [&](std::vector<int> aValues, bool bShown) {
        rule.aChoiceIds = {BuyUpgradeMode::choiceIdOf(nKind)};
        rule.aValues = aValues;
        rule.eAnswer = bShown ? GA_SHOWN : v == aValues[0] - 1 ? GA_HIDDEN : GA_NONE;
    };
    if (isJuicer(sSlot))
        answer({1}, v == 1);
    else if (isBarman(sSlot) && (bSpot || eKind == SceneVisual::BARMAN))
        answer({2, 3}, v == 2 || v == 3);
    else if (isBarman(sSlot) && eKind == SceneVisual::ANIMSPRITE_CONDITIONAL)
        answer({2, 3}, v == 2);
    else if (isExtraBarman(sSlot) && bSpot)
        answer({3}, v == 3);
    return rule;
}

bool UpgradePreview::isBuilt(const SceneVisual& line) const {
    GroupRule rule = groupRule(line.m_sSlot, line.m_eKind);
    return rule.eAnswer == GA_NOT_GROUP ? SceneBuilder::isBuilt(line) : rule.eAnswer != GA_NONE;
}

void UpgradePreview::placed(const SceneVisual& line, const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites) {
    GroupRule rule = line.m_sSlot.isEmpty() ? GroupRule() : groupRule(line.m_sSlot, line.m_eKind);
    if (rule.eAnswer == GA_NOT_GROUP) {
        bool bHighlight = !line.m_sSlot.isEmpty() && isHighlighted(line.m_sSlot, line.m_eKind);
        for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites) addSprite(pSprite, bHighlight);
        return;
    }
    for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites) {
        UpgradeConditionalSprite entry;
        for (int nId : rule.aChoiceIds) entry.m_lChoiceIds.append(nId);
        for (int nValue : rule.aValues) entry.m_lValues.append(nValue);
        entry.m_pSprite = pSprite;
        entry.m_bShownOtherwise = rule.eAnswer == GA_SHOWN;
        if (rule.eAnswer != GA_SHOWN) pSprite->setVisible(false);
        addSprite(pSprite, rule.eAnswer == GA_HIDDEN);
        m_lConditionals.append(entry);
    }
}
