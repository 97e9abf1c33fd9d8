#include "ui/editbox.h"

#include "app/gameapp.h"
#include "text/font.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <SDL/SDL_keysym.h>

#include <algorithm>

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The UTF-8 bytes of one character; empty for what cannot be typed.
Tsl::String encodeUtf8(int n) {
    char a[5] = {0};
    if (n < 0x20 || n == 0x7F || (n >= 0xD800 && n <= 0xDFFF) || n > 0x10FFFF) return Tsl::String();
    if (n < 0x80) {
        a[0] = char(n);
    } else if (n < 0x800) {
        a[0] = char(0xC0 | (n >> 6));
        a[1] = char(0x80 | (n & 0x3F));
    } else if (n < 0x10000) {
        a[0] = char(0xE0 | (n >> 12));
        a[1] = char(0x80 | ((n >> 6) & 0x3F));
        a[2] = char(0x80 | (n & 0x3F));
    } else {
        a[0] = char(0xF0 | (n >> 18));
        a[1] = char(0x80 | ((n >> 12) & 0x3F));
        a[2] = char(0x80 | ((n >> 6) & 0x3F));
        a[3] = char(0x80 | (n & 0x3F));
    }
    return Tsl::String(a);
}

const int CARET_WIDTH = 2;
} // namespace

EditBox::EditBox(int nId, int nWidth, int nMaxLength)
    : Control(nId), m_nCaret(0), m_nWidth(std::max(8, nWidth)), m_nMaxLength(std::max(0, nMaxLength)),
      m_sFrameStyle("EditBox"), m_bShowsCaret(false) {
    setFocusable(true);
    render();
}

EditBox::~EditBox() {}

void EditBox::setText(const Tsl::String& sText) {
    m_sText = sText;
    // Too long a text keeps its first characters.
    if (m_nMaxLength > 0)
        while (getCharacterCount() > m_nMaxLength) m_sText = m_sText.left(previousCharacter(m_sText.getLength()));
    m_nCaret = m_sText.getLength();
    render();
}

void EditBox::setFont(const Tsl::String& sName) {
    m_sFont = sName;
    render();
}

void EditBox::setFrameStyle(const Tsl::String& sStyle) {
    m_sFrameStyle = sStyle;
    render();
}

int EditBox::getCharacterCount() const {
    int nCount = 0;
    for (int i = 0; i < m_sText.getLength(); ++i)
        if (!isContinuation(m_sText[i])) ++nCount;
    return nCount;
}

int EditBox::previousCharacter(int nOffset) const {
    if (nOffset <= 0) return 0;
    --nOffset;
    while (nOffset > 0 && isContinuation(m_sText[nOffset])) --nOffset;
    return nOffset;
}

int EditBox::nextCharacter(int nOffset) const {
    if (nOffset >= m_sText.getLength()) return m_sText.getLength();
    ++nOffset;
    while (nOffset < m_sText.getLength() && isContinuation(m_sText[nOffset])) ++nOffset;
    return nOffset;
}

void EditBox::insert(int nCharacter) {
    Tsl::String sBytes = encodeUtf8(nCharacter);
    if (sBytes.isEmpty()) return;
    if (m_nMaxLength > 0 && getCharacterCount() >= m_nMaxLength) return;
    m_sText = m_sText.left(m_nCaret) + sBytes + m_sText.substringFrom(m_nCaret);
    m_nCaret += sBytes.getLength();
}

bool EditBox::onChar(int nCharacter) {
    if (!isEnabled() || !hasFocus()) return false;
    if (encodeUtf8(nCharacter).isEmpty()) return false;
    insert(nCharacter);
    render();
    return true;
}

bool EditBox::onKeyDown(int nKey, int nModifiers) {
    if (!isEnabled() || !hasFocus()) return false;
    switch (nKey) {
    case SDLK_BACKSPACE: {
        int nStart = previousCharacter(m_nCaret);
        m_sText = m_sText.left(nStart) + m_sText.substringFrom(m_nCaret);
        m_nCaret = nStart;
        break;
    }
    case SDLK_DELETE:
        m_sText = m_sText.left(m_nCaret) + m_sText.substringFrom(nextCharacter(m_nCaret));
        break;
    case SDLK_LEFT:
        m_nCaret = previousCharacter(m_nCaret);
        break;
    case SDLK_RIGHT:
        m_nCaret = nextCharacter(m_nCaret);
        break;
    case SDLK_HOME:
        m_nCaret = 0;
        break;
    case SDLK_END:
        m_nCaret = m_sText.getLength();
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        fireCallback(0);
        return true;
    default:
        // Printable keys arrive as characters; the rest belong to the mode.
        return false;
    }
    render();
    return true;
}

void EditBox::updateLook() {
    if (m_bShowsCaret != (hasFocus() && isEnabled())) render();
}

void EditBox::render() {
    TSL_TRACE();
    Theme* pTheme = GameApp::getInstance()->getTheme();
    Tsl::SmartPtr<FrameStyle> pFrame = pTheme->getFrameStyle(m_sFrameStyle);
    Rect padding = pFrame ? pFrame->padding : makeEdges(0, 0, 0, 0);
    Tsl::String sFont = !m_sFont.isEmpty() ? m_sFont : (pFrame && !pFrame->sFont.isEmpty() ? pFrame->sFont : "Theme::DefaultBlack");
    Tsl::SmartPtr<Font> pFont = pTheme->getFont(sFont);
    int nWidth = m_nWidth + padding.left + padding.right;
    int nHeight = pFont->getHeight() + padding.top + padding.bottom;
    Tsl::SmartPtr<Image> pImage =
        pFrame && pFrame->pImage ? StyleDraw::makeNineSlice(pFrame->pImage, pFrame->borders, nWidth, nHeight)
                                 : GameApp::getInstance()->createImage(nWidth, nHeight, true);
    // The text scrolls left when the caret would leave the field.
    int nCaretX = pFont->getTextWidth(m_sText.left(m_nCaret));
    int nScroll = std::max(0, nCaretX + CARET_WIDTH - m_nWidth);
    Tsl::SmartPtr<Image> pField = GameApp::getInstance()->createImage(m_nWidth, pFont->getHeight(), true);
    pField->fill(Color(0, 0, 0, 0));
    pFont->drawString(pField, -nScroll, 0, m_sText);
    m_bShowsCaret = hasFocus() && isEnabled();
    if (m_bShowsCaret) {
        Color caret = pFont->getTextColor();
        pField->lock();
        for (int y = 0; y < pFont->getHeight(); ++y)
            for (int x = nCaretX - nScroll; x < nCaretX - nScroll + CARET_WIDTH; ++x)
                if (x >= 0 && x < m_nWidth) pField->putPixel(x, y, caret);
        pField->unlock();
        pField->invalidate();
    }
    StyleDraw::drawPart(pImage, pField, Rect(0, 0, m_nWidth, pFont->getHeight()), padding.left, padding.top);
    showImage(pImage);
}
