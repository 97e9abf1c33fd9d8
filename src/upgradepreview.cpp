#include "upgradepreview.h"

#include "tsl2/tokenfilereader.h"

#include "ambience.h"
#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "fieldspots.h"
#include "names.h"
#include "upgrademanager.h"

#include "tsl2/error.h"

#include <cerrno>
#include <cstdlib>

const float UpgradePreview::SCALE = 0.4f;

namespace {

enum { FLOOR_TILES = 10, FLOOR_STEP = 80, FLOOR_Y = 555, FLOOR_Z_ORDER = 140 };
// Coordinates of an 800 x 600 field; anything far beyond is a broken line.
const int MAX_NUMBER = 1000000;
const char* const KW_ACTIONSPOT = "actionspot_conditional";
const char* const KW_SPRITE_COND = "sprite_conditional";
const char* const KW_ANIMSPRITE_COND = "animsprite_conditional";
const char* const KW_BARMAN = "barman";

struct SlotKind {
    const char* pszSlot;
    int nKind;
};
// Searched in order; the first equal name counts. "mantel_2" and "mantel_3"
// are places too but governed by no kind here: they never pulse.
const SlotKind SLOTS[] = {
    {"parrot_stand", 8},   {"juicer_0", 6},       {"juicer_1", 7},       {"silla_0", 2},        {"silla_1", 3},
    {"silla_2", 4},        {"silla_3", 5},        {"mesa_0", 2},         {"mesa_1", 4},         {"center_lvl_2_0", 10},
    {"center_lvl_1_0", 10}, {"center_lvl_2_1", 11}, {"center_lvl_1_1", 11}, {"barman_0", 6},   {"barman_1", 7},
    {"prop_dispenser", 9}, {"show_1", 12},        {"show_2", 12},        {"show_3", 12},        {"show_4", 12},
    {"mantel_0", 10},      {"mantel_1", 11},      {"juicer_0_a", 6},     {"juicer_1_a", 7},     {"barman_0_a", 6},
    {"barman_1_a", 7}};

// The side (0 or 1) of a paired slot name ending in "_0"/"_1" or "_0_a"/"_1_a".
int sideOf(const Tsl::String& sSlot) {
    int n = sSlot.getLength();
    char c = (n >= 2 && sSlot[n - 2] == '_' && sSlot[n - 1] == 'a' && n >= 4) ? sSlot[n - 3] : sSlot[n - 1];
    return c == '1' ? 1 : 0;
}

bool startsWith(const Tsl::String& s, const char* pszPrefix) { return s.find(pszPrefix) == 0; }

bool isJuicer(const Tsl::String& s) { return s == "juicer_0" || s == "juicer_1"; }
bool isBarman(const Tsl::String& s) { return s == "barman_0" || s == "barman_1"; }
bool isExtraBarman(const Tsl::String& s) { return s == "barman_0_a" || s == "barman_1_a"; }

int number(const Tsl::List<Tsl::String>& lTokens, int i) {
    if (i >= lTokens.getCount())
        TSL_THROW(BadParmException, "%s needs %d values, has %d", lTokens.getAt(0).c_str(), i,
                  lTokens.getCount() - 1);
    try {
        return Tsl::toCheckedInt(lTokens.getAt(i), -MAX_NUMBER, MAX_NUMBER);
    } catch (const Tsl::Exception& e) {
        TSL_THROW(BadParmException, "%s: %s", lTokens.getAt(0).c_str(), e.getMessage());
    }
}

float real(const Tsl::List<Tsl::String>& lTokens, int i) {
    if (i >= lTokens.getCount())
        TSL_THROW(BadParmException, "%s needs %d values, has %d", lTokens.getAt(0).c_str(), i,
                  lTokens.getCount() - 1);
    Tsl::String sToken = lTokens.getAt(i);  // getAt hands out a copy
    const char* psz = sToken.c_str();
    char* pszEnd = nullptr;
    float f = std::strtof(psz, &pszEnd);
    if (*psz == '\0' || *pszEnd != '\0' || !(f > -MAX_NUMBER && f < MAX_NUMBER))
        TSL_THROW(BadParmException, "%s: '%s' is not a number", lTokens.getAt(0).c_str(), psz);
    return f;
}

void need(const Tsl::List<Tsl::String>& lTokens, int nCount) {
    if (lTokens.getCount() < nCount)
        TSL_THROW(BadParmException, "%s needs %d values, has %d", lTokens.getAt(0).c_str(), nCount - 1,
                  lTokens.getCount() - 1);
}

}  // namespace

