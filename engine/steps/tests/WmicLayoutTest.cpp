#include <gtest/gtest.h>

#include "steps/WmicLayout.h"

using namespace engine::steps;

namespace {

const std::vector<std::wstring> kNames = {L"Caption", L"Name", L"Note"};

TEST(ListFullTextTest, TwoBlankLinesBeforeEachInstanceAndTwoAtTheEnd) {
    const std::vector<WmiInstance> instances = {
        {L"中文标题", L"", L"一\r\n二\n三\r四"},
        {L"b"},  // values it lacks are empty
    };
    EXPECT_EQ(ListFullText(kNames, instances),
              L"\r\n\r\nCaption=中文标题\r\nName=\r\nNote=一\r\n二\r\n三\r\n四\r\n"
              L"\r\n\r\nCaption=b\r\nName=\r\nNote=\r\n"
              L"\r\n\r\n");
}

TEST(ListFullTextTest, NoInstanceNoText) {
    EXPECT_EQ(ListFullText(kNames, {}), L"");
    EXPECT_EQ(TableText(kNames, {}), L"");
}

TEST(TableTextTest, ColumnsAsWideAsTheLongestEntryPlusTwo) {
    const std::vector<WmiInstance> instances = {
        {L"很长的中文标题文字", L"n", L"a\r\nb"},
        {L"c", L"", L"longer note"},
    };
    // Caption: 9 characters of value beat 7 of the name; Name: the name wins; a line break
    // inside a value becomes a blank.
    EXPECT_EQ(TableText(kNames, instances),
              L"Caption    Name  Note         \r\n"
              L"很长的中文标题文字  n     a b          \r\n"
              L"c          "      L"      longer note  \r\n"
              L"\r\n");
}

TEST(Utf16LeWithBomTest, ByteOrderMarkThenLittleEndianUnits) {
    EXPECT_EQ(Utf16LeWithBom(L"A中\r\n"), std::string("\xFF\xFE" "A\0" "\x2D\x4E" "\r\0" "\n\0", 10));
    EXPECT_EQ(Utf16LeWithBom(L""), "\xFF\xFE");
}

}  // namespace
