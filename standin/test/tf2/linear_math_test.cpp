// The linear-math types: exact rotation matrices, Euler angles, rigid transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tf2/LinearMath/Matrix3x3.h"
#include "tf2/LinearMath/Quaternion.h"
#include "tf2/LinearMath/Transform.h"
#include "tf2/LinearMath/Vector3.h"

namespace
{

// The exact operation order that callers rely on (they compare results bit for bit).
struct ExpectedRotation
{
  double m[3][3];
};

ExpectedRotation reference_rotation(double x, double y, double z, double w)
{
  const double d = x * x + y * y + z * z + w * w;
  const double s = 2.0 / d;
  const double xs = x * s, ys = y * s, zs = z * s;
  const double wx = w * xs, wy = w * ys, wz = w * zs;
  const double xx = x * xs, xy = x * ys, xz = x * zs;
  const double yy = y * ys, yz = y * zs, zz = z * zs;
  return ExpectedRotation{{
    {1.0 - (yy + zz), xy - wz, xz + wy},
    {xy + wz, 1.0 - (xx + zz), yz - wx},
    {xz - wy, yz + wx, 1.0 - (xx + yy)}}};
}

bool same_bits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof(double)) == 0;
}

void expect_bit_exact(const tf2::Matrix3x3 & actual, const ExpectedRotation & expected)
{
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_TRUE(same_bits(actual[r][c], expected.m[r][c]))
        << "element (" << r << ", " << c << "): " << actual[r][c] << " vs " << expected.m[r][c];
    }
  }
}

void expect_vector_near(const tf2::Vector3 & actual, double x, double y, double z)
{
  EXPECT_NEAR(actual.x(), x, 1e-12);
  EXPECT_NEAR(actual.y(), y, 1e-12);
  EXPECT_NEAR(actual.z(), z, 1e-12);
}

}  // namespace

TEST(Matrix3x3SetRotation, MatchesTheReferenceFormulaBitForBit)
{
  const double quaternions[][4] = {
    {0.0, 0.0, 0.0, 1.0},
    {0.0, 0.0, std::sin(0.35), std::cos(0.35)},
    {0.1, -0.2, 0.3, 0.9},                        // slightly off unit length
    {0.5, 0.5, 0.5, 0.5},
    {0.0, 0.0, 2.0 * std::sin(-1.2), 2.0 * std::cos(-1.2)},  // |q| = 2
    {1e-3, 2e-3, -3e-3, 1e-3},                   // tiny, far from unit length
  };
  for (const auto & q : quaternions) {
    SCOPED_TRACE(testing::Message() << q[0] << " " << q[1] << " " << q[2] << " " << q[3]);
    tf2::Matrix3x3 m;
    m.setRotation(tf2::Quaternion(q[0], q[1], q[2], q[3]));
    expect_bit_exact(m, reference_rotation(q[0], q[1], q[2], q[3]));
    expect_bit_exact(tf2::Matrix3x3(tf2::Quaternion(q[0], q[1], q[2], q[3])),
      reference_rotation(q[0], q[1], q[2], q[3]));
  }
}

TEST(Matrix3x3SetRotation, NonUnitQuaternionIsNormalisedImplicitly)
{
  tf2::Matrix3x3 unit(tf2::Quaternion(0.0, 0.0, std::sin(0.4), std::cos(0.4)));
  tf2::Matrix3x3 scaled(tf2::Quaternion(0.0, 0.0, 3.0 * std::sin(0.4), 3.0 * std::cos(0.4)));
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(unit[r][c], scaled[r][c], 1e-15);
    }
  }
}

TEST(Matrix3x3SetRotation, ZeroQuaternionGivesNaNWithoutCrashing)
{
  tf2::Matrix3x3 m(tf2::Quaternion(0.0, 0.0, 0.0, 0.0));
  EXPECT_TRUE(std::isnan(m[0][0]));
  EXPECT_TRUE(std::isnan(m[1][2]));
}

