#include "field/scene.h"

#include "rules/upgrademanager.h"

#include "tsl2/hash.h"

#include <cerrno>
#include <cstdarg>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

enum { MAX_COORDINATE = 1000000, MAX_DRINKS = 8 };
// A dancer's depth is written 10 less than the depth she dances at.
enum { DANCER_DEPTH_BELOW = 10 };
const char* const PARROT_STAND_SLOT = "parrot_stand";

// A line's shape: the keyword, the least and the most tokens after it.
struct Shape {
    const char* pszKeyword;
    int nLeast, nMost;
};
const Shape s_aShapes[] = {{"image", 1, 1},
                           {"animation", 1, 1},
                           {"clone", 1, 2},
                           {"hflip", 1, 1},
                           {"inspos", 3, 3},
                           {"sprite", 4, 5},
                           {"sprite_repeat", 6, 7},
                           {"animsprite", 4, 5},
                           {"sprite_conditional", 5, 6},
                           {"animsprite_conditional", 6, 6},
                           {"actionspot_conditional", 8, 9},
                           {"barman", 5, 5},
                           {"bongos", 5, 5},
                           {"bailarina", 7, 7},
                           {"parrot", 3, 3},
                           {"flip", 1, 1},
                           {"flipsafe", 1, 1},
                           {"scale_anim", 3, 3},
                           {"playsequence", 2, 2},
                           {"walkarea", 5, 5},
                           {"topy", 1, 1},
                           {"bottomy", 1, 1},
                           {"charposy", 1, 1},
                           {"chardepth", 1, 1},
                           {"charvipposy", 1, 1},
                           {"charvipdepth", 1, 1},
                           {"chairposy", 1, 1},
                           {"chairdepth", 1, 1},
                           {"seat", 4, 9},
                           {"vipseat", 5, 9},
                           {"actionspot", 7, 8},
                           {"start", 3, 3},
                           {"path", 3, 1 << 20},
                           {"seagull", 5, 5},
                           {"emitter", 4, 4}};

const char* const s_apszSpotTypes[] = {"glassspot", "trashbin", "propdispenser", "liquid", "beverage"};

class Reader {
public:
    Reader(const char* pszFile, SceneData& scene) : m_pszFile(pszFile), m_scene(scene) {}

    void readLine(const Tsl::String& sRaw, int nLine);
    void finish(int nLastLine);

private:
    [[noreturn]] void fail(const char* pszFormat, ...) const
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    const Tsl::String& tok(int i) const { return m_aTokens[i]; }
    int count() const { return static_cast<int>(m_aTokens.size()) - 1; }
    int number(int i) const;
    float real(int i) const;
    int heading(int i) const;
    Tsl::String slot(int i) const;
    void readVisual();
    void readPicture(SceneVisual& v);
    void readFigure(SceneVisual& v);
    void readChange(SceneVisual& v);
    void readPlace(SceneVisual& v, int nFirst);
    void nameSprite(int i, bool bAnimated, SceneVisual& visual);
    SceneVisual::Anchor anchor(int i, const char* pszFarEdge, int& nNumber) const;
    void readOurs();
    void readSpot(int nFirst, bool bConditional);
    void readSeat();

    const char* m_pszFile;
    SceneData& m_scene;
    std::vector<Tsl::String> m_aTokens;
    int m_nLine = 0;
    int m_nStartLine = 0;
    int m_nFloorLine = 0;
    Tsl::Hash<Tsl::String, bool> m_hNames{97};  // the sprites named so far: animated?
};

void Reader::fail(const char* pszFormat, ...) const {
    va_list args;
    va_start(args, pszFormat);
    Tsl::String sWhat = Tsl::String::formatV(pszFormat, args);
    va_end(args);
    Tsl::String sMessage = Tsl::String::format("%s, line %d: %s", m_pszFile, m_nLine, sWhat.c_str());
    throw SceneParserException(m_pszFile, m_nLine, sMessage);
}

