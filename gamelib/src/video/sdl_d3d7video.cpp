#include "video/sdl_d3d7video.h"

#include "image/color.h"
#include "app/gameapp.h"
#include "image/image.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "sprite/sprite.h"
#include "platform/x11window.h"

#include "tsl2/error.h"

#include "d3d7/test_hooks.h"
#include "platform/syswm.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace dx7;

namespace {

const DWORD VERTEX_FORMAT = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// Flips that keep reporting "still drawing" are given up after this many
// tries instead of hanging the frame.
const int MAX_FLIP_TRIES = 1000;
const char* const VIDEO_START_FAILED_TEXT = "The game's screen could not be opened (%s).";

template <class T>
void releaseInterface(T*& pObject) {
    if (pObject) pObject->Release();
    pObject = nullptr;
}

D3DXMATRIX identityMatrix() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

HRESULT collectDepthFormat(DDPIXELFORMAT* pFormat, void* pContext) {
    static_cast<Tsl::List<DDPIXELFORMAT>*>(pContext)->append(*pFormat);
    return D3DENUMRET_OK;
}

} // namespace

// --- texture slots ----------------------------------------------------------------------

Tsl::List<D3D7TextureHolder*>& D3D7VideoDriver::getTextureRegistry() {
    // Never destroyed: stores released during static destruction (images held
    // by globals) still unregister their slots safely.
    static Tsl::List<D3D7TextureHolder*>* s_pRegistry = new Tsl::List<D3D7TextureHolder*>();
    return *s_pRegistry;
}

void D3D7VideoDriver::releaseAllTextures() {
    for (D3D7TextureHolder* pHolder : getTextureRegistry()) releaseInterface(pHolder->pTexture);
}

D3D7TileData::D3D7TileData(bool bOwnTextures) : m_bOwnTextures(bOwnTextures) {}

D3D7TileData::~D3D7TileData() {
    releaseTextures();
    freeHolders();
}

void D3D7TileData::freeHolders() {
    if (m_bOwnTextures) {
        Tsl::List<D3D7TextureHolder*>& lRegistry = D3D7VideoDriver::getTextureRegistry();
        for (D3D7TextureHolder* pHolder : m_apHolders) {
            if (!pHolder) continue;
            if (pHolder->pRegistryNode) lRegistry.removeNode(pHolder->pRegistryNode);
            delete pHolder;
        }
    }
    m_apHolders.clear();
}

void D3D7TileData::resize(int nCount) {
    freeHolders();
    Drv3DTileData::resize(nCount);
    m_apHolders.assign(static_cast<size_t>(nCount), nullptr);
    if (!m_bOwnTextures) return;
    Tsl::List<D3D7TextureHolder*>& lRegistry = D3D7VideoDriver::getTextureRegistry();
    for (D3D7TextureHolder*& pHolder : m_apHolders) {
        pHolder = new D3D7TextureHolder();
        pHolder->pRegistryNode = lRegistry.append(pHolder);
    }
}

void D3D7TileData::free() {
    releaseTextures();
    freeHolders();
    Drv3DTileData::free();
}

void D3D7TileData::releaseTextures() {
    // Every texture still held goes, whatever its stamp: one built in the same
    // frame as an invalidation would otherwise never be released. Slots that
    // an invalidation emptied already hold nothing.
    if (!m_bOwnTextures) return;
    for (D3D7TextureHolder* pHolder : m_apHolders) {
        if (pHolder) releaseInterface(pHolder->pTexture);
    }
}

void D3D7TileData::shareTexture(int nIndex, Drv3DTileData* pSource, int nSourceIndex) {
    // Named so that the refusal reads "Assertion failed : !bOwnTextures".
    bool bOwnTextures = m_bOwnTextures;
    TSL_ASSERT(!bOwnTextures);
    D3D7TileData* pFrom = static_cast<D3D7TileData*>(pSource);
    m_apHolders[nIndex] = pFrom->m_apHolders[nSourceIndex];
}

// --- driver life ---------------------------------------------------------------------------

D3D7VideoDriver::D3D7VideoDriver()
    : m_pDirectDraw(nullptr), m_pDirect3D(nullptr), m_pDevice(nullptr), m_hWnd(nullptr), m_pPrimary(nullptr),
      m_pBackBuffer(nullptr), m_pDepthSurface(nullptr), m_rcClient{0, 0, 0, 0}, m_matView(identityMatrix()),
      m_bD3DXInitialised(false), m_pBoundTexture(nullptr) {}

