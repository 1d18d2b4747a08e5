// What the plugin decides: when it listens, which detection becomes the
// dock pose, why there is none, and when it may warn.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "align_nav2_dock/laser_v_dock_logic.hpp"
#include "v_target_scene.hpp"

namespace align_nav2_dock
{
namespace
{

constexpr double kPi = 3.141592653589793;

LaserVDockSettings simulated_robot_settings(DetectorVariant variant = DetectorVariant::kFeature)
{
  LaserVDockSettings settings;
  settings.detector = v_target_scene::scene_settings(variant);
  settings.detection_to_dock = DetectionToDock{-0.40, 0.0, kPi};
  settings.search_radius = 0.4;
  settings.detection_timeout = 0.5;
  settings.release_after = 0.2;
  settings.docked.docking_threshold = 0.02;
  return settings;
}

// The robot stands at `base` in the fixed frame; its laser is mounted as in
// the bundled scene.
FrameLookups lookups_at(const PlanarPose & base)
{
  FrameLookups lookups;
  lookups.laser_to_base = [](const std::string &) {return std::optional(v_target_scene::laser_to_base());};
  lookups.base_in_fixed = [base](const builtin_interfaces::msg::Time &) {return std::optional(base);};
  return lookups;
}

std::shared_ptr<const sensor_msgs::msg::LaserScan> scan_ptr(const sensor_msgs::msg::LaserScan & scan)
{
  return std::make_shared<const sensor_msgs::msg::LaserScan>(scan);
}

class LaserVDockLogicTest : public ::testing::Test
{
protected:
  // The robot at (1, 2) facing +y; the corner 0.9 m behind it.
  const PlanarPose base_{1.0, 2.0, kPi / 2};
  const PlanarPose corner_in_base_{-0.9, 0.05, 0.0};
  const PlanarPose corner_ = compose(base_, corner_in_base_);
  const PlanarPose dock_ = dock_from_detection(DetectionToDock{-0.40, 0.0, kPi}, corner_);
};

TEST_F(LaserVDockLogicTest, ListensOnlyFromTheFirstRequestUntilRequestsStop)
{
  LaserVDockLogic logic(simulated_robot_settings());
  EXPECT_FALSE(logic.listening());
  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 9.9)));
  EXPECT_FALSE(logic.has_scan()) << "a scan before any request is not kept";

  EXPECT_TRUE(logic.request(10.0));
  EXPECT_FALSE(logic.request(10.02)) << "later requests of the same docking do not subscribe again";
  EXPECT_TRUE(logic.listening());
  EXPECT_FALSE(logic.release_due(10.1));
  EXPECT_TRUE(logic.release_due(10.22));
  logic.release();
  EXPECT_FALSE(logic.listening());
  EXPECT_FALSE(logic.release_due(11.0));

  // A clock that jumps back (a restarted simulation) lets the laser go.
  EXPECT_TRUE(logic.request(20.0));
  EXPECT_TRUE(logic.release_due(5.0));
}

TEST_F(LaserVDockLogicTest, RefinesTheDockFromTheNewestScanOnce)
{
  LaserVDockLogic logic(simulated_robot_settings());
  ASSERT_TRUE(logic.request(10.0));
  const Refinement before = logic.refine(10.0, dock_, lookups_at(base_));
  EXPECT_FALSE(before.dock);
  EXPECT_EQ(before.problem, "no scan received since the detection started");

  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.05)));
  const Refinement refined = logic.refine(10.1, dock_, lookups_at(base_));
  ASSERT_TRUE(refined.dock) << refined.problem;
  EXPECT_TRUE(refined.problem.empty());
  EXPECT_DOUBLE_EQ(stamp_seconds(refined.stamp), 10.05);
  EXPECT_NEAR(refined.dock->x, dock_.x, 0.01);
  EXPECT_NEAR(refined.dock->y, dock_.y, 0.01);
  EXPECT_NEAR(std::remainder(refined.dock->yaw - dock_.yaw, 2 * kPi), 0.0, 0.05);

  // The control loop asks more often than the laser scans: one scan is
  // processed once.
  logic.refine(10.12, dock_, lookups_at(base_));
  logic.refine(10.14, dock_, lookups_at(base_));
  EXPECT_EQ(logic.funnel().scans(), 1u);

  // Too old: no pose, and the age in the reason.
  const Refinement stale = logic.refine(10.6, dock_, lookups_at(base_));
  EXPECT_FALSE(stale.dock);
  EXPECT_EQ(stale.problem, "the newest scan is 0.55 s old (detection_timeout 0.50 s)");
}

TEST_F(LaserVDockLogicTest, SaysWhyThereIsNoPose)
{
  LaserVDockLogic logic(simulated_robot_settings());
  ASSERT_TRUE(logic.request(10.0));

  logic.on_scan(scan_ptr(v_target_scene::scan_of({}, 10.0)));
  EXPECT_EQ(logic.refine(10.0, dock_, lookups_at(base_)).problem, "the newest scan stopped at: no reading in the band");

  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.1)));
  FrameLookups no_mount = lookups_at(base_);
  no_mount.laser_to_base = [](const std::string &) {return std::optional<align_model::PlanarTransform>();};
  EXPECT_EQ(logic.refine(10.1, dock_, no_mount).problem, "no transform from the laser frame 'back_laser' to the base frame");

  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.2)));
  FrameLookups no_odometry = lookups_at(base_);
  no_odometry.base_in_fixed = [](const builtin_interfaces::msg::Time &) {return std::optional<PlanarPose>();};
  EXPECT_EQ(
    logic.refine(10.2, dock_, no_odometry).problem,
    "no transform from the base frame to the fixed frame at the scan's time");

  // The next scan with everything in place gives the pose again.
  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.3)));
  EXPECT_TRUE(logic.refine(10.3, dock_, lookups_at(base_)).dock);
}