TEST(Matrix3x3SetRotation, PureYawFillsThePlanarRotationBlock)
{
  for (double theta : {0.0, 0.3, -1.1, 2.5, M_PI}) {
    SCOPED_TRACE(theta);
    tf2::Matrix3x3 m(tf2::Quaternion(0.0, 0.0, std::sin(theta / 2), std::cos(theta / 2)));
    EXPECT_NEAR(m[0][0], std::cos(theta), 1e-15);
    EXPECT_NEAR(m[0][1], -std::sin(theta), 1e-15);
    EXPECT_NEAR(m[1][0], std::sin(theta), 1e-15);
    EXPECT_NEAR(m[1][1], std::cos(theta), 1e-15);
    // Exact zeros out of the plane: x = y = 0 makes every product vanish.
    EXPECT_EQ(m[0][2], 0.0);
    EXPECT_EQ(m[1][2], 0.0);
    EXPECT_EQ(m[2][0], 0.0);
    EXPECT_EQ(m[2][1], 0.0);
    EXPECT_EQ(m[2][2], 1.0);
  }
}

TEST(QuaternionEuler, SetRpyAndGetRpyRoundTrip)
{
  const double angles[][3] = {{0.1, -0.2, 0.3}, {0.0, 0.0, -2.9}, {-1.0, 1.2, 3.0}};
  for (const auto & a : angles) {
    tf2::Quaternion q;
    q.setRPY(a[0], a[1], a[2]);
    EXPECT_NEAR(q.length(), 1.0, 1e-15);
    double roll = 0, pitch = 0, yaw = 0;
    tf2::Matrix3x3(q).getRPY(roll, pitch, yaw);
    EXPECT_NEAR(roll, a[0], 1e-12);
    EXPECT_NEAR(pitch, a[1], 1e-12);
    EXPECT_NEAR(yaw, a[2], 1e-12);
  }
}

TEST(QuaternionEuler, YawOnlyMatchesHalfAngleFormula)
{
  tf2::Quaternion q;
  q.setRPY(0.0, 0.0, 0.8);
  EXPECT_DOUBLE_EQ(q.z(), std::sin(0.4));
  EXPECT_DOUBLE_EQ(q.w(), std::cos(0.4));
  EXPECT_EQ(q.x(), 0.0);
  EXPECT_EQ(q.y(), 0.0);
}

TEST(QuaternionEuler, MatrixSetRpyAgreesWithQuaternionSetRpy)
{
  tf2::Quaternion q;
  q.setRPY(0.4, -0.7, 1.9);
  tf2::Matrix3x3 from_quaternion(q);
  tf2::Matrix3x3 from_angles;
  from_angles.setRPY(0.4, -0.7, 1.9);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(from_quaternion[r][c], from_angles[r][c], 1e-15);
    }
  }
}

TEST(QuaternionEuler, GimbalLockGivesZeroYawAndQuarterTurnPitch)
{
  tf2::Matrix3x3 m;
  m.setRPY(0.3, M_PI / 2, 0.0);
  m[2][0] = -1.0;  // push exactly onto the singularity
  double roll = 0, pitch = 0, yaw = 1;
  m.getRPY(roll, pitch, yaw);
  EXPECT_EQ(yaw, 0.0);
  EXPECT_DOUBLE_EQ(pitch, M_PI / 2);
}

TEST(QuaternionAlgebra, ProductInverseAndRotation)
{
  tf2::Quaternion a(tf2::Vector3(0, 0, 1), 0.5);
  tf2::Quaternion b(tf2::Vector3(0, 0, 1), 0.25);
  tf2::Quaternion ab = a * b;
  EXPECT_NEAR(ab.getAngle(), 0.75, 1e-15);
  tf2::Quaternion none = a * a.inverse();
  EXPECT_NEAR(none.w(), 1.0, 1e-15);
  EXPECT_NEAR(none.z(), 0.0, 1e-15);
  expect_vector_near(tf2::quatRotate(tf2::Quaternion(tf2::Vector3(0, 0, 1), M_PI / 2),
    tf2::Vector3(1, 0, 0)), 0, 1, 0);
  EXPECT_EQ(tf2::Quaternion::getIdentity(), tf2::Quaternion(0, 0, 0, 1));
}

TEST(QuaternionAlgebra, SlerpEndsAndMiddle)
{
  tf2::Quaternion from(tf2::Vector3(0, 0, 1), 0.0);
  tf2::Quaternion to(tf2::Vector3(0, 0, 1), 1.0);
  EXPECT_NEAR(from.slerp(to, 0.0).getAngle(), 0.0, 1e-7);
  EXPECT_NEAR(from.slerp(to, 1.0).getAngle(), 1.0, 1e-12);
  EXPECT_NEAR(from.slerp(to, 0.5).getAngle(), 0.5, 1e-12);
  // Equal quaternions are returned unchanged.
  EXPECT_EQ(to.slerp(to, 0.3), to);
}

