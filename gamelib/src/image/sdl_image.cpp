#include "image/sdl_image.h"

#include "app/gameapp.h"
#include "platform/platform.h"

#include "tsl2/error.h"

#include <SDL_image.h>

#include <climits>
#include <cstring>
#include <typeinfo>

namespace {

const char* const g_apszPictureSuffixes[] = {"", ".jpg", ".png", ".tga", nullptr};
const char* const g_apszCompanionSuffixes[] = {".jpg", ".png", nullptr};
const char* const g_apszExistsSuffixes[] = {".jpg", ".png", ".subimage", nullptr};

GameApp* requireApp(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Surface::loadFromFiles : no application to load '%s' from", pszName);
    return pApp;
}

int currentFrame() {
    GameApp* pApp = GameApp::getInstance();
    return pApp ? pApp->getFrameCounter() : 0;
}

bool endsWithNoCase(const Tsl::String& s, const char* pszEnd) {
    int n = static_cast<int>(std::strlen(pszEnd));
    return s.getLength() >= n && s.right(n).toLower() == pszEnd;
}

ImageFactory* platformFactory() {
    GameApp* pApp = GameApp::getInstance();
    IPlatform* pPlatform = pApp ? pApp->getPlatform() : nullptr;
    return pPlatform ? pPlatform->getImageFactory() : nullptr;
}

PixelFormat formatOf(const SDL_PixelFormat* f) {
    return PixelFormat{f->BitsPerPixel, f->Amask, f->Rmask, f->Gmask, f->Bmask};
}

// A destination point less the source's insertion point, held at the int
// limits: either limit is off every canvas, as the true value would be.
int minusInsPoint(int nPoint, int nInsPoint) {
    long long n = static_cast<long long>(nPoint) - nInsPoint;
    return n > INT_MAX ? INT_MAX : (n < INT_MIN ? INT_MIN : static_cast<int>(n));
}

} // namespace

// ============================================================================
// Surface
// ============================================================================

Surface::Surface(const char* pszName, bool bConvert, bool bAlpha)
    : m_bHasColorKey(false), m_nWidth(0), m_nHeight(0), m_fFactor(1.0f), m_pSurface(nullptr), m_bOwnSurface(true),
      m_bModified(false), m_bConvert(bConvert), m_bAlpha(bAlpha), m_pDriverData(nullptr) {
    TSL_TRACE();
    std::memset(&m_format, 0, sizeof(m_format));
    std::memset(&m_palette, 0, sizeof(m_palette));
    try {
        loadFromFiles(pszName, bConvert, bAlpha);
    } catch (...) {
        // No destructor runs for a half-built store: free what was loaded.
        freeSurface();
        throw;
    }
    m_bModified = false;
    m_sResourcePrefix = pszName;
}

Surface::Surface(SDL_Surface* pSurface)
    : m_bHasColorKey(false), m_nWidth(0), m_nHeight(0), m_fFactor(1.0f), m_pSurface(nullptr), m_bOwnSurface(true),
      m_bModified(true), m_bConvert(false), m_bAlpha(false), m_pDriverData(nullptr) {
    std::memset(&m_format, 0, sizeof(m_format));
    std::memset(&m_palette, 0, sizeof(m_palette));
    setSurface(pSurface);
}

Surface::~Surface() {
    freeSurface();
    delete m_pDriverData;
}

void Surface::freeSurface() {
    if (m_pSurface && m_bOwnSurface) SDL_FreeSurface(m_pSurface);
    m_pSurface = nullptr;
}

void Surface::setSurface(SDL_Surface* pSurface) {
    if (pSurface != m_pSurface) freeSurface();
    m_pSurface = pSurface;
    takeSnapshot();
    m_bHasColorKey = pSurface && (pSurface->flags & SDL_SRCCOLORKEY);
    m_nWidth = pSurface ? pSurface->w : 0;
    m_nHeight = pSurface ? pSurface->h : 0;
}

void Surface::takeSnapshot() {
    if (!m_pSurface) return;
    m_format = *m_pSurface->format;
    m_aPaletteColors.clear();
    if (m_pSurface->format->palette) {
        const SDL_Palette* pPalette = m_pSurface->format->palette;
        m_aPaletteColors.assign(pPalette->colors, pPalette->colors + pPalette->ncolors);
        m_palette.ncolors = pPalette->ncolors;
        m_palette.colors = m_aPaletteColors.data();
        m_format.palette = &m_palette;
    } else {
        m_format.palette = nullptr;
    }
}

void Surface::getSize(int& nWidth, int& nHeight) const {
    nWidth = m_nWidth;
    nHeight = m_nHeight;
}

Color Surface::getPixel(int x, int y) {
    PixelBuffer one = lockBuffer(Rect(x, y, x + 1, y + 1));
    Color c;
    try {
        c = PixelOps::readPixel(one, 0, 0);
    } catch (...) {
        unlock();
        throw;
    }
    unlock();
    return c;
}

