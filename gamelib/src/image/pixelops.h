// The per-pixel loops behind images and pixel stores, over plain buffers.
// Each operation has a generic form that goes through SDL's format mapping
// for any depth (the reference the tests hold the fast forms to) and a fast
// form with row-pointer loops specialised for 3 and 4 bytes per pixel, used
// whenever every channel sits in a byte of its own.
#pragma once

#include "image/color.h"
#include "image/rect.h"

#include <SDL.h>

// A locked block of pixels: pPixels addresses pixel (0, 0).
struct PixelBuffer {
    unsigned char* pPixels;
    int nPitch;
    int nWidth;
    int nHeight;
    const SDL_PixelFormat* pFormat;
    bool bHasColorKey;

    PixelBuffer() : pPixels(nullptr), nPitch(0), nWidth(0), nHeight(0), pFormat(nullptr), bHasColorKey(false) {}
    bool hasAlpha() const { return pFormat && pFormat->Amask != 0; }
    // The part of the buffer inside r (r must lie within the buffer).
    PixelBuffer sub(const Rect& r) const {
        PixelBuffer b = *this;
        b.pPixels = pPixels + r.top * nPitch + r.left * (pFormat ? pFormat->BytesPerPixel : 0);
        b.nWidth = r.getWidth();
        b.nHeight = r.getHeight();
        return b;
    }
};

namespace PixelOps {

// Byte offsets of the channels for the fast paths; nAlpha is -1 without alpha.
struct ByteLayout {
    bool bValid;
    int nBytes;
    int nRed, nGreen, nBlue, nAlpha;
};
ByteLayout getByteLayout(const SDL_PixelFormat* pFormat);

unsigned int readRaw(const unsigned char* p, int nBytes);
void writeRaw(unsigned char* p, int nBytes, unsigned int nValue);
Color readPixel(const PixelBuffer& buf, int x, int y);
void writePixel(const PixelBuffer& buf, int x, int y, const Color& c);
// Transparent: alpha <= threshold with per-pixel alpha, else equal to the
// colour key when one is set, else never.
bool isPixelTransparent(const PixelBuffer& buf, int x, int y, int nThreshold);

// Alpha compositing of src onto dst (same sizes): the result is src over dst
// with the destination's alpha taken into account. A keyed source pixel is
// transparent.
void blend(const PixelBuffer& dst, const PixelBuffer& src);
// The same with both layouts already worked out (getByteLayout).
void blend(const PixelBuffer& dst, const ByteLayout& dl, const PixelBuffer& src, const ByteLayout& sl);
void blendGeneric(const PixelBuffer& dst, const PixelBuffer& src);
// The composite of one pixel, the rule both paths follow.
Color blendPixel(const Color& d, const Color& s);

void tint(const PixelBuffer& buf, const Color& k);
void tintGeneric(const PixelBuffer& buf, const Color& k);
void multiplyAlpha(const PixelBuffer& buf, int nFactor);
void multiplyAlphaGeneric(const PixelBuffer& buf, int nFactor);
// New red, green, blue are the old channels (0 r, 1 g, 2 b, 3 a) picked by the indexes.
void remapChannels(const PixelBuffer& buf, int nRed, int nGreen, int nBlue);
void remapChannelsGeneric(const PixelBuffer& buf, int nRed, int nGreen, int nBlue);
void flipHorizontal(const PixelBuffer& buf);
void flipHorizontalGeneric(const PixelBuffer& buf);
void flipVertical(const PixelBuffer& buf);

// Alpha of dst from mask (same sizes): the mask's alpha when it has alpha,
// else its red channel. Mode 0 sets, mode 1 multiplies (a * m >> 8).
void transferAlpha(const PixelBuffer& dst, const PixelBuffer& mask, int nMode);
void transferAlphaGeneric(const PixelBuffer& dst, const PixelBuffer& mask, int nMode);
// Sets the alpha of every pixel (for the parts a mask does not cover).
void setAlpha(const PixelBuffer& buf, int nAlpha);

bool isRowTransparent(const PixelBuffer& buf, int y, int nThreshold);
bool isColumnTransparent(const PixelBuffer& buf, int x, int nThreshold);
bool isRowTransparentGeneric(const PixelBuffer& buf, int y, int nThreshold);
// Every pixel inside r (within the buffer) is clear: equal to the colour key
// when one is set (the key wins over alpha), else alpha 0.
bool isRectClear(const PixelBuffer& buf, const Rect& r);
bool isRectClearGeneric(const PixelBuffer& buf, const Rect& r);
// The smallest rectangle holding every pixel not transparent at threshold 0;
// an empty Rect(0, 0, 0, 0) when there is none.
Rect findContentBounds(const PixelBuffer& buf);
// Covered (not transparent) pixels inside r, counting stops once past nLimit.
int countCovered(const PixelBuffer& buf, const Rect& r, int nThreshold, int nLimit);
int countCoveredGeneric(const PixelBuffer& buf, const Rect& r, int nThreshold, int nLimit);

} // namespace PixelOps
