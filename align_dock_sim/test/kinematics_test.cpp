// The simulated base and its odometry: limits, timeouts, arcs, and odometry
// errors that make odometry differ from the truth as configured.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "align_dock_sim/diff_drive_base.hpp"
#include "align_dock_sim/odometry_model.hpp"

namespace
{

using align_dock_sim::BaseVelocity;
using align_dock_sim::DiffDriveBase;

constexpr double kPi = 3.141592653589793;
constexpr double kStep = 0.005;

align_dock_sim::RobotLimits limits()
{
  align_dock_sim::RobotLimits l;
  l.max_linear_speed = 0.3;
  l.max_angular_speed = 1.0;
  l.max_linear_acceleration = 0.5;
  l.max_angular_acceleration = 2.0;
  return l;
}

// Runs the base from t0 for `seconds`, commanding `command` every 20 ms.
double drive(DiffDriveBase & base, const BaseVelocity & command, double t0, double seconds, bool keep_commanding = true)
{
  double t = t0;
  int steps = static_cast<int>(std::lround(seconds / kStep));
  for (int i = 0; i < steps; ++i) {
    if (keep_commanding && i % 4 == 0) {
      base.command(command, t);
    }
    t += kStep;
    base.advance(kStep, t);
  }
  return t;
}

TEST(DiffDriveBase, AcceleratesWithinItsLimitThenCruises)
{
  DiffDriveBase base(limits(), 0.5);
  drive(base, {0.2, 0.0}, 0.0, 0.2);
  // 0.5 m/s^2 for 0.2 s: 0.1 m/s and 0.01 m so far.
  EXPECT_NEAR(base.velocity().linear, 0.1, 1e-9);
  EXPECT_NEAR(base.pose().x, 0.01, 1e-9);
  drive(base, {0.2, 0.0}, 0.2, 1.8);
  // Reaches 0.2 m/s after 0.4 s (0.04 m), then 1.6 s at 0.2 m/s.
  EXPECT_NEAR(base.velocity().linear, 0.2, 1e-12);
  EXPECT_NEAR(base.pose().x, 0.04 + 0.32, 1e-9);
  EXPECT_NEAR(base.pose().y, 0.0, 1e-12);
}

TEST(DiffDriveBase, ClampsCommandsAboveTheSpeedLimits)
{
  DiffDriveBase base(limits(), 0.5);
  EXPECT_TRUE(base.command({-2.0, 5.0}, 0.0));
  EXPECT_TRUE(base.last_command_clamped());
  drive(base, {-2.0, 5.0}, 0.0, 3.0);
  EXPECT_NEAR(base.velocity().linear, -0.3, 1e-12);
  EXPECT_NEAR(base.velocity().angular, 1.0, 1e-12);
  EXPECT_TRUE(base.command({0.1, 0.1}, 3.0));
  EXPECT_FALSE(base.last_command_clamped());
}

TEST(DiffDriveBase, IgnoresNonFiniteCommandsAndKeepsTheLastOne)
{
  DiffDriveBase base(limits(), 0.5);
  EXPECT_TRUE(base.command({0.1, 0.0}, 0.0));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const BaseVelocity & bad : {BaseVelocity{nan, 0.0}, BaseVelocity{0.0, inf}, BaseVelocity{-inf, nan}}) {
    EXPECT_FALSE(base.command(bad, 0.01));
  }
  drive(base, {}, 0.0, 0.4, false);
  EXPECT_NEAR(base.velocity().linear, 0.1, 1e-12);
  EXPECT_TRUE(std::isfinite(base.pose().x));

  // A robot at rest that only ever got bad commands does not move.
  DiffDriveBase still(limits(), 0.5);
  EXPECT_FALSE(still.command({nan, nan}, 0.0));
  drive(still, {nan, nan}, 0.0, 1.0);
  EXPECT_EQ(still.pose().x, 0.0);
  EXPECT_EQ(still.pose().yaw, 0.0);
}

TEST(DiffDriveBase, StopsWhenCommandsStopComing)
{
  DiffDriveBase base(limits(), 0.5);
  double t = drive(base, {0.2, 0.5}, 0.0, 1.0);
  ASSERT_NEAR(base.velocity().linear, 0.2, 1e-12);
  base.command({0.2, 0.5}, t);
  // 0.5 s after the last command the base still follows it; then it brakes
  // within its acceleration limits and stands still.
  t = drive(base, {}, t, 0.5, false);
  EXPECT_NEAR(base.velocity().linear, 0.2, 1e-12);
  EXPECT_NEAR(base.velocity().angular, 0.5, 1e-12);
  t = drive(base, {}, t, 0.2, false);
  EXPECT_NEAR(base.velocity().linear, 0.2 - 0.5 * 0.2, 1e-9);
  drive(base, {}, t, 0.5, false);
  EXPECT_EQ(base.velocity().linear, 0.0);
  EXPECT_EQ(base.velocity().angular, 0.0);
}

TEST(DiffDriveBase, TurningAtConstantSpeedsFollowsACircle)
{
  align_dock_sim::RobotLimits fast = limits();
  fast.max_linear_acceleration = 1e9;
  fast.max_angular_acceleration = 1e9;
  DiffDriveBase base(fast, 0.5);
  // Radius 0.25 m; a quarter turn in pi/2 s ends at (0.25, 0.25) heading pi/2.
  drive(base, {0.25, 1.0}, 0.0, kPi / 2 - std::fmod(kPi / 2, kStep));
  const double rest = std::fmod(kPi / 2, kStep);
  base.advance(rest, kPi / 2);
  EXPECT_NEAR(base.pose().x, 0.25, 1e-9);
  EXPECT_NEAR(base.pose().y, 0.25, 1e-9);
  EXPECT_NEAR(base.pose().yaw, kPi / 2, 1e-9);
}

TEST(OdometryModel, FollowsTheTruthExactlyWithoutErrorAndDriftsWithIt)
{
  DiffDriveBase base(limits(), 0.5);
  align_dock_sim::OdometryModel exact({});
  align_dock_sim::OdometryModel scaled({0.01, 0.0});
  align_dock_sim::OdometryModel drifting({0.0, 0.002});
  double t = 0.0;
  for (int i = 0; i < 2000; ++i) {
    if (i % 4 == 0) {
      base.command({0.2, 0.0}, t);
    }
    t += kStep;
    base.advance(kStep, t);
    for (auto * odometry : {&exact, &scaled, &drifting}) {
      odometry->advance(base.step_velocity(), kStep);
    }
  }
  EXPECT_NEAR(exact.pose().x, base.pose().x, 1e-12);
  EXPECT_NEAR(exact.pose().y, base.pose().y, 1e-12);
  // 1 % more distance than driven.
  EXPECT_NEAR(scaled.pose().x, 1.01 * base.pose().x, 1e-9);
  // 0.002 rad/s for 10 s: 0.02 rad of heading the robot never turned.
  EXPECT_NEAR(drifting.pose().yaw, 0.02, 1e-9);
  EXPECT_GT(std::fabs(drifting.pose().y), 0.01);
  EXPECT_NEAR(scaled.velocity().linear, 0.202, 1e-12);
}

}  // namespace