void Surface::putPixel(int x, int y, const Color& c) {
    PixelOps::writePixel(lockBuffer(Rect(x, y, x + 1, y + 1)), 0, 0, c);
    unlock();
}

void Surface::setAlpha(int nAlpha) {
    m_format.alpha = static_cast<Uint8>(nAlpha);
    if (m_pSurface) {
        SDL_SetAlpha(m_pSurface, SDL_SRCALPHA, static_cast<Uint8>(nAlpha));
        takeSnapshot();
    }
}

int Surface::getAlpha() const { return m_format.Amask ? 255 : m_format.alpha; }

void Surface::setColorKey(const Color& key) {
    m_bHasColorKey = true;
    m_format.colorkey = SDL_MapRGB(&m_format, key.r, key.g, key.b);
    if (m_pSurface) {
        SDL_SetColorKey(m_pSurface, SDL_SRCCOLORKEY, m_format.colorkey);
        takeSnapshot();
    }
}

Color Surface::getColorKey() const {
    Uint8 r, g, b;
    SDL_GetRGB(m_format.colorkey, const_cast<SDL_PixelFormat*>(&m_format), &r, &g, &b);
    return Color(r, g, b, 255);
}

void Surface::markModified() {
    m_bModified = true;
    if (m_pDriverData) m_pDriverData->m_nChangeStamp = currentFrame();
}

void Surface::setFactor(float fFactor) {
    m_fFactor = fFactor;
    markModified();
}

void Surface::setDriverData(DrvSurfaceData* pData) {
    if (pData != m_pDriverData) delete m_pDriverData;
    m_pDriverData = pData;
}

SDL_Surface* Surface::getSDLSurface() {
    if (m_pSurface) return m_pSurface;
    TSL_TRACE();
    TSL_ASSERT(m_bOwnSurface && m_sResourcePrefix != "");
    bool bHadKey = m_bHasColorKey;
    Color key = getColorKey();
    int nAlpha = m_format.alpha;
    loadFromFiles(m_sResourcePrefix, m_bConvert, m_bAlpha);
    setAlpha(nAlpha);
    if (bHadKey) setColorKey(key);
    return m_pSurface;
}

void Surface::lock() { SDL_LockSurface(getSDLSurface()); }

void Surface::unlock() {
    if (m_pSurface) SDL_UnlockSurface(m_pSurface);
}

void Surface::lock(const Rect& r, unsigned char*& pPixels, int& nPitch) {
    SDL_Surface* pSurface = getSDLSurface();
    SDL_LockSurface(pSurface);
    nPitch = pSurface->pitch;
    pPixels = static_cast<unsigned char*>(pSurface->pixels) + r.top * nPitch + r.left * pSurface->format->BytesPerPixel;
}

PixelBuffer Surface::lockBuffer(const Rect& r) {
    PixelBuffer buf;
    lock(r, buf.pPixels, buf.nPitch);
    buf.nWidth = r.getWidth();
    buf.nHeight = r.getHeight();
    buf.pFormat = &m_format;
    return buf;
}

void Surface::releasePixels() {
    if (m_bModified || m_sResourcePrefix.isEmpty() || !m_bOwnSurface || !m_pSurface) return;
    SDL_FreeSurface(m_pSurface);
    m_pSurface = nullptr;
}

