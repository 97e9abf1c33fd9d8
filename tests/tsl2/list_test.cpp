#include "tsl2/list.h"
#include "tsl2/random.h"
#include "tsl2/str.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using Tsl::List;

namespace {

List<int> listOf(std::initializer_list<int> values) {
    List<int> l;
    for (int n : values) l.append(n);
    return l;
}

std::vector<int> toVector(const List<int>& l) {
    std::vector<int> a;
    for (int n : l) a.push_back(n);
    return a;
}

// Checks the links both ways and every index, walking forwards and backwards
// so the cached cursor is exercised in both directions.
void expectSame(const std::vector<int>& aModel, const List<int>& l) {
    ASSERT_EQ(static_cast<int>(aModel.size()), l.getCount());
    const List<int>::Node* pPrev = nullptr;
    int nIndex = 0;
    for (const List<int>::Node* pNode = l.getHead(); pNode; pNode = pNode->pNext, ++nIndex) {
        ASSERT_EQ(pPrev, pNode->pPrev);
        pPrev = pNode;
    }
    ASSERT_EQ(pPrev, l.getTail());
    for (int i = 0; i < l.getCount(); ++i) ASSERT_EQ(aModel[i], l.getAt(i)) << "forward " << i;
    for (int i = l.getCount() - 1; i >= 0; --i) ASSERT_EQ(aModel[i], l.getAt(i)) << "backward " << i;
}

std::string outOfRange(const List<int>& l, int i) {
    try {
        l.getAt(i);
    } catch (const Tsl::FatalErrorException& e) {
        return e.getMessage();
    }
    return "(no error)";
}

} // namespace

TEST(List, IndexWalkStaysRightAfterInsertsAndRemoves) {
    Tsl::Random random(99u);
    std::vector<int> aModel;
    List<int> l;
    for (int nStep = 0; nStep < 3000; ++nStep) {
        int nOp = random.getInt(0, 5);
        int nCount = static_cast<int>(aModel.size());
        if (nOp <= 1 || nCount == 0) {
            l.append(nStep);
            aModel.push_back(nStep);
        } else if (nOp == 2) {
            int i = random.getInt(-1, nCount - 1);
            l.insertAfter(i < 0 ? nullptr : l.getNode(i), nStep);
            aModel.insert(aModel.begin() + (i + 1), nStep);
        } else if (nOp == 3) {
            int i = random.getInt(0, nCount - 1);
            EXPECT_EQ(aModel[i], l.removeAt(i));
            aModel.erase(aModel.begin() + i);
        } else if (nOp == 4) {
            // Move the cursor somewhere, then change the list before it.
            int i = random.getInt(0, nCount - 1);
            ASSERT_EQ(aModel[i], l.getAt(i));
            l.removeNode(l.getNode(0));
            aModel.erase(aModel.begin());
        } else {
            int i = random.getInt(0, nCount - 1);
            ASSERT_EQ(aModel[i], l.getAt(i));
        }
        if (nStep % 100 == 0) expectSame(aModel, l);
    }
    expectSame(aModel, l);
    l.reverse();
    std::reverse(aModel.begin(), aModel.end());
    expectSame(aModel, l);
}

TEST(List, BadIndicesRaiseTheListError) {
    List<int> l = listOf({1, 2, 3});
    EXPECT_EQ("List index out of range : 3 (have 3)", outOfRange(l, 3));
    EXPECT_EQ("List index out of range : -1 (have 3)", outOfRange(l, -1));
    List<int> lEmpty;
    EXPECT_EQ("List index out of range : 0 (have 0)", outOfRange(lEmpty, 0));
    EXPECT_THROW(lEmpty.removeFirst(), Tsl::FatalErrorException);
    EXPECT_THROW(lEmpty.getFirst(), Tsl::FatalErrorException);
    EXPECT_THROW(lEmpty.getLast(), Tsl::FatalErrorException);
    EXPECT_THROW(l.removeAt(7), Tsl::FatalErrorException);
    EXPECT_EQ(3, l.getCount());
}