TEST(TransformAlgebra, AppliesRotationThenTranslation)
{
  tf2::Transform t(tf2::Quaternion(tf2::Vector3(0, 0, 1), M_PI / 2), tf2::Vector3(1, 2, 3));
  expect_vector_near(t * tf2::Vector3(1, 0, 0), 1, 3, 3);
  expect_vector_near(t(tf2::Vector3(0, 0, 0)), 1, 2, 3);
}

TEST(TransformAlgebra, CompositionChainsFrames)
{
  // b in a, then c in b: a_from_c = a_from_b * b_from_c.
  tf2::Transform a_from_b(tf2::Quaternion(tf2::Vector3(0, 0, 1), M_PI / 2), tf2::Vector3(1, 0, 0));
  tf2::Transform b_from_c(tf2::Quaternion::getIdentity(), tf2::Vector3(2, 0, 0));
  tf2::Transform a_from_c = a_from_b * b_from_c;
  expect_vector_near(a_from_c.getOrigin(), 1, 2, 0);
  expect_vector_near(a_from_c * tf2::Vector3(1, 0, 0), 1, 3, 0);

  tf2::Transform in_place = a_from_b;
  in_place *= b_from_c;
  expect_vector_near(in_place.getOrigin(), 1, 2, 0);
  tf2::Transform multiplied;
  multiplied.mult(a_from_b, b_from_c);
  EXPECT_EQ(multiplied, a_from_c);
}

TEST(TransformAlgebra, InverseUndoesTheTransform)
{
  tf2::Quaternion q;
  q.setRPY(0.2, -0.4, 1.3);
  tf2::Transform t(q, tf2::Vector3(0.5, -1.5, 2.0));
  const tf2::Vector3 p(0.3, 0.7, -0.2);
  expect_vector_near(t.inverse() * (t * p), p.x(), p.y(), p.z());
  const tf2::Transform identity = t.inverse() * t;
  expect_vector_near(identity.getOrigin(), 0, 0, 0);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(identity.getBasis()[r][c], r == c ? 1.0 : 0.0, 1e-15);
    }
  }
  const tf2::Transform u(tf2::Quaternion(tf2::Vector3(1, 0, 0), 0.3), tf2::Vector3(1, 1, 1));
  const tf2::Transform expected = t.inverse() * u;
  const tf2::Transform shortcut = t.inverseTimes(u);
  expect_vector_near(shortcut.getOrigin(), expected.getOrigin().x(), expected.getOrigin().y(),
    expected.getOrigin().z());
}

TEST(TransformAlgebra, GetRotationRecoversTheQuaternion)
{
  for (double angle : {0.3, 2.0, -3.0, M_PI}) {
    SCOPED_TRACE(angle);
    const tf2::Quaternion q(tf2::Vector3(1, 2, 3).normalized(), angle);
    const tf2::Quaternion back = tf2::Transform(q).getRotation();
    // q and -q are the same rotation.
    EXPECT_NEAR(std::abs(back.dot(q)), 1.0, 1e-12);
  }
}

TEST(TransformAlgebra, IdentityAndSetters)
{
  tf2::Transform t;
  t.setIdentity();
  EXPECT_EQ(t, tf2::Transform::getIdentity());
  t.setOrigin(tf2::Vector3(4, 5, 6));
  t.setRotation(tf2::Quaternion(tf2::Vector3(0, 0, 1), M_PI));
  expect_vector_near(t * tf2::Vector3(1, 0, 0), 3, 5, 6);
}

TEST(Vector3Algebra, ProductsNormsAndIndexing)
{
  tf2::Vector3 v(3, 4, 0);
  EXPECT_EQ(v.length(), 5.0);
  EXPECT_EQ(v.dot(tf2::Vector3(1, 1, 1)), 7.0);
  expect_vector_near(tf2::Vector3(1, 0, 0).cross(tf2::Vector3(0, 1, 0)), 0, 0, 1);
  expect_vector_near(v.normalized(), 0.6, 0.8, 0);
  EXPECT_EQ(v[1], 4.0);
  EXPECT_EQ(v.w(), 0.0);
  v.setY(-1);
  EXPECT_EQ(v.getY(), -1.0);
  EXPECT_EQ(-v, tf2::Vector3(-3, 1, -0.0));
  EXPECT_NE(v, tf2::Vector3(3, 1, 0));
}