PixelFormat Surface::getDisplayPixelFormat(bool bAlpha) {
    GameApp* pApp = GameApp::getInstance();
    IVideoDriver* pDriver = pApp ? pApp->getVideoDriver() : nullptr;
    if (pDriver) {
        PixelFormat format = bAlpha ? pDriver->getAlphaPixelFormat() : pDriver->getPixelFormat();
        if (format.nBitsPerPixel != 0) return format;
    }
    if (bAlpha) return PixelFormat{32, 0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    return PixelFormat{24, 0, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
}

SDL_Surface* Surface::createSurface(int nWidth, int nHeight, const PixelFormat& f) {
    SDL_Surface* pSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, nWidth, nHeight, f.nBitsPerPixel, f.nRedMask,
                                                 f.nGreenMask, f.nBlueMask, f.nAlphaMask);
    if (!pSurface)
        TSL_THROW(FatalErrorException, "SDL_CreateRGBSurface failed for %d BPP [%08X %08X %08X %08X] : %s",
                  f.nBitsPerPixel, f.nRedMask, f.nGreenMask, f.nBlueMask, f.nAlphaMask, SDL_GetError());
    return pSurface;
}

// SDL converts to the format of an existing surface: an empty one of the
// wanted format serves as the template.
static SDL_Surface* convertTo(SDL_Surface* pSurface, const PixelFormat& format, Uint32 nFlags) {
    TSL_TRACE();
    SDL_Surface* pTemplate = Surface::createSurface(0, 0, format);
    SDL_Surface* pResult = SDL_ConvertSurface(pSurface, pTemplate->format, nFlags);
    SDL_FreeSurface(pTemplate);
    if (!pResult) TSL_THROW(FatalErrorException, "SDL_ConvertSurface failed : %s", SDL_GetError());
    return pResult;
}

SDL_Surface* Surface::toDisplayFormatAlpha(SDL_Surface* pSurface) {
    return convertTo(pSurface, getDisplayPixelFormat(true), SDL_SRCALPHA);
}

SDL_Surface* Surface::toDisplayFormat(SDL_Surface* pSurface) {
    return convertTo(pSurface, getDisplayPixelFormat(false), 0);
}

SDL_Surface* Surface::toFormat(SDL_Surface* pSurface, const PixelFormat& format) {
    return convertTo(pSurface, format, 0);
}

void Surface::blitRaw(SDL_Surface* pSource, int nSrcX, int nSrcY, int nWidth, int nHeight, SDL_Surface* pDest, int x,
                      int y) {
    Uint32 nFlags = pSource->flags;
    Uint8 nAlpha = pSource->format->alpha;
    Uint32 nKey = pSource->format->colorkey;
    SDL_SetAlpha(pSource, 0, 255);
    SDL_SetColorKey(pSource, 0, 0);
    SDL_Rect src = {static_cast<Sint16>(nSrcX), static_cast<Sint16>(nSrcY), static_cast<Uint16>(nWidth),
                    static_cast<Uint16>(nHeight)};
    SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(pSource, &src, pDest, &dst);
    if (nFlags & SDL_SRCALPHA) SDL_SetAlpha(pSource, SDL_SRCALPHA, nAlpha);
    if (nFlags & SDL_SRCCOLORKEY) SDL_SetColorKey(pSource, SDL_SRCCOLORKEY, nKey);
}

Tsl::SmartPtr<Surface> Surface::displayFormat() {
    TSL_TRACE();
    SDL_Surface* pSource = getSDLSurface();
    SDL_Surface* pResult = (hasAlpha() || m_bHasColorKey) ? toDisplayFormatAlpha(pSource) : toDisplayFormat(pSource);
    Tsl::SmartPtr<Surface> pCopy = new Surface(pResult);
    if (m_bHasColorKey) pCopy->setColorKey(getColorKey());
    pCopy->setAlpha(m_format.alpha);
    pCopy->m_fFactor = m_fFactor;
    return pCopy;
}

void Surface::convertToAlphaFormat() { setSurface(toDisplayFormatAlpha(getSDLSurface())); }

void Surface::convertToDisplayFormat() { setSurface(toDisplayFormat(getSDLSurface())); }

void Surface::loadFromFiles(const char* pszName, bool bConvert, bool bAlpha) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    GameApp* pApp = requireApp(pszName);
    Tsl::String sResolved = pApp->findResource(pszName, g_apszPictureSuffixes);
    if (sResolved.isEmpty()) TSL_THROW(BadParmException, "Surface::loadFromFiles : resource %s not found", pszName);
    Tsl::String sCompanion;
    if (bAlpha && !std::strstr(pszName, ".alpha"))
        sCompanion = pApp->findResource(Tsl::String(pszName) + ".alpha", g_apszCompanionSuffixes);
    loadFromResource(pApp->getResource(sResolved), sResolved);
    if (bConvert && !m_bHasColorKey) {
        if (!hasAlpha() && sCompanion.isEmpty()) convertToDisplayFormat();
        else convertToAlphaFormat();
    }
    if (!sCompanion.isEmpty()) {
        Tsl::traceAppendNote("; ");
        Tsl::traceAppendNote(sCompanion);
        Tsl::SmartPtr<Surface> pAlpha = new Surface(sCompanion, false, false);
        applyAlphaFrom(pAlpha);
    }
}

void Surface::loadFromResource(Tsl::Resource* pResource, const char* pszName) {
    TSL_TRACE();
    Tsl::String sName(pszName);
    SDL_RWops* pStream = SDL_RWFromConstMem(pResource->getData(), pResource->getSize());
    if (!pStream) TSL_THROW(ResourceException, "Surface::loadFromResource : Can't load %s [%s]", pszName, SDL_GetError());
    // TGA has no signature for SDL_image to detect: name it by its suffix,
    // and try it last for a bare name only, so that a broken ".png" or ".jpg"
    // reports its own decoder's error.
    bool bTga = endsWithNoCase(sName, ".tga");
    bool bBare = !bTga && !endsWithNoCase(sName, ".png") && !endsWithNoCase(sName, ".jpg");
    SDL_Surface* pSurface = bTga ? IMG_LoadTyped_RW(pStream, 0, const_cast<char*>("TGA")) : IMG_Load_RW(pStream, 0);
    Tsl::String sError = pSurface ? Tsl::String() : Tsl::String(IMG_GetError());
    if (!pSurface && bBare) {
        SDL_RWseek(pStream, 0, RW_SEEK_SET);
        pSurface = IMG_LoadTyped_RW(pStream, 0, const_cast<char*>("TGA"));
    }
    SDL_FreeRW(pStream);
    if (!pSurface) TSL_THROW(ResourceException, "Surface::loadFromResource : Can't load %s [%s]", pszName, sError.c_str());
    setSurface(pSurface);
    // The companion replaces the picture's extension; a bare name has none to lose.
    Tsl::String sBase = sName;
    for (const char* pszSuffix : {".jpg", ".png", ".tga"}) {
        if (endsWithNoCase(sName, pszSuffix)) sBase = sName.left(sName.getLength() - 4);
    }
    if (GameApp::getInstance()->hasResource(sBase + ".colorkey") && m_nHeight > 0 && m_nWidth > 0)
        setColorKey(getPixel(0, m_nHeight - 1));
}

