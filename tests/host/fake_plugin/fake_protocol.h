#pragma once
// What the host tests watch of the fake plug-in, and how they shape it.

#include "AE_Effect.h"

struct FakeCounters {  // exported as "FakeState"
    int setdowns;
    double eventAmount;  // "Amount" as the last event handed it
    double clickAmount;  // a click sets "Amount" to this when it is not negative
    int guid;            // bytes the pre-render mixes into the cache key; negative: from a null buffer
    PF_LRect result;     // the pre-render's result; the render fills it with kFakeGrey
    PF_LRect input;      // where the layer's pixels the render checked out lie
};

constexpr PF_Pixel kFakeGrey{255, 128, 128, 128};
