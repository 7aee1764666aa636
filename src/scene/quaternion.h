#pragma once
// Rotations as unit quaternions (w, x, y, z); angles in radians.
namespace cs {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Quaternion {
    float w = 1.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    static Quaternion AboutX(float angle);
    static Quaternion AboutY(float angle);
    static Quaternion AboutZ(float angle);

    // Hamilton product: applied to a vector, the right-hand rotation acts
    // first.
    Quaternion operator*(const Quaternion& r) const;
    float Dot(const Quaternion& r) const { return w * r.w + x * r.x + y * r.y + z * r.z; }
    float Length() const;
    Quaternion Normalized() const;
    // The vector turned by this (unit) quaternion.
    Vec3 Rotate(const Vec3& v) const;
};

// Spherical interpolation from start (u = 0) to target (u = 1) along the
// shorter arc; where the two are closer than the threshold (1 - dot), a
// straight blend. The result is not renormalised.
Quaternion Slerp(Quaternion start, const Quaternion& target, float u, float threshold);

}  // namespace cs
