// The pieces that many pictures share: the beach behind everything, palms,
// paper, wood, glasses, flowers.
#include "generator.h"

#include <cmath>

namespace Palette {
const Rgba SKY_TOP(70, 150, 225), SKY_BOTTOM(190, 230, 250), SEA(40, 170, 200), SEA_DEEP(20, 110, 170),
    SAND(240, 215, 160), SAND_DARK(215, 185, 125), WOOD(165, 110, 60), WOOD_DARK(110, 70, 35), LEAF(60, 160, 70),
    LEAF_DARK(30, 110, 50), PAPER(250, 240, 210), PAPER_EDGE(200, 170, 120), INK(60, 40, 25), WHITE(255, 255, 255),
    GOLD(250, 200, 60), CORAL(245, 110, 90), TURQUOISE(60, 200, 190);
} // namespace Palette

namespace {
const float PI = 3.14159265f;
}

namespace Art {

void beachBackdrop(Canvas& c, int nHorizon, int nShore, Generator& gen) {
    using namespace Palette;
    c.gradientRect(0, 0, c.width(), nHorizon, SKY_TOP, SKY_BOTTOM);
    c.gradientRect(0, nHorizon, c.width(), nShore - nHorizon, SEA_DEEP, SEA);
    // Wave crests on the sea.
    for (int i = 0; i < 30; ++i) {
        float x = gen.rnd(0, c.width()), y = gen.rnd(nHorizon + 4, nShore - 4);
        c.line(x, y, x + gen.rnd(10, 30), y, 1.5f, WHITE.withAlpha(110));
    }
    c.gradientRect(0, nShore, c.width(), c.height() - nShore, SAND, SAND_DARK);
    // The wet edge of the beach.
    for (int x = 0; x < c.width(); x += 4)
        c.fillRect(x, nShore + 2 * std::sin(x * 0.05f), 4, 5, Rgba(255, 255, 255, 150));
    for (int i = 0; i < 60; ++i)
        c.ellipse(gen.rnd(0, c.width()), gen.rnd(nShore + 10, c.height()), 1.5f, 1, SAND_DARK.shade(-0.15f));
}

void palm(Canvas& c, float x, float yBase, float fHeight, float fLean) {
    using namespace Palette;
    float xTop = x + fLean, yTop = yBase - fHeight;
    for (int i = 0; i < 10; ++i) {
        float t0 = i / 10.0f, t1 = (i + 1) / 10.0f;
        float w = 9 - 3 * t0;
        Rgba bark = i % 2 ? WOOD : WOOD.shade(-0.15f);
        c.line(x + (xTop - x) * t0 * t0, yBase - fHeight * t0, x + (xTop - x) * t1 * t1, yBase - fHeight * t1, w, bark);
    }
    for (int i = 0; i < 7; ++i) {
        float a = PI * (0.95f + i * 0.18f);
        float ex = xTop + std::cos(a) * fHeight * 0.45f, ey = yTop + std::sin(a) * fHeight * 0.2f + fHeight * 0.12f;
        std::vector<Pt> leaf = {{xTop, yTop}, {(xTop + ex) / 2, (yTop + ey) / 2 - 10}, {ex, ey},
                                {(xTop + ex) / 2, (yTop + ey) / 2 + 2}};
        c.polygon(leaf, i % 2 ? LEAF : LEAF_DARK);
    }
    c.ball(xTop - 4, yTop + 4, 4, 4, Rgba(120, 80, 40));
    c.ball(xTop + 4, yTop + 5, 4, 4, Rgba(120, 80, 40));
}

void sun(Canvas& c, float x, float y, float r) {
    c.ellipse(x, y, r * 1.6f, r * 1.6f, Rgba(255, 240, 150, 60));
    c.ellipse(x, y, r, r, Rgba(255, 220, 90));
}

void cloud(Canvas& c, float x, float y, float s) {
    Rgba white(255, 255, 255, 230);
    c.ellipse(x, y, 30 * s, 14 * s, white);
    c.ellipse(x - 22 * s, y + 4 * s, 20 * s, 11 * s, white);
    c.ellipse(x + 24 * s, y + 3 * s, 22 * s, 12 * s, white);
    c.ellipse(x + 2 * s, y - 9 * s, 18 * s, 12 * s, white);
}

void paperPanel(Canvas& c, float x, float y, float w, float h) {
    using namespace Palette;
    c.roundRect(x + 4, y + 5, w, h, 14, Rgba(0, 0, 0, 70));
    c.roundRect(x, y, w, h, 14, PAPER_EDGE);
    c.roundRect(x + 3, y + 3, w - 6, h - 6, 12, PAPER);
    c.gradientRect(x + 3, y + h * 0.7f, w - 6, h * 0.3f - 8, PAPER.withAlpha(0), PAPER.shade(-0.06f));
}

void woodBoard(Canvas& c, float x, float y, float w, float h) {
    using namespace Palette;
    c.roundRect(x, y, w, h, 6, WOOD_DARK);
    c.roundRect(x + 3, y + 3, w - 6, h - 6, 5, WOOD);
    c.stripes(x + 6, y + 5, w - 12, h - 10, 7, WOOD.shade(-0.18f));
    for (float nx : {x + 8, x + w - 8}) c.ellipse(nx, y + h / 2, 2.5f, 2.5f, Rgba(80, 80, 90));
}

// How high each kind of glass stands: tumbler, cocktail glass, tall glass.
const float GLASS_RIM_HEIGHTS[] = {26, 30, 34};

void glass(Canvas& c, float cx, float yBottom, float s, int nKind, const Rgba& drink, float fFill) {
    Rgba glassEdge(210, 235, 245, 230), glassBody(220, 240, 250, 90);
    switch (nKind % 3) {
    case 0: { // tumbler
        float w = 14 * s, h = GLASS_RIM_HEIGHTS[0] * s;
        c.polygon({{cx - w, yBottom - h}, {cx + w, yBottom - h}, {cx + w * 0.8f, yBottom}, {cx - w * 0.8f, yBottom}},
                  glassBody);
        if (fFill > 0) {
            float fTop = yBottom - h * fFill * 0.9f;
            float wTop = w * 0.8f + (w - w * 0.8f) * fFill * 0.9f;
            c.polygon({{cx - wTop, fTop}, {cx + wTop, fTop}, {cx + w * 0.8f, yBottom}, {cx - w * 0.8f, yBottom}},
                      drink);
        }
        c.line(cx - w, yBottom - h, cx - w * 0.8f, yBottom, 1.5f * s, glassEdge);
        c.line(cx + w, yBottom - h, cx + w * 0.8f, yBottom, 1.5f * s, glassEdge);
        c.line(cx - w * 0.8f, yBottom, cx + w * 0.8f, yBottom, 2 * s, glassEdge);
        break;
    }
    case 1: { // cocktail glass on a stem
        float w = 16 * s, h = 14 * s;
        float yCup = yBottom - (GLASS_RIM_HEIGHTS[1] - 14) * s;
        c.polygon({{cx - w, yCup - h}, {cx + w, yCup - h}, {cx, yCup}}, glassBody);
        if (fFill > 0) c.polygon({{cx - w * fFill, yCup - h * fFill}, {cx + w * fFill, yCup - h * fFill}, {cx, yCup}}, drink);
        c.line(cx, yCup, cx, yBottom, 2 * s, glassEdge);
        c.line(cx - 8 * s, yBottom, cx + 8 * s, yBottom, 2 * s, glassEdge);
        c.line(cx - w, yCup - h, cx + w, yCup - h, 1.2f * s, glassEdge);
        break;
    }
    default: { // tall glass with a straw
        float w = 9 * s, h = GLASS_RIM_HEIGHTS[2] * s;
        c.fillRect(cx - w, yBottom - h, 2 * w, h, glassBody);
        if (fFill > 0) c.fillRect(cx - w, yBottom - h * fFill * 0.9f, 2 * w, h * fFill * 0.9f, drink);
        c.line(cx - w, yBottom - h, cx - w, yBottom, 1.5f * s, glassEdge);
        c.line(cx + w, yBottom - h, cx + w, yBottom, 1.5f * s, glassEdge);
        c.line(cx - w, yBottom, cx + w, yBottom, 2 * s, glassEdge);
        if (fFill > 0) c.line(cx + 2 * s, yBottom - h * 0.6f, cx + w + 5 * s, yBottom - h - 8 * s, 2 * s, Palette::CORAL);
        break;
    }
    }
}

const char* const DRINKS[] = {"orange", "berry", "lime", "pineapple", "cola", "curacao", "coconut", "grape"};
const int DRINK_COUNT = 8;

// What the prop dispenser puts on a full glass: a paper umbrella leaning out
// of the rim and a slice of orange hooked on its edge, both bright against
// any drink so that the bonus they earn is seen at the glass's small size.
// Laid down, the umbrella opens beside the rim instead of above it.
void decoration(Canvas& c, float cx, float yBottom, float s, int nKind, bool bLaidDown) {
    using namespace Palette;
    float yRim = yBottom - GLASS_RIM_HEIGHTS[nKind % 3] * s;
    float xTop = cx + (bLaidDown ? 15 : 9) * s, yTop = yRim + (bLaidDown ? 3 : -11) * s;
    c.line(cx + 2 * s, yRim + 8 * s, xTop, yTop, 1.6f * s, WOOD_DARK);
    // The canopy: a fan of alternating panels over the stick's top.
    const int PANELS = 6;
    float r = 10 * s;
    for (int i = 0; i < PANELS; ++i) {
        float a0 = 3.4f + i * 2.9f / PANELS, a1 = 3.4f + (i + 1) * 2.9f / PANELS;
        c.polygon({{xTop, yTop}, {xTop + r * std::cos(a0), yTop + r * 0.8f * std::sin(a0)},
                   {xTop + r * std::cos(a1), yTop + r * 0.8f * std::sin(a1)}},
                  i % 2 ? WHITE : CORAL);
    }
    c.ellipse(xTop, yTop - 1 * s, 1.4f * s, 1.4f * s, GOLD);
    // The slice on the rim's other side.
    float xSlice = cx - 8 * s;
    c.ellipse(xSlice, yRim, 5 * s, 5 * s, Rgba(250, 160, 30));
    c.ellipse(xSlice, yRim, 3.5f * s, 3.5f * s, Rgba(255, 215, 110));
    c.line(xSlice - 3.5f * s, yRim, xSlice + 3.5f * s, yRim, 0.8f * s, Rgba(250, 160, 30));
}

Rgba drinkColour(int nDrink) {
    static const Rgba COLOURS[] = {Rgba(250, 150, 40, 220), Rgba(235, 70, 120, 220), Rgba(130, 210, 80, 220),
                                   Rgba(250, 225, 80, 220), Rgba(110, 60, 30, 230),  Rgba(40, 140, 230, 220),
                                   Rgba(245, 245, 235, 230), Rgba(140, 60, 170, 220)};
    return COLOURS[nDrink % DRINK_COUNT];
}

void flower(Canvas& c, float cx, float cy, float r, const Rgba& petal, const Rgba& heart) {
    for (int i = 0; i < 5; ++i) {
        float a = i * 2 * PI / 5;
        c.ellipse(cx + std::cos(a) * r * 0.55f, cy + std::sin(a) * r * 0.55f, r * 0.5f, r * 0.5f, petal);
    }
    c.ellipse(cx, cy, r * 0.35f, r * 0.35f, heart);
}

void shell(Canvas& c, float cx, float cy, float r, const Rgba& colour) {
    std::vector<Pt> fan;
    fan.push_back({cx, cy + r * 0.8f});
    for (int i = 0; i <= 12; ++i) {
        float a = PI + i * PI / 12;
        fan.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r * 0.9f});
    }
    c.polygon(fan, colour);
    for (int i = 1; i < 6; ++i) {
        float a = PI + i * PI / 6;
        c.line(cx, cy + r * 0.8f, cx + std::cos(a) * r * 0.9f, cy + std::sin(a) * r * 0.8f, 1.2f, colour.shade(-0.3f));
    }
}

void frameBorder(Canvas& c, float fWidth, const Rgba& colour) {
    float w = c.width(), h = c.height();
    c.fillRect(0, 0, w, fWidth, colour);
    c.fillRect(0, h - fWidth, w, fWidth, colour);
    c.fillRect(0, 0, fWidth, h, colour);
    c.fillRect(w - fWidth, 0, fWidth, h, colour);
}

Canvas buttonFace(int w, int h, int nState, const Rgba& base, float fRadius) {
    Canvas c(w, h);
    Rgba face = nState == 1 ? base.shade(0.25f) : nState == 2 ? base.shade(-0.2f) : base;
    float fPush = nState == 2 ? 2 : 0;
    c.roundRect(1, 3, w - 2, h - 4, fRadius, Rgba(0, 0, 0, 90));
    c.roundRect(1, 1 + fPush, w - 2, h - 4, fRadius, face.shade(-0.45f));
    c.roundRect(3, 3 + fPush, w - 6, h - 8, fRadius - 2, face);
    if (nState != 2) c.roundRect(6, 4 + fPush, w - 12, (h - 8) * 0.4f, fRadius - 4, face.shade(0.3f).withAlpha(160));
    return c;
}

} // namespace Art
