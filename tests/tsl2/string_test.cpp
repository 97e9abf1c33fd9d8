#include "tsl2/str.h"

#include <gtest/gtest.h>

#include <string>

using Tsl::String;

namespace {
String joined(const Tsl::List<String>& lParts) { return lParts.join("|"); }
} // namespace

TEST(String, ConstructionAssignmentAndNullTexts) {
    EXPECT_TRUE(String().isEmpty());
    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).isEmpty());
    EXPECT_TRUE(String(nullptr, 4).isEmpty());
    EXPECT_EQ(3, String("abcdef", 3).getLength());
    String s("abc");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.isEmpty());
    EXPECT_TRUE(s == static_cast<const char*>(nullptr));
    EXPECT_FALSE(String("x") == static_cast<const char*>(nullptr));
    // Assigning a text that points into the string itself.
    s = "hello world";
    s = s.c_str() + 6;
    EXPECT_EQ(String("world"), s);
    // A moved-from string is empty and still usable.
    String sMoved(std::move(s));
    EXPECT_TRUE(s.isEmpty());
    s += "again";
    s = sMoved;
    EXPECT_EQ(String("world"), s);
    String sTarget("old");
    sTarget = std::move(sMoved);
    EXPECT_EQ(String("world"), sTarget);
    sMoved = "reborn";
    EXPECT_EQ(String("reborn"), sMoved);
}

TEST(String, IndexingCountsNegativeIndicesFromTheEnd) {
    String s("abc");
    EXPECT_EQ('a', s[0]);
    EXPECT_EQ('c', s[-1]);
    EXPECT_EQ('a', s[-3]);
    s[-2] = 'X';
    EXPECT_EQ(String("aXc"), s);
    EXPECT_THROW(s[3], Tsl::BadParmException);
    EXPECT_THROW(s[-4], Tsl::BadParmException);
    EXPECT_THROW(String()[0], Tsl::BadParmException);
}