UpgradePreview::UpgradePreview(GameMode* pMode, const int* anLevels, int nKind)
    : m_pMode(pMode), m_nKind(nKind), m_nLine(0) {
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) m_anLevels[i] = anLevels[i];
}

int UpgradePreview::slotKind(const Tsl::String& sSlot) {
    for (const SlotKind& slot : SLOTS)
        if (sSlot == slot.pszSlot) return slot.nKind;
    return -1;
}

int UpgradePreview::value(int nKind) const { return UpgradeManager().getValue(nKind, m_anLevels[nKind]); }

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
    m_sFile = pszFile;
    try {
        Tsl::SmartPtr<Image> pFloor = m_pMode->getImage(Names::IMG_PREVIEW_FLOOR);
        for (int i = 0; i < FLOOR_TILES; ++i)
            m_lSprites.append(new Sprite(pFloor, i * FLOOR_STEP, FLOOR_Y, FLOOR_Z_ORDER));
    } catch (const Tsl::Exception& e) {
        GameApp::log("%s: no floor for the preview: %s\n", pszFile, e.getMessage());
    }
    // Line by line by hand: numbering must count empty lines too.
    int nStart = 0;
    m_nLine = 0;
    while (nStart <= sText.getLength()) {
        int nEnd = sText.find('\n', nStart);
        if (nEnd < 0) nEnd = sText.getLength();
        ++m_nLine;
        // Only this line's bytes: copying the text up to each line would cost
        // the square of the file's length.
        Tsl::String sLine(sText.c_str() + nStart, nEnd - nStart);
        try {
            readLine(sLine);
        } catch (const Tsl::Exception& e) {
            GameApp::log("%s, line %d: %s; line skipped\n", pszFile, m_nLine, e.getMessage());
        }
        nStart = nEnd + 1;
    }
    scaleAll();
}

void UpgradePreview::readLine(const Tsl::String& sRaw) {
    Tsl::String sLine = sRaw;
    int nComment = sLine.find('#');
    if (nComment >= 0) sLine = sLine.left(nComment);
    sLine = sLine.trim();
    if (sLine.isEmpty()) return;
    Tsl::List<Tsl::String> lWords = sLine.split(" \t\r");
    Tsl::String sKeyword = lWords.getFirst().toLower();
    Tsl::List<Tsl::String> lTokens;
    lTokens.append(sKeyword);
    bool bFirst = true;
    for (const Tsl::String& sWord : lWords) {
        if (!bFirst) lTokens.append(sWord);
        bFirst = false;
    }
    if (sKeyword == "image" || sKeyword == "animation" || sKeyword == "clone" || sKeyword == "hflip" ||
        sKeyword == "inspos")
        declare(lTokens);
    else if (sKeyword == "sprite" || sKeyword == "sprite_repeat" || sKeyword == "animsprite")
        place(lTokens);
    else if (sKeyword == KW_SPRITE_COND || sKeyword == KW_ANIMSPRITE_COND || sKeyword == KW_ACTIONSPOT)
        placeConditional(lTokens);
    else if (sKeyword == KW_BARMAN || sKeyword == "bongos" || sKeyword == "bailarina" || sKeyword == "parrot")
        placeFigure(lTokens);
    else if (sKeyword == "flip" || sKeyword == "flipsafe" || sKeyword == "scale_anim" || sKeyword == "playsequence")
        adjustNamed(lTokens);
    // Every other line of the play field's format draws nothing here.
}

Tsl::SmartPtr<Image> UpgradePreview::image(const Tsl::String& sName) const {
    return m_hImages.hasKey(sName) ? m_hImages.get(sName) : nullptr;
}

Tsl::SmartPtr<Animation> UpgradePreview::animation(const Tsl::String& sName) const {
    return m_hAnimations.hasKey(sName) ? m_hAnimations.get(sName) : nullptr;
}

