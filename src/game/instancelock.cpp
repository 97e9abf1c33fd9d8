#include "game/instancelock.h"

#include "base/names.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A holder that leaves removes the file; one that came between our opening
// and our locking it leaves us a file nobody else can find, so we try again.
const int LOCK_ATTEMPTS = 8;

bool isStillAt(int nFile, const Tsl::String& sPath) {
    struct stat opened, named;
    return fstat(nFile, &opened) == 0 && lstat(sPath.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}
} // namespace

InstanceLock::InstanceLock(const Tsl::String& sName, const Tsl::String& sUserFolder)
    : m_nFile(-1), m_bHeldElsewhere(false), m_sPath(getLockFile(sName, sUserFolder)) {
    for (int nAttempt = 0; nAttempt < LOCK_ATTEMPTS; ++nAttempt) {
        // Never through a link someone put in the lock file's place.
        int nFile = open(m_sPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (nFile < 0) return;
        if (flock(nFile, LOCK_EX | LOCK_NB) != 0) {
            m_bHeldElsewhere = errno == EWOULDBLOCK;
            close(nFile);
            return;
        }
        if (isStillAt(nFile, m_sPath)) {
            m_nFile = nFile;
            return;
        }
        close(nFile);
    }
}

InstanceLock::~InstanceLock() {
    if (m_nFile < 0) return;
    // Removed while still locked, so no other start can take the old file.
    unlink(m_sPath.c_str());
    close(m_nFile);
}

Tsl::String InstanceLock::getLockFile(const Tsl::String& sName, const Tsl::String& sUserFolder) {
    const char* pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    Tsl::String sFolder = pszRuntime && *pszRuntime ? Tsl::String(pszRuntime) + "/" : sUserFolder;
    return Tsl::String::format("%s%s-%08X.lock", sFolder.c_str(), Names::PRODUCT_ABBREVIATION,
                               Tsl::hashString(sName.c_str()));
}