void Surface::applyAlphaFrom(Surface* pAlpha) {
    TSL_TRACE();
    if (pAlpha->getWidth() < m_nWidth || pAlpha->getHeight() < m_nHeight)
        TSL_THROW(ResourceException, "Surface::applyAlphaFrom : alpha picture %s is %dx%d, smaller than %s (%dx%d)",
                  pAlpha->getResourcePrefix().c_str(), pAlpha->getWidth(), pAlpha->getHeight(),
                  m_sResourcePrefix.c_str(), m_nWidth, m_nHeight);
    if (!hasAlpha()) convertToAlphaFormat();
    Rect all(0, 0, m_nWidth, m_nHeight);
    PixelBuffer dst = lockBuffer(all);
    PixelOps::transferAlpha(dst, pAlpha->lockBuffer(all), 0);
    pAlpha->unlock();
    unlock();
}

// ============================================================================
// SDLImage
// ============================================================================

SDLImage::SDLImage(const char* pszName, bool bConvert, bool bAlpha)
    : m_pLockedPixels(nullptr), m_nLockedPitch(0), m_nLockDepth(0), m_pDriverData(nullptr) {
    TSL_TRACE();
    load(pszName, bConvert, bAlpha);
}

SDLImage::SDLImage() : m_pLockedPixels(nullptr), m_nLockedPitch(0), m_nLockDepth(0), m_pDriverData(nullptr) {}

SDLImage::SDLImage(SDL_Surface* pSurf)
    : m_pLockedPixels(nullptr), m_nLockedPitch(0), m_nLockDepth(0), m_pDriverData(nullptr) {
    TSL_ASSERT(pSurf);
    setSurface(new Surface(pSurf));
}

SDLImage::SDLImage(int nWidth, int nHeight, bool bAlpha, bool bClear)
    : m_pLockedPixels(nullptr), m_nLockedPitch(0), m_nLockDepth(0), m_pDriverData(nullptr) {
    TSL_TRACE();
    if (nWidth < 1) nWidth = 1;
    if (nHeight < 1) nHeight = 1;
    setSurface(new Surface(Surface::createSurface(nWidth, nHeight, Surface::getDisplayPixelFormat(bAlpha))));
    if (bAlpha && bClear) fill(Color(0, 0, 0, 0));
}

SDLImage::SDLImage(SDLImage* pImage, const Rect& r)
    : m_pLockedPixels(nullptr), m_nLockedPitch(0), m_nLockDepth(0), m_pDriverData(nullptr) {
    TSL_ASSERT(pImage);
    m_pSurface = pImage->m_pSurface;
    Rect bounds(0, 0, m_pSurface ? m_pSurface->getWidth() : 0, m_pSurface ? m_pSurface->getHeight() : 0);
    Rect clipped = r;
    clipped.clipTo(bounds);
    setSurfacePosition(clipped.left, clipped.top);
    setPhysicalSize(clipped.getWidth(), clipped.getHeight());
    setCanvasSize(clipped.getWidth(), clipped.getHeight());
    // Another image's store: any write must copy it first.
    setCommitPending(true);
}

SDLImage::~SDLImage() { delete m_pDriverData; }

void SDLImage::setDriverData(DrvImageData* pData) {
    if (pData != m_pDriverData) delete m_pDriverData;
    m_pDriverData = pData;
}

Surface* SDLImage::requireSurface() {
    if (!m_pSurface) TSL_THROW(BadStateException, "SDLImage : image '%s' has no pixels", getName().c_str());
    return m_pSurface;
}

SDLImage* SDLImage::asSDLImage(Image* pImage) {
    SDLImage* pSDLImage = dynamic_cast<SDLImage*>(pImage);
    TSL_ASSERT(pSDLImage);
    return pSDLImage;
}

