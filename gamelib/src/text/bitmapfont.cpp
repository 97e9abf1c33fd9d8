#include "text/bitmapfont.h"

#include "app/gameapp.h"
#include "text/codepage.h"
#include "text/fontregistry.h"

#include <algorithm>
#include <vector>

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

void BitmapFontBase::drawGlyphs(Image* pTarget, const ImagePtrArrayWrapper& table, const ImagePtrArrayWrapper* pShadow,
                                int nShadowOffset, int x, int y, const char* pszText) const {
    std::vector<Image::Placement> aPlaced;
    for (const char* p = pszText; *p;) {
        int nByte = CodePage::nextByte(p);
        bool bByte = nByte != CodePage::NO_BYTE;
        Image* pShade = pShadow && bByte ? (*pShadow)[nByte].get() : nullptr;
        if (pShade) aPlaced.push_back({pShade, x + nShadowOffset, y + nShadowOffset});
        Image* pGlyph = bByte ? table[nByte].get() : nullptr;
        if (!pGlyph) {
            x += getBlankWidth();
            continue;
        }
        aPlaced.push_back({pGlyph, x, y});
        x += pGlyph->getWidth() + getCharSpacing();
    }
    if (!aPlaced.empty()) pTarget->copyImages(aPlaced.data(), static_cast<int>(aPlaced.size()));
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
    drawGlyphs(pTarget, *m_pGlyphs, nullptr, 0, x, y, pszText);
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
