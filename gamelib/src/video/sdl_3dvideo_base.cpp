#include "video/sdl_3dvideo_base.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/image.h"
#include "image/sdl_image.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

#include <algorithm>

// --- tile sizes ------------------------------------------------------------------------

int nextPowerOfTwo(int n) {
    if (n < 2) return 1;
    int nPower = 1;
    while (nPower < n && nPower < (1 << 30)) nPower <<= 1;
    return nPower;
}

namespace {

// Texels spent on a side of nSize in tiles of nTile: the full tiles plus the
// power-of-two strip that takes the remainder.
int tileCost(int nSize, int nTile) {
    int nRest = nSize % nTile;
    int nStrip = nRest <= 1 ? 1 : nextPowerOfTwo(nRest);
    return (nSize / nTile) * nTile + nStrip;
}

} // namespace

int chooseTileSize(int nSize, int nLow, int nHigh) {
    int nBest = nLow;
    for (int nTile = 2 * nLow; nTile <= nHigh && nTile <= nSize; nTile *= 2) {
        if (tileCost(nSize, nTile) <= tileCost(nSize, nBest)) nBest = nTile;
    }
    return nBest;
}

// --- Drv3DTileData -----------------------------------------------------------------------

Drv3DTileData::Drv3DTileData()
    : m_nStamp(-1), m_nCount(0), m_nPaddedWidth(0), m_nPaddedHeight(0), m_nBuildId(0), m_nSourceBuildId(0) {}

Drv3DTileData::~Drv3DTileData() {}

unsigned int Drv3DTileData::nextBuildId() {
    static unsigned int s_nLast = 0;
    return ++s_nLast;
}

void Drv3DTileData::resize(int nCount) {
    m_nCount = nCount;
    m_aU.assign(4 * static_cast<size_t>(nCount), 0.0f);
    m_aV.assign(4 * static_cast<size_t>(nCount), 0.0f);
    m_aX.assign(4 * static_cast<size_t>(nCount), 0.0f);
    m_aY.assign(4 * static_cast<size_t>(nCount), 0.0f);
}

void Drv3DTileData::free() {
    m_aU.clear();
    m_aV.clear();
    m_aX.clear();
    m_aY.clear();
    m_nCount = 0;
    m_nPaddedWidth = 0;
    m_nPaddedHeight = 0;
    m_nStamp = -1;
}

// --- SDL3DVideoDriverBase ----------------------------------------------------------------

SDL3DVideoDriverBase::SDL3DVideoDriverBase()
    // Sentinels unlike any sprite's states: the first sprite applies them all.
    : m_bStencilClearPending(false), m_nBlendMode(-1), m_bStencilTest(true), m_nRenderFlags(-1),
      m_bStatesDirty(true) {}

SDL3DVideoDriverBase::~SDL3DVideoDriverBase() { m_pCursorSprite = nullptr; }

int SDL3DVideoDriverBase::getFrameStamp() {
    GameApp* pApp = GameApp::getInstance();
    return pApp ? pApp->getFrameCounter() : 0;
}

bool SDL3DVideoDriverBase::setVideoMode(int nWidth, int nHeight, int nFlags) {
    TSL_TRACE();
    if (!SDLVideoDriverBase::setVideoMode(nWidth, nHeight, nFlags)) return false;
    setDefaultPixelFormats();
    s_nTextureInvalidationStamp = getFrameStamp();
    m_bStatesDirty = true;
    m_bStencilClearPending = false;
    return true;
}

void SDL3DVideoDriverBase::setDefaultPixelFormats() {
    setDefaultFormats(PixelFormat{24, 0, 0x000000FFu, 0x0000FF00u, 0x00FF0000u},
                      PixelFormat{32, 0xFF000000u, 0x000000FFu, 0x0000FF00u, 0x00FF0000u});
}

void SDL3DVideoDriverBase::setBlendMode(int nMode) {
    if (nMode == m_nBlendMode) return;
    m_nBlendMode = nMode;
    m_bStatesDirty = true;
}

void SDL3DVideoDriverBase::setRenderFlags(int nFlags) {
    if (nFlags == m_nRenderFlags) return;
    m_nRenderFlags = nFlags;
    m_bStatesDirty = true;
}

void SDL3DVideoDriverBase::setStencilTest(bool bTest) {
    if (bTest == m_bStencilTest) return;
    m_bStencilTest = bTest;
    m_bStatesDirty = true;
}

// --- the frame ------------------------------------------------------------------------------

void SDL3DVideoDriverBase::renderFrame() {
    TSL_TRACE();
    if (!beginFrame()) return;
    try {
        drawModes();
        drawCursor();
    } catch (...) {
        // A scene left open would refuse every later frame.
        abortFrame();
        throw;
    }
    present();
}

