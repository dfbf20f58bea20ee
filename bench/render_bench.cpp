// Whole 1920 × 1080 frames through the application's render commands, at
// each depth, with the default radial focus and with a linear one, on one
// thread and on two; then, measured in the same run, the memory-traffic
// floor of the algorithm: eight streaming passes that read the work buffer
// (four doubles a pixel) and the focus mat (one double) and write the work
// buffer back, on two threads. The summary gives each render's time over
// that floor and the two-thread speed-up.
//
// NEREVO_BENCH_MODULE names another build of the module to time instead of
// the one built beside this program, so that two builds can be compared
// with the same host and the same floor.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "bench_support.h"
#include "color/color.h"
#include "host/render.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFloorPasses = 8;
constexpr int kThreads = 2;

const char* modulePath() {
    const char* other = std::getenv("NEREVO_BENCH_MODULE");
    return other && *other ? other : bench::pluginPath();
}

class RenderBench {
public:
    RenderBench() {
        // Point defaults are placed in the layer the host knows at setup.
        h.frame().width = kWidth;
        h.frame().height = kHeight;
        setupErr = h.globalSetup();
        if (setupErr == PF_Err_NONE) {
            setupErr = h.paramsSetup();
        }
        bench::paint<PF_Pixel>(layer8);
        bench::paint<PF_Pixel16>(layer16);
        bench::paint<PF_PixelFloat>(layerFloat);
    }

    // One frame per iteration with the "Type" popup at `type`.
    template <typename Pixel>
    void run(benchmark::State& state, int type, int threads) {
        if (!bench::wentWell(state, setupErr, h)) {
            return;
        }
        h.param(h.paramIndex("Type")).current.u.pd.value = type;
        host::RenderOptions options;
        options.threads = threads;
        for (auto _ : state) {
            const host::RenderResult result = host::renderFrame(h, layer<Pixel>(), options);
            if (!bench::wentWell(state, result.err, h)) {
                return;
            }
        }
        state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    }

private:
    template <typename Pixel>
    const host::Image& layer() const {
        if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
            return layer8;
        } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
            return layer16;
        } else {
            return layerFloat;
        }
    }

    host::Host h{modulePath()};
    PF_Err setupErr = PF_Err_NONE;
    host::Image layer8{PF_PixelFormat_ARGB32, kWidth, kHeight};
    host::Image layer16{PF_PixelFormat_ARGB64, kWidth, kHeight};
    host::Image layerFloat{PF_PixelFormat_ARGB128, kWidth, kHeight};
};

// The floor: what the render's buffers cost to stream through memory as
// often as its stages sweep them (the mat pass, six blur passes, the
// output), with arithmetic too slight to matter.
void memoryFloor(benchmark::State& state) {
    const std::size_t pixels = std::size_t{kWidth} * kHeight;
    std::vector<Nerevo::Color<double>> work(pixels, Nerevo::Color<double>{1.0, 0.5, 0.25, 0.125});
    std::vector<double> mat(pixels, 0.5);
    const auto sweep = [&](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
            const double m = mat[i];
            Nerevo::Color<double>& w = work[i];
            w = Nerevo::Color<double>{w.a * m + 0.5, w.r * m + 0.5, w.g * m + 0.5, w.b * m + 0.5};
        }
    };
    for (auto _ : state) {
        for (int pass = 0; pass < kFloorPasses; ++pass) {
            std::thread other(sweep, pixels / kThreads, pixels);
            sweep(0, pixels / kThreads);
            other.join();
        }
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// Keeps each benchmark's mean wall and processor time per iteration, in
// milliseconds, as well as printing them as usual.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0) {
                std::string name = run.benchmark_name();
                const std::string suffix = "/real_time";
                if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                    name.resize(name.size() - suffix.size());
                }
                const double iterations = static_cast<double>(run.iterations);
                milliseconds[name] = run.real_accumulated_time * 1e3 / iterations;
                cpuMilliseconds[name] = run.cpu_accumulated_time * 1e3 / iterations;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> milliseconds;
    // The calling thread's processor time: on one thread, the whole render's
    // work, which other load on the machine disturbs less than wall time.
    std::map<std::string, double> cpuMilliseconds;
};

std::string renderName(const std::string& type, const std::string& depth, int threads) {
    return type + "/" + depth + "/threads:" + std::to_string(threads);
}

const char* const kTypes[] = {"radial", "linear"};
const char* const kDepths[] = {"8bit", "16bit", "float"};

// The depth's frames in both types, on one thread and on two.
template <typename Pixel>
void add(RenderBench& b, const std::string& depth) {
    for (int item = 1; item <= 2; ++item) {
        for (const int threads : {1, kThreads}) {
            const std::string name = renderName(kTypes[item - 1], depth, threads);
            benchmark::RegisterBenchmark(name.c_str(), [&b, item, threads](benchmark::State& state) {
                b.run<Pixel>(state, item, threads);
            })->UseRealTime()->Unit(benchmark::kMillisecond);
        }
    }
}

void printSummary(const std::map<std::string, double>& ms, const std::map<std::string, double>& cpu) {
    const auto floor = ms.find("floor/threads:2");
    if (floor == ms.end()) {
        return;
    }
    std::printf("\nmemory floor (%d passes, %d threads): %.1f ms\n", kFloorPasses, kThreads, floor->second);
    std::printf("%-8s %-6s %10s %10s %12s %10s %14s\n", "type", "depth", "1 thr ms", "2 thr ms", "2 thr/floor",
                "speed-up", "1 thr cpu ms");
    for (const char* type : kTypes) {
        for (const char* depth : kDepths) {
            const auto one = ms.find(renderName(type, depth, 1));
            const auto two = ms.find(renderName(type, depth, kThreads));
            if (one == ms.end() || two == ms.end()) {
                continue;
            }
            std::printf("%-8s %-6s %10.1f %10.1f %12.2f %10.2f %14.1f\n", type, depth, one->second, two->second,
                        two->second / floor->second, one->second / two->second, cpu.at(one->first));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RenderBench b;
    benchmark::RegisterBenchmark("floor/threads:2", memoryFloor)->UseRealTime()->Unit(benchmark::kMillisecond);
    add<PF_Pixel>(b, "8bit");
    add<PF_Pixel16>(b, "16bit");
    add<PF_PixelFloat>(b, "float");
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter.milliseconds, reporter.cpuMilliseconds);
    benchmark::Shutdown();
    return 0;
}
