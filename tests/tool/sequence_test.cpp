// Frame patterns, frame ranges and the frames a render goes through.

#include <gtest/gtest.h>

#include "cli/arguments.h"
#include "render/sequence.h"
#include "tool_files.h"

namespace {

using tiltshift::FramePattern;
using tiltshift::FrameRange;
using tiltshift::planFrames;

TEST(FramePattern, NumbersFramesAsPrintfWould) {
    EXPECT_EQ(FramePattern::parse("shot.%04d.exr")->path(7), "shot.0007.exr");
    EXPECT_EQ(FramePattern::parse("shot.%04d.exr")->path(123456), "shot.123456.exr");
    EXPECT_EQ(FramePattern::parse("dir.v2/f%d")->path(12), "dir.v2/f12");
    EXPECT_EQ(FramePattern::parse("50%_%03d.png")->path(5), "50%_005.png");
}

TEST(FramePattern, OtherPercentSignsAreNoPattern) {
    for (const char* path : {"shot.exr", "50%.png", "a%s.png", "a%0d.png", "a%x.png", "a%"}) {
        EXPECT_FALSE(FramePattern::parse(path)) << path;
    }
}

TEST(FramePattern, OneNumberInTheFileName) {
    EXPECT_THROW(FramePattern::parse("a%d_%04d.png"), tiltshift::UsageError);
    EXPECT_THROW(FramePattern::parse("take%d/frame.png"), tiltshift::UsageError);
    // printf would pad with spaces; taken as a plain name it would overwrite one file each frame.
    for (const char* spaces : {"a%4d.png", "a%12d.png"}) {
        EXPECT_THROW(FramePattern::parse(spaces), tiltshift::UsageError) << spaces;
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
    const FrameRange range = tiltshift::parseFrameRange("1-240");
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last, 240);
    EXPECT_EQ(tiltshift::parseFrameRange("0").last, 0);
    for (const char* bad : {"", "a", "3-1", "-5", "1-", "1-2-3", "1.5", "1 - 3", "9999999999"}) {
        EXPECT_THROW(tiltshift::parseFrameRange(bad), tiltshift::UsageError) << bad;
    }
}

TEST(FramePlan, PatternInputRendersItsFramesOnDiskOrThoseAsked) {
    test::TempDir dir;
    for (const char* name : {"in.01.png", "in.02.png", "in.04.png"}) {
        test::writeText(dir / name, "");
    }
    const tiltshift::FramePlan plan = planFrames(dir / "in.%02d.png", dir / "out.%d.tif", std::nullopt);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[2].frame, 4);
    EXPECT_EQ(plan[2].input, dir / "in.04.png");
    EXPECT_EQ(plan[2].output, dir / "out.4.tif");

    EXPECT_EQ(planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 2}).size(), 2u);
    try {
        planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 4});
        ADD_FAILURE() << "frame 3 is missing";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "input frame 3 is missing: " + dir / "in.03.png");
    }
    EXPECT_THROW(planFrames(dir / "none.%02d.png", dir / "o.%d.png", std::nullopt), std::runtime_error);
}

TEST(FramePlan, StillInputs) {
    test::TempDir dir;
    test::writeText(dir / "still.png", "");
    // A still into a sequence renders it at each frame time.
    const auto plan = planFrames(dir / "still.png", dir / "o.%d.png", FrameRange{3, 5});
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].input, dir / "still.png");
    EXPECT_EQ(plan[0].output, dir / "o.3.png");
    // A still into a file renders frame 0, or the one frame asked.
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", std::nullopt).front().frame, 0);
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", FrameRange{9, 9}).front().frame, 9);
    EXPECT_THROW(planFrames(dir / "gone.png", dir / "o.png", std::nullopt), std::runtime_error);
    try {
        planFrames(dir / ".", dir / "o.png", std::nullopt);
        ADD_FAILURE() << "a folder is no input";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), dir / "." + " is a folder, not an image file");
    }
}

// No range is listed ahead of its render: a billion frames cost nothing
// until rendered, and the first missing input is found without the rest.
TEST(FramePlan, RangesAreNotListedAhead) {
    test::TempDir dir;
    test::writeText(dir / "still.png", "");
    test::writeText(dir / "in.0.png", "");
    const auto plan = planFrames(dir / "still.png", dir / "o.%d.png", FrameRange{0, 999999999});
    EXPECT_EQ(plan.size(), 1000000000u);
    EXPECT_EQ(plan[999999999].frame, 999999999);
    EXPECT_EQ(plan[999999999].output, dir / "o.999999999.png");
    try {
        planFrames(dir / "in.%d.png", dir / "o.%d.png", FrameRange{0, 999999999});
        ADD_FAILURE() << "frame 1 is missing";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "input frame 1 is missing: " + dir / "in.1.png");
    }
}

TEST(FramePlan, CombinationsThatDoNotFitAreUsageErrors) {
    test::TempDir dir;
    test::writeText(dir / "still.png", "");
    test::writeText(dir / "in.1.png", "");
    EXPECT_THROW(planFrames(dir / "in.%d.png", dir / "o.png", std::nullopt), tiltshift::UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.%d.png", std::nullopt), tiltshift::UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.png", FrameRange{1, 2}), tiltshift::UsageError);
}

}  // namespace
