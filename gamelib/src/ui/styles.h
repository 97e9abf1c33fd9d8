// The named looks a theme gives the widgets: frames, buttons, cursors,
// separators, sliders and radio buttons. Images are stretched by nine-slice
// tiling: the corners stay as they are, the edges and the middle repeat.
#pragma once

#include "image/color.h"
#include "image/image.h"
#include "image/rect.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

// Four edge sizes kept in a Rect without normalising: left, top, right, bottom.
inline Rect makeEdges(int nLeft, int nTop, int nRight, int nBottom) { return Rect(nLeft, nTop, nRight, nBottom, false); }

struct FrameStyle : public Tsl::RefCountedObject {
    Tsl::SmartPtr<Image> pImage;
    // The image's corners and edges that are not repeated.
    Rect borders;
    // Room between the frame's outer edge and what it holds.
    Rect padding;
    // The text of tooltips drawn in this frame.
    Tsl::String sFont;
};

struct ButtonStyle : public Tsl::RefCountedObject {
    enum { NORMAL = 0, HIGHLIGHTED = 1, PUSHED = 2, DISABLED = 3, STATE_COUNT = 4 };
    // A missing state image falls back to the normal one.
    Tsl::SmartPtr<Image> apImages[STATE_COUNT];
    Rect borders;
    Tsl::String sFont;
    // The text colour of each state; alpha 0 keeps the font's own colour.
    Color aTextColors[STATE_COUNT] = {Color(0, 0, 0, 0), Color(0, 0, 0, 0), Color(0, 0, 0, 0), Color(0, 0, 0, 0)};
    int nPaddingX = 8;
    int nPaddingY = 4;
    int nMinWidth = 0;
    int nMinHeight = 0;
    // How far the text moves while the button is pushed.
    int nPushOffset = 1;
};

struct CursorStyle : public Tsl::RefCountedObject {
    Tsl::SmartPtr<Image> pImage;
    int nHotX = 0;
    int nHotY = 0;
};

struct SeparatorStyle : public Tsl::RefCountedObject {
    Tsl::SmartPtr<Image> pImage;
    Rect borders;
};

struct SliderStyle : public Tsl::RefCountedObject {
    // Drawn for a horizontal slider; a vertical one uses the same images.
    Tsl::SmartPtr<Image> pTrack;
    Tsl::SmartPtr<Image> pThumb;
    Rect borders;
};

struct RadioStyle : public Tsl::RefCountedObject {
    Tsl::SmartPtr<Image> pClear;
    Tsl::SmartPtr<Image> pChosen;
    Tsl::String sFont;
    // Between the box and the caption.
    int nSpacing = 4;
};

namespace StyleDraw {
// Draws the source's region at (x, y) of the target, blending alpha properly
// even onto a transparent target.
void drawPart(Image* pTarget, Image* pSource, const Rect& source, int nX, int nY);
// Fills the target rectangle with the source nine-sliced by its borders.
void drawNineSlice(Image* pTarget, Image* pSource, const Rect& borders, const Rect& target);
// A new transparent image of that size showing the nine-sliced source.
Tsl::SmartPtr<Image> makeNineSlice(Image* pSource, const Rect& borders, int nWidth, int nHeight);
} // namespace StyleDraw
