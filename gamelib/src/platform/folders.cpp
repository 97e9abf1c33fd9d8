#include "platform/folders.h"

#include "tsl2/error.h"
#include "tsl2/list.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

Tsl::String withSeparator(const Tsl::String& sFolder) {
    if (sFolder.isEmpty() || sFolder[-1] == '/') return sFolder;
    return sFolder + "/";
}

Tsl::String getEnv(const char* pszName) {
    const char* pszValue = getenv(pszName);
    return Tsl::String(pszValue ? pszValue : "");
}

// Creates every missing folder along the path (mkdir -p).
void createFolders(const Tsl::String& sPath) {
    for (int i = 1; i <= sPath.getLength(); ++i) {
        if (i == sPath.getLength() || sPath[i] == '/') {
            Tsl::String sPart = sPath.left(i);
            mkdir(sPart.c_str(), 0700);
        }
    }
}

Tsl::String getDataHome() {
    // Relative values are to be ignored, as if unset.
    Tsl::String sHome = getEnv("XDG_DATA_HOME");
    if (!sHome.isEmpty() && sHome[0] == '/') return withSeparator(sHome);
    Tsl::String sUserHome = getEnv("HOME");
    if (sUserHome.isEmpty()) return Tsl::String();
    return withSeparator(sUserHome) + ".local/share/";
}

} // namespace

bool isFolderWritable(const char* pszFolder) {
    TSL_TRACE();
    if (!pszFolder || !*pszFolder) return false;
    // mkstemp picks a fresh name and creates it exclusively in one step, so
    // no existing file is ever opened or removed.
    Tsl::String sTemplate = withSeparator(pszFolder) + "wtestXXXXXX";
    std::vector<char> aName(sTemplate.c_str(), sTemplate.c_str() + sTemplate.getLength() + 1);
    int nFd = mkstemp(aName.data());
    if (nFd < 0) return false;
    close(nFd);
    unlink(aName.data());
    return true;
}

Tsl::String getUserDataFolder(const char* pszSubPath) {
    TSL_TRACE();
    Tsl::String sFolder = getDataHome();
    if (!sFolder.isEmpty()) createFolders(sFolder);
    if (!sFolder.isEmpty() && isFolderWritable(sFolder)) {
        if (!pszSubPath) return sFolder;
        Tsl::List<Tsl::String> lParts = Tsl::String(pszSubPath).split("\\/");
        bool bWritable = true;
        for (const Tsl::String& sPart : lParts) {
            // "." and ".." would climb out of (or stay in) the data folder.
            if (sPart == "." || sPart == "..") continue;
            sFolder += sPart;
            mkdir(sFolder.c_str(), 0700);
            sFolder += "/";
            bWritable = isFolderWritable(sFolder);
            if (!bWritable) break;
        }
        if (bWritable) return sFolder;
    }
    // The fallback is the home folder itself, without the sub-path.
    Tsl::String sHome = withSeparator(getEnv("HOME"));
    if (!sHome.isEmpty() && isFolderWritable(sHome)) return sHome;
    return Tsl::String();
}

Tsl::String getUserName() {
    TSL_TRACE();
    long nSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> aBuffer(nSize > 0 ? static_cast<size_t>(nSize) : 16384);
    struct passwd entry;
    struct passwd* pResult = nullptr;
    if (getpwuid_r(geteuid(), &entry, aBuffer.data(), aBuffer.size(), &pResult) == 0 && pResult &&
        pResult->pw_name)
        return Tsl::String(pResult->pw_name);
    return getEnv("USER");
}

Tsl::String getCurrentFolder() {
    TSL_TRACE();
    // Grow the buffer until the path fits: no fixed limit.
    std::vector<char> aBuffer(256);
    while (!getcwd(aBuffer.data(), aBuffer.size())) {
        if (errno != ERANGE) return Tsl::String();
        aBuffer.resize(aBuffer.size() * 2);
    }
    return withSeparator(aBuffer.data());
}

Tsl::String getFullPath(const char* pszPath) {
    TSL_TRACE();
    if (!pszPath || !*pszPath) return Tsl::String();
    char* pszReal = realpath(pszPath, nullptr);
    if (pszReal) {
        Tsl::String sResult(pszReal);
        free(pszReal);
        return sResult;
    }
    // A path that does not exist yet: made absolute and tidied by its text.
    Tsl::String sPath(pszPath);
    if (sPath[0] != '/') {
        Tsl::String sCurrent = getCurrentFolder();
        if (sCurrent.isEmpty()) return Tsl::String();
        sPath = sCurrent + sPath;
    }
    Tsl::List<Tsl::String> lParts = sPath.split("/");
    Tsl::List<Tsl::String> lKept;
    for (const Tsl::String& sPart : lParts) {
        if (sPart == ".") continue;
        if (sPart == "..") {
            if (!lKept.isEmpty()) lKept.removeAt(lKept.getCount() - 1);
            continue;
        }
        lKept.append(sPart);
    }
    Tsl::String sResult = "/" + lKept.join("/");
    if (sPath[-1] == '/' && sResult != "/") sResult += "/";
    return sResult;
}
