#include <gtest/gtest.h>

#include "Params.h"

namespace {

TEST(ConvertBlendingMode, SeparatorsMapLikeTheItemBeforeThemAndStrayItemsToNormal) {
    const int expected[21] = {0, 0, 0, 2, 3, 4, 5, 6, 7, 7, 8, 9, 9, 10, 11, 12, 13, 13, 14, 15, 16};
    for (int item = 0; item <= 20; ++item) {
        EXPECT_EQ(static_cast<int>(convertBlendingMode(item)), expected[item]) << "item " << item;
    }
    EXPECT_EQ(static_cast<int>(convertBlendingMode(21)), 0);
    EXPECT_EQ(static_cast<int>(convertBlendingMode(-3)), 0);
}

}  // namespace
