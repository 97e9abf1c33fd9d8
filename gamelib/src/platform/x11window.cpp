#include "platform/x11window.h"

#include <SDL.h>
#include "platform/syswm.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#define Font XlibFont
#include <X11/Xutil.h>
#undef Font
#endif

#include <cstdio>
#include <cstring>
#include <unistd.h>

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

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

bool hasClass(Display* pDisplay, Window nWindow, const char* pszClass) {
    XClassHint hint;
    if (!XGetClassHint(pDisplay, nWindow, &hint)) return false;
    bool bMatch = (hint.res_class && std::strcmp(hint.res_class, pszClass) == 0) ||
                  (hint.res_name && std::strcmp(hint.res_name, pszClass) == 0);
    if (hint.res_class) XFree(hint.res_class);
    if (hint.res_name) XFree(hint.res_name);
    return bMatch;
}

// Window managers put the client's window inside frames of their own: the
// search goes two levels deep below the root.
Window findWindowOfClass(Display* pDisplay, Window nParent, const char* pszClass, int nDepth) {
    Window nRoot = 0, nUp = 0, *pChildren = nullptr;
    unsigned int nCount = 0;
    if (!XQueryTree(pDisplay, nParent, &nRoot, &nUp, &pChildren, &nCount)) return 0;
    Window nFound = 0;
    for (unsigned int i = 0; i < nCount && !nFound; ++i) {
        if (hasClass(pDisplay, pChildren[i], pszClass)) nFound = pChildren[i];
        else if (nDepth > 1) nFound = findWindowOfClass(pDisplay, pChildren[i], pszClass, nDepth - 1);
    }
    if (pChildren) XFree(pChildren);
    return nFound;
}

void requestActivation(Display* pDisplay, Window nWindow) {
    // Window managers that follow the desktop conventions honour this; the
    // raise and focus below cover those that do not.
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = nWindow;
    event.xclient.message_type = XInternAtom(pDisplay, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // from a pager-like source: honoured without a timestamp
    XSendEvent(pDisplay, DefaultRootWindow(pDisplay), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

} // namespace
#endif

bool x11ActivateWindowOfClass(const char* pszClass) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!pszClass || !*pszClass) return false;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay) return false;
    s_nXError = 0;
    XErrorHandler pfnOld = XSetErrorHandler(recordXError);
    Window nWindow = findWindowOfClass(pDisplay, DefaultRootWindow(pDisplay), pszClass, 2);
    if (nWindow) {
        // Only an iconified (unmapped) window is brought back here. Raising a
        // shown one is left to the window manager: full screen, the game
        // draws in an unmanaged window above this one, which a raise of our
        // own would cover with an empty window.
        XWindowAttributes before;
        if (!XGetWindowAttributes(pDisplay, nWindow, &before) || before.map_state != IsViewable)
            XMapRaised(pDisplay, nWindow);
        requestActivation(pDisplay, nWindow);
        XSync(pDisplay, False);
        // The focus only goes to a window that is viewable by now.
        XWindowAttributes attrs;
        if (XGetWindowAttributes(pDisplay, nWindow, &attrs) && attrs.map_state == IsViewable)
            XSetInputFocus(pDisplay, nWindow, RevertToParent, CurrentTime);
        XSync(pDisplay, False);
    }
    XSetErrorHandler(pfnOld);
    XCloseDisplay(pDisplay);
    return nWindow != 0;
#else
    (void)pszClass;
    return false;
#endif
}

// --- a window destroyed from outside -------------------------------------------

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

enum { WATCHED_WINDOWS = 3 };

struct LostWindowState {
    bool bInstalled = false;
    XErrorHandler pfnPrevious = nullptr;
    bool bLeaving = false;
    bool bLost = false;
    int nIgnored = 0;
    char szFirstIgnored[256] = "";
    // SDL's windows as last armed: the drawing window, the managed one, the
    // full-screen one.
    Window aWatched[WATCHED_WINDOWS] = {0, 0, 0};
    // The connection that listens for their destruction.
    Display* pWatch = nullptr;
    bool bWatchFailed = false;
};
LostWindowState s_lost;

// SDL's windows as the info gives them; zero where it has none.
void currentWindows(const SDL_SysWMinfo& info, Window aWindows[WATCHED_WINDOWS]) {
    aWindows[0] = info.info.x11.window;
    aWindows[1] = info.info.x11.wmwindow;
    aWindows[2] = info.info.x11.fswindow;
}

bool isOneOf(XID nId, const Window aWindows[WATCHED_WINDOWS]) {
    for (int i = 0; i < WATCHED_WINDOWS; ++i)
        if (aWindows[i] && aWindows[i] == nId) return true;
    return false;
}

// Called by Xlib from inside a request: it makes no requests of its own.
// SDL_GetWMInfo only copies what SDL holds.
int onXError(Display* pDisplay, XErrorEvent* pEvent) {
    bool bOnWindow = pEvent->error_code == BadWindow || pEvent->error_code == BadDrawable;
    if (bOnWindow && !s_lost.bLeaving) {
        Window aNow[WATCHED_WINDOWS] = {0, 0, 0};
        SDL_SysWMinfo info;
        if (getX11Info(&info)) currentWindows(info, aNow);
        if (isOneOf(pEvent->resourceid, aNow) || isOneOf(pEvent->resourceid, s_lost.aWatched)) s_lost.bLost = true;
    }
    if (!s_lost.bLeaving && !s_lost.bLost)
        return s_lost.pfnPrevious ? s_lost.pfnPrevious(pDisplay, pEvent) : 0;
    if (s_lost.nIgnored++ == 0) {
        char szText[160] = "";
        XGetErrorText(pDisplay, pEvent->error_code, szText, sizeof(szText));
        std::snprintf(s_lost.szFirstIgnored, sizeof(s_lost.szFirstIgnored), "%s (request %d, resource 0x%lX)", szText,
                      pEvent->request_code, static_cast<unsigned long>(pEvent->resourceid));
    }
    return 0;
}

