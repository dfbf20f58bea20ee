// 16-bit scales and alpha association between files and the host's worlds.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "images/pixel_convert.h"

namespace {

using tiltshift::fileToWorld16;
using tiltshift::worldToFile16;

// Both directions give the nearest value of the other scale: the error is at
// most half a step, measured in units of 1/(32768 * 65535) of full scale.
TEST(Convert16, BothDirectionsRoundToTheNearestAndWorldValuesSurvive) {
    for (std::int64_t w = 0; w <= 32768; ++w) {
        const std::uint16_t f = worldToFile16(static_cast<std::uint16_t>(w));
        ASSERT_LE(std::llabs(f * 32768 - w * 65535), 32768 / 2) << "world value " << w;
        ASSERT_EQ(fileToWorld16(f), w) << "world value " << w;
    }
    for (std::int64_t f = 0; f <= 65535; ++f) {
        const std::int64_t w = fileToWorld16(static_cast<std::uint16_t>(f));
        ASSERT_LE(std::llabs(w * 65535 - f * 32768), 65535 / 2) << "file value " << f;
    }
    EXPECT_EQ(worldToFile16(32769), 65535) << "above full scale stays at full scale";
    EXPECT_EQ(worldToFile16(65535), 65535);
}

template <typename T>
std::vector<T> associated(bool pre, std::vector<T> rgba) {
    tiltshift::Raster<T> raster(1, 1);
    raster.rgba = std::move(rgba);
    pre ? tiltshift::premultiply(raster) : tiltshift::unpremultiply(raster);
    return raster.rgba;
}

TEST(Association, RoundsToTheNearestClampsAndLeavesClearPixelsAlone) {
    using V8 = std::vector<std::uint8_t>;
    EXPECT_EQ(associated<std::uint8_t>(true, {255, 1, 100, 128}), (V8{128, 1, 50, 128}));  // 0.502 → 1; 50.196 → 50
    EXPECT_EQ(associated<std::uint8_t>(false, {64, 1, 0, 128}), (V8{128, 2, 0, 128}));     // 127.5 → 128; 1.99 → 2
    // Colour above alpha is no associated colour; it cannot exceed full.
    EXPECT_EQ(associated<std::uint16_t>(false, {60000, 30000, 0, 30000}),
              (std::vector<std::uint16_t>{65535, 65535, 0, 30000}));
    EXPECT_EQ(associated<float>(false, {0.3f, 0.2f, 0.1f, 0.0f}), (std::vector<float>{0.3f, 0.2f, 0.1f, 0.0f}));
}

TEST(WorldPixels, ChannelsLandInTheHostsOrderAndScale) {
    tiltshift::Raster<std::uint16_t> raster(2, 1);
    raster.rgba = {65535, 0, 32768, 65535, 1, 2, 3, 0};
    const std::unique_ptr<host::Image> image = tiltshift::toImage(raster);
    const PF_Pixel16 first = image->at<PF_Pixel16>(0, 0);
    EXPECT_EQ((std::vector<int>{first.alpha, first.red, first.green, first.blue}),
              (std::vector<int>{32768, 32768, 0, 16384}));
    EXPECT_TRUE(tiltshift::hasTransparency(*image));
    EXPECT_TRUE(image->untouchedOutside());

    EXPECT_THROW(tiltshift::toRaster<float>(*image), std::logic_error);
    EXPECT_EQ(tiltshift::toRaster<std::uint16_t>(*image).rgba,
              (std::vector<std::uint16_t>{65535, 0, 32768, 65535, 2, 2, 4, 0}))
        << "1 and 3 are no world values; they come back as their nearest";
    // Other numbers of pixels than the world holds would be read past their end.
    EXPECT_THROW(tiltshift::eightBitImage(2, 2, std::vector<PF_Pixel>(3)), std::invalid_argument);
    const std::vector<PF_Pixel> pixels = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    const std::unique_ptr<host::Image> eight = tiltshift::eightBitImage(2, 2, pixels);
    EXPECT_EQ(tiltshift::eightBitPixels(*eight).back().blue, 16);
    EXPECT_TRUE(eight->untouchedOutside());
}

}  // namespace
