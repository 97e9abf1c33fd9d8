#include "text/sdl_ttf_font.h"

#include "app/gameapp.h"
#include "image/sdl_image.h"

#include "tsl2/error.h"
#include "tsl2/tokenfilereader.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <string>

int SDLTTFData::s_nTTFUseCount = 0;
int SDLTTFFactory::s_nHits = 0;
int SDLTTFFactory::s_nMisses = 0;

// ---- SDLTTFData ---------------------------------------------------------------

SDLTTFData::SDLTTFData() : m_pFont(nullptr), m_pRWOps(nullptr) {
    if (!TTF_WasInit()) {
        TSL_ASSERT(s_nTTFUseCount == 0);
        if (TTF_Init() < 0) TSL_THROW(FatalErrorException, "TTF_Init failed : %s", TTF_GetError());
    }
    ++s_nTTFUseCount;
}

SDLTTFData::~SDLTTFData() {
    if (m_pFont) TTF_CloseFont(m_pFont);
    if (m_pRWOps) SDL_FreeRW(m_pRWOps);
    // A destructor must not throw: a broken count only skips the shut-down.
    if (s_nTTFUseCount > 0 && --s_nTTFUseCount == 0 && TTF_WasInit()) TTF_Quit();
}

// ---- SDLTrueTypeFont ----------------------------------------------------------

SDLTrueTypeFont::SDLTrueTypeFont() : m_nSize(0) {}

Tsl::SmartPtr<Font> SDLTrueTypeFont::clone() const {
    SDLTrueTypeFont* pFont = new SDLTrueTypeFont();
    Tsl::SmartPtr<Font> pResult = pFont;
    pFont->m_pData = m_pData;
    pFont->copyTTFSettings(this);
    pFont->setSpec(getFactory(), getSpec());
    return pResult;
}

void SDLTrueTypeFont::copyTTFSettings(const SDLTrueTypeFont* pOther) {
    copySettings(pOther);
    m_nSize = pOther->getSize();
}

void SDLTrueTypeFont::checkSize(const char* pszResource, int nSize) {
    if (nSize < 1 || nSize > MAX_POINT_SIZE)
        TSL_THROW(BadParmException, "TrueType font '%s' : point size %d is outside 1 to %d", pszResource, nSize,
                  static_cast<int>(MAX_POINT_SIZE));
}

void SDLTrueTypeFont::open(const char* pszResource, int nSize, int nStyle) {
    TSL_TRACE();
    Tsl::traceSetNote(pszResource);
    checkSize(pszResource, nSize);
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Can't open TrueType font '%s' without an application", pszResource);
    open(pApp->getResource(pszResource), nSize, nStyle);
}

void SDLTrueTypeFont::open(Tsl::SmartPtr<Tsl::Resource> pResource, int nSize, int nStyle) {
    TSL_ASSERT(pResource);
    const char* pszResource = pResource->getName().c_str();
    checkSize(pszResource, nSize);
    // The data owns the stream as soon as it exists, so every failure below
    // frees it.
    Tsl::SmartPtr<SDLTTFData> pData = new SDLTTFData();
    pData->m_pResource = pResource;
    SDL_RWops* pRWOps = SDL_RWFromConstMem(pResource->getData(), pResource->getSize());
    TSL_ASSERT(pRWOps);
    pData->m_pRWOps = pRWOps;
    pData->m_pFont = TTF_OpenFontRW(pRWOps, 0, nSize);
    if (!pData->m_pFont)
        TSL_THROW(ResourceException, "Can't open TrueType font '%s' : %s", pszResource, TTF_GetError());
    if (nStyle != 0)
        TTF_SetFontStyle(pData->m_pFont, nStyle & (STYLE_BOLD | STYLE_ITALIC | STYLE_UNDERLINE));
    m_pData = pData;
    m_nSize = nSize;
}

int SDLTrueTypeFont::getHeight() const {
    return m_pData ? TTF_FontHeight(m_pData->m_pFont) : 0;
}

int SDLTrueTypeFont::getTextWidth(const char* pszText) const {
    if (!pszText || !*pszText || !m_pData) return 0;
    int nMax = 0;
    const char* p = pszText;
    while (*p) {
        const char* pEnd = p;
        while (*pEnd && *pEnd != '\n') ++pEnd;
        // A CR before the LF is not drawn, so it takes no room.
        const char* pPieceEnd = (pEnd > p && pEnd[-1] == '\r') ? pEnd - 1 : pEnd;
        Tsl::String sPiece(p, static_cast<int>(pPieceEnd - p));
        int w = 0, h = 0;
        if (TTF_SizeUTF8(m_pData->m_pFont, sPiece, &w, &h) != 0)
            TSL_THROW(FatalErrorException, "TTF_SizeUTF8 failed : %s\n", SDL_GetError());
        nMax = std::max(nMax, w);
        p = *pEnd ? pEnd + 1 : pEnd;
    }
    return nMax;
}

void SDLTrueTypeFont::renderInto(Image* pTarget, int x, int y, const char* pszText, const Color& c) const {
    SDL_Color color = {c.r, c.g, c.b, 0};
    SDL_Surface* pSurface = TTF_RenderUTF8_Blended(m_pData->m_pFont, pszText, color);
    if (!pSurface) return;
    Tsl::SmartPtr<Image> pRendered = new SDLImage(pSurface);
    pTarget->copyImage(pRendered, x, y);
}

