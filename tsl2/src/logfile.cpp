#include "tsl2/logfile.h"

#include <cstdio>
#include <sys/stat.h>

namespace Tsl {

LogFile::LogFile(const String& sPath) : m_sPath(sPath) {}

LogFile::~LogFile() {}

int LogFile::write(const void* pData, int nSize) {
    if (nSize <= 0) return 0;
    std::FILE* pFile = std::fopen(m_sPath.c_str(), "ab");
    if (!pFile) return 0;
    size_t nWritten = std::fwrite(pData, 1, static_cast<size_t>(nSize), pFile);
    if (std::fclose(pFile) != 0) return 0;
    return static_cast<int>(nWritten);
}

int64_t LogFile::getSize() const {
    struct stat info;
    if (stat(m_sPath.c_str(), &info) != 0) return 0;
    return static_cast<int64_t>(info.st_size);
}

} // namespace Tsl
