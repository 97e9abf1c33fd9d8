// The pixel side of images over SDL 1.2 and SDL_image. Surface is the
// reference-counted pixel store: it loads pictures from resource memory,
// merges the ".colorkey" and ".alpha" companions, converts to the video
// driver's formats and can drop its pixels after the driver uploaded them,
// reloading them on the next access. SDLImage puts an image's geometry over a
// Surface; SDLImageFactory makes them.
#pragma once

#include "image/image.h"

#include "tsl2/resource.h"

#include <SDL.h>

#include <vector>

class Surface : public Tsl::RefCountedObject {
public:
    Surface(const char* pszName, bool bConvert, bool bAlpha);
    explicit Surface(SDL_Surface* pSurface);
    ~Surface() override;

    // Lock, raw access through the format snapshot, unlock; neither marks modified.
    virtual Color getPixel(int x, int y);
    virtual void putPixel(int x, int y, const Color& c);

    void setSurface(SDL_Surface* pSurface);
    void setOwnsSurface(bool bOwn) { m_bOwnSurface = bOwn; }
    void getSize(int& nWidth, int& nHeight) const;
    int getWidth() const { return m_nWidth; }
    int getHeight() const { return m_nHeight; }
    // The snapshot: valid while the pixels are released.
    const SDL_PixelFormat* getFormat() const { return &m_format; }
    bool isPaletted() const { return m_format.palette != nullptr; }
    bool hasAlpha() const { return m_format.Amask != 0; }
    void setAlpha(int nAlpha);
    int getAlpha() const;
    void setColorKey(const Color& key);
    Color getColorKey() const;
    bool hasColorKey() const { return m_bHasColorKey; }
    void markModified();
    bool isModified() const { return m_bModified; }
    void setFactor(float fFactor);
    float getFactor() const { return m_fFactor; }
    const Tsl::String& getResourcePrefix() const { return m_sResourcePrefix; }
    bool hasPixels() const { return m_pSurface != nullptr; }

    // The SDL surface, reloading released pixels first.
    SDL_Surface* getSDLSurface();
    void lock();
    void unlock();
    // Locks and gives the address of r's top-left pixel and the pitch.
    void lock(const Rect& r, unsigned char*& pPixels, int& nPitch);
    // Locks and gives r as a buffer over the format snapshot.
    PixelBuffer lockBuffer(const Rect& r);
    // Frees loaded, unmodified pixels; they come back on the next access.
    void releasePixels();
    Tsl::SmartPtr<Surface> displayFormat();
    void convertToAlphaFormat();
    void convertToDisplayFormat();
    // Alpha from a companion store at least as large as this one.
    void applyAlphaFrom(Surface* pAlpha);

    DrvSurfaceData* getDriverData() const { return m_pDriverData; }
    void setDriverData(DrvSurfaceData* pData);
    // The owner of pixels this store was made over; released with the store.
    void holdPixels(Tsl::SmartPtr<Tsl::RefCountedObject> pOwner) { m_pPixelOwner = pOwner; }

    // The display's formats; before any video mode (or without a driver) the
    // defaults: 24-bit opaque and 32-bit with alpha.
    static PixelFormat getDisplayPixelFormat(bool bAlpha);
    static SDL_Surface* toDisplayFormatAlpha(SDL_Surface* pSurface);
    static SDL_Surface* toDisplayFormat(SDL_Surface* pSurface);
    static SDL_Surface* toFormat(SDL_Surface* pSurface, const PixelFormat& format);
    static SDL_Surface* createSurface(int nWidth, int nHeight, const PixelFormat& format);
    // A blit that copies the source pixels as they are (alpha included),
    // ignoring the source's alpha and colour-key settings.
    static void blitRaw(SDL_Surface* pSource, int nSrcX, int nSrcY, int nWidth, int nHeight, SDL_Surface* pDest,
                        int x, int y);

private:
    void loadFromFiles(const char* pszName, bool bConvert, bool bAlpha);
    void loadFromResource(Tsl::Resource* pResource, const char* pszName);
    void takeSnapshot();
    void freeSurface();

    bool m_bHasColorKey;
    int m_nWidth;
    int m_nHeight;
    float m_fFactor;
    SDL_Surface* m_pSurface;
    SDL_PixelFormat m_format;
    SDL_Palette m_palette;
    std::vector<SDL_Color> m_aPaletteColors;
    bool m_bOwnSurface;
    bool m_bModified;
    Tsl::String m_sResourcePrefix;
    bool m_bConvert;
    bool m_bAlpha;
    DrvSurfaceData* m_pDriverData;
    Tsl::SmartPtr<Tsl::RefCountedObject> m_pPixelOwner;
};

