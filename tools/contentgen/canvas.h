// A plain RGBA picture in memory with the few drawing operations the
// generated art is made of: filled shapes with soft edges, gradients, an
// outline around whatever is drawn, and pasting one canvas onto another.
// Everything is integer or float arithmetic on fixed inputs, so a picture
// comes out the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    Rgba() = default;
    Rgba(int nR, int nG, int nB, int nA = 255);
    Rgba withAlpha(int nA) const { return Rgba(r, g, b, nA); }
    // Towards white (f > 0) or black (f < 0) by |f| of the way.
    Rgba shade(float f) const;
};

Rgba mix(const Rgba& a, const Rgba& b, float t);

struct Pt {
    float x, y;
};

class Canvas {
public:
    Canvas() : m_nWidth(0), m_nHeight(0) {}
    Canvas(int nWidth, int nHeight);

    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    const std::vector<Rgba>& pixels() const { return m_aPixels; }
    Rgba at(int x, int y) const { return m_aPixels[y * m_nWidth + x]; }
    void set(int x, int y, const Rgba& c) { m_aPixels[y * m_nWidth + x] = c; }

    // Draws c over the pixel with the given coverage (0..1), source-over.
    void blend(int x, int y, const Rgba& c, float fCoverage = 1.0f);

    void clear(const Rgba& c);
    void fillRect(float x, float y, float w, float h, const Rgba& c);
    void gradientRect(float x, float y, float w, float h, const Rgba& top, const Rgba& bottom);
    void hGradientRect(float x, float y, float w, float h, const Rgba& left, const Rgba& right);
    void ellipse(float cx, float cy, float rx, float ry, const Rgba& c);
    // An ellipse shaded from a lighter top-left to the colour at its rim.
    void ball(float cx, float cy, float rx, float ry, const Rgba& c);
    void ring(float cx, float cy, float r, float fThickness, const Rgba& c);
    void roundRect(float x, float y, float w, float h, float fRadius, const Rgba& c);
    void polygon(const std::vector<Pt>& aPoints, const Rgba& c);
    void line(float x0, float y0, float x1, float y1, float fThickness, const Rgba& c);
    // A star with n points.
    void star(float cx, float cy, float rOuter, float rInner, int nPoints, float fAngle, const Rgba& c);
    // Pixels within fWidth of any drawn pixel (alpha above the threshold)
    // that are themselves clear get the outline colour behind the drawing.
    void outline(const Rgba& c, float fWidth = 1.5f);
    // The other canvas drawn over this one at (x, y).
    void draw(const Canvas& other, int x, int y, float fOpacity = 1.0f);
    // This canvas with every pixel's colour multiplied by the tint.
    void tint(const Rgba& c);
    void mirror();
    // This canvas resized to the given size, each new pixel the average of
    // the part of the old ones it covers (weighted by their alpha).
    Canvas scaled(int nWidth, int nHeight) const;
    // Thin horizontal strokes of a darker shade: a cheap texture for wood and sand.
    void stripes(float x, float y, float w, float h, float fSpacing, const Rgba& c, float fThickness = 1.0f);

private:
    // Coverage of a pixel by a shape given as an inside test, sampled 4x4.
    template <class Inside>
    void fillShape(float x0, float y0, float x1, float y1, const Rgba& c, Inside inside);

    int m_nWidth;
    int m_nHeight;
    std::vector<Rgba> m_aPixels;
};