Tsl::SmartPtr<Sprite> UpgradePreview::named(const Tsl::String& sName) const {
    if (!m_hNamed.hasKey(sName)) TSL_THROW(BadParmException, "no sprite named '%s'", sName.c_str());
    return m_hNamed.get(sName);
}

void UpgradePreview::addSprite(Tsl::SmartPtr<Sprite> pSprite, bool bHighlight) {
    m_lSprites.append(pSprite);
    if (bHighlight) m_lHighlights.append(pSprite);
}

// The table holds private copies, so mirroring or moving an insertion point
// never touches the cached picture the play field shares.
void UpgradePreview::declare(const Tsl::List<Tsl::String>& l) {
    const Tsl::String& k = l.getAt(0);
    need(l, k == "inspos" ? 4 : 2);
    const Tsl::String& t1 = l.getAt(1);
    if (k == "image") {
        m_hImages.set(t1, m_pMode->getImage(t1.c_str())->clone(false));
    } else if (k == "animation") {
        m_hAnimations.set(t1, GameApp::getInstance()->getAnimation(t1.c_str()));
    } else if (k == "clone") {
        Tsl::SmartPtr<Image> pSource = image(t1);
        if (!pSource) TSL_THROW(BadParmException, "clone: no image '%s'", t1.c_str());
        m_hImages.set(l.getCount() > 2 ? l.getAt(2) : t1, pSource->clone(false));
    } else if (k == "hflip") {
        if (Tsl::SmartPtr<Image> pImage = image(t1)) pImage->flipHorizontal();
    } else {
        Tsl::SmartPtr<Image> pImage = image(l.getAt(3));
        if (!pImage) TSL_THROW(BadParmException, "inspos: no image '%s'", l.getAt(3).c_str());
        const Tsl::String& t2 = l.getAt(2);
        int nX = t1 == "center" ? pImage->getWidth() / 2 : t1 == "right" ? pImage->getWidth() : number(l, 1);
        int nY = t2 == "center" ? pImage->getHeight() / 2 : t2 == "bottom" ? pImage->getHeight() : number(l, 2);
        pImage->setInsPoint(nX, nY);
    }
}

void UpgradePreview::place(const Tsl::List<Tsl::String>& l) {
    const Tsl::String& k = l.getAt(0);
    need(l, 5);
    int nX = number(l, 2), nY = number(l, 3), nZ = number(l, 4) + Z_RAISE;
    if (k == "sprite_repeat") {
        int nCount = number(l, 5), nStep = number(l, 6);
        if (nCount > MAX_REPEAT) TSL_THROW(BadParmException, "sprite_repeat: %d copies, at most %d", nCount, int(MAX_REPEAT));
        for (int i = 0; i < nCount; ++i) {
            Tsl::SmartPtr<Sprite> pSprite = new Sprite(image(l.getAt(1)), nX + i * nStep, nY, nZ);
            addSprite(pSprite, false);
            // The name stands for the first copy.
            if (i == 0 && l.getCount() >= 8) m_hNamed.set(l.getAt(7), pSprite);
        }
        return;
    }
    Tsl::SmartPtr<Sprite> pSprite;
    if (k == "sprite")
        pSprite = new Sprite(image(l.getAt(1)), nX, nY, nZ);
    else
        pSprite = new AnimSprite(animation(l.getAt(1)), nX, nY, nZ);
    addSprite(pSprite, false);
    if (l.getCount() >= 6) m_hNamed.set(l.getAt(5), pSprite);
}

