// The common half of texture-based video drivers: the frame walk over the
// mode stack, the software cursor, a cache of the blend and stencil states the
// sprites ask for, and the cutting of pixel stores into power-of-two texture
// tiles. Textures belong to the store (Surface) and are cut once per store;
// every image showing part of a store gets its own small list of quads that
// point into the store's textures.
#pragma once

#include "video/sdl_video_base.h"

#include "tsl2/refcount.h"

#include <typeinfo>
#include <vector>

class Image;
class Sprite;
class Surface;

// p as a T*, or null. A sprite is drawn every frame and its image and driver data are
// nearly always of one known type (likely, itself a T); comparing that exact type first
// keeps the hierarchy search of dynamic_cast to the rare other cases.
template <class T, class S>
T* castExpecting(S* p, const std::type_info& likely) {
    if (p && typeid(*p) == likely) return static_cast<T*>(p);
    return dynamic_cast<T*>(p);
}

// 1 for n < 2, else the smallest power of two >= n.
int nextPowerOfTwo(int n);
// The tile size between nLow and nHigh (powers of two) that wastes the least
// texture padding for a side of nSize pixels; ties go to the larger tile.
int chooseTileSize(int nSize, int nLow = 64, int nHigh = 512);

// One image's or store's quads. Per tile four corners in the order top-left,
// top-right, bottom-right, bottom-left: texture coordinates and positions.
class Drv3DTileData {
public:
    Drv3DTileData();
    virtual ~Drv3DTileData();

    virtual void resize(int nCount);
    virtual void free();
    virtual void releaseTextures() = 0;
    // Tile nIndex draws with the source's tile nSourceIndex texture.
    virtual void shareTexture(int nIndex, Drv3DTileData* pSource, int nSourceIndex) = 0;

    int getCount() const { return m_nCount; }

    // Frame counter when the quads were built; -1 = never.
    int m_nStamp;
    int m_nCount;
    std::vector<float> m_aU, m_aV, m_aX, m_aY;
    // Total texture size covering the store (store records only).
    int m_nPaddedWidth;
    int m_nPaddedHeight;
    // A number unique to every build of a store's quads. An image's record
    // keeps the one it was cut from: a store rebuilt in the same frame, or a
    // new store at the old one's address, still tells the image that its
    // shared texture slots are gone.
    unsigned int m_nBuildId;
    unsigned int m_nSourceBuildId;

    static unsigned int nextBuildId();
};

// Driver data that carries a tile record; the concrete driver makes them.
class Drv3DSurfaceData : public DrvSurfaceData {
public:
    virtual Drv3DTileData* getTiles() = 0;
};

class Drv3DImageData : public DrvImageData {
public:
    virtual Drv3DTileData* getTiles() = 0;
};

class SDL3DVideoDriverBase : public SDLVideoDriverBase {
public:
    SDL3DVideoDriverBase();
    ~SDL3DVideoDriverBase() override;

    bool setVideoMode(int nWidth, int nHeight, int nFlags) override;
    void renderFrame() override;
    void expose() override {}
    void setCursorImage(Tsl::SmartPtr<Image> pImage) override;
    Tsl::SmartPtr<Sprite> getCursorSprite() const override;
    void preloadImage(Tsl::SmartPtr<Image> pImage) override;

    virtual void setDefaultPixelFormats();
    // Makes sure the image's quads (and its store's textures) are current.
    virtual void prepareImageTiles(Image* pImage);
    // Builds or refreshes the store's textures; true when they were rebuilt.
    virtual bool prepareSurfaceTiles(Surface* pSurface);
    // False skips drawing and presenting this frame.
    virtual bool beginFrame() { return true; }
    virtual void present() {}
    // Drawing failed half way: close what beginFrame opened, nothing shown.
    virtual void abortFrame() {}
    virtual void drawSprite(Sprite* pSprite) = 0;
    virtual Drv3DImageData* newImageData() = 0;
    virtual Drv3DSurfaceData* newSurfaceData() = 0;
    // One texture tile k from the store rectangle (x0, y0)-(x1, y1); fills the
    // tile's four corners starting at nVertex.
    virtual void createTexture(Drv3DTileData* pTiles, int k, Surface* pSurface, int nVertex, int x0, int y0, int x1,
                               int y1, bool bAlpha) = 0;
    // Pushes the pending blend and stencil states to the device.
    virtual void applyRenderStates() = 0;

    // Pending states; each marks the states dirty only on a real change.
    void setBlendMode(int nMode);
    void setRenderFlags(int nFlags);
    void setStencilTest(bool bTest);
    bool isStencilClearPending() const { return m_bStencilClearPending; }

    // The application's frame counter (0 without an application).
    static int getFrameStamp();

protected:
    void drawModes();
    void drawCursor();
    void buildImageTiles(Image* pImage, Drv3DTileData* pTiles, Drv3DTileData* pSurfaceTiles);

    Tsl::SmartPtr<Sprite> m_pCursorSprite;
    bool m_bStencilClearPending;
    int m_nBlendMode;
    bool m_bStencilTest;
    int m_nRenderFlags;
    bool m_bStatesDirty;
    // The exact types newImageData and newSurfaceData made, once they have made one.
    const std::type_info* m_pImageDataType = nullptr;
    const std::type_info* m_pSurfaceDataType = nullptr;
};
