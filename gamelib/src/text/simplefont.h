// The image font drawn in its text colour with a shadow. Its glyphs live
// in a SimpleFontCore, shared by clones, which keeps one tinted copy of the
// glyph table per colour asked for, so drawing is a plain copy of prepared
// glyph images.
#pragma once

#include "image/color.h"
#include "text/bitmapfont.h"

#include "tsl2/hash.h"

class SimpleFont;

class SimpleFontCore : public Tsl::RefCountedObject {
public:
    SimpleFontCore();
    ~SimpleFontCore() override;

    virtual int getHeight() const { return m_sheet.nHeight; }
    virtual int getCharSpacing() const { return m_sheet.nCharSpacing; }
    virtual int getBlankWidth() const { return m_sheet.nBlankWidth; }
    // In the font's text colour; with the font's shadow first under each
    // glyph when it has one.
    virtual void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText,
                            const SimpleFont* pFont);

    void loadGlyphs(Tsl::SmartPtr<Image> pSheet);
    // Makes sure a tinted table for the colour exists (kept while the core
    // lives).
    void prepareColor(Color c);
    Tsl::SmartPtr<ImagePtrArrayWrapper> getColoredGlyphs(Color c);
    const ImagePtrArrayWrapper* getGlyphs() const { return m_sheet.pGlyphs; }
    int getColorCount() const { return m_hColorGlyphs.getCount(); }

private:
    Tsl::SmartPtr<Image> tintGlyph(Image* pGlyph, const Color& c);

    Tsl::Hash<Color, Tsl::SmartPtr<ImagePtrArrayWrapper>> m_hColorGlyphs;
    GlyphSheet m_sheet;
};

class SimpleFont : public BitmapFontBase {
public:
    Tsl::SmartPtr<Font> clone() const override;
    void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const override;
    void loadFromImage(Tsl::SmartPtr<Image> pSheet) override;
    const ImagePtrArrayWrapper* getGlyphTable() const override;

    // Takes the core and its spacing, blank width and height.
    void setCore(Tsl::SmartPtr<SimpleFontCore> pCore);
    Tsl::SmartPtr<SimpleFontCore> getCore() const { return m_pCore; }

    // Registers a SimpleFontFactory under "SimpleFont".
    static void registerFactory();

private:
    Tsl::SmartPtr<SimpleFontCore> m_pCore;
};

// Params: the sheet's image name.
class SimpleFontFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override;
};
