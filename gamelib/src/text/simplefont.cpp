#include "text/simplefont.h"

#include "app/gameapp.h"
#include "text/codepage.h"
#include "text/fontregistry.h"

SimpleFontCore::SimpleFontCore() : m_hColorGlyphs(97) {}

SimpleFontCore::~SimpleFontCore() {}

void SimpleFontCore::loadGlyphs(Tsl::SmartPtr<Image> pSheet) {
    m_sheet = loadGlyphSheet(pSheet);
    m_hColorGlyphs.clear();
}

void SimpleFontCore::prepareColor(Color c) {
    if (m_hColorGlyphs.hasKey(c) || !m_sheet.pGlyphs) return;
    TSL_TRACE();
    Tsl::SmartPtr<ImagePtrArrayWrapper> pTinted = new ImagePtrArrayWrapper();
    for (int i = 0; i < ImagePtrArrayWrapper::SIZE; ++i) {
        Image* pGlyph = (*m_sheet.pGlyphs)[i];
        if (pGlyph) (*pTinted)[i] = tintGlyph(pGlyph, c);
    }
    m_hColorGlyphs.set(c, pTinted);
}

Tsl::SmartPtr<ImagePtrArrayWrapper> SimpleFontCore::getColoredGlyphs(Color c) {
    prepareColor(c);
    return m_hColorGlyphs.hasKey(c) ? m_hColorGlyphs.get(c) : Tsl::SmartPtr<ImagePtrArrayWrapper>();
}

Tsl::SmartPtr<Image> SimpleFontCore::tintGlyph(Image* pGlyph, const Color& c) {
    Tsl::SmartPtr<Image> pTinted = GameApp::getInstance()->createImage(pGlyph->getWidth(), pGlyph->getHeight(), true);
    pTinted->fill(c);
    pTinted->setAlphaFromImage(pGlyph, 0);
    if (pGlyph->hasColorKey() && !pGlyph->hasAlpha()) {
        // Without alpha the coverage comes from the red channel, which says
        // nothing about keyed pixels: those stay clear.
        for (int y = 0; y < pGlyph->getHeight(); ++y)
            for (int x = 0; x < pGlyph->getWidth(); ++x)
                if (pGlyph->isTransparentAt(x, y, 0)) pTinted->setColorAt(x, y, Color(c.r, c.g, c.b, 0));
    }
    pTinted->setInsPoint(pGlyph->getInsPointX(), pGlyph->getInsPointY());
    return pTinted;
}

void SimpleFontCore::drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText,
                                const SimpleFont* pFont) {
    if (!pszText || !m_sheet.pGlyphs || !pTarget) return;
    Tsl::SmartPtr<ImagePtrArrayWrapper> pText = getColoredGlyphs(pFont->getTextColor());
    Tsl::SmartPtr<ImagePtrArrayWrapper> pShadow;
    int nOffset = 0;
    if (pFont->getDrawShadow()) {
        pShadow = getColoredGlyphs(pFont->getShadowColor());
        nOffset = pFont->getShadowOffset();
    }
    pFont->drawGlyphs(pTarget, *pText, pShadow.get(), nOffset, x, y, pszText);
}

Tsl::SmartPtr<Font> SimpleFont::clone() const {
    SimpleFont* pFont = new SimpleFont();
    Tsl::SmartPtr<Font> pResult = pFont;
    pFont->setCore(m_pCore);
    pFont->copyBitmapSettings(this);
    return pResult;
}

void SimpleFont::drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const {
    if (m_pCore) m_pCore->drawString(pTarget, x, y, pszText, this);
}

void SimpleFont::loadFromImage(Tsl::SmartPtr<Image> pSheet) {
    Tsl::SmartPtr<SimpleFontCore> pCore = new SimpleFontCore();
    pCore->loadGlyphs(pSheet);
    setCore(pCore);
}

const ImagePtrArrayWrapper* SimpleFont::getGlyphTable() const {
    return m_pCore ? m_pCore->getGlyphs() : nullptr;
}

void SimpleFont::setCore(Tsl::SmartPtr<SimpleFontCore> pCore) {
    m_pCore = pCore;
    if (!pCore) return;
    setCharSpacing(pCore->getCharSpacing());
    setBlankWidth(pCore->getBlankWidth());
    setHeight(pCore->getHeight());
}

void SimpleFont::registerFactory() {
    FontRegistry::registerFactory("SimpleFont", new SimpleFontFactory());
}

Tsl::SmartPtr<Font> SimpleFontFactory::createFont(const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::SmartPtr<SimpleFont> pFont = new SimpleFont();
    pFont->loadFromImage(loadFontSheet(lParams));
    return pFont;
}
