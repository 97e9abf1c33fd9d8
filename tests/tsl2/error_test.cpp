#include "tsl2/error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int throwingLine = 0;

void innermost() {
    TSL_TRACE();
    Tsl::traceSetNote("loading hero");
    throwingLine = __LINE__ + 1;
    TSL_THROW(ResourceException, "Missing %s (%d)", "hero", 3);
}

void outer() {
    TSL_TRACE();
    innermost();
}

void recurse(int nLeft) {
    TSL_TRACE();
    if (nLeft > 0) {
        recurse(nLeft - 1);
        return;
    }
    Tsl::traceSetNote("bottom"); // past the stored frames: must not write anywhere
    Tsl::traceAppendNote("more");
    TSL_THROW(FatalErrorException, "deep");
}

} // namespace

TEST(Exception, TextCarriesTypeFileLineAndMessage) {
    try {
        outer();
        FAIL() << "no exception";
    } catch (const Tsl::Exception& e) {
        EXPECT_STREQ("ResourceException", e.getTypeName());
        EXPECT_STREQ("Missing hero (3)", e.getMessage());
        EXPECT_EQ(throwingLine, e.getLine());
        EXPECT_STREQ(__FILE__, e.getFile());
        std::string sExpected = std::string("ResourceException in file ") + __FILE__ + ", line " +
                                std::to_string(throwingLine) + " : \nMissing hero (3)";
        EXPECT_EQ(sExpected, e.getText());
        EXPECT_EQ(sExpected, e.what());
        // Innermost frame first, with its note.
        const std::string& sTrace = e.getTrace();
        size_t nInner = sTrace.find("innermost");
        size_t nOuter = sTrace.find("outer");
        ASSERT_NE(std::string::npos, nInner);
        ASSERT_NE(std::string::npos, nOuter);
        EXPECT_LT(nInner, nOuter);
        EXPECT_NE(std::string::npos, sTrace.find("[loading hero]"));
    }
    EXPECT_EQ(0, Tsl::TraceStack::getDepth());
}

TEST(Exception, AssertionsNameTheExpression) {
    int n = 2;
    try {
        TSL_ASSERT(n == 1);
        FAIL() << "no exception";
    } catch (const Tsl::AssertFailException& e) {
        EXPECT_STREQ("Assertion failed : n == 1", e.getMessage());
        EXPECT_STREQ("AssertFailException", e.getTypeName());
    }
    EXPECT_NO_THROW(TSL_ASSERT(n == 2));
}

TEST(Exception, NotesAreCappedAt255Characters) {
    TSL_TRACE();
    std::string sLong(300, 'n');
    Tsl::traceSetNote(sLong.c_str());
    const Tsl::TraceFrame& frame = Tsl::TraceStack::getFrame(Tsl::TraceStack::getStoredDepth() - 1);
    EXPECT_EQ(255u, std::strlen(frame.szNote));
    Tsl::traceSetNote(std::string(250, 'a').c_str());
    Tsl::traceAppendNote("0123456789");
    EXPECT_EQ(std::string(250, 'a') + "01234", frame.szNote);
    Tsl::traceSetNote(nullptr);
    EXPECT_STREQ("", frame.szNote);
    Tsl::traceAppendNote("x");
    Tsl::traceAppendNote(nullptr);
    EXPECT_STREQ("x", frame.szNote);
}

TEST(Exception, StacksDeeperThanTheCapacityAreCounted) {
    try {
        recurse(3000);
        FAIL() << "no exception";
    } catch (const Tsl::FatalErrorException& e) {
        const std::string& sTrace = e.getTrace();
        EXPECT_EQ(0u, sTrace.find("  (953 frames not recorded)\n"));
        EXPECT_EQ(std::string::npos, sTrace.find("bottom"));
    }
    EXPECT_EQ(0, Tsl::TraceStack::getDepth());
    // The stack works as before once it is back under the limit.
    TSL_TRACE();
    EXPECT_EQ(1, Tsl::TraceStack::getDepth());
    Tsl::traceSetNote("fine");
    EXPECT_STREQ("fine", Tsl::TraceStack::getFrame(0).szNote);
}

TEST(Exception, LongMessagesAreKeptWhole) {
    std::string sLong(5000, 'm');
    Tsl::BadParmException e(__FILE__, __LINE__, Tsl::formatMessage("%s!", sLong.c_str()).c_str());
    EXPECT_EQ(5001u, std::strlen(e.getMessage()));
    Tsl::Exception plain(nullptr, 0, nullptr);
    EXPECT_STREQ("Exception in file , line 0 : \n", plain.what());
}
