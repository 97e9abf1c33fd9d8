// Sets an environment variable for the lifetime of the object, then puts
// back what it was (or unsets it again): SDL reads some of its choices from
// the environment only while a call runs.
#pragma once

#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* pszName, const char* pszValue);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_pszName;
    bool m_bHadValue;
    std::string m_sOld;
};