void SDL3DVideoDriverBase::drawModes() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    for (int i = pApp->getLowestDrawnModeIndex(); i >= 0; --i) {
        Tsl::SmartPtr<GameMode> pMode = pApp->getModeAt(i);
        if (pMode.isNull() || !pMode->isActive() || !pMode->isVisible()) continue;
        if (pMode->getFlags() & MF_CLEAR_SCREEN) clear(Color(0, 0, 0, 255));
        for (SpriteList* pLayer : pMode->getLayers()) {
            for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
                if (pSprite->isVisible() && !pSprite->getDrawImage().isNull()) drawSprite(pSprite);
            }
        }
    }
}

void SDL3DVideoDriverBase::drawCursor() {
    if (!isCursorShown() || m_pCursorSprite.isNull() || !isSoftwareCursor()) return;
    GameApp* pApp = GameApp::getInstance();
    int nX = 0, nY = 0;
    if (pApp) pApp->getMousePosition(&nX, &nY);
    m_pCursorSprite->setPosition(static_cast<float>(nX), static_cast<float>(nY));
    if (!m_pCursorSprite->getDrawImage().isNull()) drawSprite(m_pCursorSprite);
}

// Out of line: this room knows sprites only by name.
Tsl::SmartPtr<Sprite> SDL3DVideoDriverBase::getCursorSprite() const { return m_pCursorSprite; }

void SDL3DVideoDriverBase::setCursorImage(Tsl::SmartPtr<Image> pImage) {
    TSL_TRACE();
    SDLVideoDriverBase::setCursorImage(pImage);
    // No image: no drawn cursor (the old one must not stay on the screen).
    m_pCursorSprite = pImage.isNull() ? nullptr : new Sprite(pImage, 0, 0, 0);
}

void SDL3DVideoDriverBase::preloadImage(Tsl::SmartPtr<Image> pImage) {
    if (!pImage.isNull()) prepareImageTiles(pImage);
}

// --- tiles -------------------------------------------------------------------------------------

bool SDL3DVideoDriverBase::prepareSurfaceTiles(Surface* pSurface) {
    TSL_TRACE();
    Drv3DSurfaceData* pData = m_pSurfaceDataType
                                  ? castExpecting<Drv3DSurfaceData>(pSurface->getDriverData(), *m_pSurfaceDataType)
                                  : dynamic_cast<Drv3DSurfaceData*>(pSurface->getDriverData());
    if (!pData) {
        pData = newSurfaceData();
        m_pSurfaceDataType = &typeid(*pData);
        pSurface->setDriverData(pData);
    }
    Drv3DTileData* pTiles = pData->getTiles();
    // A change made in the very frame the textures were built may have come
    // after them: only a strictly newer build counts as current.
    if (pTiles->m_nStamp > pData->m_nChangeStamp && pTiles->m_nStamp > s_nTextureInvalidationStamp) return false;

    Tsl::traceSetNote(pSurface->getResourcePrefix());
    bool bAlpha = pSurface->hasAlpha() || pSurface->hasColorKey();
    Tsl::SmartPtr<Surface> pSource = pSurface;
    if (pSurface->isPaletted()) pSource = pSurface->displayFormat();

    pTiles->releaseTextures();
    int nWidth = pSurface->getWidth(), nHeight = pSurface->getHeight();
    int nTileW = chooseTileSize(nWidth, 64, 512), nTileH = chooseTileSize(nHeight, 64, 512);
    int nCols = nWidth / nTileW, nRows = nHeight / nTileH;
    int nRestX = nWidth % nTileW, nRestY = nHeight % nTileH;
    int nPadX = nRestX == 0 ? 0 : nextPowerOfTwo(nRestX);
    int nPadY = nRestY == 0 ? 0 : nextPowerOfTwo(nRestY);
    pTiles->m_nPaddedWidth = nCols * nTileW + nPadX;
    pTiles->m_nPaddedHeight = nRows * nTileH + nPadY;

    bool bStripX = nPadX > 0, bStripY = nPadY > 0;
    pTiles->resize((nCols + (bStripX ? 1 : 0)) * (nRows + (bStripY ? 1 : 0)));
    // The old slots are gone from here on, whether or not the textures below
    // can all be made.
    pTiles->m_nBuildId = Drv3DTileData::nextBuildId();

    // Full tiles first, then the right-hand strip, the bottom strip and the
    // corner where both meet; strip tiles end at the store's edge.
    int k = 0;
    auto cut = [&](int c, int r) {
        createTexture(pTiles, k, pSource, 4 * k, c * nTileW, r * nTileH, std::min((c + 1) * nTileW, nWidth),
                      std::min((r + 1) * nTileH, nHeight), bAlpha);
        ++k;
    };
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c) cut(c, r);
    if (bStripX)
        for (int r = 0; r < nRows; ++r) cut(nCols, r);
    if (bStripY)
        for (int c = 0; c < nCols; ++c) cut(c, nRows);
    if (bStripX && bStripY) cut(nCols, nRows);

    pTiles->m_nStamp = getFrameStamp();
    pSurface->releasePixels();
    return true;
}

