#include "platform/folders.h"

#include "tsl2/error.h"
#include "tsl2/list.h"

#include <cerrno>
#include <climits>
#include <cstring>
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

// Creates every missing folder along the path (mkdir -p); the first error
// other than an existing folder, 0 when none.
int createFolders(const Tsl::String& sPath) {
    int nError = 0;
    for (int i = 1; i <= sPath.getLength(); ++i) {
        if (i == sPath.getLength() || sPath[i] == '/') {
            Tsl::String sPart = sPath.left(i);
            if (mkdir(sPart.c_str(), 0700) != 0 && errno != EEXIST && nError == 0) nError = errno;
        }
    }
    return nError;
}

// 0 when the path is a folder whose entries can be read, else why not.
int folderError(const Tsl::String& sPath) {
    struct stat info;
    if (stat(sPath.c_str(), &info) != 0) return errno;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
    return access(sPath.c_str(), R_OK | X_OK) == 0 ? 0 : errno;
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

UserFolder findUserDataFolder(const char* pszSubPath) {
    TSL_TRACE();
    UserFolder folder;
    Tsl::String sFolder = getDataHome();
    int nError = 0;
    if (sFolder.isEmpty()) {
        folder.sProblem = "There is no per-user data folder ($XDG_DATA_HOME and $HOME are not set)";
    } else {
        nError = createFolders(sFolder);
        Tsl::List<Tsl::String> lParts = Tsl::String(pszSubPath ? pszSubPath : "").split("\\/");
        for (const Tsl::String& sPart : lParts) {
            // "." and ".." would climb out of (or stay in) the data folder.
            if (sPart == "." || sPart == "..") continue;
            sFolder += sPart;
            if (mkdir(sFolder.c_str(), 0700) != 0 && errno != EEXIST && nError == 0) nError = errno;
            sFolder += "/";
        }
        int nUnusable = folderError(sFolder);
        if (nUnusable == 0) {
            folder.sPath = sFolder;
            folder.bWritable = isFolderWritable(sFolder);
            if (!folder.bWritable)
                folder.sProblem = Tsl::String::format(
                    "The folder %s is read-only: what it holds is read, but nothing can be saved there", sFolder.c_str());
            return folder;
        }
        if (nError == 0) nError = nUnusable;
        folder.sProblem = Tsl::String::format("The folder %s cannot be made or read (%s)", sFolder.c_str(),
                                              std::strerror(nError));
    }
    // The fallback is the home folder itself, without the sub-path.
    Tsl::String sHome = withSeparator(getEnv("HOME"));
    if (!sHome.isEmpty() && isFolderWritable(sHome)) {
        folder.sPath = sHome;
        folder.bWritable = true;
        folder.sProblem += Tsl::String::format(": %s is used instead", sHome.c_str());
    } else {
        folder.sProblem += ", and there is no writable home folder either: nothing can be saved";
    }
    return folder;
}

Tsl::String getUserDataFolder(const char* pszSubPath) { return findUserDataFolder(pszSubPath).sPath; }

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
