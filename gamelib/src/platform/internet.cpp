#include "platform/internet.h"

#include "tsl2/error.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the opener as a grandchild: the child in between ends at once and
// is reaped here, so the opener belongs to the system's reaper and never
// lingers as our zombie. No thread of our own (whose creation could throw)
// and no signal handling is needed.
void startDetached(char* const* apArgs) {
    pid_t nChild = fork();
    if (nChild < 0) return;
    if (nChild == 0) {
        // Only fork, exec and _exit from here on: the parent may have other
        // threads, whose locks the copy would find held.
        pid_t nOpener = fork();
        if (nOpener == 0) {
            execvp(apArgs[0], apArgs);
            _exit(127);
        }
        _exit(nOpener < 0 ? 1 : 0);
    }
    int nStatus = 0;
    while (waitpid(nChild, &nStatus, 0) < 0 && errno == EINTR) {
    }
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
    // The URL is one argument vector entry: no shell ever sees it.
    startDetached(apArgs);
}
