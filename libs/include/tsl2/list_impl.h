// Template bodies of Tsl::List; included by list.h only.
#pragma once

#include <type_traits>
#include <utility>
#include <vector>
#include <cstdlib>

namespace Tsl {

template <class T>
List<T>::List() : m_pHead(nullptr), m_pTail(nullptr), m_nCount(0), m_pCursor(nullptr), m_nCursorIndex(-1) {}

template <class T>
List<T>::List(const List& other) : List() {
    appendList(other);
}

template <class T>
List<T>& List<T>::operator=(const List& other) {
    if (this == &other) return *this;
    clear();
    appendList(other);
    return *this;
}

template <class T>
List<T>::~List() {
    clear();
}

template <class T>
typename List<T>::Node* List<T>::append(const T& value) {
    return insertAfter(m_pTail, value);
}

template <class T>
typename List<T>::Node* List<T>::insertAfter(Node* pNode, const T& value) {
    Node* pNew = new Node(value);
    if (pNode) {
        pNew->pPrev = pNode;
        pNew->pNext = pNode->pNext;
        if (pNode->pNext) pNode->pNext->pPrev = pNew;
        else m_pTail = pNew;
        pNode->pNext = pNew;
    } else {
        pNew->pNext = m_pHead;
        if (m_pHead) m_pHead->pPrev = pNew;
        else m_pTail = pNew;
        m_pHead = pNew;
    }
    ++m_nCount;
    // Indices after the insertion point moved: the cursor is no longer trustworthy.
    m_pCursor = nullptr;
    m_nCursorIndex = -1;
    return pNew;
}

template <class T>
void List<T>::appendList(const List& other) {
    // Walk by node so appending a list to itself stops at its original end.
    int nCount = other.m_nCount;
    Node* pNode = other.m_pHead;
    for (int i = 0; i < nCount && pNode; ++i, pNode = pNode->pNext) append(pNode->data);
}

template <class T>
void List<T>::prependList(const List& other) {
    if (this == &other) {
        List copy(other);
        prependList(copy);
        return;
    }
    Node* pAfter = nullptr;
    for (Node* pNode = other.m_pHead; pNode; pNode = pNode->pNext) pAfter = insertAfter(pAfter, pNode->data);
}

template <class T>
void List<T>::checkIndex(int i) const {
    if (i < 0 || i >= m_nCount) TSL_THROW(FatalErrorException, "List index out of range : %d (have %d)", i, m_nCount);
}

template <class T>
typename List<T>::Node* List<T>::getNode(int i) const {
    checkIndex(i);
    // Start from whichever of head, tail and cursor is nearest.
    Node* pNode = m_pHead;
    int nIndex = 0;
    if (m_nCount - 1 - i < i) {
        pNode = m_pTail;
        nIndex = m_nCount - 1;
    }
    if (m_pCursor) {
        int nCursorDistance = m_nCursorIndex > i ? m_nCursorIndex - i : i - m_nCursorIndex;
        int nBestDistance = nIndex > i ? nIndex - i : i - nIndex;
        if (nCursorDistance < nBestDistance) {
            pNode = m_pCursor;
            nIndex = m_nCursorIndex;
        }
    }
    while (nIndex < i) {
        pNode = pNode->pNext;
        ++nIndex;
    }
    while (nIndex > i) {
        pNode = pNode->pPrev;
        --nIndex;
    }
    m_pCursor = pNode;
    m_nCursorIndex = i;
    return pNode;
}

template <class T>
T List<T>::getAt(int i) const {
    return getNode(i)->data;
}

template <class T>
T List<T>::getFirst() const {
    return getNode(0)->data;
}

template <class T>
T List<T>::getLast() const {
    return getNode(m_nCount - 1)->data;
}

template <class T>
int List<T>::indexOf(const T& value) const {
    int nIndex = 0;
    for (Node* pNode = m_pHead; pNode; pNode = pNode->pNext, ++nIndex)
        if (pNode->data == value) return nIndex;
    return -1;
}

template <class T>
void List<T>::unlink(Node* pNode) {
    if (pNode->pPrev) pNode->pPrev->pNext = pNode->pNext;
    else m_pHead = pNode->pNext;
    if (pNode->pNext) pNode->pNext->pPrev = pNode->pPrev;
    else m_pTail = pNode->pPrev;
    --m_nCount;
    m_pCursor = nullptr;
    m_nCursorIndex = -1;
}

template <class T>
void List<T>::freeNode(Node* pNode) {
    pNode->pNext = reinterpret_cast<Node*>(LIST_FREED_NEXT);
    pNode->pPrev = reinterpret_cast<Node*>(LIST_FREED_PREV);
    if (g_pfnListNodeFreed) g_pfnListNodeFreed(pNode, pNode->pNext, pNode->pPrev);
    delete pNode;
}

template <class T>
T List<T>::removeAt(int i) {
    Node* pNode = getNode(i);
    T value = std::move(pNode->data);
    unlink(pNode);
    freeNode(pNode);
    return value;
}

template <class T>
T List<T>::removeFirst() {
    return removeAt(0);
}

template <class T>
void List<T>::removeNode(Node* pNode) {
    if (!pNode) return;
    unlink(pNode);
    freeNode(pNode);
}

template <class T>
void List<T>::clear() {
    // Detach the chain first: releasing an element may run code that looks at
    // this list again.
    Node* pNode = m_pHead;
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
    m_pCursor = nullptr;
    m_nCursorIndex = -1;
    while (pNode) {
        Node* pNext = pNode->pNext;
        freeNode(pNode);
        pNode = pNext;
    }
}

template <class T>
void List<T>::clearAndDelete() {
    static_assert(std::is_pointer<T>::value, "clearAndDelete needs a list of pointers");
    for (Node* pNode = m_pHead; pNode; pNode = pNode->pNext) {
        if constexpr (std::is_void<typename std::remove_cv<typename std::remove_pointer<T>::type>::type>::value)
            std::free(const_cast<void*>(static_cast<const void*>(pNode->data)));
        else
            delete pNode->data;
        pNode->data = nullptr;
    }
    clear();
}

template <class T>
void List<T>::reverse() {
    Node* pNode = m_pHead;
    while (pNode) {
        Node* pNext = pNode->pNext;
        std::swap(pNode->pNext, pNode->pPrev);
        pNode = pNext;
    }
    std::swap(m_pHead, m_pTail);
    m_pCursor = nullptr;
    m_nCursorIndex = -1;
}

template <class T>
template <class Before>
void List<T>::mergeSort(Before takeRightFirst) {
    if (m_nCount < 2) return;
    std::vector<Node*> aNodes, aMerged(m_nCount);
    aNodes.reserve(m_nCount);
    for (Node* pNode = m_pHead; pNode; pNode = pNode->pNext) aNodes.push_back(pNode);
    const int n = m_nCount;
    // Bottom-up: merge neighbouring runs of width 1, 2, 4, ... from the front.
    for (int nWidth = 1; nWidth < n; nWidth *= 2) {
        for (int nLeft = 0; nLeft < n; nLeft += 2 * nWidth) {
            int nMid = nLeft + nWidth < n ? nLeft + nWidth : n;
            int nEnd = nLeft + 2 * nWidth < n ? nLeft + 2 * nWidth : n;
            int a = nLeft, b = nMid, k = nLeft;
            while (a < nMid && b < nEnd) {
                if (takeRightFirst(aNodes[b]->data, aNodes[a]->data)) aMerged[k++] = aNodes[b++];
                else aMerged[k++] = aNodes[a++];
            }
            while (a < nMid) aMerged[k++] = aNodes[a++];
            while (b < nEnd) aMerged[k++] = aNodes[b++];
        }
        aNodes.swap(aMerged);
    }
    for (int i = 0; i < n; ++i) {
        aNodes[i]->pPrev = i > 0 ? aNodes[i - 1] : nullptr;
        aNodes[i]->pNext = i + 1 < n ? aNodes[i + 1] : nullptr;
    }
    m_pHead = aNodes[0];
    m_pTail = aNodes[n - 1];
    m_pCursor = nullptr;
    m_nCursorIndex = -1;
}

template <class T>
void List<T>::sort(CompareFunc pfnCompare, void* pUserData) {
    // Stable: the right element goes first only when it truly comes before the
    // left one; ties keep their order.
    mergeSort([pfnCompare, pUserData](const T& right, const T& left) {
        return pfnCompare(right, left, pUserData) && !pfnCompare(left, right, pUserData);
    });
}

template <class T>
void List<T>::sort() {
    mergeSort([](const T& right, const T& left) { return !(left > right); });
}

template <class T>
T List<T>::join(const char* pszSeparator) const {
    T sResult;
    for (Node* pNode = m_pHead; pNode; pNode = pNode->pNext) {
        if (pNode != m_pHead) sResult += pszSeparator;
        sResult += pNode->data;
    }
    return sResult;
}

// Stream form: 0x14, the count as a varint, then per element 0x00 and the
// element itself. The older form, still read: 0x04, a version byte (1) and the
// count as a 32-bit int.
enum { LIST_STREAM_TAG = 0x14, LIST_STREAM_TAG_OLD = 0x04, LIST_STREAM_OLD_VERSION = 1 };

template <class T>
template <class Streamer>
void List<T>::persistTo(Streamer& os) const {
    os.write(static_cast<unsigned char>(LIST_STREAM_TAG));
    os.writeVarInt(static_cast<unsigned int>(m_nCount));
    for (Node* pNode = m_pHead; pNode; pNode = pNode->pNext) {
        os.write(static_cast<unsigned char>(0));
        os.write(pNode->data);
    }
}

template <class T>
template <class Streamer>
void List<T>::persistFrom(Streamer& is) {
    clear();
    unsigned int nCount = readStreamCount(is);
    // Elements are read one by one; a count larger than the data runs into the
    // stream's own end-of-data error instead of a huge allocation.
    for (unsigned int i = 0; i < nCount; ++i) {
        unsigned char nSkip = 0;
        is.read(nSkip);
        T value{};
        is.read(value);
        append(value);
    }
}

template <class T>
template <class Streamer>
unsigned int List<T>::readStreamCount(Streamer& is) {
    unsigned char nTag = 0;
    is.read(nTag);
    unsigned int nCount = 0;
    if (nTag == LIST_STREAM_TAG) {
        nCount = is.readVarInt();
    } else if (nTag == LIST_STREAM_TAG_OLD) {
        unsigned char nVersion = 0;
        is.read(nVersion);
        if (nVersion != LIST_STREAM_OLD_VERSION)
            throw BadStreamFormatException(__FILE__, __LINE__, "List::persistFrom : unknown format version\n");
        int nOldCount = 0;
        is.read(nOldCount);
        if (nOldCount < 0) throw BadStreamFormatException(__FILE__, __LINE__, "List::persistFrom : bad stream format\n");
        nCount = static_cast<unsigned int>(nOldCount);
    } else {
        throw BadStreamFormatException(__FILE__, __LINE__, "List::persistFrom : bad stream format\n");
    }
    return nCount;
}

} // namespace Tsl