void SDLImage::setSurface(Tsl::SmartPtr<Surface> pSurface) {
    m_pSurface = pSurface;
    int nWidth = pSurface ? pSurface->getWidth() : 0, nHeight = pSurface ? pSurface->getHeight() : 0;
    setSurfacePosition(0, 0);
    setPhysicalSize(nWidth, nHeight);
    setPhysicalOffset(0, 0);
    setCanvasSize(nWidth, nHeight);
    pixelsChanged();
}

void SDLImage::markModified() {
    if (m_pSurface) m_pSurface->markModified();
    releaseShape();
}

void SDLImage::setSurfaceFactor(float fFactor) { requireSurface()->setFactor(fFactor); }

float SDLImage::getSurfaceFactor() { return m_pSurface ? m_pSurface->getFactor() : 1.0f; }

bool SDLImage::mapBlit(Image* pSource, const Rect& source, int x, int y, BlitSpan& span) {
    SDLImage* pSrc = asSDLImage(pSource);
    x = minusInsPoint(x, pSrc->getInsPointX());
    y = minusInsPoint(y, pSrc->getInsPointY());
    int nSrcX = source.left, nSrcY = source.top, nWidth = source.getWidth(), nHeight = source.getHeight();
    if (!clipBlit(pSrc, nSrcX, nSrcY, nWidth, nHeight, x, y)) return false;
    int nSurfX, nSurfY, nOwnX, nOwnY;
    pSrc->getSurfacePosition(nSurfX, nSurfY);
    getSurfacePosition(nOwnX, nOwnY);
    span.pSource = pSrc->requireSurface()->getSDLSurface();
    span.pDest = requireSurface()->getSDLSurface();
    span.nSrcX = nSrcX + nSurfX;
    span.nSrcY = nSrcY + nSurfY;
    span.nWidth = nWidth;
    span.nHeight = nHeight;
    span.nDestX = x + nOwnX;
    span.nDestY = y + nOwnY;
    return true;
}

void SDLImage::drawFrom(Image* pSource, const Rect& source, int x, int y, bool bRaw) {
    if (pSource == this) {
        Tsl::SmartPtr<Image> pCopy = clone(true);
        drawFrom(pCopy.get(), source, x, y, bRaw);
        return;
    }
    BlitSpan span;
    if (!mapBlit(pSource, source, x, y, span)) return;
    if (bRaw) {
        Surface::blitRaw(span.pSource, span.nSrcX, span.nSrcY, span.nWidth, span.nHeight, span.pDest, span.nDestX,
                         span.nDestY);
    } else {
        SDL_Rect src = {static_cast<Sint16>(span.nSrcX), static_cast<Sint16>(span.nSrcY),
                        static_cast<Uint16>(span.nWidth), static_cast<Uint16>(span.nHeight)};
        SDL_Rect dst = {static_cast<Sint16>(span.nDestX), static_cast<Sint16>(span.nDestY), 0, 0};
        SDL_UpperBlit(span.pSource, &src, span.pDest, &dst);
    }
    markModified();
}

void SDLImage::blit(Image* pSource, const Rect& source, int x, int y) {
    TSL_TRACE();
    drawFrom(pSource, source, x, y, false);
}

void SDLImage::copy(Image* pSource, const Rect& source, int x, int y) {
    TSL_TRACE();
    drawFrom(pSource, source, x, y, true);
}

void SDLImage::fill(const Color& c) {
    TSL_TRACE();
    prepareForWrite();
    SDL_Surface* pSurface = requireSurface()->getSDLSurface();
    int nX, nY, nWidth, nHeight;
    getSurfacePosition(nX, nY);
    getPhysicalSize(nWidth, nHeight);
    SDL_Rect r = {static_cast<Sint16>(nX), static_cast<Sint16>(nY), static_cast<Uint16>(nWidth),
                  static_cast<Uint16>(nHeight)};
    SDL_FillRect(pSurface, &r, SDL_MapRGBA(pSurface->format, c.r, c.g, c.b, c.a));
    markModified();
}

PixelFormat SDLImage::getPixelFormat() {
    return formatOf(requireSurface()->getFormat());
}

Tsl::SmartPtr<Image> SDLImage::convert(const PixelFormat& format) {
    TSL_TRACE();
    // Converting the stored pixels as seen: a view or a mirrored picture
    // gives exactly its own pixels.
    prepare();
    Tsl::SmartPtr<Image> pImage = new SDLImage(Surface::toFormat(requireSurface()->getSDLSurface(), format));
    pImage->copyGeometry(this);
    return pImage;
}

bool SDLImage::hasAlpha() { return m_pSurface && m_pSurface->hasAlpha(); }

bool SDLImage::hasColorKey() { return m_pSurface && m_pSurface->hasColorKey(); }

void SDLImage::setColorKey(const Color& key) {
    Surface* pSurface = requireSurface();
    if (pSurface->hasColorKey() && pSurface->getColorKey() == Color(key.r, key.g, key.b, 255)) return;
    // The key lives in the store: other images drawing from it keep theirs.
    prepareForWrite();
    m_pSurface->setColorKey(key);
    markModified();
}

