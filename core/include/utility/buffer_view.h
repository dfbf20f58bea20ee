#pragma once
// The entries of a buffer that someone else owns, as a stage's record names
// them: an array's, which may be left uninitialised until a stage writes
// it, or a vector's, as they are whenever the stage reads them (a record
// may be filled before its vector).

#include <cstddef>
#include <type_traits>
#include <vector>

namespace Nerevo {

template <typename T>
class BufferView {
    using Vector = std::conditional_t<std::is_const_v<T>, const std::vector<std::remove_const_t<T>>, std::vector<T>>;

public:
    BufferView() = default;
    BufferView(std::nullptr_t) {}
    BufferView(T* data, std::size_t size) : data_(data), size_(size) {}
    BufferView(Vector* vector) : vector_(vector) {}

    T* data() const { return vector_ ? vector_->data() : data_; }
    std::size_t size() const { return vector_ ? vector_->size() : size_; }

private:
    T* data_ = nullptr;
    std::size_t size_ = 0;
    Vector* vector_ = nullptr;
};

}  // namespace Nerevo
