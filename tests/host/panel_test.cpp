// The panels' view model and the drawings the Drawbot suites draw on.

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/drawing.h"
#include "host/panel.h"

namespace {

host::Panel turnedLayer() {
    host::Panel panel;
    panel.windowType = PF_Window_COMP;
    panel.zoom = 0.5;
    panel.scroll = {100, -20};
    panel.layer.anchor = {50, 40};
    panel.layer.position = {300, 200};
    panel.layer.scale = {2, 0.5};
    panel.layer.rotation = 90;
    return panel;
}

TEST(Panel, LayerSitsInTheCompositionByAnchorScaleRotationAndPosition) {
    const host::Panel panel = turnedLayer();
    // 10 pixels right of the anchor: 20 after scaling, then turned clockwise
    // (downwards on screen) and put at the position.
    const A_FloatPoint comp = panel.layerToComp({60, 40});
    EXPECT_NEAR(comp.x, 300, 1e-9);
    EXPECT_NEAR(comp.y, 220, 1e-9);
    // The panel shows the composition from the scroll point on, at half size.
    const A_FloatPoint frame = panel.layerToFrame({60, 40});
    EXPECT_NEAR(frame.x, 100, 1e-9);
    EXPECT_NEAR(frame.y, 120, 1e-9);
}

TEST(Panel, FrameAndLayerRoundTrip) {
    for (const PF_WindowType type : {PF_Window_COMP, PF_Window_LAYER}) {
        host::Panel panel = turnedLayer();
        panel.windowType = type;
        for (const A_FloatPoint p : {A_FloatPoint{0, 0}, A_FloatPoint{-13.25, 77.5}, A_FloatPoint{400, 300}}) {
            const std::optional<A_FloatPoint> back = panel.frameToLayer(panel.layerToFrame(p));
            ASSERT_TRUE(back);
            EXPECT_NEAR(back->x, p.x, 1e-9) << type;
            EXPECT_NEAR(back->y, p.y, 1e-9) << type;
        }
    }
}

TEST(Panel, LayerPanelShowsTheLayerItself) {
    host::Panel panel = turnedLayer();
    panel.windowType = PF_Window_LAYER;
    const A_FloatPoint frame = panel.layerToFrame({60, 40});
    EXPECT_NEAR(frame.x, -20, 1e-9);
    EXPECT_NEAR(frame.y, 30, 1e-9);
}

TEST(Panel, DegenerateViewsHaveNoWayBack) {
    host::Panel panel = turnedLayer();
    panel.layer.scale = {0, 1};
    EXPECT_FALSE(panel.compToLayer({1, 1}));
    EXPECT_FALSE(panel.frameToLayer({1, 1}));
    panel.layer.scale = {1, 1};
    panel.zoom = 0;
    EXPECT_FALSE(panel.frameToSource({1, 1}));
}

TEST(Drawing, StrokesPaintOverTheImageAndAreRecorded) {
    const PF_Pixel blue{255, 0, 0, 255};
    const PF_Pixel halfGrey{128, 100, 100, 100};
    std::vector<PF_Pixel> image(20 * 10, blue);
    image[5] = halfGrey;
    host::Drawing drawing(20, 10, image);
    EXPECT_EQ(drawing.pixel(3, 3).blue, 255);
    // Straight alpha survives the premultiplied surface within rounding.
    EXPECT_EQ(drawing.pixel(5, 0).alpha, 128);
    EXPECT_NEAR(drawing.pixel(5, 0).red, 100, 1);

    host::Stroke line{{1, 0, 0, 1}, 2, {}};
    line.path.push_back({host::PathSegment::MoveTo, {{0, 5}, {}, {}}});
    line.path.push_back({host::PathSegment::LineTo, {{20, 5}, {}, {}}});
    drawing.stroke(line);
    ASSERT_EQ(drawing.strokes().size(), 1u);
    const PF_Pixel on = drawing.pixel(10, 4);
    EXPECT_EQ(on.red, 255);
    EXPECT_EQ(on.blue, 0);
    EXPECT_EQ(drawing.pixel(10, 7).blue, 255);
    EXPECT_EQ(drawing.pixels().size(), 200u);
}

TEST(Drawing, RejectsWhatDoesNotFit) {
    EXPECT_THROW(host::Drawing(-1, 5), std::invalid_argument);
    EXPECT_THROW(host::Drawing(4, 4, std::vector<PF_Pixel>(15)), std::invalid_argument);
    const host::Drawing drawing(4, 4);
    EXPECT_EQ(drawing.pixel(3, 3).alpha, 0);
    EXPECT_THROW(drawing.pixel(4, 0), std::out_of_range);
    EXPECT_THROW(drawing.pixel(0, -1), std::out_of_range);
}

}  // namespace
