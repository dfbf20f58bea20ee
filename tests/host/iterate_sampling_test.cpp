// The host's iterate_generic and thread count, its abort check, and the
// sub-pixel sampling suites.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"
#include "host/host.h"
#include "host/image.h"

namespace {

using host::Image;

class HostRender : public ::testing::Test {
protected:
    void run(const std::function<void(PF_InData&, PF_OutData&)>& body) { host.withCommandData(body); }

    host::Host host{HOST_FAKE_PLUGIN};
};

// Every iteration waits until all have started, so the call only finishes
// when they run at the same time.
struct Rendezvous {
    std::atomic<int> started{0};
    std::atomic<int> timedOut{0};
    std::atomic<unsigned> threadsSeen{0};  // bit t: thread index t ran an iteration
    std::atomic<int> count{0};
};

PF_Err meet(void* refcon, A_long thread, A_long, A_long iterations) {
    auto& r = *static_cast<Rendezvous*>(refcon);
    r.threadsSeen |= 1u << thread;
    r.count = iterations;
    ++r.started;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (r.started.load() < iterations) {
        if (std::chrono::steady_clock::now() > deadline) {
            ++r.timedOut;
            return 1;
        }
        std::this_thread::yield();
    }
    return PF_Err_NONE;
}

TEST_F(HostRender, OncePerProcessorRunsOneIterationOnEachThreadAtOnce) {
    host.setThreadCount(4);
    Rendezvous r;
    run([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.utils->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &r, meet), PF_Err_NONE);
    });
    EXPECT_EQ(r.timedOut, 0);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.threadsSeen, 0b1111u);
}

PF_Err failSome(void* refcon, A_long, A_long i, A_long) {
    static_cast<std::atomic<int>*>(refcon)->fetch_add(1);
    return i == 4 ? 9 : i == 2 ? 7 : PF_Err_NONE;
}

