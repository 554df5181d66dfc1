#include <gtest/gtest.h>

#include "text/Base64.h"

using namespace util::text;

namespace {

TEST(Base64Test, KnownEncodingsWithEachPaddingLength) {
    // "A" is 41 00 (2 bytes, one "="), "AB" 4 bytes (two "="), "ABC" 6 bytes (none).
    EXPECT_EQ(Utf16Base64(L""), L"");
    EXPECT_EQ(Utf16Base64(L"A"), L"QQA=");
    EXPECT_EQ(Utf16Base64(L"AB"), L"QQBCAA==");
    EXPECT_EQ(Utf16Base64(L"ABC"), L"QQBCAEMA");
    // Bytes above 0x7F and the last two digits of the alphabet.
    EXPECT_EQ(Utf16Base64(L"\xFBFF"), L"//s=");
}

TEST(Base64Test, RoundTripKeepsChineseQuotesAndControls) {
    const std::wstring text = L"中文 \"q\" 'a' & % ! ^ ( ) \r\n\t\x0001 \xD83D\xDE00";
    std::wstring back;
    ASSERT_TRUE(Utf16FromBase64(Utf16Base64(text), back));
    EXPECT_EQ(back, text);
}

TEST(Base64Test, RejectsWhatIsNotBase64OfUtf16) {
    std::wstring out = L"unchanged";
    EXPECT_FALSE(Utf16FromBase64(L"QQA", out));        // length not a multiple of four
    EXPECT_FALSE(Utf16FromBase64(L"QQ==", out));       // one byte: not UTF-16
    EXPECT_FALSE(Utf16FromBase64(L"Q=A=", out));       // data after padding
    EXPECT_FALSE(Utf16FromBase64(L"QQA=QQA=", out));   // padding before the end
    EXPECT_FALSE(Utf16FromBase64(L"QQ A", out));       // a character outside the alphabet
    EXPECT_EQ(out, L"unchanged");
}

}  // namespace
