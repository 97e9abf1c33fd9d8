// The reference-counted picture of the whole system. Image owns the geometry
// (a virtual canvas, the physical pixels inside it, an insertion point,
// pending mirror operations, copy-on-write views of a shared pixel store) and
// reaches the pixels only through virtual operations of the back end.
//
// Coordinates: canvas (what the rest of the system sees), physical (the
// stored pixels, canvas = physical + offset) and store (several images may
// share one pixel store). Pixel operations take physical coordinates; the
// public geometry takes canvas coordinates.
#pragma once

#include "image/color.h"
#include "image/geometry.h"
#include "image/pixelops.h"
#include "image/rect.h"
#include "app/resourceloader.h"
#include "video/videodriver.h"

#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Shape;

class Image : public Tsl::RefCountedObject {
public:
    // alignInsPoint flags.
    enum { ALIGN_RIGHT = 2, ALIGN_HCENTER = 4, ALIGN_BOTTOM = 16, ALIGN_VCENTER = 32, ALIGN_PHYSICAL = 64 };

    Image();
    ~Image() override;

    // ---- operations of the back end -----------------------------------------
    virtual void setSurfaceFactor(float fFactor) = 0;
    virtual float getSurfaceFactor() = 0;
    // Blends the source region (source canvas coordinates) so that the
    // source's insertion point lands on canvas point (x, y).
    virtual void blit(Image* pSource, const Rect& source, int x, int y) = 0;
    virtual void blit(Image* pSource, int x, int y);
    // As blit, but the source pixels replace the destination's, alpha included.
    virtual void copy(Image* pSource, const Rect& source, int x, int y) = 0;
    virtual void copy(Image* pSource, int x, int y);
    virtual void fill(const Color& c) = 0;
    virtual PixelFormat getPixelFormat() = 0;
    virtual Tsl::SmartPtr<Image> convert(const PixelFormat& format) = 0;
    virtual bool hasAlpha() = 0;
    virtual bool hasColorKey() = 0;
    virtual void setColorKey(const Color& key) = 0;
    virtual Color getColorKey() = 0;
    virtual void convertToAlphaFormat() = 0;
    virtual void convertToDisplayFormat() = 0;
    virtual void setAlpha(int nAlpha) = 0;
    virtual int getAlpha() = 0;
    virtual void notifyChanged() {}
    // Pixels changed: the cached shape no longer matches them.
    virtual void invalidate() { releaseShape(); }
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // Physical pixels as seen (pending mirrors honoured); only while locked.
    virtual Color getPixel(int x, int y) = 0;
    virtual void putPixel(int x, int y, const Color& c) = 0;
    virtual void blendPixels(Image* pSource, int nSrcX, int nSrcY, int nWidth, int nHeight, int x, int y) = 0;
    virtual void shareSurface(Image* pOther) = 0;
    // Re-allocates the physical pixels over a canvas rectangle, keeping the
    // old pixels in place; the canvas is unchanged.
    virtual void setPhysicalRect(int x, int y, int nWidth, int nHeight) = 0;
    virtual void loadPixels(const char* pszName, bool bConvert, bool bAlpha) = 0;
    virtual void trim() = 0;
    virtual void commitPixels() = 0;
    virtual void applyHorizontalFlip() = 0;
    virtual void applyVerticalFlip() = 0;
    // The locked stored pixels (no mirrors applied); only while locked.
    virtual PixelBuffer getLockedBuffer() = 0;
    // Whether another image (a view, or the picture a view was cut from)
    // still draws from this image's pixel store.
    virtual bool isStoreShared() = 0;
    // New images of the same back end (through the platform's factory when
    // there is one).
    virtual Tsl::SmartPtr<Image> newEmptyImage() = 0;
    virtual Tsl::SmartPtr<Image> newBlankImage(int nWidth, int nHeight, bool bAlpha) = 0;
    // For images over the caller's pixels: keeps the object owning those
    // pixels alive as long as this image (and every view sharing its store)
    // may still read them.
    virtual void holdPixels(Tsl::SmartPtr<Tsl::RefCountedObject> pOwner) { m_pPixelOwner = pOwner; }

