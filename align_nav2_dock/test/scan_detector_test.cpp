// Either program's pipeline, run in-process on simulated scans.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_nav2_dock/scan_detector.hpp"
#include "v_target_scene.hpp"

namespace align_nav2_dock
{
namespace
{

using align_model::FunnelStage;

class ScanDetectorTest : public ::testing::TestWithParam<DetectorVariant>
{
};

std::string variant_name(const ::testing::TestParamInfo<DetectorVariant> & info)
{
  return info.param == DetectorVariant::kFeature ? "feature" : "line";
}

INSTANTIATE_TEST_SUITE_P(
  BothPrograms, ScanDetectorTest, ::testing::Values(DetectorVariant::kFeature, DetectorVariant::kLine), variant_name);

TEST_P(ScanDetectorTest, FindsTheCornerBehindTheRobot)
{
  ScanDetector detector(v_target_scene::scene_settings(GetParam()));
  const PlanarPose truth{-0.9, 0.1, 0.15};
  for (int scan = 0; scan < 5; ++scan) {
    const ScanDetection detection =
      detector.detect(v_target_scene::scan_of({truth}, 10.0 + 0.1 * scan, 0.003, 1 + scan), v_target_scene::laser_to_base());
    ASSERT_EQ(detection.stage, FunnelStage::kFound) << "scan " << scan;
    ASSERT_TRUE(detection.corner);
    EXPECT_NEAR(detection.corner->x, truth.x, 0.01);
    EXPECT_NEAR(detection.corner->y, truth.y, 0.01);
    EXPECT_NEAR(detection.corner->yaw, truth.yaw, 0.05);
  }
}

TEST_P(ScanDetectorTest, TheSearchRegionPicksOneOfTwoTargets)
{
  const PlanarPose left{-1.0, 0.45, 0.0};
  const PlanarPose right{-1.0, -0.45, 0.0};
  const sensor_msgs::msg::LaserScan scan = v_target_scene::scan_of({left, right}, 10.0);
  for (const PlanarPose & wanted : {left, right}) {
    ScanDetector detector(v_target_scene::scene_settings(GetParam()));
    const ScanDetection detection =
      detector.detect(scan, v_target_scene::laser_to_base(), SearchRegion{wanted.x, wanted.y, 0.4});
    ASSERT_TRUE(detection.corner);
    EXPECT_NEAR(detection.corner->x, wanted.x, 0.01);
    EXPECT_NEAR(detection.corner->y, wanted.y, 0.01);
  }
}

TEST_P(ScanDetectorTest, SaysWhereAScanLeftThePipeline)
{
  ScanDetector detector(v_target_scene::scene_settings(GetParam()));
  const PlanarPose corner{-0.9, 0.0, 0.0};

  // Nothing bright in view.
  EXPECT_EQ(detector.detect(v_target_scene::scan_of({}, 1.0), v_target_scene::laser_to_base()).stage,
    FunnelStage::kNoReadingInBand);
  // The target lies outside the searched region.
  EXPECT_EQ(
    detector.detect(
      v_target_scene::scan_of({corner}, 1.1), v_target_scene::laser_to_base(), SearchRegion{1.0, 0.0, 0.3}).stage,
    FunnelStage::kNoReadingInBand);
  // A scan too short for the angle window, and one without readings.
  sensor_msgs::msg::LaserScan short_scan = v_target_scene::scan_of({corner}, 1.2);
  short_scan.ranges.resize(10);
  short_scan.intensities.resize(10);
  short_scan.angle_max = short_scan.angle_min + 9 * short_scan.angle_increment;
  EXPECT_EQ(detector.detect(short_scan, v_target_scene::laser_to_base()).stage, FunnelStage::kWindowFailed);
  sensor_msgs::msg::LaserScan empty;
  EXPECT_FALSE(detector.detect(empty, v_target_scene::laser_to_base()).corner);
  // The next good scan is found as before.
  EXPECT_EQ(detector.detect(v_target_scene::scan_of({corner}, 1.3), v_target_scene::laser_to_base()).stage,
    FunnelStage::kFound);
}

TEST(ScanDetectorSettings, RefusesSettingsThatCannotWork)
{
  ScanDetectorSettings settings = v_target_scene::scene_settings(DetectorVariant::kFeature);
  EXPECT_FALSE(settings_problem(settings));

  ScanDetectorSettings no_history = settings;
  no_history.times = 0;
  EXPECT_THROW(ScanDetector{no_history}, std::invalid_argument);
  no_history.variant = DetectorVariant::kLine;  // the line program keeps no history
  EXPECT_NO_THROW(ScanDetector{no_history});

  // The programs' code defaults admit no plate.
  const std::optional<std::string> problem = settings_problem(ScanDetectorSettings{});
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->find("min_line_len"), std::string::npos) << *problem;

  EXPECT_EQ(detector_variant_from("feature"), DetectorVariant::kFeature);
  EXPECT_EQ(detector_variant_from("line"), DetectorVariant::kLine);
  EXPECT_FALSE(detector_variant_from("Feature"));
}

}  // namespace
}  // namespace align_nav2_dock
