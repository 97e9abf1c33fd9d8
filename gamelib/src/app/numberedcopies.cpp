#include "app/numberedcopies.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

int NumberedCopies::numberOf(const char* pszName, const Tsl::String& sPrefix) {
    if (std::strncmp(pszName, sPrefix.c_str(), static_cast<size_t>(sPrefix.getLength())) != 0) return 0;
    const char* pszNumber = pszName + sPrefix.getLength();
    char* pszEnd = nullptr;
    long nNumber = std::strtol(pszNumber, &pszEnd, 10);
    bool bNumber = *pszNumber >= '1' && *pszNumber <= '9' && *pszEnd == '\0' && nNumber < 1000000000L;
    return bNumber ? static_cast<int>(nNumber) : 0;
}

int NumberedCopies::nextNumber(const std::vector<int>& aInUse) {
    return aInUse.empty() ? 1 : *std::max_element(aInUse.begin(), aInUse.end()) + 1;
}
