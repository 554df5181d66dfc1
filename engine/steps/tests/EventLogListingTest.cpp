#include <gtest/gtest.h>

#include "steps/EventLogListing.h"

namespace {

TEST(EventLogListingTest, NamesAreWholeLinesLongerThanOneCharacter) {
    const auto names = engine::steps::EventLogNames(L"Application\r\n\r\nX\r\nA/B\r\n\r\r\nSystem\r\nunfinished");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], L"Application");
    EXPECT_EQ(names[1], L"A/B");
    EXPECT_EQ(names[2], L"System");
    EXPECT_TRUE(engine::steps::EventLogNames(L"").empty());
}

}  // namespace
