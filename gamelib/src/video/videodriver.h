// The abstract video back end. The application reaches it through the
// platform; it owns the window and display mode, draws every visible mode's
// sprites once per frame and attaches per-object driver data (texture and
// vertex caches) to images, surfaces and sprites.
#pragma once

#include "tsl2/refcount.h"

class Color;
class Image;
class Point;
class Sprite;

// Five 32-bit words: bits per pixel, then the alpha, red, green and blue masks.
struct PixelFormat {
    unsigned int nBitsPerPixel;
    unsigned int nAlphaMask;
    unsigned int nRedMask;
    unsigned int nGreenMask;
    unsigned int nBlueMask;
};

// Driver data: created by the driver on first need, stored in and deleted by
// the owning image, pixel store or sprite.
class DrvImageData {
public:
    DrvImageData() : m_nChangeStamp(-1) {}
    virtual ~DrvImageData() {}
    // The owner's frame-counter stamp of its last change; the driver rebuilds
    // its copy when this is newer than the stamp it built from.
    int m_nChangeStamp;
};

class DrvSurfaceData {
public:
    DrvSurfaceData() : m_nChangeStamp(-1) {}
    virtual ~DrvSurfaceData() {}
    // The owner's frame-counter stamp of its last change; the driver rebuilds
    // its copy when this is newer than the stamp it built from.
    int m_nChangeStamp;
};

class DrvSpriteData {
public:
    virtual ~DrvSpriteData() {}
};

enum VideoModeFlags {
    VMF_FULLSCREEN = 0x01,
    VMF_DEPTH_MASK = 0x0C,
    VMF_DEPTH_16 = 0x04,
    VMF_DEPTH_24 = 0x08,
    VMF_DEPTH_32 = 0x0C,
    VMF_BORDERLESS = 0x10,
    VMF_STENCIL = 0x20
};

class IVideoDriver {
public:
    IVideoDriver() : m_fScaleFactor(1.0f) {}
    virtual ~IVideoDriver() {}

    virtual void setScaleFactor(float fScale) { m_fScaleFactor = fScale; }
    virtual float getScaleFactor() const { return m_fScaleFactor; }
    virtual bool init(Tsl::SmartPtr<Image> pIcon) = 0;
    virtual void shutdown() = 0;
    virtual const char* getName() const = 0;
    virtual bool isHardwareAccelerated() const = 0;
    // Texture invalidation hooks: called when the display loses or rebuilds
    // its textures (mode change, lost device).
    virtual void invalidateTextures() {}
    virtual void invalidateSurfaceTextures() {}
    virtual bool setVideoMode(int nWidth, int nHeight, int nFlags) = 0;
    virtual bool isFullScreen() const = 0;
    virtual void setFullScreen(bool bFullScreen) = 0;
    virtual int getScreenBpp() const = 0;
    virtual void setColorDepth(int nBpp) = 0;
    virtual PixelFormat getPixelFormat() const = 0;
    virtual PixelFormat getAlphaPixelFormat() const = 0;
    virtual void setCaption(const char* pszUtf8) = 0;
    virtual bool toggleFullScreen() = 0;
    virtual void iconify() = 0;
    virtual void renderFrame() = 0;
    virtual void flip() = 0;
    virtual void clear(const Color& color) = 0;
    virtual void clearBackBuffer(const Color& color) = 0;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
    virtual void getSize(int* pWidth, int* pHeight) const = 0;
    virtual void setVSync(bool bEnabled) {}
    virtual void expose() {}
    virtual void setCursorImage(Tsl::SmartPtr<Image> pImage) = 0;
    virtual Tsl::SmartPtr<Sprite> getCursorSprite() const = 0;
    virtual void showCursor(bool bShow) = 0;
    virtual bool isCursorShown() const = 0;
    virtual void setSoftwareCursor(bool bSoftware) = 0;
    virtual bool isSoftwareCursor() const = 0;
    virtual void setProjectionOffset(int nX, int nY) = 0;
    virtual void preloadImage(Tsl::SmartPtr<Image> pImage) = 0;

    // 16, 24 or 32 for the depth bits 0x04, 0x08, 0x0C; 0 otherwise.
    static int getVideoDepthFromFlags(int nFlags);
    // 0x04 for 15 or 16, 0x08 for 24, 0x0C for 32, 0 for anything else.
    static int getVideoDepthFlags(int nBpp);

private:
    float m_fScaleFactor;
};