class SDLImage : public Image {
public:
    // Loads a picture by name with its companions.
    SDLImage(const char* pszName, bool bConvert, bool bAlpha);
    // No store: to be made a view.
    SDLImage();
    explicit SDLImage(SDL_Surface* pSurface);
    SDLImage(int nWidth, int nHeight, bool bAlpha, bool bClear);
    SDLImage(SDLImage* pImage, const Rect& r);
    ~SDLImage() override;

    void setSurfaceFactor(float fFactor) override;
    float getSurfaceFactor() override;
    using Image::blit;
    using Image::copy;
    void blit(Image* pSource, const Rect& source, int x, int y) override;
    void copy(Image* pSource, const Rect& source, int x, int y) override;
    void fill(const Color& c) override;
    PixelFormat getPixelFormat() override;
    Tsl::SmartPtr<Image> convert(const PixelFormat& format) override;
    bool hasAlpha() override;
    bool hasColorKey() override;
    void setColorKey(const Color& key) override;
    Color getColorKey() override;
    void convertToAlphaFormat() override;
    void convertToDisplayFormat() override;
    void setAlpha(int nAlpha) override;
    int getAlpha() override;
    void notifyChanged() override;
    void invalidate() override;
    void lock() override;
    void unlock() override;
    Color getPixel(int x, int y) override;
    void putPixel(int x, int y, const Color& c) override;
    void blendPixels(Image* pSource, int nSrcX, int nSrcY, int nWidth, int nHeight, int x, int y) override;
    // Blended under one lock with the pixel layouts worked out once where every
    // image blends (both sides have alpha) and none can grow the stored pixels.
    void copyImages(const Placement* aPlaced, int nCount) override;
    void shareSurface(Image* pOther) override;
    void setPhysicalRect(int x, int y, int nWidth, int nHeight) override;
    void loadPixels(const char* pszName, bool bConvert, bool bAlpha) override;
    void trim() override;
    void commitPixels() override;
    void applyHorizontalFlip() override;
    void applyVerticalFlip() override;
    PixelBuffer getLockedBuffer() override;
    bool isStoreShared() override;
    Tsl::SmartPtr<Image> newEmptyImage() override;
    Tsl::SmartPtr<Image> newBlankImage(int nWidth, int nHeight, bool bAlpha) override;
    // Held by the pixel store, which views of this image share.
    void holdPixels(Tsl::SmartPtr<Tsl::RefCountedObject> pOwner) override { requireSurface()->holdPixels(pOwner); }
    virtual void lockRect(unsigned char*& pPixels, int& nPitch);

    // Puts a store under the image: surface position and offset (0, 0),
    // physical size and canvas the store's size.
    void setSurface(Tsl::SmartPtr<Surface> pSurface);
    Tsl::SmartPtr<Surface> getSurface() const { return m_pSurface; }
    DrvImageData* getDriverData() const { return m_pDriverData; }
    void setDriverData(DrvImageData* pData);

private:
    // A blit clipped to both images, in the two stores' pixel coordinates.
    struct BlitSpan {
        SDL_Surface* pSource;
        SDL_Surface* pDest;
        int nSrcX, nSrcY, nWidth, nHeight, nDestX, nDestY;
    };
    // Places the source's insertion point on (x, y); false when nothing is left.
    bool mapBlit(Image* pSource, const Rect& source, int x, int y, BlitSpan& span);
    // blit (bRaw false) or copy; a picture drawn onto itself reads from a copy.
    void drawFrom(Image* pSource, const Rect& source, int x, int y, bool bRaw);
    Surface* requireSurface();
    static SDLImage* asSDLImage(Image* pImage);
    // Keeps the geometry while the store is replaced.
    void replaceStore(SDL_Surface* pSurface, int nPhysWidth, int nPhysHeight);
    void markModified();

    Tsl::SmartPtr<Surface> m_pSurface;
    unsigned char* m_pLockedPixels;
    int m_nLockedPitch;
    int m_nLockDepth;
    DrvImageData* m_pDriverData;
};

class SDLImageFactory : public ImageFactory {
public:
    Image* load(const char* pszName) override;
    bool exists(const char* pszName) override;
    Image* create(const char* pszName, bool bConvert) override;
    Image* createFromPixels(void* pPixels, int nWidth, int nHeight, int nBpp, int nPitch, unsigned int nRedMask,
                            unsigned int nGreenMask, unsigned int nBlueMask, unsigned int nAlphaMask) override;
    Image* createBlank(int nWidth, int nHeight, bool bAlpha) override;
    Image* createEmpty() override;
};
