#include "tsl2/tokenfilereader.h"

#include <gtest/gtest.h>

namespace {
Tsl::String tokensOf(const Tsl::TokenFileReader& reader) { return reader.getTokens().join("|"); }
} // namespace

TEST(TokenFileReader, RefusesANullText) {
    try {
        Tsl::TokenFileReader reader(static_cast<const char*>(nullptr), "none.txt");
        FAIL() << "no exception";
    } catch (const Tsl::AssertFailException& e) {
        EXPECT_STREQ("Assertion failed : sChunk", e.getMessage());
    }
}

TEST(TokenFileReader, KeepsNonEmptyLinesWithoutComments) {
    const char* pszText =
        "load  a\tb\n"          // 1
        "\n"                    // 2
        "# only a comment\n"    // 3
        "  \t \r\n"             // 4
        "\tframe 3 # note\r\n"  // 5
        "last#tight";           // 6, no final newline
    Tsl::TokenFileReader reader(pszText, "test.anim");
    EXPECT_EQ(0, reader.getLineNumber());
    const Tsl::List<Tsl::String>* pTokens = &reader.getTokens();

    ASSERT_FALSE(reader.isEOF());
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(Tsl::String("load|a|b"), tokensOf(reader));
    EXPECT_EQ(1, reader.getLineNumber());

    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(Tsl::String("frame|3"), tokensOf(reader));
    EXPECT_EQ(5, reader.getLineNumber());
    EXPECT_EQ(Tsl::String("frame 3"), reader.getLine());

    ASSERT_FALSE(reader.isEOF());
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(Tsl::String("last"), tokensOf(reader));
    EXPECT_EQ(6, reader.getLineNumber());
    EXPECT_TRUE(reader.isEOF());
    EXPECT_EQ(pTokens, &reader.getTokens());

    // Reading past the end is harmless.
    EXPECT_FALSE(reader.nextLine());
    EXPECT_EQ(0, reader.getTokens().getCount());
    EXPECT_FALSE(reader.nextLine());
    EXPECT_TRUE(reader.isEOF());
}

TEST(TokenFileReader, EmptyAndCommentOnlyTextsHaveNoLines) {
    for (const char* pszText : {"", "\n\n", "# a\n#b\r\n   # c"}) {
        Tsl::TokenFileReader reader(pszText);
        EXPECT_TRUE(reader.isEOF()) << pszText;
        EXPECT_FALSE(reader.nextLine());
    }
}

TEST(TokenFileReader, ZeroBytesInATextSeparateTokens) {
    Tsl::String sText("a\0b\nc", 5);
    Tsl::TokenFileReader reader(sText, "bin");
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(2, reader.getTokens().getCount());
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(Tsl::String("c"), tokensOf(reader));
    EXPECT_EQ(2, reader.getLineNumber());
}

TEST(TokenFileReader, NeedTokensMessageNamesCommandFileAndLine) {
    Tsl::TokenFileReader reader("\n\nvcanvas  10 20   # short\n", "hero.spec");
    ASSERT_TRUE(reader.nextLine());
    EXPECT_EQ(Tsl::String("Command vcanvas in hero.spec, line 3 : need 5 tokens (Line = \"vcanvas  10 20\")"),
              reader.needTokensMessage(5));
    EXPECT_NO_THROW(reader.checkTokenCount(3));
    try {
        reader.checkTokenCount(5);
        FAIL() << "no exception";
    } catch (const Tsl::FatalErrorException& e) {
        EXPECT_EQ(reader.needTokensMessage(5), e.getMessage());
    }
}