namespace {
struct FreedNode {
    const void* pNode;
    std::uintptr_t nNext;
    std::uintptr_t nPrev;
};
std::vector<FreedNode>* s_pFreed = nullptr;
void recordFreed(const void* pNode, const void* pNext, const void* pPrev) {
    s_pFreed->push_back(FreedNode{pNode, reinterpret_cast<std::uintptr_t>(pNext), reinterpret_cast<std::uintptr_t>(pPrev)});
}
} // namespace

TEST(List, FreedNodesArePoisoned) {
    std::vector<FreedNode> aFreed;
    s_pFreed = &aFreed;
    Tsl::g_pfnListNodeFreed = recordFreed;
    {
        List<int> l = listOf({1, 2, 3, 4, 5});
        const void* pSecond = l.getNode(1);
        l.removeNode(l.getNode(1));
        ASSERT_EQ(1u, aFreed.size());
        EXPECT_EQ(pSecond, aFreed[0].pNode);
        EXPECT_EQ(4, l.removeAt(2));
        l.removeFirst();
        l.clear();
        l.append(9);
    } // destruction frees the last node
    Tsl::g_pfnListNodeFreed = nullptr;
    s_pFreed = nullptr;
    ASSERT_EQ(6u, aFreed.size());
    for (const FreedNode& freed : aFreed) {
        EXPECT_EQ(0xDEADBEEFu, freed.nNext);
        EXPECT_EQ(0xBEEFDEADu, freed.nPrev);
    }
}

TEST(List, AppendAndPrependLists) {
    List<int> l = listOf({1, 2});
    l.prependList(listOf({7, 8}));
    EXPECT_EQ((std::vector<int>{7, 8, 1, 2}), toVector(l));
    l.appendList(l);
    EXPECT_EQ((std::vector<int>{7, 8, 1, 2, 7, 8, 1, 2}), toVector(l));
    List<int> lSelf = listOf({1, 2});
    lSelf.prependList(lSelf);
    EXPECT_EQ((std::vector<int>{1, 2, 1, 2}), toVector(lSelf));
    lSelf = lSelf;
    EXPECT_EQ(4, lSelf.getCount());
    List<int> lCopy(lSelf);
    lCopy.append(3);
    EXPECT_EQ(4, lSelf.getCount());
    EXPECT_EQ(1, lCopy.indexOf(2));
    EXPECT_EQ(4, lCopy.indexOf(3));
    EXPECT_EQ(-1, lCopy.indexOf(42));
}

TEST(List, JoinAndStrings) {
    List<Tsl::String> l;
    EXPECT_TRUE(l.join(", ").isEmpty());
    l.append("a");
    EXPECT_EQ(Tsl::String("a"), l.join(", "));
    l.append("b");
    EXPECT_EQ(Tsl::String("a, b"), l.join(", "));
    EXPECT_EQ(1, l.indexOf("b"));
}

namespace {
struct Counted : Tsl::RefCountedObject {
    explicit Counted(int* pAlive) : m_pAlive(pAlive) { ++*m_pAlive; }
    ~Counted() override { --*m_pAlive; }
    int* m_pAlive;
};
} // namespace

