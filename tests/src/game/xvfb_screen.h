// What a player sees of the game under the tests' private Xvfb
// (tsl_add_xvfb_test): its top-level window, found by its class, and the
// screen's pixels. Include after everything else: Xlib's macros stay here.
#pragma once

#include "game_process.h"

#define Font XlibFont
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Font

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

// Tests that need an X server skip themselves anywhere else, naming the
// CTest test that runs them under Xvfb.
inline bool hasTestXServer() { return std::getenv("TSL_TEST_XVFB") != nullptr; }
inline std::string needsXServer(const char* pszXvfbTest) {
    return std::string("needs an X server; it runs under Xvfb in the test ") + pszXvfbTest;
}

// The game replaces its windows while it starts and on every switch of
// the screen mode, so a window the test just listed may be gone by its next
// request. Such a failure means "not there" (each call below returns 0 or
// null for it) instead of ending the test through Xlib's default handler;
// any other error still goes to that handler.
inline XErrorHandler& defaultXErrorHandler() {
    static XErrorHandler s_pfnDefault = nullptr;
    return s_pfnDefault;
}
inline int ignoreGoneWindows(Display* pDisplay, XErrorEvent* pEvent) {
    if (pEvent->error_code == BadWindow || pEvent->error_code == BadDrawable) return 0;
    return defaultXErrorHandler() ? defaultXErrorHandler()(pDisplay, pEvent) : 0;
}

// The test's connection to the X server, with gone windows tolerated.
inline Display* openTestDisplay() {
    XErrorHandler pfnOld = XSetErrorHandler(ignoreGoneWindows);
    if (pfnOld != ignoreGoneWindows) defaultXErrorHandler() = pfnOld;
    return XOpenDisplay(nullptr);
}

// A viewable top-level window whose class hint names the class; 0 when none.
inline Window findWindowOfClass(Display* pDisplay, const char* pszClass) {
    Window nRoot = 0, nParent = 0, *pChildren = nullptr;
    unsigned int nCount = 0;
    if (!XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &nRoot, &nParent, &pChildren, &nCount)) return 0;
    Window nFound = 0;
    for (unsigned int i = 0; i < nCount && !nFound; ++i) {
        XClassHint hint;
        if (!XGetClassHint(pDisplay, pChildren[i], &hint)) continue;
        bool bMatch = hint.res_class && std::strcmp(hint.res_class, pszClass) == 0;
        if (hint.res_class) XFree(hint.res_class);
        if (hint.res_name) XFree(hint.res_name);
        XWindowAttributes attrs;
        if (bMatch && XGetWindowAttributes(pDisplay, pChildren[i], &attrs) && attrs.map_state == IsViewable)
            nFound = pChildren[i];
    }
    if (pChildren) XFree(pChildren);
    return nFound;
}

// Waits up to the time for the window of the class to show.
inline Window waitForWindowOfClass(Display* pDisplay, const char* pszClass, int nSeconds) {
    Window nWindow = 0;
    return waitFor([&] { return (nWindow = findWindowOfClass(pDisplay, pszClass)) != 0; }, nSeconds) ? nWindow : 0;
}

// Waits up to the time for the window of the class to show and to listen
// for keys (SDL selects them once its window is ready); 0 when it does not.
inline Window waitForKeyWindowOfClass(Display* pDisplay, const char* pszClass, int nSeconds) {
    Window nWindow = 0;
    auto fnListens = [&] {
        nWindow = findWindowOfClass(pDisplay, pszClass);
        XWindowAttributes attrs;
        return nWindow && XGetWindowAttributes(pDisplay, nWindow, &attrs) && (attrs.all_event_masks & KeyPressMask);
    };
    return waitFor(fnListens, nSeconds) ? nWindow : 0;
}

// The first child of a window (SDL draws into a child of its managed window).
inline Window firstChild(Display* pDisplay, Window nWindow) {
    Window nRoot = 0, nParent = 0, *pChildren = nullptr;
    unsigned int nCount = 0;
    if (!XQueryTree(pDisplay, nWindow, &nRoot, &nParent, &pChildren, &nCount)) return 0;
    Window nChild = nCount ? pChildren[0] : 0;
    if (pChildren) XFree(pChildren);
    return nChild;
}

// A part of the screen as the player sees it, in RGB.
class ScreenShot {
public:
    ScreenShot(Display* pDisplay, int x, int y, int nWidth, int nHeight)
        : m_pImage(XGetImage(pDisplay, DefaultRootWindow(pDisplay), x, y, static_cast<unsigned int>(nWidth),
                             static_cast<unsigned int>(nHeight), AllPlanes, ZPixmap)) {}
    ~ScreenShot() {
        if (m_pImage) XDestroyImage(m_pImage);
    }
    ScreenShot(const ScreenShot&) = delete;
    ScreenShot& operator=(const ScreenShot&) = delete;

    bool isValid() const { return m_pImage != nullptr; }
    SDL_Color at(int x, int y) const {
        unsigned long nPixel = XGetPixel(m_pImage, x, y);
        return SDL_Color{channel(nPixel, m_pImage->red_mask), channel(nPixel, m_pImage->green_mask),
                         channel(nPixel, m_pImage->blue_mask), 0};
    }

private:
    static Uint8 channel(unsigned long nPixel, unsigned long nMask) {
        if (!nMask) return 0;
        int nShift = 0;
        while (!((nMask >> nShift) & 1)) ++nShift;
        unsigned long nMax = nMask >> nShift;
        return static_cast<Uint8>(((nPixel & nMask) >> nShift) * 255 / nMax);
    }

    XImage* m_pImage;
};

inline bool sameColor(const SDL_Color& a, const SDL_Color& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
