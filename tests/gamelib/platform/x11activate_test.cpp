// Raising another program's window by its class: under Xvfb (see the CMake
// file) an iconified window of that class comes back; without a display
// the call reports false.
#include "sdl_fixtures.h"

#include "platform/x11window.h"

#include <gtest/gtest.h>

#define Font XlibFont
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Font

#include <cstdlib>
#include <string>

namespace {

const char* const XVFB_TEST = "x11_activate_xvfb";

Window makeClassWindow(Display* pDisplay, const char* pszClass) {
    Window nWindow = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 10, 10, 50, 40, 0, 0, 0);
    XClassHint hint;
    std::string sName = "beachbar-test", sClass = pszClass;
    hint.res_name = &sName[0];
    hint.res_class = &sClass[0];
    XSetClassHint(pDisplay, nWindow, &hint);
    return nWindow;
}

TEST(X11ActivateTest, FindsAndRaisesTheWindowOfTheClassOnly) {
    if (!hasTestXServer()) {
        // Without a server there is nothing to find.
        const char* pszDisplay = std::getenv("DISPLAY");
        if (!pszDisplay || !*pszDisplay) {
            EXPECT_FALSE(x11ActivateWindowOfClass("AnyClass"));
        }
        GTEST_SKIP() << needsXServer(XVFB_TEST);
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    ASSERT_TRUE(pDisplay);
    Window nWindow = makeClassWindow(pDisplay, "Quillfen::Test");
    XSync(pDisplay, False);
    XWindowAttributes attrs;
    XGetWindowAttributes(pDisplay, nWindow, &attrs);
    EXPECT_EQ(IsUnmapped, attrs.map_state);

    EXPECT_FALSE(x11ActivateWindowOfClass("Quillfen::Other"));
    EXPECT_FALSE(x11ActivateWindowOfClass(""));
    EXPECT_TRUE(x11ActivateWindowOfClass("Quillfen::Test"));
    XSync(pDisplay, False);
    XGetWindowAttributes(pDisplay, nWindow, &attrs);
    EXPECT_EQ(IsViewable, attrs.map_state);
    XDestroyWindow(pDisplay, nWindow);
    XCloseDisplay(pDisplay);
}

// Full screen, the game draws in an unmanaged window of its own above the
// window of its class: the raise must not bury the picture under that one.
TEST(X11ActivateTest, AFullScreenWindowOfTheSameProgramStaysOnTop) {
    if (!hasTestXServer()) GTEST_SKIP() << needsXServer(XVFB_TEST);
    Display* pDisplay = XOpenDisplay(nullptr);
    ASSERT_TRUE(pDisplay);
    Window nWindow = makeClassWindow(pDisplay, "Quillfen::FullTest");
    XMapWindow(pDisplay, nWindow);
    XSetWindowAttributes attrs;
    attrs.override_redirect = True;
    Window nFull = XCreateWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 80, 60, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect, &attrs);
    XMapRaised(pDisplay, nFull);
    XSync(pDisplay, False);

    EXPECT_TRUE(x11ActivateWindowOfClass("Quillfen::FullTest"));
    XSync(pDisplay, False);
    Window nRoot = 0, nUp = 0, *pChildren = nullptr;
    unsigned int nCount = 0;
    ASSERT_TRUE(XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &nRoot, &nUp, &pChildren, &nCount));
    ASSERT_GT(nCount, 0u);
    EXPECT_EQ(nFull, pChildren[nCount - 1]);  // the top of the stack
    XFree(pChildren);
    XDestroyWindow(pDisplay, nFull);
    XDestroyWindow(pDisplay, nWindow);
    XCloseDisplay(pDisplay);
}

} // namespace
