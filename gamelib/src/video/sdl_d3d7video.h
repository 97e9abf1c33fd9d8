// The one concrete video driver. SDL makes the window; DirectDraw 7 owns the
// display mode, the primary surface and the back buffer; Direct3D 7 draws
// every sprite as textured quads with per-vertex colour, alpha blending and an
// optional stencil mask; D3DX makes textures and matrices. On this system the
// three come from our software stand-in (compat/d3d7).
#pragma once

#include "video/sdl_3dvideo_base.h"

#include "d3d7/d3d7.h"
#include "tsl2/list.h"

#include <vector>

// One texture slot. Store records own their slots and register them, so that
// every texture can be released at once (mode change, lost device); image
// records point at their store's slots.
struct D3D7TextureHolder {
    dx7::IDirectDrawSurface7* pTexture = nullptr;
    Tsl::List<D3D7TextureHolder*>::Node* pRegistryNode = nullptr;
};

class D3D7TileData : public Drv3DTileData {
public:
    explicit D3D7TileData(bool bOwnTextures);
    ~D3D7TileData() override;

    void resize(int nCount) override;
    void free() override;
    void releaseTextures() override;
    void shareTexture(int nIndex, Drv3DTileData* pSource, int nSourceIndex) override;

    D3D7TextureHolder* getHolder(int nIndex) const { return m_apHolders[nIndex]; }
    bool ownsTextures() const { return m_bOwnTextures; }

private:
    void freeHolders();

    bool m_bOwnTextures;
    std::vector<D3D7TextureHolder*> m_apHolders;
};

class D3D7SurfaceData : public Drv3DSurfaceData {
public:
    D3D7SurfaceData() : m_tiles(true) { m_nChangeStamp = 0; }
    Drv3DTileData* getTiles() override { return &m_tiles; }
    D3D7TileData m_tiles;
};

class D3D7ImageData : public Drv3DImageData {
public:
    D3D7ImageData() : m_tiles(false) { m_nChangeStamp = 0; }
    Drv3DTileData* getTiles() override { return &m_tiles; }
    D3D7TileData m_tiles;
};

// The device's one vertex layout: position, diffuse colour, one texture set.
struct D3D7Vertex {
    float x, y, z;
    dx7::DWORD nColor;
    float u, v;
};

class D3D7SpriteData : public DrvSpriteData {
public:
    std::vector<D3D7Vertex> m_aPolygon;
    int m_nPolygonStamp = -1;
};

class D3D7VideoDriver : public SDL3DVideoDriverBase {
public:
    D3D7VideoDriver();
    ~D3D7VideoDriver() override;

    bool init(Tsl::SmartPtr<Image> pIcon) override;
    void shutdown() override;
    const char* getName() const override { return "Direct3D 7 Video Driver v1.0"; }
    bool isHardwareAccelerated() const override { return true; }
    void invalidateTextures() override;
    void invalidateSurfaceTextures() override;
    void invalidateModeTextures() override;
    bool setVideoMode(int nWidth, int nHeight, int nFlags) override;
    int getScreenBpp() const override;
    void flip() override {}
    void clear(const Color& color) override;
    void clearBackBuffer(const Color& color) override { clear(color); }
    void setProjectionOffset(int nX, int nY) override;
    void createDirectDraw() override;
    bool createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags, Uint32 nSDLFlags) override;
    Point getDesktopSize() override;
    bool beginFrame() override;
    void present() override;
    void abortFrame() override;
    void drawSprite(Sprite* pSprite) override;
    Drv3DImageData* newImageData() override { return new D3D7ImageData(); }
    Drv3DSurfaceData* newSurfaceData() override { return new D3D7SurfaceData(); }
    void createTexture(Drv3DTileData* pTiles, int k, Surface* pSurface, int nVertex, int x0, int y0, int x1, int y1,
                       bool bAlpha) override;
    void applyRenderStates() override;
    void preloadImage(Tsl::SmartPtr<Image> pImage) override;

    dx7::IDirect3DDevice7* getDevice() const { return m_pDevice; }
    bool hasStencilBuffer() const { return m_pDepthSurface != nullptr; }

    // A turned or scaled sprite's view: scaled, turned by fDegrees, moved to (x, y).
    static dx7::D3DXMATRIX spriteView(float fScaleX, float fScaleY, float fDegrees, float x, float y);

    // Every registered texture slot of every store.
    static Tsl::List<D3D7TextureHolder*>& getTextureRegistry();
    static void releaseAllTextures();

private:
    bool createDevice(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags);
    bool createSurfaces(int nWidth, int nHeight, bool bFullScreen);
    bool createDepthSurface(int nWidth, int nHeight);
    void releaseDevice();
    void applyDeviceDefaults();
    void makeChildWindow();
    void clearStencil();
    void drawSideBars();
    void drawTiles(const D3D7TileData& tiles, const dx7::D3DXMATRIX& view, float x, float y, dx7::DWORD nColor);
    // Tile quads join the run of quads drawn with the bound texture and the current
    // states, which reaches the device in one call when anything else is about to.
    void addToRun(dx7::IDirectDrawSurface7* pTexture, const dx7::D3DXMATRIX& view, const D3D7Vertex (&aStrip)[4]);
    void flushRun();
    void bindTexture(dx7::IDirectDrawSurface7* pTexture);
    void drawPolygon(Sprite* pSprite, const dx7::D3DXMATRIX& view, float x, float y, dx7::DWORD nColor);
    void copyIntoTexture(SDL_Surface* pSource, dx7::IDirectDrawSurface7* pTexture, bool bColorKey, Uint32 nKey);
    void setView(const dx7::D3DXMATRIX& view);

    dx7::IDirectDraw7* m_pDirectDraw;
    dx7::IDirect3D7* m_pDirect3D;
    dx7::IDirect3DDevice7* m_pDevice;
    dx7::HWND m_hWnd;
    dx7::IDirectDrawSurface7* m_pPrimary;
    dx7::IDirectDrawSurface7* m_pBackBuffer;
    dx7::IDirectDrawSurface7* m_pDepthSurface;
    dx7::RECT m_rcClient;
    dx7::D3DXMATRIX m_matView;
    bool m_bD3DXInitialised;
    // The texture the device holds bound (which keeps it alive while a run uses it), and
    // the run's quads: four strip vertices and a view each.
    dx7::IDirectDrawSurface7* m_pBoundTexture;
    std::vector<D3D7Vertex> m_aRunVertices;
    std::vector<dx7::D3DMATRIX> m_aRunViews;
    // Depth formats the device offers, refilled on every device creation.
    Tsl::List<dx7::DDPIXELFORMAT> m_lDepthFormats;
};
