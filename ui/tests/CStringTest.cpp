#include "CString.h"

#include <gtest/gtest.h>

TEST(CStringTest, PiecesClipAtTheEnds) {
    CString s(L"C:\\OrvaneTavlin\\信息收集.7z");
    EXPECT_EQ(s.GetLength(), 23);
    EXPECT_EQ(s.Left(2), L"C:");
    EXPECT_EQ(s.Left(99), s);
    EXPECT_TRUE(s.Left(-1).IsEmpty());
    EXPECT_EQ(s.Mid(16), L"信息收集.7z");
    EXPECT_EQ(s.Mid(16, 4), L"信息收集");
    EXPECT_TRUE(s.Mid(40).IsEmpty());
    EXPECT_EQ(s.Right(3), L".7z");
}

TEST(CStringTest, FindAndReverseFind) {
    CString s(L"a\\b\\c");
    EXPECT_EQ(s.Find(L'\\'), 1);
    EXPECT_EQ(s.Find(L'\\', 2), 3);
    EXPECT_EQ(s.Find(L"b\\c"), 2);
    EXPECT_EQ(s.Find(L'x'), -1);
    EXPECT_EQ(s.Find(L"c", 9), -1);
    EXPECT_EQ(s.ReverseFind(L'\\'), 3);
}

TEST(CStringTest, FormatUsesWideStringsAndGrows) {
    CString s;
    s.Format(L"%s=%d", L"收集", 42);
    EXPECT_EQ(s, L"收集=42");
    std::wstring longText(3000, L'x');
    s.Format(L"[%s]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 3002);
    s.AppendFormat(L"%03d", 7);
    EXPECT_EQ(s.Right(3), L"007");
}

TEST(CStringTest, TrimRightRemovesEveryTrailingBackslash) {
    CString s(L"C:\\dir\\\\\\");
    s.TrimRight(L'\\');
    EXPECT_EQ(s, L"C:\\dir");
    CString only(L"\\\\");
    EXPECT_TRUE(only.TrimRight(L'\\').IsEmpty());
}

TEST(CStringTest, ComparisonAndConcatenation) {
    CString a(L"abc");
    EXPECT_TRUE(a == L"abc");
    EXPECT_TRUE(a != L"abd");
    EXPECT_LT(a.Compare(L"abd"), 0);
    EXPECT_EQ(a.CompareNoCase(L"ABC"), 0);
    EXPECT_EQ(a + L"\\" + CString(L"信息"), L"abc\\信息");
    EXPECT_EQ(CString(L"x") + L'y', L"xy");
    EXPECT_EQ(wcslen(static_cast<LPCWSTR>(a)), 3u);
    CString r(L"a-b-c");
    EXPECT_EQ(r.Replace(L"-", L"--"), 2);
    EXPECT_EQ(r, L"a--b--c");
}
