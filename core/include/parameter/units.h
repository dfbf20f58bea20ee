#pragma once
// Angles as the host keeps them, in degrees (16.16 at its interfaces, see
// custom_ui/fixed.h), and as the code computes with them, in radians. The
// render and the on-composition controls convert through these, so that a
// handle lies where the render puts the focus.

namespace Nerevo {

constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;  // π / 180
constexpr double DEGREES_PER_RADIAN = 57.29577951308232;     // 180 / π

constexpr double degreesToRadians(double degrees) {
    return degrees * RADIANS_PER_DEGREE;
}

constexpr double radiansToDegrees(double radians) {
    return radians * DEGREES_PER_RADIAN;
}

}  // namespace Nerevo
