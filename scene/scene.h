#pragma once
// The built-in scene: a town at dusk seen from above, the way tilt-shift
// photographs show one: streets with lane markings and crossings, brick and
// plaster houses with lit windows and lettered signs, plazas, parks and cars,
// and street lamps whose small bright heads show off the highlight
// weighting. Opaque everywhere, and the same pixels on every machine: it
// uses no random numbers and no maths beyond the exactly rounded operations.

#include <memory>

#include "host/image.h"

namespace scene {

constexpr int kSceneWidth = 1280;
constexpr int kSceneHeight = 720;
// Either side; it is painted in floats at twice the size, so that 4096 x
// 4096 takes 800 MB.
constexpr int kSmallestScene = 16;
constexpr int kLargestScene = 4096;

// An 8-bit image of the scene; throws std::invalid_argument for a side
// outside kSmallestScene..kLargestScene.
std::unique_ptr<host::Image> makeScene(int width = kSceneWidth, int height = kSceneHeight);

}  // namespace scene