void UpgradePreview::placeConditional(const Tsl::List<Tsl::String>& l) {
    const Tsl::String& k = l.getAt(0);
    need(l, k == KW_ANIMSPRITE_COND ? 7 : 6);
    Tsl::String sSlot = k == KW_ANIMSPRITE_COND ? l.getAt(6) : k == KW_ACTIONSPOT ? l.getLast() : l.getAt(5);
    if (slotKind(sSlot) < 0 && sSlot != "mantel_2" && sSlot != "mantel_3")
        TSL_THROW(BadParmException, "%s: unknown upgrade place '%s'", k.c_str(), sSlot.c_str());
    int nX = number(l, 2), nY = number(l, 3), nZ = number(l, 4) + Z_RAISE;
    if (!willBuild(sSlot, k)) return;
    Tsl::SmartPtr<Sprite> pSprite;
    if (k == KW_SPRITE_COND) {
        pSprite = new Sprite(image(l.getAt(1)), nX, nY, nZ);
        if (l.getCount() > 6) m_hNamed.set(l.getAt(6), pSprite);
    } else if (k == KW_ANIMSPRITE_COND) {
        if (!isJuicer(sSlot) && !isBarman(sSlot) && sSlot != "prop_dispenser") return;
        pSprite = new AnimSprite(animation(l.getAt(1)), nX, nY, nZ);
        m_hNamed.set(l.getAt(5), pSprite);
    } else {
        if (l.getAt(1) != "glassspot") return;
        if (!isJuicer(sSlot) && !isBarman(sSlot) && !isExtraBarman(sSlot)) return;
        Tsl::SmartPtr<Image> pCoaster = m_pMode->getImage(Names::IMG_COASTER)->clone(false);
        pCoaster->setInsPoint(pCoaster->getWidth() / 2, GlassSpot::COASTER_INS_Y);
        pSprite = new Sprite(pCoaster, nX, nY, nZ);
    }
    Tsl::List<Tsl::SmartPtr<Sprite>> lSprites;
    lSprites.append(pSprite);
    addPlaced(lSprites, sSlot, k);
}

void UpgradePreview::placeFigure(const Tsl::List<Tsl::String>& l) {
    const Tsl::String& k = l.getAt(0);
    Tsl::List<Tsl::SmartPtr<Sprite>> lSprites;
    if (k == "parrot") {
        need(l, 4);
        int nX = number(l, 1), nY = number(l, 2), nZ = number(l, 3) + Z_RAISE;
        if (m_anLevels[UpgradeManager::KIND_PARROT_STAND] != 1) return;
        Tsl::SmartPtr<Animation> pAnimation = GameApp::getInstance()->getAnimation(Names::PARROT_ANIM);
        Tsl::SmartPtr<AnimSprite> pStill = new AnimSprite(pAnimation, nX, nY, nZ);
        Tsl::SmartPtr<AnimSprite> pMove = new AnimSprite(pAnimation, nX, nY, nZ + 1);
        pStill->play(Names::SEQ_PARROT_STILL, 0.0f, -1);
        pMove->play(Names::SEQ_PARROT_MOVE, 0.0f, -1);
        addSprite(pStill, m_nKind == UpgradeManager::KIND_PARROT_STAND);
        addSprite(pMove, m_nKind == UpgradeManager::KIND_PARROT_STAND);
        return;
    }
    int nSlotAt = k == KW_BARMAN || k == "bongos" ? 5 : 7;
    need(l, nSlotAt + 1);
    const Tsl::String& sSlot = l.getAt(nSlotAt);
    if (slotKind(sSlot) < 0) TSL_THROW(BadParmException, "%s: unknown upgrade place '%s'", k.c_str(), sSlot.c_str());
    int nA = number(l, 1), nB = number(l, 2), nC = number(l, 3);
    if (k == KW_BARMAN) {
        int nD = number(l, 4);
        if (!isBarman(sSlot) || !willBuild(sSlot, k)) return;
        for (const Tsl::SmartPtr<AnimSprite>& p : Barman(nA, nB, nC + Z_RAISE, nD, nullptr).getSprites()) lSprites.append(p);
    } else if (k == "bongos") {
        if ((sSlot != "show_1" && sSlot != "show_2") || !willBuild(sSlot, k)) return;
        for (const Tsl::SmartPtr<AnimSprite>& p : MisterBongos(nullptr, nA, nB, nC + Z_RAISE, l.getAt(4)).getSprites())
            lSprites.append(p);
    } else {
        int nD = number(l, 4), nE = number(l, 5);
        if ((sSlot != "show_3" && sSlot != "show_4") || !willBuild(sSlot, k)) return;
        const Tsl::String& sParam = l.getAt(6);
        Tsl::List<Tsl::String> lParams;
        lParams.append(sParam);
        Tsl::String sKey = Tsl::String(Names::BAILARINA_KEY) + sParam;
        Tsl::SmartPtr<Animation> pAnimation =
            GameApp::getInstance()->getAnimation(Names::BAILARINA_TEMPLATE, sKey.c_str(), lParams);
        lSprites.append(new DancingGirl(pAnimation, nA, nB, nC, nD, nE + Z_RAISE));
    }
    addPlaced(lSprites, sSlot, k);
}

