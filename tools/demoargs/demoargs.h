// The command line both demo programs share:
//   <tool> [--frames N] [screenshot.bmp]
//   <tool> --help
// Every argument is checked before a window opens, the screenshot's place
// too: a run should not play all its frames only to fail at the end.
#pragma once

struct DemoOptions {
    int nFrames = 60;
    const char* pszScreenshot = nullptr;
    bool bHelp = false;
};

struct DemoArgumentRules {
    const char* pszTool;
    int nMinFrames;
    int nMaxFrames;
};

// False, with what was wrong on stderr, for anything but the forms above.
bool parseDemoArguments(const DemoArgumentRules& rules, int argc, char** argv, DemoOptions& options);

// False, with the reason on stderr, when no screenshot could be saved at the
// path: its folder is missing or not writable, or the path names a folder.
bool checkScreenshotPath(const char* pszTool, const char* pszPath);
