// Template bodies of Tsl::Hash; included by hash.h only.
#pragma once

namespace Tsl {

template <class K, class V>
Hash<K, V>::Hash(int nBuckets)
    : m_nBuckets(nBuckets > 0 ? nBuckets : DEFAULT_BUCKETS), m_pBuckets(nullptr), m_nCount(0) {}

template <class K, class V>
Hash<K, V>::Hash(const Hash& other)
    : RefCountedObject(), m_nBuckets(other.m_nBuckets), m_pBuckets(nullptr), m_nCount(0) {
    copyFrom(other);
}

template <class K, class V>
Hash<K, V>& Hash<K, V>::operator=(const Hash& other) {
    if (this == &other) return *this;
    clear();
    if (m_nBuckets != other.m_nBuckets) {
        delete[] m_pBuckets;
        m_pBuckets = nullptr;
        m_nBuckets = other.m_nBuckets;
    }
    copyFrom(other);
    return *this;
}

template <class K, class V>
Hash<K, V>::~Hash() {
    clear();
    delete[] m_pBuckets;
}

template <class K, class V>
void Hash<K, V>::copyFrom(const Hash& other) {
    if (!other.m_pBuckets) return;
    // Same bucket count, so copying bucket by bucket keeps the listing order.
    allocateBuckets();
    for (int i = 0; i < m_nBuckets; ++i) m_pBuckets[i] = other.m_pBuckets[i];
    m_nCount = other.m_nCount;
}

template <class K, class V>
void Hash<K, V>::allocateBuckets() {
    if (!m_pBuckets) m_pBuckets = new List<Entry>[m_nBuckets];
}

template <class K, class V>
List<typename Hash<K, V>::Entry>& Hash<K, V>::bucketOf(const K& key) const {
    return m_pBuckets[hashKey(key) % static_cast<unsigned int>(m_nBuckets)];
}

template <class K, class V>
typename List<typename Hash<K, V>::Entry>::Node* Hash<K, V>::findNode(const K& key) const {
    if (!m_pBuckets) return nullptr;
    for (auto* pNode = bucketOf(key).getHead(); pNode; pNode = pNode->pNext)
        if (pNode->data.key == key) return pNode;
    return nullptr;
}

template <class K, class V>
V& Hash<K, V>::get(const K& key) {
    auto* pNode = findNode(key);
    if (!pNode) throw FatalErrorException(__FILE__, __LINE__, (String("Hash key not found : ") + keyText(key)).c_str());
    return pNode->data.value;
}

template <class K, class V>
const V& Hash<K, V>::get(const K& key) const {
    return const_cast<Hash*>(this)->get(key);
}

template <class K, class V>
void Hash<K, V>::set(const K& key, const V& value) {
    (*this)[key] = value;
}

template <class K, class V>
V& Hash<K, V>::operator[](const K& key) {
    auto* pNode = findNode(key);
    if (!pNode) {
        allocateBuckets();
        pNode = bucketOf(key).append(Entry{key, V()});
        ++m_nCount;
    }
    return pNode->data.value;
}

template <class K, class V>
bool Hash<K, V>::hasKey(const K& key) const {
    return findNode(key) != nullptr;
}

template <class K, class V>
V Hash<K, V>::remove(const K& key) {
    auto* pNode = findNode(key);
    if (!pNode) return V();
    V value = pNode->data.value;
    bucketOf(key).removeNode(pNode);
    --m_nCount;
    return value;
}

template <class K, class V>
List<K> Hash<K, V>::getKeys() const {
    List<K> lKeys;
    if (!m_pBuckets) return lKeys;
    for (int i = m_nBuckets - 1; i >= 0; --i)
        for (auto* pNode = m_pBuckets[i].getHead(); pNode; pNode = pNode->pNext) lKeys.append(pNode->data.key);
    return lKeys;
}

template <class K, class V>
List<V> Hash<K, V>::getValues() const {
    List<V> lValues;
    if (!m_pBuckets) return lValues;
    for (int i = m_nBuckets - 1; i >= 0; --i)
        for (auto* pNode = m_pBuckets[i].getHead(); pNode; pNode = pNode->pNext) lValues.append(pNode->data.value);
    return lValues;
}

template <class K, class V>
void Hash<K, V>::clear() {
    if (!m_pBuckets) return;
    for (int i = 0; i < m_nBuckets; ++i) m_pBuckets[i].clear();
    m_nCount = 0;
}

template <class K, class V>
void Hash<K, V>::deleteValues() {
    static_assert(std::is_pointer<V>::value, "deleteValues needs pointer values");
    if (!m_pBuckets) return;
    for (int i = 0; i < m_nBuckets; ++i)
        for (auto* pNode = m_pBuckets[i].getHead(); pNode; pNode = pNode->pNext) {
            delete pNode->data.value;
            pNode->data.value = nullptr;
        }
    clear();
}

} // namespace Tsl
