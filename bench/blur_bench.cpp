// One column pass and one row pass of the box blur over a 1920 × 1080 work
// buffer on one thread, the focus mat the same everywhere, at radii from 1
// to 1000: prefix sums make the cost per pixel the same at every radius.
// The same over float footage at "Weight" 3 with highlights of 6.0 in every
// row and column, whose lines are summed from a tree of sums instead, and
// with highlights of 1000, beyond the double range once weighted, whose
// lines are summed from a tree of wide samples.

#include <string>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "FocusMatRows.h"
#include "HorizontalBlur.h"
#include "VerticalBlur.h"
#include "WeightTable.h"
#include "bench_support.h"
#include "filter/run_filter.h"

namespace {

using BoxBlur::Sample;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kWeight = 1.03;  // "Weight" 3

// Three to a row and one or two to a column, far apart.
bool highlighted(int x, int y) {
    return (x + 7 * y) % 640 == 0;
}

enum class Footage { plain, highlights, hdr };

class BlurBench {
public:
    BlurBench() {
        h.setThreadCount(1);
        bench::paint<PF_PixelFloat>(input);
        lit.resize(kWidth * kHeight);
        hdr.resize(kWidth * kHeight);
        hdrLogs.resize(kWidth * kHeight);
        logs.resize(kWidth * kHeight);  // the same size on every copy: p.logs stays valid
        plain.resize(kWidth * kHeight);
        h.withCommandData([&](PF_InData& in, PF_OutData&) {
            const std::vector<double> table = makeWeightTable(&in, Nerevo::bpc32, kWeight);
            const Weighting f{true, kWeight, table.data(), std::log2(kWeight)};
            const PF_PixelFloat bright{1.0f, 6.0f, 6.0f, 4.0f};
            const PF_PixelFloat blinding{1.0f, 1000.0f, 1000.0f, 4.0f};
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const PF_PixelFloat& p = input.at<PF_PixelFloat>(x, y);
                    plain[index(x, y)] = FocusMat::premultiplied(p, f, nullptr);
                    lit[index(x, y)] = FocusMat::premultiplied(highlighted(x, y) ? bright : p, f, nullptr);
                    hdr[index(x, y)] =
                        FocusMat::premultiplied(highlighted(x, y) ? blinding : p, f, &hdrLogs[index(x, y)]);
                }
            }
        });
        p.passAmount = 1.0;  // times the radius in the mat
        p.repeatEdgePixels = true;
        p.mat = &mat;
        p.work = &work;
    }

    // One pass of the benchmark's radius per iteration, over a fresh copy of
    // the footage; neither pass writes an output world before the last.
    template <typename Pass>
    void run(benchmark::State& state, Footage which) {
        const std::vector<Sample>& footage = which == Footage::hdr ? hdr : which == Footage::highlights ? lit : plain;
        mat.assign(footage.size(), static_cast<double>(state.range(0)));
        p.logs = which == Footage::hdr ? logs.data() : nullptr;
        for (auto _ : state) {
            state.PauseTiming();
            work = footage;
            logs = hdrLogs;
            state.ResumeTiming();
            PF_Err err = PF_Err_NONE;
            h.withCommandData([&](PF_InData& in, PF_OutData&) {
                AEGP_SuiteHandler suites(in.pica_basicP);
                const Pass pass(&in, suites, Nerevo::bpc32, input.world(), nullptr, &p);
                err = Nerevo::Filter::runFilter(pass);
            });
            if (!bench::wentWell(state, err, h)) {
                return;
            }
        }
        state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    }

private:
    static std::size_t index(int x, int y) { return static_cast<std::size_t>(y) * kWidth + x; }

    host::Host h{bench::pluginPath()};
    host::Image input{PF_PixelFormat_ARGB128, kWidth, kHeight};
    std::vector<Sample> plain;
    std::vector<Sample> lit;
    std::vector<Sample> hdr;
    std::vector<Sample> hdrLogs;
    std::vector<double> mat;
    std::vector<Sample> logs;
    std::vector<Sample> work;
    BlurParameters p{};
};

template <typename Pass>
void add(BlurBench& b, const std::string& name, Footage which) {
    benchmark::RegisterBenchmark(name.c_str(), [&b, which](benchmark::State& state) {
        b.run<Pass>(state, which);
    })->ArgName("radius")->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BlurBench b;
    for (const Footage which : {Footage::plain, Footage::highlights, Footage::hdr}) {
        const std::string set = which == Footage::hdr ? "/hdr" : which == Footage::highlights ? "/highlights" : "/plain";
        add<VerticalBlur>(b, "columns" + set, which);
        add<HorizontalBlur>(b, "rows" + set, which);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
