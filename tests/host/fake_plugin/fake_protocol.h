#pragma once
// What the host tests ask the fake plug-in to do. PF_Cmd_COMPLETELY_GENERAL
// carries a FakeRequest in `extra`; the plug-in writes its results back.

#include "AE_Effect.h"

enum FakeAction {
    kFakeCheckout,       // checkout_param(index) into def
    kFakeCheckoutBadRef, // checkout_param with an effect_ref that is not the host's
    kFakeAddParam,       // add_param outside PARAMS_SETUP
    kFakeHandleRoundTrip,// new 16, fill, resize to 64, size, dispose through the suite
    kFakeNewHandles,     // count handles of size bytes through utils, then disposes them
    kFakeLeakHandle,     // a handle of size bytes that nobody disposes
    kFakeDisposeTwice,
    kFakeAcquire,        // acquires suite v version; releases it when release is set
    kFakeReleaseUnheld,
    kFakeReadGlobal,     // pluginId from the global data
    kFakeThreads,        // count threads, each size times: new handle, dispose, abort
    kFakeLongMessage,    // sprintf of 400 characters into return_msg
    kFakeAbort,          // abort up to count times, stopping at the first error
    kFakeCallProbe,      // calls the probe of "Fake Probe Suite" v1
};

// A suite the tests register themselves, to run code inside a command.
struct FakeProbeSuite1 {
    void (*probe)();
};

struct FakeRequest {
    FakeAction action;
    PF_ParamIndex index = 0;
    A_u_longlong size = 0;
    int count = 0;
    const char* suite = nullptr;
    int version = 0;
    bool release = true;

    PF_Err err = PF_Err_NONE;  // what the action's host call returned
    PF_ParamDef def{};
    const void* table = nullptr;
    unsigned nullHandles = 0;  // bit i: the i-th new handle came back null
    bool zeroed = false;       // a new handle's bytes were all zero
    bool resizeKept = false;   // resizing kept the bytes and zeroed the growth
    A_u_longlong handleSize = 0;
    A_long pluginId = 0;
    int calls = 0;
};

// Exported as "FakeState", so tests can watch commands sent at unload and
// what an event hands over, and shape what a render asks for.
struct FakeCounters {
    int setdowns;
    double eventAmount;  // "Amount" as the last event handed it
    double clickAmount;  // a click sets "Amount" to this when it is not negative
    int guid;            // bytes the pre-render mixes into the cache key; negative: from a null buffer
    PF_LRect result;     // the pre-render's result; the render fills it with kFakeGrey
};

constexpr PF_Pixel kFakeGrey{255, 128, 128, 128};
