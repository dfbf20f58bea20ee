#pragma once
// What the column pass and the row pass share: their record, the radius a
// pass gives a pixel, and the blur of a line back into the work buffer.
// The passes differ only in which samples make a line.

#include <cstddef>

#include "BoxBlurLine.h"
#include "blend/blend.h"
#include "color/color.h"
#include "filter/bands.h"
#include "utility/buffer_view.h"
#include "utility/prefetch.h"

struct BlurParameters {
    bool isLastPass;    // the row pass writes the output world instead of the work buffer
    double passAmount;  // radius per unit of focus mat, pixels: a third of the blur amount
    double passOffset;  // radius added everywhere, pixels: a third of the blur offset
    // The output conversion's fields, read by the last row pass only.
    bool weighted;
    double weight;
    double vignetting;
    Nerevo::Color<float> vignettingColor;
    Nerevo::BlendingMode blendingMode;
    bool repeatEdgePixels;
    Nerevo::BufferView<const double> mat;
    Nerevo::BufferView<Nerevo::Color<double>> work;
    // Weighted float only: the log2 of every work colour beyond the double
    // range, one entry per pixel (the others unset); null otherwise.
    Nerevo::Color<double>* logs;
};

namespace BoxBlur {

inline double passRadius(const BlurParameters& p, double m) {
    return p.passAmount * m + p.passOffset;
}

// Blurs the line samples[0], samples[sampleStride], … in place, its focus
// mat values lying at `matStride` from `mat` and its logs, if any, at
// `logStride` from `logs`; entries whose radius blurs nothing are not
// written.
inline void blurLine(Line& line, Sample* samples, std::ptrdiff_t sampleStride, const double* mat,
                     std::ptrdiff_t matStride, Sample* logs, std::ptrdiff_t logStride, const BlurParameters& p) {
    line.load(samples, sampleStride, logs, logStride);
    // Only a line with logs is ever wide; saying so spares the compiler.
    if (logs && line.wide()) {
        for (std::ptrdiff_t k = 0; k < line.length(); ++k) {
            const double r = passRadius(p, mat[k * matStride]);
            if (blurs(r)) {
                narrowed(line.blurredWide(k, r), samples[k * sampleStride], logs[k * logStride]);
            }
        }
        return;
    }
    for (std::ptrdiff_t k = 0; k < line.length(); ++k) {
        const double r = passRadius(p, mat[k * matStride]);
        if (blurs(r)) {
            samples[k * sampleStride] = line.blurred(k, r);
        }
    }
}

// How far ahead of the row being swept a block's next rows are asked for:
// enough rows to cover the memory's latency, few enough to stay in cache.
constexpr std::ptrdiff_t kRowsAhead = 8;

// Each cache line of `count` entries from `first`; the last entry's too,
// for entries that do not begin a line.
template <typename T, typename Prefetch>
void prefetchRow(const T* first, std::ptrdiff_t count, Prefetch prefetch) {
    constexpr std::ptrdiff_t kPerLine = 64 / static_cast<std::ptrdiff_t>(sizeof(T));
    for (std::ptrdiff_t k = 0; k < count; k += kPerLine) {
        prefetch(first + k);
    }
    prefetch(first + count - 1);
}

// Lines blurred side by side by blurPlainColumns: at 1080 rows these lines
// stay within a core's second-level cache; more measured slower.
constexpr std::ptrdiff_t kSideBySide = 8;

// Blurs `count` <= kSideBySide neighbouring columns of a row-major buffer
// in place, rows `stride` apart, from `samples`, their mat values at the
// same offsets from `mat`, each column as blurLine blurs it, a line of
// `lines`: loaded side by side in one sweep over the rows and written back
// in another, so that each row of the block is read and written whole. Only
// for plain lines: when one is not (`withLogs`: the lines would have logs),
// nothing is written and the result is false.
inline bool blurPlainColumns(Line* lines, std::ptrdiff_t count, Sample* samples, const double* mat, bool withLogs,
                             std::ptrdiff_t stride, const BlurParameters& p) {
    const std::ptrdiff_t rows = lines[0].length();
    if (rows == 0) {
        return true;
    }
    for (std::ptrdiff_t k = 0; k < count; ++k) {
        lines[k].start(samples[k]);
    }
    for (std::ptrdiff_t y = 1; y < rows; ++y) {
        const Sample* row = samples + y * stride;
        if (y + kRowsAhead < rows) {
            prefetchRow(row + kRowsAhead * stride, count, Nerevo::prefetchForReading);
        }
        for (std::ptrdiff_t k = 0; k < count; ++k) {
            lines[k].append(y, row[k]);
        }
    }
    bool allPlain = true;
    for (std::ptrdiff_t k = 0; k < count; ++k) {
        allPlain = lines[k].settle(withLogs) && allPlain;
    }
    if (!allPlain) {
        return false;
    }
    for (std::ptrdiff_t y = 0; y < rows; ++y) {
        Sample* row = samples + y * stride;
        const double* m = mat + y * stride;
        if (y + kRowsAhead < rows) {
            prefetchRow(m + kRowsAhead * stride, count, Nerevo::prefetchForReading);
            prefetchRow(row + kRowsAhead * stride, count, Nerevo::prefetchForWriting);
        }
        for (std::ptrdiff_t k = 0; k < count; ++k) {
            const double r = passRadius(p, m[k]);
            if (blurs(r)) {
                row[k] = lines[k].blurred(y, r);
            }
        }
    }
    return true;
}

// The same for any columns, up to a block's, careful ones too, which read
// their sum trees all along, with their logs (if any) at the samples'
// offsets from `logs`: the columns are copied into `block`, and each goes
// through blurLine on its own as `line`, its trees staying in cache. True
// when a column was careful.
inline bool blurColumnsOneByOne(Line& line, Nerevo::Filter::ColumnBlock<Sample, double>& block,
                                std::ptrdiff_t count, Sample* samples, const double* mat, Sample* logs,
                                std::ptrdiff_t stride, const BlurParameters& p) {
    const auto columns = static_cast<std::size_t>(count);
    block.load(samples, mat, static_cast<std::size_t>(stride), 0, columns);
    bool careful = false;
    for (std::size_t k = 0; k < columns; ++k) {
        blurLine(line, block.column(k), 1, block.along(k), 1, logs ? logs + k : nullptr, stride, p);
        careful = careful || !line.plain();
    }
    block.store(samples, static_cast<std::size_t>(stride), 0, columns);
    return careful;
}

}  // namespace BoxBlur
