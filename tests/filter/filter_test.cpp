// The filter framework on the headless host's threads: how bands tile a
// world, which routine a depth selects, who checks for the user's abort, and
// the loops over a band's rows and blocks of columns.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "filter/bands.h"
#include "filter/filter.h"
#include "filter/run_filter.h"
#include "host/host.h"
#include "host/image.h"
#include "plugin_path.h"

namespace {

using Nerevo::Rect;
using host::Image;

struct Band {
    int i, n;
    Rect<int> rect;
    bool checkAbort;
    int depth;
};

// What the bands saw, and which band fails; written by bands under a lock
// (test code only: real stages take no locks).
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
            params->bands.push_back(Band{currentBand, currentCount, rect, checkAbort, depth});
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
    // Runs a recording filter over the worlds through the host's
    // iterate_generic and returns the bands in band order.
    std::vector<Band> run(Nerevo::Bpc bpc, Image* input, Image* output, bool columns = false,
                          PF_Err* result = nullptr) {
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            RecordingFilter filter(&in, suites, bpc, input ? input->world() : nullptr,
                                   output ? output->world() : nullptr, &record, columns);
            const PF_Err err = Nerevo::Filter::runFilter(filter);
            if (result) {
                *result = err;
            }
        });
        std::vector<Band> bands = record.bands;
        std::sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) { return a.i < b.i; });
        return bands;
    }

    Record record;
    host::Host host{test::pluginPath()};
};

void expectBands(const std::vector<Band>& bands, const std::vector<Rect<int>>& rects) {
    ASSERT_EQ(bands.size(), rects.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        SCOPED_TRACE("band " + std::to_string(i));
        EXPECT_EQ(bands[i].i, static_cast<int>(i));
        EXPECT_EQ(bands[i].n, static_cast<int>(rects.size()));
        EXPECT_EQ(bands[i].rect.left, rects[i].left);
        EXPECT_EQ(bands[i].rect.top, rects[i].top);
        EXPECT_EQ(bands[i].rect.right, rects[i].right);
        EXPECT_EQ(bands[i].rect.bottom, rects[i].bottom);
        EXPECT_EQ(bands[i].checkAbort, i == 0) << "only band 0 checks, whichever thread runs it";
    }
}

// Bands of rows tile the output world (or the input without one), bands of
// columns its width; more bands than lines leave some empty.
TEST_F(Filters, BandsTileTheWorld) {
    const struct {
        int threads;
        bool columns, withOutput;
        int width, height;
        std::vector<Rect<int>> bands;
    } cases[] = {
        {4, false, true, 6, 10, {{0, 0, 6, 2}, {0, 2, 6, 5}, {0, 5, 6, 7}, {0, 7, 6, 10}}},
        {7, false, true, 2, 3, {{0, 0, 2, 0}, {0, 0, 2, 0}, {0, 0, 2, 1}, {0, 1, 2, 1}, {0, 1, 2, 2}, {0, 2, 2, 2},
                                {0, 2, 2, 3}}},
        {4, true, true, 10, 3, {{0, 0, 2, 3}, {2, 0, 5, 3}, {5, 0, 7, 3}, {7, 0, 10, 3}}},
        {2, false, false, 5, 9, {{0, 0, 5, 4}, {0, 4, 5, 9}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.threads) + " threads, " + (c.columns ? "columns" : "rows"));
        host.setThreadCount(c.threads);
        record.bands.clear();
        // The input differs from the output: the output decides.
        Image input(PF_PixelFormat_ARGB32, c.withOutput ? 3 : c.width, c.withOutput ? 3 : c.height);
        Image output(PF_PixelFormat_ARGB32, c.width, c.height, PF_Point{-2, -1});
        expectBands(run(Nerevo::bpc8, &input, c.withOutput ? &output : nullptr, c.columns), c.bands);
    }
    record.bands.clear();
    PF_Err result = -1;
    EXPECT_TRUE(run(Nerevo::bpc8, nullptr, nullptr, false, &result).empty()) << "without worlds nothing runs";
    EXPECT_EQ(result, PF_Err_NONE);
}

