#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "scene/matrix4.h"
#include "scene/quaternion.h"

namespace cs {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const Vec3& a, const Vec3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5);
    EXPECT_NEAR(a.y, b.y, 1e-5);
    EXPECT_NEAR(a.z, b.z, 1e-5);
}

TEST(Matrix4, ColumnMajorAndReceiverOnTheLeft) {
    const Matrix4 t = Matrix4::Translation(1, 2, 3);
    // OpenGL keeps the translation in elements 12 to 14.
    EXPECT_EQ(t.m[12], 1);
    EXPECT_EQ(t.m[13], 2);
    EXPECT_EQ(t.m[14], 3);
    // T x R turns first, then moves.
    const Matrix4 m = t * Matrix4::RotationZ(kPi / 2);
    ExpectNear(m.TransformPoint({1, 0, 0}), {1, 3, 3});
    Matrix4 n = Matrix4::RotationZ(kPi / 2);
    n *= t;
    ExpectNear(n.TransformPoint({1, 0, 0}), {-2, 2, 3});
    ExpectNear(Matrix4::RotationX(kPi / 2).TransformPoint({0, 1, 0}), {0, 0, 1});
    ExpectNear(Matrix4::RotationY(kPi / 2).TransformPoint({0, 0, 1}), {1, 0, 0});
}

TEST(Quaternion, MatrixAgreesWithRotationAndProductOrder) {
    // The face orientations are built as qZ(a) x qY(b) x qX(c): X acts first.
    const Quaternion q = (Quaternion::AboutZ(kPi / 2) * Quaternion::AboutY(kPi / 2) * Quaternion::AboutX(0.3f)).Normalized();
    const Matrix4 expected = Matrix4::RotationZ(kPi / 2) * Matrix4::RotationY(kPi / 2) * Matrix4::RotationX(0.3f);
    const Matrix4 r = Matrix4::Rotation(q);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(r.m[i], expected.m[i], 1e-5) << i;
    for (Vec3 v : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0.2f, -0.7f, 0.4f}})
        ExpectNear(q.Rotate(v), r.TransformPoint(v));
    // Face 0 (bottom) turned by its orientation faces the viewer (+z).
    const Quaternion bottom = Quaternion::AboutX(-kPi / 2);
    ExpectNear(bottom.Rotate({0, -1, 0}), {0, 0, 1});
    ExpectNear(Matrix4::Rotation(Quaternion::AboutX(kPi / 2)).TransformPoint({0, -1, 0}), {0, 0, -1});
}

TEST(Slerp, EndsMiddleShorterArcAndNearlyEqual) {
    const Quaternion a = Quaternion::AboutY(0.0f);
    const Quaternion b = Quaternion::AboutY(kPi / 2);
    const Quaternion start = Slerp(a, b, 0.0f, 0.0001f);
    const Quaternion end = Slerp(a, b, 1.0f, 0.0001f);
    EXPECT_NEAR(start.w, a.w, 1e-6);
    EXPECT_NEAR(end.y, b.y, 1e-6);
    const Quaternion half = Slerp(a, b, 0.5f, 0.0001f);
    const Quaternion expected = Quaternion::AboutY(kPi / 4);
    EXPECT_NEAR(half.w, expected.w, 1e-5);
    EXPECT_NEAR(half.y, expected.y, 1e-5);
    EXPECT_NEAR(half.Length(), 1.0f, 1e-5);
    // -b is the same rotation: the start is negated and the short way taken.
    const Quaternion negated{-b.w, -b.x, -b.y, -b.z};
    const Quaternion short_way = Slerp(a, negated, 0.5f, 0.0001f);
    ExpectNear(short_way.Rotate({0, 0, 1}), expected.Rotate({0, 0, 1}));
    // Nearly equal: a straight blend, not renormalised.
    const Quaternion c = Quaternion::AboutY(0.001f);
    const Quaternion lerp = Slerp(a, c, 0.5f, 0.0001f);
    EXPECT_NEAR(lerp.y, c.y / 2, 1e-7);
}

}  // namespace
}  // namespace cs
