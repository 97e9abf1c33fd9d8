#include "tsl2/hash.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) {
    Tsl::Hash<Tsl::String, int> h;
    h.set("a", 1);
    Tsl::List<Tsl::String> l = Tsl::String("a b  c").split();
    EXPECT_EQ(3, l.getCount());
    EXPECT_EQ(1, h.get("a"));
}
