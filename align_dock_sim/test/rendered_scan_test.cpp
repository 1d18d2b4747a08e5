// The scan the simulated robot renders from its true pose, against the
// scene's geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "align_dock_sim/simulated_world.hpp"

namespace
{

constexpr double kPi = 3.141592653589793;

align_dock_sim::Scene quiet_scene()
{
  align_dock_sim::Scene scene = align_dock_sim::load_scene(
    std::string(ALIGN_DOCK_SIM_SOURCE_DIR) + "/scenes/docking_scene.yaml");
  scene.laser.range_noise = 0.0;
  scene.target.intensity_jitter = 0.0;
  return scene;
}

// The beam nearest to `bearing` (radians in the laser frame).
std::size_t beam_at(const sensor_msgs::msg::LaserScan & scan, double bearing)
{
  return static_cast<std::size_t>(std::lround((bearing - scan.angle_min) / scan.angle_increment));
}

TEST(RenderedScan, TheApexLiesWhereTheGeometrySaysFromTheDockedPose)
{
  const align_dock_sim::Scene scene = quiet_scene();
  align_dock_sim::SimulatedWorld world(scene, {}, 5000000000);
  world.place_robot(align_dock_sim::docked_pose_in_world(scene));
  const sensor_msgs::msg::LaserScan scan = world.render_scan();
  EXPECT_EQ(scan.header.frame_id, "back_laser");
  EXPECT_EQ(scan.header.stamp.sec, 5);
  EXPECT_EQ(scan.header.stamp.nanosec, 0u);
  ASSERT_EQ(scan.ranges.size(), 541u);
  // Docked 0.4 m out of the opening, the laser 0.102 m behind the base and
  // facing back: the apex straight ahead of the laser at 0.298 m.
  const std::size_t ahead = beam_at(scan, 0.0);
  EXPECT_NEAR(scan.ranges[ahead], 0.298, 1e-5);
  EXPECT_FLOAT_EQ(scan.intensities[ahead], 252.5f);
  // The plates' ends lie 60 degrees off the axis; at 65 degrees the beam
  // passes them and meets the back wall 0.4 m behind the apex: 0.698 m away
  // along the axis.
  const std::size_t wide = beam_at(scan, 65.0 * kPi / 180.0);
  const double along = scan.ranges[wide] * std::cos(scan.angle_min + wide * scan.angle_increment);
  EXPECT_NEAR(along, 0.698, 1e-4);
  EXPECT_NEAR(scan.intensities[wide], 120.0f, 10.0f);  // the wall's intensity with its jitter
}

TEST(RenderedScan, EveryHitLiesOnASurfaceOfTheScene)
{
  const align_dock_sim::Scene scene = quiet_scene();
  align_dock_sim::SimulatedWorld world(scene, {}, 0);
  const align_dock_sim::Pose2D robot{2.1, 2.2, 1.7};
  world.place_robot(robot);
  const sensor_msgs::msg::LaserScan scan = world.render_scan();
  const align_dock_sim::Pose2D laser = align_tools::compose(robot, scene.laser_mount);
  std::size_t hits = 0;
  for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
    if (!std::isfinite(scan.ranges[i])) {
      EXPECT_EQ(scan.intensities[i], 0.0f);
      continue;
    }
    ++hits;
    const double bearing = scan.angle_min + i * static_cast<double>(scan.angle_increment);
    const align_dock_sim::Pose2D point = align_tools::compose(laser, {scan.ranges[i] * std::cos(bearing),
        scan.ranges[i] * std::sin(bearing), 0.0});
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto & s : align_dock_sim::scene_surfaces(scene)) {
      const double ex = s.bx - s.ax;
      const double ey = s.by - s.ay;
      const double t = std::max(0.0, std::min(1.0, ((point.x - s.ax) * ex + (point.y - s.ay) * ey) / (ex * ex + ey * ey)));
      nearest = std::min(nearest, std::hypot(point.x - s.ax - t * ex, point.y - s.ay - t * ey));
    }
    EXPECT_LT(nearest, 1e-5) << "beam " << i;
  }
  // A closed room: every beam hits something.
  EXPECT_EQ(hits, scan.ranges.size());
}

TEST(RenderedScan, OdometryStartsOverAtEveryPlacementAndTheWorldKeepsItsTime)
{
  align_dock_sim::SimulatedWorld world(quiet_scene(), {}, 1000);
  world.place_robot({2.0, 2.0, 1.0});
  EXPECT_TRUE(world.command({0.1, 0.2}));
  world.advance_to(1000 + 500000000);
  EXPECT_EQ(world.now_ns(), 1000 + 500000000);
  EXPECT_GT(std::hypot(world.odom_pose().x, world.odom_pose().y), 0.0);
  // map -> odom composed with odom -> base is the true pose.
  const align_dock_sim::Pose2D recomposed = align_tools::compose(world.odom_in_world(), world.odom_pose());
  EXPECT_NEAR(recomposed.x, world.true_pose().x, 1e-12);
  EXPECT_NEAR(recomposed.y, world.true_pose().y, 1e-12);
  world.place_robot({1.0, 1.0, 0.0});
  EXPECT_EQ(world.odom_pose().x, 0.0);
  EXPECT_EQ(world.true_velocity().linear, 0.0);
  world.advance_to(0);  // earlier: nothing happens
  EXPECT_EQ(world.now_ns(), 1000 + 500000000);
}

}  // namespace
