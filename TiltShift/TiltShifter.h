#pragma once
// The stages of one render: a focus mat generator, then three rounds of a
// column and a row blur (the last row pass writing the output world), or,
// with nothing to blur, the outputter. The tilt shifter owns the three
// buffers every stage shares for this render only: the weighting table, the
// focus mat (one double per pixel, 0 = sharp) and the work buffer (one
// premultiplied Color<double> per pixel, in the depth's channel units), and
// for weighted float the logs of the work colours too large for a double.
// The mat and the work buffer are not zero-filled: the mat stage writes each
// of their entries, in bands on every thread, before any stage reads one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "blend/blend.h"
#include "color/color.h"
#include "utility/bpc.h"
#include "vector/vector2.h"
#include "world/world.h"

// The effect's parameters in render units: lengths in render pixels (scaled
// by the horizontal downsample factor), angles in radians.
struct TiltShifterParameters {
    double halfDiagonal;
    double blurAmount;
    double blurOffset;
    double weight;  // 1 + "Weight" / 100
    Nerevo::Vector2<double> center;  // pixels of the output world
    double direction;
    double ratio;
    double innerWidth;
    std::int32_t linearMode;
    double power;
    double focusDistance;
    double chromaticAberration;
    double vignetting;  // "Vignetting" / 100
    Nerevo::Color<float> vignettingColor;
    Nerevo::BlendingMode blendingMode;
    bool repeatEdgePixels;
};

class TiltShifter {
public:
    // The input world has the output world's size (the render driver sees
    // to it). Throws std::bad_alloc when the buffers cannot be had.
    TiltShifter(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, std::shared_ptr<Nerevo::World> input,
                std::shared_ptr<Nerevo::World> output, TiltShifterParameters params);
    virtual ~TiltShifter();

    TiltShifter(const TiltShifter&) = delete;
    TiltShifter& operator=(const TiltShifter&) = delete;

    // Runs the stages once; the first error stops the rest and is returned.
    // Worlds or buffers that do not fit (see stagesFit) give
    // PF_Err_INTERNAL_STRUCT_DAMAGED before any stage runs.
    virtual int execute() = 0;

    // A finished render leaves its mat and work buffer for the next one of
    // its size; the plug-in gives them back when the application lets it go.
    static void releaseSpareBuffers();

protected:
    // The host worlds the stages run on; null without a world.
    PF_LayerDef* inputLayer() const;
    PF_LayerDef* outputLayer() const;
    bool chromaticAberrationOn() const;
    // Whether the worlds and buffers are what every stage takes for granted:
    // both worlds of one size (or both without pixels) and, when weighted,
    // the depth's whole table.
    // Checked once, before any stage runs.
    bool stagesFit() const;
    // After the mat stage's result: the blur passes, or the outputter when
    // there is nothing to blur. Nothing runs after an error.
    int blurOrOutput(PF_Err matResult);
    // The log buffer when the render has one (weighted float), else null.
    Nerevo::Color<double>* logsOrNull();
    // The output conversion's fields, which the blur and outputter records
    // name alike, with the buffers they read.
    template <typename OutputRecord>
    void fillOutputFields(OutputRecord& record) {
        record.weighted = weighted;
        record.weight = params.weight;
        record.vignetting = params.vignetting;
        record.vignettingColor = params.vignettingColor;
        record.blendingMode = params.blendingMode;
        record.mat = {mat.get(), pixels};
        record.work = {work.get(), pixels};
        record.logs = logsOrNull();
    }
    // The fields both mat generators' records share, named alike in each.
    template <typename MatRecord>
    void fillSharedMatFields(MatRecord& mats) {
        mats.halfDiagonal = params.halfDiagonal;
        mats.weighted = weighted;
        mats.weight = params.weight;
        mats.center = params.center;
        mats.direction = params.direction;
        mats.innerWidth = params.innerWidth;
        mats.power = params.power;
        mats.chromaticAberrationOn = chromaticAberrationOn();
        mats.chromaticAberration = params.chromaticAberration;
        mats.weightTable = &weightTable;
        mats.mat = {mat.get(), pixels};
        mats.work = {work.get(), pixels};
        mats.logs = logsOrNull();
    }

    PF_InData* in_data;
    AEGP_SuiteHandler& suites;
    Nerevo::Bpc bpc;
    std::shared_ptr<Nerevo::World> input;
    std::shared_ptr<Nerevo::World> output;
    TiltShifterParameters params;
    bool weighted;
    std::vector<double> weightTable;
    // Entries of the mat and the work buffer: the input world's pixels.
    std::size_t pixels;
    std::unique_ptr<double[]> mat;
    std::unique_ptr<Nerevo::Color<double>[]> work;
    // Weighted float only: beside each work colour that passes the double
    // range (left infinite there), the log2 of its magnitude. Left unset,
    // so that a frame without such colours never touches its pages.
    std::unique_ptr<Nerevo::Color<double>[]> logs;
};

class LinearTiltShifter : public TiltShifter {
public:
    using TiltShifter::TiltShifter;
    int execute() override;
};

class RadialTiltShifter : public TiltShifter {
public:
    using TiltShifter::TiltShifter;
    int execute() override;
};