TEST(List, ElementOwnership) {
    int nAlive = 0;
    List<Tsl::RefCountedObject*> lOwned;
    for (int i = 0; i < 3; ++i) lOwned.append(new Counted(&nAlive));
    lOwned.clearAndDelete();
    EXPECT_EQ(0, nAlive);
    EXPECT_EQ(0, lOwned.getCount());

    List<void*> lBlocks;
    lBlocks.append(std::malloc(16));
    lBlocks.append(std::malloc(1));
    lBlocks.clearAndDelete(); // freed, no destructor: the sanitizer checks the pairing

    Tsl::SmartPtr<Counted> p(new Counted(&nAlive));
    {
        List<Tsl::SmartPtr<Counted>> l;
        l.append(p);
        l.append(p);
        List<Tsl::SmartPtr<Counted>> lCopy(l);
        EXPECT_EQ(5, p->getRefCount());
        EXPECT_EQ(6, l.getAt(0)->getRefCount());
        EXPECT_EQ(0, l.indexOf(p));
        lCopy.clear();
        EXPECT_EQ(3, p->getRefCount());
    }
    EXPECT_EQ(1, p->getRefCount());
    p = nullptr;
    EXPECT_EQ(0, nAlive);
}

namespace {

struct Item {
    int nKey;
    int nId;
};

bool keyFirst(const Item& a, const Item& b, void*) { return a.nKey < b.nKey; }
bool keyFirstOrEqual(const Item& a, const Item& b, void*) { return a.nKey <= b.nKey; }

// Greatest first, with the tie rule spelled out independently of the list.
struct Ranked {
    int nKey;
    int nId;
    bool operator>(const Ranked& other) const { return nKey > other.nKey; }
};

std::vector<Ranked> referenceGreatestFirst(std::vector<Ranked> a) {
    const int n = static_cast<int>(a.size());
    std::vector<Ranked> aOut(a.size());
    for (int nWidth = 1; nWidth < n; nWidth *= 2) {
        for (int nLeft = 0; nLeft < n; nLeft += 2 * nWidth) {
            int nMid = std::min(nLeft + nWidth, n), nEnd = std::min(nLeft + 2 * nWidth, n);
            int i = nLeft, j = nMid, k = nLeft;
            while (i < nMid && j < nEnd) aOut[k++] = a[i].nKey > a[j].nKey ? a[i++] : a[j++];
            while (i < nMid) aOut[k++] = a[i++];
            while (j < nEnd) aOut[k++] = a[j++];
        }
        a.swap(aOut);
    }
    return a;
}

// Every array of length 0..8 over three keys.
template <class Visit>
void forEachSmallArray(Visit visit) {
    for (int n = 0; n <= 8; ++n) {
        int nTotal = 1;
        for (int i = 0; i < n; ++i) nTotal *= 3;
        for (int nCode = 0; nCode < nTotal; ++nCode) {
            std::vector<int> aKeys;
            for (int i = 0, c = nCode; i < n; ++i, c /= 3) aKeys.push_back(c % 3);
            visit(aKeys);
        }
    }
}

} // namespace

TEST(List, SortWithCompareIsStable) {
    forEachSmallArray([](const std::vector<int>& aKeys) {
        std::vector<Item> aItems;
        List<Item> l, lOrEqual;
        for (size_t i = 0; i < aKeys.size(); ++i) {
            aItems.push_back(Item{aKeys[i], static_cast<int>(i)});
            l.append(aItems.back());
            lOrEqual.append(aItems.back());
        }
        std::stable_sort(aItems.begin(), aItems.end(), [](const Item& a, const Item& b) { return a.nKey < b.nKey; });
        l.sort(keyFirst, nullptr);
        lOrEqual.sort(keyFirstOrEqual, nullptr);
        int i = 0;
        for (const Item& item : l) {
            ASSERT_EQ(aItems[i].nId, item.nId);
            ASSERT_EQ(aItems[i].nId, lOrEqual.getAt(i).nId);
            ++i;
        }
    });
}

