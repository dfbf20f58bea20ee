// `tiltshift drag` through the host and the built plug-in. On a 200 x 200
// layer the radial defaults put the centre at (100, 100), the inner outline
// 100 pixels from it (Inner Width), the outer one 150 (Inner Width + Blur
// Amount 50), both circles at Ratio 1, and the arrow's tip at (100, 20).

#include <gtest/gtest.h>

#include <sstream>

#include "render/drag.h"
#include "tool_files.h"

namespace {

class Drag : public ::testing::Test {
protected:
    void SetUp() override { test::writeGreyImage(dir / "in.png", 200, 200); }

    // What the command prints.
    std::string drag(std::vector<std::string> args) {
        args.insert(args.begin(), dir / "in.png");
        std::ostringstream out, log;
        tiltshift::runDragJob(test::pluginPath(), tiltshift::parseDragArgs(args), out, log);
        EXPECT_EQ(log.str(), "");
        return out.str();
    }

    test::TempDir dir;
};

TEST_F(Drag, EachHandleChangesItsParameterOrNothingChangedSaysWhy) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--from", "250,100", "--to", "270,100"}, "Blur Amount: 50 -> 70\n"},
        // Inwards past the inner outline: no negative blur.
        {{"--from=250,100", "--to=150,100", "--steps", "1"}, "Blur Amount: 50 -> 0\n"},
        // The layer sits unscaled at the composition's origin.
        {{"--panel", "comp", "--from", "250,100", "--to", "270,100"}, "Blur Amount: 50 -> 70\n"},
        // Starts from the parameters given.
        {{"--from", "210,100", "--to", "270,100", "--param", "Blur Amount=10"}, "Blur Amount: 10 -> 70\n"},
        {{"--from", "250,100", "--to", "270,100", "--param", "Blur Amount=10"},
         "Nothing changed: the click at (250, 100) grabbed no handle.\n"},
        // Between the outlines, and the centre: no handle.
        {{"--from", "240,100", "--to", "270,100"}, "Nothing changed: the click at (240, 100) grabbed no handle.\n"},
        {{"--from", "100,100", "--to", "100,60"}, "Nothing changed: the click at (100, 100) grabbed no handle.\n"},
        {{"--from", "250,100", "--to", "250,100"},
         "Nothing changed: the drag to (250, 100) left every value as it was.\n"},
        // Shift turns the inner outline into a ratio handle, the arrow head into a direction.
        {{"--from", "100,200", "--to", "100,150"}, "Inner Width: 100 -> 50\n"},
        {{"--from", "100,200", "--to", "100,150", "--shift"}, "Ratio: 1 -> 0.5\n"},
        {{"--from", "100,30", "--to", "170,80", "--shift"}, "Direction: 0 -> 90\n"},
    };
    for (const auto& [args, printed] : cases) {
        EXPECT_EQ(drag(args), printed) << args[1] << " " << args.back();
    }
    const host::Panel panel = tiltshift::dragPanel(PF_Window_COMP, 200, 200);
    EXPECT_EQ(panel.windowType, PF_Window_COMP);
    const A_FloatPoint p = panel.layerToFrame({250, 100});
    EXPECT_DOUBLE_EQ(p.x, 250);
    EXPECT_DOUBLE_EQ(p.y, 100);
}

TEST_F(Drag, RendersWithTheNewValues) {
    // At Ratio 0.5 the outer outline crosses x = 150 at y = 29.3, and after
    // the drag at y = 18.8.
    EXPECT_EQ(drag({"--from", "250,100", "--to", "270,100", "--param", "Ratio=0.5", "-o", dir / "dragged.png",
                    "--overlay", dir / "handles.png"}),
              "Blur Amount: 50 -> 70\n");
    ASSERT_EQ(test::run("render", {dir / "in.png", "-o", dir / "set.png", "--param", "Ratio=0.5", "--param",
                                   "Blur Amount=70"}),
              0);
    const auto dragged = test::readFile<std::uint8_t>(dir / "dragged.png");
    EXPECT_EQ(dragged.values, test::readFile<std::uint8_t>(dir / "set.png").values);

    const auto handles = test::readFile<std::uint8_t>(dir / "handles.png");
    const auto at = [](const test::FileImage<std::uint8_t>& image, int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * 200 + static_cast<std::size_t>(x)) * 3;
        return std::vector<int>{image.values[i], image.values[i + 1], image.values[i + 2]};
    };
    const std::vector<int> onOutline = at(handles, 150, 19);
    EXPECT_LT(onOutline[0], 60);
    EXPECT_GT(onOutline[1], 200);
    EXPECT_GT(onOutline[2], 200);
    EXPECT_EQ(at(handles, 150, 29), at(dragged, 150, 29)) << "where the outline was before the drag";
}

}  // namespace