void SDLTrueTypeFont::drawString(Tsl::SmartPtr<Image> pTarget, int x, int y, const char* pszText) const {
    if (!pszText || !*pszText || !m_pData || !pTarget) return;
    TSL_TRACE();
    // SDL_ttf draws a box for LF and CR, which end the lines of wrapped text.
    std::string sLine(pszText);
    sLine.erase(std::remove_if(sLine.begin(), sLine.end(), [](char c) { return c == '\n' || c == '\r'; }),
                sLine.end());
    if (sLine.empty()) return;
    if (getDrawShadow()) {
        int nOffset = getShadowOffset();
        renderInto(pTarget, x + nOffset, y + nOffset, sLine.c_str(), getShadowColor());
    }
    renderInto(pTarget, x, y, sLine.c_str(), getTextColor());
}

// ---- SDLTTFFactory ------------------------------------------------------------

namespace {

int styleOf(const Tsl::List<Tsl::String>& lParams) {
    int nStyle = 0;
    for (int i = 2; i < lParams.getCount(); ++i) {
        Tsl::String sWord = lParams.getAt(i).toLower();
        if (sWord == "bold") nStyle |= SDLTrueTypeFont::STYLE_BOLD;
        else if (sWord == "italic") nStyle |= SDLTrueTypeFont::STYLE_ITALIC;
        else if (sWord == "underline") nStyle |= SDLTrueTypeFont::STYLE_UNDERLINE;
    }
    return nStyle;
}

} // namespace

SDLTTFFactory::SDLTTFFactory() : m_hCache(97) {}

SDLTTFFactory::~SDLTTFFactory() {}

Tsl::String SDLTTFFactory::makeKey(const Tsl::String& sResolved, const Tsl::List<Tsl::String>& lParams) {
    Tsl::String sKey = sResolved;
    sKey += "::";
    for (int i = 1; i < lParams.getCount(); ++i) {
        if (i > 1) sKey += "::";
        sKey += lParams.getAt(i);
    }
    return sKey.toLower();
}

Tsl::SmartPtr<Font> SDLTTFFactory::createFont(const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::String sName = lParams.getAt(0);
    Tsl::traceSetNote(sName);
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sResolved = pApp ? pApp->findResource(sName) : Tsl::String();
    Tsl::String sKey = makeKey(sResolved, lParams);
    if (m_hCache.hasKey(sKey)) {
        ++s_nHits;
        touch(sKey);
        return handOut(m_hCache.get(sKey));
    }
    ++s_nMisses;
    Tsl::SmartPtr<SDLTrueTypeFont> pFont = new SDLTrueTypeFont();
    // The resolved name, so an aliased font opens; an unknown one is
    // reported under its own name.
    // Checked, not wrapped: a size past the int would come back as one in range.
    int nSize = Tsl::toCheckedInt(lParams.getAt(1), 1, SDLTrueTypeFont::MAX_POINT_SIZE);
    pFont->open(sResolved.isEmpty() ? sName : sResolved, nSize, styleOf(lParams));
    // The cached font keeps no reference to the factory, so the two never
    // keep each other alive; the clones handed out carry it.
    pFont->setSpec(nullptr, lParams);
    m_hCache.set(sKey, pFont);
    m_lUseOrder.append(sKey);
    while (m_lUseOrder.getCount() > CACHE_SIZE) evictOldest();
    return handOut(pFont);
}

Tsl::SmartPtr<Font> SDLTTFFactory::handOut(Font* pCached) {
    Tsl::SmartPtr<Font> pClone = pCached->clone();
    pClone->setSpec(this, pCached->getSpec());
    return pClone;
}

void SDLTTFFactory::touch(const Tsl::String& sKey) {
    int nIndex = m_lUseOrder.indexOf(sKey);
    if (nIndex >= 0) m_lUseOrder.removeAt(nIndex);
    m_lUseOrder.append(sKey);
}

void SDLTTFFactory::evictOldest() {
    Tsl::String sKey = m_lUseOrder.removeFirst();
    m_hCache.remove(sKey);
}

void SDLTTFFactory::clearCache() {
    m_hCache.clear();
    m_lUseOrder.clear();
}

bool SDLTTFFactory::setIntParam(Tsl::List<Tsl::String>& lSpec, int nIndex, int nValue) {
    if (nIndex != 0) return false;
    lSpec.getNode(1)->data = Tsl::String::format("%d", nValue);
    return true;
}

int SDLTTFFactory::getIntParam(const Tsl::List<Tsl::String>& lSpec, int nIndex) const {
    if (nIndex != 0) return -1;
    return Tsl::String::toInt(lSpec.getAt(1));
}

Tsl::String SDLTTFFactory::formatStatistics() {
    int nTotal = s_nHits + s_nMisses;
    float fPercent = nTotal ? static_cast<float>(s_nHits) * 100.0f / static_cast<float>(nTotal) : 0.0f;
    return Tsl::String::format("S: Font cache : %d hits (%.1lf%%), %d misses\n", s_nHits,
                               static_cast<double>(fPercent), s_nMisses);
}
