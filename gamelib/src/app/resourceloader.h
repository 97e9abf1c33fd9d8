// The loader interface the application's caches call on a miss.
#pragma once

// True when the application's providers have the name with one of the
// suffixes (GameApp::findResource); kept out of line so this header does not
// pull in the application.
bool resourceExists(const char* pszName, const char* const* ppszSuffixes);

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
    bool exists(const char* pszName) override { return resourceExists(pszName, m_ppszSuffixes); }

private:
    const char* const* m_ppszSuffixes;
};
