// The image fonts: glyphs cut from a font sheet (text/glyphsheet.h).
// BitmapFontBase measures and draws a glyph table; BitmapFont copies its
// glyphs as they are painted (no tint, no shadow). Text is UTF-8; each
// character is looked up by its Windows-1252 byte.
#pragma once

#include "text/font.h"
#include "text/glyphsheet.h"

class BitmapFontBase : public Font {
public:
    BitmapFontBase();

    bool hasGlyph(char c) const override;
    // CR and LF start a new line width; the spacing after the last glyph
    // counts; a character without glyph advances by the blank width.
    int getTextWidth(const char* pszText) const override;
    int getHeight() const override { return m_nHeight; }
    // Glyph widths and spacing add up; a line break inside a text only narrows it.
    int getAppendSlack() const override { return 0; }

    virtual void loadFromImage(Tsl::SmartPtr<Image> pSheet) = 0;
    virtual int getCharSpacing() const { return m_nCharSpacing; }
    virtual void setCharSpacing(int nSpacing) { m_nCharSpacing = nSpacing; }
    virtual void setBlankWidth(int nWidth) { m_nBlankWidth = nWidth; }
    virtual int getBlankWidth() const { return m_nBlankWidth; }
    // copySettings, then the blank width, spacing and height of the other.
    virtual void copyBitmapSettings(const BitmapFontBase* pOther);
    // Null until a sheet is loaded.
    virtual const ImagePtrArrayWrapper* getGlyphTable() const = 0;

    // Draws the text's glyphs from (x, y) as one run: each character's glyph
    // (none for a character without one, which advances by the blank width),
    // with pShadow's glyph under it first, nShadowOffset down and right, when
    // there is a shadow table.
    void drawGlyphs(Image* pTarget, const ImagePtrArrayWrapper& table, const ImagePtrArrayWrapper* pShadow,
                    int nShadowOffset, int x, int y, const char* pszText) const;

protected:
    void setHeight(int nHeight) { m_nHeight = nHeight; }
    void setMetrics(const GlyphSheet& sheet);

private:
    int m_nCharSpacing;
    int m_nHeight;
    int m_nBlankWidth;
};

class BitmapFont : public BitmapFontBase {
public:
    Tsl::SmartPtr<Font> clone() const override;
    void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const override;
    void loadFromImage(Tsl::SmartPtr<Image> pSheet) override;
    const ImagePtrArrayWrapper* getGlyphTable() const override { return m_pGlyphs; }

    // Registers a BitmapFontFactory under "BitmapFont".
    static void registerFactory();

private:
    Tsl::SmartPtr<ImagePtrArrayWrapper> m_pGlyphs;
};

// Params: the sheet's image name.
class BitmapFontFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override;
};
