// The built-in scene: the same opaque pixels every time, at every size it can paint, and no size it cannot.

#include <gtest/gtest.h>

#include <cstring>

#include "scene/scene.h"

namespace {

TEST(Scene, SameOpaquePixelsEveryTimeAndOnlyAtSizesItCanPaint) {
    for (const auto& [width, height] : {std::pair(16, 4096), std::pair(320, 180)}) {
        const std::unique_ptr<host::Image> a = scene::makeScene(width, height), b = scene::makeScene(width, height);
        ASSERT_EQ(std::tuple(a->format(), a->width(), a->height()), std::tuple(PF_PixelFormat_ARGB32, width, height));
        for (int y = 0; y < height; ++y) {
            ASSERT_EQ(std::memcmp(&a->at<PF_Pixel>(0, y), &b->at<PF_Pixel>(0, y), width * sizeof(PF_Pixel)), 0) << y;
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(a->at<PF_Pixel>(x, y).alpha, 255) << x << ", " << y;
            }
        }
    }
    for (const auto& [width, height] : {std::pair(15, 100), std::pair(100, 4097), std::pair(4097, 100)}) {
        EXPECT_THROW(scene::makeScene(width, height), std::invalid_argument) << width << " x " << height;
    }
}

}  // namespace
