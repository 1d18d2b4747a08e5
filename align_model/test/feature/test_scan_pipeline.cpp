#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using feature_test::kDebug;
using feature_test::kError;

constexpr char kLaserFrame[] = "rear_laser";
constexpr double kHeading = 0.15;
constexpr double kDegree = M_PI / 180.0;

// The limits of a real deployment: 0.3 m plates pass the length window.
std::vector<rclcpp::Parameter> deployment_parameters(bool debug)
{
  return {{"min_angle", -1.5}, {"max_angle", 1.5}, {"min_line_len", 0.15}, {"max_line_len", 0.45},
    {"debug", debug}};
}

class FeatureNodePipeline : public ::testing::Test
{
protected:
  void SetUp() override {feature_test::show_node_debug_lines();}

  // Every worker must end soon after its node is gone.
  void TearDown() override
  {
    harness_.release_node();
    EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  void send_scan(const sensor_msgs::msg::LaserScan & scan)
  {
    const std::string received = "Get BACK_SCAN laser data, size " + std::to_string(scan.ranges.size()) + ".";
    const std::size_t before = logs_.count(received, kDebug);
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until([&] {return logs_.count(received, kDebug) > before;}));
  }

  // The first enabled scan only starts the lookup; waits until it has stored
  // the transform.
  void send_first_scan_and_wait_for_transform(
    const std::shared_ptr<FeatureNode> & node, const sensor_msgs::msg::LaserScan & scan,
    const std::string & publish_frame)
  {
    send_scan(scan);
    EXPECT_EQ(logs_.count("Get tf_trans failed.", kDebug), 1u);
    ASSERT_TRUE(harness_.spin_until(
      [&] {return node->frame_listener()->is_stored(publish_frame, scan.header.frame_id);}));
  }

  sensor_msgs::msg::LaserScan target_scan() const
  {
    const feature_test::ScanGeometry geometry;
    target_ = feature_test::target_on_beam(mount_, geometry, 360, 0.7, kHeading);
    return feature_test::make_target_scan(mount_, target_, kLaserFrame, geometry);
  }

  align_test::LogCapture logs_;
  align_test::NodeHarness harness_;
  feature_test::LaserMount mount_;
  mutable feature_test::VTarget target_;
};

TEST_F(FeatureNodePipeline, PublishesInThePublishFrameOnceTheTransformIsStored)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(false));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  const auto scan = target_scan();

  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  harness_.spin();
  EXPECT_TRUE(poses->empty());

  send_scan(scan);
  ASSERT_TRUE(harness_.spin_until([&] {return !poses->empty();}));
  const auto & pose = *poses->front().message;
  EXPECT_EQ(pose.header.frame_id, "base_footprint");
  EXPECT_NEAR(pose.pose.position.x, target_.corner_x, 0.01);
  EXPECT_NEAR(pose.pose.position.y, target_.corner_y, 0.01);
  EXPECT_NEAR(pose.pose.position.z, kHeading, 1.0 * kDegree);
  EXPECT_EQ(pose.pose.orientation.w, 1.0);
  EXPECT_EQ(pose.pose.orientation.z, 0.0);
  EXPECT_EQ(logs_.count("Find status is  TRUE, NEAR SUCCESS is 1.000.", kDebug), 1u);
  EXPECT_EQ(logs_.count("Patch details : count_lens  1, count_near  1, count_angle  1.", kDebug), 1u);
  EXPECT_EQ(logs_.count("LINE_SEGMENT lens 2.", kDebug), 1u);
  // Only the first scan asked for the transform.
  EXPECT_EQ(node->frame_listener()->worker_starts(), 1u);
}

TEST_F(FeatureNodePipeline, LogsTheStagesOfAnEvaluatedScanInOrder)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(false));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  const auto scan = target_scan();
  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  logs_.clear();
  send_scan(scan);

  std::vector<std::string> prefixes;
  for (const auto & record : logs_.records()) {
    if (record.logger == "align_feature_node") {
      prefixes.push_back(record.text.substr(0, record.text.find_first_of(" :")));
    }
  }
  const std::vector<std::string> expected = {
    "Get", "SCAN_SELECT", "POINT_DATA", "LINE_SEGMENT", "Try", "Find", "Find", "Patch", "Find",
    "TARGET_POSE"};
  EXPECT_EQ(prefixes, expected);
}

TEST_F(FeatureNodePipeline, DebugOutputsShareOneStampAndComeInOrder)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(true));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  auto scans = harness_.record<sensor_msgs::msg::LaserScan>("align_scan");
  auto markers = harness_.record<visualization_msgs::msg::Marker>("align_marker");
  auto scan = target_scan();
  scan.header.stamp.sec = 12;

  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  send_scan(scan);
  ASSERT_TRUE(harness_.spin_until([&] {return !poses->empty() && markers->size() >= 2 && !scans->empty();}));

  ASSERT_EQ(scans->size(), 1u);
  ASSERT_EQ(markers->size(), 2u);
  ASSERT_EQ(poses->size(), 1u);
  const auto & selected = scans->front();
  const auto & segment_marker = markers->at(0);
  const auto & target_marker = markers->at(1);
  const auto & pose = poses->front();
  EXPECT_EQ(segment_marker.message->id, 1);
  EXPECT_EQ(target_marker.message->id, 0);

  const auto stamp = selected.message->header.stamp;
  EXPECT_NE(stamp.sec, 12);
  EXPECT_EQ(segment_marker.message->header.stamp, stamp);
  EXPECT_EQ(target_marker.message->header.stamp, stamp);
  EXPECT_EQ(pose.message->header.stamp, stamp);

  EXPECT_LT(selected.source_timestamp, segment_marker.source_timestamp);
  EXPECT_LT(segment_marker.source_timestamp, target_marker.source_timestamp);
  EXPECT_LT(target_marker.source_timestamp, pose.source_timestamp);

  EXPECT_EQ(selected.message->header.frame_id, kLaserFrame);
  EXPECT_EQ(segment_marker.message->points.size(), 4u);
  EXPECT_NEAR(target_marker.message->pose.position.x, target_.corner_x, 0.01);
  EXPECT_NEAR(target_marker.message->pose.position.y, target_.corner_y, 0.01);
}

