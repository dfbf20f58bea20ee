// The fixed-point rules of the user-interface conversions, and the order in
// which the converters call the host.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

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
}

// A host whose conversions record themselves and move the point by a fixed
// amount each, so that order and the input read are visible.
struct Recorder {
    std::vector<std::string> calls;
    PF_Err sourceToFrameErr = PF_Err_NONE;
};
Recorder* recorder = nullptr;

PF_Err layerToComp(void*, PF_ContextH, A_long, A_long, PF_FixedPoint* pt) {
    recorder->calls.push_back("layer_to_comp");
    pt->x += 65536;
    return PF_Err_NONE;
}
PF_Err compToLayer(void*, PF_ContextH, A_long time, A_long scale, PF_FixedPoint* pt) {
    recorder->calls.push_back("comp_to_layer " + std::to_string(time) + "/" + std::to_string(scale));
    pt->x -= 65536;
    return PF_Err_OUT_OF_MEMORY;
}
PF_Err sourceToFrame(void*, PF_ContextH, PF_FixedPoint* pt) {
    recorder->calls.push_back("source_to_frame");
    pt->x *= 2;
    pt->y *= 2;
    return recorder->sourceToFrameErr;
}
// Puts the point at (-1.5, 2.5).
PF_Err frameToSource(void*, PF_ContextH, PF_FixedPoint* pt) {
    recorder->calls.push_back("frame_to_source");
    pt->x = -98304;
    pt->y = 163840;
    return PF_Err_NONE;
}

class Converters : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = &calls;
        in.current_time = 48;
        in.time_scale = 24;
        extra.contextH = &contextP;
        extra.cbs = PF_EventCallbacks{nullptr, nullptr, layerToComp, compToLayer, sourceToFrame, frameToSource};
    }
    void inPanel(PF_WindowType type) { context.w_type = type; }

    Recorder calls;
    PF_InData in{};
    PF_Context context{};
    PF_Context* contextP = &context;
    PF_EventExtra extra{};
};

TEST_F(Converters, DrawingGoesThroughTheCompositionOnlyInTheCompositionPanel) {
    inPanel(PF_Window_LAYER);
    PF_FixedPoint pt{65536, 65536};
    calls.sourceToFrameErr = PF_Err_INTERNAL_STRUCT_DAMAGED;
    EXPECT_EQ(Source2FramePoint(&in, &extra, &pt), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"source_to_frame"}));

    inPanel(PF_Window_COMP);
    calls.calls.clear();
    pt = PF_FixedPoint{65536, 65536};
    calls.sourceToFrameErr = PF_Err_NONE;
    EXPECT_EQ(Source2FramePoint(&in, &extra, &pt), PF_Err_NONE);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"layer_to_comp", "source_to_frame"}));
    EXPECT_EQ(pt.x, 4 * 65536);
}

// Back from the panel, the point goes through the composition at the
// event's time; the output is the work point rounded down, and the last
// callback's error is the result.
TEST_F(Converters, MouseComesBackThroughTheCompositionAtTheEventTimeRoundedDown) {
    inPanel(PF_Window_COMP);
    PF_Point p{7, 9};
    PF_FixedPoint work{};
    CompFrame2Layer(&in, &extra, &p, &p, &work);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"frame_to_source", "comp_to_layer 48/24"}));
    EXPECT_EQ(work.x, -98304 - 65536);
    EXPECT_EQ(p.h, -3);
    PF_FixedPoint pt{};
    EXPECT_EQ(Frame2SourcePoint(&in, &extra, &pt), PF_Err_OUT_OF_MEMORY);

    inPanel(PF_Window_LAYER);
    calls.calls.clear();
    p = PF_Point{7, 9};
    LayerFrame2Layer(&in, &extra, &p, &p, &work);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"frame_to_source"}));
    EXPECT_EQ(work.x, -98304);
    EXPECT_EQ(work.y, 163840);
    EXPECT_EQ(p.h, -2);
    EXPECT_EQ(p.v, 2);
}

TEST_F(Converters, LayerToFrameConvertersReadTheInputFirst) {
    PF_Point p{3, -4};
    PF_FixedPoint work{};
    Layer2LayerFrame(&in, &extra, &p, &p, &work);
    EXPECT_EQ(p.h, 6);
    EXPECT_EQ(p.v, -8);
    p = PF_Point{3, -4};
    Layer2CompFrame(&in, &extra, &p, &p, &work);
    EXPECT_EQ(p.h, 8);
    EXPECT_EQ(p.v, -8);
    EXPECT_EQ(windowType(nullptr), PF_Window_NONE);
}

}  // namespace