TEST_F(HostRender, IterateRunsEveryIterationAndReturnsTheLowestFailure) {
    host.setThreadCount(3);
    std::atomic<int> calls{0};
    run([&](PF_InData& in, PF_OutData&) {
        const void* suite = nullptr;
        ASSERT_EQ(in.pica_basicP->AcquireSuite(kPFIterate8Suite, 1, &suite), kSPNoError);
        EXPECT_EQ(static_cast<const PF_Iterate8Suite1*>(suite)->iterate_generic(6, &calls, failSome), 7);
        in.pica_basicP->ReleaseSuite(kPFIterate8Suite, 1);
        EXPECT_EQ(in.utils->iterate_generic(-2, &calls, failSome), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_EQ(calls, 6);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(HostRender, ThreadCountIsTheHostsAndSettable) {
    const auto numThreads = [&] {
        A_long n = 0;
        run([&](PF_InData& in, PF_OutData&) {
            const void* suite = nullptr;
            ASSERT_EQ(in.pica_basicP->AcquireSuite(kAEGPIterateSuite, 1, &suite), kSPNoError);
            EXPECT_EQ(static_cast<const AEGP_IterateSuite1*>(suite)->AEGP_GetNumThreads(&n), A_Err_NONE);
            in.pica_basicP->ReleaseSuite(kAEGPIterateSuite, 1);
        });
        return n;
    };
    EXPECT_EQ(numThreads(), static_cast<A_long>(std::max(1u, std::thread::hardware_concurrency())));
    host.setThreadCount(7);
    EXPECT_EQ(numThreads(), 7);
    EXPECT_EQ(host.threadCount(), 7);
}

TEST_F(HostRender, CancelHoldsFromThePlannedCheckOn) {
    host.cancelAtAbortCheck(3);
    run([](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.inter.abort(in.effect_ref), PF_Err_NONE);
        EXPECT_EQ(in.inter.abort(in.effect_ref), PF_Err_NONE);
        EXPECT_EQ(in.inter.abort(in.effect_ref), PF_Interrupt_CANCEL);
        EXPECT_EQ(in.inter.abort(in.effect_ref), PF_Interrupt_CANCEL);
    });
    host.cancelAtAbortCheck(0);
    run([](PF_InData& in, PF_OutData&) { EXPECT_EQ(in.inter.abort(in.effect_ref), PF_Err_NONE); });
}

// Sampling through the suite of a depth.
PF_Err sampleAt(PF_InData& in, const PF_SampPB& pb, PF_Fixed x, PF_Fixed y, PF_Pixel& out) {
    const void* suite = nullptr;
    in.pica_basicP->AcquireSuite(kPFSampling8Suite, 1, &suite);
    const PF_Err err = static_cast<const PF_Sampling8Suite1*>(suite)->subpixel_sample(in.effect_ref, x, y, &pb, &out);
    in.pica_basicP->ReleaseSuite(kPFSampling8Suite, 1);
    return err;
}

PF_Err sampleAt(PF_InData& in, const PF_SampPB& pb, PF_Fixed x, PF_Fixed y, PF_Pixel16& out) {
    const void* suite = nullptr;
    in.pica_basicP->AcquireSuite(kPFSampling16Suite, 1, &suite);
    const PF_Err err =
        static_cast<const PF_Sampling16Suite1*>(suite)->subpixel_sample16(in.effect_ref, x, y, &pb, &out);
    in.pica_basicP->ReleaseSuite(kPFSampling16Suite, 1);
    return err;
}

PF_Err sampleAt(PF_InData& in, const PF_SampPB& pb, PF_Fixed x, PF_Fixed y, PF_PixelFloat& out) {
    const void* suite = nullptr;
    in.pica_basicP->AcquireSuite(kPFSamplingFloatSuite, 1, &suite);
    const PF_Err err =
        static_cast<const PF_SamplingFloatSuite1*>(suite)->subpixel_sample_float(in.effect_ref, x, y, &pb, &out);
    in.pica_basicP->ReleaseSuite(kPFSamplingFloatSuite, 1);
    return err;
}

template <typename Pixel>
bool same(const Pixel& a, const Pixel& b) {
    return a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

template <typename Pixel>
class Sampling : public HostRender {};

using PixelTypes = ::testing::Types<PF_Pixel, PF_Pixel16, PF_PixelFloat>;
TYPED_TEST_SUITE(Sampling, PixelTypes);

TYPED_TEST(Sampling, WholePositionsGiveThePixelAndOutsideIsTransparent) {
    using Pixel = TypeParam;
    Image image(Nerevo::PixelTraits<Pixel>::format, 3, 2, PF_Point{5, -3});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const auto v = static_cast<decltype(Pixel{}.alpha)>(3 * y + x + 1);
            image.template at<Pixel>(x, y) = Pixel{v, static_cast<decltype(v)>(v + 1), v, v};
        }
    }
    this->run([&](PF_InData& in, PF_OutData&) {
        PF_SampPB pb{};
        pb.src = image.world();
        for (int y = -1; y <= 2; ++y) {
            for (int x = -1; x <= 3; ++x) {
                Pixel p{};
                ASSERT_EQ(sampleAt(in, pb, x * 65536, y * 65536, p), PF_Err_NONE);
                const bool inside = x >= 0 && x < 3 && y >= 0 && y < 2;
                EXPECT_TRUE(same(p, inside ? image.template at<Pixel>(x, y) : Pixel{})) << x << "," << y;
            }
        }
        pb.src = nullptr;
        Pixel p{};
        EXPECT_EQ(sampleAt(in, pb, 0, 0, p), PF_Err_BAD_CALLBACK_PARAM);
    });
}

TEST_F(HostRender, BetweenPixelsColoursMixByCoverage) {
    Image image(PF_PixelFormat_ARGB32, 2, 2);
    image.at<PF_Pixel>(0, 0) = PF_Pixel{255, 255, 0, 0};
    image.at<PF_Pixel>(1, 0) = PF_Pixel{255, 0, 0, 255};
    image.at<PF_Pixel>(0, 1) = PF_Pixel{0, 0, 255, 0};  // transparent: its colour must not show
    run([&](PF_InData& in, PF_OutData&) {
        PF_SampPB pb{};
        pb.src = image.world();
        PF_Pixel p{};
        ASSERT_EQ(sampleAt(in, pb, 32768, 0, p), PF_Err_NONE);
        EXPECT_TRUE(same(p, PF_Pixel{255, 128, 0, 128}));
        ASSERT_EQ(sampleAt(in, pb, 0, 32768, p), PF_Err_NONE);
        EXPECT_TRUE(same(p, PF_Pixel{128, 255, 0, 0}));
        ASSERT_EQ(sampleAt(in, pb, -16384, 0, p), PF_Err_NONE);  // a quarter pixel into the world
        EXPECT_TRUE(same(p, PF_Pixel{191, 255, 0, 0}));

        PF_Pixel16 deep{};
        EXPECT_EQ(sampleAt(in, pb, 0, 0, deep), PF_Err_BAD_CALLBACK_PARAM) << "suite and world of other depths";
    });
}

}  // namespace
