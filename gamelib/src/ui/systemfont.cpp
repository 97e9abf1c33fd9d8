#include "ui/systemfont.h"

#include "image/image.h"

#include <algorithm>

namespace {

// Printable ASCII from space to "~", five rows of three columns each ("X" on).
const char* const s_apGlyphs[] = {
    "...............", ".X..X..X.....X.", "X.XX.X.........", "X.XXXXX.XXXXX.X", ".XXXX..X..XXXX.",
    "X....X.X.X....X", ".X.X.X.X.X.X.XX", ".X..X..........", "..X.X..X..X...X", "X...X..X..X.X..",
    "...X.X.X.X.X...", "....X.XXX.X....", "..........X.X..", "......XXX......", ".............X.",
    "..X..X.X.X..X..", "XXXX.XX.XX.XXXX", ".X.XX..X..X.XXX", "XXX..XXXXX..XXX", "XXX..X.XX..XXXX",
    "X.XX.XXXX..X..X", "XXXX..XXX..XXXX", "XXXX..XXXX.XXXX", "XXX..X.X..X..X.", "XXXX.XXXXX.XXXX",
    "XXXX.XXXX..XXXX", "....X.....X....", "....X.....X.X..", "..X.X.X...X...X", "...XXX...XXX...",
    "X...X...X.X.X..", "XXX..X.X.....X.", "XXXX.XX.XX...XX", ".X.X.XXXXX.XX.X", "XX.X.XXX.X.XXX.",
    ".XXX..X..X...XX", "XX.X.XX.XX.XXX.", "XXXX..XX.X..XXX", "XXXX..XX.X..X..", ".XXX..X.XX.X.XX",
    "X.XX.XXXXX.XX.X", "XXX.X..X..X.XXX", "..X..X..XX.X.X.", "X.XX.XXX.X.XX.X", "X..X..X..X..XXX",
    "X.XXXXXXXX.XX.X", "XX.X.XX.XX.XX.X", ".X.X.XX.XX.X.X.", "XX.X.XXX.X..X..", ".X.X.XX.XXX..XX",
    "XX.X.XXX.X.XX.X", ".XXX...X...XXX.", "XXX.X..X..X..X.", "X.XX.XX.XX.XXXX", "X.XX.XX.XX.X.X.",
    "X.XX.XXXXXXXX.X", "X.XX.X.X.X.XX.X", "X.XX.X.X..X..X.", "XXX..X.X.X..XXX", "XX.X..X..X..XX.",
    "X..X...X...X..X", ".XX..X..X..X.XX", ".X.X.X.........", "............XXX", "X...X..........",
};

const int FIRST_GLYPH = ' ';
const int LAST_GLYPH = '~';
const int GLYPH_COUNT = int(sizeof(s_apGlyphs) / sizeof(s_apGlyphs[0]));

// The glyph rows for a byte; lower case reuses the capitals, the braces,
// bar and tilde their neighbours in shape.
const char* glyphFor(unsigned char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    else if (c == '{') c = '(';
    else if (c == '}') c = ')';
    else if (c == '|') c = '!';
    else if (c == '~') c = '-';
    int nIndex = int(c) - FIRST_GLYPH;
    if (c < FIRST_GLYPH || c > LAST_GLYPH || nIndex >= GLYPH_COUNT) nIndex = '?' - FIRST_GLYPH;
    return s_apGlyphs[nIndex];
}

// A UTF-8 continuation byte takes no room: its character was counted at its lead byte.
bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

SystemFont::SystemFont(int nScale) : m_nScale(std::max(1, nScale)) {}

Tsl::SmartPtr<Font> SystemFont::clone() const {
    Tsl::SmartPtr<Font> pCopy = new SystemFont(m_nScale);
    pCopy->copySettings(this);
    pCopy->setSpec(getFactory(), getSpec());
    return pCopy;
}

bool SystemFont::hasGlyph(char c) const {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= FIRST_GLYPH && u <= LAST_GLYPH;
}

int SystemFont::getHeight() const { return (GLYPH_HEIGHT + 1) * m_nScale; }

int SystemFont::getTextWidth(const char* pszText) const {
    if (!pszText) return 0;
    int nWidest = 0, nCount = 0;
    for (const char* p = pszText; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n' || c == '\r') {
            nWidest = std::max(nWidest, nCount);
            nCount = 0;
        } else if (!isContinuation(c)) {
            ++nCount;
        }
    }
    return std::max(nWidest, nCount) * getAdvance();
}

void SystemFont::drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const {
    if (!pTarget || !pszText) return;
    int nShadow = getDrawShadow() ? getShadowOffset() : 0;
    if (nShadow) drawGlyphs(pTarget, x + nShadow, y + nShadow, pszText, getShadowColor());
    drawGlyphs(pTarget, x, y, pszText, getTextColor());
}

void SystemFont::drawGlyphs(Image* pTarget, int x, int y, const char* pszText, const Color& color) const {
    Rect area = pTarget->getPhysicalCanvasRect();
    pTarget->prepareForWrite();
    pTarget->lock();
    int nPenX = x, nPenY = y;
    for (const char* p = pszText; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n' || c == '\r') {
            nPenX = x;
            nPenY += getHeight();
            continue;
        }
        if (isContinuation(c)) continue;
        const char* pGlyph = glyphFor(c);
        for (int nRow = 0; nRow < GLYPH_HEIGHT; ++nRow)
            for (int nCol = 0; nCol < GLYPH_WIDTH; ++nCol) {
                if (pGlyph[nRow * GLYPH_WIDTH + nCol] != 'X') continue;
                for (int dy = 0; dy < m_nScale; ++dy)
                    for (int dx = 0; dx < m_nScale; ++dx) {
                        int px = nPenX + nCol * m_nScale + dx, py = nPenY + nRow * m_nScale + dy;
                        if (area.contains(px, py)) pTarget->putPixel(px - area.left, py - area.top, color);
                    }
            }
        nPenX += getAdvance();
    }
    pTarget->unlock();
    pTarget->invalidate();
}
