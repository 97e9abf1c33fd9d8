#include "demoargs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool endsWithBmp(const char* pszPath) {
    size_t nLength = std::strlen(pszPath);
    return nLength > 4 && strcasecmp(pszPath + nLength - 4, ".bmp") == 0;
}

bool parseFrames(const DemoArgumentRules& rules, const char* pszCount, int& nFrames) {
    char* pszEnd = nullptr;
    errno = 0;
    long n = std::strtol(pszCount, &pszEnd, 10);
    if (!*pszCount || *pszEnd || errno != 0 || n < rules.nMinFrames || n > rules.nMaxFrames) {
        std::fprintf(stderr, "%s: --frames needs a whole number from %d to %d, got '%s'\n", rules.pszTool,
                     rules.nMinFrames, rules.nMaxFrames, pszCount);
        return false;
    }
    nFrames = static_cast<int>(n);
    return true;
}

std::string folderOf(const char* pszPath) {
    const char* pszSlash = std::strrchr(pszPath, '/');
    if (!pszSlash) return ".";
    if (pszSlash == pszPath) return "/";
    return std::string(pszPath, pszSlash);
}

} // namespace

bool parseDemoArguments(const DemoArgumentRules& rules, int argc, char** argv, DemoOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const char* pszArgument = argv[i];
        if (std::strcmp(pszArgument, "--help") == 0 || std::strcmp(pszArgument, "-h") == 0) {
            options.bHelp = true;
        } else if (std::strcmp(pszArgument, "--frames") == 0) {
            if (!parseFrames(rules, i + 1 < argc ? argv[++i] : "", options.nFrames)) return false;
        } else if (pszArgument[0] == '-') {
            std::fprintf(stderr, "%s: unknown option '%s'\n", rules.pszTool, pszArgument);
            return false;
        } else if (options.pszScreenshot) {
            std::fprintf(stderr, "%s: one screenshot path only, got '%s' and '%s'\n", rules.pszTool,
                         options.pszScreenshot, pszArgument);
            return false;
        } else if (!endsWithBmp(pszArgument)) {
            std::fprintf(stderr, "%s: screenshots are saved as BMP pictures: name '%s' *.bmp\n", rules.pszTool,
                         pszArgument);
            return false;
        } else {
            options.pszScreenshot = pszArgument;
        }
    }
    return true;
}

bool checkScreenshotPath(const char* pszTool, const char* pszPath) {
    std::string sFolder = folderOf(pszPath);
    struct stat info;
    const char* pszProblem = nullptr;
    if (stat(sFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        pszProblem = "its folder does not exist";
    else if (access(sFolder.c_str(), W_OK | X_OK) != 0)
        pszProblem = "its folder is not writable";
    else if (stat(pszPath, &info) == 0 && S_ISDIR(info.st_mode))
        pszProblem = "it is a folder";
    else if (stat(pszPath, &info) == 0 && access(pszPath, W_OK) != 0)
        pszProblem = "the file there is read-only";
    if (!pszProblem) return true;
    std::fprintf(stderr, "%s: can't save the screenshot as '%s': %s\n", pszTool, pszPath, pszProblem);
    return false;
}
