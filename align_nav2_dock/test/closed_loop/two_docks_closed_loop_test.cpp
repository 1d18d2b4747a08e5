// The plugin's logic steering a simulated robot, with two targets of the
// same type in view: the robot docks at the requested one. The docking
// server is played by a 50 Hz loop that asks for the refined pose every
// cycle and hands it to align_dock_sim's reference controller (Nav2's own
// controller needs Nav2); the robot moves by align_dock_sim's kinematics
// and the laser sees both targets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "align_dock_sim/diff_drive_base.hpp"
#include "align_dock_sim/docking_controller.hpp"
#include "align_dock_sim/pose_history.hpp"
#include "align_nav2_dock/laser_v_dock_logic.hpp"
#include "align_tools/surface_scan.hpp"
#include "v_target_scene.hpp"

namespace align_nav2_dock
{
namespace
{

constexpr double kPi = 3.141592653589793;
constexpr std::int64_t kPhysicsStep = 5000000;  // ns
constexpr std::int64_t kControlPeriod = 20000000;  // ns: the server's 50 Hz
constexpr std::int64_t kScanPeriod = 40000000;  // ns: a 25 Hz laser
constexpr std::int64_t kTimeout = 60000000000;  // ns
const DetectionToDock kOffset{-0.40, 0.0, kPi};
// The robot's base when docked, in the corner's frame (0.40 m out of the
// opening, facing away from the plates).
const align_tools::Pose2D kDockedInCorner{0.40, 0.0, 0.0};

align_tools::Pose2D tools_pose(const PlanarPose & pose)
{
  return align_tools::Pose2D{pose.x, pose.y, pose.yaw};
}

PlanarPose planar(const align_tools::Pose2D & pose)
{
  return PlanarPose{pose.x, pose.y, pose.yaw};
}

struct LoopResult
{
  align_dock_sim::DockingState state = align_dock_sim::DockingState::kWaitingForTarget;
  std::string failure;
  PlanarPose final_pose;
  std::optional<DockedState> plugin_docked;  // the plugin's own docked check at the end
};

// A laser and the detector settings for it.
struct Laser
{
  double range_noise = 0.003;  // m
  ScanDetectorSettings detector = v_target_scene::scene_settings(DetectorVariant::kFeature);
};

// The settings for a 10 mm laser of the README's table: whole plates
// (no neighbour-gap cut, split 0.08), the orthogonal refit, the two-sided
// angle test.
Laser ten_millimetre_laser(DetectorVariant variant)
{
  Laser laser;
  laser.range_noise = 0.010;
  laser.detector = v_target_scene::scene_settings(variant);
  laser.detector.splitting.threshold_split_neighbor = false;
  laser.detector.splitting.threshold_split = 0.08;
  laser.detector.orthogonal_refit = true;
  laser.detector.two_sided_angle_test = true;
  return laser;
}

// Docks at `requested` (a corner in the world) from `start`, both corners in view.
LoopResult dock(
  const std::vector<PlanarPose> & corners, const PlanarPose & requested, const PlanarPose & start,
  const Laser & laser = Laser{}, std::uint64_t seed = 7)
{
  std::vector<align_tools::Surface> world;
  for (const PlanarPose & corner : corners) {
    const std::vector<align_tools::Surface> plates = v_target_scene::plates_at(corner);
    world.insert(world.end(), plates.begin(), plates.end());
  }
  LaserVDockSettings settings;
  settings.detector = laser.detector;
  settings.detection_to_dock = kOffset;
  settings.search_radius = 0.5;
  settings.docked.docking_threshold = 0.02;
  settings.docked.check_heading = true;
  settings.docked.heading_tolerance = kPi / 180.0;
  settings.docked.backward = true;
  LaserVDockLogic plugin(settings);
  // The dock database is 3 cm and a degree off the truth.
  const PlanarPose expected_dock = compose(dock_from_detection(kOffset, requested), PlanarPose{0.02, -0.02, 0.017});

  align_dock_sim::RobotLimits limits;
  align_dock_sim::DiffDriveBase base(limits, 0.5);
  base.place(tools_pose(start));
  align_dock_sim::DockingControllerSettings controller_settings;
  controller_settings.docked_in_target = kDockedInCorner;
  align_dock_sim::DockingController controller(controller_settings);
  align_dock_sim::PoseHistory odometry(2000000000, 1000000);
  align_tools::ScannerModel scanner;
  scanner.range_noise = laser.range_noise;
  align_tools::PortableRandom random(seed);

  FrameLookups lookups;
  lookups.laser_to_base = [](const std::string &) {return std::optional(v_target_scene::laser_to_base());};
  lookups.base_in_fixed = [&odometry](const builtin_interfaces::msg::Time & stamp) -> std::optional<PlanarPose> {
      const std::optional<align_tools::Pose2D> pose =
        odometry.at(static_cast<std::int64_t>(stamp.sec) * 1000000000LL + stamp.nanosec);
      return pose ? std::optional(planar(*pose)) : std::nullopt;
    };

  std::int64_t now = 1000000000;
  controller.start(now);
  odometry.add(now, base.pose());
  std::optional<std::int64_t> last_used_stamp;
  while (now < kTimeout && controller.state() != align_dock_sim::DockingState::kDocked &&
    controller.state() != align_dock_sim::DockingState::kFailed)
  {
    for (int step = 0; step < kControlPeriod / kPhysicsStep; ++step) {
      now += kPhysicsStep;
      base.advance(static_cast<double>(kPhysicsStep) * 1e-9, static_cast<double>(now) * 1e-9);
      odometry.add(now, base.pose());
      if (now % kScanPeriod == 0) {
        const align_tools::Pose2D laser = align_tools::compose(base.pose(), tools_pose(v_target_scene::kLaserMount));
        builtin_interfaces::msg::Time stamp;
        stamp.sec = static_cast<std::int32_t>(now / 1000000000);
        stamp.nanosec = static_cast<std::uint32_t>(now % 1000000000);
        plugin.on_scan(
          std::make_shared<const sensor_msgs::msg::LaserScan>(
            align_tools::cast_scan(
              scanner, align_tools::place_surfaces(world, align_tools::inverse(laser)), random, stamp)));
      }
    }
    controller.on_odometry(now, base.pose());
    // The server's control cycle: ask, then steer by what came back.
    const double seconds = static_cast<double>(now) * 1e-9;
    plugin.request(seconds);
    const Refinement refined = plugin.refine(seconds, expected_dock, lookups);
    const std::int64_t stamp_ns = static_cast<std::int64_t>(refined.stamp.sec) * 1000000000LL + refined.stamp.nanosec;
    if (refined.dock && stamp_ns != last_used_stamp) {
      last_used_stamp = stamp_ns;
      const PlanarPose corner = detection_from_dock(kOffset, *refined.dock);
      const std::optional<align_tools::Pose2D> at_scan = odometry.at(stamp_ns);
      if (at_scan) {
        controller.on_target_pose(stamp_ns, tools_pose(relative(planar(*at_scan), corner)));
      }
    }
    base.command(controller.update(now), seconds);
  }
  LoopResult result;
  result.state = controller.state();
  result.failure = controller.failure();
  result.final_pose = planar(base.pose());
  result.plugin_docked = plugin.docked(result.final_pose);
  return result;
}

// Two targets of one type side by side, 1 m apart, both in the laser's view.
const std::vector<PlanarPose> kCorners = {{2.0, 1.0, kPi / 2}, {3.0, 1.0, kPi / 2}};

TEST(TwoDocksClosedLoop, TheRobotDocksAtTheRequestedTarget)
{
  for (const PlanarPose & requested : kCorners) {
    const PlanarPose docked = compose(requested, planar(kDockedInCorner));
    // Starting 0.8 m out, 10 cm to the side of the other target, turned 8 degrees.
    const double side = requested.x < 2.5 ? 0.1 : -0.1;
    const PlanarPose start = compose(docked, PlanarPose{0.8, side, 0.14});
    const LoopResult result = dock(kCorners, requested, start);
    ASSERT_EQ(result.state, align_dock_sim::DockingState::kDocked) << result.failure;
    const PlanarPose error = relative(docked, result.final_pose);
    EXPECT_LT(std::hypot(error.x, error.y), 0.01) << "requested corner at x = " << requested.x;
    EXPECT_LT(std::fabs(error.yaw), kPi / 180.0);
    ASSERT_TRUE(result.plugin_docked);
    EXPECT_TRUE(result.plugin_docked->docked) << "the plugin's check, heading within 1 degree: distance "
                                              << result.plugin_docked->distance << " m, heading error "
                                              << result.plugin_docked->heading_error << " rad";
  }
}

// A real laser's noise, both programs, starts drawn from a staging region
// (0.5 to 1.2 m out, 0.2 m to either side, 15 degrees turned), the requested
// target alternating.
TEST(TwoDocksClosedLoop, TenMillimetreNoiseBothProgramsDockAtTheRequested)
{
  for (DetectorVariant variant : {DetectorVariant::kFeature, DetectorVariant::kLine}) {
    align_tools::PortableRandom draw(11);
    for (int trial = 0; trial < 10; ++trial) {
      const PlanarPose & requested = kCorners[trial % 2];
      const PlanarPose docked = compose(requested, planar(kDockedInCorner));
      const double along = 0.5 + 0.7 * draw.uniform();
      const double across = -0.2 + 0.4 * draw.uniform();
      const double turn = (30.0 * draw.uniform() - 15.0) * kPi / 180.0;
      const PlanarPose start = compose(docked, PlanarPose{along, across, turn});
      const LoopResult result =
        dock(kCorners, requested, start, ten_millimetre_laser(variant), 100 + static_cast<std::uint64_t>(trial));
      SCOPED_TRACE(std::string(variant == DetectorVariant::kFeature ? "feature" : "line") + ", trial " +
        std::to_string(trial));
      ASSERT_EQ(result.state, align_dock_sim::DockingState::kDocked) << result.failure;
      const PlanarPose error = relative(docked, result.final_pose);
      EXPECT_LT(std::hypot(error.x, error.y), 0.01);
      EXPECT_LT(std::fabs(error.yaw), kPi / 180.0);
    }
  }
}

}  // namespace
}  // namespace align_nav2_dock
