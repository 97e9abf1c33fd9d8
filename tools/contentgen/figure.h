// The figures of customers: a standing person on a fixed canvas, drawn in
// layers (body, clothes, hair, extras) that the look templates stack.
// Every layer of one figure kind uses the same canvas and the same body
// geometry, so the layers line up when a template blits them at (0, 0).
#pragma once

#include "canvas.h"

#include <string>

struct FigureShape {
    enum { WIDTH = 110, HEIGHT = 190 };
    bool bWoman;
    int nBuild; // 1 slim, 2 average, 3 broad
    // Geometry derived from the two above.
    float cx = WIDTH / 2.0f, headY = 38, headR = 14, shoulderY = 64, waistY = 112, hipY = 124, footY = 186;
    float halfShoulder, halfWaist, halfHip;
    FigureShape(bool bWomanFigure, int nBuildNumber);
};

Rgba skinColour(char cSkin);
Rgba hairColour(char cColour);

namespace Figure {
void body(Canvas& c, const FigureShape& f, const Rgba& skin);
// Outfits: nStyle picks the cut, the colours the cloth.
void shirtAndShorts(Canvas& c, const FigureShape& f, int nStyle, const Rgba& top, const Rgba& bottom);
void bikiniTop(Canvas& c, const FigureShape& f, const Rgba& cloth);
void bikiniBottom(Canvas& c, const FigureShape& f, const Rgba& cloth);
void skirt(Canvas& c, const FigureShape& f, const Rgba& cloth);
void dress(Canvas& c, const FigureShape& f, const Rgba& cloth);
void suit(Canvas& c, const FigureShape& f, const Rgba& jacket, const Rgba& shirt);
// Hair styles 1 to 5; colour by letter.
void hair(Canvas& c, const FigureShape& f, int nStyle, const Rgba& colour);
void sunglasses(Canvas& c, const FigureShape& f);
void hat(Canvas& c, const FigureShape& f, const Rgba& colour);
void necklace(Canvas& c, const FigureShape& f, const Rgba& colour);
void watch(Canvas& c, const FigureShape& f);
void cigar(Canvas& c, const FigureShape& f);
void flowerInHair(Canvas& c, const FigureShape& f, const Rgba& colour);
void bag(Canvas& c, const FigureShape& f, const Rgba& colour);
void earrings(Canvas& c, const FigureShape& f, const Rgba& colour);
} // namespace Figure
