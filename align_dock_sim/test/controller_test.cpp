// The reference controller on its own: closed loops with the simulated base
// and ideal target poses, late poses, a lost target, and the odometry
// lookup at a scan's stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>

#include "align_dock_sim/diff_drive_base.hpp"
#include "align_dock_sim/docking_controller.hpp"
#include "align_dock_sim/pose_history.hpp"

namespace
{

using align_dock_sim::DockingState;
using align_dock_sim::Pose2D;

constexpr double kPi = 3.141592653589793;
constexpr std::int64_t kTick = 20000000;  // 50 Hz control and odometry
constexpr std::int64_t kScanPeriod = 40000000;  // 25 Hz

// A base, the controller and a perfect detector: the target's pose in the
// base frame from the true pose at each scan, delivered `latency` late.
struct Loop
{
  Pose2D target{0.0, 0.0, 0.0};
  Pose2D docked_in_target{0.4, 0.0, 0.0};
  align_dock_sim::DiffDriveBase base{align_dock_sim::RobotLimits{}, 0.5};
  align_dock_sim::DockingController controller;
  std::int64_t latency = 60000000;
  bool target_visible = true;

  explicit Loop(const align_dock_sim::DockingControllerSettings & settings)
  : controller(settings) {}

  // Runs until docked, failed or `seconds`; returns the final state.
  DockingState run(const Pose2D & start, double seconds)
  {
    base.place(start);
    std::deque<std::pair<std::int64_t, Pose2D>> in_flight;
    controller.start(0);
    for (std::int64_t t = 0; t <= static_cast<std::int64_t>(seconds * 1e9); t += kTick) {
      for (std::int64_t k = 0; k < 4; ++k) {
        base.advance(0.005, (t + (k + 1) * kTick / 4) * 1e-9);
      }
      controller.on_odometry(t, base.pose());
      if (t % kScanPeriod == 0 && target_visible) {
        in_flight.emplace_back(t, align_tools::compose(align_tools::inverse(base.pose()), target));
      }
      while (!in_flight.empty() && in_flight.front().first + latency <= t) {
        controller.on_target_pose(in_flight.front().first, in_flight.front().second);
        in_flight.pop_front();
      }
      base.command(controller.update(t), t * 1e-9);
      if (controller.state() == DockingState::kDocked || controller.state() == DockingState::kFailed) {
        break;
      }
    }
    return controller.state();
  }

  align_dock_sim::GoalError error() const
  {
    return align_dock_sim::error_to_goal(base.pose(), align_tools::compose(target, docked_in_target));
  }
};

align_dock_sim::DockingControllerSettings settings()
{
  align_dock_sim::DockingControllerSettings s;
  s.docked_in_target = {0.4, 0.0, 0.0};
  return s;
}

TEST(DockingController, DocksFromTheCornersOfTheStagingRegionWithLatePoses)
{
  for (double along : {0.5, 1.2}) {
    for (double across : {-0.2, 0.2}) {
      for (double yaw : {-15.0, 15.0}) {
        Loop loop(settings());
        const Pose2D start{0.4 + along, across, yaw * kPi / 180.0};
        ASSERT_EQ(loop.run(start, 60.0), DockingState::kDocked) << along << " " << across << " " << yaw;
        const auto error = loop.error();
        EXPECT_LT(std::fabs(error.along), 0.002) << along << " " << across << " " << yaw;
        EXPECT_LT(std::fabs(error.across), 0.002) << along << " " << across << " " << yaw;
        EXPECT_LT(std::fabs(error.heading), 0.5 * kPi / 180.0) << along << " " << across << " " << yaw;
        EXPECT_GT(loop.controller.target_poses_used(), 50u);
      }
    }
  }
}

TEST(DockingController, ComesBackWhenItStartsPastTheGoal)
{
  Loop loop(settings());
  ASSERT_EQ(loop.run({0.35, 0.0, 0.0}, 30.0), DockingState::kDocked);
  EXPECT_LT(std::fabs(loop.error().along), 0.002);
}

TEST(DockingController, FailsWhenTheTargetIsLostOrNeverSeen)
{
  Loop lost(settings());
  lost.target_visible = false;
  EXPECT_EQ(lost.run({1.2, 0.0, 0.0}, 10.0), DockingState::kFailed);
  EXPECT_EQ(lost.controller.failure(), "no target pose arrived");

  // Seen once, then gone: the robot stops and the docking fails.
  align_dock_sim::DockingController controller(settings());
  controller.start(0);
  controller.on_odometry(0, {1.0, 0.0, 0.0});
  ASSERT_TRUE(controller.on_target_pose(0, {-1.0, 0.0, 0.0}));
  EXPECT_LT(controller.update(kTick).linear, 0.0);
  controller.on_odometry(1100000000, {0.9, 0.0, 0.0});
  const auto command = controller.update(1100000000);
  EXPECT_EQ(controller.state(), DockingState::kFailed);
  EXPECT_EQ(controller.failure(), "lost the target");
  EXPECT_EQ(command.linear, 0.0);
  EXPECT_EQ(command.angular, 0.0);
}

TEST(DockingController, UsesTheOdometryOfTheScansMoment)
{
  // The robot drove 0.1 m along x between the scan and now; the goal must
  // not move with it.
  align_dock_sim::DockingController controller(settings());
  controller.start(0);
  controller.on_odometry(0, {1.0, 0.0, 0.0});
  controller.on_odometry(100000000, {0.9, 0.0, 0.0});
  // The target 1.0 m behind the base at the scan (t = 0), heading back at the robot.
  ASSERT_TRUE(controller.on_target_pose(0, {-1.0, 0.0, 0.0}));
  const auto goal = controller.goal_in_odom();
  ASSERT_TRUE(goal);
  EXPECT_NEAR(goal->x, 0.4, 1e-12);
  EXPECT_NEAR(goal->y, 0.0, 1e-12);
  // A pose from before the odometry history, or far after it, is not used.
  EXPECT_FALSE(controller.on_target_pose(-1, {-1.0, 0.0, 0.0}));
  EXPECT_FALSE(controller.on_target_pose(300000000, {-1.0, 0.0, 0.0}));
}

TEST(PoseHistory, InterpolatesAlongTheShorterTurn)
{
  align_dock_sim::PoseHistory history(1000000000, 10);
  history.add(0, {0.0, 0.0, 3.0});
  history.add(100, {1.0, 2.0, -3.0});
  const auto middle = history.at(50);
  ASSERT_TRUE(middle);
  EXPECT_NEAR(middle->x, 0.5, 1e-12);
  EXPECT_NEAR(middle->y, 1.0, 1e-12);
  // From 3.0 to -3.0 the short way passes pi.
  EXPECT_NEAR(std::fabs(middle->yaw), kPi, 1e-9);
  EXPECT_TRUE(history.at(110));
  EXPECT_FALSE(history.at(111));
  EXPECT_FALSE(history.at(-1));
  // Time running backwards (a new run) starts the history over.
  history.add(50, {5.0, 5.0, 0.0});
  EXPECT_FALSE(history.at(0));
  EXPECT_NEAR(history.at(50)->x, 5.0, 1e-12);
}

}  // namespace