void UpgradePreview::adjustNamed(const Tsl::List<Tsl::String>& l) {
    const Tsl::String& k = l.getAt(0);
    need(l, k == "scale_anim" ? 4 : k == "playsequence" ? 3 : 2);
    const Tsl::String& sName = l.getAt(1);
    if (k == "flipsafe" && !m_hNamed.hasKey(sName)) return;
    Tsl::SmartPtr<Sprite> pSprite = named(sName);
    if (k == "flip" || k == "flipsafe") {
        pSprite->setScale(-1.0f, 1.0f);
    } else if (k == "scale_anim") {
        pSprite->setScale(real(l, 2), real(l, 3));
    } else {
        Tsl::SmartPtr<AnimSprite> pAnim = Tsl::SmartPtr<AnimSprite>::dynamicCast(pSprite);
        if (!pAnim) TSL_THROW(BadParmException, "playsequence: '%s' is not animated", sName.c_str());
        pAnim->play(l.getAt(2).c_str(), 0.0f, -1);
    }
}

void UpgradePreview::scaleAll() {
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lSprites) {
        pSprite->setScale(pSprite->getScaleX() * SCALE, pSprite->getScaleY() * SCALE);
        pSprite->setPosition(static_cast<int>(pSprite->getXf() * SCALE), static_cast<int>(pSprite->getYf() * SCALE));
    }
}

bool UpgradePreview::isPresent(const Tsl::String& sSlot, const Tsl::String& sKeyword) const {
    int nSide = sideOf(sSlot);
    int nStation = UpgradeManager::KIND_STATION_0 + nSide;
    if (isJuicer(sSlot)) return value(nStation) == 1;
    if (isBarman(sSlot)) {
        int v = value(nStation);
        if (sKeyword == KW_ACTIONSPOT) return v == 2 || v == 3;
        if (sKeyword == KW_ANIMSPRITE_COND) return v == 2;
        if (sKeyword == KW_BARMAN) return v >= 2;
        return false;
    }
    if (isExtraBarman(sSlot)) return value(nStation) == 3;
    if (startsWith(sSlot, "silla_")) return value(UpgradeManager::KIND_CHAIR_0 + (sSlot[6] - '0')) == 1;
    if (sSlot == "mesa_0") return value(2) == 1 || value(3) == 1;
    if (sSlot == "mesa_1") return value(4) == 1 || value(5) == 1;
    if (startsWith(sSlot, "center_lvl_")) return value(UpgradeManager::KIND_CENTER_0 + nSide) == sSlot[11] - '0';
    if (startsWith(sSlot, "mantel_")) {
        int nMantel = sSlot[7] - '0';  // 0, 1 at value 1; 2, 3 at value 2
        return value(UpgradeManager::KIND_CENTER_0 + nMantel % 2) == 1 + nMantel / 2;
    }
    if (sSlot == "parrot_stand") return value(UpgradeManager::KIND_PARROT_STAND) == 1;
    if (sSlot == "prop_dispenser") return value(UpgradeManager::KIND_PROP_DISPENSER) == 1;
    if (startsWith(sSlot, "show_")) return m_anLevels[UpgradeManager::KIND_SHOW] >= sSlot[5] - '0';
    return false;
}

bool UpgradePreview::isHighlighted(const Tsl::String& sSlot, const Tsl::String& sKeyword) const {
    // The table comes with the first chair of its side.
    if (sKeyword == KW_SPRITE_COND && sSlot == "mesa_0")
        return (m_nKind == 2 || m_nKind == 3) && value(2) != value(3);
    if (sKeyword == KW_SPRITE_COND && sSlot == "mesa_1")
        return (m_nKind == 4 || m_nKind == 5) && value(4) != value(5);
    int nKind = slotKind(sSlot);
    if (nKind < 0 || nKind != m_nKind) return false;
    int v = value(nKind);
    if (sKeyword == KW_ACTIONSPOT) {
        if (isJuicer(sSlot)) return v == 1;
        if (isBarman(sSlot)) return v == 2;
        return v == 3;
    }
    if ((sKeyword == KW_SPRITE_COND || sKeyword == KW_ANIMSPRITE_COND) && isJuicer(sSlot)) return v == 1;
    if (sKeyword == KW_SPRITE_COND && startsWith(sSlot, "mantel_")) return v != 2;
    return true;
}