TEST(List, SortGreatestFirstTakesEqualsFromTheRightRun) {
    forEachSmallArray([](const std::vector<int>& aKeys) {
        std::vector<Ranked> aItems;
        List<Ranked> l;
        for (size_t i = 0; i < aKeys.size(); ++i) {
            aItems.push_back(Ranked{aKeys[i], static_cast<int>(i)});
            l.append(aItems.back());
        }
        std::vector<Ranked> aExpected = referenceGreatestFirst(aItems);
        l.sort();
        ASSERT_EQ(static_cast<int>(aExpected.size()), l.getCount());
        for (int i = 0; i < l.getCount(); ++i) ASSERT_EQ(aExpected[i].nId, l.getAt(i).nId);
        if (!l.isEmpty()) {
            ASSERT_EQ(l.getTail(), l.getNode(l.getCount() - 1));
        }
    });
    // Two equal elements swap places.
    List<Ranked> l;
    l.append(Ranked{1, 0});
    l.append(Ranked{1, 1});
    l.sort();
    EXPECT_EQ(1, l.getFirst().nId);
}

namespace {
// Just enough of an object streamer for the list's own bytes.
struct ByteStreamer {
    std::vector<unsigned char> aBytes;
    size_t nPos = 0;
    void write(unsigned char n) { aBytes.push_back(n); }
    void write(int n) {
        for (int i = 0; i < 4; ++i) aBytes.push_back(static_cast<unsigned char>(static_cast<unsigned int>(n) >> (8 * i)));
    }
    void writeVarInt(unsigned int n) {
        while (n >= 0x80) {
            aBytes.push_back(static_cast<unsigned char>(n | 0x80));
            n >>= 7;
        }
        aBytes.push_back(static_cast<unsigned char>(n));
    }
    unsigned char next() {
        if (nPos >= aBytes.size()) throw Tsl::BadStreamFormatException(__FILE__, __LINE__, "end of data");
        return aBytes[nPos++];
    }
    void read(unsigned char& n) { n = next(); }
    void read(int& n) {
        unsigned int u = 0;
        for (int i = 0; i < 4; ++i) u |= static_cast<unsigned int>(next()) << (8 * i);
        n = static_cast<int>(u);
    }
    unsigned int readVarInt() {
        unsigned int n = 0;
        for (int nShift = 0;; nShift += 7) {
            unsigned char b = next();
            n |= static_cast<unsigned int>(b & 0x7F) << nShift;
            if (!(b & 0x80)) return n;
        }
    }
};

std::string persistError(std::vector<unsigned char> aBytes) {
    ByteStreamer is;
    is.aBytes = aBytes;
    List<int> l = listOf({5});
    try {
        l.persistFrom(is);
    } catch (const Tsl::BadStreamFormatException& e) {
        return e.getMessage();
    }
    return "(no error)";
}
} // namespace

TEST(List, PersistFormsAndErrors) {
    List<int> l;
    for (int i = 0; i < 130; ++i) l.append(i - 1);
    ByteStreamer os;
    l.persistTo(os);
    ASSERT_GE(os.aBytes.size(), 8u);
    EXPECT_EQ(0x14, os.aBytes[0]);
    EXPECT_EQ(0x82, os.aBytes[1]); // 130 as a varint
    EXPECT_EQ(0x01, os.aBytes[2]);
    EXPECT_EQ(0x00, os.aBytes[3]);
    EXPECT_EQ(0xFF, os.aBytes[4]); // -1, little-endian
    EXPECT_EQ(3u + 130u * 5u, os.aBytes.size());
    List<int> lBack = listOf({99});
    lBack.persistFrom(os);
    EXPECT_EQ(toVector(l), toVector(lBack));

    // The older form: 0x04, version 1, the count as an int.
    ByteStreamer old;
    old.aBytes = {0x04, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00};
    lBack.persistFrom(old);
    EXPECT_EQ((std::vector<int>{7, 8}), toVector(lBack));

    EXPECT_EQ("List::persistFrom : bad stream format\n", persistError({0x15, 0x00}));
    EXPECT_EQ("List::persistFrom : unknown format version\n", persistError({0x04, 0x02, 0, 0, 0, 0}));
    EXPECT_EQ("List::persistFrom : bad stream format\n", persistError({0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
    // A count beyond the data stops at the end of the data.
    EXPECT_EQ("end of data", persistError({0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
}
