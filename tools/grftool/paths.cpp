#include "paths.h"

#include <cstdlib>

std::string folderOf(const std::string& sPath) {
    size_t nSlash = sPath.rfind('/');
    if (nSlash == std::string::npos) return ".";
    return nSlash == 0 ? "/" : sPath.substr(0, nSlash);
}

std::string baseNameOf(const std::string& sPath) {
    size_t nSlash = sPath.rfind('/');
    return nSlash == std::string::npos ? sPath : sPath.substr(nSlash + 1);
}

std::string realPathOf(const std::string& sPath) {
    char* pszReal = realpath(sPath.c_str(), nullptr);
    if (!pszReal) return std::string();
    std::string sReal = pszReal;
    std::free(pszReal);
    return sReal;
}
