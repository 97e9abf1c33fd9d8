// A text drawn in a theme font into the sprite's own image. The box is as
// wide as the text unless a fixed width or a wrap width says otherwise, and
// as high as its lines (or the number of lines asked for, when more).
#pragma once

#include "ui/control.h"

#include "text/font.h"

class Label : public Control {
public:
    // At (0, 0), z-order 0, font "Theme::Default".
    explicit Label(const Tsl::String& sText);
    Label(const Tsl::String& sText, int nX, int nY, int nZOrder);
    // A fixed box width of 0 or less sizes the box to the text.
    Label(const Tsl::String& sText, int nX, int nY, int nZOrder, int nFixedWidth, bool bEnabled);
    ~Label() override;

    void setFont(const Tsl::SmartPtr<Font>& pFont);
    // A theme font by spec name.
    void setFont(const Tsl::String& sName);
    Tsl::SmartPtr<Font> getFont() const { return m_pFont; }
    // Re-renders only when the text changed.
    void setText(const Tsl::String& sText);
    Tsl::String getText() const { return m_sText; }
    // The font's alignment flags (4 centres horizontally) for this label only.
    void setTextAlign(int nFlags);
    // The box is at least n lines high.
    void setNumLines(int nLines);
    // Lines wrap at the width; with bFixed the box is exactly that wide,
    // otherwise as wide as its widest line. 0 turns wrapping off.
    void setWrapWidth(int nWidth, bool bFixed);
    // The text colour, through a private copy of the font.
    void setTextColor(const Color& color);

    // The width the lines are wrapped to (0: no wrapping).
    int getWrapWidth() const;

    // The label takes exactly this size and aligns its text inside it (flag
    // 32 centres it vertically); a side of 0 or less follows the text again.
    void setSize(int nWidth, int nHeight) override;
    void setSize(const Point& size) override;

protected:
    // A text by itself does nothing with a click.
    bool takesClicks() const override { return false; }
    void render();

private:
    void initLabel(const Tsl::String& sText, int nFixedWidth, bool bEnabled);
    // The font with this label's own alignment.
    Tsl::SmartPtr<Font> drawingFont() const;
    int widestLine(const Font* pFont, const Tsl::List<Tsl::String>& lLines) const;
    // Pixels the shadow adds right of and below the text.
    static int shadowOf(const Font* pFont);
    void drawLines(Font* pFont, Tsl::SmartPtr<Image> pImage, const Tsl::List<Tsl::String>& lLines, int nWidth,
                   int nHeight) const;

    Tsl::String m_sText;
    Tsl::SmartPtr<Font> m_pFont;
    int m_nFixedWidth;
    int m_nWrapWidth;
    bool m_bWrapFixed;
    int m_nNumLines;
    // The size given with setSize, shadow included; 0 for a side that follows the text.
    int m_nSizeWidth;
    int m_nSizeHeight;
    // -1 keeps the font's own alignment.
    int m_nTextAlign;
    // A text cut to fit its picture is logged once, not at every render.
    bool m_bCutLogged;
};
