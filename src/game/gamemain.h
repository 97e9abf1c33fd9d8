#pragma once

#include "tsl2/str.h"

#include <functional>

class QarnApp;

// What the entry may be told apart from the command line (tests use it).
struct LaunchOptions {
    // The folder of the settings and the log; empty: the per-user data folder.
    Tsl::String sUserFolder;
    // The folder of the archives; empty: the working folder.
    Tsl::String sContentFolder;
    // Makes the application; null: the game's own on the real platform.
    std::function<QarnApp*()> fnMakeApp;
};

// The window-class name: "Quillfen::" and the product name, or the word
// after "--wndclass" (the program's name is not among the arguments).
Tsl::String getWindowClassName(int nArgc, const char* const* ppszArgs);

// The whole run: one instance per window class (a second one raises the
// first one's window and returns 1), the log and the settings in the user's
// folder, the crash handlers, the application's loop. Content missing or
// damaged ends the run as a failed start (exit code 2, the player told which
// file); any other exception that reaches here is logged, reported and ends
// the run with 1.
int runGame(int nArgc, const char* const* ppszArgs, const LaunchOptions& options = LaunchOptions());
