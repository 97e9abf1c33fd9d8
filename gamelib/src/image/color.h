// The RGBA colour of tints, fills, colour keys and pixel reads. Channels are
// not premultiplied; alpha 255 is opaque.
#pragma once

#include "tsl2/str.h"

namespace Tsl {
class ObjectStreamer;
}

class Color {
public:
    Color() : r(0), g(0), b(0), a(255) {}
    Color(unsigned char nR, unsigned char nG, unsigned char nB, unsigned char nA = 255) : r(nR), g(nG), b(nB), a(nA) {}
    Color(const Color& other) = default;
    Color& operator=(const Color& other) = default;
    virtual ~Color() {}

    // The four channels as bytes r, g, b, a.
    void persistTo(Tsl::ObjectStreamer& os) const;
    void persistFrom(Tsl::ObjectStreamer& is);

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

namespace Tsl {
// A colour field of a record: a byte 0, then the channels.
void persistTo(ObjectStreamer& os, const Color& c);
void persistFrom(ObjectStreamer& is, Color& c);
// A shared colour: byte 2 for null, byte 1 and the object index for one
// already written, byte 0, a new index and the channels otherwise. Reading
// byte 0 allocates a Color the caller then owns.
void persistTo(ObjectStreamer& os, const Color* pColor);
void persistFrom(ObjectStreamer& is, Color*& pColor);
} // namespace Tsl
