#include "tsl2/refcount.h"

#include <gtest/gtest.h>

#include <utility>

using Tsl::SmartPtr;

namespace {

struct Base : Tsl::RefCountedObject {
    explicit Base(int* pAlive) : m_pAlive(pAlive) { ++*m_pAlive; }
    ~Base() override { --*m_pAlive; }
    int* m_pAlive;
    SmartPtr<Base> m_pChild;
};

struct Derived : Base {
    explicit Derived(int* pAlive) : Base(pAlive) {}
};

struct Other : Base {
    explicit Other(int* pAlive) : Base(pAlive) {}
};

} // namespace

TEST(SmartPtr, CountsReferencesAndDeletesAtZero) {
    int nAlive = 0;
    Base* pRaw = new Base(&nAlive);
    EXPECT_EQ(0, pRaw->getRefCount());
    {
        SmartPtr<Base> p(pRaw);
        EXPECT_EQ(1, pRaw->getRefCount());
        SmartPtr<Base> pCopy(p);
        EXPECT_EQ(2, pRaw->getRefCount());
        SmartPtr<Base> pMoved(std::move(pCopy));
        EXPECT_TRUE(pCopy.isNull());
        EXPECT_EQ(2, pRaw->getRefCount());
        pMoved = nullptr;
        EXPECT_EQ(1, pRaw->getRefCount());
        EXPECT_EQ(1, nAlive);
    }
    EXPECT_EQ(0, nAlive);

    // A copied object starts without holders of its own.
    Base original(&nAlive);
    original.addRef();
    Base copy(original);
    EXPECT_EQ(0, copy.getRefCount());
    copy = original;
    EXPECT_EQ(0, copy.getRefCount());
}

TEST(SmartPtr, SelfAssignmentKeepsTheObject) {
    int nAlive = 0;
    SmartPtr<Base> p(new Base(&nAlive));
    SmartPtr<Base>& pAlias = p;
    p = pAlias;
    EXPECT_EQ(1, p->getRefCount());
    p = p.get();
    EXPECT_EQ(1, p->getRefCount());
    p = std::move(pAlias);
    EXPECT_FALSE(p.isNull());
    EXPECT_EQ(1, p->getRefCount());
    EXPECT_EQ(1, nAlive);
}

TEST(SmartPtr, AssigningAnObjectOwnedByTheOldOne) {
    int nAlive = 0;
    SmartPtr<Base> p(new Base(&nAlive));
    p->m_pChild = new Base(&nAlive);
    Base* pChild = p->m_pChild.get();
    // The old object dies during the assignment and takes its member with it.
    p = p->m_pChild;
    EXPECT_EQ(pChild, p.get());
    EXPECT_EQ(1, p->getRefCount());
    EXPECT_EQ(1, nAlive);

    p->m_pChild = new Base(&nAlive);
    p = p->m_pChild.get();
    EXPECT_EQ(1, nAlive);
    EXPECT_EQ(1, p->getRefCount());

    p->m_pChild = new Base(&nAlive);
    p = std::move(p->m_pChild);
    EXPECT_EQ(1, nAlive);
    EXPECT_EQ(1, p->getRefCount());
    p = nullptr;
    EXPECT_EQ(0, nAlive);
}

TEST(SmartPtr, BaseConversionAndDynamicCast) {
    int nAlive = 0;
    SmartPtr<Derived> pDerived(new Derived(&nAlive));
    SmartPtr<Base> pBase = pDerived;
    EXPECT_EQ(2, pDerived->getRefCount());
    EXPECT_TRUE(pBase == pDerived);

    SmartPtr<Derived> pBack = SmartPtr<Derived>::dynamicCast(pBase);
    EXPECT_EQ(pDerived.get(), pBack.get());
    EXPECT_EQ(3, pDerived->getRefCount());
    EXPECT_TRUE(SmartPtr<Other>::dynamicCast(pBase).isNull());
    EXPECT_TRUE(SmartPtr<Derived>::dynamicCast(SmartPtr<Base>()).isNull());
    EXPECT_EQ(3, pDerived->getRefCount());

    pDerived = nullptr;
    pBack = nullptr;
    EXPECT_EQ(1, nAlive);
    pBase = nullptr;
    EXPECT_EQ(0, nAlive);
}
