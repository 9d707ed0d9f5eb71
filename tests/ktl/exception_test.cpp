// Tests of the exception family's texts and of the report of an uncaught exception.
#include "sdk/ktl/exception.h"

#include <gtest/gtest.h>

#include <thread>

using namespace KTL;

namespace {

TEST(Exception, EachClassHasItsNameAndDefaultText) {
    EXPECT_STREQ(CException().GetClassName(), "CException");
    EXPECT_STREQ(CException().what(), "CException");
    EXPECT_EQ(CNullPointerException().GetMessage(), "NULLポインタへのアクセス(CNullPointerException)");
    EXPECT_STREQ(CNullPointerException().GetClassName(), "CNullPointerException");
    EXPECT_EQ(CIndexOutOfBoundsException().GetMessage(), "配列の範囲外アクセス(CIndexOutOfBoundsException)");
    EXPECT_STREQ(CIndexOutOfBoundsException().GetClassName(), "CIndexOutOfBoundsException");
    EXPECT_EQ(CInterruptedException().GetMessage(), "スレッドへの割り込み(CInterruptedException)");
    EXPECT_EQ(CIllegalMonitorStateException().GetMessage(), "モニタの不正な状態(CIllegalMonitorStateException)");
    EXPECT_EQ(CRuntimeException().GetMessage(), "実行時例外(CRuntimeException)");
    EXPECT_EQ(CSyntaxException("line 3").GetMessage(), "line 3");
    EXPECT_STREQ(CSyntaxException("line 3").GetClassName(), "CSyntaxException");
}

TEST(Exception, CaughtAsTheBaseKeepsTheDerivedText) {
    try {
        throw CIllegalMonitorStateException();
    } catch (const CException& e) {
        EXPECT_STREQ(e.GetClassName(), "CIllegalMonitorStateException");
        EXPECT_STREQ(e.what(), "モニタの不正な状態(CIllegalMonitorStateException)");
    }
}

// An exception that nobody catches (here: escaping a thread's body) ends the program with its
// text on stderr.
TEST(ExceptionDeathTest, UncaughtExceptionPrintsItsText) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            InstallExceptionReporter();
            std::thread([] { throw CNullPointerException(); }).join();
        },
        "CNullPointerException: NULLポインタへのアクセス");
    EXPECT_DEATH(
        {
            InstallExceptionReporter();
            std::thread([] { throw CRuntimeException("custom text"); }).join();
        },
        "CRuntimeException: custom text");
}

} // namespace
