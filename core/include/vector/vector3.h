#pragma once

namespace Nerevo {

template <typename T>
struct Vector3 {
    T x, y, z;
};

}  // namespace Nerevo