D3D7VideoDriver::~D3D7VideoDriver() {
    TSL_TRACE();
    m_pCursorImage = nullptr;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetCursor(nullptr);
    m_pCursorSprite = nullptr;
    shutdown();
}

bool D3D7VideoDriver::init(Tsl::SmartPtr<Image> pIcon) {
    TSL_TRACE();
    if (!startVideo()) {
        Tsl::String sWhy = SDL_GetError();
        GameApp::log("D: Could not start SDL video : %s\n", sWhy.c_str());
        GameApp* pApp = GameApp::getInstance();
        if (!pApp) TSL_THROW(Exception, "Could not initialize SDL video : %s", sWhy.c_str());
        // No display is not a crash: the player is told, as of a start that failed.
        pApp->failStart(Tsl::String::format(VIDEO_START_FAILED_TEXT, sWhy.c_str()));
        return false;
    }
    m_pIcon = pIcon;
    m_sCaption = "";
    measureDesktop();
    GameApp::log("D: Desktop resolution is %d x %d, aspect %.3lf (%s)\n", static_cast<int>(m_ptDesktopSize.x),
                 static_cast<int>(m_ptDesktopSize.y), static_cast<double>(m_fDesktopAspect),
                 m_bWide ? "wide" : "not wide");
    m_bInitialised = true;
    return true;
}

Point D3D7VideoDriver::getDesktopSize() {
    // After start-up the size measured then: later full-screen modes change
    // what the system reports.
    if (m_bInitialised) return m_ptDesktopSize;
    const SDL_VideoInfo* pInfo = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetVideoInfo() : nullptr;
    if (!pInfo) return Point(0.0f, 0.0f);
    return Point(static_cast<float>(pInfo->current_w), static_cast<float>(pInfo->current_h));
}

void D3D7VideoDriver::shutdown() {
    TSL_TRACE();
    releaseAllTextures();
    releaseDevice();
    if (m_bD3DXInitialised) D3DXUninitialize();
    m_bD3DXInitialised = false;
    releaseInterface(m_pDirectDraw);
    // Our blank cursor goes while video still runs: SDL would free only the
    // cursor in use when it stops.
    releaseCursors();
    x11ForgetWindows();
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_hWnd = nullptr;
    m_bInitialised = false;
}

void D3D7VideoDriver::releaseDevice() {
    // Quads still waiting would go to a target that goes with the device.
    m_aRunVertices.clear();
    m_aRunViews.clear();
    m_pBoundTexture = nullptr;
    releaseInterface(m_pDevice);
    releaseInterface(m_pDirect3D);
    releaseInterface(m_pBackBuffer);
    releaseInterface(m_pPrimary);
    releaseInterface(m_pDepthSurface);
}

void D3D7VideoDriver::invalidateTextures() {
    s_nTextureInvalidationStamp = getFrameStamp();
    // The device's own reference would keep the last bound texture alive.
    if (m_pDevice) bindTexture(nullptr);
    releaseAllTextures();
}

void D3D7VideoDriver::invalidateSurfaceTextures() { invalidateTextures(); }

void D3D7VideoDriver::invalidateModeTextures() { invalidateTextures(); }

void D3D7VideoDriver::preloadImage(Tsl::SmartPtr<Image> pImage) {
    // Textures need a device; before the first mode they are made on first draw.
    if (m_pDevice) SDL3DVideoDriverBase::preloadImage(pImage);
}

// --- device creation -------------------------------------------------------------------------

void D3D7VideoDriver::createDirectDraw() {
    TSL_TRACE();
    releaseInterface(m_pDirectDraw);
    if (!m_bD3DXInitialised) {
        if (FAILED(D3DXInitialize())) TSL_THROW(Exception, "D3DXInitialize failed");
        m_bD3DXInitialised = true;
    }
    void* pObject = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, &pObject, IID_IDirectDraw7, nullptr)))
        TSL_THROW(Exception, "DirectDrawCreateEx failed");
    m_pDirectDraw = static_cast<IDirectDraw7*>(pObject);
}

bool D3D7VideoDriver::createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags, Uint32 nSDLFlags) {
    TSL_TRACE();
    if (!SDL_SetVideoMode(nWidth, nHeight, nBpp, nSDLFlags)) return false;
    m_hWnd = nullptr;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11)
        m_hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(info.info.x11.wmwindow));
#endif
    makeChildWindow();
    return createDevice(nWidth, nHeight, nBpp, bFullScreen, nFlags);
}

