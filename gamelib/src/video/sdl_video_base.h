// The part of every video driver that deals with the SDL window: mode choice
// and its fallbacks, caption and icon, full screen, colour depth, window
// placement, the system and software cursor, and the side bars that keep the
// logical screen centred on a wide display. The graphics API itself is left
// to the concrete driver (createDirectDraw, createWindow, getDesktopSize,
// getScreenBpp).
#pragma once

#include "image/geometry.h"
#include "image/rect.h"
#include "video/videodriver.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

#include <SDL.h>

#include <vector>

class IPlatform;

class SDLVideoDriverBase : public IVideoDriver {
public:
    SDLVideoDriverBase();
    ~SDLVideoDriverBase() override;

    bool setVideoMode(int nWidth, int nHeight, int nFlags) override;
    bool isFullScreen() const override { return (m_nModeFlags & VMF_FULLSCREEN) != 0; }
    void setFullScreen(bool bFullScreen) override;
    void setColorDepth(int nBpp) override;
    PixelFormat getPixelFormat() const override { return m_opaqueFormat; }
    PixelFormat getAlphaPixelFormat() const override { return m_alphaFormat; }
    void setCaption(const char* pszUtf8) override;
    bool toggleFullScreen() override;
    void iconify() override;
    int getWidth() const override { return m_nLogicalWidth; }
    int getHeight() const override { return m_nLogicalHeight; }
    void getSize(int* pWidth, int* pHeight) const override;
    void setCursorImage(Tsl::SmartPtr<Image> pImage) override;
    void showCursor(bool bShow) override;
    bool isCursorShown() const override { return m_bCursorShown; }
    void setSoftwareCursor(bool bSoftware) override;
    bool isSoftwareCursor() const override { return m_bSoftwareCursor; }

    virtual void centerWindow();
    virtual void invalidateModeTextures() {}
    // Graphics API objects needed before the first window.
    virtual void createDirectDraw() = 0;
    // One attempt at a window (or full-screen display) of that size and depth.
    virtual bool createWindow(int nWidth, int nHeight, int nBpp, bool bFullScreen, int nFlags,
                              Uint32 nSDLFlags) = 0;
    // The desktop size measured at init; (0, 0) when it cannot be told.
    virtual Point getDesktopSize() = 0;
    virtual void useBlankSystemCursor();

    void setPlatform(IPlatform* pPlatform) { m_pPlatform = pPlatform; }
    IPlatform* getPlatform() const { return m_pPlatform; }
    // Asks SDL for absolute pointer positions in every mode; called before
    // each start of SDL's video.
    static void keepMouseAbsolute();
    // Window pixels per logical pixel, the same on both axes.
    Point getScreenScale() const;
    // Where the scaled logical screen's top-left corner lies in the window.
    Point getScreenOffset() const;

    int getActualWidth() const { return m_nActualWidth; }
    int getActualHeight() const { return m_nActualHeight; }
    int getModeFlags() const { return m_nModeFlags; }
    int getBarWidth() const { return m_nBarWidth; }
    int getLogicalScreenWidth() const { return m_nLogicalScreenWidth; }
    // A mode narrower than the logical screen shows all of it with bars above
    // and below instead: their height, and the mode's height in logical units.
    int getBarHeight() const { return m_nBarHeight; }
    int getLogicalScreenHeight() const { return m_nLogicalScreenHeight; }
    const Tsl::List<Rect*>& getSideBars() const { return m_lSideBars; }
    const Tsl::String& getCaption() const { return m_sCaption; }
    bool isWideDesktop() const { return m_bWide; }

    struct ModeSize {
        int nWidth;
        int nHeight;
    };
    // Full-screen candidates for a physical size: every listed mode at least
    // that tall plus the size itself, closest to the desktop's aspect first.
    std::vector<ModeSize> getFullScreenCandidates(int nWidth, int nHeight);
    // The four depths tried for a requested one, best first (0 = keep current).
    static void getDepthCandidates(int nBpp, int aDepths[4]);

    // Driver-wide stamp of the last texture invalidation (-1: none yet).
    static int s_nTextureInvalidationStamp;

protected:
    // SDL's full-screen mode list: null for none, (SDL_Rect**)-1 for any size.
    virtual SDL_Rect** queryFullScreenModes();
    // The window's screen rectangle and the primary screen's size; false when
    // the window system cannot tell.
    virtual bool getWindowRect(Rect& rect);
    virtual Point getPrimaryScreenSize();
    virtual void moveWindow(int nX, int nY);

    // The window icon's pixels as SDL takes them; null when there are none.
    virtual SDL_Surface* getIconSurface();
    void applyIcon();
    // Starts SDL video, waiting briefly for a display that refuses at first;
    // every start after the first takes only the driver the first one got.
    bool startVideo();
    // The name of the driver SDL's video runs on.
    virtual Tsl::String queryVideoDriverName();
    void setDefaultFormats(const PixelFormat& opaque, const PixelFormat& alpha);
    void measureDesktop();
    bool tryModes(const std::vector<ModeSize>& lCandidates, const int aDepths[4], bool bFullScreen, int nFlags,
                  Uint32 nSDLFlags, ModeSize& got);
    void applyMode(int nWidth, int nHeight, const ModeSize& got, bool bFullScreen, int nFlags, bool bHidden);
    void rebuildSideBars();
    // True when the mode in force is narrower than the logical screen's aspect.
    bool isNarrowerThanLogical() const;
    void clearSideBars();
    void releaseCursors();
    bool isHiddenRequested() const;
    bool startVideoOnce() const;
    // The driver the first start asks for: X11 when a display is named and
    // the user asked for none, else SDL's own choice (empty).
    static Tsl::String firstDriverWanted();

    bool m_bInitialised;
    IPlatform* m_pPlatform;
    Tsl::SmartPtr<Image> m_pIcon;
    Tsl::String m_sCaption;
    Point m_ptDesktopSize;
    float m_fDesktopAspect;
    bool m_bWide;
    int m_nLogicalWidth, m_nLogicalHeight;
    int m_nActualWidth, m_nActualHeight;
    int m_nModeFlags;
    PixelFormat m_opaqueFormat;
    PixelFormat m_alphaFormat;
    bool m_bSoftwareCursor;
    bool m_bCursorShown;
    Tsl::SmartPtr<Image> m_pCursorImage;
    SDL_Cursor* m_pBlankCursor;
    SDL_Cursor* m_pSystemCursor;
    int m_nBarWidth;
    int m_nLogicalScreenWidth;
    int m_nBarHeight;
    int m_nLogicalScreenHeight;
    Tsl::List<Rect*> m_lSideBars;
    // The driver the first start of SDL's video got; empty before it.
    Tsl::String m_sVideoDriver;
};
