#include "platform/scopedenvironment.h"

#include <cstdlib>

ScopedEnvironment::ScopedEnvironment(const char* pszName, const char* pszValue) : m_pszName(pszName) {
    const char* pszOld = std::getenv(pszName);
    m_bHadValue = pszOld != nullptr;
    if (pszOld) m_sOld = pszOld;
    setenv(pszName, pszValue, 1);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_bHadValue)
        setenv(m_pszName, m_sOld.c_str(), 1);
    else
        unsetenv(m_pszName);
}