void D3D7VideoDriver::makeChildWindow() {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    Tsl::List<Tsl::String> lArgs = pApp->getArguments();
    int nAt = lArgs.indexOf(Tsl::String("--pw"));
    if (nAt < 0 || nAt + 2 >= lArgs.getCount()) return;
    // The first number is not used; the second names the parent window.
    unsigned long nParent = std::strtoul(lArgs.getAt(nAt + 2).c_str(), nullptr, 0);
    if (nParent != 0) x11MakeChildOf(nParent);
}

bool D3D7VideoDriver::createDevice(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags) {
    TSL_TRACE();
    Tsl::traceSetNote("1.");
    releaseDevice();
    if (!m_pDirectDraw) return false;
    HRESULT hr;
    if (bFullScreen) {
        Tsl::traceSetNote("2.");
        hr = m_pDirectDraw->SetCooperativeLevel(m_hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
        if (SUCCEEDED(hr)) {
            DWORD nModeBpp = static_cast<DWORD>(nBpp);
            if (nModeBpp == 0) {
                DDSURFACEDESC2 desc;
                m_pDirectDraw->GetDisplayMode(&desc);
                nModeBpp = desc.ddpfPixelFormat.dwRGBBitCount;
            }
            hr = m_pDirectDraw->SetDisplayMode(nWidth, nHeight, nModeBpp, 0, 0);
        }
    } else {
        Tsl::traceSetNote("3.");
        hr = m_pDirectDraw->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
    }
    bool bOk = SUCCEEDED(hr) && createSurfaces(nWidth, nHeight, bFullScreen);
    if (bOk) {
        Tsl::traceSetNote("7.");
        DDSURFACEDESC2 mode;
        bOk = SUCCEEDED(m_pDirectDraw->GetDisplayMode(&mode)) && mode.ddpfPixelFormat.dwRGBBitCount > 8;
    }
    if (bOk) {
        Tsl::traceSetNote("8.");
        void* pObject = nullptr;
        bOk = SUCCEEDED(m_pDirectDraw->QueryInterface(IID_IDirect3D7, &pObject));
        m_pDirect3D = static_cast<IDirect3D7*>(pObject);
    }
    if (bOk && (nFlags & VMF_STENCIL)) {
        Tsl::traceSetNote("9.");
        bOk = createDepthSurface(nWidth, nHeight);
    }
    if (bOk) {
        Tsl::traceSetNote("Z.");
        bOk = SUCCEEDED(m_pDirect3D->CreateDevice(IID_IDirect3DHALDevice, m_pBackBuffer, &m_pDevice));
    }
    if (bOk) {
        Tsl::traceSetNote("AA.");
        D3DVIEWPORT7 viewport = {0, 0, static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), 0.0f, 1.0f};
        bOk = SUCCEEDED(m_pDevice->SetViewport(&viewport));
    }
    if (!bOk) {
        releaseDevice();
        return false;
    }
    m_rcClient = RECT{0, 0, nWidth, nHeight};
    Tsl::traceSetNote("0.");
    return true;
}

bool D3D7VideoDriver::createSurfaces(int nWidth, int nHeight, bool bFullScreen) {
    TSL_TRACE();
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    if (bFullScreen) {
        Tsl::traceSetNote("4.");
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        desc.dwBackBufferCount = 1;
        if (FAILED(m_pDirectDraw->CreateSurface(&desc, &m_pPrimary, nullptr))) return false;
        Tsl::traceSetNote("5.");
        DDSCAPS2 caps = {DDSCAPS_BACKBUFFER, 0, 0, 0};
        return SUCCEEDED(m_pPrimary->GetAttachedSurface(&caps, &m_pBackBuffer));
    }
    Tsl::traceSetNote("4.");
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(m_pDirectDraw->CreateSurface(&desc, &m_pPrimary, nullptr))) return false;
    Tsl::traceSetNote("5.");
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(nWidth);
    desc.dwHeight = static_cast<DWORD>(nHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    if (FAILED(m_pDirectDraw->CreateSurface(&desc, &m_pBackBuffer, nullptr))) return false;
    Tsl::traceSetNote("6.");
    IDirectDrawClipper* pClipper = nullptr;
    if (FAILED(m_pDirectDraw->CreateClipper(0, &pClipper, nullptr))) return false;
    bool bOk = SUCCEEDED(pClipper->SetHWnd(0, m_hWnd)) && SUCCEEDED(m_pPrimary->SetClipper(pClipper));
    // The primary keeps its own reference.
    pClipper->Release();
    return bOk;
}