TEST_F(FeatureNodePipeline, DebugWithoutTargetPublishesScanAndMarkersButNoPose)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(true));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  auto scans = harness_.record<sensor_msgs::msg::LaserScan>("align_scan");
  auto markers = harness_.record<visualization_msgs::msg::Marker>("align_marker");
  const auto scan = feature_test::make_empty_scan(kLaserFrame);

  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  send_scan(scan);
  ASSERT_TRUE(harness_.spin_until([&] {return markers->size() >= 2 && !scans->empty();}));
  harness_.spin();

  EXPECT_TRUE(poses->empty());
  EXPECT_EQ(logs_.count("TARGET_POSE do not found.", kDebug), 1u);
  EXPECT_EQ(logs_.count("Find status is FALSE, NEAR SUCCESS is 0.917.", kDebug), 1u);
  ASSERT_EQ(markers->size(), 2u);
  EXPECT_TRUE(markers->at(0).message->points.empty());
  const auto & target_marker = *markers->at(1).message;
  EXPECT_EQ(target_marker.pose.position.x, 0.0);
  EXPECT_EQ(target_marker.pose.position.y, 0.0);
  EXPECT_EQ(target_marker.pose.orientation.w, 1.0);
}

TEST_F(FeatureNodePipeline, WithoutDebugAScanWithoutTargetPublishesNothing)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(false));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  const auto scan = feature_test::make_empty_scan(kLaserFrame);
  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  send_scan(scan);
  harness_.spin();
  EXPECT_TRUE(poses->empty());
  EXPECT_EQ(logs_.count("POINT_DATA lens 0.", kDebug), 1u);
  EXPECT_EQ(logs_.count("LINE_SEGMENT lens 0.", kDebug), 1u);
  EXPECT_EQ(logs_.count("TARGET_POSE do not found.", kDebug), 1u);
}

TEST_F(FeatureNodePipeline, AWindowOutsideTheScanGivesOneErrorPerScanAndNoOutput)
{
  // The default window -3.14..3.14 does not fit a 180 degree scan.
  auto node = harness_.start<FeatureNode>({{"publish_frame", kLaserFrame}, {"debug", true}});
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  auto scans = harness_.record<sensor_msgs::msg::LaserScan>("align_scan");
  auto markers = harness_.record<visualization_msgs::msg::Marker>("align_marker");
  const auto scan = feature_test::make_empty_scan(kLaserFrame);
  // Same frame on both sides: the first lookup succeeds at once.
  send_first_scan_and_wait_for_transform(node, scan, kLaserFrame);

  const std::string failure = "select_scan_data_from_angle is FAILED, maybe select data out of range.";
  send_scan(scan);
  EXPECT_EQ(logs_.count(failure, kError), 1u);
  send_scan(scan);
  harness_.spin();
  EXPECT_EQ(logs_.count(failure, kError), 2u);
  EXPECT_EQ(feature_test::count_starting_with(logs_, "SCAN_SELECT"), 0u);
  EXPECT_EQ(feature_test::count_starting_with(logs_, "POINT_DATA"), 0u);
  EXPECT_TRUE(poses->empty());
  EXPECT_TRUE(scans->empty());
  EXPECT_TRUE(markers->empty());
}

TEST_F(FeatureNodePipeline, ScanWithoutIntensitiesIsProcessedWithoutPoints)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters(false));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto scan = target_scan();
  scan.intensities.clear();
  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  send_scan(scan);
  EXPECT_EQ(logs_.count("POINT_DATA lens 0.", kDebug), 1u);
  EXPECT_EQ(logs_.count("TARGET_POSE do not found.", kDebug), 1u);
}

TEST_F(FeatureNodePipeline, DefaultLengthLimitsNeverFindACorner)
{
  std::vector<rclcpp::Parameter> parameters = {{"min_angle", -1.5}, {"max_angle", 1.5}};
  auto node = harness_.start<FeatureNode>(parameters);
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  const auto scan = target_scan();
  send_first_scan_and_wait_for_transform(node, scan, "base_footprint");
  send_scan(scan);
  harness_.spin();
  EXPECT_EQ(logs_.count("Patch details : count_lens  0, count_near  0, count_angle  0.", kDebug), 1u);
  EXPECT_TRUE(poses->empty());
}

TEST_F(FeatureNodePipeline, DestroyingTheNodeWhileAWorkerRunsIsQuickAndTheWorkerEnds)
{
  auto node = harness_.start<FeatureNode>();
  send_scan(feature_test::make_empty_scan("frame_nobody_publishes"));
  ASSERT_TRUE(harness_.spin_until([&] {return node->frame_listener()->is_worker_running();}));

  const auto before = std::chrono::steady_clock::now();
  harness_.release_node();
  node.reset();
  const auto destruction = std::chrono::steady_clock::now() - before;
  // The worker's window is 5 s; the destructor must not wait for it.
  EXPECT_LT(destruction, std::chrono::seconds(2));
  EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
}

}  // namespace
