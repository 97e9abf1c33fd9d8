// The few window-system queries SDL 1.2 does not offer: where the window is,
// how large the screen is, and moving the window. Kept apart so the X11
// headers and their macros stay out of the rest of the library.
#pragma once

// Each returns false when the window system cannot answer (no X11 window,
// the dummy video driver, video not started).
bool x11GetWindowRect(int* pX, int* pY, int* pWidth, int* pHeight);
bool x11GetScreenSize(int* pWidth, int* pHeight);
bool x11MoveWindow(int nX, int nY);
// Makes the game window a child of another window at its (0, 0), keeping its
// size, and gives it the focus.
bool x11MakeChildOf(unsigned long nParent);
// Finds a top-level window of another program whose class hint names the
// class (SDL takes it from SDL_VIDEO_X11_WMCLASS), restores it when it is
// iconified, asks the window manager to raise and activate it and gives it
// the focus. Opens its own display
// connection, so it works before (and without) SDL's video; false when no
// such window exists or there is no X display.
bool x11ActivateWindowOfClass(const char* pszClass);
