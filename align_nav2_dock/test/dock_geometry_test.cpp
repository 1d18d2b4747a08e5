// The dock pose from a corner and back, and the docked check.
#include <gtest/gtest.h>

#include <cmath>

#include "align_nav2_dock/docked_check.hpp"
#include "align_nav2_dock/planar_pose.hpp"

namespace align_nav2_dock
{
namespace
{

constexpr double kPi = 3.141592653589793;

void expect_pose_near(const PlanarPose & actual, const PlanarPose & expected, double tolerance = 1e-12)
{
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(std::remainder(actual.yaw - expected.yaw, 2.0 * kPi), 0.0, tolerance);
}

TEST(DockGeometry, TheDockLiesOutOfTheOpeningFacingIntoIt)
{
  // The simulated robot's setting: turn by pi, then 0.40 m along the turned
  // axis; a corner opening towards +x gives a dock pose 0.40 m out, facing -x.
  const DetectionToDock offset{-0.40, 0.0, kPi};
  expect_pose_near(dock_from_detection(offset, PlanarPose{1.0, 2.0, 0.0}), PlanarPose{1.40, 2.0, kPi});
  expect_pose_near(dock_from_detection(offset, PlanarPose{0.0, 0.0, kPi / 2}), PlanarPose{0.0, 0.40, -kPi / 2});
}

TEST(DockGeometry, TheExpectedCornerUndoesTheOffset)
{
  const DetectionToDock offsets[] = {{-0.40, 0.0, kPi}, {-0.2, 0.05, 0.3}, {0.0, 0.0, 0.0}};
  const PlanarPose corner{-1.2, 0.7, 2.5};
  for (const DetectionToDock & offset : offsets) {
    expect_pose_near(detection_from_dock(offset, dock_from_detection(offset, corner)), corner);
  }
  const PlanarPose frame{0.3, -0.4, 1.1};
  expect_pose_near(compose(frame, relative(frame, corner)), corner);
}

TEST(DockedCheck, DistanceAloneUnlessLateralOffsetAndHeadingAreAsked)
{
  DockedCheckSettings settings;
  settings.docking_threshold = 0.02;
  const PlanarPose dock{2.0, 1.4, -kPi / 2};
  // 1.5 cm from the dock, 1.2 cm of it across, turned 5 degrees.
  const PlanarPose robot = compose(dock, PlanarPose{0.009, 0.012, 5.0 * kPi / 180.0});

  DockedState state = check_docked(settings, robot, dock);
  EXPECT_TRUE(state.docked);
  EXPECT_NEAR(state.distance, 0.015, 1e-9);
  EXPECT_NEAR(state.lateral, 0.012, 1e-9);
  EXPECT_NEAR(state.heading_error, 5.0 * kPi / 180.0, 1e-9);

  settings.check_lateral = true;
  settings.lateral_tolerance = 0.01;
  EXPECT_FALSE(check_docked(settings, robot, dock).docked);
  settings.lateral_tolerance = 0.015;
  EXPECT_TRUE(check_docked(settings, robot, dock).docked);

  settings.check_heading = true;
  settings.heading_tolerance = 2.0 * kPi / 180.0;
  EXPECT_FALSE(check_docked(settings, robot, dock).docked);
  settings.heading_tolerance = 6.0 * kPi / 180.0;
  EXPECT_TRUE(check_docked(settings, robot, dock).docked);

  EXPECT_FALSE(check_docked(settings, compose(dock, PlanarPose{0.03, 0.0, 0.0}), dock).docked);
}

TEST(DockedCheck, ARobotThatReversedInFacesAwayFromTheDock)
{
  DockedCheckSettings settings;
  settings.check_heading = true;
  settings.heading_tolerance = 0.02;
  const PlanarPose dock{0.0, 0.0, kPi / 2};
  const PlanarPose reversed_in{0.0, 0.005, -kPi / 2 + 0.01};

  EXPECT_FALSE(check_docked(settings, reversed_in, dock).docked);
  settings.backward = true;
  const DockedState state = check_docked(settings, reversed_in, dock);
  EXPECT_TRUE(state.docked);
  EXPECT_NEAR(state.heading_error, 0.01, 1e-9);
}

}  // namespace
}  // namespace align_nav2_dock
