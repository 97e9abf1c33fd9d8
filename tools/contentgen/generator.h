// What every part of the generator shares: the content set being filled,
// the caption drawer, a seeded random source and the shared drawing helpers.
#pragma once

#include "canvas.h"
#include "contentset.h"
#include "textdraw.h"

#include "tsl2/random.h"

#include <string>
#include <vector>

struct Generator {
    Generator(ContentSet& set, TextDrawer& text, unsigned int nSeed) : set(set), text(text), random(nSeed) {}

    ContentSet& set;
    TextDrawer& text;
    Tsl::Random random;

    float rnd(float fLow, float fHigh) { return static_cast<float>(random.getDouble(fLow, fHigh)); }
    int rndInt(int nLow, int nHigh) { return random.getInt(nLow, nHigh); }
};

// The palette of the beach bar.
namespace Palette {
extern const Rgba SKY_TOP, SKY_BOTTOM, SEA, SEA_DEEP, SAND, SAND_DARK, WOOD, WOOD_DARK, LEAF, LEAF_DARK, PAPER, PAPER_EDGE,
    INK, WHITE, GOLD, CORAL, TURQUOISE;
} // namespace Palette

// Shared pictures and pieces of pictures (art_common.cpp).
namespace Art {
// Sky, sea and sand behind the bar, horizon at the given height.
void beachBackdrop(Canvas& c, int nHorizon, int nShore, Generator& gen);
void palm(Canvas& c, float x, float yBase, float fHeight, float fLean);
void sun(Canvas& c, float x, float y, float r);
void cloud(Canvas& c, float x, float y, float fScale);
// A sheet of paper with a wavy rim: dialogs and panels.
void paperPanel(Canvas& c, float x, float y, float w, float h);
// A wooden sign board.
void woodBoard(Canvas& c, float x, float y, float w, float h);
// A glass with a drink; kind picks the shape, colour the drink.
void glass(Canvas& c, float cx, float yBottom, float fScale, int nKind, const Rgba& drink, float fFill);
// The decoration of a full glass of that kind, drawn over it; laid down, it
// keeps to the height of the glass.
void decoration(Canvas& c, float cx, float yBottom, float fScale, int nKind, bool bLaidDown = false);
// The drinks of the bar by number (the scenes' taps name them so): names
// for the pictures, and colours.
extern const char* const DRINKS[];
extern const int DRINK_COUNT;
Rgba drinkColour(int nDrink);
void flower(Canvas& c, float cx, float cy, float r, const Rgba& petal, const Rgba& heart);
void shell(Canvas& c, float cx, float cy, float r, const Rgba& colour);
// A frame around a whole picture, as pages and dialogs have.
void frameBorder(Canvas& c, float fWidth, const Rgba& colour);
// The three looks of a button: 0 normal, 1 highlighted, 2 pushed.
Canvas buttonFace(int w, int h, int nState, const Rgba& base, float fRadius);
} // namespace Art

// The parts of the generator, each adding its pictures and files.
void makeInterface(Generator& gen);
void makeScreens(Generator& gen);
void makeMap(Generator& gen);
void makeStore(Generator& gen);
void makeStoryPages(Generator& gen);
void makePeople(Generator& gen);
void makeWaitress(Generator& gen);
void makeScenes(Generator& gen);
void makeSounds(Generator& gen);
// After the pictures of the play field: the how-to pages are made of them.
void makeHowtoPages(Generator& gen);
