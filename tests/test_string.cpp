#include "framework/String.h"

#include <gtest/gtest.h>

TEST(CString, BufferProtocolTakesLengthFromTerminator)
{
    CString s;
    char* p = s.GetBuffer(10);
    lstrcpyA(p, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
    EXPECT_STREQ("abc", s);
}

TEST(CString, FormatGrowsPastAnyFixedBuffer)
{
    CString s;
    s.Format("%d,%d,%d,%d,%lu", -10, 20, 300, -4000, 536870912UL);
    EXPECT_STREQ("-10,20,300,-4000,536870912", s);
    CString big(std::string(5000, 'x'));
    CString t;
    t.Format("[%s]", (LPCSTR)big);
    EXPECT_EQ(5002, t.GetLength());
}

TEST(CString, SlicesClampOutOfRangeArguments)
{
    CString s("hello");
    EXPECT_STREQ("he", s.Left(2));
    EXPECT_STREQ("hello", s.Left(99));
    EXPECT_STREQ("", s.Mid(9));
    EXPECT_STREQ("lo", s.Right(2));
    EXPECT_EQ(-1, s.Find('z'));
    EXPECT_EQ(3, s.ReverseFind('l'));
    EXPECT_EQ(0, s.CompareNoCase("HELLO"));
}
