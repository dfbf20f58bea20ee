// The fixed-point rules of the user-interface conversions; the converters'
// way through the host is tested where the plug-in draws and edits.

#include <gtest/gtest.h>

#include <limits>

#include "custom_ui/fixed.h"
#include "custom_ui/frame_func.h"

namespace {

using namespace Nerevo;

// Halves round away from zero, values beyond the range hold at its limits,
// and whole pixels round down.
TEST(Fixed, ConversionsRoundAndHoldAtTheLimits) {
    constexpr PF_Fixed max = std::numeric_limits<PF_Fixed>::max();
    constexpr PF_Fixed min = std::numeric_limits<PF_Fixed>::min();
    const std::pair<double, PF_Fixed> fromDouble[] = {
        {0.5 / 65536, 1}, {-0.5 / 65536, -1}, {0.49 / 65536, 0}, {1.25, 81920}, {-1.25, -81920},
        {105000.0, max},  {-105000.0, min},   {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [value, fixed] : fromDouble) {
        EXPECT_EQ(doubleToFixed(value), fixed) << value;
    }
    const std::pair<int, PF_Fixed> fromWhole[] = {{32767, 32767 * 65536}, {-32768, min}, {40000, max}, {-40000, min}};
    for (const auto& [value, fixed] : fromWhole) {
        EXPECT_EQ(wholeToFixed(value), fixed) << value;
    }
    const std::pair<PF_Fixed, int> toWhole[] = {{-98304, -2}, {163840, 2}, {-65536, -1}, {-1, -1}};
    for (const auto& [fixed, whole] : toWhole) {
        EXPECT_EQ(fixedToWhole(fixed), whole) << fixed;
    }
    // No context, or a context handle to none: no panel to convert for.
    EXPECT_EQ(windowType(nullptr), PF_Window_NONE);
    PF_Context* none = nullptr;
    PF_EventExtra extra{};
    extra.contextH = &none;
    EXPECT_EQ(windowType(&extra), PF_Window_NONE);
}

}  // namespace