int Reader::number(int i) const {
    if (i > count()) fail("%s needs a token %d", tok(0).c_str(), i);
    const char* psz = tok(i).c_str();
    char* pszEnd = nullptr;
    errno = 0;
    long n = std::strtol(psz, &pszEnd, 10);
    if (*psz == '\0' || *pszEnd != '\0' || errno != 0 || n < -MAX_COORDINATE || n > MAX_COORDINATE)
        fail("%s: '%s' is not a number", tok(0).c_str(), psz);
    return static_cast<int>(n);
}

float Reader::real(int i) const {
    const char* psz = tok(i).c_str();
    char* pszEnd = nullptr;
    float f = std::strtof(psz, &pszEnd);
    if (*psz == '\0' || *pszEnd != '\0' || !std::isfinite(f) || std::fabs(f) > 100.0f)
        fail("%s: '%s' is not a scale", tok(0).c_str(), psz);
    return f;
}

int Reader::heading(int i) const {
    const Tsl::String& s = tok(i);
    const char* const apszWords[] = {"n", "e", "s", "w"};
    for (int h = 0; h < 4; ++h)
        if (s == apszWords[h] || s == Tsl::String::format("%d", h)) return h;
    fail("%s: '%s' is not a heading (0-3 or n, e, s, w)", tok(0).c_str(), s.c_str());
}

Tsl::String Reader::slot(int i) const {
    if (UpgradeManager::getSlotKind(tok(i)) < 0) fail("%s: unknown upgrade slot '%s'", tok(0).c_str(), tok(i).c_str());
    return tok(i);
}

void Reader::readLine(const Tsl::String& sRaw, int nLine) {
    m_nLine = nLine;
    Tsl::String sLine = sRaw;
    int nComment = sLine.find('#');
    if (nComment >= 0) sLine = sLine.left(nComment);
    sLine = sLine.trim();
    if (sLine.isEmpty()) return;
    m_aTokens.clear();
    for (const Tsl::String& s : sLine.split(" \t\r"))
        if (!s.isEmpty()) m_aTokens.push_back(s);
    m_aTokens[0] = m_aTokens[0].toLower();
    const Shape* pShape = nullptr;
    for (const Shape& shape : s_aShapes)
        if (tok(0) == shape.pszKeyword) pShape = &shape;
    if (!pShape) fail("unknown keyword '%s'", tok(0).c_str());
    if (count() < pShape->nLeast || count() > pShape->nMost)
        fail("%s takes %d to %d tokens, not %d", tok(0).c_str(), pShape->nLeast, pShape->nMost, count());
    if (m_scene.m_lVisuals.getCount() + m_scene.m_lSpots.getCount() + m_scene.m_lSeats.getCount() >
        SceneData::MAX_ITEMS)
        fail("more than %d items", int(SceneData::MAX_ITEMS));
    readOurs();
}

// What a line that names a sprite gave it: an animated sprite can play a sequence.
void Reader::nameSprite(int i, bool bAnimated, SceneVisual& visual) {
    if (count() < i) return;
    visual.m_sName = tok(i);
    m_hNames.set(tok(i), bAnimated);
}

SceneVisual::Anchor Reader::anchor(int i, const char* pszFarEdge, int& nNumber) const {
    if (tok(i) == "center") return SceneVisual::AT_CENTER;
    if (tok(i) == pszFarEdge) return SceneVisual::AT_END;
    nNumber = number(i);
    return SceneVisual::AT_NUMBER;
}

void Reader::readPlace(SceneVisual& v, int nFirst) {
    v.m_nX = number(nFirst);
    v.m_nY = number(nFirst + 1);
    v.m_nZ = number(nFirst + 2);
}

// The lines of pictures and animations that stand on the field.
void Reader::readPicture(SceneVisual& v) {
    const Tsl::String& k = tok(0);
    v.m_sResource = tok(1);
    readPlace(v, 2);
    if (k == "sprite_repeat") {
        v.m_eKind = SceneVisual::SPRITE_REPEAT;
        v.m_nCount = number(5);
        v.m_nStep = number(6);
        if (v.m_nCount < 0 || v.m_nCount > SceneData::MAX_REPEAT)
            fail("sprite_repeat: count %d outside 0-%d", v.m_nCount, int(SceneData::MAX_REPEAT));
        nameSprite(7, false, v);
    } else if (k == "sprite_conditional") {
        v.m_eKind = SceneVisual::SPRITE_CONDITIONAL;
        v.m_sSlot = slot(5);
        nameSprite(6, false, v);
    } else if (k == "animsprite_conditional") {
        v.m_eKind = SceneVisual::ANIMSPRITE_CONDITIONAL;
        v.m_sSlot = slot(6);
        nameSprite(5, true, v);
    } else {
        v.m_eKind = k == "sprite" ? SceneVisual::SPRITE : SceneVisual::ANIMSPRITE;
        nameSprite(5, k == "animsprite", v);
    }
}

