#include "platform/x11window.h"

#include <SDL.h>
#include "platform/syswm.h"

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// SDL's X11 window information, or false under any other video driver.
bool getX11Info(SDL_SysWMinfo* pInfo) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetVideoSurface()) return false;
    SDL_VERSION(&pInfo->version);
    if (SDL_GetWMInfo(pInfo) <= 0) return false;
    return pInfo->subsystem == SDL_SYSWM_X11 && pInfo->info.x11.display;
}

// The error code of the last failed request while recordXError is installed.
int s_nXError = 0;

int recordXError(Display*, XErrorEvent* pEvent) {
    s_nXError = pEvent->error_code;
    return 0;
}
#endif

} // namespace

bool x11GetWindowRect(int* pX, int* pY, int* pWidth, int* pHeight) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!getX11Info(&info)) return false;
    Display* pDisplay = info.info.x11.display;
    info.info.x11.lock_func();
    XWindowAttributes attrs;
    bool bOk = XGetWindowAttributes(pDisplay, info.info.x11.wmwindow, &attrs) != 0;
    Window child;
    int nX = 0, nY = 0;
    if (bOk)
        bOk = XTranslateCoordinates(pDisplay, info.info.x11.wmwindow, attrs.root, 0, 0, &nX, &nY, &child) != 0;
    info.info.x11.unlock_func();
    if (!bOk) return false;
    *pX = nX;
    *pY = nY;
    *pWidth = attrs.width;
    *pHeight = attrs.height;
    return true;
#else
    return false;
#endif
}

bool x11GetScreenSize(int* pWidth, int* pHeight) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!getX11Info(&info)) return false;
    Display* pDisplay = info.info.x11.display;
    info.info.x11.lock_func();
    *pWidth = DisplayWidth(pDisplay, DefaultScreen(pDisplay));
    *pHeight = DisplayHeight(pDisplay, DefaultScreen(pDisplay));
    info.info.x11.unlock_func();
    return true;
#else
    return false;
#endif
}

bool x11MoveWindow(int nX, int nY) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!getX11Info(&info)) return false;
    info.info.x11.lock_func();
    XMoveWindow(info.info.x11.display, info.info.x11.wmwindow, nX, nY);
    XMapWindow(info.info.x11.display, info.info.x11.wmwindow);
    XFlush(info.info.x11.display);
    info.info.x11.unlock_func();
    return true;
#else
    return false;
#endif
}

bool x11MakeChildOf(unsigned long nParent) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    if (!getX11Info(&info)) return false;
    Display* pDisplay = info.info.x11.display;
    info.info.x11.lock_func();
    // The parent comes from the command line: a window that does not exist or
    // cannot take the focus must not end the program through Xlib's default
    // error handler. Earlier requests keep their own handler.
    XSync(pDisplay, False);
    s_nXError = 0;
    XErrorHandler pfnOld = XSetErrorHandler(recordXError);
    XReparentWindow(pDisplay, info.info.x11.wmwindow, static_cast<Window>(nParent), 0, 0);
    XMapRaised(pDisplay, info.info.x11.wmwindow);
    XSync(pDisplay, False);
    bool bOk = s_nXError == 0;
    if (bOk) {
        XSetInputFocus(pDisplay, info.info.x11.window, RevertToParent, CurrentTime);
        XSync(pDisplay, False);
    }
    XSetErrorHandler(pfnOld);
    info.info.x11.unlock_func();
    return bOk;
#else
    (void)nParent;
    return false;
#endif
}