    // ---- geometry ---------------------------------------------------------------
    int getWidth() const { return m_nCanvasWidth; }
    int getHeight() const { return m_nCanvasHeight; }
    void getSize(int& nWidth, int& nHeight) const;
    int getSize(bool bHeight) const { return bHeight ? m_nCanvasHeight : m_nCanvasWidth; }
    Point getSize() const;
    void getPhysicalSize(int& nWidth, int& nHeight) const;
    Point getPhysicalSize() const;
    Point getPhysicalOffset() const;
    void getPhysicalOffset(int& nX, int& nY) const;
    void getSurfacePosition(int& nX, int& nY) const;
    void getInsPoint(int& nX, int& nY) const;
    int getInsPointX() const { return m_nInsX; }
    int getInsPointY() const { return m_nInsY; }
    Point getInsPoint() const;
    bool isFlippedHorizontally() const { return m_bFlipHorizontal; }
    bool isFlippedVertically() const { return m_bFlipVertical; }
    bool isCommitPending() const { return m_bCommitPending; }
    const Tsl::String& getName() const { return m_sName; }
    void setInsPoint(int nX, int nY);
    void setInsPoint(const Point& p);
    void setVirtualCanvas(int nOffsetX, int nOffsetY, int nCanvasWidth, int nCanvasHeight);
    Rect getPhysicalRect() const;
    Rect getVirtualRect() const;
    // The physical pixels in canvas coordinates.
    Rect getPhysicalCanvasRect() const;
    void alignInsPoint(int nFlags);

    // ---- drawing and pixel access -------------------------------------------
    void copyRect(Image* pSource, const Rect& source, int x, int y);
    void copyImage(Image* pSource, int x, int y);
    // An image and the point copyImages draws it at.
    struct Placement {
        Image* pImage;
        int x, y;
    };
    // copyImage of each in turn; a picture that can draws them faster together
    // (the many small glyphs of a text).
    virtual void copyImages(const Placement* aPlaced, int nCount);
    Color getColorAt(int x, int y);
    void setColorAt(int x, int y, const Color& c);
    bool isPixelTransparent(int x, int y, int nThreshold);
    bool isTransparentAt(int x, int y, int nThreshold);
    bool isTransparentAt(const Point& p, int nThreshold);
    bool isRowTransparent(int y, int nThreshold);
    bool isColumnTransparent(int x, int nThreshold);
    // Physical pixels x0 <= x < x1 of row y (y0 <= y < y1 of column x) are
    // all clear: equal to the colour key when there is one, else alpha 0.
    // Parts of the span outside the physical pixels count as clear. The
    // caller holds the lock.
    bool isRowSpanClear(int y, int x0, int x1);
    bool isColumnSpanClear(int x, int y0, int y1);
    // Physical pixels covered (not transparent at the threshold) inside a
    // physical rectangle, counting stops once past nLimit (the shape build).
    int countCovered(const Rect& r, int nThreshold, int nLimit);
    // The smallest canvas rectangle around the pixels not transparent at the
    // threshold (only those inside the canvas); empty when there is none.
    Rect getCoveredRect(int nThreshold);

    // ---- views, clones, masks ---------------------------------------------------
    Tsl::SmartPtr<Image> createSubImage(int x, int y, int nWidth, int nHeight, bool bCommitNow);
    Tsl::SmartPtr<Image> createSubImage(const Rect& r, bool bCommitNow);
    Tsl::SmartPtr<Image> clone(bool bCommitNow);
    void initFromRegion(Image* pSource, int x, int y, int nWidth, int nHeight);
    Tsl::SmartPtr<Shape> getShape(int nCellSize, int nThreshold, float fFillFraction);
    void releaseShape();
    Tsl::SmartPtr<Image> createAlphaMask();

    // ---- edits ----------------------------------------------------------------
    void remapChannels(int nRed, int nGreen, int nBlue);
    void tint(const Color& k);
    void multiplyAlpha(unsigned char nFactor);
    // Mode 0 sets each alpha to the mask's, mode 1 multiplies by it. Pixels
    // the mask does not cover read a mask value of 0.
    void setAlphaFromImage(Image* pMask, int nMode);
    void flipHorizontal();
    void flipVertical();

