#include "scene/quaternion.h"

#include <cmath>

namespace cs {

Quaternion Quaternion::AboutX(float angle) { return {std::cos(angle / 2), std::sin(angle / 2), 0.0f, 0.0f}; }
Quaternion Quaternion::AboutY(float angle) { return {std::cos(angle / 2), 0.0f, std::sin(angle / 2), 0.0f}; }
Quaternion Quaternion::AboutZ(float angle) { return {std::cos(angle / 2), 0.0f, 0.0f, std::sin(angle / 2)}; }

Quaternion Quaternion::operator*(const Quaternion& r) const {
    return {w * r.w - x * r.x - y * r.y - z * r.z, w * r.x + x * r.w + y * r.z - z * r.y,
            w * r.y - x * r.z + y * r.w + z * r.x, w * r.z + x * r.y - y * r.x + z * r.w};
}

float Quaternion::Length() const { return std::sqrt(Dot(*this)); }

Quaternion Quaternion::Normalized() const {
    const float length = Length();
    if (length == 0.0f) return {};
    return {w / length, x / length, y / length, z / length};
}

Vec3 Quaternion::Rotate(const Vec3& v) const {
    const Quaternion p{0.0f, v.x, v.y, v.z};
    const Quaternion conjugate{w, -x, -y, -z};
    const Quaternion r = *this * p * conjugate;
    return {r.x, r.y, r.z};
}

Quaternion Slerp(Quaternion start, const Quaternion& target, float u, float threshold) {
    float d = start.Dot(target);
    if (d < 0.0f) {
        start = {-start.w, -start.x, -start.y, -start.z};
        d = -d;
    }
    float a;
    float b;
    if (1.0f - d > threshold) {
        const float angle = std::acos(std::fmin(d, 1.0f));
        const float s = std::sin(angle);
        a = std::sin((1.0f - u) * angle) / s;
        b = std::sin(u * angle) / s;
    } else {
        a = 1.0f - u;
        b = u;
    }
    return {start.w * a + target.w * b, start.x * a + target.x * b, start.y * a + target.y * b,
            start.z * a + target.z * b};
}

}  // namespace cs
