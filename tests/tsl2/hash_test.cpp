#include "tsl2/hash.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Tsl::Hash;
using Tsl::String;

namespace {

std::string missingKey(const Hash<String, int>& h, const char* pszKey) {
    try {
        h.get(pszKey);
    } catch (const Tsl::FatalErrorException& e) {
        return e.getMessage();
    }
    return "(no error)";
}

// The listing order worked out independently: buckets from the last to the
// first, each in insertion order.
std::vector<String> expectedOrder(const std::vector<String>& aInserted, unsigned int nBuckets) {
    std::vector<String> aOrder;
    for (int nBucket = static_cast<int>(nBuckets) - 1; nBucket >= 0; --nBucket)
        for (const String& sKey : aInserted)
            if (Tsl::hashString(sKey.c_str()) % nBuckets == static_cast<unsigned int>(nBucket)) aOrder.push_back(sKey);
    return aOrder;
}

std::vector<int> toVector(const Tsl::List<int>& l) {
    std::vector<int> a;
    for (int n : l) a.push_back(n);
    return a;
}

} // namespace

TEST(Hash, KeysAndValuesRunFromTheLastBucketToTheFirst) {
    Hash<String, int> h;
    std::vector<String> aInserted;
    for (int i = 0; i < 300; ++i) {
        String sKey = String::format("key%d", i);
        h.set(sKey, i);
        aInserted.push_back(sKey);
    }
    // Bytes above 0x7F hash as negative characters.
    h.set("\xE9t\xE9", 1000);
    aInserted.push_back("\xE9t\xE9");
    std::vector<String> aExpected = expectedOrder(aInserted, 97);
    Tsl::List<String> lKeys = h.getKeys();
    Tsl::List<int> lValues = h.getValues();
    ASSERT_EQ(static_cast<int>(aExpected.size()), lKeys.getCount());
    ASSERT_EQ(lKeys.getCount(), lValues.getCount());
    for (int i = 0; i < lKeys.getCount(); ++i) {
        ASSERT_EQ(aExpected[i], lKeys.getAt(i)) << i;
        ASSERT_EQ(h.get(lKeys.getAt(i)), lValues.getAt(i));
    }
    // Replacing a value keeps the key's place; removing and re-adding moves it
    // to the end of its bucket.
    h.set("key0", -1);
    EXPECT_EQ(aExpected.front(), h.getKeys().getFirst());
    Hash<String, int> hCopy(h);
    EXPECT_EQ(h.getKeys().join(","), hCopy.getKeys().join(","));
}

TEST(Hash, SameBucketKeepsInsertionOrder) {
    Hash<int, int> h;
    for (int n : {194, 0, 97, 5}) h.set(n, n * 10);
    // 5 lives in bucket 5, the others share bucket 0.
    EXPECT_EQ((std::vector<int>{5, 194, 0, 97}), toVector(h.getKeys()));
    h.remove(194);
    h.set(194, 1);
    Tsl::List<int> lKeys = h.getKeys();
    EXPECT_EQ((std::vector<int>{5, 0, 97, 194}), toVector(lKeys));
    Tsl::List<int> lValues = h.getValues();
    EXPECT_EQ((std::vector<int>{50, 0, 970, 1}), toVector(lValues));
}

TEST(Hash, GetOrAddSetRemove) {
    Hash<String, int> h;
    EXPECT_TRUE(h.isEmpty());
    EXPECT_EQ(0, h["a"]);
    EXPECT_EQ(1, h.getCount());
    h["a"] += 5;
    EXPECT_EQ(5, h.get("a"));
    h.set("a", 7);
    EXPECT_EQ(1, h.getCount());
    EXPECT_TRUE(h.hasKey("a"));
    EXPECT_EQ("Hash key not found : nope", missingKey(h, "nope"));
    EXPECT_EQ(7, h.remove("a"));
    EXPECT_EQ(0, h.remove("a"));
    EXPECT_EQ(0, h.getCount());
    EXPECT_FALSE(h.hasKey("a"));

    Hash<int, String> hNumbers;
    try {
        hNumbers.get(42);
        FAIL() << "no exception";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_STREQ("Hash key not found : 42", e.getMessage());
    }
}

TEST(Hash, CopiesAssignmentsAndOwnedValues) {
    Hash<String, int> hSmall(7);
    hSmall.set("x", 1);
    Hash<String, int> hBig;
    hBig.set("y", 2);
    hBig = hSmall;
    EXPECT_EQ(1, hBig.getCount());
    EXPECT_EQ(1, hBig.get("x"));
    hBig = hBig;
    EXPECT_EQ(1, hBig.get("x"));
    hBig.set("z", 3);
    EXPECT_FALSE(hSmall.hasKey("z"));
    hBig.clear();
    EXPECT_TRUE(hBig.isEmpty());
    EXPECT_FALSE(hBig.hasKey("x"));

    Hash<String, std::vector<int>*> hOwned;
    hOwned.set("a", new std::vector<int>(3));
    hOwned.set("b", new std::vector<int>(4));
    hOwned.deleteValues(); // leaks would fail the sanitizer run
    EXPECT_TRUE(hOwned.isEmpty());
}

// A table holds no buckets until its first insertion: every operation must work on one
// that never had any, and copies of it must fill in as the original would.
TEST(Hash, TablesNeverFilledAnswerEveryOperation) {
    Hash<String, int> hEmpty;
    EXPECT_FALSE(hEmpty.hasKey("a"));
    EXPECT_EQ(0, hEmpty.remove("a"));
    EXPECT_EQ(0, hEmpty.getKeys().getCount());
    EXPECT_EQ(0, hEmpty.getValues().getCount());
    EXPECT_EQ("Hash key not found : a", missingKey(hEmpty, "a"));
    hEmpty.clear();
    Hash<String, int*> hNoValues;
    hNoValues.deleteValues();

    Hash<String, int> hCopy(hEmpty);
    Hash<String, int> hAssigned(7);
    hAssigned.set("gone", 1);
    hAssigned = hEmpty;
    EXPECT_TRUE(hAssigned.isEmpty());
    EXPECT_FALSE(hAssigned.hasKey("gone"));
    std::vector<String> aKeys = {"walnut", "sea", "ice", "lime", "mint"};
    for (const String& sKey : aKeys) {
        hCopy[sKey] = 1;
        hAssigned[sKey] = 2;
    }
    std::vector<String> aCopyOrder;
    Tsl::List<String> lKeys = hCopy.getKeys();
    for (auto* p = lKeys.getHead(); p; p = p->pNext) aCopyOrder.push_back(p->data);
    EXPECT_EQ(expectedOrder(aKeys, Hash<String, int>::DEFAULT_BUCKETS), aCopyOrder);
    EXPECT_EQ(2, hAssigned.get("lime"));
}