// The figures: people and the parrot, furnished by the upgrades.
void Reader::readFigure(SceneVisual& v) {
    const Tsl::String& k = tok(0);
    if (k == "parrot") {
        v.m_eKind = SceneVisual::PARROT;
        readPlace(v, 1);
        // The bird comes with its stand.
        v.m_sSlot = PARROT_STAND_SLOT;
    } else if (k == "barman") {
        v.m_eKind = SceneVisual::BARMAN;
        readPlace(v, 1);
        v.m_nVariant = number(4);
        v.m_sSlot = slot(5);
    } else if (k == "bongos") {
        v.m_eKind = SceneVisual::BONGOS;
        readPlace(v, 1);
        v.m_sWord = tok(4);
        v.m_sSlot = slot(5);
    } else {
        v.m_eKind = SceneVisual::BAILARINA;
        v.m_nX = number(1);
        v.m_nY = number(2);
        v.m_bFlip = number(3) != 0;
        v.m_nVariant = number(4);
        v.m_nZ = number(5) + DANCER_DEPTH_BELOW;
        v.m_sWord = tok(6);
        v.m_sSlot = slot(7);
    }
}

// The lines that change a sprite named before.
void Reader::readChange(SceneVisual& v) {
    const Tsl::String& k = tok(0);
    v.m_sName = tok(1);
    v.m_eKind = k == "scale_anim" ? SceneVisual::SCALE : k == "playsequence" ? SceneVisual::PLAY : SceneVisual::FLIP;
    // The safe form may name a sprite its place does not build.
    if (k == "flipsafe") return;
    if (!m_hNames.hasKey(tok(1))) fail("%s: no sprite named '%s' before", k.c_str(), tok(1).c_str());
    if (v.m_eKind == SceneVisual::SCALE) {
        v.m_fScaleX = real(2);
        v.m_fScaleY = real(3);
    } else if (v.m_eKind == SceneVisual::PLAY) {
        if (!m_hNames.get(tok(1))) fail("playsequence: '%s' is not animated", tok(1).c_str());
        v.m_sWord = tok(2);
    }
}

void Reader::readVisual() {
    const Tsl::String& k = tok(0);
    SceneVisual v;
    v.m_nLine = m_nLine;
    if (k == "image" || k == "animation" || k == "hflip") {
        v.m_eKind = k == "image" ? SceneVisual::IMAGE : k == "animation" ? SceneVisual::ANIMATION : SceneVisual::HFLIP;
        v.m_sResource = tok(1);
    } else if (k == "clone") {
        v.m_eKind = SceneVisual::CLONE;
        v.m_sResource = tok(1);
        v.m_sName = count() > 1 ? tok(2) : tok(1);
    } else if (k == "inspos") {
        v.m_eKind = SceneVisual::INSPOS;
        v.m_eAnchorX = anchor(1, "right", v.m_nX);
        v.m_eAnchorY = anchor(2, "bottom", v.m_nY);
        v.m_sResource = tok(3);
    } else if (k == "sprite" || k == "animsprite" || k == "sprite_repeat" || k == "sprite_conditional" ||
               k == "animsprite_conditional") {
        readPicture(v);
    } else if (k == "parrot" || k == "barman" || k == "bongos" || k == "bailarina") {
        readFigure(v);
    } else if (k == "flip" || k == "flipsafe" || k == "scale_anim" || k == "playsequence") {
        readChange(v);
    } else if (k == "seagull") {
        v.m_eKind = SceneVisual::SEAGULL;
        readPlace(v, 1);
        v.m_bFast = number(4) != 0;
        v.m_bWander = number(5) != 0;
    } else {
        v.m_eKind = SceneVisual::EMITTER;
        v.m_sResource = tok(1);
        readPlace(v, 2);
    }
    m_scene.m_lVisuals.append(v);
}