Color SDLImage::getColorKey() { return requireSurface()->getColorKey(); }

void SDLImage::convertToAlphaFormat() {
    TSL_TRACE();
    prepareForWrite();
    requireSurface()->convertToAlphaFormat();
    markModified();
}

void SDLImage::convertToDisplayFormat() {
    TSL_TRACE();
    prepareForWrite();
    requireSurface()->convertToDisplayFormat();
    markModified();
}

void SDLImage::setAlpha(int nAlpha) {
    Surface* pSurface = requireSurface();
    // Views copy their source's value: no change, no private store needed.
    if (pSurface->getAlpha() == nAlpha) return;
    prepareForWrite();
    m_pSurface->setAlpha(nAlpha);
    markModified();
}

int SDLImage::getAlpha() { return m_pSurface ? m_pSurface->getAlpha() : 255; }

void SDLImage::notifyChanged() {
    if (m_pDriverData) m_pDriverData->m_nChangeStamp = currentFrame();
}

void SDLImage::invalidate() {
    if (m_pSurface) m_pSurface->markModified();
    Image::invalidate();
}

void SDLImage::lockRect(unsigned char*& pPixels, int& nPitch) {
    int nX, nY, nWidth, nHeight;
    getSurfacePosition(nX, nY);
    getPhysicalSize(nWidth, nHeight);
    requireSurface()->lock(Rect(nX, nY, nX + nWidth, nY + nHeight), pPixels, nPitch);
}

void SDLImage::lock() {
    unsigned char* pPixels = nullptr;
    int nPitch = 0;
    lockRect(pPixels, nPitch);
    m_pLockedPixels = pPixels;
    m_nLockedPitch = nPitch;
    ++m_nLockDepth;
}

void SDLImage::unlock() {
    if (m_nLockDepth == 0) return;
    if (m_pSurface) m_pSurface->unlock();
    if (--m_nLockDepth == 0) m_pLockedPixels = nullptr;
}

PixelBuffer SDLImage::getLockedBuffer() {
    TSL_ASSERT(m_pLockedPixels);
    PixelBuffer buf;
    buf.pPixels = m_pLockedPixels;
    buf.nPitch = m_nLockedPitch;
    getPhysicalSize(buf.nWidth, buf.nHeight);
    buf.pFormat = m_pSurface->getFormat();
    buf.bHasColorKey = m_pSurface->hasColorKey();
    return buf;
}

Color SDLImage::getPixel(int x, int y) { return PixelOps::readPixel(getLockedBuffer(), storedX(x), storedY(y)); }

void SDLImage::putPixel(int x, int y, const Color& c) {
    if (isCommitPending() || isFlippedHorizontally() || isFlippedVertically() || isStoreShared()) {
        // A write to pixels others see: give this image its own first, keeping
        // the caller's lock depth.
        int nDepth = m_nLockDepth;
        while (m_nLockDepth > 0) unlock();
        prepareForWrite();
        for (int i = 0; i < nDepth; ++i) lock();
    }
    PixelOps::writePixel(getLockedBuffer(), storedX(x), storedY(y), c);
    // Pinned from now on: releasing the pixels would reload the original.
    markModified();
}

void SDLImage::blendPixels(Image* pSource, int nSrcX, int nSrcY, int nWidth, int nHeight, int x, int y) {
    TSL_TRACE();
    if (pSource == this) {
        // Read from a copy: growing the stored pixels moves them, and a
        // destination over the source would overwrite them while they are read.
        Tsl::SmartPtr<Image> pCopy = clone(true);
        blendPixels(pCopy.get(), nSrcX, nSrcY, nWidth, nHeight, x, y);
        return;
    }
    SDLImage* pSrc = asSDLImage(pSource);
    x = minusInsPoint(x, pSrc->getInsPointX());
    y = minusInsPoint(y, pSrc->getInsPointY());
    if (!clipBlit(pSrc, nSrcX, nSrcY, nWidth, nHeight, x, y)) return;
    lock();
    if (pSrc != this) pSrc->lock();
    PixelOps::blend(getLockedBuffer().sub(Rect(x, y, x + nWidth, y + nHeight)),
                    pSrc->getLockedBuffer().sub(Rect(nSrcX, nSrcY, nSrcX + nWidth, nSrcY + nHeight)));
    if (pSrc != this) pSrc->unlock();
    unlock();
    markModified();
}

namespace {

// Asked of every glyph of a run: an exact type compare is far cheaper than a
// cast through the hierarchy, which stays for types derived from ours.
SDLImage* asPlainSDLImage(Image* pImage) {
    if (typeid(*pImage) == typeid(SDLImage)) return static_cast<SDLImage*>(pImage);
    return dynamic_cast<SDLImage*>(pImage);
}

} // namespace

