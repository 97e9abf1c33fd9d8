// A cache of named resources: one reference per entry, loaded through a
// loader on a miss.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/str.h"

template <class T>
class IResourceLoader;

template <class T>
class ResCache {
public:
    ResCache() : m_pLoader(nullptr) {}

    void setLoader(IResourceLoader<T>* pLoader) { m_pLoader = pLoader; }
    IResourceLoader<T>* getLoader() const { return m_pLoader; }

    // The cached entry, or one loaded now (and kept unless bKeep is false).
    // Null when there is no loader or it loads nothing.
    Tsl::SmartPtr<T> get(const Tsl::String& sName, bool bKeep = true) {
        if (m_hEntries.hasKey(sName)) return m_hEntries.get(sName);
        if (!m_pLoader) return nullptr;
        Tsl::SmartPtr<T> pEntry(m_pLoader->load(sName.c_str()));
        if (pEntry && bKeep) m_hEntries.set(sName, pEntry);
        return pEntry;
    }
    bool has(const Tsl::String& sName) const { return m_hEntries.hasKey(sName); }
    void add(const Tsl::String& sName, Tsl::SmartPtr<T> pEntry) { m_hEntries.set(sName, pEntry); }
    Tsl::SmartPtr<T> find(const Tsl::String& sName) const {
        return m_hEntries.hasKey(sName) ? m_hEntries.get(sName) : Tsl::SmartPtr<T>();
    }
    void release(const Tsl::String& sName) { m_hEntries.remove(sName); }
    // Drops every entry whose name is not in the list.
    void releaseExcept(const Tsl::List<Tsl::String>& lKeep) {
        for (const Tsl::String& sName : m_hEntries.getKeys())
            if (lKeep.indexOf(sName) < 0) m_hEntries.remove(sName);
    }
    void clear() { m_hEntries.clear(); }
    Tsl::List<Tsl::String> getNames() const { return m_hEntries.getKeys(); }
    int getCount() const { return m_hEntries.getCount(); }

private:
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<T>> m_hEntries;
    IResourceLoader<T>* m_pLoader;
};