bool D3D7VideoDriver::createDepthSurface(int nWidth, int nHeight) {
    TSL_TRACE();
    m_lDepthFormats.clear();
    m_pDirect3D->EnumZBufferFormats(IID_IDirect3DHALDevice, collectDepthFormat, &m_lDepthFormats);
    if (m_lDepthFormats.isEmpty()) return false;
    DDPIXELFORMAT best = m_lDepthFormats.getFirst();
    for (const DDPIXELFORMAT& format : m_lDepthFormats) {
        if (format.dwStencilBitDepth > best.dwStencilBitDepth) best = format;
    }
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(nWidth);
    desc.dwHeight = static_cast<DWORD>(nHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    desc.ddpfPixelFormat = best;
    if (FAILED(m_pDirectDraw->CreateSurface(&desc, &m_pDepthSurface, nullptr))) return false;
    HRESULT hr = m_pBackBuffer->AddAttachedSurface(m_pDepthSurface);
    if (FAILED(hr)) {
        GameApp::log("D: Attach failed : 0x%08X\n", static_cast<unsigned int>(hr));
        return false;
    }
    return true;
}

bool D3D7VideoDriver::setVideoMode(int nWidth, int nHeight, int nFlags) {
    TSL_TRACE();
    flushRun();
    if (!SDL3DVideoDriverBase::setVideoMode(nWidth, nHeight, nFlags)) {
        // Video that did not come back has ended the run as a start that
        // failed; nothing is drawn until the loop stops.
        if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
        GameApp::fatalExit("Initialization error",
                           "Can't set your video mode to the appropriate resolution.\n"
                           "Please update your video drivers and/or video card.");
    }
    applyDeviceDefaults();
    SDLPlatform* pPlatform = dynamic_cast<SDLPlatform*>(m_pPlatform);
    if (pPlatform) pPlatform->updateMouseMapping();
    return true;
}

void D3D7VideoDriver::applyDeviceDefaults() {
    m_matView = identityMatrix();
    if (!m_pDevice) return;
    m_pDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_matView);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
    m_pDevice->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, 0);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    // Every texture is drawn filtered and clamped; nothing changes these later.
    m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    m_pDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    m_pDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
}

int D3D7VideoDriver::getScreenBpp() const {
    if (m_pDirectDraw) {
        DDSURFACEDESC2 desc;
        if (SUCCEEDED(m_pDirectDraw->GetDisplayMode(&desc))) return static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    }
    SDL_Surface* pScreen = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetVideoSurface() : nullptr;
    return pScreen ? pScreen->format->BitsPerPixel : 0;
}

void D3D7VideoDriver::setProjectionOffset(int nX, int nY) {
    if (!m_pDevice) return;
    flushRun();
    int nBar = getBarWidth(), nBarHeight = getBarHeight();
    D3DXMATRIX projection;
    D3DXMatrixOrthoOffCenterLH(&projection, static_cast<float>(nX - nBar),
                               static_cast<float>(getLogicalScreenWidth() - nBar + nX),
                               static_cast<float>(getLogicalScreenHeight() - nBarHeight + nY),
                               static_cast<float>(nY - nBarHeight), -1.0f, 1.0f);
    m_pDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
}

// --- the frame ----------------------------------------------------------------------------------

bool D3D7VideoDriver::beginFrame() {
    TSL_TRACE();
    if (!m_pDevice || !m_pDirectDraw) return false;
    bool bRestore = false;
    HRESULT hr = m_pDirectDraw->TestCooperativeLevel();
    if (FAILED(hr)) {
        if (hr != DDERR_WRONGMODE || isFullScreen()) return false;
        bRestore = true;
    } else if (FAILED(m_pDevice->BeginScene())) {
        Uint8 nState = SDL_GetAppState();
        Uint8 nWanted = SDL_APPACTIVE | SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS;
        if ((nState & nWanted) != nWanted) return false;
        bRestore = true;
    }
    if (bRestore) {
        if (!setVideoMode(getWidth(), getHeight(), getModeFlags())) return false;
        if (!m_pDevice || FAILED(m_pDevice->BeginScene())) TSL_THROW(Exception, "Couldn't reset video mode");
    }
    if (m_bStencilClearPending) clearStencil();
    m_bStencilClearPending = false;
    return true;
}

void D3D7VideoDriver::clearStencil() {
    flushRun();
    // Clearing a stencil the device does not have fails and clears nothing.
    if (m_pDevice && m_pDepthSurface) m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
}

