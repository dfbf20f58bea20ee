#pragma once
// An axis-aligned rectangle; right and bottom are exclusive, so a whole
// world of width w and height h is (0, 0, w, h). Member order matches the
// host's PF_Rect / PF_LRect, which convert one to one.

#include "AE_Effect.h"

namespace Nerevo {

template <typename T>
struct Rect {
    T left, top, right, bottom;

    T width() const { return right - left; }
    T height() const { return bottom - top; }
    bool empty() const { return left >= right || top >= bottom; }

    static Rect fromHost(const PF_LRect& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
    PF_LRect toHost() const {
        return PF_LRect{static_cast<A_long>(left), static_cast<A_long>(top), static_cast<A_long>(right),
                        static_cast<A_long>(bottom)};
    }
};

}  // namespace Nerevo
