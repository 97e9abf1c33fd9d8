#pragma once

#include "tsl2/error.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

// A fault in a ".scene" file; the message names the file and the line.
class SceneParserException : public Tsl::Exception {
public:
    SceneParserException(const char* pszFile, int nLine, const char* pszMessage)
        : Tsl::Exception(pszFile, nLine, pszMessage) {}
    const char* getTypeName() const override { return "SceneParserException"; }
};

// One point of a named path or a walk route.
struct PathWaypoint {
    int m_nX = 0;
    int m_nY = 0;
    PathWaypoint() {}
    PathWaypoint(int nX, int nY) : m_nX(nX), m_nY(nY) {}
    bool operator==(const PathWaypoint& o) const { return m_nX == o.m_nX && m_nY == o.m_nY; }
};

// A floor rectangle the waitress may walk on (left <= x < right, top <= y <
// bottom); its depth is her z-order there.
struct WalkArea {
    int m_nLeft, m_nTop, m_nRight, m_nBottom, m_nDepth;
};

// A seat: where the customer sits (x; y and depth come from "charposy" and
// "chardepth", "chairposy" and "chairdepth" for a chair, or the VIP forms),
// where the waitress stands to serve, and where its glass stands.
struct SceneSeat {
    int m_nX = 0;
    int m_nUseX = 0, m_nUseY = 0, m_nHeading = 0;
    bool m_bVip = false;
    int m_nVipSide = 1;
    Tsl::String m_sSlot;  // empty: always there
    bool m_bHasGlass = false;  // else the glass stands where the guest does
    int m_nGlassX = 0, m_nGlassY = 0, m_nGlassZ = 0;
};

// A spot of a type the play field builds ("glassspot", "trashbin",
// "propdispenser", "liquid", "beverage"), with its drink for the last two.
struct SceneSpot {
    Tsl::String m_sType;
    int m_nX = 0, m_nY = 0, m_nZ = 0;
    int m_nUseX = 0, m_nUseY = 0, m_nHeading = 0;
    int m_nDrink = 0;
    Tsl::String m_sSlot;
};

struct ScenePath {
    Tsl::String m_sName;
    Tsl::List<PathWaypoint> m_lPoints;
};

// A line that declares, places or changes a picture, read and checked; the
// builders replay them in the file's order.
struct SceneVisual {
    enum Kind {
        IMAGE,                   // image NAME
        ANIMATION,               // animation NAME
        CLONE,                   // clone NAME [COPY]: a private copy, under NAME again or under COPY
        HFLIP,                   // hflip NAME
        INSPOS,                  // inspos X Y NAME (X: a number, center or right; Y: a number, center or bottom)
        SPRITE,                  // sprite NAME X Y Z [SPRITE]
        SPRITE_REPEAT,           // sprite_repeat NAME X Y Z COUNT STEP [SPRITE]; the name is the first copy's
        ANIMSPRITE,              // animsprite NAME X Y Z [SPRITE]
        SPRITE_CONDITIONAL,      // sprite_conditional NAME X Y Z SLOT [SPRITE]
        ANIMSPRITE_CONDITIONAL,  // animsprite_conditional NAME X Y Z SPRITE SLOT
        SPOT_CONDITIONAL,        // actionspot_conditional: the spot's place, for a picture of it
        BARMAN,                  // barman X Y Z LOOK SLOT
        BONGOS,                  // bongos X Y Z TEXT SLOT
        BAILARINA,               // bailarina X Y FLIP FRAME Z PARAM SLOT; Z is her depth less 10
        PARROT,                  // parrot X Y Z: on the parrot stand
        FLIP,                    // flip SPRITE / flipsafe SPRITE (the latter when the sprite is not built)
        SCALE,                   // scale_anim SPRITE SX SY
        PLAY,                    // playsequence SPRITE SEQUENCE: an animated sprite
        SEAGULL,                 // seagull X Y Z FAST WANDER
        EMITTER                  // emitter FILE X Y Z
    };
    // How an insertion point's coordinate is given: the number, the middle
    // or the far edge (right, bottom) of the picture.
    enum Anchor { AT_NUMBER, AT_CENTER, AT_END };

    Kind m_eKind = IMAGE;
    int m_nLine = 0;
    Tsl::String m_sResource;  // the picture, animation or emitter file the line uses
    Tsl::String m_sName;      // the sprite the line names or changes; the clone's copy
    Tsl::String m_sSlot;      // the upgrade slot that furnishes it; empty for none
    Tsl::String m_sWord;      // the sequence to play, the drummer's text, the dancer's parameter
    int m_nX = 0, m_nY = 0, m_nZ = 0;
    int m_nCount = 1, m_nStep = 0;  // copies side by side
    int m_nVariant = 0;             // the barman's look, the dancer's first frame
    bool m_bFlip = false, m_bFast = false, m_bWander = false;
    Anchor m_eAnchorX = AT_NUMBER, m_eAnchorY = AT_NUMBER;
    float m_fScaleX = 1.0f, m_fScaleY = 1.0f;
    int m_nSpot = -1;  // SPOT_CONDITIONAL: the spot in SceneData::m_lSpots
};

// What one ".scene" file says. Lines are "keyword tokens...", "#" starts a
// comment. Besides the picture lines, ours:
//   walkarea L T R B DEPTH        topy N / bottomy N (bottom below top)
//   charposy N / chardepth N / charvipposy N / charvipdepth N
//   chairposy N / chairdepth N (guests on chairs; default the bar's)
//   seat X USEX USEY HEADING [SLOT] [glass X Y Z]
//   vipseat X USEX USEY HEADING SIDE [glass X Y Z]
//   actionspot TYPE X Y Z USEX USEY HEADING [DRINK]  (_conditional: + SLOT)
//   start X Y HEADING (inside a walk area)      path NAME X Y [X Y ...]
//   seagull X Y Z FAST WANDER     emitter FILE X Y Z
// Headings are 0-3 or n, e, s, w.
struct SceneData {
    enum { MAX_REPEAT = 64, MAX_ITEMS = 4096 };
    Tsl::String m_sFile;
    int m_nTopY = 0, m_nBottomY = 0;
    int m_nCharPosY = 0, m_nCharDepth = 0, m_nVipPosY = 0, m_nVipDepth = 0;
    bool m_bHasChairPlace = false;
    int m_nChairPosY = 0, m_nChairDepth = 0;
    bool m_bHasTop = false, m_bHasBottom = false, m_bHasStart = false;
    int m_nStartX = 0, m_nStartY = 0, m_nStartHeading = 2;
    Tsl::List<WalkArea> m_lWalkAreas;
    Tsl::List<SceneSeat> m_lSeats;
    Tsl::List<SceneSpot> m_lSpots;
    Tsl::List<ScenePath> m_lPaths;
    Tsl::List<SceneVisual> m_lVisuals;

    // The depth of the first walk area holding the point, -1 when none.
    int getWalkAreaDepth(int nX, int nY) const;
};

// Reads a scene's text; every fault raises SceneParserException naming the
// file and the line.
SceneData parseScene(const char* pszFile, const Tsl::String& sText);
// Reads what it can of a scene for a picture of it: a faulty line is left
// out and its message (file and line first) kept in lFaults, and the scene
// need not be playable (a floor and a start).
SceneData parseSceneLines(const char* pszFile, const Tsl::String& sText, Tsl::List<Tsl::String>& lFaults);