void Reader::readSpot(int nFirst, bool bConditional) {
    SceneSpot spot;
    spot.m_sType = tok(nFirst).toLower();
    bool bKnown = false;
    for (const char* pszType : s_apszSpotTypes) bKnown |= spot.m_sType == pszType;
    if (!bKnown) fail("unknown action spot type '%s'", spot.m_sType.c_str());
    spot.m_nX = number(nFirst + 1);
    spot.m_nY = number(nFirst + 2);
    spot.m_nZ = number(nFirst + 3);
    spot.m_nUseX = number(nFirst + 4);
    spot.m_nUseY = number(nFirst + 5);
    spot.m_nHeading = heading(nFirst + 6);
    bool bDrink = spot.m_sType == "liquid" || spot.m_sType == "beverage";
    int nRest = count() - (nFirst + 6) - (bConditional ? 1 : 0);
    if (nRest != (bDrink ? 1 : 0)) fail("%s %s: wrong number of tokens", tok(0).c_str(), spot.m_sType.c_str());
    if (bDrink) {
        spot.m_nDrink = number(nFirst + 7);
        if (spot.m_nDrink < 0 || spot.m_nDrink >= MAX_DRINKS)
            fail("drink %d outside 0-%d", spot.m_nDrink, MAX_DRINKS - 1);
    }
    if (bConditional) spot.m_sSlot = slot(count());
    m_scene.m_lSpots.append(spot);
    if (!bConditional) return;
    // Its place in the file's order, for a picture of the scene without the play.
    SceneVisual visual;
    visual.m_eKind = SceneVisual::SPOT_CONDITIONAL;
    visual.m_nLine = m_nLine;
    visual.m_sResource = spot.m_sType;
    visual.m_nX = spot.m_nX;
    visual.m_nY = spot.m_nY;
    visual.m_nZ = spot.m_nZ;
    visual.m_sSlot = spot.m_sSlot;
    visual.m_nSpot = m_scene.m_lSpots.getCount() - 1;
    m_scene.m_lVisuals.append(visual);
}

void Reader::readSeat() {
    SceneSeat seat;
    seat.m_nX = number(1);
    seat.m_nUseX = number(2);
    seat.m_nUseY = number(3);
    seat.m_nHeading = heading(4);
    seat.m_bVip = tok(0) == "vipseat";
    int nNext = 5;
    if (seat.m_bVip) {
        seat.m_nVipSide = number(nNext++);
        if (seat.m_nVipSide != 0 && seat.m_nVipSide != 1) fail("vipseat: side %d is not 0 or 1", seat.m_nVipSide);
    } else if (count() >= nNext && tok(nNext) != "glass") {
        seat.m_sSlot = slot(nNext++);
        if (seat.m_sSlot.left(6) != "silla_") fail("seat: slot '%s' is not a chair", seat.m_sSlot.c_str());
    }
    if (count() >= nNext) {
        if (tok(nNext) != "glass" || count() != nNext + 3)
            fail("%s: '%s' where \"glass X Y Z\" or the end of the line belongs", tok(0).c_str(), tok(nNext).c_str());
        seat.m_bHasGlass = true;
        seat.m_nGlassX = number(nNext + 1);
        seat.m_nGlassY = number(nNext + 2);
        seat.m_nGlassZ = number(nNext + 3);
    }
    m_scene.m_lSeats.append(seat);
}