void D3D7VideoDriver::clear(const Color& color) {
    if (!m_pDevice) return;
    flushRun();
    DWORD nColor = (static_cast<DWORD>(color.r) << 16) | (static_cast<DWORD>(color.g) << 8) | color.b;
    DWORD nFlags = D3DCLEAR_TARGET | (m_pDepthSurface ? D3DCLEAR_STENCIL : 0);
    m_pDevice->Clear(0, nullptr, nFlags, nColor, 1.0f, 0);
}

void D3D7VideoDriver::present() {
    TSL_TRACE();
    if (!m_pDevice) return;
    flushRun();
    if (!getSideBars().isEmpty()) drawSideBars();
    // Unbound, a texture dies with its picture rather than at the next frame.
    bindTexture(nullptr);
    m_pDevice->EndScene();
    if (isFullScreen()) {
        HRESULT hr = DDERR_WASSTILLDRAWING;
        for (int i = 0; i < MAX_FLIP_TRIES && hr == DDERR_WASSTILLDRAWING; ++i) hr = m_pPrimary->Flip(nullptr, DDFLIP_WAIT);
        if (hr == DDERR_SURFACELOST) m_pPrimary->Restore();
        return;
    }
    // The window's client area starts at 0, 0 on the primary.
    RECT rcDest = m_rcClient;
    m_pPrimary->Blt(&rcDest, m_pBackBuffer, &m_rcClient, DDBLT_WAIT, nullptr);
}

void D3D7VideoDriver::abortFrame() {
    if (!m_pDevice) return;
    flushRun();
    m_pDevice->EndScene();
}

void D3D7VideoDriver::drawSideBars() {
    setView(m_matView);
    setBlendMode(BM_NORMAL);
    setRenderFlags(RF_DRAW_COLOR);
    setStencilTest(false);
    applyRenderStates();
    bindTexture(nullptr);
    for (const Rect* pBar : getSideBars()) {
        float l = static_cast<float>(pBar->left), t = static_cast<float>(pBar->top);
        float r = static_cast<float>(pBar->right), b = static_cast<float>(pBar->bottom);
        D3D7Vertex aFan[4] = {{l, t, 0.0f, 0xFF000000u, 0.0f, 0.0f},
                              {r, t, 0.0f, 0xFF000000u, 0.0f, 0.0f},
                              {r, b, 0.0f, 0xFF000000u, 0.0f, 0.0f},
                              {l, b, 0.0f, 0xFF000000u, 0.0f, 0.0f}};
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, VERTEX_FORMAT, aFan, 4, 0);
    }
}

void D3D7VideoDriver::setView(const D3DXMATRIX& view) {
    flushRun();
    D3DXMATRIX copy = view;
    m_pDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &copy);
}

void D3D7VideoDriver::drawSprite(Sprite* pSprite) {
    TSL_TRACE();
    Tsl::SmartPtr<Image> pImage = pSprite->getDrawImage();
    if (pImage.isNull() || !m_pDevice) return;
    prepareImageTiles(pImage);
    SDLImage* pSDLImage = castExpecting<SDLImage>(pImage.get(), typeid(SDLImage));
    D3D7ImageData* pData =
        pSDLImage ? castExpecting<D3D7ImageData>(pSDLImage->getDriverData(), typeid(D3D7ImageData)) : nullptr;
    if (!pData) return;

    float x = pSprite->getXf(), y = pSprite->getYf();
    int nOffX = 0, nOffY = 0, nInsX = 0, nInsY = 0;
    pImage->getPhysicalOffset(nOffX, nOffY);
    pImage->getInsPoint(nInsX, nInsY);
    float fFactor = pImage->getSurfaceFactor();
    if (fFactor == 0.0f) fFactor = 1.0f;

    // Alpha in whole steps of the image's own 0..255 scale, so that an image
    // alpha of 128 at full sprite alpha stays exactly 128.
    double fAlpha = std::min(255.0, std::max(0.0, pImage->getAlpha() * static_cast<double>(pSprite->getAlpha())));
    const Color& tint = pSprite->getColor();
    DWORD nColor = (static_cast<DWORD>(fAlpha) << 24) | (static_cast<DWORD>(tint.r) << 16) |
                   (static_cast<DWORD>(tint.g) << 8) | tint.b;

    // Pixel centres lie on whole coordinates, texel centres half a texel in.
    x -= 0.5f;
    y -= 0.5f;
    D3DXMATRIX view;
    float fDeltaX = (nOffX - nInsX) / fFactor, fDeltaY = (nOffY - nInsY) / fFactor;
    if (pSprite->getRotation() == 0.0f && !pSprite->isScaled()) {
        view = m_matView;
        x += fDeltaX;
        y += fDeltaY;
    } else {
        view = spriteView(pSprite->getScaleX(), pSprite->getScaleY(), pSprite->getRotation(), x, y);
        x = fDeltaX;
        y = fDeltaY;
    }

    setBlendMode(pSprite->getBlendMode());
    setRenderFlags(pSprite->getRenderFlags());
    setStencilTest(pSprite->getStencilTest());
    applyRenderStates();

    if (pSprite->getPolygon().isEmpty()) {
        drawTiles(pData->m_tiles, view, x, y, nColor);
    } else {
        drawPolygon(pSprite, view, x, y, nColor);
    }
}

