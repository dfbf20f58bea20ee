#pragma once

namespace Nerevo {

template <typename T>
struct Vector2 {
    T x, y;
};

template <typename T>
Vector2<T> operator+(Vector2<T> a, Vector2<T> b) { return {a.x + b.x, a.y + b.y}; }
template <typename T>
Vector2<T> operator-(Vector2<T> a, Vector2<T> b) { return {a.x - b.x, a.y - b.y}; }
template <typename T>
Vector2<T> operator*(T s, Vector2<T> v) { return {s * v.x, s * v.y}; }
template <typename T>
T dot(Vector2<T> a, Vector2<T> b) { return a.x * b.x + a.y * b.y; }

}  // namespace Nerevo