TEST_F(LaserVDockLogicTest, TheRequestedDockIsTheOneUsedWithTwoTargetsInView)
{
  const PlanarPose left_in_base{-1.0, 0.45, 0.0};
  const PlanarPose right_in_base{-1.0, -0.45, 0.0};
  const DetectionToDock offset{-0.40, 0.0, kPi};
  for (DetectorVariant variant : {DetectorVariant::kFeature, DetectorVariant::kLine}) {
    for (const PlanarPose & requested : {left_in_base, right_in_base}) {
      LaserVDockLogic logic(simulated_robot_settings(variant));
      ASSERT_TRUE(logic.request(10.0));
      // The database pose is 10 cm and 3 degrees off the true one.
      const PlanarPose true_dock = dock_from_detection(offset, compose(base_, requested));
      const PlanarPose database_dock = compose(true_dock, PlanarPose{0.06, -0.08, 0.05});
      for (int scan = 0; scan < 3; ++scan) {
        logic.on_scan(scan_ptr(v_target_scene::scan_of({left_in_base, right_in_base}, 10.0 + 0.1 * scan, 0.003, scan)));
        const Refinement refined = logic.refine(10.0 + 0.1 * scan, database_dock, lookups_at(base_));
        ASSERT_TRUE(refined.dock) << refined.problem;
        EXPECT_NEAR(refined.dock->x, true_dock.x, 0.01);
        EXPECT_NEAR(refined.dock->y, true_dock.y, 0.01);
      }
    }
  }
}

TEST_F(LaserVDockLogicTest, ACornerFarFromTheRequestedDockIsNotUsed)
{
  LaserVDockLogic logic(simulated_robot_settings());
  ASSERT_TRUE(logic.request(10.0));
  // The database puts the dock 0.9 m to the side of the only target in view.
  const PlanarPose elsewhere = compose(dock_, PlanarPose{0.0, 0.9, 0.0});
  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.0)));
  const Refinement refined = logic.refine(10.0, elsewhere, lookups_at(base_));
  EXPECT_FALSE(refined.dock);
  EXPECT_EQ(refined.problem, "the newest scan stopped at: no reading in the band");

  // With the search region off, whatever corner the program chooses is used.
  LaserVDockSettings whole_scan = simulated_robot_settings();
  whole_scan.search_radius = 0.0;
  LaserVDockLogic anywhere(whole_scan);
  ASSERT_TRUE(anywhere.request(10.0));
  anywhere.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.0)));
  EXPECT_TRUE(anywhere.refine(10.0, elsewhere, lookups_at(base_)).dock);
}

TEST_F(LaserVDockLogicTest, ANewDockingForgetsTheLastOne)
{
  LaserVDockLogic logic(simulated_robot_settings());
  ASSERT_TRUE(logic.request(10.0));
  logic.on_scan(scan_ptr(v_target_scene::scan_of({corner_in_base_}, 10.0)));
  ASSERT_TRUE(logic.refine(10.0, dock_, lookups_at(base_)).dock);
  const std::optional<DockedState> far = logic.docked(base_);
  ASSERT_TRUE(far);
  EXPECT_FALSE(far->docked);
  EXPECT_TRUE(logic.docked(dock_)->docked);

  logic.release();
  EXPECT_TRUE(logic.request(30.0));
  EXPECT_FALSE(logic.has_scan());
  EXPECT_FALSE(logic.docked(dock_)) << "no dock pose of this docking yet";
  EXPECT_EQ(logic.refine(30.0, dock_, lookups_at(base_)).problem, "no scan received since the detection started");
}

TEST(LaserVDockWarnings, AtMostOnePerPeriod)
{
  LaserVDockSettings settings = simulated_robot_settings();
  settings.warning_period = 2.0;
  LaserVDockLogic logic(settings);
  EXPECT_TRUE(logic.warning_due(10.0));
  EXPECT_FALSE(logic.warning_due(10.5));
  EXPECT_FALSE(logic.warning_due(11.9));
  EXPECT_TRUE(logic.warning_due(12.0));
  EXPECT_TRUE(logic.warning_due(3.0)) << "a clock that jumped back does not silence warnings";
}

TEST(LaserVDockSettings, RefusesSettingsThatCannotWork)
{
  EXPECT_FALSE(settings_problem(simulated_robot_settings()));
  LaserVDockSettings settings = simulated_robot_settings();
  settings.detection_timeout = 0.0;
  EXPECT_THROW(LaserVDockLogic{settings}, std::invalid_argument);
  settings = simulated_robot_settings();
  settings.docked.docking_threshold = std::nan("");
  EXPECT_TRUE(settings_problem(settings));
  settings = simulated_robot_settings();
  settings.detector.max_line_len = 0.05;
  EXPECT_TRUE(settings_problem(settings));
}

}  // namespace
}  // namespace align_nav2_dock