void Reader::readOurs() {
    const Tsl::String& k = tok(0);
    if (k == "walkarea") {
        WalkArea area{number(1), number(2), number(3), number(4), number(5)};
        if (area.m_nRight <= area.m_nLeft || area.m_nBottom <= area.m_nTop) fail("walkarea: an empty rectangle");
        m_scene.m_lWalkAreas.append(area);
    } else if (k == "topy") {
        m_scene.m_nTopY = number(1);
        m_scene.m_bHasTop = true;
        m_nFloorLine = m_nLine;
    } else if (k == "bottomy") {
        m_scene.m_nBottomY = number(1);
        m_scene.m_bHasBottom = true;
        m_nFloorLine = m_nLine;
    } else if (k == "charposy") {
        m_scene.m_nCharPosY = number(1);
    } else if (k == "chardepth") {
        m_scene.m_nCharDepth = number(1);
    } else if (k == "charvipposy") {
        m_scene.m_nVipPosY = number(1);
    } else if (k == "charvipdepth") {
        m_scene.m_nVipDepth = number(1);
    } else if (k == "chairposy" || k == "chairdepth") {
        (k == "chairposy" ? m_scene.m_nChairPosY : m_scene.m_nChairDepth) = number(1);
        m_scene.m_bHasChairPlace = true;
    } else if (k == "seat" || k == "vipseat") {
        readSeat();
    } else if (k == "actionspot") {
        readSpot(1, false);
    } else if (k == "actionspot_conditional") {
        readSpot(1, true);
    } else if (k == "start") {
        m_scene.m_nStartX = number(1);
        m_scene.m_nStartY = number(2);
        m_scene.m_nStartHeading = heading(3);
        m_scene.m_bHasStart = true;
        m_nStartLine = m_nLine;
    } else if (k == "path") {
        if (count() % 2 != 1) fail("path: points come in pairs");
        ScenePath path;
        path.m_sName = tok(1);
        for (int i = 2; i < count(); i += 2) path.m_lPoints.append(PathWaypoint(number(i), number(i + 1)));
        m_scene.m_lPaths.append(path);
    } else {
        readVisual();
    }
}

void Reader::finish(int nLastLine) {
    if (!m_scene.m_bHasTop || !m_scene.m_bHasBottom) {
        m_nLine = nLastLine;
        fail("the floor needs topy and bottomy");
    }
    if (m_scene.m_nBottomY <= m_scene.m_nTopY) {
        m_nLine = m_nFloorLine;
        fail("bottomy %d is not below topy %d", m_scene.m_nBottomY, m_scene.m_nTopY);
    }
    if (!m_scene.m_bHasStart) {
        m_nLine = nLastLine;
        fail("no start line for the waitress");
    }
    if (m_scene.getWalkAreaDepth(m_scene.m_nStartX, m_scene.m_nStartY) < 0) {
        m_nLine = m_nStartLine;
        fail("start %d %d is outside every walk area", m_scene.m_nStartX, m_scene.m_nStartY);
    }
}

}  // namespace

int SceneData::getWalkAreaDepth(int nX, int nY) const {
    for (const WalkArea& a : m_lWalkAreas)
        if (nX >= a.m_nLeft && nX < a.m_nRight && nY >= a.m_nTop && nY < a.m_nBottom) return a.m_nDepth;
    return -1;
}

namespace {

// Every line in turn; without a list for the faults the first one is raised.
SceneData readScene(const char* pszFile, const Tsl::String& sText, Tsl::List<Tsl::String>* plFaults) {
    SceneData scene;
    scene.m_sFile = pszFile;
    Reader reader(pszFile, scene);
    int nLine = 0, nStart = 0, nLength = sText.getLength();
    while (nStart < nLength) {
        int nEnd = sText.find('\n', nStart);
        if (nEnd < 0) nEnd = nLength;
        try {
            reader.readLine(Tsl::String(sText.c_str() + nStart, nEnd - nStart), ++nLine);
        } catch (const SceneParserException& e) {
            if (!plFaults) throw;
            plFaults->append(e.getMessage());
        }
        nStart = nEnd + 1;
    }
    if (!plFaults) reader.finish(nLine);
    return scene;
}

}  // namespace

SceneData parseScene(const char* pszFile, const Tsl::String& sText) {
    TSL_TRACE();
    return readScene(pszFile, sText, nullptr);
}

SceneData parseSceneLines(const char* pszFile, const Tsl::String& sText, Tsl::List<Tsl::String>& lFaults) {
    TSL_TRACE();
    return readScene(pszFile, sText, &lFaults);
}
