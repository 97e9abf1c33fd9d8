#include "scene.h"

#include "upgrademanager.h"

#include "tsl2/hash.h"

#include <cerrno>
#include <cstdarg>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

enum { MAX_COORDINATE = 1000000, MAX_DRINKS = 8 };

// Slot names and the kind that governs each, in the order they are searched.
struct SlotKind {
    const char* pszSlot;
    int nKind;
};
const SlotKind s_aSlots[] = {
    {"parrot_stand", 8},    {"juicer_0", 6},        {"juicer_1", 7},        {"silla_0", 2},    {"silla_1", 3},
    {"silla_2", 4},         {"silla_3", 5},         {"mesa_0", 2},          {"mesa_1", 4},     {"center_lvl_2_0", 10},
    {"center_lvl_1_0", 10}, {"center_lvl_2_1", 11}, {"center_lvl_1_1", 11}, {"barman_0", 6},   {"barman_1", 7},
    {"prop_dispenser", 9},  {"show_1", 12},         {"show_2", 12},         {"show_3", 12},    {"show_4", 12},
    {"mantel_0", 10},       {"mantel_1", 11},       {"juicer_0_a", 6},      {"juicer_1_a", 7}, {"barman_0_a", 6},
    {"barman_1_a", 7},      {"mantel_2", 10},       {"mantel_3", 11}};

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
    void checkVisual();
    void readOurs();
    void readSpot(int nFirst, bool bConditional);
    void readSeat();

    const char* m_pszFile;
    SceneData& m_scene;
    std::vector<Tsl::String> m_aTokens;
    int m_nLine = 0;
    int m_nStartLine = 0;
    int m_nFloorLine = 0;
    Tsl::Hash<Tsl::String, int> m_hNames{97};
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
    if (getSlotKind(tok(i)) < 0) fail("%s: unknown upgrade slot '%s'", tok(0).c_str(), tok(i).c_str());
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

void Reader::checkVisual() {
    const Tsl::String& k = tok(0);
    if (k == "inspos") {
        if (tok(1) != "center" && tok(1) != "right") number(1);
        if (tok(2) != "center" && tok(2) != "bottom") number(2);
    } else if (k == "sprite" || k == "animsprite" || k == "sprite_conditional" || k == "animsprite_conditional") {
        for (int i = 2; i <= 4; ++i) number(i);
        if (k == "sprite_conditional") slot(5);
        if (k == "animsprite_conditional") slot(6);
        int nNameAt = k == "sprite_conditional" ? 6 : k == "animsprite_conditional" ? 5 : 5;
        if (count() >= nNameAt) m_hNames.set(tok(nNameAt), 1);
    } else if (k == "sprite_repeat") {
        for (int i = 2; i <= 6; ++i) number(i);
        if (number(5) < 0 || number(5) > SceneData::MAX_REPEAT)
            fail("sprite_repeat: count %d outside 0-%d", number(5), int(SceneData::MAX_REPEAT));
        if (count() >= 7) m_hNames.set(tok(7), 1);
    } else if (k == "barman") {
        for (int i = 1; i <= 4; ++i) number(i);
        slot(5);
    } else if (k == "bongos") {
        for (int i = 1; i <= 3; ++i) number(i);
        slot(5);
    } else if (k == "bailarina") {
        for (int i = 1; i <= 5; ++i) number(i);
        slot(7);
    } else if (k == "parrot") {
        for (int i = 1; i <= 3; ++i) number(i);
    } else if (k == "flip" || k == "scale_anim" || k == "playsequence") {
        if (!m_hNames.hasKey(tok(1))) fail("%s: no sprite named '%s' before", k.c_str(), tok(1).c_str());
        if (k == "scale_anim") real(2), real(3);
    } else if (k == "seagull") {
        for (int i = 1; i <= 5; ++i) number(i);
    } else if (k == "emitter") {
        for (int i = 2; i <= 4; ++i) number(i);
    }
    SceneVisual visual;
    for (const Tsl::String& s : m_aTokens) visual.m_lTokens.append(s);
    visual.m_nLine = m_nLine;
    m_scene.m_lVisuals.append(visual);
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
        checkVisual();
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

SceneData parseScene(const char* pszFile, const Tsl::String& sText) {
    TSL_TRACE();
    SceneData scene;
    scene.m_sFile = pszFile;
    Reader reader(pszFile, scene);
    int nLine = 0, nStart = 0, nLength = sText.getLength();
    while (nStart < nLength) {
        int nEnd = sText.find('\n', nStart);
        if (nEnd < 0) nEnd = nLength;
        reader.readLine(Tsl::String(sText.c_str() + nStart, nEnd - nStart), ++nLine);
        nStart = nEnd + 1;
    }
    reader.finish(nLine);
    return scene;
}

int getSlotKind(const char* pszSlot) {
    for (const SlotKind& s : s_aSlots)
        if (std::strcmp(s.pszSlot, pszSlot) == 0) return s.nKind;
    return -1;
}

bool isSlotPresent(const char* pszSlot, const char* pszKeyword, const int* pnLevels) {
    UpgradeManager upgrades;
    auto v = [&](int nKind) { return upgrades.getValue(nKind, pnLevels[nKind]); };
    Tsl::String sSlot(pszSlot), sKeyword(pszKeyword);
    int nKind = getSlotKind(pszSlot);
    if (nKind < 0) return false;
    if (sSlot == "juicer_0" || sSlot == "juicer_1") return v(nKind) == 1;
    if (sSlot == "barman_0" || sSlot == "barman_1") {
        if (sKeyword == "actionspot_conditional") return v(nKind) == 2 || v(nKind) == 3;
        if (sKeyword == "animsprite_conditional") return v(nKind) == 2;
        if (sKeyword == "barman") return v(nKind) >= 2;
        return false;
    }
    if (sSlot.right(2) == "_a") return v(nKind) == 3;
    if (sSlot == "mesa_0") return v(2) == 1 || v(3) == 1;
    if (sSlot == "mesa_1") return v(4) == 1 || v(5) == 1;
    if (sSlot.left(5) == "show_") return pnLevels[12] >= (sSlot[5] - '0');
    if (sSlot == "center_lvl_2_0" || sSlot == "center_lvl_2_1" || sSlot == "mantel_2" || sSlot == "mantel_3")
        return v(nKind) == 2;
    return v(nKind) == 1;
}
