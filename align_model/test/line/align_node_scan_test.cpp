#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"

namespace
{

using align_line_test::count_prefix;
using align_line_test::degrees;
using align_line_test::kPi;
using align_line_test::process_scan;
using align_line_test::starts_with;
using align_line_test::VTarget;
using align_node::AlignNode;
using align_test::LogCapture;
using align_test::NodeHarness;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;
using visualization_msgs::msg::Marker;

class AlignNodeScanTest : public ::testing::Test
{
protected:
  void SetUp() override {align_line_test::enable_debug_logging();}

  std::shared_ptr<AlignNode> start(const std::vector<rclcpp::Parameter> & overrides = {})
  {
    auto node = harness_.start<AlignNode>(overrides);
    pose_ = harness_.record<PoseStamped>("docking_pose");
    selected_ = harness_.record<LaserScan>("align_scan");
    markers_ = harness_.record<Marker>("align_marker");
    return node;
  }

  // Index of the first log line starting with `prefix`, or -1.
  int line_index(const std::string & prefix) const
  {
    const auto texts = log_.texts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (starts_with(texts[i], prefix)) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  LogCapture log_;
  NodeHarness harness_;
  std::shared_ptr<std::vector<align_test::Received<PoseStamped>>> pose_;
  std::shared_ptr<std::vector<align_test::Received<LaserScan>>> selected_;
  std::shared_ptr<std::vector<align_test::Received<Marker>>> markers_;
};

// --- the fixed window ------------------------------------------------------

struct BadWindowCase
{
  const char * name;
  float angle_min;
  float angle_increment;
  std::size_t count;
};

class AlignNodeBadWindowTest
  : public AlignNodeScanTest, public ::testing::WithParamInterface<BadWindowCase> {};

TEST_P(AlignNodeBadWindowTest, EndsWithTheErrorLine)
{
  start({{"debug", true}, {"min_line_len", 0.15}, {"max_line_len", 0.45}});
  LaserScan scan = align_line_test::make_v_target_scan();
  scan.angle_min = GetParam().angle_min;
  scan.angle_increment = GetParam().angle_increment;
  scan.ranges.resize(GetParam().count, 1.0f);
  scan.intensities.resize(GetParam().count, 252.0f);

  ASSERT_TRUE(process_scan(harness_, log_, scan));
  EXPECT_EQ(log_.count(align_line_test::kWindowError, RCUTILS_LOG_SEVERITY_ERROR), 1u);
  EXPECT_EQ(count_prefix(log_, "SOURCE_SCAN_DATA"), 0u);
  EXPECT_EQ(count_prefix(log_, "POINT_DATA"), 0u);
  EXPECT_TRUE(selected_->empty());
  EXPECT_TRUE(markers_->empty());
  EXPECT_TRUE(pose_->empty());
}

const float kQuarterDegree = static_cast<float>(degrees(0.25));
const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
  , AlignNodeBadWindowTest,
  ::testing::Values(
    BadWindowCase{"PlusMinus45Degrees", static_cast<float>(-kPi / 4), kQuarterDegree, 361},
    BadWindowCase{"NanIncrement", static_cast<float>(-0.75 * kPi), kNan, 1081},
    BadWindowCase{"ZeroIncrement", static_cast<float>(-0.75 * kPi), 0.0f, 1081},
    BadWindowCase{"NegativeIncrement", static_cast<float>(0.75 * kPi), -kQuarterDegree, 1081},
    BadWindowCase{"InfiniteIncrement", static_cast<float>(-0.75 * kPi), kInf, 1081},
    BadWindowCase{"NanAngleMin", kNan, kQuarterDegree, 1081},
    BadWindowCase{"InfiniteAngleMin", -kInf, kQuarterDegree, 1081},
    BadWindowCase{"AngleMinThousandsOfTurnsAway", 1.0e7f, kQuarterDegree, 1081},
    BadWindowCase{"WrappingWindowShortOfAFullTurn", 0.0f, static_cast<float>(2 * kPi / 360), 360},
    BadWindowCase{"EmptyScan", static_cast<float>(-0.75 * kPi), kQuarterDegree, 0}),
  [](const ::testing::TestParamInfo<BadWindowCase> & info) {return std::string(info.param.name);});

// --- end to end: V target to pose --------------------------------------------

struct PoseCase
{
  const char * name;
  VTarget target;
  int angle_type;
};

class AlignNodeTargetPoseTest
  : public AlignNodeScanTest, public ::testing::WithParamInterface<PoseCase> {};

TEST_P(AlignNodeTargetPoseTest, PublishesTheCornerInTheBaseFrame)
{
  const VTarget & target = GetParam().target;
  start(
    align_line_test::plate_overrides(
      {{"target_angle", align_line_test::plate_turn(target)}, {"angle_type", GetParam().angle_type}}));

  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan(target)));
  ASSERT_TRUE(harness_.spin_until([&] {return pose_->size() == 1;}));

  const auto expected = align_line_test::expected_base_pose(target);
  const PoseStamped & pose = *pose_->front().message;
  EXPECT_EQ(pose.header.frame_id, "base_footprint");
  EXPECT_NEAR(pose.pose.position.x, expected.x, 0.01);
  EXPECT_NEAR(pose.pose.position.y, expected.y, 0.01);
  EXPECT_NEAR(align_line_test::wrapped_difference(pose.pose.position.z, expected.theta), 0.0, degrees(1.0));
  EXPECT_EQ(pose.pose.orientation.x, 0.0);
  EXPECT_EQ(pose.pose.orientation.y, 0.0);
  EXPECT_EQ(pose.pose.orientation.z, 0.0);
  EXPECT_EQ(pose.pose.orientation.w, 1.0);
  // Without debug, the pose is the only output.
  EXPECT_TRUE(selected_->empty());
  EXPECT_TRUE(markers_->empty());

  char line[128];
  std::snprintf(
    line, sizeof(line), "TARGET_POSE: [x: %2.4f, y: %2.4f, theta: %3.2f].",
    pose.pose.position.x, pose.pose.position.y, pose.pose.position.z * 180.0 / kPi);
  EXPECT_EQ(log_.count(line, RCUTILS_LOG_SEVERITY_DEBUG), 1u);
}

