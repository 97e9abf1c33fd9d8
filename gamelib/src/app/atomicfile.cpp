#include "app/atomicfile.h"

#include "app/gameapp.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const TEMPORARY_SUFFIX = ".tmp";
// A temporary file this old was left by a run that ended mid-save: no save
// takes minutes.
const int STALE_TEMPORARY_SECONDS = 600;
// Links followed from a path at most (the system's own bound).
const int MAX_LINK_HOPS = 40;

// True when a test planted a fault at eStep; nErrno then holds it.
bool faultPlantedAt(AtomicFile::Step eStep, int& nErrno) {
    int nPlanted = AtomicFile::plantedFault ? AtomicFile::plantedFault(eStep) : 0;
    if (nPlanted == 0) return false;
    nErrno = nPlanted;
    return true;
}

bool readAll(int nFd, std::string& sBytes, int& nErrno) {
    for (size_t nDone = 0; nDone < sBytes.size();) {
        ssize_t nRead = read(nFd, &sBytes[nDone], sBytes.size() - nDone);
        if (nRead < 0 && errno == EINTR) continue;
        if (nRead < 0) {
            nErrno = errno;
            return false;
        }
        // Shorter than its size a moment ago: cut by someone meanwhile.
        if (nRead == 0) {
            nErrno = ENODATA;
            return false;
        }
        nDone += size_t(nRead);
    }
    return true;
}

bool writeAll(int nFd, const std::string& sBytes, int& nErrno) {
    if (faultPlantedAt(AtomicFile::WRITE, nErrno)) return false;
    for (size_t nDone = 0; nDone < sBytes.size();) {
        ssize_t nWritten = write(nFd, sBytes.data() + nDone, sBytes.size() - nDone);
        if (nWritten < 0 && errno == EINTR) continue;
        if (nWritten < 0) {
            nErrno = errno;
            return false;
        }
        // A file that takes no byte and names no error has no room left.
        if (nWritten == 0) {
            nErrno = ENOSPC;
            return false;
        }
        nDone += size_t(nWritten);
    }
    return true;
}

// So that a crash right after the rename finds the new bytes, not an empty
// file; a disk that cannot take them fails the replacement.
bool syncAll(int nFd, int& nErrno) {
    if (faultPlantedAt(AtomicFile::SYNC, nErrno)) return false;
    if (fsync(nFd) == 0) return true;
    nErrno = errno;
    return false;
}

// A fresh file at sTemporary, open for writing; -1 with nErrno.
int createTemporary(const Tsl::String& sTemporary, int& nErrno) {
    // The name is this process's own, so whatever stands there is left from
    // an earlier process of the same id; a link there would have the write
    // go through it to another file. A folder is not ours to remove.
    if (unlink(sTemporary.c_str()) != 0 && errno != ENOENT) {
        nErrno = errno;
        return -1;
    }
    int nFd = open(sTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (nFd < 0) nErrno = errno;
    return nFd;
}

bool setMode(int nFd, int nMode, int& nErrno) {
    if (nMode < 0 || fchmod(nFd, mode_t(nMode)) == 0) return true;
    nErrno = errno;
    return false;
}

// Whether the stat call that returned nResult found a regular file: nMode
// takes what it found, nErrno why not (EINVAL: something else stands there).
bool isRegularFile(int nResult, const struct stat& info, mode_t& nMode, int& nErrno) {
    if (nResult != 0) {
        nErrno = errno;
        return false;
    }
    nMode = info.st_mode;
    if (S_ISREG(info.st_mode)) return true;
    nErrno = EINVAL;
    return false;
}

// The bytes of the file open at nFd, which must still be a regular file;
// past nMax bytes only the first nMax.
bool readOpenFile(int nFd, int64_t nMax, std::string& sBytes, mode_t& nMode, int& nErrno) {
    struct stat info;
    if (!isRegularFile(fstat(nFd, &info), info, nMode, nErrno)) return false;
    // A file that grows meanwhile is read no further than its size now: a
    // writer replaces the file whole, it never appends.
    sBytes.assign(size_t(std::min<int64_t>(info.st_size, nMax)), '\0');
    if (!readAll(nFd, sBytes, nErrno)) return false;
    if (info.st_size <= nMax) return true;
    nErrno = EFBIG;
    return false;
}

// Whether sEntry is "<sPrefix>[<...>.]<digits>.tmp": the temporary file of
// the settings file or of a copy beside it (the kept one, a damaged one).
bool isTemporaryName(const std::string& sEntry, const std::string& sPrefix) {
    size_t nSuffix = std::strlen(TEMPORARY_SUFFIX);
    if (sEntry.size() <= sPrefix.size() + nSuffix || sEntry.compare(0, sPrefix.size(), sPrefix) != 0 ||
        sEntry.compare(sEntry.size() - nSuffix, nSuffix, TEMPORARY_SUFFIX) != 0)
        return false;
    size_t nDigits = sEntry.size() - nSuffix;
    size_t nFirst = nDigits;
    while (nFirst > 0 && sEntry[nFirst - 1] >= '0' && sEntry[nFirst - 1] <= '9') --nFirst;
    return nFirst < nDigits && nFirst >= sPrefix.size() && sEntry[nFirst - 1] == '.';
}

} // namespace

