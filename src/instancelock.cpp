#include "instancelock.h"

#include "names.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const Tsl::String& sName, const Tsl::String& sUserFolder)
    : m_nFile(-1), m_bHeldElsewhere(false) {
    // Never through a link someone put in the lock file's place.
    m_nFile = open(getLockFile(sName, sUserFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_nFile < 0) return;
    if (flock(m_nFile, LOCK_EX | LOCK_NB) == 0) return;
    m_bHeldElsewhere = errno == EWOULDBLOCK;
    close(m_nFile);
    m_nFile = -1;
}

InstanceLock::~InstanceLock() {
    if (m_nFile >= 0) close(m_nFile);
}

Tsl::String InstanceLock::getLockFile(const Tsl::String& sName, const Tsl::String& sUserFolder) {
    const char* pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    Tsl::String sFolder = pszRuntime && *pszRuntime ? Tsl::String(pszRuntime) + "/" : sUserFolder;
    return Tsl::String::format("%s%s-%08X.lock", sFolder.c_str(), Names::PRODUCT_ABBREVIATION,
                               Tsl::hashString(sName.c_str()));
}