D3DXMATRIX D3D7VideoDriver::spriteView(float fScaleX, float fScaleY, float fDegrees, float x, float y) {
    D3DXMATRIX scaling, rotation, translation;
    D3DXMatrixScaling(&scaling, fScaleX, fScaleY, 1.0f);
    // Unturned, the turn is the identity and the products only move the scaling's
    // finite values into place: the matrix is built as they would leave it. Their sums
    // start at +0, which turns a -0 into +0; adding +0 here does the same.
    if (fDegrees == 0.0f && std::isfinite(fScaleX) && std::isfinite(fScaleY) && std::isfinite(x) && std::isfinite(y)) {
        scaling.m[0][0] = fScaleX + 0.0f;
        scaling.m[1][1] = fScaleY + 0.0f;
        scaling.m[3][0] = x + 0.0f;
        scaling.m[3][1] = y + 0.0f;
        return scaling;
    }
    D3DXMatrixRotationZ(&rotation, fDegrees * 0.01745329238474369f);
    D3DXMatrixTranslation(&translation, x, y, 0.0f);
    return scaling * rotation * translation;
}

void D3D7VideoDriver::drawTiles(const D3D7TileData& tiles, const D3DXMATRIX& view, float x, float y, DWORD nColor) {
    // Strip order top-left, top-right, bottom-left, bottom-right from the
    // record's clockwise corners.
    static const int s_aStripCorner[4] = {0, 1, 3, 2};
    for (int t = 0; t < tiles.getCount(); ++t) {
        D3D7TextureHolder* pHolder = tiles.getHolder(t);
        if (!pHolder || !pHolder->pTexture) continue;
        D3D7Vertex aStrip[4];
        for (int i = 0; i < 4; ++i) {
            int c = 4 * t + s_aStripCorner[i];
            aStrip[i] = D3D7Vertex{x + tiles.m_aX[c], y + tiles.m_aY[c], 0.0f, nColor, tiles.m_aU[c], tiles.m_aV[c]};
        }
        addToRun(pHolder->pTexture, view, aStrip);
    }
}

void D3D7VideoDriver::addToRun(IDirectDrawSurface7* pTexture, const D3DXMATRIX& view, const D3D7Vertex (&aStrip)[4]) {
    if (pTexture != m_pBoundTexture) bindTexture(pTexture);
    if (!test::isQuadRunsEnabled()) {
        setView(view);
        D3D7Vertex aCopy[4] = {aStrip[0], aStrip[1], aStrip[2], aStrip[3]};
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, VERTEX_FORMAT, aCopy, 4, 0);
        return;
    }
    m_aRunViews.push_back(view);
    m_aRunVertices.insert(m_aRunVertices.end(), std::begin(aStrip), std::end(aStrip));
}

void D3D7VideoDriver::flushRun() {
    if (m_aRunViews.empty()) return;
    // Emptied even when drawing throws (out of memory): the frame's abort
    // must not draw the same run a second time.
    struct EmptiedOnExit {
        D3D7VideoDriver& driver;
        ~EmptiedOnExit() {
            driver.m_aRunViews.clear();
            driver.m_aRunVertices.clear();
        }
    } emptied{*this};
    if (m_pDevice)
        m_pDevice->DrawQuadStrips(VERTEX_FORMAT, m_aRunViews.data(), m_aRunVertices.data(),
                                  static_cast<DWORD>(m_aRunViews.size()));
}

void D3D7VideoDriver::bindTexture(IDirectDrawSurface7* pTexture) {
    flushRun();
    m_pDevice->SetTexture(0, pTexture);
    m_pBoundTexture = pTexture;
}

