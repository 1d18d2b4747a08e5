// The standard docking pose: yaw quaternion of the heading, position.z 0,
// the scan's stamp; headings around +-pi in particular.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/dock_pose.hpp"
#include "align_model/target_messages.hpp"

namespace
{

using align_model::kPi;

builtin_interfaces::msg::Time scan_stamp()
{
  builtin_interfaces::msg::Time time;
  time.sec = 1700000123;
  time.nanosec = 456789;
  return time;
}

builtin_interfaces::msg::Time publish_stamp()
{
  builtin_interfaces::msg::Time time;
  time.sec = 1700000124;
  time.nanosec = 5;
  return time;
}

// The yaw a consumer reads back from the quaternion (tf2::getYaw's formula
// for a pure rotation about z).
double yaw_of(const geometry_msgs::msg::Quaternion & q)
{
  return std::atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

// Difference of two directions, in (-pi, pi].
double direction_difference(double a, double b)
{
  return std::remainder(a - b, 2.0 * kPi);
}

TEST(DockPose, CopiesFrameAndPositionTakesTheScanStampAndZeroHeight)
{
  const auto target = align_model::make_target_pose("base_footprint", publish_stamp(), -1.25, 0.125, 0.5);
  const auto dock = align_model::make_dock_pose(target, scan_stamp());

  EXPECT_EQ(dock.header.frame_id, "base_footprint");
  EXPECT_EQ(dock.header.stamp, scan_stamp());
  EXPECT_EQ(dock.pose.position.x, -1.25);
  EXPECT_EQ(dock.pose.position.y, 0.125);
  EXPECT_EQ(dock.pose.position.z, 0.0);
  EXPECT_EQ(dock.pose.orientation.x, 0.0);
  EXPECT_EQ(dock.pose.orientation.y, 0.0);
  EXPECT_DOUBLE_EQ(dock.pose.orientation.z, std::sin(0.25));
  EXPECT_DOUBLE_EQ(dock.pose.orientation.w, std::cos(0.25));
  // The caller's message keeps its own form.
  EXPECT_EQ(target.pose.position.z, 0.5);
  EXPECT_EQ(target.pose.orientation.w, 1.0);
}

TEST(DockPose, QuaternionIsUnitNonNegativeWAndGivesTheHeadingBack)
{
  // Around +-pi from both sides, exactly +-pi, and the unwrapped headings the
  // line program can publish (up to pi beyond its second line's direction).
  const std::vector<double> headings = {
    kPi - 1e-9, kPi, kPi + 1e-9, -kPi + 1e-9, -kPi, -kPi - 1e-9,
    3.0, -3.0, 3.76, -3.76, 2.0 * kPi + 0.1, 0.0, 1.5707963267948966};
  for (double heading : headings) {
    geometry_msgs::msg::PoseStamped target;
    target.pose.position.z = heading;
    const auto q = align_model::make_dock_pose(target, scan_stamp()).pose.orientation;
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0, 1e-15) << heading;
    EXPECT_GE(q.w, 0.0) << heading;
    EXPECT_NEAR(direction_difference(yaw_of(q), heading), 0.0, 1e-12) << heading;
  }
}

TEST(DockPose, HeadingsJustEitherSideOfPiGiveNearlyTheSameRotation)
{
  // Seen as rotations they are 2e-9 rad apart, whatever the sign flip of z.
  const auto below = align_model::yaw_quaternion(kPi - 1e-9);
  const auto above = align_model::yaw_quaternion(kPi + 1e-9);
  EXPECT_NEAR(std::fabs(below.z * above.z + below.w * above.w), 1.0, 1e-15);
  EXPECT_NEAR(below.z, 1.0, 1e-15);
  EXPECT_NEAR(above.z, -1.0, 1e-15);
  // pi and -pi are one direction and one quaternion.
  const auto plus = align_model::yaw_quaternion(kPi);
  const auto minus = align_model::yaw_quaternion(-kPi);
  EXPECT_EQ(plus.z, minus.z);
  EXPECT_EQ(plus.w, minus.w);
  EXPECT_EQ(plus.z, -1.0);
}

TEST(DockPose, QuarterTurnMatchesTheTargetMarkersOrientation)
{
  const auto q = align_model::yaw_quaternion(1.5707963267948966);
  EXPECT_NEAR(q.z, std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(q.w, std::sqrt(0.5), 1e-15);
}

}  // namespace