Tsl::String AtomicFile::followLinks(const Tsl::String& sPath) {
    Tsl::String sAt = sPath;
    for (int nHop = 0; nHop < MAX_LINK_HOPS; ++nHop) {
        struct stat info;
        if (lstat(sAt.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return sAt;
        std::vector<char> aTarget(size_t(info.st_size > 0 ? info.st_size : 0) + 4096);
        ssize_t nLength = readlink(sAt.c_str(), aTarget.data(), aTarget.size());
        if (nLength <= 0 || size_t(nLength) >= aTarget.size()) return sPath;
        Tsl::String sTarget(aTarget.data(), int(nLength));
        sAt = sTarget[0] == '/' ? sTarget : folderOf(sAt) + sTarget;
    }
    return sPath;
}

Tsl::String AtomicFile::getTemporaryFile(const Tsl::String& sPath) {
    return sPath + Tsl::String::format(".%ld%s", long(getpid()), TEMPORARY_SUFFIX);
}

void AtomicFile::splitPath(const Tsl::String& sPath, Tsl::String& sFolder, Tsl::String& sName) {
    const char* pszSlash = std::strrchr(sPath.c_str(), '/');
    if (!pszSlash) {
        sFolder = "./";
        sName = sPath;
        return;
    }
    int nLength = static_cast<int>(pszSlash - sPath.c_str()) + 1;
    sFolder = sPath.left(nLength);
    sName = sPath.substringFrom(nLength);
}

Tsl::String AtomicFile::folderOf(const Tsl::String& sPath) {
    Tsl::String sFolder, sName;
    splitPath(sPath, sFolder, sName);
    return sFolder;
}

bool AtomicFile::readBytes(const Tsl::String& sPath, int64_t nMax, std::string& sBytes, mode_t& nMode,
                           int& nErrno) {
    // What stands there is looked at before it is opened: opening a device
    // may do something, and a FIFO would wait for a writer.
    Tsl::String sTarget = followLinks(sPath);
    struct stat info;
    if (!isRegularFile(lstat(sTarget.c_str(), &info), info, nMode, nErrno)) return false;
    // Without following a link again or waiting: something else may have
    // taken the name since.
    int nFd = open(sTarget.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (nFd < 0) {
        nErrno = errno;
        return false;
    }
    bool bOk = readOpenFile(nFd, nMax, sBytes, nMode, nErrno);
    close(nFd);
    return bOk;
}

bool AtomicFile::replace(const Tsl::String& sPath, const std::string& sBytes, int nMode, int& nErrno) {
    Tsl::String sTemporary = getTemporaryFile(sPath);
    int nFd = createTemporary(sTemporary, nErrno);
    if (nFd < 0) return false;
    bool bOk = setMode(nFd, nMode, nErrno) && writeAll(nFd, sBytes, nErrno) && syncAll(nFd, nErrno);
    if (close(nFd) != 0 && bOk) {
        nErrno = errno;
        bOk = false;
    }
    if (bOk && std::rename(sTemporary.c_str(), sPath.c_str()) != 0) {
        nErrno = errno;
        bOk = false;
    }
    if (!bOk) {
        unlink(sTemporary.c_str());
        return false;
    }
    return syncFolder(sPath, nErrno);
}

bool AtomicFile::syncFolder(const Tsl::String& sPath, int& nErrno) {
    if (faultPlantedAt(SYNC_FOLDER, nErrno)) return false;
    int nFd = open(folderOf(sPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd < 0) {
        if (errno == EACCES || errno == EPERM) return true;
        nErrno = errno;
        return false;
    }
    bool bOk = fsync(nFd) == 0 || errno == EINVAL || errno == EOPNOTSUPP;
    if (!bOk) nErrno = errno;
    close(nFd);
    return bOk;
}

void AtomicFile::removeStaleTemporaries(const Tsl::String& sFile) {
    Tsl::String sFolder, sName;
    splitPath(sFile, sFolder, sName);
    DIR* pDir = opendir(sFolder.c_str());
    if (!pDir) return;
    time_t nNow = std::time(nullptr);
    std::string sPrefix = std::string(sName.c_str()) + ".";
    while (struct dirent* pEntry = readdir(pDir)) {
        if (!isTemporaryName(pEntry->d_name, sPrefix)) continue;
        Tsl::String sPath = sFolder + pEntry->d_name;
        struct stat info;
        if (lstat(sPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            nNow - info.st_mtime > STALE_TEMPORARY_SECONDS && unlink(sPath.c_str()) == 0)
            GameApp::log("G: Removed %s, left by a save that never ended\n", sPath.c_str());
    }
    closedir(pDir);
}
