#pragma once
// 4 x 4 matrices in OpenGL's column-major order: element (row r, column c)
// is m[4c + r]. Products keep the receiver on the left (M := M x N), so
// M x N applied to a point applies N first.
#include <array>
#include <cstddef>

#include "scene/quaternion.h"

namespace cs {

struct Matrix4 {
    std::array<float, 16> m{};

    static Matrix4 Identity();
    static Matrix4 Translation(float x, float y, float z);
    static Matrix4 RotationX(float angle);
    static Matrix4 RotationY(float angle);
    static Matrix4 RotationZ(float angle);
    static Matrix4 Rotation(const Quaternion& q);

    float& At(int row, int column) { return m[static_cast<std::size_t>(4 * column + row)]; }
    float At(int row, int column) const { return m[static_cast<std::size_t>(4 * column + row)]; }

    Matrix4 operator*(const Matrix4& n) const;
    Matrix4& operator*=(const Matrix4& n) { return *this = *this * n; }
    // The point (w = 1) transformed.
    Vec3 TransformPoint(const Vec3& p) const;
    const float* data() const { return m.data(); }

    bool operator==(const Matrix4&) const = default;
};

}  // namespace cs