void SDLImage::copyImages(const Placement* aPlaced, int nCount) {
    TSL_TRACE();
    // Stored pixels covering the whole canvas never grow, so clipping keeps
    // every place inside the locked pixels.
    bool bTogether = hasAlpha() && getPhysicalCanvasRect() == Rect(0, 0, getWidth(), getHeight());
    for (int i = 0; bTogether && i < nCount; ++i) {
        Image* pImage = aPlaced[i].pImage;
        bTogether = pImage != this && pImage->hasAlpha() && asPlainSDLImage(pImage) != nullptr;
    }
    if (!bTogether) {
        Image::copyImages(aPlaced, nCount);
        return;
    }
    prepareForWrite();
    lock();
    PixelBuffer target = getLockedBuffer();
    const int nTargetBytes = target.pFormat->BytesPerPixel;
    PixelOps::ByteLayout targetLayout = PixelOps::getByteLayout(target.pFormat), sourceLayout = targetLayout;
    const SDL_PixelFormat* pLayoutFormat = nullptr;
    for (int i = 0; i < nCount; ++i) {
        SDLImage* pSrc = static_cast<SDLImage*>(aPlaced[i].pImage);
        // Pending cuts and mirrors first: the stored pixels read below are then what is seen.
        pSrc->prepare();
        int nSrcX = 0, nSrcY = 0, nWidth = pSrc->getWidth(), nHeight = pSrc->getHeight();
        int x = minusInsPoint(aPlaced[i].x, pSrc->getInsPointX()), y = minusInsPoint(aPlaced[i].y, pSrc->getInsPointY());
        if (!clipToPictures(pSrc, nSrcX, nSrcY, nWidth, nHeight, x, y)) continue;
        Surface* pStore = pSrc->requireSurface();
        SDL_Surface* pSurface = pStore->getSDLSurface();
        // Software pixels are read in place; only a store that must be locked is.
        bool bLock = SDL_MUSTLOCK(pSurface);
        if (bLock) SDL_LockSurface(pSurface);
        PixelBuffer source;
        source.pFormat = pStore->getFormat();
        source.bHasColorKey = pStore->hasColorKey();
        source.nPitch = pSurface->pitch;
        int nSurfX, nSurfY;
        pSrc->getSurfacePosition(nSurfX, nSurfY);
        source.pPixels = static_cast<unsigned char*>(pSurface->pixels) + (nSurfY + nSrcY) * source.nPitch +
                         (nSurfX + nSrcX) * source.pFormat->BytesPerPixel;
        source.nWidth = nWidth;
        source.nHeight = nHeight;
        if (source.pFormat != pLayoutFormat) {
            pLayoutFormat = source.pFormat;
            sourceLayout = PixelOps::getByteLayout(pLayoutFormat);
        }
        PixelBuffer place = target;
        place.pPixels = target.pPixels + y * target.nPitch + x * nTargetBytes;
        place.nWidth = nWidth;
        place.nHeight = nHeight;
        PixelOps::blend(place, targetLayout, source, sourceLayout);
        if (bLock) SDL_UnlockSurface(pSurface);
    }
    unlock();
    markModified();
}

void SDLImage::shareSurface(Image* pOther) { m_pSurface = asSDLImage(pOther)->m_pSurface; }

void SDLImage::replaceStore(SDL_Surface* pSurface, int nPhysWidth, int nPhysHeight) {
    int nOffsetX, nOffsetY, nCanvasWidth = getWidth(), nCanvasHeight = getHeight();
    getPhysicalOffset(nOffsetX, nOffsetY);
    float fFactor = getSurfaceFactor();
    Tsl::SmartPtr<Surface> pStore = new Surface(pSurface);
    pStore->setFactor(fFactor);
    setSurface(pStore);
    setPhysicalSize(nPhysWidth, nPhysHeight);
    setPhysicalOffset(nOffsetX, nOffsetY);
    setCanvasSize(nCanvasWidth, nCanvasHeight);
    notifyChanged();
}

void SDLImage::setPhysicalRect(int x, int y, int nWidth, int nHeight) {
    TSL_TRACE();
    prepare();
    Surface* pOld = requireSurface();
    bool bAlpha = pOld->hasAlpha();
    bool bKey = pOld->hasColorKey();
    Color key = pOld->getColorKey();
    int nAlpha = pOld->getFormat()->alpha;
    // A 0x0 area keeps a 1x1 store so the image stays lockable.
    SDL_Surface* pSurface = Surface::createSurface(std::max(nWidth, 1), std::max(nHeight, 1),
                                                   Surface::getDisplayPixelFormat(bAlpha));
    int nOldX, nOldY, nOldWidth, nOldHeight, nOffsetX, nOffsetY;
    getSurfacePosition(nOldX, nOldY);
    getPhysicalSize(nOldWidth, nOldHeight);
    getPhysicalOffset(nOffsetX, nOffsetY);
    if (nOldWidth > 0 && nOldHeight > 0)
        Surface::blitRaw(pOld->getSDLSurface(), nOldX, nOldY, nOldWidth, nOldHeight, pSurface, nOffsetX - x,
                         nOffsetY - y);
    replaceStore(pSurface, nWidth, nHeight);
    if (bKey) m_pSurface->setColorKey(key);
    if (!bAlpha && nAlpha != 255) m_pSurface->setAlpha(nAlpha);
    setPhysicalOffset(x, y);
    markModified();
}

