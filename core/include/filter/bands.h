#pragma once
// The schedule inside one band, so that a stage's body holds only the
// arithmetic of one row or one column: the band clipped to the world, the
// lines visited in order, and band 0 polling the host's abort after each
// row or each block of columns.
//
// Columns of a row-major buffer are visited a block at a time, so that
// memory is read and written in whole cache lines instead of one strided
// sample per line: either the block's body sweeps its rows itself, or the
// block is copied row by row into a small buffer that holds each of its
// columns contiguously, the body works on those, and the block goes back
// row by row. What the body computes does not change.

#include <algorithm>
#include <cstddef>
#include <memory>

#include "AE_EffectCB.h"
#include "vector/rect.h"

namespace Nerevo {
namespace Filter {

// Columns per block: eight cache lines of a row of work-buffer samples.
constexpr int kColumnBlock = 16;

// The host's answer to "has the user cancelled?" for band 0; 0 elsewhere.
inline PF_Err pollAbort(PF_InData* in_data, bool checkAbort) {
    return checkAbort ? in_data->inter.abort(in_data->effect_ref) : PF_Err_NONE;
}

// body(y, left, right) for each row of `band` inside a world of `width` ×
// `height`, with the band's columns clipped to it; the first error ends the
// band. An error of the body's comes back before the abort poll after its row.
template <typename RowBody>
PF_Err forEachRow(PF_InData* in_data, const Rect<int>& band, int width, int height, bool checkAbort,
                  RowBody&& body) {
    const int left = std::max(band.left, 0);
    const int right = std::min(band.right, width);
    if (left >= right) {
        return PF_Err_NONE;
    }
    for (int y = std::max(band.top, 0); y < std::min(band.bottom, height); ++y) {
        if (const PF_Err err = body(y, left, right)) {
            return err;
        }
        if (const PF_Err err = pollAbort(in_data, checkAbort)) {
            return err;
        }
    }
    return PF_Err_NONE;
}

// body(first, count) for each block of `count` <= kColumnBlock neighbouring
// columns of `band`, from column `first`, inside a world of `width` ×
// `height`. Band 0 polls abort after each block.
template <typename BlockBody>
PF_Err forEachColumnBlock(PF_InData* in_data, const Rect<int>& band, int width, int height, bool checkAbort,
                          BlockBody&& body) {
    const int left = std::max(band.left, 0);
    const int right = std::min(band.right, width);
    if (height <= 0 || left >= right) {
        return PF_Err_NONE;
    }
    for (int first = left; first < right; first += kColumnBlock) {
        body(first, std::min(kColumnBlock, right - first));
        if (const PF_Err err = pollAbort(in_data, checkAbort)) {
            return err;
        }
    }
    return PF_Err_NONE;
}

// A block of up to kColumnBlock columns of two row-major buffers with one
// entry per pixel, held column by column: each column's entries of the first
// buffer, and beside them the same column's entries of the second. Loaded
// and stored row by row, in whole cache lines.
template <typename T, typename U>
class ColumnBlock {
public:
    // Room for columns of `rows` entries, left unset until loaded.
    explicit ColumnBlock(std::size_t rows)
        : rows_(rows), columns_(new T[rows * kColumnBlock]), along_(new U[rows * kColumnBlock]) {}

    // Columns first … first + count − 1 of both buffers, rows `stride` apart.
    void load(const T* buffer, const U* alongside, std::size_t stride, std::size_t first, std::size_t count) {
        for (std::size_t y = 0; y < rows_; ++y) {
            const std::size_t at = y * stride + first;
            for (std::size_t k = 0; k < count; ++k) {
                columns_[k * rows_ + y] = buffer[at + k];
                along_[k * rows_ + y] = alongside[at + k];
            }
        }
    }

    // The first buffer's columns back where they were loaded from.
    void store(T* buffer, std::size_t stride, std::size_t first, std::size_t count) const {
        for (std::size_t y = 0; y < rows_; ++y) {
            const std::size_t at = y * stride + first;
            for (std::size_t k = 0; k < count; ++k) {
                buffer[at + k] = columns_[k * rows_ + y];
            }
        }
    }

    // Column k of the block, contiguous, and the second buffer's beside it.
    T* column(std::size_t k) { return &columns_[k * rows_]; }
    const U* along(std::size_t k) const { return &along_[k * rows_]; }

private:
    std::size_t rows_;
    std::unique_ptr<T[]> columns_;
    std::unique_ptr<U[]> along_;
};

}  // namespace Filter
}  // namespace Nerevo