TEST_F(Filters, DepthSelectsTheRoutineAndAnUnknownDepthNone) {
    host.setThreadCount(1);
    Image world(PF_PixelFormat_ARGB32, 2, 2);
    const std::pair<Nerevo::Bpc, int> depths[] = {{Nerevo::bpc8, 8}, {Nerevo::bpc16, 16}, {Nerevo::bpc32, 32}};
    for (const auto& [bpc, depth] : depths) {
        record.bands.clear();
        const std::vector<Band> bands = run(bpc, &world, &world);
        ASSERT_EQ(bands.size(), 1u);
        EXPECT_EQ(bands[0].depth, depth);
    }
    record.bands.clear();
    PF_Err result = -1;
    EXPECT_TRUE(run(static_cast<Nerevo::Bpc>(3), &world, &world, false, &result).empty());
    EXPECT_EQ(result, PF_Err_NONE);
}

TEST_F(Filters, BandErrorsAndTheHostsAbortCodeBecomeTheStageResult) {
    host.setThreadCount(4);
    Image world(PF_PixelFormat_ARGB32, 4, 10);
    record.failingBand = 2;
    record.failure = 1234;
    PF_Err result = PF_Err_NONE;
    run(Nerevo::bpc8, &world, &world, false, &result);
    EXPECT_EQ(result, 1234);

    record.failingBand = -1;
    host.cancelAtAbortCheck(1);
    run(Nerevo::bpc8, &world, &world, false, &result);
    EXPECT_EQ(result, PF_Interrupt_CANCEL);

    host.cancelAtAbortCheck(0);
    host.faults().failCall("abort", 2, 4242);
    run(Nerevo::bpc8, &world, &world, false, &result);
    EXPECT_EQ(result, 4242) << "the host's own code, unchanged";
}

// The host answers abort on one thread only: thread 0 asks before its band,
// when the record says so; the others never do.
TEST_F(Filters, OnlyThreadZeroAsksBeforeItsBand) {
    host.log().setRecording(true);
    Image world(PF_PixelFormat_ARGB32, 2, 4);
    host.cancelAtAbortCheck(1);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        RecordingFilter filter(&in, suites, Nerevo::bpc8, world.world(), world.world(), &record);
        Nerevo::Filter::IterationRecord<RecordingFilter> iteration{true, &in, &filter};
        EXPECT_EQ(Nerevo::iterate_generic_func<RecordingFilter>(&iteration, 1, 1, 2), PF_Err_NONE);
        EXPECT_EQ(Nerevo::iterate_generic_func<RecordingFilter>(&iteration, 0, 1, 2), PF_Interrupt_CANCEL);
        iteration.checkAbort = false;
        EXPECT_EQ(Nerevo::iterate_generic_func<RecordingFilter>(&iteration, 0, 1, 2), PF_Err_NONE);
    });
    EXPECT_EQ(record.bands.size(), 2u) << "the cancelled band is not processed";
    EXPECT_EQ(host.log().count("abort"), 1u);
}

