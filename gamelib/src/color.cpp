#include "color.h"

const Color Color::Black(0, 0, 0, 255);
const Color Color::White(255, 255, 255, 255);
const Color Color::Red(255, 0, 0, 255);
const Color Color::Green(0, 255, 0, 255);
const Color Color::Blue(0, 0, 255, 255);
const Color Color::Orange(255, 128, 0, 255);
const Color Color::Yellow(255, 255, 0, 255);
const Color Color::SkyBlue(0, 128, 255, 255);
const Color Color::Gray(128, 128, 128, 255);
const Color Color::LightGray(192, 192, 192, 255);
const Color Color::DarkGray(64, 64, 64, 255);

unsigned int getHashCode(const Color& c) {
    return (static_cast<unsigned int>(c.r) << 24) | (static_cast<unsigned int>(c.a) << 16) |
           (static_cast<unsigned int>(c.b) << 8) | static_cast<unsigned int>(c.g);
}

bool operator==(const Color& a, const Color& b) { return getHashCode(a) == getHashCode(b); }

bool operator!=(const Color& a, const Color& b) { return getHashCode(a) != getHashCode(b); }

Tsl::String toString(const Color& c) { return Tsl::String::format("(%d, %d, %d, %d)", c.r, c.g, c.b, c.a); }
