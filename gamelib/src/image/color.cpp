#include "image/color.h"

#include "tsl2/error.h"
#include "tsl2/objectstreamer.h"

#include <memory>

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

void Color::persistTo(Tsl::ObjectStreamer& os) const {
    TSL_TRACE();
    os.write(r);
    os.write(g);
    os.write(b);
    os.write(a);
}

void Color::persistFrom(Tsl::ObjectStreamer& is) {
    TSL_TRACE();
    is.read(r);
    is.read(g);
    is.read(b);
    is.read(a);
}

namespace Tsl {

namespace {
enum { REF_NEW = 0, REF_KNOWN = 1, REF_NULL = 2 };
}

void persistTo(ObjectStreamer& os, const Color& c) {
    os.write(static_cast<unsigned char>(REF_NEW));
    c.persistTo(os);
}

void persistFrom(ObjectStreamer& is, Color& c) {
    unsigned char nIgnored = 0;
    is.read(nIgnored);
    c.persistFrom(is);
}

void persistTo(ObjectStreamer& os, const Color* pColor) {
    TSL_TRACE();
    if (!pColor) {
        os.write(static_cast<unsigned char>(REF_NULL));
        return;
    }
    int nIndex = os.getObjectIndex(pColor);
    if (nIndex >= 0) {
        os.write(static_cast<unsigned char>(REF_KNOWN));
        os.write(nIndex);
        return;
    }
    os.write(static_cast<unsigned char>(REF_NEW));
    os.write(os.addObject(pColor));
    pColor->persistTo(os);
}

void persistFrom(ObjectStreamer& is, Color*& pColor) {
    TSL_TRACE();
    unsigned char nTag = 0;
    is.read(nTag);
    int nIndex = 0;
    switch (nTag) {
    case REF_NULL: pColor = nullptr; return;
    case REF_KNOWN:
        is.read(nIndex);
        if (!is.hasObject(nIndex)) TSL_THROW(FatalErrorException, "AlreadyLoaded failed");
        pColor = static_cast<Color*>(is.getObject(nIndex));
        return;
    case REF_NEW: {
        is.read(nIndex);
        // Filled before it is recorded or handed out, so a stream that ends
        // inside the channels leaks nothing and leaves no half-read colour.
        std::unique_ptr<Color> pNew(new Color());
        pNew->persistFrom(is);
        is.setObject(nIndex, pNew.get());
        pColor = pNew.release();
        return;
    }
    default:
        TSL_THROW(BadStreamFormatException, "Color : bad object tag %d in %s", nTag,
                  is.getStream()->getName().c_str());
    }
}

} // namespace Tsl
