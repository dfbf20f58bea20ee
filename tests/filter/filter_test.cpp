// The filter framework on the host's threads: how bands tile a world, which routine runs, who checks for abort.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <tuple>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "filter/filter.h"
#include "filter/run_filter.h"
#include "host/host.h"
#include "host/image.h"
#include "plugin_path.h"

namespace {

using Nerevo::Rect;
using host::Image;

// Band i of n: its rectangle, whether it checks for abort, its depth.
using Box = std::array<int, 4>;
using Band = std::tuple<int, int, Box, bool, int>;

// What the bands saw, and which band fails; written under a lock (real stages take none).
struct Record {
    std::mutex mutex;
    std::vector<Band> bands;
    int failingBand = -1;
    PF_Err failure = PF_Err_NONE;
};

thread_local int currentBand = -1;
thread_local int currentCount = 0;

// Records every call; band 0 polls abort after each of its rows, as stages do.
class RecordingFilter : public Nerevo::Filter::Filter<Record> {
public:
    RecordingFilter(PF_InData* in, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                    PF_LayerDef* output, Record* record, bool columns = false)
        : Filter(in, suites, bpc, input, output, record) {
        splitColumns = columns ? 1 : 0;
    }

    PF_Err filter(int i, int n) const override {
        currentBand = i;
        currentCount = n;
        return Filter::filter(i, n);
    }
    PF_Err filter8(const Rect<int>& rect, bool checkAbort) const override { return seen(8, rect, checkAbort); }
    PF_Err filter16(const Rect<int>& rect, bool checkAbort) const override { return seen(16, rect, checkAbort); }
    PF_Err filter32(const Rect<int>& rect, bool checkAbort) const override { return seen(32, rect, checkAbort); }

private:
    PF_Err seen(int depth, const Rect<int>& rect, bool checkAbort) const {
        {
            std::lock_guard<std::mutex> lock(params->mutex);
            params->bands.emplace_back(currentBand, currentCount, Box{rect.left, rect.top, rect.right, rect.bottom},
                                       checkAbort, depth);
        }
        for (int y = rect.top; checkAbort && y < rect.bottom; ++y) {
            if (const PF_Err err = in_data->inter.abort(in_data->effect_ref)) {
                return err;
            }
        }
        return currentBand == params->failingBand ? params->failure : PF_Err_NONE;
    }
};

class Filters : public ::testing::Test {
protected:
    // The bands a recording filter saw through the host's iterate_generic, in order; its result in `result`.
    std::vector<Band> run(Nerevo::Bpc bpc, Image* input, Image* output, bool columns = false) {
        record.bands.clear();
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            RecordingFilter filter(&in, suites, bpc, input ? input->world() : nullptr,
                                   output ? output->world() : nullptr, &record, columns);
            try {
                result = Nerevo::Filter::runFilter(filter);
            } catch (PF_Err thrown) {  // a missing suite, as the entry point would catch it
                result = thrown;
            }
        });
        std::vector<Band> bands = record.bands;
        std::sort(bands.begin(), bands.end());
        return bands;
    }

    Record record;
    PF_Err result = -1;
    host::Host host{test::pluginPath()};
};

// The output world decides (the input without one); an unknown depth, like no worlds, runs no routine.
TEST_F(Filters, BandsTileTheWorldWithTheDepthsRoutine) {
    const struct {
        int threads;
        Nerevo::Bpc bpc;
        bool columns, withOutput;
        int width, height;
        std::vector<Box> bands;
    } cases[] = {
        {4, Nerevo::bpc8, false, true, 6, 10, {{0, 0, 6, 2}, {0, 2, 6, 5}, {0, 5, 6, 7}, {0, 7, 6, 10}}},
        {7, Nerevo::bpc16, false, true, 2, 3, {{0, 0, 2, 0}, {0, 0, 2, 0}, {0, 0, 2, 1}, {0, 1, 2, 1}, {0, 1, 2, 2},
                                               {0, 2, 2, 2}, {0, 2, 2, 3}}},
        {4, Nerevo::bpc32, true, true, 10, 3, {{0, 0, 2, 3}, {2, 0, 5, 3}, {5, 0, 7, 3}, {7, 0, 10, 3}}},
        {2, Nerevo::bpc8, false, false, 5, 9, {{0, 0, 5, 4}, {0, 4, 5, 9}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.threads) + " threads, " + (c.columns ? "columns" : "rows"));
        host.setThreadCount(c.threads);
        Image input(PF_PixelFormat_ARGB32, c.withOutput ? 3 : c.width, c.withOutput ? 3 : c.height);
        Image output(PF_PixelFormat_ARGB32, c.width, c.height, PF_Point{-2, -1});
        std::vector<Band> want;
        const int n = static_cast<int>(c.bands.size());
        for (int i = 0; i < n; ++i) {
            want.emplace_back(i, n, c.bands[i], i == 0, c.bpc == Nerevo::bpc8 ? 8 : c.bpc == Nerevo::bpc16 ? 16 : 32);
        }
        EXPECT_EQ(run(c.bpc, &input, c.withOutput ? &output : nullptr, c.columns), want);
    }
    Image world(PF_PixelFormat_ARGB32, 2, 2);
    for (Image* worlds : {static_cast<Image*>(nullptr), &world}) {
        EXPECT_TRUE(run(worlds ? static_cast<Nerevo::Bpc>(3) : Nerevo::bpc8, worlds, worlds).empty());
        EXPECT_EQ(result, PF_Err_NONE);
    }
}

// The host answers abort on one thread only.
TEST_F(Filters, OnlyThreadZeroAsksBeforeABandAndACancelledBandIsNotProcessed) {
    Image world(PF_PixelFormat_ARGB32, 2, 4);
    host.cancelAtAbortCheck(1);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        RecordingFilter filter(&in, suites, Nerevo::bpc8, world.world(), world.world(), &record);
        Nerevo::Filter::IterationRecord<RecordingFilter> iteration{true, &in, &filter};
        EXPECT_EQ(Nerevo::iterate_generic_func<RecordingFilter>(&iteration, 1, 1, 2), PF_Err_NONE);
        EXPECT_EQ(Nerevo::iterate_generic_func<RecordingFilter>(&iteration, 0, 1, 2), PF_Interrupt_CANCEL);
    });
    EXPECT_EQ(record.bands.size(), 1u);
}

TEST_F(Filters, BandErrorsTheHostsAbortCodeAndAMissingSuiteBecomeTheStageResult) {
    host.setThreadCount(4);
    Image world(PF_PixelFormat_ARGB32, 4, 10);
    record.failingBand = 2;
    record.failure = 1234;
    run(Nerevo::bpc8, &world, &world);
    EXPECT_EQ(result, 1234);
    record.failingBand = -1;
    host.faults().failCall("abort", 2, 4242);
    run(Nerevo::bpc8, &world, &world);
    EXPECT_EQ(result, 4242) << "the host's own code, unchanged";
    host.faults().makeUnavailable(kPFIterate8Suite);
    EXPECT_TRUE(run(Nerevo::bpc8, &world, &world).empty()) << "no band without the suite";
    EXPECT_EQ(result, PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