void D3D7VideoDriver::drawPolygon(Sprite* pSprite, const D3DXMATRIX& view, float x, float y, DWORD nColor) {
    D3D7SpriteData* pData = dynamic_cast<D3D7SpriteData*>(pSprite->getDriverData());
    if (!pData) {
        pData = new D3D7SpriteData();
        pSprite->setDriverData(pData);
    }
    const Tsl::List<Point>& lPoints = pSprite->getPolygon();
    // The stamp alone can miss a change made twice in one frame; the count
    // at least keeps the cache the size of the polygon.
    if (pSprite->getPolygonStamp() > pData->m_nPolygonStamp ||
        static_cast<int>(pData->m_aPolygon.size()) != lPoints.getCount()) {
        pData->m_aPolygon.clear();
        for (const Point& p : lPoints) pData->m_aPolygon.push_back(D3D7Vertex{p.x, p.y, 0.0f, 0, 0.0f, 0.0f});
        pData->m_nPolygonStamp = pSprite->getPolygonStamp();
    }
    for (D3D7Vertex& v : pData->m_aPolygon) v.nColor = nColor;
    D3DXMATRIX translation;
    D3DXMatrixTranslation(&translation, x, y, 0.0f);
    setView(translation * view);
    bindTexture(nullptr);
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, VERTEX_FORMAT, pData->m_aPolygon.data(),
                             static_cast<DWORD>(pData->m_aPolygon.size()), 0);
}

void D3D7VideoDriver::applyRenderStates() {
    // The waiting quads were meant for the states they were queued under.
    if (m_bStatesDirty) flushRun();
    // Both stencil requests belong to this sprite, not to a change of state:
    // a second mask or clear with the same states must still take effect.
    if (m_nRenderFlags & RF_WRITE_STENCIL) m_bStencilClearPending = true;
    if (m_nRenderFlags & RF_CLEAR_STENCIL) clearStencil();
    if (!m_bStatesDirty || !m_pDevice) return;
    m_bStatesDirty = false;
    bool bWriteMask = (m_nRenderFlags & RF_WRITE_STENCIL) != 0;
    m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILENABLE, (bWriteMask || m_bStencilTest) ? 1 : 0);
    if (!(m_nRenderFlags & RF_DRAW_COLOR)) {
        m_pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
        m_pDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    } else if (m_nBlendMode == BM_NORMAL) {
        m_pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    } else if (m_nBlendMode == BM_ADDITIVE) {
        m_pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    }
    m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 0);
    if (bWriteMask) {
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILMASK, 1);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILREF, 1);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, D3DCMP_ALWAYS);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFAIL, D3DSTENCILOP_REPLACE);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILZFAIL, D3DSTENCILOP_REPLACE);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, D3DSTENCILOP_REPLACE);
        // Only pixels with some alpha mark the mask.
        m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
        m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
        m_pDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER);
    } else if (m_bStencilTest) {
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILMASK, 1);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILREF, 1);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFUNC, D3DCMP_EQUAL);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILFAIL, D3DSTENCILOP_KEEP);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILZFAIL, D3DSTENCILOP_KEEP);
        m_pDevice->SetRenderState(D3DRENDERSTATE_STENCILPASS, D3DSTENCILOP_KEEP);
    }
}

// --- textures ------------------------------------------------------------------------------------

