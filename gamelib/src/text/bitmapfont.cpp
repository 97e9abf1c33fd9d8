#include "text/bitmapfont.h"

#include "app/gameapp.h"
#include "text/codepage.h"
#include "text/fontregistry.h"

#include <algorithm>

BitmapFontBase::BitmapFontBase()
    : m_nCharSpacing(1), m_nHeight(0), m_nBlankWidth(GlyphSheetLayout::DEFAULT_BLANK_WIDTH) {}

bool BitmapFontBase::hasGlyph(char c) const {
    const ImagePtrArrayWrapper* pTable = getGlyphTable();
    return pTable && !(*pTable)[static_cast<unsigned char>(c)].isNull();
}

int BitmapFontBase::getTextWidth(const char* pszText) const {
    if (!pszText) return 0;
    const ImagePtrArrayWrapper* pTable = getGlyphTable();
    int nMax = 0, w = 0;
    const char* p = pszText;
    while (*p) {
        int nByte = CodePage::nextByte(p);
        Image* pGlyph = (pTable && nByte != CodePage::NO_BYTE) ? (*pTable)[nByte].get() : nullptr;
        if (pGlyph) {
            w += pGlyph->getWidth() + getCharSpacing();
        } else if (nByte == '\r' || nByte == '\n') {
            nMax = std::max(nMax, w);
            w = 0;
        } else {
            w += getBlankWidth();
        }
    }
    return std::max(nMax, w);
}

void BitmapFontBase::copyBitmapSettings(const BitmapFontBase* pOther) {
    copySettings(pOther);
    setBlankWidth(pOther->getBlankWidth());
    setCharSpacing(pOther->getCharSpacing());
    setHeight(pOther->getHeight());
}

int BitmapFontBase::drawGlyph(Image* pTarget, const ImagePtrArrayWrapper& table, int nByte, int x, int y) const {
    Image* pGlyph = nByte == CodePage::NO_BYTE ? nullptr : table[nByte].get();
    if (!pGlyph) return getBlankWidth();
    pTarget->copyImage(pGlyph, x, y);
    return pGlyph->getWidth() + getCharSpacing();
}

void BitmapFontBase::setMetrics(const GlyphSheet& sheet) {
    setCharSpacing(sheet.nCharSpacing);
    setBlankWidth(sheet.nBlankWidth);
    setHeight(sheet.nHeight);
}

Tsl::SmartPtr<Font> BitmapFont::clone() const {
    BitmapFont* pFont = new BitmapFont();
    Tsl::SmartPtr<Font> pResult = pFont;
    pFont->m_pGlyphs = m_pGlyphs;
    pFont->copyBitmapSettings(this);
    return pResult;
}

void BitmapFont::drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const {
    if (!pszText || !m_pGlyphs || !pTarget) return;
    const char* p = pszText;
    while (*p) x += drawGlyph(pTarget, *m_pGlyphs, CodePage::nextByte(p), x, y);
}

void BitmapFont::loadFromImage(Tsl::SmartPtr<Image> pSheet) {
    GlyphSheet sheet = loadGlyphSheet(pSheet);
    m_pGlyphs = sheet.pGlyphs;
    setMetrics(sheet);
}

void BitmapFont::registerFactory() {
    FontRegistry::registerFactory("BitmapFont", new BitmapFontFactory());
}

Tsl::SmartPtr<Font> BitmapFontFactory::createFont(const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::SmartPtr<BitmapFont> pFont = new BitmapFont();
    pFont->loadFromImage(loadFontSheet(lParams));
    return pFont;
}