void SDLImage::loadPixels(const char* pszName, bool bConvert, bool bAlpha) {
    setSurface(new Surface(pszName, bConvert, bAlpha));
}

void SDLImage::trim() {
    TSL_TRACE();
    prepare();
    lock();
    Rect bounds = PixelOps::findContentBounds(getLockedBuffer());
    unlock();
    int nWidth, nHeight, nOffsetX, nOffsetY;
    getPhysicalSize(nWidth, nHeight);
    if (bounds == Rect(0, 0, nWidth, nHeight)) return;
    getPhysicalOffset(nOffsetX, nOffsetY);
    setPhysicalRect(bounds.left + nOffsetX, bounds.top + nOffsetY, bounds.getWidth(), bounds.getHeight());
}

void SDLImage::commitPixels() {
    TSL_TRACE();
    Surface* pOld = requireSurface();
    SDL_Surface* pSource = pOld->getSDLSurface();
    int nX, nY, nWidth, nHeight;
    getSurfacePosition(nX, nY);
    getPhysicalSize(nWidth, nHeight);
    const SDL_PixelFormat* f = pSource->format;
    SDL_Surface* pSurface = Surface::createSurface(std::max(nWidth, 1), std::max(nHeight, 1), formatOf(f));
    if (f->palette) SDL_SetColors(pSurface, f->palette->colors, 0, f->palette->ncolors);
    if (nWidth > 0 && nHeight > 0) Surface::blitRaw(pSource, nX, nY, nWidth, nHeight, pSurface, 0, 0);
    SDL_SetAlpha(pSurface, SDL_SRCALPHA, f->alpha);
    if (pSource->flags & SDL_SRCCOLORKEY) SDL_SetColorKey(pSurface, SDL_SRCCOLORKEY, f->colorkey);
    replaceStore(pSurface, nWidth, nHeight);
    m_pSurface->markModified();
}

void SDLImage::applyHorizontalFlip() {
    lock();
    PixelOps::flipHorizontal(getLockedBuffer());
    unlock();
    markModified();
}

void SDLImage::applyVerticalFlip() {
    lock();
    PixelOps::flipVertical(getLockedBuffer());
    unlock();
    markModified();
}

bool SDLImage::isStoreShared() { return m_pSurface && m_pSurface->getRefCount() > 1; }

Tsl::SmartPtr<Image> SDLImage::newEmptyImage() {
    ImageFactory* pFactory = platformFactory();
    return pFactory ? pFactory->createEmpty() : new SDLImage();
}

Tsl::SmartPtr<Image> SDLImage::newBlankImage(int nWidth, int nHeight, bool bAlpha) {
    ImageFactory* pFactory = platformFactory();
    return pFactory ? pFactory->createBlank(nWidth, nHeight, bAlpha) : new SDLImage(nWidth, nHeight, bAlpha, true);
}

// ============================================================================
// SDLImageFactory
// ============================================================================

Image* SDLImageFactory::load(const char* pszName) { return new SDLImage(pszName, true, true); }

bool SDLImageFactory::exists(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    return pApp && !pApp->findResource(pszName, g_apszExistsSuffixes).isEmpty();
}

Image* SDLImageFactory::create(const char* pszName, bool bConvert) { return new SDLImage(pszName, bConvert, true); }

Image* SDLImageFactory::createFromPixels(void* pPixels, int nWidth, int nHeight, int nBpp, int nPitch,
                                         unsigned int nRedMask, unsigned int nGreenMask, unsigned int nBlueMask,
                                         unsigned int nAlphaMask) {
    SDL_Surface* pSurface = SDL_CreateRGBSurfaceFrom(pPixels, nWidth, nHeight, nBpp, nPitch, nRedMask, nGreenMask,
                                                     nBlueMask, nAlphaMask);
    if (!pSurface) TSL_THROW(FatalErrorException, "SDLImage::SDLImage failed for %dx%d [%s]", nWidth, nHeight, SDL_GetError());
    return new SDLImage(pSurface);
}

Image* SDLImageFactory::createBlank(int nWidth, int nHeight, bool bAlpha) {
    return new SDLImage(nWidth, nHeight, bAlpha, true);
}

Image* SDLImageFactory::createEmpty() { return new SDLImage(); }
