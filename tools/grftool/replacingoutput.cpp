#include "replacingoutput.h"

#include "paths.h"

#include "tsl2/error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

ReplacingOutput::ReplacingOutput(const std::string& sTarget)
    : m_sTarget(sTarget), m_sFinalPath(sTarget), m_bTemporary(true) {
    TSL_TRACE();
    if (sTarget.empty()) TSL_THROW(FileAccessException, "Can't write file '' : empty path");
    struct stat info;
    mode_t nMode = 0666;
    if (stat(sTarget.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            TSL_THROW(FileAccessException, "Can't write file '%s' : it is a folder", sTarget.c_str());
        if (!S_ISREG(info.st_mode)) {
            // A device or a pipe can't be renamed over; it takes the bytes directly.
            m_bTemporary = false;
            m_sWritePath = sTarget;
            return;
        }
        // Renaming over a file we may not write would replace it all the same.
        if (access(sTarget.c_str(), W_OK) != 0)
            TSL_THROW(FileAccessException, "Can't write file '%s' : %s", sTarget.c_str(), std::strerror(errno));
        // Through a link, the file it points to is replaced, not the link.
        std::string sReal = realPathOf(sTarget);
        if (!sReal.empty()) m_sFinalPath = sReal;
        nMode = info.st_mode & 07777;
    } else {
        mode_t nMask = umask(0);
        umask(nMask);
        nMode = 0666 & ~nMask;
    }
    std::string sPattern = folderOf(m_sFinalPath) + "/." + baseNameOf(m_sFinalPath) + ".XXXXXX";
    std::vector<char> aPath(sPattern.begin(), sPattern.end());
    aPath.push_back('\0');
    int nFd = mkstemp(aPath.data());
    if (nFd < 0)
        TSL_THROW(FileAccessException, "Can't write file '%s' : no temporary file in '%s' : %s", sTarget.c_str(),
                  folderOf(m_sFinalPath).c_str(), std::strerror(errno));
    m_sWritePath = aPath.data();
    fchmod(nFd, nMode);
    close(nFd);
}

ReplacingOutput::~ReplacingOutput() {
    if (m_bTemporary && !m_sWritePath.empty()) unlink(m_sWritePath.c_str());
}

void ReplacingOutput::commit() {
    TSL_TRACE();
    if (!m_bTemporary) return;
    if (std::rename(m_sWritePath.c_str(), m_sFinalPath.c_str()) != 0)
        TSL_THROW(FileAccessException, "Can't write file '%s' : %s", m_sTarget.c_str(), std::strerror(errno));
    m_sWritePath.clear();
}
