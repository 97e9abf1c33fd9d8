#include "instancelock.h"

#include "names.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const Tsl::String& sName) : m_nFile(-1), m_bHeldElsewhere(false) {
    // Not through a link: in a shared temporary folder another user may have
    // put one in the lock file's place.
    m_nFile = open(getLockFile(sName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_nFile < 0) return;
    if (flock(m_nFile, LOCK_EX | LOCK_NB) == 0) return;
    m_bHeldElsewhere = errno == EWOULDBLOCK;
    close(m_nFile);
    m_nFile = -1;
}

InstanceLock::~InstanceLock() {
    if (m_nFile >= 0) close(m_nFile);
}

Tsl::String InstanceLock::getLockFile(const Tsl::String& sName) {
    const char* pszFolder = std::getenv("XDG_RUNTIME_DIR");
    if (!pszFolder || !*pszFolder) pszFolder = std::getenv("TMPDIR");
    if (!pszFolder || !*pszFolder) pszFolder = "/tmp";
    return Tsl::String::format("%s/%s-%08X.lock", pszFolder, Names::PRODUCT_ABBREVIATION,
                               Tsl::hashString(sName.c_str()));
}
