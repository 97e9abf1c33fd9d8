// Glyph tables of the image fonts and the reader that cuts them from a font
// sheet: seven rows of glyphs, each row between marker pixels in column 0,
// glyphs separated by wholly transparent columns.
#pragma once

#include "image/image.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

// 256 glyph images indexed by Windows-1252 byte; empty where a byte has none.
class ImagePtrArrayWrapper : public Tsl::RefCountedObject {
public:
    enum { SIZE = 256 };
    Tsl::SmartPtr<Image>& operator[](int nByte) { return m_aImages[nByte & 0xFF]; }
    const Tsl::SmartPtr<Image>& operator[](int nByte) const { return m_aImages[nByte & 0xFF]; }

private:
    Tsl::SmartPtr<Image> m_aImages[SIZE];
};

namespace GlyphSheetLayout {
enum { ROW_COUNT = 7, DEFAULT_BLANK_WIDTH = 6, HEIGHT_MARGIN = 5 };
// The characters of a row, left to right, as Windows-1252 bytes; the
// leading A of each is the row's reference glyph.
const Tsl::String& rowCharacters(int nRow);
} // namespace GlyphSheetLayout

// A cut sheet: its glyphs and metrics (the defaults until one is read).
struct GlyphSheet {
    Tsl::SmartPtr<ImagePtrArrayWrapper> pGlyphs;
    int nCharSpacing = 1;
    int nBlankWidth = GlyphSheetLayout::DEFAULT_BLANK_WIDTH;
    int nHeight = 0;
};

// Cuts a sheet into glyphs (views sharing the sheet's pixels). A damaged
// row (missing marker, a glyph touching the right edge) is reported as a
// "WARNING : " line on the standard error stream and the rows read so far
// are kept; a sheet with no reference glyph A in rows 1 to 6 raises, since
// the line height is measured from it.
GlyphSheet loadGlyphSheet(Tsl::SmartPtr<Image> pSheet);

// The sheet named by the first word of an image font's spec, through the
// application's image cache.
Tsl::SmartPtr<Image> loadFontSheet(const Tsl::List<Tsl::String>& lParams);
