// The RGBA colour of tints, fills, colour keys and pixel reads. Channels are
// not premultiplied; alpha 255 is opaque.
#pragma once

#include "tsl2/str.h"

class Color {
public:
    Color() : r(0), g(0), b(0), a(255) {}
    Color(unsigned char nR, unsigned char nG, unsigned char nB, unsigned char nA = 255) : r(nR), g(nG), b(nB), a(nA) {}
    Color(const Color& other) = default;
    Color& operator=(const Color& other) = default;
    virtual ~Color() {}

    unsigned char r;
    unsigned char g;
    unsigned char b;
    unsigned char a;

    static const Color Black;
    static const Color White;
    static const Color Red;
    static const Color Green;
    static const Color Blue;
    static const Color Orange;
    static const Color Yellow;
    static const Color SkyBlue;
    static const Color Gray;
    static const Color LightGray;
    static const Color DarkGray;
};

// Packed r, a, b, g from the most significant byte down (the key of every
// colour-keyed hash table, so the order matters for iteration order).
unsigned int getHashCode(const Color& c);
bool operator==(const Color& a, const Color& b);
bool operator!=(const Color& a, const Color& b);
Tsl::String toString(const Color& c);

// Hooks for Tsl::Hash keyed by Color, found by argument-dependent look-up.
inline unsigned int hashKey(const Color& c) { return getHashCode(c); }
inline Tsl::String keyText(const Color& c) { return toString(c); }