void closeWatch() {
    if (s_lost.pWatch) XCloseDisplay(s_lost.pWatch);
    s_lost.pWatch = nullptr;
}

// Listens for the destruction of the windows SDL has now. Whatever the
// connection heard before (the windows a mode change replaced) is dropped.
void armWatch(const Window aNow[WATCHED_WINDOWS], Display* pSdlDisplay) {
    for (int i = 0; i < WATCHED_WINDOWS; ++i) s_lost.aWatched[i] = aNow[i];
    if (!s_lost.pWatch && !s_lost.bWatchFailed) {
        s_lost.pWatch = XOpenDisplay(DisplayString(pSdlDisplay));
        s_lost.bWatchFailed = s_lost.pWatch == nullptr;
    }
    if (!s_lost.pWatch) return;
    XSync(s_lost.pWatch, True);
    // A window gone already fails here: the handler marks it lost.
    for (int i = 0; i < WATCHED_WINDOWS; ++i)
        if (aNow[i]) XSelectInput(s_lost.pWatch, aNow[i], StructureNotifyMask);
    XSync(s_lost.pWatch, False);
}

void pollWatch() {
    if (!s_lost.pWatch) return;
    while (XPending(s_lost.pWatch) > 0) {
        XEvent event;
        XNextEvent(s_lost.pWatch, &event);
        if (event.type == DestroyNotify && isOneOf(event.xdestroywindow.window, s_lost.aWatched)) s_lost.bLost = true;
    }
}

} // namespace
#endif

void x11InstallErrorHandler() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (s_lost.bInstalled) return;
    s_lost = LostWindowState();
    s_lost.pfnPrevious = XSetErrorHandler(onXError);
    s_lost.bInstalled = true;
#endif
}

void x11RemoveErrorHandler() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!s_lost.bInstalled) return;
    closeWatch();
    // Another handler put above this one since stays.
    XErrorHandler pfnTop = XSetErrorHandler(s_lost.pfnPrevious);
    if (pfnTop != onXError) XSetErrorHandler(pfnTop);
    s_lost = LostWindowState();
#endif
}

void x11BeginLeaving() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!s_lost.bInstalled) return;
    s_lost.bLeaving = true;
    closeWatch();
#endif
}

void x11ForgetWindows() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!s_lost.bInstalled) return;
    // What the connection would still hear of these windows goes with it.
    closeWatch();
    for (Window& nWindow : s_lost.aWatched) nWindow = 0;
#endif
}

bool x11IsWindowLost() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!s_lost.bInstalled) return false;
    if (s_lost.bLost || s_lost.bLeaving) return s_lost.bLost;
    SDL_SysWMinfo info;
    if (!getX11Info(&info)) return false;
    Window aNow[WATCHED_WINDOWS];
    currentWindows(info, aNow);
    bool bSame = true;
    for (int i = 0; i < WATCHED_WINDOWS; ++i) bSame = bSame && aNow[i] == s_lost.aWatched[i];
    if (!bSame) armWatch(aNow, info.info.x11.display);
    pollWatch();
    return s_lost.bLost;
#else
    return false;
#endif
}

int x11GetIgnoredErrors(std::string* psFirst) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (psFirst) *psFirst = s_lost.szFirstIgnored;
    return s_lost.nIgnored;
#else
    if (psFirst) psFirst->clear();
    return 0;
#endif
}

// --- a connection to the X server cut ---------------------------------------

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

struct LostConnectionState {
    bool bInstalled = false;
    int nExitCode = 1;
    XIOErrorHandler pfnPrevious = nullptr;
};
LostConnectionState s_cut;

// Only what is safe with a dead connection: a line on standard error, then
// the end without the exit handlers, which could reach for the display.
int onLostConnection(Display* pDisplay) {
    if (!s_cut.bInstalled) return s_cut.pfnPrevious ? s_cut.pfnPrevious(pDisplay) : 0;
    const char szLine[] = "The connection to the X server was cut.\n";
    ssize_t nIgnored = write(2, szLine, sizeof(szLine) - 1);
    (void)nIgnored;
    _exit(s_cut.nExitCode);
}

} // namespace
#endif

void x11ExitOnLostConnection(int nExitCode) {
#if defined(SDL_VIDEO_DRIVER_X11)
    s_cut.nExitCode = nExitCode;
    if (s_cut.bInstalled) return;
    s_cut.pfnPrevious = XSetIOErrorHandler(onLostConnection);
    s_cut.bInstalled = true;
#else
    (void)nExitCode;
#endif
}

void x11RemoveLostConnectionExit() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!s_cut.bInstalled) return;
    // Another handler put above this one since stays; it may still pass a
    // cut on to this one, which then hands it to the one it replaced.
    XIOErrorHandler pfnTop = XSetIOErrorHandler(s_cut.pfnPrevious);
    if (pfnTop != onLostConnection) XSetIOErrorHandler(pfnTop);
    s_cut.bInstalled = false;
#endif
}
