// The panels' view model and the drawings the Drawbot suites draw on.

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/drawing.h"
#include "host/panel.h"

namespace {

host::Panel turnedLayer(PF_WindowType type = PF_Window_COMP) {
    host::Panel panel;
    panel.windowType = type;
    panel.zoom = 0.5;
    panel.scroll = {100, -20};
    panel.layer.anchor = {50, 40};
    panel.layer.position = {300, 200};
    panel.layer.scale = {2, 0.5};
    panel.layer.rotation = 90;
    return panel;
}

void expectNear(A_FloatPoint p, A_FloatPoint expected) {
    EXPECT_NEAR(p.x, expected.x, 1e-9);
    EXPECT_NEAR(p.y, expected.y, 1e-9);
}

// 10 pixels right of the anchor: 20 after scaling, turned clockwise (downwards on screen), put at the
// position; the panel shows the composition from the scroll point at half size, the layer panel the layer.
TEST(Panel, LayerSitsInTheCompositionByAnchorScaleRotationAndPositionAndOnlyFlatViewsHaveNoWayBack) {
    expectNear(turnedLayer().layerToComp({60, 40}), {300, 220});
    expectNear(turnedLayer().layerToFrame({60, 40}), {100, 120});
    expectNear(turnedLayer(PF_Window_LAYER).layerToFrame({60, 40}), {-20, 30});
    for (const PF_WindowType type : {PF_Window_COMP, PF_Window_LAYER}) {
        const host::Panel p = turnedLayer(type);
        for (const A_FloatPoint point : {A_FloatPoint{0, 0}, A_FloatPoint{-13.25, 77.5}, A_FloatPoint{400, 300}}) {
            const std::optional<A_FloatPoint> back = p.frameToLayer(p.layerToFrame(point));
            ASSERT_TRUE(back);
            expectNear(*back, point);
        }
    }
    host::Panel flat = turnedLayer(), unzoomed = turnedLayer();
    flat.layer.scale = {0, 1};
    unzoomed.zoom = 0;
    EXPECT_FALSE(flat.compToLayer({1, 1}) || flat.frameToLayer({1, 1}) || unzoomed.frameToSource({1, 1}))
        << "a layer scaled to nothing or a panel zoomed to nothing";
}

TEST(Drawing, KeepsTheImageItStartsFromAndRefusesWrongSizes) {
    std::vector<PF_Pixel> image(20 * 10, PF_Pixel{255, 0, 0, 255});
    image[5] = PF_Pixel{128, 100, 100, 100};
    host::Drawing drawing(20, 10, image);
    EXPECT_EQ(drawing.pixel(3, 3).blue, 255);
    EXPECT_EQ(drawing.pixel(5, 0).alpha, 128);
    EXPECT_NEAR(drawing.pixel(5, 0).red, 100, 1) << "straight alpha survives the premultiplied surface";
    EXPECT_EQ(drawing.pixels().size(), 200u);

    EXPECT_THROW(host::Drawing(-1, 5), std::invalid_argument);
    EXPECT_THROW(host::Drawing(4, 4, std::vector<PF_Pixel>(15)), std::invalid_argument);
    EXPECT_THROW(drawing.pixel(20, 0), std::out_of_range);
    EXPECT_THROW(drawing.pixel(0, -1), std::out_of_range);
}

}  // namespace
