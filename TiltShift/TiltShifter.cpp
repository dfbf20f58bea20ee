#include "TiltShifter.h"

#include <cstddef>
#include <mutex>
#include <utility>

#include "HorizontalBlur.h"
#include "Outputter.h"
#include "VerticalBlur.h"
#include "WeightTable.h"
#include "filter/run_filter.h"
#include "world/pixels.h"

namespace {

// A world without a buffer has no pixels.
std::size_t pixelCount(const std::shared_ptr<Nerevo::World>& world) {
    const PF_LayerDef* layer = world ? world->world : nullptr;
    if (!layer || !layer->data || layer->width <= 0 || layer->height <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(layer->width) * static_cast<std::size_t>(layer->height);
}

// The mat and work buffer of the last render, handed to the next one: a new
// buffer is zero-filled on one thread and faulted in page by page, a cost
// every render would pay again for the same size. Every entry is written by
// the mat stage before any stage reads it, so nothing of a render reaches
// the next. A render that finds the buffers taken (another render running)
// makes its own, and of two returned the later is kept.
class SpareBuffers {
public:
    template <typename T>
    static std::vector<T> take(std::vector<T>& spare, std::size_t size) {
        std::vector<T> buffer;
        {
            const std::lock_guard<std::mutex> lock(mutex());
            buffer.swap(spare);
        }
        if (buffer.capacity() < size) {
            buffer = std::vector<T>();
        }
        buffer.resize(size);
        return buffer;
    }

    template <typename T>
    static void giveBack(std::vector<T>& spare, std::vector<T>& buffer) {
        const std::lock_guard<std::mutex> lock(mutex());
        spare.swap(buffer);
    }

    static std::vector<double>& mat() {
        static std::vector<double> spare;
        return spare;
    }

    static std::vector<Nerevo::Color<double>>& work() {
        static std::vector<Nerevo::Color<double>> spare;
        return spare;
    }

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
};

// Each pass takes a third of the radius: three box blurs in a row come
// close to a Gaussian.
constexpr double kThird = 0.3333333333333333;

}  // namespace

TiltShifter::TiltShifter(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc,
                         std::shared_ptr<Nerevo::World> input, std::shared_ptr<Nerevo::World> output,
                         TiltShifterParameters params)
    : in_data(in_data),
      suites(suites),
      bpc(bpc),
      input(std::move(input)),
      output(std::move(output)),
      params(params),
      weighted(isWeighted(params.weight)),
      weightTable(makeWeightTable(in_data, bpc, params.weight)),
      mat(SpareBuffers::take(SpareBuffers::mat(), pixelCount(this->input))),
      work(SpareBuffers::take(SpareBuffers::work(), pixelCount(this->input))),
      logs(weighted && bpc == Nerevo::bpc32 && !work.empty() ? new Nerevo::Color<double>[work.size()] : nullptr) {}

TiltShifter::~TiltShifter() {
    SpareBuffers::giveBack(SpareBuffers::mat(), mat);
    SpareBuffers::giveBack(SpareBuffers::work(), work);
}

PF_LayerDef* TiltShifter::inputLayer() const {
    return input ? input->world : nullptr;
}

PF_LayerDef* TiltShifter::outputLayer() const {
    return output ? output->world : nullptr;
}

bool TiltShifter::chromaticAberrationOn() const {
    return params.chromaticAberration > 1e-6;
}

// The stages index the buffers by the input world and write the output
// world over the same rows and columns, trusting this check instead of
// making their own.
bool TiltShifter::stagesFit() const {
    const PF_LayerDef* in = inputLayer();
    const PF_LayerDef* out = outputLayer();
    const bool inPixels = in && in->data;
    const bool outPixels = out && out->data;
    if (!inPixels && !outPixels) {
        return true;
    }
    if (!inPixels || !outPixels || in->width != out->width || in->height != out->height) {
        return false;
    }
    const std::size_t pixels = pixelCount(input);
    if (mat.size() != pixels || work.size() != pixels) {
        return false;
    }
    bool tableFits = true;
    Nerevo::withPixelType(bpc, [&](auto type) {
        tableFits = !weighted || weightTable.size() >= weightTableSize<typename decltype(type)::type>();
    });
    return tableFits;
}

Nerevo::Color<double>* TiltShifter::logsOrNull() {
    return logs.get();
}

int TiltShifter::blurOrOutput(PF_Err matResult) {
    if (matResult) {
        return matResult;
    }
    if (params.blurAmount > 1e-6 || params.blurOffset > 1e-6) {
        BlurParameters blur;
        fillOutputFields(blur);
        blur.isLastPass = false;
        blur.passAmount = params.blurAmount * kThird;
        blur.passOffset = params.blurOffset * kThird;
        blur.repeatEdgePixels = params.repeatEdgePixels;
        const VerticalBlur vertical(in_data, suites, bpc, inputLayer(), outputLayer(), &blur);
        const HorizontalBlur horizontal(in_data, suites, bpc, inputLayer(), outputLayer(), &blur);
        for (int round = 1; round <= 3; ++round) {
            if (const PF_Err err = Nerevo::Filter::runFilter(vertical)) {
                return err;
            }
            // Only the third row pass writes the output world.
            blur.isLastPass = round == 3;
            if (const PF_Err err = Nerevo::Filter::runFilter(horizontal)) {
                return err;
            }
        }
        return PF_Err_NONE;
    }
    OutputterParameters out;
    fillOutputFields(out);
    const Outputter outputter(in_data, suites, bpc, inputLayer(), outputLayer(), &out);
    return Nerevo::Filter::runFilter(outputter);
}
