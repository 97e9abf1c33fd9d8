// Reference-counted doubly linked list with a count and a cached cursor, so
// walking by index in order costs one step per element.
#pragma once

#include "tsl2/error.h"
#include "tsl2/refcount.h"

#include <cstdint>

namespace Tsl {

template <class T>
struct ListNode {
    explicit ListNode(const T& value) : data(value), pNext(nullptr), pPrev(nullptr) {}
    T data;
    ListNode* pNext;
    ListNode* pPrev;
};

// Freed nodes get these link values so a dangling node pointer fails loudly.
const std::uintptr_t LIST_FREED_NEXT = 0xDEADBEEFu;
const std::uintptr_t LIST_FREED_PREV = 0xBEEFDEADu;

// Test hook: called with every node just before its memory is returned, after
// its links were poisoned. Null in production.
extern void (*g_pfnListNodeFreed)(const void* pNode, const void* pNext, const void* pPrev);

template <class T>
class List : public RefCountedObject {
public:
    typedef ListNode<T> Node;
    typedef bool (*CompareFunc)(const T& a, const T& b, void* pUserData);

    class ConstIterator {
    public:
        explicit ConstIterator(const Node* pNode) : m_pNode(pNode) {}
        const T& operator*() const { return m_pNode->data; }
        ConstIterator& operator++() {
            m_pNode = m_pNode->pNext;
            return *this;
        }
        bool operator!=(const ConstIterator& other) const { return m_pNode != other.m_pNode; }

    private:
        const Node* m_pNode;
    };

    List();
    List(const List& other);
    List& operator=(const List& other);
    ~List() override;

    Node* append(const T& value);
    Node* insertAfter(Node* pNode, const T& value);
    void appendList(const List& other);
    void prependList(const List& other);

    T getAt(int i) const;
    Node* getNode(int i) const;
    Node* getHead() const { return m_pHead; }
    Node* getTail() const { return m_pTail; }
    T getFirst() const;
    T getLast() const;
    int getCount() const { return m_nCount; }
    bool isEmpty() const { return m_nCount == 0; }
    int indexOf(const T& value) const;

    T removeAt(int i);
    T removeFirst();
    void removeNode(Node* pNode);
    void clear();
    void clearAndDelete();

    void reverse();
    // Stable bottom-up merge sort; compare(a, b) is true when a comes first.
    void sort(CompareFunc pfnCompare, void* pUserData);
    // Greatest first by operator>; when merging, the left run's element is taken
    // only when it is strictly greater, so equal elements come from the right run first.
    void sort();

    // The texts joined with the separator (lists of strings only).
    T join(const char* pszSeparator) const;

    template <class Streamer>
    void persistTo(Streamer& os) const;
    template <class Streamer>
    void persistFrom(Streamer& is);
    // The element count of a stored list, in either stored form; the elements
    // follow, each after one byte, for a reader that takes them one by one.
    template <class Streamer>
    static unsigned int readStreamCount(Streamer& is);

    ConstIterator begin() const { return ConstIterator(m_pHead); }
    ConstIterator end() const { return ConstIterator(nullptr); }

private:
    void checkIndex(int i) const;
    void unlink(Node* pNode);
    void freeNode(Node* pNode);
    template <class Before>
    void mergeSort(Before takeRightFirst);

    Node* m_pHead;
    Node* m_pTail;
    int m_nCount;
    mutable Node* m_pCursor;
    mutable int m_nCursorIndex;
};

} // namespace Tsl

#include "tsl2/list_impl.h"
