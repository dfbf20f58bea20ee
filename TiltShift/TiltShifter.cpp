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

// The mat and work buffer of the last render, handed to the next one of the
// same size: a new buffer is faulted in page by page, a cost every render
// would pay again. Every entry is written by the mat stage before any stage
// reads it, so nothing of a render reaches the next. A render that finds
// them taken (another render running) makes its own, and of two returned the
// later is kept.
template <typename T>
class SpareBuffer {
public:
    std::unique_ptr<T[]> take(std::size_t size) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (entries_ && size_ == size) {
                return std::move(entries_);
            }
        }
        // Left uninitialised, as above.
        return std::unique_ptr<T[]>(new T[size]);
    }

    void giveBack(std::unique_ptr<T[]> entries, std::size_t size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_ = std::move(entries);
        size_ = size;
    }

    void release() { giveBack(nullptr, 0); }

private:
    std::mutex mutex_;
    std::unique_ptr<T[]> entries_;
    std::size_t size_ = 0;
};

SpareBuffer<double>& spareMat() {
    static SpareBuffer<double> spare;
    return spare;
}

SpareBuffer<Nerevo::Color<double>>& spareWork() {
    static SpareBuffer<Nerevo::Color<double>> spare;
    return spare;
}

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
      pixels(pixelCount(this->input)),
      mat(spareMat().take(pixels)),
      work(spareWork().take(pixels)),
      logs(weighted && bpc == Nerevo::bpc32 && pixels > 0 ? new Nerevo::Color<double>[pixels] : nullptr) {}

void TiltShifter::releaseSpareBuffers() {
    spareMat().release();
    spareWork().release();
}

TiltShifter::~TiltShifter() {
    spareMat().giveBack(std::move(mat), pixels);
    spareWork().giveBack(std::move(work), pixels);
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
