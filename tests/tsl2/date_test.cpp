#include "tsl2/date.h"

#include <gtest/gtest.h>

TEST(Date, FieldsAndFormat) {
    Tsl::Date date(2024, 2, 29, 13, 5, 9);
    EXPECT_EQ(2024, date.getYear());
    EXPECT_EQ(2, date.getMonth());
    EXPECT_EQ(29, date.getDay());
    EXPECT_EQ(13, date.getHour());
    EXPECT_EQ(5, date.getMinute());
    EXPECT_EQ(9, date.getSecond());
    EXPECT_EQ(4, date.getDayOfWeek()); // a Thursday
    EXPECT_EQ(Tsl::String("2024-02-29 13:05:09"), date.format("%Y-%m-%d %H:%M:%S"));
    EXPECT_EQ(date, Tsl::Date(date.getTime()));
}

TEST(Date, NormalisesAndFormatsLongPatterns) {
    Tsl::Date date(2023, 13, 1);
    EXPECT_EQ(2024, date.getYear());
    EXPECT_EQ(1, date.getMonth());
    EXPECT_TRUE(Tsl::Date(2023, 12, 31) < date);

    Tsl::String sPattern;
    for (int i = 0; i < 1000; ++i) sPattern += "%Y";
    EXPECT_EQ(4000, date.format(sPattern).getLength());
    EXPECT_TRUE(date.format("").isEmpty());
    EXPECT_TRUE(date.format(nullptr).isEmpty());
}

TEST(Date, NowIsTheCurrentTime) {
    std::time_t nBefore = std::time(nullptr);
    Tsl::Date now = Tsl::Date::now();
    EXPECT_GE(now.getTime(), nBefore);
    EXPECT_LE(now.getTime(), std::time(nullptr));
}