void SDL3DVideoDriverBase::prepareImageTiles(Image* pImage) {
    TSL_TRACE();
    SDLImage* pSDLImage = castExpecting<SDLImage>(pImage, typeid(SDLImage));
    if (!pSDLImage) return;
    Tsl::SmartPtr<Surface> pSurface = pSDLImage->getSurface();
    if (pSurface.isNull()) return;
    bool bRebuilt = prepareSurfaceTiles(pSurface);
    Drv3DTileData* pSurfaceTiles = static_cast<Drv3DSurfaceData*>(pSurface->getDriverData())->getTiles();

    Drv3DImageData* pData = m_pImageDataType
                                ? castExpecting<Drv3DImageData>(pSDLImage->getDriverData(), *m_pImageDataType)
                                : dynamic_cast<Drv3DImageData*>(pSDLImage->getDriverData());
    if (!pData) {
        pData = newImageData();
        m_pImageDataType = &typeid(*pData);
        pSDLImage->setDriverData(pData);
    }
    Drv3DTileData* pTiles = pData->getTiles();
    bool bCurrent = !bRebuilt && pTiles->m_nSourceBuildId == pSurfaceTiles->m_nBuildId &&
                    pTiles->m_nStamp > pData->m_nChangeStamp && pTiles->m_nStamp > s_nTextureInvalidationStamp;
    if (!bCurrent) buildImageTiles(pImage, pTiles, pSurfaceTiles);
}

void SDL3DVideoDriverBase::buildImageTiles(Image* pImage, Drv3DTileData* pTiles, Drv3DTileData* pSurfaceTiles) {
    int nOffX = 0, nOffY = 0, nWidth = 0, nHeight = 0;
    pImage->getSurfacePosition(nOffX, nOffY);
    pImage->getPhysicalSize(nWidth, nHeight);
    float fLeft = static_cast<float>(nOffX), fTop = static_cast<float>(nOffY);
    float fRight = fLeft + nWidth, fBottom = fTop + nHeight;

    // Surface tile s spans corner 0 (top-left) to corner 2 (bottom-right).
    auto overlaps = [&](int s) {
        const float* x = &pSurfaceTiles->m_aX[4 * s];
        const float* y = &pSurfaceTiles->m_aY[4 * s];
        return std::min(fRight, x[2]) > std::max(fLeft, x[0]) && std::min(fBottom, y[2]) > std::max(fTop, y[0]);
    };
    int nCount = 0;
    for (int s = 0; s < pSurfaceTiles->m_nCount; ++s)
        if (overlaps(s)) ++nCount;
    pTiles->releaseTextures();
    pTiles->resize(nCount);

    bool bFlipX = pImage->isFlippedHorizontally(), bFlipY = pImage->isFlippedVertically();
    float fFactor = pImage->getSurfaceFactor();
    int j = 0;
    for (int s = 0; s < pSurfaceTiles->m_nCount; ++s) {
        if (!overlaps(s)) continue;
        const float* sx = &pSurfaceTiles->m_aX[4 * s];
        const float* sy = &pSurfaceTiles->m_aY[4 * s];
        const float* su = &pSurfaceTiles->m_aU[4 * s];
        const float* sv = &pSurfaceTiles->m_aV[4 * s];
        float l = std::max(fLeft, sx[0]), r = std::min(fRight, sx[2]);
        float t = std::max(fTop, sy[0]), b = std::min(fBottom, sy[2]);
        auto uAt = [&](float x) { return su[0] + (x - sx[0]) * (su[2] - su[0]) / (sx[2] - sx[0]); };
        auto vAt = [&](float y) { return sv[0] + (y - sy[0]) * (sv[2] - sv[0]) / (sy[2] - sy[0]); };
        pTiles->shareTexture(j, pSurfaceTiles, s);
        const float aCornerX[4] = {l, r, r, l};
        const float aCornerY[4] = {t, t, b, b};
        for (int c = 0; c < 4; ++c) {
            int i = 4 * j + c;
            pTiles->m_aU[i] = uAt(aCornerX[c]);
            pTiles->m_aV[i] = vAt(aCornerY[c]);
            float x = aCornerX[c] - fLeft, y = aCornerY[c] - fTop;
            if (bFlipX) x = nWidth - x;
            if (bFlipY) y = nHeight - y;
            if (fFactor != 1.0f && fFactor != 0.0f) {
                x /= fFactor;
                y /= fFactor;
            }
            pTiles->m_aX[i] = x;
            pTiles->m_aY[i] = y;
        }
        ++j;
    }
    pTiles->m_nSourceBuildId = pSurfaceTiles->m_nBuildId;
    pTiles->m_nStamp = getFrameStamp();
}
