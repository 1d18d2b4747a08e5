// Hostile scans and parameters fed to align_node: each case checks the log
// line it leaves and everything it publishes (docs/BAD_INPUT.md lists them
// side by side with the feature program).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"

namespace
{

using align_line_test::count_prefix;
using align_line_test::process_scan;
using align_line_test::VTarget;
using align_node::AlignNode;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;
using visualization_msgs::msg::Marker;

constexpr char kNoTarget[] = "Do not find target feature.";
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Plate length limits and debug on (every output topic exists); `extra`
// replaces entries of the same name.
std::vector<rclcpp::Parameter> parameters_with(const std::vector<rclcpp::Parameter> & extra)
{
  std::map<std::string, rclcpp::Parameter> by_name;
  for (const auto & parameter : align_line_test::plate_overrides({{"debug", true}})) {
    by_name[parameter.get_name()] = parameter;
  }
  for (const auto & parameter : extra) {
    by_name[parameter.get_name()] = parameter;
  }
  std::vector<rclcpp::Parameter> out;
  for (const auto & entry : by_name) {
    out.push_back(entry.second);
  }
  return out;
}

// The default target drawn into a 270 degree scan of `count` readings.
LaserScan dense_target_scan(std::size_t count)
{
  const VTarget target;
  const float angle_min = static_cast<float>(-0.75 * align_line_test::kPi);
  const float increment = static_cast<float>(1.5 * align_line_test::kPi / static_cast<double>(count - 1));
  LaserScan scan = align_line_test::make_empty_scan(angle_min, increment, count);
  const double plate_angles[2] = {target.axis - target.half_opening, target.axis + target.half_opening};
  for (std::size_t i = 0; i < count; ++i) {
    const float angle = static_cast<float>(i) * increment + angle_min;
    double nearest = std::numeric_limits<double>::infinity();
    for (const double plate_angle : plate_angles) {
      const auto hit = align_line_test::ray_hit(
        angle, target.apex_x, target.apex_y,
        target.apex_x + target.plate_length * std::cos(plate_angle),
        target.apex_y + target.plate_length * std::sin(plate_angle));
      if (hit) {
        nearest = std::min(nearest, *hit);
      }
    }
    if (std::isfinite(nearest)) {
      scan.ranges[i] = static_cast<float>(nearest);
      scan.intensities[i] = 252.0f;
    }
  }
  return scan;
}

class AlignNodeBadInput : public ::testing::Test
{
protected:
  void SetUp() override {align_line_test::enable_debug_logging();}

  void TearDown() override
  {
    if (HasFailure()) {
      std::string all;
      for (const auto & record : log_.records()) {
        all += record.logger + ": " + record.text + "\n";
      }
      ADD_FAILURE() << "log of the failed test:\n" << all;
    }
  }

  std::shared_ptr<AlignNode> start(const std::vector<rclcpp::Parameter> & extra = {})
  {
    auto node = harness_.start<AlignNode>(parameters_with(extra));
    poses_ = harness_.record<PoseStamped>("docking_pose");
    scans_ = harness_.record<LaserScan>("align_scan");
    markers_ = harness_.record<Marker>("align_marker");
    return node;
  }

  void clear()
  {
    log_.clear();
    poses_->clear();
    scans_->clear();
    markers_->clear();
  }

