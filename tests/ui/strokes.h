#pragma once
// Reading back what the plug-in drew.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/drawing.h"

namespace test {

inline std::string colourName(const DRAWBOT_ColorRGBA& c) {
    struct Named {
        DRAWBOT_ColorRGBA colour;
        const char* name;
    };
    static const Named names[] = {{{1, 1, 0, 1}, "yellow"}, {{0, 1, 1, 1}, "cyan"},
                                  {{0, 1, 0, 1}, "green"},  {{1, 0, 0, 1}, "red"}};
    for (const Named& n : names) {
        if (c.red == n.colour.red && c.green == n.colour.green && c.blue == n.colour.blue &&
            c.alpha == n.colour.alpha) {
            return n.name;
        }
    }
    return "other";
}

inline std::vector<std::string> colours(const host::Drawing& drawing) {
    std::vector<std::string> names;
    for (const host::Stroke& s : drawing.strokes()) {
        names.push_back(colourName(s.color));
    }
    return names;
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