VTarget turned_target()
{
  VTarget target;
  target.apex_x = 0.7;
  target.apex_y = -0.2;
  target.axis = kPi + 0.35;
  return target;
}

VTarget sharp_target()
{
  VTarget target;
  target.half_opening = degrees(30.0);
  target.apex_x = 1.1;
  target.apex_y = 0.0;
  target.axis = kPi;
  return target;
}

INSTANTIATE_TEST_SUITE_P(
  , AlignNodeTargetPoseTest,
  ::testing::Values(
    PoseCase{"RefitBisector", VTarget(), 1},
    PoseCase{"PlainBisector", VTarget(), 0},
    PoseCase{"TurnedTargetRefit", turned_target(), 1},
    PoseCase{"SharpTargetRefit", sharp_target(), 1}),
  [](const ::testing::TestParamInfo<PoseCase> & info) {return std::string(info.param.name);});

TEST_F(AlignNodeScanTest, HeadingRulesTowardsOriginAndNegation)
{
  auto node = start(align_line_test::plate_overrides({{"angle_type", -1}}));
  const auto scan = align_line_test::make_v_target_scan();
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  ASSERT_TRUE(harness_.spin_until([&] {return pose_->size() == 1;}));
  const auto & towards_origin = pose_->back().message->pose.position;
  EXPECT_NEAR(towards_origin.z, std::atan2(-towards_origin.y, -towards_origin.x), 1e-9);

  ASSERT_TRUE(node->set_parameter({"angle_type", 1}).successful);
  ASSERT_TRUE(node->set_parameter({"anti_pose_angle", true}).successful);
  harness_.spin_until([] {return false;}, std::chrono::milliseconds(1100));
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  ASSERT_TRUE(harness_.spin_until([&] {return pose_->size() == 2;}));
  const double bisector = align_line_test::expected_base_pose(VTarget()).theta;
  EXPECT_NEAR(
    align_line_test::wrapped_difference(pose_->back().message->pose.position.z, -bisector), 0.0, degrees(1.0));
}

// --- debug outputs and log lines ---------------------------------------------

TEST_F(AlignNodeScanTest, DebugScanPublishesSelectedScanSegmentsTargetAndPoseInOrder)
{
  start(align_line_test::plate_overrides({{"debug", true}, {"base_frame_id", "dock_base"}}));
  const LaserScan scan = align_line_test::make_v_target_scan();
  ASSERT_TRUE(process_scan(harness_, log_, scan));
  ASSERT_TRUE(
    harness_.spin_until(
      [&] {return selected_->size() == 1 && markers_->size() == 2 && pose_->size() == 1;}));

  // The selected scan keeps the incoming header and covers the rear half.
  const LaserScan & window = *selected_->front().message;
  EXPECT_EQ(window.header.frame_id, "laser_back");
  EXPECT_EQ(window.header.stamp.sec, 1234);
  EXPECT_EQ(window.header.stamp.nanosec, 5678u);
  ASSERT_EQ(window.ranges.size(), 720u);
  EXPECT_EQ(window.ranges.front(), scan.ranges[181]);
  EXPECT_EQ(window.ranges.back(), scan.ranges[900]);

  const Marker & segments = *(*markers_)[0].message;
  const Marker & target = *(*markers_)[1].message;
  EXPECT_EQ(segments.id, 1);
  EXPECT_EQ(segments.type, Marker::LINE_LIST);
  EXPECT_EQ(segments.header.frame_id, "dock_base");
  EXPECT_GE(segments.points.size(), 4u);
  EXPECT_EQ(segments.points.size() % 2, 0u);
  EXPECT_EQ(target.id, 0);
  EXPECT_EQ(target.type, Marker::ARROW);
  const PoseStamped & pose = *pose_->front().message;
  EXPECT_EQ(pose.header.frame_id, "dock_base");
  EXPECT_DOUBLE_EQ(target.pose.position.x, pose.pose.position.x);
  EXPECT_DOUBLE_EQ(target.pose.position.y, pose.pose.position.y);

  EXPECT_LT(selected_->front().source_timestamp, (*markers_)[0].source_timestamp);
  EXPECT_LT((*markers_)[0].source_timestamp, (*markers_)[1].source_timestamp);
  EXPECT_LT((*markers_)[1].source_timestamp, pose_->front().source_timestamp);
}