// A band is clipped to the world; rows are visited in order and columns
// handed over whole, in blocks, each a contiguous copy of the buffer's and
// the companion's column that goes back into the buffer. Band 0 polls after
// every row and every block, other bands never.
TEST_F(Filters, BandLoopsClipToTheWorldAndPollAfterEachRowOrBlock) {
    constexpr int kBlock = Nerevo::Filter::kColumnBlock;
    const struct {
        bool columns;
        int width, height;
        Rect<int> band;
        bool checkAbort;
        int first, last;  // lines visited; none when last < first
        std::size_t polls;
    } cases[] = {
        {false, 5, 4, {-1, -2, 7, 9}, true, 0, 3, 4},
        {false, 5, 4, {0, 2, 5, 2}, true, 0, -1, 0},
        {false, 5, 4, {0, 1, 5, 3}, false, 1, 2, 0},
        {false, 1, 1, {0, 0, 1, 1}, true, 0, 0, 1},
        {true, 2 * kBlock + 3, 3, {-4, 0, 2 * kBlock + 9, 3}, true, 0, 2 * kBlock + 2, 3},
        {true, 2 * kBlock + 3, 3, {5, 0, kBlock + 5, 3}, true, 5, kBlock + 4, 1},
        {true, kBlock, 2, {0, 0, kBlock, 2}, false, 0, kBlock - 1, 0},
        {true, 1, 1, {0, 0, 1, 1}, true, 0, 0, 1},
        {true, 4, 3, {2, 0, 2, 3}, true, 0, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.columns ? "columns " : "rows ") + std::to_string(c.band.left) + ".." +
                     std::to_string(c.band.right) + " x " + std::to_string(c.band.top) + ".." +
                     std::to_string(c.band.bottom));
        const auto at = [&](int x, int y) { return static_cast<std::size_t>(y * c.width + x); };
        std::vector<double> buffer(static_cast<std::size_t>(c.width * c.height));
        std::vector<int> along(buffer.size());
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                buffer[at(x, y)] = 1000.0 * y + x;
                along[at(x, y)] = -(1000 * y + x);
            }
        }
        std::vector<int> visited;
        host.log().clear();
        host.log().setRecording(true);
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            if (!c.columns) {
                EXPECT_EQ(Nerevo::Filter::forEachRow(&in, c.band, c.width, c.height, c.checkAbort,
                                                     [&](int y, int left, int right) {
                                                         visited.push_back(y);
                                                         EXPECT_EQ(left, std::max(c.band.left, 0));
                                                         EXPECT_EQ(right, std::min(c.band.right, c.width));
                                                         return PF_Err_NONE;
                                                     }),
                          PF_Err_NONE);
                return;
            }
            EXPECT_EQ(Nerevo::Filter::forEachColumn(&in, c.band, c.width, c.height, c.checkAbort, buffer.data(),
                                                    along.data(),
                                                    [&](int x, double* column, const int* companion) {
                                                        visited.push_back(x);
                                                        for (int y = 0; y < c.height; ++y) {
                                                            EXPECT_EQ(column[y], 1000.0 * y + x);
                                                            EXPECT_EQ(companion[y], -(1000 * y + x));
                                                            column[y] = -column[y] - 0.5;
                                                        }
                                                    }),
                      PF_Err_NONE);
        });
        std::vector<int> lines;
        for (int l = c.first; l <= c.last; ++l) {
            lines.push_back(l);
        }
        EXPECT_EQ(visited, lines);
        EXPECT_EQ(host.log().count("abort"), c.polls);
        for (int y = 0; c.columns && y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const double original = 1000.0 * y + x;
                EXPECT_EQ(buffer[at(x, y)], x >= c.first && x <= c.last ? -original - 0.5 : original)
                    << x << ", " << y;
            }
        }
    }
}

// The first error of a row ends the band before its poll; a cancelled
// column band leaves the blocks after the poll that cancelled it as they were.
TEST_F(Filters, BandLoopsStopAtTheFirstErrorOrCancel) {
    constexpr int kBlock = Nerevo::Filter::kColumnBlock;
    std::vector<int> rows;
    std::vector<double> buffer(static_cast<std::size_t>(2 * kBlock + 1), 1.0);
    const std::vector<double> along(buffer.size(), 0.0);
    host.cancelAtAbortCheck(1);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(Nerevo::Filter::forEachRow(&in, Rect<int>{0, 0, 1, 5}, 1, 5, true,
                                             [&](int y, int, int) {
                                                 rows.push_back(y);
                                                 return y == 2 ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE;
                                             }),
                  PF_Interrupt_CANCEL)
            << "the poll after row 0";
        rows.clear();
        host.cancelAtAbortCheck(0);
        EXPECT_EQ(Nerevo::Filter::forEachRow(&in, Rect<int>{0, 0, 1, 5}, 1, 5, true,
                                             [&](int y, int, int) {
                                                 rows.push_back(y);
                                                 return y == 2 ? PF_Err_OUT_OF_MEMORY : PF_Err_NONE;
                                             }),
                  PF_Err_OUT_OF_MEMORY);
        host.cancelAtAbortCheck(2);  // counted from here
        EXPECT_EQ(Nerevo::Filter::forEachColumn(&in, Rect<int>{0, 0, 2 * kBlock + 1, 1}, 2 * kBlock + 1, 1, true,
                                                buffer.data(), along.data(),
                                                [](int, double* column, const double*) { column[0] = 2.0; }),
                  PF_Interrupt_CANCEL);
    });
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
    for (int x = 0; x < 2 * kBlock + 1; ++x) {
        EXPECT_EQ(buffer[static_cast<std::size_t>(x)], x < 2 * kBlock ? 2.0 : 1.0) << x;
    }
}

TEST_F(Filters, MissingIterateSuiteIsThrownBeforeAnyBand) {
    host.faults().makeUnavailable(kPFIterate8Suite);
    Image world(PF_PixelFormat_ARGB32, 2, 2);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        RecordingFilter filter(&in, suites, Nerevo::bpc8, world.world(), world.world(), &record);
        EXPECT_THROW(Nerevo::Filter::runFilter(filter), PF_Err);
    });
    EXPECT_TRUE(record.bands.empty());
}

}  // namespace
