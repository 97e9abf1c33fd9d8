// The font that exists before any theme or font file is loaded: small
// block glyphs built into the program, drawn at a whole-number scale.
// Lower-case letters are drawn as capitals; bytes outside printable ASCII
// (each UTF-8 character counts once) are drawn as "?".
#pragma once

#include "text/font.h"

class SystemFont : public Font {
public:
    enum { GLYPH_WIDTH = 3, GLYPH_HEIGHT = 5 };

    explicit SystemFont(int nScale = 2);

    Tsl::SmartPtr<Font> clone() const override;
    void drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const override;
    bool hasGlyph(char c) const override;
    int getTextWidth(const char* pszText) const override;
    int getHeight() const override;
    // Every character is as wide as the next; a line break only narrows a text.
    int getAppendSlack() const override { return 0; }

    int getScale() const { return m_nScale; }
    // Horizontal advance of one character.
    int getAdvance() const { return (GLYPH_WIDTH + 1) * m_nScale; }

private:
    void drawGlyphs(Image* pTarget, int x, int y, const char* pszText, const Color& color) const;

    int m_nScale;
};
