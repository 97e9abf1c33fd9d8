#include "ui/label.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "text/font.h"

#include <algorithm>

namespace {
const char* const LABEL_FONT = "Theme::Default";
// Wide enough that no text wraps.
const int NO_WRAP = 1 << 24;
} // namespace

Label::Label(const Tsl::String& sText) : Control(0, 0, 0, 0) { initLabel(sText, 0, true); }

Label::Label(const Tsl::String& sText, int nX, int nY, int nZOrder) : Control(0, nX, nY, nZOrder) {
    initLabel(sText, 0, true);
}

Label::Label(const Tsl::String& sText, int nX, int nY, int nZOrder, int nFixedWidth, bool bEnabled)
    : Control(0, nX, nY, nZOrder) {
    initLabel(sText, nFixedWidth, bEnabled);
}

Label::~Label() {}

void Label::initLabel(const Tsl::String& sText, int nFixedWidth, bool bEnabled) {
    m_sText = sText;
    m_nFixedWidth = std::max(0, nFixedWidth);
    m_nWrapWidth = 0;
    m_bWrapFixed = false;
    m_nNumLines = 0;
    m_nSizeWidth = 0;
    m_nSizeHeight = 0;
    m_nTextAlign = -1;
    m_bCutLogged = false;
    m_pFont = GameMode::getFont(LABEL_FONT);
    setEnabled(bEnabled);
    render();
}

void Label::setFont(const Tsl::SmartPtr<Font>& pFont) {
    m_pFont = pFont ? pFont : GameMode::getFont(LABEL_FONT);
    render();
}

void Label::setFont(const Tsl::String& sName) { setFont(GameMode::getFont(sName)); }

void Label::setText(const Tsl::String& sText) {
    if (sText == m_sText) return;
    m_sText = sText;
    m_bCutLogged = false;
    render();
}

void Label::setTextAlign(int nFlags) {
    m_nTextAlign = nFlags;
    render();
}

void Label::setNumLines(int nLines) {
    m_nNumLines = std::max(0, nLines);
    render();
}

void Label::setWrapWidth(int nWidth, bool bFixed) {
    m_nWrapWidth = std::max(0, nWidth);
    m_bWrapFixed = bFixed;
    render();
}

void Label::setTextColor(const Color& color) {
    // The font is shared with every other user of the theme's font.
    m_pFont = m_pFont->clone();
    m_pFont->setTextColor(color);
    render();
}

void Label::setSize(int nWidth, int nHeight) {
    m_nSizeWidth = std::max(0, nWidth);
    m_nSizeHeight = std::max(0, nHeight);
    render();
}

void Label::setSize(const Point& size) { setSize(static_cast<int>(size.x), static_cast<int>(size.y)); }

int Label::getWrapWidth() const {
    if (m_nSizeWidth > 0) return std::max(1, m_nSizeWidth - shadowOf(m_pFont));
    if (m_nFixedWidth > 0) return m_nFixedWidth;
    return m_nWrapWidth > 0 ? m_nWrapWidth : 0;
}

Tsl::SmartPtr<Font> Label::drawingFont() const {
    if (m_nTextAlign < 0 || m_nTextAlign == m_pFont->getTextAlign()) return m_pFont;
    Tsl::SmartPtr<Font> pFont = m_pFont->clone();
    pFont->setTextAlign(m_nTextAlign);
    return pFont;
}

int Label::widestLine(const Font* pFont, const Tsl::List<Tsl::String>& lLines) const {
    int nWidest = 0;
    for (const Tsl::String& sLine : lLines)
        nWidest = std::max(nWidest, pFont->getTextWidth(pFont->getTrimLines() ? sLine.trim() : sLine));
    return nWidest;
}

int Label::shadowOf(const Font* pFont) {
    return pFont->getDrawShadow() ? std::max(0, pFont->getShadowOffset()) : 0;
}

void Label::drawLines(Font* pFont, Tsl::SmartPtr<Image> pImage, const Tsl::List<Tsl::String>& lLines, int nWidth,
                      int nHeight) const {
    if (lLines.isEmpty()) return;
    // Line by line, each in a box of the label's width: the breaks stay the
    // ones measured, whatever the box width does to the font's own wrapping.
    // A line keeps its closing LF, so a justify font stretches exactly the
    // lines its own layout of the whole text would.
    int nLineStep = pFont->getHeight() + pFont->getExtraLineSpacing();
    int nBlock = lLines.getCount() * nLineStep - pFont->getExtraLineSpacing();
    int nY = (pFont->getTextAlign() & Font::ALIGN_VCENTER) ? (nHeight - nBlock) / 2 : 0;
    Tsl::SmartPtr<Font> pLineFont = pFont->clone();
    pLineFont->setTextAlign(pFont->getTextAlign() & ~Font::ALIGN_VCENTER);
    for (const Tsl::String& sLine : lLines) {
        Tsl::String sText = pFont->getTrimLines() ? sLine.trim() + (sLine.right(1) == "\n" ? "\n" : "") : sLine;
        pLineFont->drawText(pImage, Rect(0, nY, nWidth, nY + pFont->getHeight()), sText);
        nY += nLineStep;
    }
}

void Label::render() {
    TSL_TRACE();
    Tsl::SmartPtr<Font> pFont = drawingFont();
    int nShadow = shadowOf(pFont);
    // No text may ask for a picture larger than a picture can be: such a
    // text (a damaged name, a runaway string) is drawn cut instead.
    int nMaxSide = Font::MAX_PICTURE_SIDE - nShadow;
    int nWrap = std::min(getWrapWidth(), nMaxSide);
    Tsl::List<Tsl::String> lLines;
    if (!m_sText.isEmpty()) lLines = pFont->wrapText(m_sText, nWrap > 0 ? nWrap : NO_WRAP);
    if (pFont->fitToPicture(lLines, nMaxSide) && !m_bCutLogged) {
        GameApp::log("G: Label text too large for its picture, drawn cut: \"%s\"\n", m_sText.left(60).c_str());
        m_bCutLogged = true;
    }
    bool bFixedBox = m_nSizeWidth > 0 || m_nFixedWidth > 0 || (m_nWrapWidth > 0 && m_bWrapFixed);
    int nBoxWidth = bFixedBox ? nWrap : widestLine(pFont, lLines);
    int nLines = std::max(std::max(lLines.getCount(), m_nNumLines), 1);
    int nLineStep = pFont->getHeight() + pFont->getExtraLineSpacing();
    int nBoxHeight = m_nSizeHeight > 0 ? std::max(1, m_nSizeHeight - nShadow)
                                       : nLines * nLineStep - pFont->getExtraLineSpacing();
    nBoxHeight = std::min(nBoxHeight, nMaxSide);
    Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->createImage(std::max(1, nBoxWidth + nShadow), nBoxHeight + nShadow, true);
    pImage->fill(Color(0, 0, 0, 0));
    drawLines(pFont, pImage, lLines, std::max(1, nBoxWidth), nBoxHeight);
    showImage(pImage);
}
