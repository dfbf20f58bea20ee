// Whole 1280 × 720 frames through the application's render commands, at
// each depth, with the default radial focus and with a linear one, on one
// thread and on all the machine's cores.

#include <string>
#include <type_traits>

#include "bench_support.h"
#include "host/render.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

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

    // One frame per iteration with the "Type" popup at `type`; `threads` 0
    // for all cores.
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

    host::Host h{bench::pluginPath()};
    PF_Err setupErr = PF_Err_NONE;
    host::Image layer8{PF_PixelFormat_ARGB32, kWidth, kHeight};
    host::Image layer16{PF_PixelFormat_ARGB64, kWidth, kHeight};
    host::Image layerFloat{PF_PixelFormat_ARGB128, kWidth, kHeight};
};

// The depth's frames in both types, on one thread and on all cores.
template <typename Pixel>
void add(RenderBench& b, const std::string& depth) {
    const struct {
        int item;  // of the "Type" popup
        const char* name;
    } types[] = {{1, "radial"}, {2, "linear"}};
    for (const auto& type : types) {
        for (const int threads : {1, 0}) {
            const std::string name =
                std::string(type.name) + "/" + depth + "/threads:" + (threads ? std::to_string(threads) : "all");
            benchmark::RegisterBenchmark(name.c_str(), [&b, item = type.item, threads](benchmark::State& state) {
                b.run<Pixel>(state, item, threads);
            })->UseRealTime()->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RenderBench b;
    add<PF_Pixel>(b, "8bit");
    add<PF_Pixel16>(b, "16bit");
    add<PF_PixelFloat>(b, "float");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