UpgradePreview::GroupRule UpgradePreview::groupRule(const Tsl::String& sSlot, const Tsl::String& sKeyword) const {
    GroupRule rule;
    auto answer = [&](bool bShown, bool bHidden, GroupAnswer eHidden = GA_HIDDEN) {
        rule.eAnswer = bShown ? GA_SHOWN : bHidden ? eHidden : GA_NONE;
    };
    int nSide = sideOf(sSlot);
    if (m_nKind == 13 && sKeyword == KW_SPRITE_COND) {
        if (startsWith(sSlot, "silla_")) {
            int nChair = sSlot[6] - '0';
            rule.aChoiceIds = {3 + nChair};
            rule.aValues = {1};
            answer(value(UpgradeManager::KIND_CHAIR_0 + nChair) == 1, true);
        } else if (sSlot == "mesa_0" || sSlot == "mesa_1") {
            int nFirst = 2 + 2 * nSide;
            rule.aChoiceIds = {3 + 2 * nSide, 4 + 2 * nSide};
            rule.aValues = {1};
            answer(value(nFirst) == 1 || value(nFirst + 1) == 1, true);
        }
    } else if (m_nKind == 14 && sKeyword == KW_SPRITE_COND) {
        int v = value(UpgradeManager::KIND_CENTER_0 + nSide);
        rule.aChoiceIds = {7 + nSide};
        if (startsWith(sSlot, "center_lvl_1_") || sSlot == "mantel_0" || sSlot == "mantel_1") {
            rule.aValues = {1};
            answer(v == 1, v == 0);
        } else if (startsWith(sSlot, "center_lvl_2_")) {
            rule.aValues = {2};
            answer(v == 2, v == 1);
        } else if (sSlot == "mantel_2" || sSlot == "mantel_3") {
            int vMantel = value(UpgradeManager::KIND_CENTER_0 + (sSlot[7] - '2'));
            rule.aChoiceIds = {7 + (sSlot[7] - '2')};
            rule.aValues = {2};
            answer(vMantel == 2, vMantel == 1, GA_HIDDEN_QUIET);
        }
    } else if (m_nKind == 15) {
        int v = value(UpgradeManager::KIND_STATION_0 + nSide);
        rule.aChoiceIds = {9 + nSide};
        if (isJuicer(sSlot)) {
            rule.aValues = {1};
            answer(v == 1, v == 0);
        } else if (isBarman(sSlot) && (sKeyword == KW_ACTIONSPOT || sKeyword == KW_BARMAN)) {
            rule.aValues = {2, 3};
            answer(v == 2 || v == 3, v == 1);
        } else if (isBarman(sSlot) && sKeyword == KW_ANIMSPRITE_COND) {
            rule.aValues = {2, 3};
            answer(v == 2, v == 1);
        } else if (isExtraBarman(sSlot) && sKeyword == KW_ACTIONSPOT) {
            rule.aValues = {3};
            answer(v == 3, v == 2);
        }
    }
    return rule;
}

bool UpgradePreview::willBuild(const Tsl::String& sSlot, const Tsl::String& sKeyword) const {
    GroupRule rule = groupRule(sSlot, sKeyword);
    return rule.eAnswer == GA_NOT_GROUP ? isPresent(sSlot, sKeyword) : rule.eAnswer != GA_NONE;
}

void UpgradePreview::addPlaced(const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites, const Tsl::String& sSlot,
                               const Tsl::String& sKeyword) {
    GroupRule rule = groupRule(sSlot, sKeyword);
    if (rule.eAnswer == GA_NOT_GROUP) {
        bool bHighlight = isHighlighted(sSlot, sKeyword);
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
