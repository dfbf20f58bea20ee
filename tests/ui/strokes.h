#pragma once
// Reading back what the plug-in drew.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/drawing.h"

namespace test {

inline std::vector<std::string> colours(const host::Drawing& drawing) {
    static const std::map<std::array<float, 4>, std::string> names = {
        {{1, 1, 0, 1}, "yellow"}, {{0, 1, 1, 1}, "cyan"}, {{0, 1, 0, 1}, "green"}, {{1, 0, 0, 1}, "red"}};
    std::vector<std::string> found;
    for (const host::Stroke& s : drawing.strokes()) {
        const auto name = names.find({s.color.red, s.color.green, s.color.blue, s.color.alpha});
        found.push_back(name == names.end() ? "other" : name->second);
    }
    return found;
}

// The points a path passes through: every segment's end.
inline std::vector<DRAWBOT_PointF32> anchors(const host::Stroke& stroke) {
    std::vector<DRAWBOT_PointF32> points;
    for (const host::PathSegment& s : stroke.path) {
        points.push_back(s.kind == host::PathSegment::BezierTo ? s.points[2] : s.points[0]);
    }
    return points;
}

// The points are where expected, to a thousandth of a pixel, and no more.
inline void expectPoints(const std::vector<DRAWBOT_PointF32>& points,
                         const std::vector<std::pair<double, double>>& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].x, expected[i].first, 1e-3) << "point " << i;
        EXPECT_NEAR(points[i].y, expected[i].second, 1e-3) << "point " << i;
    }
}

}  // namespace test
