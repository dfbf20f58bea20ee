// 16-bit scales and alpha association between files and the host's worlds.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "images/pixel_convert.h"

namespace {

using tiltshift::fileToWorld16;
using tiltshift::worldToFile16;

TEST(Convert16, EveryWorldValueSurvivesTheFile) {
    for (std::uint32_t w = 0; w <= 32768; ++w) {
        ASSERT_EQ(fileToWorld16(worldToFile16(static_cast<std::uint16_t>(w))), w) << "world value " << w;
    }
    EXPECT_EQ(worldToFile16(32768), 65535);
    EXPECT_EQ(fileToWorld16(65535), 32768);
    EXPECT_EQ(worldToFile16(0), 0);
}

// Both directions give the nearest value of the other scale: the error is at
// most half a step, measured in units of 1/(32768 * 65535) of full scale.
TEST(Convert16, BothDirectionsRoundToTheNearest) {
    for (std::int64_t w = 0; w <= 32768; ++w) {
        const std::int64_t f = worldToFile16(static_cast<std::uint16_t>(w));
        ASSERT_LE(std::llabs(f * 32768 - w * 65535), 32768 / 2) << "world value " << w;
    }
    for (std::int64_t f = 0; f <= 65535; ++f) {
        const std::int64_t w = fileToWorld16(static_cast<std::uint16_t>(f));
        ASSERT_LE(std::llabs(w * 65535 - f * 32768), 65535 / 2) << "file value " << f;
    }
}

TEST(Convert16, WorldValuesAboveFullScaleStayAtFullScale) {
    EXPECT_EQ(worldToFile16(32769), 65535);
    EXPECT_EQ(worldToFile16(65535), 65535);
}

tiltshift::Raster<std::uint8_t> onePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    tiltshift::Raster<std::uint8_t> raster(1, 1);
    raster.rgba = {r, g, b, a};
    return raster;
}

TEST(Association, IntegerChannelsRoundToTheNearest) {
    tiltshift::Raster<std::uint8_t> p = onePixel(255, 1, 100, 128);
    tiltshift::premultiply(p);
    EXPECT_EQ(p.rgba, (std::vector<std::uint8_t>{128, 1, 50, 128}));  // 0.502 → 1; 50.196 → 50

    p = onePixel(64, 1, 0, 128);
    tiltshift::unpremultiply(p);
    EXPECT_EQ(p.rgba, (std::vector<std::uint8_t>{128, 2, 0, 128}));  // 127.5 → 128; 1.99 → 2
}

TEST(Association, UnpremultiplyClampsAndLeavesClearPixelsAlone) {
    // Colour above alpha is no associated colour; it cannot exceed full.
    tiltshift::Raster<std::uint16_t> over(1, 1);
    over.rgba = {60000, 30000, 0, 30000};
    tiltshift::unpremultiply(over);
    EXPECT_EQ(over.rgba, (std::vector<std::uint16_t>{65535, 65535, 0, 30000}));

    tiltshift::Raster<float> clear(1, 1);
    clear.rgba = {0.3f, 0.2f, 0.1f, 0.0f};
    tiltshift::unpremultiply(clear);
    EXPECT_EQ(clear.rgba, (std::vector<float>{0.3f, 0.2f, 0.1f, 0.0f}));
}

TEST(WorldPixels, ChannelsLandInTheHostsOrderAndScale) {
    tiltshift::Raster<std::uint16_t> raster(2, 1);
    raster.rgba = {65535, 0, 32768, 65535, 1, 2, 3, 0};
    const std::unique_ptr<host::Image> image = tiltshift::toImage(raster);
    const PF_Pixel16 first = image->at<PF_Pixel16>(0, 0);
    EXPECT_EQ(first.alpha, 32768);
    EXPECT_EQ(first.red, 32768);
    EXPECT_EQ(first.green, 0);
    EXPECT_EQ(first.blue, 16384);
    EXPECT_TRUE(tiltshift::hasTransparency(*image));
    EXPECT_TRUE(image->untouchedOutside());

    EXPECT_THROW(tiltshift::toRaster<float>(*image), std::logic_error);
    EXPECT_EQ(tiltshift::toRaster<std::uint16_t>(*image).rgba,
              (std::vector<std::uint16_t>{65535, 0, 32768, 65535, 2, 2, 4, 0}))
        << "1 and 3 are no world values; they come back as their nearest";
}

}  // namespace