    // ---- commit and preparation -----------------------------------------------
    void commit();
    void applyPendingFlips();
    // Commit, then the pending mirrors: the stored pixels become what is seen.
    void prepare();
    // prepare, and a private store when another image still shares it.
    void prepareForWrite();
    void copyGeometry(Image* pOther);
    void copyTransparency(Image* pOther);
    // Clips a blit (in/out values) and grows the physical pixels to take it.
    bool clipBlit(Image* pSource, int& nSrcX, int& nSrcY, int& nWidth, int& nHeight, int& x, int& y);
    // The clipping alone, nothing prepared or grown: the source rectangle to its
    // stored pixels, the destination to this canvas (x, y stay canvas points).
    bool clipToPictures(const Image* pSource, int& nSrcX, int& nSrcY, int& nWidth, int& nHeight, int& x,
                        int& y) const;

    // Loading entry of the back end's constructor: ".subimage" and ".spec"
    // companions around loadPixels.
    void load(const char* pszName, bool bConvert, bool bAlpha);
    static void setAutoTrim(bool bAutoTrim) { s_bAutoTrim = bAutoTrim; }
    static bool isAutoTrim() { return s_bAutoTrim; }

protected:
    // Stored physical coordinates of a seen physical pixel (pending mirrors).
    int storedX(int x) const { return m_bFlipHorizontal ? m_nPhysWidth - 1 - x : x; }
    int storedY(int y) const { return m_bFlipVertical ? m_nPhysHeight - 1 - y : y; }
    Rect storedRect(const Rect& r) const;
    void setPhysicalSize(int nWidth, int nHeight);
    void setSurfacePosition(int nX, int nY);
    void setPhysicalOffset(int nX, int nY);
    void setCanvasSize(int nWidth, int nHeight);
    void setCommitPending(bool bPending) { m_bCommitPending = bPending; }
    void setName(const char* pszName) { m_sName = pszName; }
    // Called after every change of pixels or geometry.
    void pixelsChanged();

private:
    // A private store, locked, given to edit, then the cached shape dropped.
    template <class Edit>
    void editPixels(Edit edit);
    bool isPhysicalRectClear(const Rect& r);
    void loadSubImage(const char* pszName, const Tsl::String& sDescription);
    void loadSpec(const char* pszName, const Tsl::String& sSpec);
    // One axis of a "vcanvas" line: a canvas size of 0 or more, and the span
    // of canvas and stored pixels together within the int range.
    static bool isVirtualCanvasInRange(int nCanvasSize, int nOffset, int nPhysSize);

    int m_nPhysWidth;
    int m_nPhysHeight;
    int m_nInsX;
    int m_nInsY;
    int m_nSurfaceX;
    int m_nSurfaceY;
    int m_nOffsetX;
    int m_nOffsetY;
    int m_nCanvasWidth;
    int m_nCanvasHeight;
    bool m_bCommitPending;
    bool m_bFlipHorizontal;
    bool m_bFlipVertical;
    Tsl::SmartPtr<Shape> m_pShape;
    int m_nShapeCellSize;
    int m_nShapeThreshold;
    float m_fShapeFillFraction;
    Tsl::String m_sName;
    Tsl::SmartPtr<Tsl::RefCountedObject> m_pPixelOwner;

    static bool s_bAutoTrim;
};

// Makes images by resource name, over caller pixels, or blank.
class ImageFactory : public IResourceLoader<Image> {
public:
    virtual Image* create(const char* pszName, bool bConvert) = 0;
    // The pixels are not copied: the caller keeps them alive.
    virtual Image* createFromPixels(void* pPixels, int nWidth, int nHeight, int nBpp, int nPitch,
                                    unsigned int nRedMask, unsigned int nGreenMask, unsigned int nBlueMask,
                                    unsigned int nAlphaMask) = 0;
    virtual Image* createBlank(int nWidth, int nHeight, bool bAlpha) = 0;
    virtual Image* createEmpty() = 0;
};
