// Frame patterns, frame ranges, the frames a render goes through, and the
// progress bar of a sequence on a terminal.

#include <gtest/gtest.h>

#include "render/progress.h"
#include "render/sequence.h"
#include "tool_files.h"

namespace {

using tiltshift::FramePattern;
using tiltshift::FrameRange;
using tiltshift::planFrames;
using tiltshift::UsageError;

TEST(FramePattern, NumbersFramesAsPrintfWouldAndNothingElseIsAPattern) {
    const std::tuple<const char*, int, const char*> cases[] = {{"shot.%04d.exr", 7, "shot.0007.exr"},
        {"shot.%04d.exr", 123456, "shot.123456.exr"}, {"dir.v2/f%d", 12, "dir.v2/f12"}, {"50%_%03d.png", 5, "50%_005.png"}};
    for (const auto& [pattern, frame, path] : cases) {
        EXPECT_EQ(FramePattern::parse(pattern)->path(frame), path);
    }
    for (const char* path : {"shot.exr", "50%.png", "a%s.png", "a%0d.png", "a%x.png", "a%"}) {
        EXPECT_FALSE(FramePattern::parse(path)) << path;
    }
    // One number, in the file name; printf would pad %4d with spaces, and as
    // a plain name it would overwrite one file each frame.
    for (const char* bad : {"a%d_%04d.png", "take%d/frame.png", "a%4d.png", "a%12d.png"}) {
        EXPECT_THROW(FramePattern::parse(bad), UsageError) << bad;
    }
}

TEST(FramePattern, FramesOnDiskAreThoseThePatternNames) {
    test::TempDir dir;
    for (const char* name : {"shot.0010.png", "shot.0001.png", "shot.0002.png", "shot.7.png", "shot.00003.png",
                             ".shot.0004.png.tmp", "shot.0005.png.bak", "shot.x.png", "other.0006.png"}) {
        test::writeText(dir / name, "");
    }
    EXPECT_EQ(FramePattern::parse(dir / "shot.%04d.png")->framesOnDisk(), (std::vector<int>{1, 2, 10}));
    EXPECT_EQ(FramePattern::parse(dir / "shot.%d.png")->framesOnDisk(), (std::vector<int>{7}));
    EXPECT_TRUE(FramePattern::parse(dir / "nothing/shot.%d.png")->framesOnDisk().empty());
}

TEST(FrameRange, FirstToLastOrOneFrame) {
    EXPECT_EQ(std::pair(tiltshift::parseFrameRange("1-240").first, tiltshift::parseFrameRange("1-240").last), std::pair(1, 240));
    EXPECT_EQ(std::pair(tiltshift::parseFrameRange("0").first, tiltshift::parseFrameRange("0").last), std::pair(0, 0));
    for (const char* bad : {"", "a", "3-1", "-5", "1-", "1-2-3", "1.5", "1 - 3", "9999999999"}) {
        EXPECT_THROW(tiltshift::parseFrameRange(bad), UsageError) << bad;
    }
}

TEST(FramePlan, PatternInputRendersItsFramesOnDiskOrThoseAsked) {
    test::TempDir dir;
    for (const char* name : {"in.01.png", "in.02.png", "in.04.png"}) {
        test::writeText(dir / name, "");
    }
    const tiltshift::FramePlan plan = planFrames(dir / "in.%02d.png", dir / "out.%d.tif", std::nullopt);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(std::tuple(plan[2].frame, plan[2].input, plan[2].output), std::tuple(4, dir / "in.04.png", dir / "out.4.tif"));
    EXPECT_EQ(planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 2}).size(), 2u);
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 4}); }),
              "input frame 3 is missing: " + dir / "in.03.png");
    EXPECT_THROW(planFrames(dir / "none.%02d.png", dir / "o.%d.png", std::nullopt), std::runtime_error);
}

// A still renders at each frame of a range, or once at frame 0. No range is
// listed ahead: a billion frames cost nothing until rendered.
TEST(FramePlan, StillInputsAndRangesThatAreNotListedAhead) {
    test::TempDir dir;
    test::writeText(dir / "still.png", "");
    const auto plan = planFrames(dir / "still.png", dir / "o.%d.png", FrameRange{0, 999999999});
    ASSERT_EQ(plan.size(), 1000000000u);
    EXPECT_EQ(std::tuple(plan[0].input, plan[0].output), std::tuple(dir / "still.png", dir / "o.0.png"));
    EXPECT_EQ(std::tuple(plan[999999999].frame, plan[999999999].output), std::tuple(999999999, dir / "o.999999999.png"));
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", std::nullopt).front().frame, 0);
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", FrameRange{9, 9}).front().frame, 9);
    EXPECT_THROW(planFrames(dir / "gone.png", dir / "o.png", std::nullopt), std::runtime_error);
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / ".", dir / "o.png", std::nullopt); }),
              dir / "." + " is a folder, not an image file");
    test::writeText(dir / "in.0.png", "");
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / "in.%d.png", dir / "o.%d.png", FrameRange{0, 999999999}); }),
              "input frame 1 is missing: " + dir / "in.1.png");
    EXPECT_THROW(planFrames(dir / "in.%d.png", dir / "o.png", std::nullopt), UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.%d.png", std::nullopt), UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.png", FrameRange{1, 2}), UsageError);
}

TEST(ProgressBar, RateAndTimeLeftOnceAFrameIsDone) {
    EXPECT_EQ(tiltshift::progressBar(0, 4, 0.5, 8), "[--------]  0/4 frames  -- fps  -- left");
    EXPECT_EQ(tiltshift::progressBar(1, 3, 2.0, 9), "[###------]  1/3 frames  0.5 fps  0:04 left");
    EXPECT_EQ(tiltshift::progressBar(100, 7300, 4.0, 10), "[----------]  100/7300 frames  25 fps  4:48 left");
    EXPECT_EQ(tiltshift::progressBar(10, 100000, 1.0, 4), "[----]  10/100000 frames  10 fps  2:46:39 left");
    EXPECT_EQ(tiltshift::progressBar(5, 5, 1.0, 4), "[####]  5/5 frames  5 fps  0:00 left");
    EXPECT_EQ(tiltshift::progressBar(0, 0, 0.5, 4), "[####]  0/0 frames  -- fps  -- left") << "no frames: done";
    // A stream's frames are not known before it ends.
    EXPECT_EQ(tiltshift::progressBar(0, std::nullopt, 0.5, 8), "0 frames  -- fps");
    EXPECT_EQ(tiltshift::progressBar(12, std::nullopt, 4.0, 8), "12 frames  3 fps");
}

}  // namespace
