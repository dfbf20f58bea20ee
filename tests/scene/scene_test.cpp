// The built-in scene: the same every time, opaque, with the fine detail and
// highlights the effect is shown on.

#include <gtest/gtest.h>

#include <cstring>

#include "scene/scene.h"

namespace {

TEST(Scene, SameOpaquePixelsEveryTimeWithHighlightsAndShadows) {
    const std::unique_ptr<host::Image> a = scene::makeScene(320, 180);
    const std::unique_ptr<host::Image> b = scene::makeScene(320, 180);
    ASSERT_EQ(a->format(), PF_PixelFormat_ARGB32);
    ASSERT_EQ(a->width(), 320);
    ASSERT_EQ(a->height(), 180);
    int highlights = 0, dark = 0;
    for (int y = 0; y < 180; ++y) {
        ASSERT_EQ(std::memcmp(&a->at<PF_Pixel>(0, y), &b->at<PF_Pixel>(0, y), 320 * sizeof(PF_Pixel)), 0) << y;
        for (int x = 0; x < 320; ++x) {
            const PF_Pixel p = a->at<PF_Pixel>(x, y);
            ASSERT_EQ(p.alpha, 255) << x << ", " << y;
            highlights += p.red == 255 && p.green >= 230;
            dark += p.red < 40 && p.green < 40 && p.blue < 40;
        }
    }
    EXPECT_GT(highlights, 20);
    EXPECT_GT(dark, 20);
    EXPECT_THROW(scene::makeScene(15, 100), std::invalid_argument);
    EXPECT_THROW(scene::makeScene(100, 4097), std::invalid_argument);
}

}  // namespace
