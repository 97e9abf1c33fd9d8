#include "tsl2/file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Tsl {

File::File(const String& sPath, int nMode, bool bCreate)
    : m_sPath(sPath), m_nMode(nMode), m_pFile(nullptr), m_nLastOp(0) {
    TSL_TRACE();
    traceSetNote(sPath.c_str());
    const char* pszMode = nullptr;
    switch (nMode) {
    case eRead: pszMode = "rb"; break;
    case eWrite: pszMode = "wb"; break;
    case eReadWrite: pszMode = "r+b"; break;
    default: TSL_THROW(BadParmException, "File '%s' : bad open mode %d", sPath.c_str(), nMode);
    }
    if (sPath.isEmpty()) TSL_THROW(FileAccessException, "Can't open file '' (mode %d) : empty path", nMode);
    m_pFile = std::fopen(sPath.c_str(), pszMode);
    if (!m_pFile && nMode == eReadWrite && bCreate) m_pFile = std::fopen(sPath.c_str(), "w+b");
    if (!m_pFile)
        TSL_THROW(FileAccessException, "Can't open file '%s' (mode %d) : %s", sPath.c_str(), nMode,
                  std::strerror(errno));
    // A directory opens for reading on Linux but every read then fails.
    struct stat info;
    if (fstat(fileno(m_pFile), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
        TSL_THROW(FileAccessException, "Can't open file '%s' : it is a directory", sPath.c_str());
    }
}

File::File(const String& sPath, std::FILE* pFile) : m_sPath(sPath), m_nMode(eRead), m_pFile(pFile), m_nLastOp(0) {}

File* File::openRegular(const String& sPath) {
    TSL_TRACE();
    if (sPath.isEmpty()) TSL_THROW(FileAccessException, "Can't open file '' (mode %d) : empty path", int(eRead));
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int nFd = ::open(sPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
        TSL_THROW(FileAccessException, "Can't open file '%s' (mode %d) : %s", sPath.c_str(), int(eRead),
                  std::strerror(errno));
    struct stat info;
    if (fstat(nFd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(nFd);
        TSL_THROW(FileAccessException, "Can't open file '%s' : it is not a regular file", sPath.c_str());
    }
    // O_NONBLOCK means nothing to a regular file's reads, so it may stay.
    std::FILE* pFile = fdopen(nFd, "rb");
    if (!pFile) {
        int nError = errno;
        ::close(nFd);
        TSL_THROW(FileAccessException, "Can't open file '%s' (mode %d) : %s", sPath.c_str(), int(eRead),
                  std::strerror(nError));
    }
    return new File(sPath, pFile);
}

File::~File() {
    try {
        close();
    } catch (const Exception&) {
    }
}

bool File::exists(const char* pszPath) {
    if (!pszPath || !*pszPath) return false;
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int nFd = ::open(pszPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0) return false;
    struct stat info;
    bool bRegular = fstat(nFd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(nFd);
    return bRegular;
}

void File::close() {
    if (!m_pFile) return;
    std::FILE* pFile = m_pFile;
    m_pFile = nullptr;
    bool bFailed = std::ferror(pFile) != 0;
    if (std::fclose(pFile) != 0) bFailed = true;
    if (bFailed) TSL_THROW(FileAccessException, "Can't write file '%s' : %s", m_sPath.c_str(), std::strerror(errno));
}

void File::switchDirection(bool bWriting) {
    int nOp = bWriting ? 2 : 1;
    if (m_nLastOp != 0 && m_nLastOp != nOp) std::fseek(m_pFile, 0, SEEK_CUR);
    m_nLastOp = nOp;
}

int File::read(void* pBuffer, int nSize) {
    if (!m_pFile || !canRead() || nSize <= 0) return 0;
    switchDirection(false);
    return static_cast<int>(std::fread(pBuffer, 1, static_cast<size_t>(nSize), m_pFile));
}

int File::write(const void* pData, int nSize) {
    if (!m_pFile || !canWrite() || nSize <= 0) return 0;
    switchDirection(true);
    return static_cast<int>(std::fwrite(pData, 1, static_cast<size_t>(nSize), m_pFile));
}

int64_t File::tell() const { return m_pFile ? static_cast<int64_t>(ftello(m_pFile)) : -1; }

bool File::seek(int64_t nOffset, SeekOrigin eOrigin) {
    if (!m_pFile) return false;
    int nWhence = eOrigin == eSeekSet ? SEEK_SET : eOrigin == eSeekCur ? SEEK_CUR : SEEK_END;
    m_nLastOp = 0;
    return fseeko(m_pFile, static_cast<off_t>(nOffset), nWhence) == 0;
}

int64_t File::getSize() const {
    if (!m_pFile) return -1;
    // Buffered writes are not on disk yet, so fstat would miss them.
    if (m_nLastOp == 2) std::fflush(m_pFile);
    struct stat info;
    if (fstat(fileno(m_pFile), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

void File::flush() {
    if (m_pFile && std::fflush(m_pFile) != 0)
        TSL_THROW(FileAccessException, "Can't write file '%s' : %s", m_sPath.c_str(), std::strerror(errno));
}

} // namespace Tsl