TEST_F(AlignNodeScanTest, LogsEveryStepInOrder)
{
  start(align_line_test::plate_overrides());
  const LaserScan scan = align_line_test::make_v_target_scan();
  ASSERT_TRUE(process_scan(harness_, log_, scan));

  const std::vector<std::string> steps = {
    align_line_test::kScanLinePrefix,
    "SOURCE_SCAN_DATA lens 1081, SCAN_SELECT lens 720, from ",
    "POINT_DATA lens ",
    "LINE_SEGMENT lens ",
    "\t start point (",
    "Try to find feartues.",
    "ERROR_DATA(angle) from ",
    "Find TARGET_LINES: ",
    "TARGET_POSE: [x: "};
  int previous = -1;
  for (const auto & step : steps) {
    SCOPED_TRACE(step);
    const int index = line_index(step);
    EXPECT_GT(index, previous);
    previous = index;
  }
  char first[256];
  std::snprintf(
    first, sizeof(first),
    "\n\n\nGet BACK_SCAN laser data, min_angle %.7f, max_angle %.7f, step_angle %.7f, size 1081.",
    scan.angle_min, scan.angle_max, scan.angle_increment);
  EXPECT_EQ(log_.count(first, RCUTILS_LOG_SEVERITY_DEBUG), 1u);

  // One line per detected segment after the count.
  const auto texts = log_.texts();
  long segments = -1;
  ASSERT_EQ(std::sscanf(texts[line_index("LINE_SEGMENT lens ")].c_str(), "LINE_SEGMENT lens %ld.", &segments), 1);
  EXPECT_GE(segments, 2);
  EXPECT_EQ(count_prefix(log_, "\t start point ("), static_cast<std::size_t>(segments));
  for (const auto & record : log_.records()) {
    if (record.logger == "align_node" && !starts_with(record.text, "Enable signal")) {
      EXPECT_EQ(record.severity, RCUTILS_LOG_SEVERITY_DEBUG) << record.text;
    }
  }
}

TEST_F(AlignNodeScanTest, DefaultLengthBoundsNeverFindATarget)
{
  start({{"debug", true}});
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  EXPECT_EQ(log_.count("Do not find target feature.", RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_EQ(count_prefix(log_, "ERROR_DATA"), 0u);
  // The window and segment outputs still go out; the target ones do not.
  ASSERT_TRUE(harness_.spin_until([&] {return selected_->size() == 1 && markers_->size() == 1;}));
  EXPECT_EQ((*markers_)[0].message->id, 1);
  EXPECT_TRUE(pose_->empty());
}

TEST_F(AlignNodeScanTest, ScanWithoutTargetPublishesAnEmptySegmentMarker)
{
  start(align_line_test::plate_overrides({{"debug", true}}));
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_empty_scan()));
  EXPECT_EQ(log_.count("POINT_DATA lens 0."), 1u);
  EXPECT_EQ(log_.count("LINE_SEGMENT lens 0."), 1u);
  EXPECT_EQ(log_.count("Do not find target feature."), 1u);
  ASSERT_TRUE(harness_.spin_until([&] {return markers_->size() == 1;}));
  EXPECT_TRUE((*markers_)[0].message->points.empty());
  EXPECT_TRUE(pose_->empty());
}

TEST_F(AlignNodeScanTest, MissingIntensitiesGiveNoPoints)
{
  start(align_line_test::plate_overrides());
  LaserScan without = align_line_test::make_v_target_scan();
  without.intensities.clear();
  LaserScan half = align_line_test::make_v_target_scan();
  // Intensities stop at -35 degrees, well before the plates.
  half.intensities.resize(400);

  for (const LaserScan & scan : {without, half}) {
    log_.clear();
    ASSERT_TRUE(process_scan(harness_, log_, scan));
    EXPECT_EQ(log_.count("POINT_DATA lens 0."), 1u);
    EXPECT_EQ(log_.count("Do not find target feature."), 1u);
  }
  EXPECT_TRUE(pose_->empty());
}

}  // namespace
