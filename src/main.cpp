// The program's entry: runs the game from the program's own folder, where
// its archives lie.
#include "game/gamemain.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>

namespace {
std::string programFolder() {
    char szPath[PATH_MAX];
    ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (nLength <= 0) return std::string();
    std::string sPath(szPath, static_cast<size_t>(nLength));
    size_t nSlash = sPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : sPath.substr(0, nSlash);
}
} // namespace

int main(int argc, char** argv) {
    std::string sFolder = programFolder();
    if (!sFolder.empty() && chdir(sFolder.c_str()) != 0)
        std::fprintf(stderr, "Cannot change to the program's folder %s\n", sFolder.c_str());
    try {
        return runGame(argc - 1, argv + 1);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