TEST(String, AppendingIncludingItself) {
    String s("ab");
    s += s;
    EXPECT_EQ(String("abab"), s);
    s += s.c_str();
    EXPECT_EQ(String("abababab"), s);
    s += 'c';
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(String("ababababc"), s);
    // Growing far past the first capacity keeps every byte.
    std::string sReference;
    String sLong;
    for (int i = 0; i < 500; ++i) {
        sLong += static_cast<char>('a' + i % 26);
        sReference += static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(sReference, sLong.c_str());
    EXPECT_EQ(String("xy"), String("x") + "y");
    EXPECT_EQ(String("xy"), "x" + String("y"));
    EXPECT_EQ(String("xy"), String("x") + String("y"));
}

TEST(String, EmbeddedZeroBytesAreKept) {
    String s("a\0b", 3);
    EXPECT_EQ(3, s.getLength());
    EXPECT_FALSE(s == "a");
    EXPECT_TRUE(s != String("a\0c", 3));
    String sCopy(s);
    sCopy += s;
    EXPECT_EQ(6, sCopy.getLength());
    EXPECT_EQ('b', sCopy[-1]);
    EXPECT_EQ(1, s.find('\0'));
    // A zero byte is never a delimiter.
    EXPECT_EQ(String("a\0b|c", 5), joined(String("a\0b c", 5).split()));
    EXPECT_EQ(String("A\0B", 3), s.toUpper());
}

TEST(String, ComparisonIsBytewise) {
    EXPECT_LT(String("a").compare(String("b")), 0);
    EXPECT_LT(String("ab").compare(String("abc")), 0);
    EXPECT_EQ(0, String("abc").compare(String("abc")));
    // Bytes above 0x7F sort after ASCII (unsigned comparison).
    EXPECT_TRUE(String("z") < String("\xE9"));
    EXPECT_TRUE(String("\xE9") > String("z"));
}

TEST(String, FindLeftRightSubstring) {
    String s("abcabc");
    EXPECT_EQ(1, s.find("bc"));
    EXPECT_EQ(4, s.find("bc", 2));
    EXPECT_EQ(-1, s.find("bc", 5));
    EXPECT_EQ(-1, s.find("bc", 100));
    EXPECT_EQ(0, s.find("ab", -5));
    EXPECT_EQ(2, s.find('c'));
    EXPECT_EQ(5, s.find('c', 3));
    EXPECT_EQ(-1, s.find('x'));
    EXPECT_EQ(2, s.find("", 2));
    EXPECT_EQ(2, s.find(static_cast<const char*>(nullptr), 2));

    EXPECT_EQ(String("abc"), s.left(3));
    EXPECT_EQ(String("abca"), s.left(-2));
    EXPECT_TRUE(s.left(-6).isEmpty());
    EXPECT_TRUE(s.left(-60).isEmpty());
    EXPECT_EQ(s, s.left(60));
    EXPECT_EQ(String("bc"), s.right(2));
    EXPECT_EQ(s, s.right(60));
    EXPECT_TRUE(s.right(0).isEmpty());
    EXPECT_EQ(String("cabc"), s.substringFrom(2));
    EXPECT_TRUE(s.substringFrom(6).isEmpty());
    EXPECT_EQ(s, s.substringFrom(-1));
}

TEST(String, TrimAndCase) {
    EXPECT_EQ(String("a b"), String(" \t\r\na b\n\r\t ").trim());
    EXPECT_TRUE(String(" \t\r\n").trim().isEmpty());
    EXPECT_EQ(String("abc\xC9"), String("AbC\xC9").toLower());
    EXPECT_EQ(String("ABC\xE9"), String("aBc\xE9").toUpper());
}

TEST(String, ReplaceAllScansOnAfterEachReplacement) {
    EXPECT_EQ(String("ba"), String("aaa").replaceAll("aa", "b"));
    EXPECT_EQ(String("aaaa"), String("aa").replaceAll("a", "aa"));
    EXPECT_EQ(String("x-y-z"), String("x, y, z").replaceAll(", ", "-"));
    EXPECT_EQ(String("xyz"), String("x..y..z").replaceAll(".", nullptr));
    EXPECT_EQ(String("abc"), String("abc").replaceAll("", "Q"));
    EXPECT_EQ(String("abc"), String("abc").replaceAll("abcd", "Q"));
}

TEST(String, SplitGivesTheNonEmptyRuns) {
    EXPECT_EQ(String("a|b|c"), joined(String("  a b  c ").split()));
    EXPECT_EQ(String("a|b|c"), joined(String("a,b;;c").split(",;")));
    EXPECT_EQ(String("a b"), joined(String("a b").split("")));
    EXPECT_EQ(0, String().split().getCount());
    EXPECT_EQ(0, String(",,,").split(",").getCount());
    // No trimming: only the delimiters cut.
    EXPECT_EQ(String(" a| b"), joined(String(" a, b").split(",")));
}

TEST(String, TokenizeByClassesAndDelimiters) {
    Tsl::List<String> lClasses;
    lClasses.append("abcdefghijklmnopqrstuvwxyz");
    lClasses.append("0123456789");
    lClasses.append("a0"); // never reached: the first class containing a byte wins
    EXPECT_EQ(String("ab|12|+|+|c|3"), joined(String("ab12++c3").tokenize(lClasses, "+")));
    // Bytes of no class form runs of their own; a delimiter always cuts.
    EXPECT_EQ(String("ab|!?|cd"), joined(String("ab!?cd").tokenize(lClasses, "")));
    EXPECT_EQ(String("a|,|b| |c"), joined(String("a,b c").tokenize(lClasses, ", ")));
    EXPECT_EQ(String("ab|,|ab"), joined(String("ab,ab").tokenize(lClasses, ",")));
    EXPECT_EQ(0, String().tokenize(lClasses, ",").getCount());
    EXPECT_EQ(String("xy"), joined(String("xy").tokenize(Tsl::List<String>(), nullptr)));
}

TEST(String, FormatHandlesLongTexts) {
    std::string sLong(100000, 'q');
    String s = String::format("[%s]%d", sLong.c_str(), 42);
    EXPECT_EQ(100004, s.getLength());
    EXPECT_EQ('2', s[-1]);
    EXPECT_TRUE(String::format("%s", "").isEmpty());
    String sTarget("old text");
    sTarget.sprintf("%05d|%s", 7, "x");
    EXPECT_EQ(String("00007|x"), sTarget);
    // The arguments may come from the target itself.
    sTarget.sprintf("%s%s", sTarget.c_str(), sTarget.c_str());
    EXPECT_EQ(String("00007|x00007|x"), sTarget);
}

TEST(String, NumbersAndBinaryEscapes) {
    EXPECT_EQ(0, String::toInt(nullptr));
    EXPECT_EQ(0, String::toInt(""));
    EXPECT_EQ(0, String::toInt("abc"));
    EXPECT_EQ(-12, String::toInt("  -12xyz"));
    EXPECT_FLOAT_EQ(0.0f, String::toFloat(nullptr));
    EXPECT_FLOAT_EQ(1.5f, String::toFloat("1.5e0s"));

    const unsigned char aBytes[] = {0x00, 0x01, 0x02, 0xFF, 0x00};
    String sEncoded = String::encodeBinary(aBytes, 5);
    EXPECT_EQ(String("\x01\x01\x01\x02\x02\xFF\x01\x01"), sEncoded);
    EXPECT_EQ(-1, sEncoded.find('\0'));
}

TEST(String, HashIsTimes31OverSignedBytesWithTerminator) {
    EXPECT_EQ(0u, Tsl::hashString(""));
    EXPECT_EQ(97u * 31u, Tsl::hashString("a"));
    EXPECT_EQ((97u * 31u + 98u) * 31u, Tsl::hashString("ab"));
    // 0xE9 counts as -23.
    EXPECT_EQ(static_cast<unsigned int>(-23 * 31), Tsl::hashString("\xE9"));
    EXPECT_EQ(static_cast<unsigned int>((97 * 31 - 23) * 31), Tsl::hashString("a\xE9"));
}
