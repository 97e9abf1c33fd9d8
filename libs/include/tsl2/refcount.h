// Intrusive reference counting: the base of every shared object and the
// smart pointer that holds one reference to it.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace Tsl {

class RefCountedObject {
public:
    RefCountedObject() : m_nRefCount(0) {}
    // A copy is a new object: it starts without holders of its own.
    RefCountedObject(const RefCountedObject&) : m_nRefCount(0) {}
    RefCountedObject& operator=(const RefCountedObject&) { return *this; }
    virtual ~RefCountedObject() {}

    void addRef() const { ++m_nRefCount; }
    // Drops one reference and deletes the object when it was the last.
    void release() const {
        if (--m_nRefCount == 0) delete this;
    }
    int getRefCount() const { return m_nRefCount; }

private:
    mutable int m_nRefCount;
};

template <class T>
class SmartPtr {
public:
    SmartPtr() : m_pObject(nullptr) {}
    SmartPtr(std::nullptr_t) : m_pObject(nullptr) {}
    SmartPtr(T* pObject) : m_pObject(pObject) { acquire(); }
    SmartPtr(const SmartPtr& other) : m_pObject(other.m_pObject) { acquire(); }
    SmartPtr(SmartPtr&& other) noexcept : m_pObject(other.m_pObject) { other.m_pObject = nullptr; }
    ~SmartPtr() { releaseObject(); }

    SmartPtr& operator=(const SmartPtr& other) { return assign(other.m_pObject); }
    SmartPtr& operator=(T* pObject) { return assign(pObject); }
    SmartPtr& operator=(std::nullptr_t) { return assign(nullptr); }
    SmartPtr& operator=(SmartPtr&& other) noexcept {
        if (this != &other) {
            T* pOld = m_pObject;
            m_pObject = other.m_pObject;
            other.m_pObject = nullptr;
            if (pOld) pOld->release();
        }
        return *this;
    }

    // Conversion from a pointer of a derived type: a new reference to the same
    // object (a label handed on as a Sprite). A constructor rather than a
    // conversion operator so direct and copy initialisation are never ambiguous.
    template <class U, class = typename std::enable_if<std::is_convertible<U*, T*>::value>::type>
    SmartPtr(const SmartPtr<U>& other) : m_pObject(other.get()) { acquire(); }

    // The object of another pointer when it is a T, else null.
    template <class U>
    static SmartPtr dynamicCast(const SmartPtr<U>& other) {
        return SmartPtr(dynamic_cast<T*>(other.get()));
    }

    T* get() const { return m_pObject; }
    T* operator->() const { return m_pObject; }
    T& operator*() const { return *m_pObject; }
    operator T*() const { return m_pObject; }
    bool isNull() const { return m_pObject == nullptr; }

private:
    void acquire() {
        if (m_pObject) m_pObject->addRef();
    }
    void releaseObject() {
        T* pOld = m_pObject;
        m_pObject = nullptr;
        if (pOld) pOld->release();
    }
    SmartPtr& assign(T* pObject) {
        if (pObject == m_pObject) return *this;
        // Take the new reference before dropping the old one: the old object may
        // be the only thing keeping the new one alive.
        if (pObject) pObject->addRef();
        T* pOld = m_pObject;
        m_pObject = pObject;
        if (pOld) pOld->release();
        return *this;
    }

    T* m_pObject;
};

template <class T, class U>
bool operator==(const SmartPtr<T>& a, const SmartPtr<U>& b) { return a.get() == b.get(); }
template <class T, class U>
bool operator!=(const SmartPtr<T>& a, const SmartPtr<U>& b) { return a.get() != b.get(); }

} // namespace Tsl