  // The whole pipeline ran and found nothing: the selected scan and an empty
  // segment marker go out, no target marker and no pose.
  void expect_no_target(const std::string & point_line)
  {
    // Outputs reach the probe on later spins (slowly under the sanitizers).
    harness_.spin_until([&] {return !scans_->empty() && !markers_->empty();});
    EXPECT_EQ(log_.count(align_line_test::kWindowError), 0u);
    EXPECT_EQ(log_.count(point_line, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
    EXPECT_EQ(log_.count(kNoTarget, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
    EXPECT_EQ(count_prefix(log_, "TARGET_POSE"), 0u);
    EXPECT_EQ(scans_->size(), 1u);
    EXPECT_EQ(markers_->size(), 1u);
    EXPECT_TRUE(poses_->empty());
  }

  // One pose at the default target's corner.
  void expect_target_pose(const std::string & frame_id = "base_footprint")
  {
    ASSERT_TRUE(harness_.spin_until([&] {return poses_->size() == 1 && markers_->size() == 2;}));
    const auto expected = align_line_test::expected_base_pose(VTarget());
    const PoseStamped & pose = *poses_->front().message;
    EXPECT_EQ(pose.header.frame_id, frame_id);
    EXPECT_NEAR(pose.pose.position.x, expected.x, 0.01);
    EXPECT_NEAR(pose.pose.position.y, expected.y, 0.01);
    EXPECT_NEAR(
      align_line_test::wrapped_difference(pose.pose.position.z, expected.theta), 0.0, align_line_test::degrees(1.0));
    EXPECT_EQ(log_.count(kNoTarget), 0u);
    EXPECT_EQ(markers_->size(), 2u);
  }

  align_test::LogCapture log_;
  align_test::NodeHarness harness_;
  std::shared_ptr<std::vector<align_test::Received<PoseStamped>>> poses_;
  std::shared_ptr<std::vector<align_test::Received<LaserScan>>> scans_;
  std::shared_ptr<std::vector<align_test::Received<Marker>>> markers_;
};

// --- scans -------------------------------------------------------------------

TEST_F(AlignNodeBadInput, SurplusIntensitiesAreIgnored)
{
  start();
  LaserScan scan = align_line_test::make_v_target_scan();
  scan.intensities.resize(scan.ranges.size() * 3, 252.0f);
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  expect_target_pose();
  ASSERT_EQ(scans_->size(), 1u);
  EXPECT_EQ(scans_->front().message->intensities.size(), scans_->front().message->ranges.size());
}

TEST_F(AlignNodeBadInput, AllNanOrAllInfiniteRangesGiveNoPointsAndNoPose)
{
  start();
  for (const float value : {kNan, kInf, -kInf}) {
    SCOPED_TRACE(value);
    LaserScan scan = align_line_test::make_v_target_scan();
    scan.ranges.assign(scan.ranges.size(), value);
    scan.intensities.assign(scan.intensities.size(), 252.0f);
    ASSERT_TRUE(process_scan(harness_, log_, scan));
    expect_no_target("POINT_DATA lens 0.");
    EXPECT_EQ(log_.count("LINE_SEGMENT lens 0."), 1u);
    clear();
  }
}

TEST_F(AlignNodeBadInput, MillionReadingScanIsProcessedAndFindsTheTarget)
{
  start();
  const LaserScan scan = dense_target_scan(1000000);
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  EXPECT_EQ(count_prefix(log_, "SOURCE_SCAN_DATA lens 1000000, SCAN_SELECT lens "), 1u);
  expect_target_pose();
  EXPECT_EQ(scans_->size(), 1u);
}

TEST_F(AlignNodeBadInput, ScanFrameIsIgnoredAndMayChangeBetweenScans)
{
  start();
  for (const char * frame : {"laser_back", "other_laser", "", "laser_back"}) {
    SCOPED_TRACE(frame);
    LaserScan scan = align_line_test::make_v_target_scan();
    scan.header.frame_id = frame;
    ASSERT_TRUE(process_scan(harness_, log_, scan));
    expect_target_pose();
    // The selected scan keeps the scan's frame; the pose is in the base frame.
    ASSERT_EQ(scans_->size(), 1u);
    EXPECT_EQ(scans_->front().message->header.frame_id, frame);
    clear();
  }
}

// --- parameters --------------------------------------------------------------

TEST_F(AlignNodeBadInput, BaseFrameEqualToTheScanFrameOnlyRenamesTheOutputs)
{
  start({{"base_frame_id", "laser_back"}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  // The laser_to_base_* offset still applies: the frame name is a label.
  expect_target_pose("laser_back");
  ASSERT_EQ(markers_->size(), 2u);
  EXPECT_EQ(markers_->at(0).message->header.frame_id, "laser_back");
}

TEST_F(AlignNodeBadInput, NegativeAngleErrorActsAsItsMagnitude)
{
  start({{"angle_error", -0.2}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  EXPECT_EQ(count_prefix(log_, "Find TARGET_LINES: "), 1u);
  expect_target_pose();
}

TEST_F(AlignNodeBadInput, TargetAngleZeroAdmitsNoPair)
{
  start({{"target_angle", 0.0}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  // The touching pair is examined and refused.
  EXPECT_GE(count_prefix(log_, "ERROR_DATA(angle) from "), 1u);
  EXPECT_EQ(count_prefix(log_, "Find TARGET_LINES: "), 0u);
  EXPECT_EQ(count_prefix(log_, "POINT_DATA lens "), 1u);
  EXPECT_EQ(log_.count(kNoTarget, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  harness_.spin_until([&] {return !markers_->empty();});
  EXPECT_TRUE(poses_->empty());
  EXPECT_EQ(markers_->size(), 1u);
}

TEST_F(AlignNodeBadInput, RangeBandWithMinAboveMaxAdmitsNoPoint)
{
  start({{"min_range", 2.0}, {"max_range", 0.5}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  expect_no_target("POINT_DATA lens 0.");
}

TEST_F(AlignNodeBadInput, NegativeMinPointsPerLineEndsWithFewerSegments)
{
  start({{"min_points_per_line", -1}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  EXPECT_EQ(log_.count("LINE_SEGMENT lens 1.", RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_EQ(log_.count(kNoTarget, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_TRUE(poses_->empty());
}

TEST_F(AlignNodeBadInput, NegativeSplitThresholdActsAsZeroAlsoWhenSetAtRunTime)
{
  auto node = start({{"threshold_split", -1.0}});
  const LaserScan scan = align_line_test::make_v_target_scan();
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  EXPECT_EQ(log_.count("LINE_SEGMENT lens 0.", RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_EQ(log_.count(kNoTarget, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_TRUE(poses_->empty());

  // Back to a sound value, and then negative again, through the parameter
  // API; each takes effect at the next refresh.
  ASSERT_TRUE(node->set_parameter({"threshold_split", 0.01}).successful);
  harness_.spin_until([] {return false;}, std::chrono::milliseconds(1100));
  clear();
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  expect_target_pose();

  ASSERT_TRUE(node->set_parameter({"threshold_split", -5.0}).successful);
  harness_.spin_until([] {return false;}, std::chrono::milliseconds(1100));
  clear();
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  EXPECT_EQ(log_.count("LINE_SEGMENT lens 0.", RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_TRUE(poses_->empty());
}

TEST_F(AlignNodeBadInput, FeatureOnlyParametersAreNotDeclaredAndOverridesIgnored)
{
  const std::vector<rclcpp::Parameter> foreign = {
    {"min_angle", 1e300}, {"max_angle", std::numeric_limits<double>::quiet_NaN()}, {"times", 0},
    {"publish_frame", "laser_back"}};
  auto node = start(foreign);
  for (const auto & parameter : foreign) {
    EXPECT_FALSE(node->has_parameter(parameter.get_name())) << parameter.get_name();
  }
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  expect_target_pose();
}

}  // namespace
