#include "platform/internet.h"

#include "tsl2/error.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// Reaps the opener when it ends so it never lingers as a zombie.
void reapLater(pid_t nPid) {
    std::thread([nPid]() {
        int nStatus = 0;
        while (waitpid(nPid, &nStatus, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

Tsl::String addURLParamSeparator(const char* pszURL) {
    Tsl::String sURL(pszURL);
    sURL += sURL.find('?') >= 0 ? "&" : "?";
    return sURL;
}

void launchURL(const char* pszURL) {
    TSL_TRACE();
    // Empty text or one that the opener would take for an option of its own
    // is not a URL.
    if (!pszURL || !*pszURL || pszURL[0] == '-') return;
    Tsl::String sURL(pszURL);
    char szOpener[] = "xdg-open";
    char* apArgs[] = {szOpener, const_cast<char*>(sURL.c_str()), nullptr};
    pid_t nPid = 0;
    // The URL is one argument vector entry: no shell ever sees it.
    if (posix_spawnp(&nPid, szOpener, nullptr, nullptr, apArgs, environ) == 0) reapLater(nPid);
}
