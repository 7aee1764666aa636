#include "scene/matrix4.h"

#include <cmath>

namespace cs {

Matrix4 Matrix4::Identity() {
    Matrix4 r;
    r.m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return r;
}

Matrix4 Matrix4::Translation(float x, float y, float z) {
    Matrix4 r = Identity();
    r.At(0, 3) = x;
    r.At(1, 3) = y;
    r.At(2, 3) = z;
    return r;
}

Matrix4 Matrix4::RotationX(float angle) {
    Matrix4 r = Identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.At(1, 1) = c;
    r.At(1, 2) = -s;
    r.At(2, 1) = s;
    r.At(2, 2) = c;
    return r;
}

Matrix4 Matrix4::RotationY(float angle) {
    Matrix4 r = Identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.At(0, 0) = c;
    r.At(0, 2) = s;
    r.At(2, 0) = -s;
    r.At(2, 2) = c;
    return r;
}

Matrix4 Matrix4::RotationZ(float angle) {
    Matrix4 r = Identity();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.At(0, 0) = c;
    r.At(0, 1) = -s;
    r.At(1, 0) = s;
    r.At(1, 1) = c;
    return r;
}

Matrix4 Matrix4::Rotation(const Quaternion& q) {
    const float w = q.w, x = q.x, y = q.y, z = q.z;
    Matrix4 r = Identity();
    r.At(0, 0) = 1 - 2 * (y * y + z * z);
    r.At(0, 1) = 2 * (x * y - w * z);
    r.At(0, 2) = 2 * (x * z + w * y);
    r.At(1, 0) = 2 * (x * y + w * z);
    r.At(1, 1) = 1 - 2 * (x * x + z * z);
    r.At(1, 2) = 2 * (y * z - w * x);
    r.At(2, 0) = 2 * (x * z - w * y);
    r.At(2, 1) = 2 * (y * z + w * x);
    r.At(2, 2) = 1 - 2 * (x * x + y * y);
    return r;
}

Matrix4 Matrix4::operator*(const Matrix4& n) const {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += At(row, k) * n.At(k, col);
            r.At(row, col) = sum;
        }
    return r;
}

Vec3 Matrix4::TransformPoint(const Vec3& p) const {
    return {At(0, 0) * p.x + At(0, 1) * p.y + At(0, 2) * p.z + At(0, 3),
            At(1, 0) * p.x + At(1, 1) * p.y + At(1, 2) * p.z + At(1, 3),
            At(2, 0) * p.x + At(2, 1) * p.y + At(2, 2) * p.z + At(2, 3)};
}

}  // namespace cs