void D3D7VideoDriver::createTexture(Drv3DTileData* pTileData, int k, Surface* pSurface, int nVertex, int x0, int y0,
                                    int x1, int y1, bool bAlpha) {
    TSL_TRACE();
    D3D7TileData* pTiles = static_cast<D3D7TileData*>(pTileData);
    D3D7TextureHolder* pHolder = pTiles->getHolder(k);
    releaseInterface(pHolder->pTexture);
    int nWidth = x1 - x0, nHeight = y1 - y0;
    DWORD nTexWidth = static_cast<DWORD>(nextPowerOfTwo(nWidth));
    DWORD nTexHeight = static_cast<DWORD>(nextPowerOfTwo(nHeight));
    DWORD nFlags = D3DX_TEXTURE_NOMIPMAP;
    D3DX_SURFACEFORMAT eFormat = bAlpha ? D3DX_SF_A8R8G8B8 : D3DX_SF_R8G8B8;
    HRESULT hr = D3DXCreateTexture(m_pDevice, &nFlags, &nTexWidth, &nTexHeight, &eFormat, nullptr, &pHolder->pTexture,
                                   nullptr);
    if (FAILED(hr)) {
        pHolder->pTexture = nullptr;
        GameApp::log("D: Error 0x%08X\n", static_cast<unsigned int>(hr));
        TSL_THROW(Exception, "D3DXCreateTexture");
    }

    float fU = static_cast<float>(nWidth) / nTexWidth, fV = static_cast<float>(nHeight) / nTexHeight;
    const float aU[4] = {0.0f, fU, fU, 0.0f}, aV[4] = {0.0f, 0.0f, fV, fV};
    const int aX[4] = {x0, x1, x1, x0}, aY[4] = {y0, y0, y1, y1};
    for (int c = 0; c < 4; ++c) {
        pTiles->m_aU[nVertex + c] = aU[c];
        pTiles->m_aV[nVertex + c] = aV[c];
        pTiles->m_aX[nVertex + c] = static_cast<float>(aX[c]);
        pTiles->m_aY[nVertex + c] = static_cast<float>(aY[c]);
    }

    unsigned char* pPixels = nullptr;
    int nPitch = 0;
    pSurface->lock(Rect(x0, y0, x1, y1), pPixels, nPitch);
    const SDL_PixelFormat* f = pSurface->getSDLSurface()->format;
    SDL_Surface* pWrap = SDL_CreateRGBSurfaceFrom(pPixels, nWidth, nHeight, f->BitsPerPixel, nPitch, f->Rmask, f->Gmask,
                                                  f->Bmask, f->Amask);
    try {
        TSL_ASSERT(pWrap);
        if (f->palette) SDL_SetColors(pWrap, f->palette->colors, 0, f->palette->ncolors);
        copyIntoTexture(pWrap, pHolder->pTexture, pSurface->hasColorKey(), f->colorkey);
    } catch (...) {
        if (pWrap) SDL_FreeSurface(pWrap);
        pSurface->unlock();
        throw;
    }
    SDL_FreeSurface(pWrap);
    pSurface->unlock();
}

void D3D7VideoDriver::copyIntoTexture(SDL_Surface* pSource, IDirectDrawSurface7* pTexture, bool bColorKey, Uint32 nKey) {
    TSL_TRACE();
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    HRESULT hr = pTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (FAILED(hr)) {
        GameApp::log("D: Error 0x%08X\n", static_cast<unsigned int>(hr));
        TSL_THROW(Exception, "Lock failed");
    }
    int nTexWidth = static_cast<int>(desc.dwWidth), nTexHeight = static_cast<int>(desc.dwHeight);
    unsigned char* pTexels = static_cast<unsigned char*>(desc.lpSurface);
    // Keyed pixels and the padding read as transparent black, never as
    // whatever the memory held.
    for (int y = 0; y < nTexHeight; ++y) std::memset(pTexels + y * desc.lPitch, 0, static_cast<size_t>(nTexWidth) * 4);
    const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    SDL_Surface* pTexSurf = SDL_CreateRGBSurfaceFrom(pTexels, nTexWidth, nTexHeight, pf.dwRGBBitCount, desc.lPitch,
                                                     pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask, pf.dwRGBAlphaBitMask);
    if (!pTexSurf) {
        pTexture->Unlock(nullptr);
        TSL_ASSERT(pTexSurf);
    }
    // Copy alpha values instead of blending with them; leave keyed pixels out.
    Uint32 nOldFlags = pSource->flags;
    Uint8 nOldAlpha = pSource->format->alpha;
    SDL_SetAlpha(pSource, 0, 255);
    if (bColorKey) SDL_SetColorKey(pSource, SDL_SRCCOLORKEY, nKey);
    SDL_BlitSurface(pSource, nullptr, pTexSurf, nullptr);
    if (nOldFlags & SDL_SRCALPHA) SDL_SetAlpha(pSource, SDL_SRCALPHA, nOldAlpha);
    SDL_FreeSurface(pTexSurf);

    // One column and row of the edge texels into the padding, so that filtering
    // at the right and bottom edges clamps as it does at the left and top.
    int nWidth = std::min(pSource->w, nTexWidth), nHeight = std::min(pSource->h, nTexHeight);
    if (nWidth > 0 && nWidth < nTexWidth) {
        for (int y = 0; y < nHeight; ++y) {
            Uint32* pRow = reinterpret_cast<Uint32*>(pTexels + y * desc.lPitch);
            pRow[nWidth] = pRow[nWidth - 1];
        }
    }
    if (nHeight > 0 && nHeight < nTexHeight) {
        int nCopy = std::min(nWidth + 1, nTexWidth);
        std::memcpy(pTexels + nHeight * desc.lPitch, pTexels + (nHeight - 1) * desc.lPitch, static_cast<size_t>(nCopy) * 4);
    }
    pTexture->Unlock(nullptr);
}
