#include <gtest/gtest.h>

#include <string>

#include "text/WideText.h"

using util::text::CharBoundary;
using util::text::kGbkCodePage;

namespace {

// "中文ab" in GBK: D6 D0 CE C4 61 62
const std::string kGbk = "\xD6\xD0\xCE\xC4" "ab";

TEST(CharBoundaryTest, GbkNeverEndsOnALeadByte) {
    CharBoundary cut(kGbkCodePage);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 0), 0u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 1), 0u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 2), 2u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 3), 2u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 4), 4u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 6), 6u);
}

TEST(CharBoundaryTest, GbkTrailByteThatLooksLikeALeadByte) {
    // "中中" is D6 D0 D6 D0; D0 is itself in the lead range, so only a walk from the start
    // tells that a cut after three bytes splits the second character.
    const std::string text = "\xD6\xD0\xD6\xD0";
    CharBoundary cut(kGbkCodePage);
    EXPECT_EQ(cut.CompletePrefix(text.data(), 3), 2u);
    EXPECT_EQ(cut.CompletePrefix(text.data(), 4), 4u);
}

TEST(CharBoundaryTest, Utf8WaitsForTheWholeSequence) {
    const std::string text = "a\xE4\xB8\xAD";  // "a中"
    CharBoundary cut(CP_UTF8);
    EXPECT_EQ(cut.CompletePrefix(text.data(), 2), 1u);
    EXPECT_EQ(cut.CompletePrefix(text.data(), 3), 1u);
    EXPECT_EQ(cut.CompletePrefix(text.data(), 4), 4u);
}

TEST(CharBoundaryTest, SingleByteCodePageCutsAnywhere) {
    CharBoundary cut(1252);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 1), 1u);
    EXPECT_EQ(cut.CompletePrefix(kGbk.data(), 3), 3u);
}

TEST(WideTextTest, GbkRoundTrip) {
    std::wstring wide = util::text::Widen(kGbk, kGbkCodePage);
    EXPECT_EQ(wide, L"\u4E2D\u6587ab");
    EXPECT_EQ(util::text::Narrow(wide, kGbkCodePage), kGbk);
    EXPECT_EQ(util::text::Widen("", kGbkCodePage), L"");
}

}  // namespace
