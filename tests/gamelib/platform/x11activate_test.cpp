// Raising another program's window by its class: under Xvfb (see the CMake
// file) an iconified window of that class comes back; without a display
// the call reports false.
#include "platform/x11window.h"

#include <gtest/gtest.h>

#define Font XlibFont
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Font

#include <cstdlib>
#include <string>

namespace {

TEST(X11ActivateTest, FindsAndRaisesTheWindowOfTheClassOnly) {
    if (!std::getenv("TSL_TEST_XVFB")) {
        // Without a server there is nothing to find.
        const char* pszDisplay = std::getenv("DISPLAY");
        if (!pszDisplay || !*pszDisplay) EXPECT_FALSE(x11ActivateWindowOfClass("AnyClass"));
        GTEST_SKIP() << "needs an X server (run through xvfb-run)";
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    ASSERT_TRUE(pDisplay);
    Window nWindow = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 10, 10, 50, 40, 0, 0, 0);
    XClassHint hint;
    std::string sName = "beachbar-test", sClass = "Quillfen::Test";
    hint.res_name = &sName[0];
    hint.res_class = &sClass[0];
    XSetClassHint(pDisplay, nWindow, &hint);
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

} // namespace
