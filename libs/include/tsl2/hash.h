// Reference-counted chained hash table whose buckets are lists of entries.
// Keys and values are listed from the last bucket to the first, each bucket
// in insertion order, so the order is the same on every run.
#pragma once

#include "tsl2/list.h"
#include "tsl2/str.h"

#include <cstdint>

namespace Tsl {

// Key hashing: strings by h = h * 31 + c, pointers and smart pointers by identity.
// Other key types provide a hashKey overload found by argument-dependent look-up.
inline unsigned int hashKey(const String& sKey) { return hashString(sKey.c_str()); }
inline unsigned int hashKey(const char* pszKey) { return hashString(pszKey); }
inline unsigned int hashKey(int nKey) { return static_cast<unsigned int>(nKey); }
inline unsigned int hashKey(unsigned int nKey) { return nKey; }
template <class T>
unsigned int hashKey(T* pKey) {
    std::uintptr_t n = reinterpret_cast<std::uintptr_t>(pKey);
    return static_cast<unsigned int>(n ^ (n >> 32));
}
template <class T>
unsigned int hashKey(const SmartPtr<T>& pKey) {
    return hashKey(pKey.get());
}

// Text of a key for the "not found" message.
inline String keyText(const String& sKey) { return sKey; }
inline String keyText(const char* pszKey) { return String(pszKey); }
inline String keyText(int nKey) { return String::format("%d", nKey); }
inline String keyText(unsigned int nKey) { return String::format("%u", nKey); }
template <class T>
String keyText(T* pKey) {
    return String::format("%p", static_cast<const void*>(pKey));
}
template <class T>
String keyText(const SmartPtr<T>& pKey) {
    return keyText(pKey.get());
}

template <class K, class V>
struct HashEntry {
    K key;
    V value;
    bool operator==(const HashEntry& other) const { return key == other.key; }
};

template <class K, class V>
class Hash : public RefCountedObject {
public:
    enum { DEFAULT_BUCKETS = 97 };
    typedef HashEntry<K, V> Entry;

    explicit Hash(int nBuckets = DEFAULT_BUCKETS);
    Hash(const Hash& other);
    Hash& operator=(const Hash& other);
    ~Hash() override;

    V& get(const K& key);
    const V& get(const K& key) const;
    void set(const K& key, const V& value);
    // Get-or-add: the key's value, added as an empty value when missing.
    V& operator[](const K& key);
    bool hasKey(const K& key) const;
    // Removes the entry and returns its value; an empty value when absent.
    V remove(const K& key);
    bool isEmpty() const { return m_nCount == 0; }
    int getCount() const { return m_nCount; }
    List<K> getKeys() const;
    List<V> getValues() const;
    void clear();
    void deleteValues();

private:
    List<Entry>& bucketOf(const K& key) const;
    typename List<Entry>::Node* findNode(const K& key) const;
    void copyFrom(const Hash& other);
    void allocateBuckets();

    int m_nBuckets;
    // Null until the first insertion: most tables (a sprite's named data) stay empty.
    List<Entry>* m_pBuckets;
    int m_nCount;
};

} // namespace Tsl

#include "tsl2/hash_impl.h"
