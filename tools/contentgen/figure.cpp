#include "figure.h"

#include <cmath>

namespace {
const Rgba OUTLINE(50, 30, 20);
}

FigureShape::FigureShape(bool bWomanFigure, int nBuildNumber) : bWoman(bWomanFigure), nBuild(nBuildNumber) {
    float fBroad = (nBuild - 1) * 5.0f;
    halfShoulder = (bWoman ? 15 : 18) + fBroad;
    halfWaist = (bWoman ? 10 : 15) + fBroad * (bWoman ? 0.8f : 1.4f);
    halfHip = (bWoman ? 16 : 15) + fBroad;
}

Rgba skinColour(char cSkin) {
    switch (cSkin) {
    case 'a': return Rgba(228, 182, 130);
    case 'b': return Rgba(135, 88, 58);
    default: return Rgba(250, 214, 186);
    }
}

Rgba hairColour(char cColour) {
    switch (cColour) {
    case 'b': return Rgba(120, 75, 35);
    case 'k': return Rgba(35, 30, 30);
    case 'r': return Rgba(200, 80, 30);
    case 'y': return Rgba(240, 205, 90);
    case 'j': return Rgba(160, 160, 170);
    default: return Rgba(90, 60, 120);
    }
}

namespace Figure {

void body(Canvas& c, const FigureShape& f, const Rgba& skin) {
    Canvas layer(c.width(), c.height());
    float cx = f.cx;
    // Legs.
    for (int s : {-1, 1}) {
        float x0 = cx + s * f.halfHip * 0.45f;
        layer.line(x0, f.hipY, cx + s * f.halfHip * 0.5f, f.footY - 6, f.halfHip * 0.75f, skin);
        layer.ellipse(cx + s * f.halfHip * 0.55f + s * 3, f.footY - 3, 8, 3.5f, skin.shade(-0.25f));
    }
    // Arms.
    for (int s : {-1, 1}) {
        float xs = cx + s * (f.halfShoulder - 3), xh = cx + s * (f.halfShoulder + 7);
        layer.line(xs, f.shoulderY + 3, xh, f.waistY + 6, 8 + f.nBuild, skin);
        layer.ellipse(xh, f.waistY + 8, 5, 5, skin);
    }
    // Torso.
    layer.polygon({{cx - f.halfShoulder, f.shoulderY}, {cx + f.halfShoulder, f.shoulderY}, {cx + f.halfWaist, f.waistY},
                   {cx + f.halfHip, f.hipY + 6}, {cx - f.halfHip, f.hipY + 6}, {cx - f.halfWaist, f.waistY}},
                  skin);
    layer.roundRect(cx - f.halfShoulder, f.shoulderY - 4, f.halfShoulder * 2, 12, 6, skin);
    // Neck and head.
    layer.fillRect(cx - 5, f.headY + 8, 10, f.shoulderY - f.headY - 6, skin);
    layer.ellipse(cx, f.headY, f.headR, f.headR + 2, skin);
    layer.ellipse(cx - f.headR, f.headY + 2, 3, 4, skin.shade(-0.1f));
    layer.ellipse(cx + f.headR, f.headY + 2, 3, 4, skin.shade(-0.1f));
    layer.outline(OUTLINE, 1.2f);
    // Face.
    for (int s : {-1, 1}) {
        layer.ellipse(cx + s * 5, f.headY - 1, 2.2f, 2.6f, Rgba(255, 255, 255));
        layer.ellipse(cx + s * 5, f.headY - 0.5f, 1.3f, 1.6f, Rgba(40, 30, 30));
    }
    layer.line(cx - 4, f.headY + 8, cx + 4, f.headY + 8, 1.5f, Rgba(170, 60, 60));
    if (f.bWoman) {
        layer.ellipse(cx - 8, f.headY + 5, 3, 2, Rgba(240, 120, 120, 90));
        layer.ellipse(cx + 8, f.headY + 5, 3, 2, Rgba(240, 120, 120, 90));
    }
    // Navel: shows where the clothes do not cover.
    layer.ellipse(cx, f.waistY - 4, 1.2f, 1.5f, skin.shade(-0.35f));
    c.draw(layer, 0, 0);
}

void shirtAndShorts(Canvas& c, const FigureShape& f, int nStyle, const Rgba& top, const Rgba& bottom) {
    Canvas layer(c.width(), c.height());
    float cx = f.cx;
    // Shorts.
    layer.polygon({{cx - f.halfWaist - 1, f.waistY}, {cx + f.halfWaist + 1, f.waistY}, {cx + f.halfHip + 3, f.hipY + 26},
                   {cx + 2, f.hipY + 26}, {cx, f.hipY + 10}, {cx - 2, f.hipY + 26}, {cx - f.halfHip - 3, f.hipY + 26}},
                  bottom);
    // Shirt: a vest, a T-shirt or a Hawaiian shirt with flowers.
    float fSleeve = nStyle == 0 ? 0 : 12;
    layer.polygon({{cx - f.halfShoulder - 1, f.shoulderY - 3}, {cx + f.halfShoulder + 1, f.shoulderY - 3},
                   {cx + f.halfWaist + 2, f.waistY + 2}, {cx - f.halfWaist - 2, f.waistY + 2}},
                  top);
    if (fSleeve > 0)
        for (int s : {-1, 1})
            layer.polygon({{cx + s * (f.halfShoulder - 4), f.shoulderY - 3}, {cx + s * (f.halfShoulder + 8), f.shoulderY + 2},
                           {cx + s * (f.halfShoulder + 6), f.shoulderY + fSleeve + 6}, {cx + s * (f.halfShoulder - 3), f.shoulderY + fSleeve}},
                          top);
    layer.polygon({{cx - 6, f.shoulderY - 3}, {cx + 6, f.shoulderY - 3}, {cx, f.shoulderY + 6}}, Rgba(0, 0, 0, 0));
    if (nStyle == 2)
        for (int i = 0; i < 6; ++i)
            layer.ellipse(cx - f.halfWaist + (i * 37 % 23) + 2, f.shoulderY + 6 + (i * 29 % 38), 3, 3, top.shade(0.6f));
    if (nStyle == 1) layer.stripes(cx - f.halfWaist, f.shoulderY + 4, f.halfWaist * 2, f.waistY - f.shoulderY - 6, 8, top.shade(0.5f), 2);
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void bikiniTop(Canvas& c, const FigureShape& f, const Rgba& cloth) {
    Canvas layer(c.width(), c.height());
    for (int s : {-1, 1}) layer.ellipse(f.cx + s * 6, f.shoulderY + 16, 7 + f.nBuild, 6, cloth);
    layer.line(f.cx - f.halfShoulder + 2, f.shoulderY + 14, f.cx + f.halfShoulder - 2, f.shoulderY + 14, 2, cloth);
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void bikiniBottom(Canvas& c, const FigureShape& f, const Rgba& cloth) {
    Canvas layer(c.width(), c.height());
    layer.polygon({{f.cx - f.halfHip, f.hipY - 4}, {f.cx + f.halfHip, f.hipY - 4}, {f.cx + 4, f.hipY + 12},
                   {f.cx - 4, f.hipY + 12}},
                  cloth);
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void skirt(Canvas& c, const FigureShape& f, const Rgba& cloth) {
    Canvas layer(c.width(), c.height());
    layer.polygon({{f.cx - f.halfWaist, f.waistY - 2}, {f.cx + f.halfWaist, f.waistY - 2}, {f.cx + f.halfHip + 10, f.hipY + 34},
                   {f.cx - f.halfHip - 10, f.hipY + 34}},
                  cloth);
    layer.stripes(f.cx - f.halfHip - 6, f.hipY + 26, f.halfHip * 2 + 12, 6, 4, cloth.shade(0.4f), 2);
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void dress(Canvas& c, const FigureShape& f, const Rgba& cloth) {
    Canvas layer(c.width(), c.height());
    layer.polygon({{f.cx - f.halfShoulder + 4, f.shoulderY + 6}, {f.cx + f.halfShoulder - 4, f.shoulderY + 6},
                   {f.cx + f.halfWaist + 1, f.waistY}, {f.cx + f.halfHip + 12, f.hipY + 42},
                   {f.cx - f.halfHip - 12, f.hipY + 42}, {f.cx - f.halfWaist - 1, f.waistY}},
                  cloth);
    for (int s : {-1, 1}) layer.line(f.cx + s * 8, f.shoulderY + 7, f.cx + s * 10, f.shoulderY - 2, 2, cloth);
    for (int i = 0; i < 7; ++i) layer.ellipse(f.cx - 14 + (i * 17 % 28), f.waistY + 6 + (i * 13 % 40), 2.5f, 2.5f, cloth.shade(0.55f));
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void suit(Canvas& c, const FigureShape& f, const Rgba& jacket, const Rgba& shirt) {
    Canvas layer(c.width(), c.height());
    float cx = f.cx;
    for (int s : {-1, 1}) layer.line(cx + s * f.halfHip * 0.45f, f.hipY, cx + s * f.halfHip * 0.5f, f.footY - 8, f.halfHip * 0.8f, jacket.shade(-0.2f));
    layer.polygon({{cx - f.halfShoulder - 2, f.shoulderY - 4}, {cx + f.halfShoulder + 2, f.shoulderY - 4},
                   {cx + f.halfHip + 2, f.hipY + 8}, {cx - f.halfHip - 2, f.hipY + 8}},
                  jacket);
    for (int s : {-1, 1})
        layer.line(cx + s * (f.halfShoulder - 2), f.shoulderY, cx + s * (f.halfShoulder + 7), f.waistY + 2, 10 + f.nBuild, jacket);
    layer.polygon({{cx - 7, f.shoulderY - 4}, {cx + 7, f.shoulderY - 4}, {cx, f.waistY - 6}}, shirt);
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void hair(Canvas& c, const FigureShape& f, int nStyle, const Rgba& colour) {
    Canvas layer(c.width(), c.height());
    float cx = f.cx, cy = f.headY, r = f.headR;
    switch (nStyle) {
    case 1: // short crop
        layer.polygon({{cx - r - 1, cy - 1}, {cx - r + 2, cy - r - 1}, {cx, cy - r - 5}, {cx + r - 2, cy - r - 1}, {cx + r + 1, cy - 1},
                       {cx + r - 3, cy - r + 5}, {cx - r + 3, cy - r + 5}},
                      colour);
        break;
    case 2: // spikes
        for (int i = 0; i < 6; ++i) {
            float x = cx - r + 3 + i * (2 * r - 6) / 5;
            layer.polygon({{x - 5, cy - r + 6}, {x, cy - r - 9}, {x + 5, cy - r + 6}}, colour);
        }
        layer.ellipse(cx, cy - r + 3, r, 6, colour);
        break;
    case 3: // long, to the shoulders
        layer.ellipse(cx, cy - 4, r + 3, r + 1, colour);
        for (int s : {-1, 1}) layer.roundRect(cx + s * (r - 2) - 5, cy - 6, 10, 36, 5, colour);
        break;
    case 4: // curls
        for (int i = 0; i < 9; ++i) {
            float a = 3.14159f * (1.05f + i * 0.112f);
            layer.ellipse(cx + std::cos(a) * (r + 1), cy + std::sin(a) * (r + 1) + 1, 6, 6, colour);
        }
        break;
    default: // ponytail / bun
        layer.ellipse(cx, cy - 5, r + 1, r - 3, colour);
        layer.ellipse(cx + r + 2, cy - 4, 6, 9, colour);
        break;
    }
    // Hair frames the face, never covers it.
    for (int y = static_cast<int>(cy - 6); y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            float dx = (x + 0.5f - cx) / (r - 3), dy = (y + 0.5f - cy - 3) / (r + 1);
            if (dx * dx + dy * dy < 1) layer.set(x, y, Rgba(0, 0, 0, 0));
        }
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void sunglasses(Canvas& c, const FigureShape& f) {
    for (int s : {-1, 1}) c.roundRect(f.cx + s * 5 - 5, f.headY - 4, 10, 6, 3, Rgba(20, 20, 30));
    c.line(f.cx - 2, f.headY - 2, f.cx + 2, f.headY - 2, 1.5f, Rgba(20, 20, 30));
}

void hat(Canvas& c, const FigureShape& f, const Rgba& colour) {
    Canvas layer(c.width(), c.height());
    layer.ellipse(f.cx, f.headY - f.headR + 2, f.headR + 12, 4, colour);
    layer.roundRect(f.cx - f.headR + 2, f.headY - f.headR - 12, 2 * f.headR - 4, 14, 6, colour);
    layer.fillRect(f.cx - f.headR + 2, f.headY - f.headR - 2, 2 * f.headR - 4, 3, Rgba(200, 60, 50));
    layer.outline(OUTLINE, 1.0f);
    c.draw(layer, 0, 0);
}

void necklace(Canvas& c, const FigureShape& f, const Rgba& colour) {
    for (int i = 0; i < 9; ++i) {
        float a = 3.14159f * (0.15f + i * 0.0875f);
        c.ellipse(f.cx + std::cos(a) * 9, f.shoulderY - 2 + std::sin(a) * 9, 1.8f, 1.8f, colour);
    }
}

void watch(Canvas& c, const FigureShape& f) {
    float x = f.cx + f.halfShoulder + 6, y = f.waistY;
    c.roundRect(x - 4, y - 3, 8, 6, 2, Rgba(240, 200, 60));
}

void cigar(Canvas& c, const FigureShape& f) {
    c.line(f.cx + 3, f.headY + 8, f.cx + 14, f.headY + 10, 3, Rgba(120, 70, 30));
    c.ellipse(f.cx + 15, f.headY + 10, 1.6f, 1.6f, Rgba(250, 120, 40));
}

void flowerInHair(Canvas& c, const FigureShape& f, const Rgba& colour) {
    float x = f.cx - f.headR + 2, y = f.headY - f.headR + 3;
    for (int i = 0; i < 5; ++i) {
        float a = i * 1.2566f;
        c.ellipse(x + std::cos(a) * 3.5f, y + std::sin(a) * 3.5f, 3, 3, colour);
    }
    c.ellipse(x, y, 2, 2, Rgba(250, 220, 60));
}

void bag(Canvas& c, const FigureShape& f, const Rgba& colour) {
    float x = f.cx - f.halfShoulder - 10, y = f.waistY + 6;
    c.line(x + 6, y, f.cx - f.halfShoulder + 3, f.shoulderY, 1.5f, colour.shade(-0.4f));
    c.roundRect(x, y, 14, 12, 3, colour);
}

void earrings(Canvas& c, const FigureShape& f, const Rgba& colour) {
    for (int s : {-1, 1}) c.ellipse(f.cx + s * f.headR, f.headY + 8, 2, 2.5f, colour);
}

} // namespace Figure
