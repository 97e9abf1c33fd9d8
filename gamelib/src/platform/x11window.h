// The few window-system queries SDL 1.2 does not offer: where the window is,
// how large the screen is, moving the window, and noticing that it was
// destroyed. Kept apart so the X11 headers and their macros stay out of the
// rest of the library.
#pragma once

#include <string>

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

// --- a window destroyed from outside ---------------------------------------
// Someone else may destroy the game's window ("xdotool windowclose"). SDL 1.2 does not notice: it goes on drawing into
// what is left, without keyboard input, and its first request on a window
// that is gone ends the program through Xlib's default error handler (exit 1,
// the log unfinished).
//
// The error handler is installed before SDL's video starts and removed after
// it ended (SDL's own handler passes errors on to it, and SDL puts it back when
// its video quits). A failed request on one of SDL's windows marks the window
// lost instead of ending the program; once the window is lost or leaving has
// begun, every error is ignored and counted. Any other error goes on to the
// handler it replaced, as before.
void x11InstallErrorHandler();
void x11RemoveErrorHandler();
// From here on X errors are ignored and the windows are no longer watched.
void x11BeginLeaving();
// SDL's video is about to stop (every change of mode restarts it): its
// windows go by its own hand, and their successors, which may carry the same
// ids, are watched afresh once they exist.
void x11ForgetWindows();
// True once one of SDL's current windows was destroyed or a request on one
// failed. Listens for the windows' destruction on a connection of its own,
// following SDL's windows when a video mode change replaces them. False
// without an X11 window or before the handler is installed.
bool x11IsWindowLost();
// How many errors were ignored since the handler was installed (none once
// it is removed), and the first of them in words.
int x11GetIgnoredErrors(std::string* psFirst);

// --- a connection to the X server cut ---------------------------------------
// Xlib ends the program with exit code 1 when the connection to the X server
// is cut, and its handler must not return. While a window of its own waits
// for the player after a start that failed, the run should still end with
// that start's exit code: between these two calls a cut connection ends the
// program at once with the code given (nothing else is left to do without a
// display). Installed before SDL's video starts, as SDL passes the cut on to
// the handler it found.
void x11ExitOnLostConnection(int nExitCode);
void x11RemoveLostConnectionExit();
