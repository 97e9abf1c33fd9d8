// The loader interface the application's caches call on a miss.
#pragma once

#include "gameapp.h"

template <class T>
class IResourceLoader {
public:
    virtual ~IResourceLoader() {}
    // A new T, owned by the caller's smart pointer.
    virtual T* load(const char* pszName) = 0;
    virtual bool exists(const char* pszName) = 0;
};

// Loads a U (a T) by name; exists() asks the application's providers with
// the given null-terminated suffix list.
template <class T, class U>
class ResourceLoaderImpl : public IResourceLoader<T> {
public:
    explicit ResourceLoaderImpl(const char* const* ppszSuffixes) : m_ppszSuffixes(ppszSuffixes) {}
    T* load(const char* pszName) override { return new U(pszName); }
    bool exists(const char* pszName) override {
        GameApp* pApp = GameApp::getInstance();
        return pApp && !pApp->findResource(pszName, m_ppszSuffixes).isEmpty();
    }

private:
    const char* const* m_ppszSuffixes;
};
