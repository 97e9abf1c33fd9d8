// The base of every font: the drawing settings all fonts share (colours,
// shadow, alignment, line spacing, trimming), line breaking, and the layout
// of wrapped lines inside a box. Concrete fonts measure and draw one line.
//
// FontFactory makes the fonts of one class from a spec (a list of words);
// factories are registered with the theme under a class name.
#pragma once

#include "image/color.h"
#include "image/image.h"
#include "image/rect.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class FontFactory;

class Font : public Tsl::RefCountedObject {
public:
    // Alignment flags of setTextAlign. JUSTIFY replaces the horizontal flags;
    // TOP and BOTTOM are kept and reported but the layout starts at the top
    // unless VCENTER is set.
    enum {
        ALIGN_LEFT = 1,
        ALIGN_RIGHT = 2,
        ALIGN_HCENTER = 4,
        ALIGN_JUSTIFY = 7,
        ALIGN_TOP = 8,
        ALIGN_BOTTOM = 16,
        ALIGN_VCENTER = 32,
        ALIGN_MIDDLE = 36,
        ALIGN_HORIZONTAL_MASK = 7
    };

    // The widest and highest picture a text may be drawn into. Pictures are
    // SDL surfaces, which stop below 16384 pixels, and no screen shows more.
    enum { MAX_PICTURE_SIDE = 4096 };

    Font();
    ~Font() override;

    // A new font of the same kind sharing the glyph data, settings copied.
    virtual Tsl::SmartPtr<Font> clone() const = 0;

    // Wraps the text to the box's width, aligns and draws it. The first form
    // leaves the caller's box alone; the second leaves in it the rectangle
    // the text covered (bottom = the y after the last line).
    virtual void drawText(Tsl::SmartPtr<Image> pTarget, const Rect& box, const char* pszText) const;
    virtual void drawText(Tsl::SmartPtr<Image> pTarget, Rect& box, const char* pszText) const;
    // One line with its top-left corner at (x, y); LF and CR only advance.
    virtual void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const = 0;
    virtual bool hasGlyph(char c) const = 0;
    // Width in pixels; LF (and for image fonts CR) starts a new line width,
    // the widest line counts.
    virtual int getTextWidth(const char* pszText) const = 0;
    // Line height in pixels.
    virtual int getHeight() const = 0;
    // At most how much wider a text is than its two parts measured apart
    // (kerning or overhang where they meet); negative when the font cannot
    // bound it, and line wrapping then measures every candidate line whole.
    virtual int getAppendSlack() const { return -1; }

    virtual void setTrimLines(bool bTrim) { m_bTrimLines = bTrim; }
    virtual bool getTrimLines() const { return m_bTrimLines; }
    virtual void setTextColor(Color c) { m_TextColor = c; }
    virtual Color getTextColor() const { return m_TextColor; }
    virtual void setDrawShadow(bool bDraw) { m_bDrawShadow = bDraw; }
    virtual bool getDrawShadow() const { return m_bDrawShadow; }
    virtual void setShadowColor(Color c) { m_ShadowColor = c; }
    virtual Color getShadowColor() const { return m_ShadowColor; }
    // Down and to the right for positive values.
    virtual void setShadowOffset(int nOffset) { m_nShadowOffset = nOffset; }
    virtual int getShadowOffset() const { return m_nShadowOffset; }
    virtual void setTextAlign(int nFlags) { m_nTextAlign = nFlags; }
    virtual int getTextAlign() const { return m_nTextAlign; }
    virtual int getExtraLineSpacing() const { return m_nExtraLineSpacing; }
    virtual void setExtraLineSpacing(int nSpacing) { m_nExtraLineSpacing = nSpacing; }

    // Trim flag, colours, shadow, alignment and line spacing of the other
    // font; not its spec or factory.
    virtual void copySettings(const Font* pOther);
    virtual void setSpec(Tsl::SmartPtr<FontFactory> pFactory, const Tsl::List<Tsl::String>& lSpec);
    virtual Tsl::List<Tsl::String> getSpec() const { return m_lSpec; }
    virtual Tsl::SmartPtr<FontFactory> getFactory() const { return m_pFactory; }

    // One line stretched to a width: the words (runs between spaces) drawn
    // with equal gaps; a single word is drawn as it is.
    virtual void drawJustified(Tsl::SmartPtr<Image> pTarget, int x, int y, int nWidth, const char* pszText) const;

    // The lines of the text no wider than nWidth where possible: breaks
    // after LF and between words (a word is never split, so an over-wide
    // word stands alone). Lines keep their spaces and closing LF.
    Tsl::List<Tsl::String> wrapText(const char* pszText, int nWidth) const;
    // The line as it is when it is at most nWidth wide; otherwise its
    // longest start of whole characters that is, with the ellipsis after it
    // (empty when not even the ellipsis fits).
    Tsl::String cutToWidth(const Tsl::String& sLine, int nWidth, const char* pszEllipsis = "...") const;
    // Cuts wrapped lines to what one picture can hold, nMaxSide pixels each
    // way: wider lines end in "...", lines below the last that fits are left
    // out. True when anything was cut.
    bool fitToPicture(Tsl::List<Tsl::String>& lLines, int nMaxSide) const;
    // The box with its bottom moved up to where the wrapped text ends (never
    // below the box's own bottom); an empty text gives an empty rectangle at
    // the box top.
    Rect getTextRect(Rect box, const char* pszText) const;

private:
    bool m_bTrimLines;
    Color m_TextColor;
    bool m_bDrawShadow;
    Color m_ShadowColor;
    int m_nShadowOffset;
    int m_nTextAlign;
    int m_nExtraLineSpacing;
    Tsl::List<Tsl::String> m_lSpec;
    Tsl::SmartPtr<FontFactory> m_pFactory;
};

// Makes the fonts of one class from the words of a spec. The parameter
// operations read or rewrite a numbered parameter of a spec in place; each
// factory decides which ones it knows (the defaults know none).
class FontFactory : public Tsl::RefCountedObject {
public:
    ~FontFactory() override {}

    virtual Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) = 0;
    virtual bool setIntParam(Tsl::List<Tsl::String>& lSpec, int nIndex, int nValue);
    virtual bool setStringParam(Tsl::List<Tsl::String>& lSpec, int nIndex, const Tsl::String& sValue);
    virtual int getIntParam(const Tsl::List<Tsl::String>& lSpec, int nIndex) const;
    virtual Tsl::String getStringParam(const Tsl::List<Tsl::String>& lSpec, int nIndex) const;
};
