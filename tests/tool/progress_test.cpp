// The progress bar of a sequence on a terminal.

#include <gtest/gtest.h>

#include "render/progress.h"

namespace {

TEST(ProgressBar, RateAndTimeLeftOnceAFrameIsDone) {
    EXPECT_EQ(tiltshift::progressBar(0, 4, 0.5, 8), "[--------]  0/4 frames  -- fps  -- left");
    EXPECT_EQ(tiltshift::progressBar(1, 3, 2.0, 9), "[###------]  1/3 frames  0.5 fps  0:04 left");
    EXPECT_EQ(tiltshift::progressBar(100, 7300, 4.0, 10), "[----------]  100/7300 frames  25 fps  4:48 left");
    EXPECT_EQ(tiltshift::progressBar(10, 100000, 1.0, 4), "[----]  10/100000 frames  10 fps  2:46:39 left");
    EXPECT_EQ(tiltshift::progressBar(5, 5, 1.0, 4), "[####]  5/5 frames  5 fps  0:00 left");
    // A stream's frames are not known before it ends.
    EXPECT_EQ(tiltshift::progressBar(0, std::nullopt, 0.5, 8), "0 frames  -- fps");
    EXPECT_EQ(tiltshift::progressBar(12, std::nullopt, 4.0, 8), "12 frames  3 fps");
}

}  // namespace
