// Hostile scans and parameters fed to align_feature_node: each case checks the
// log line it leaves and everything it publishes (docs/BAD_INPUT.md lists
// them side by side with the line program).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using feature_test::count_starting_with;
using feature_test::kDebug;
using feature_test::kError;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;
using visualization_msgs::msg::Marker;
using Clock = std::chrono::steady_clock;

constexpr char kLaserFrame[] = "rear_laser";
constexpr char kPublishFrame[] = "base_footprint";
constexpr char kWindowFailure[] = "select_scan_data_from_angle is FAILED, maybe select data out of range.";
constexpr char kNoTransform[] = "Get tf_trans failed.";
constexpr char kNoTarget[] = "TARGET_POSE do not found.";
constexpr double kHeading = 0.15;
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The deployment limits (0.3 m plates pass the length window) with debug on,
// so that every output topic exists; `extra` replaces entries of the same name.
std::vector<rclcpp::Parameter> parameters_with(const std::vector<rclcpp::Parameter> & extra)
{
  std::map<std::string, rclcpp::Parameter> by_name;
  for (const auto & parameter : std::vector<rclcpp::Parameter>{
      {"min_angle", -1.5}, {"max_angle", 1.5}, {"min_line_len", 0.15}, {"max_line_len", 0.45},
      {"debug", true}})
  {
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

class FeatureBadInput : public ::testing::Test
{
protected:
  void SetUp() override {feature_test::show_node_debug_lines();}

  void TearDown() override
  {
    if (HasFailure()) {
      std::string all;
      for (const auto & record : logs_.records()) {
        all += record.logger + ": " + record.text + "\n";
      }
      ADD_FAILURE() << "log of the failed test:\n" << all;
    }
    harness_.release_node();
    EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  // Starts the node, records its three output topics and stores the laser
  // transform with a first (dropped) scan, so that the scans of the test reach
  // the pipeline. Logs and recordings start empty afterwards.
  std::shared_ptr<FeatureNode> start_ready(const std::vector<rclcpp::Parameter> & extra = {})
  {
    auto node = harness_.start<FeatureNode>(parameters_with(extra));
    poses_ = harness_.record<PoseStamped>("docking_pose");
    scans_ = harness_.record<LaserScan>("align_scan");
    markers_ = harness_.record<Marker>("align_marker");
    feature_test::publish_static_transform(
      harness_, feature_test::make_mount_transform(kPublishFrame, kLaserFrame, mount_));
    send_scan(feature_test::make_empty_scan(kLaserFrame));
    EXPECT_EQ(logs_.count(kNoTransform, kDebug), 1u);
    EXPECT_TRUE(harness_.spin_until(
        [&] {return node->frame_listener()->is_stored(kPublishFrame, kLaserFrame);}));
    // The worker ends a little after storing; while it runs, a scan of
    // another frame would not start a worker of its own.
    EXPECT_TRUE(harness_.spin_until([&] {return !node->frame_listener()->is_worker_running();}));
    clear();
    return node;
  }

  void clear()
  {
    harness_.spin();
    logs_.clear();
    poses_->clear();
    scans_->clear();
    markers_->clear();
  }

  // Publishes one scan, waits until the node has taken it and lets its
  // outputs reach the probe.
  void send_scan(const LaserScan & scan)
  {
    const std::string received = "Get BACK_SCAN laser data, size " + std::to_string(scan.ranges.size()) + ".";
    const std::size_t before = logs_.count(received, kDebug);
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until([&] {return logs_.count(received, kDebug) > before;}));
    harness_.spin_until([] {return false;}, std::chrono::milliseconds(30));
  }

  LaserScan target_scan(const feature_test::ScanGeometry & geometry = feature_test::ScanGeometry()) const
  {
    target_ = feature_test::target_on_beam(mount_, geometry, geometry.readings / 2, 0.7, kHeading);
    return feature_test::make_target_scan(mount_, target_, kLaserFrame, geometry);
  }

  // The node's log lines, one per line, for failure messages.
  std::string node_lines() const
  {
    std::string out;
    for (const auto & record : logs_.records()) {
      if (record.logger == "align_feature_node") {
        out += record.text + "\n";
      }
    }
    return out;
  }

  // The scan ended at the window: one ERROR line, no later stage, no output.
  void expect_window_failure_only()
  {
    EXPECT_EQ(logs_.count(kWindowFailure, kError), 1u);
    EXPECT_EQ(count_starting_with(logs_, "SCAN_SELECT"), 0u);
    EXPECT_EQ(count_starting_with(logs_, "POINT_DATA"), 0u);
    EXPECT_EQ(count_starting_with(logs_, "Find status"), 0u);
    EXPECT_TRUE(poses_->empty());
    EXPECT_TRUE(scans_->empty());
    EXPECT_TRUE(markers_->empty());
  }

  // The scan went through the whole pipeline and gave no target: the debug
  // outputs (selected scan, empty segment marker, empty target marker) and no
  // pose.
  void expect_no_target(const std::string & point_line)
  {
    // Outputs reach the probe on later spins (slowly under the sanitizers).
    harness_.spin_until([&] {return !scans_->empty() && markers_->size() >= 2;});
    EXPECT_EQ(logs_.count(kWindowFailure), 0u);
    EXPECT_EQ(logs_.count(point_line, kDebug), 1u) << node_lines();
    EXPECT_EQ(logs_.count(kNoTarget, kDebug), 1u) << node_lines();
    EXPECT_TRUE(poses_->empty());
    EXPECT_EQ(scans_->size(), 1u);
    ASSERT_EQ(markers_->size(), 2u);
    EXPECT_EQ(markers_->at(1).message->pose.position.x, 0.0);
    EXPECT_EQ(markers_->at(1).message->pose.position.y, 0.0);
  }

  // One pose, at the target's corner.
  void expect_target_pose()
  {
    harness_.spin_until([&] {return !poses_->empty() && markers_->size() >= 2;});
    EXPECT_EQ(logs_.count(kNoTarget), 0u) << node_lines();
    ASSERT_EQ(poses_->size(), 1u) << node_lines();
    const auto & pose = *poses_->front().message;
    EXPECT_EQ(pose.header.frame_id, kPublishFrame);
    EXPECT_NEAR(pose.pose.position.x, target_.corner_x, 0.01);
    EXPECT_NEAR(pose.pose.position.y, target_.corner_y, 0.01);
    EXPECT_NEAR(pose.pose.position.z, kHeading, 0.02);
    EXPECT_EQ(count_starting_with(logs_, "TARGET_POSE: [x: "), 1u);
  }

  align_test::LogCapture logs_;
  align_test::NodeHarness harness_;
  feature_test::LaserMount mount_;
  mutable feature_test::VTarget target_;
  std::shared_ptr<std::vector<align_test::Received<PoseStamped>>> poses_;
  std::shared_ptr<std::vector<align_test::Received<LaserScan>>> scans_;
  std::shared_ptr<std::vector<align_test::Received<Marker>>> markers_;
};

// --- scans -------------------------------------------------------------------

TEST_F(FeatureBadInput, EmptyScanEndsAtTheWindowWithTheErrorLine)
{
  start_ready();
  LaserScan scan = feature_test::make_empty_scan(kLaserFrame);
  scan.ranges.clear();
  scan.intensities.clear();
  send_scan(scan);
  EXPECT_EQ(logs_.count("Get BACK_SCAN laser data, size 0.", kDebug), 1u);
  expect_window_failure_only();
}

TEST_F(FeatureBadInput, MissingOrShortIntensitiesGiveNoPointsAndNoPose)
{
  start_ready();
  for (const std::size_t kept : {std::size_t{0}, std::size_t{200}}) {
    SCOPED_TRACE(kept);
    LaserScan scan = target_scan();
    // 200 readings end at -40 degrees, before the plates.
    scan.intensities.resize(kept);
    send_scan(scan);
    expect_no_target("POINT_DATA lens 0.");
    EXPECT_EQ(logs_.count("LINE_SEGMENT lens 0.", kDebug), 1u);
    clear();
  }
}

TEST_F(FeatureBadInput, SurplusIntensitiesAreIgnored)
{
  start_ready();
  LaserScan scan = target_scan();
  scan.intensities.resize(scan.ranges.size() * 3, feature_test::kPlateIntensity);
  send_scan(scan);
  expect_target_pose();
  EXPECT_EQ(scans_->size(), 1u);
  // The selected scan keeps one intensity per selected reading.
  ASSERT_EQ(scans_->size(), 1u);
  EXPECT_EQ(scans_->front().message->intensities.size(), scans_->front().message->ranges.size());
}

TEST_F(FeatureBadInput, AllNanOrAllInfiniteRangesGiveNoPointsAndNoPose)
{
  start_ready();
  for (const float value : {kNan, kInf, -kInf}) {
    SCOPED_TRACE(value);
    LaserScan scan = target_scan();
    scan.ranges.assign(scan.ranges.size(), value);
    scan.intensities.assign(scan.intensities.size(), feature_test::kPlateIntensity);
    send_scan(scan);
    expect_no_target("POINT_DATA lens 0.");
    clear();
  }
}

TEST_F(FeatureBadInput, UnusableAngleIncrementEndsAtTheWindowWithTheErrorLine)
{
  start_ready();
  for (const float increment : {0.0f, -0.0043633f, kNan, kInf}) {
    SCOPED_TRACE(increment);
    LaserScan scan = target_scan();
    scan.angle_increment = increment;
    send_scan(scan);
    expect_window_failure_only();
    clear();
  }
}

TEST_F(FeatureBadInput, UnusableAngleMinEndsAtTheWindowWithTheErrorLine)
{
  start_ready();
  // NaN, infinite, and so far away (thousands of turns) that wrapping it into
  // the window would take thousands of steps.
  for (const float angle_min : {kNan, -kInf, 1.0e7f, -3.0e38f}) {
    SCOPED_TRACE(angle_min);
    LaserScan scan = target_scan();
    scan.angle_min = angle_min;
    send_scan(scan);
    expect_window_failure_only();
    clear();
  }
}

TEST_F(FeatureBadInput, MillionReadingScanIsProcessedAndFindsTheTarget)
{
  start_ready();
  feature_test::ScanGeometry geometry;
  geometry.readings = 1000000;
  geometry.angle_increment = static_cast<float>(M_PI / 999999.0);
  const LaserScan scan = target_scan(geometry);
  send_scan(scan);
  EXPECT_EQ(logs_.count("Get BACK_SCAN laser data, size 1000000.", kDebug), 1u);
  EXPECT_EQ(count_starting_with(logs_, "SCAN_SELECT lens "), 1u);
  expect_target_pose();
  EXPECT_EQ(scans_->size(), 1u);
  EXPECT_EQ(markers_->size(), 2u);
}

TEST_F(FeatureBadInput, PublishFrameEqualToTheScanFrameWorksInTheLaserFrame)
{
  // A full-turn scan from a laser at the origin of its own frame; the V opens
  // towards the laser from behind it (-x), the side the target is docked from.
  feature_test::LaserMount identity;
  identity.x = 0.0;
  identity.y = 0.0;
  identity.yaw = 0.0;
  feature_test::ScanGeometry geometry;
  geometry.angle_min = static_cast<float>(-M_PI);
  geometry.readings = 1440;
  const feature_test::VTarget target = feature_test::target_on_beam(identity, geometry, 0, 0.7, 0.0);
  const LaserScan scan = feature_test::make_target_scan(identity, target, kLaserFrame, geometry);

  auto node = harness_.start<FeatureNode>(parameters_with({{"publish_frame", kLaserFrame}}));
  auto poses = harness_.record<PoseStamped>("docking_pose");
  auto markers = harness_.record<Marker>("align_marker");
  // No transform is published: a frame needs none into itself, yet the first
  // scan still only starts the lookup.
  send_scan(scan);
  EXPECT_EQ(logs_.count(kNoTransform, kDebug), 1u);
  harness_.spin();
  EXPECT_TRUE(poses->empty());
  EXPECT_TRUE(markers->empty());
  ASSERT_TRUE(harness_.spin_until([&] {return node->frame_listener()->is_stored(kLaserFrame, kLaserFrame);}));

  send_scan(scan);
  EXPECT_EQ(logs_.count(kNoTransform, kDebug), 1u);
  harness_.spin_until([&] {return !poses->empty() && markers->size() >= 2;});
  ASSERT_EQ(poses->size(), 1u);
  const auto & pose = *poses->front().message;
  EXPECT_EQ(pose.header.frame_id, kLaserFrame);
  EXPECT_NEAR(pose.pose.position.x, -0.7, 0.01);
  EXPECT_NEAR(pose.pose.position.y, 0.0, 0.01);
  EXPECT_NEAR(pose.pose.position.z, 0.0, 0.02);
  ASSERT_EQ(markers->size(), 2u);
  EXPECT_EQ(markers->at(0).message->header.frame_id, kLaserFrame);
  EXPECT_EQ(node->frame_listener()->worker_starts(), 1u);
}

TEST_F(FeatureBadInput, ScanFrameChangeNeedsItsOwnTransformAndKeepsTheFirst)
{
  auto node = start_ready();
  // A second laser frame, mounted elsewhere, with its own static transform.
  feature_test::LaserMount other_mount;
  other_mount.x = -0.5;
  other_mount.y = -0.1;
  other_mount.yaw = 2.9;
  const LaserScan first = target_scan();
  const feature_test::VTarget first_target = target_;
  const feature_test::ScanGeometry geometry;
  const feature_test::VTarget other_target =
    feature_test::target_on_beam(other_mount, geometry, 360, 0.8, kHeading);
  const LaserScan second = feature_test::make_target_scan(other_mount, other_target, "other_laser", geometry);
  // Both transforms in one message, as a static broadcaster sends them.
  tf2_msgs::msg::TFMessage both;
  both.transforms.push_back(feature_test::make_mount_transform(kPublishFrame, kLaserFrame, mount_));
  both.transforms.push_back(feature_test::make_mount_transform(kPublishFrame, "other_laser", other_mount));
  harness_.publish("/tf_static", both, rclcpp::QoS(1).transient_local());

  send_scan(first);
  ASSERT_TRUE(harness_.spin_until([&] {return poses_->size() == 1;}));
  // The new frame: dropped until its own worker has stored its transform.
  send_scan(second);
  EXPECT_EQ(logs_.count(kNoTransform, kDebug), 1u);
  EXPECT_EQ(poses_->size(), 1u);
  EXPECT_EQ(node->frame_listener()->worker_starts(), 2u);
  ASSERT_TRUE(harness_.spin_until([&] {return node->frame_listener()->is_stored(kPublishFrame, "other_laser");}));
  send_scan(second);
  // And back: the first frame's transform is still stored.
  send_scan(first);
  EXPECT_EQ(logs_.count(kNoTransform, kDebug), 1u);
  harness_.spin_until([&] {return poses_->size() >= 3;});
  ASSERT_EQ(poses_->size(), 3u);
  EXPECT_NEAR(poses_->at(1).message->pose.position.x, other_target.corner_x, 0.01);
  EXPECT_NEAR(poses_->at(1).message->pose.position.y, other_target.corner_y, 0.01);
  EXPECT_NEAR(poses_->at(2).message->pose.position.x, first_target.corner_x, 0.01);
  EXPECT_NEAR(poses_->at(2).message->pose.position.y, first_target.corner_y, 0.01);
  EXPECT_EQ(node->frame_listener()->worker_starts(), 2u);
}

TEST_F(FeatureBadInput, ScanFrameWithoutTransformIsDroppedEveryTime)
{
  auto node = start_ready();
  LaserScan scan = target_scan();
  scan.header.frame_id = "frame_nobody_publishes";
  send_scan(scan);
  ASSERT_TRUE(harness_.spin_until([&] {return node->frame_listener()->is_worker_running();}));
  for (int i = 0; i < 2; ++i) {
    send_scan(scan);
  }
  EXPECT_EQ(logs_.count(kNoTransform, kDebug), 3u);
  EXPECT_EQ(count_starting_with(logs_, "SCAN_SELECT"), 0u);
  EXPECT_TRUE(poses_->empty());
  EXPECT_TRUE(scans_->empty());
  EXPECT_TRUE(markers_->empty());
  // One worker tries for its window; the scans meanwhile start no other.
  EXPECT_EQ(node->frame_listener()->worker_starts(), 2u);
}

// --- the laser transform arriving late or never ---------------------------------

// Three nodes, each with its own scan frame and topics, ask for their
// transform at the same moment. The transform of the first arrives 4.9 s
// later, inside the worker's 5 s window; that of the second 5.1 s later, after
// its first worker gave up; that of the third never. Scans keep coming every
// 250 ms. The 5 s window runs on the wall clock inside the worker, so this
// case takes its real 5 s; the three cases share them.
TEST_F(FeatureBadInput, TransformArrivingAfter4Point9Or5Point1SecondsOrNever)
{
  struct Late
  {
    std::string name;
    std::string frame;
    std::shared_ptr<FeatureNode> node;
    std::shared_ptr<std::vector<align_test::Received<PoseStamped>>> poses;
    std::size_t scans_sent = 0;
  };
  std::vector<Late> nodes = {{"late_a", "laser_a", {}, {}}, {"late_b", "laser_b", {}, {}}, {"late_c", "laser_c", {}, {}}};
  for (auto & late : nodes) {
    rclcpp::NodeOptions options;
    options.arguments({"--ros-args", "-r", "__node:=" + late.name});
    auto overrides = parameters_with(
      {{"debug", false}, {"scan_topic", "scan_" + late.name}, {"pose_stamped_topic", "pose_" + late.name}});
    options.parameter_overrides(overrides);
    rclcpp::get_logger(late.name).set_level(rclcpp::Logger::Level::Debug);
    late.node = std::make_shared<FeatureNode>(options);
    harness_.executor().add_node(late.node);
    late.poses = harness_.record<PoseStamped>("pose_" + late.name);
  }
  auto lines_of = [&](const Late & late, const std::string & text) {
      std::size_t count = 0;
      for (const auto & record : logs_.records()) {
        count += (record.logger == late.name && record.text == text) ? 1 : 0;
      }
      return count;
    };
  auto send_scans = [&]() {
      for (auto & late : nodes) {
        LaserScan scan = target_scan();
        scan.header.frame_id = late.frame;
        harness_.publish("scan_" + late.name, scan);
        ++late.scans_sent;
      }
    };
  auto spin_until_time = [&](Clock::time_point until, Clock::time_point & next_scans) {
      while (Clock::now() < until) {
        if (Clock::now() >= next_scans) {
          send_scans();
          next_scans += std::chrono::milliseconds(250);
        }
        harness_.executor().spin_some();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    };
  tf2_msgs::msg::TFMessage static_transforms;
  auto publish_transform_of = [&](const Late & late) {
      static_transforms.transforms.push_back(
        feature_test::make_mount_transform(kPublishFrame, late.frame, mount_));
      harness_.publish("/tf_static", static_transforms, rclcpp::QoS(1).transient_local());
    };
  Late & a = nodes[0];
  Late & b = nodes[1];
  Late & c = nodes[2];

  // No worker can start before this instant, so its window ends after +5 s.
  const Clock::time_point asked = Clock::now();
  Clock::time_point next_scans = asked;
  spin_until_time(asked + std::chrono::milliseconds(1), next_scans);
  ASSERT_TRUE(harness_.spin_until([&] {return b.node->frame_listener()->is_worker_running();}));
  // The second worker started no later than this: its window is over at +5 s.
  const Clock::time_point b_running = Clock::now();

  spin_until_time(asked + std::chrono::milliseconds(4900), next_scans);
  publish_transform_of(a);
  spin_until_time(b_running + std::chrono::milliseconds(5100), next_scans);
  EXPECT_FALSE(b.node->frame_listener()->is_stored(kPublishFrame, b.frame));
  publish_transform_of(b);
  const Clock::time_point give_up = Clock::now() + std::chrono::seconds(3);
  while (Clock::now() < give_up &&
    (a.poses->empty() || b.poses->empty() || c.node->frame_listener()->worker_starts() < 2))
  {
    spin_until_time(Clock::now() + std::chrono::milliseconds(20), next_scans);
  }
  harness_.spin();

  // 4.9 s: the first worker stores it; the scans before were dropped.
  EXPECT_TRUE(a.node->frame_listener()->is_stored(kPublishFrame, a.frame));
  EXPECT_EQ(a.node->frame_listener()->worker_starts(), 1u);
  EXPECT_FALSE(a.poses->empty());
  EXPECT_GE(lines_of(a, kNoTransform), 19u);
  EXPECT_EQ(lines_of(a, kNoTransform) + a.poses->size(), a.scans_sent);
  // 5.1 s: the first worker had given up; a later scan started a second one,
  // which found it.
  EXPECT_TRUE(b.node->frame_listener()->is_stored(kPublishFrame, b.frame));
  EXPECT_EQ(b.node->frame_listener()->worker_starts(), 2u);
  EXPECT_FALSE(b.poses->empty());
  EXPECT_EQ(lines_of(b, kNoTransform) + b.poses->size(), b.scans_sent);
  // Never: every scan dropped, and a new worker after each window.
  EXPECT_FALSE(c.node->frame_listener()->is_stored(kPublishFrame, c.frame));
  EXPECT_EQ(c.node->frame_listener()->worker_starts(), 2u);
  EXPECT_TRUE(c.poses->empty());
  EXPECT_EQ(lines_of(c, kNoTransform), c.scans_sent);
  EXPECT_EQ(logs_.count(kWindowFailure), 0u);

  for (auto & late : nodes) {
    harness_.executor().remove_node(late.node);
    late.node.reset();
  }
}

// --- parameters --------------------------------------------------------------

TEST_F(FeatureBadInput, WindowAnglesThatCannotBePlacedFailEveryScan)
{
  const double huge = 1e300;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<rclcpp::Parameter>> cases = {
    {{"min_angle", -huge}}, {{"max_angle", huge}}, {{"min_angle", huge}, {"max_angle", -huge}},
    {{"min_angle", nan}}, {{"max_angle", nan}}};
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const auto & window = cases[k];
    SCOPED_TRACE(k);
    start_ready(window);
    send_scan(target_scan());
    send_scan(target_scan());
    EXPECT_EQ(logs_.count(kWindowFailure, kError), 2u);
    EXPECT_EQ(count_starting_with(logs_, "SCAN_SELECT"), 0u);
    EXPECT_TRUE(poses_->empty());
    EXPECT_TRUE(scans_->empty());
    EXPECT_TRUE(markers_->empty());
    harness_.release_node();
    ASSERT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
    logs_.clear();
  }
}

TEST_F(FeatureBadInput, LongestHistoryIsAcceptedAndPublishesUnsmoothed)
{
  start_ready({{"times", 10000}});
  send_scan(target_scan());
  send_scan(target_scan());
  harness_.spin_until([&] {return poses_->size() >= 2;});
  ASSERT_EQ(poses_->size(), 2u);
  EXPECT_EQ(poses_->at(0).message->pose.position.x, poses_->at(1).message->pose.position.x);
  EXPECT_NEAR(poses_->at(1).message->pose.position.x, target_.corner_x, 0.01);
}

TEST_F(FeatureBadInput, HistoryOfAMillionScansIsRefusedAtStartUp)
{
  try {
    harness_.start<FeatureNode>(parameters_with({{"times", 1000000}}));
    ADD_FAILURE() << "the node started";
  } catch (const std::invalid_argument & error) {
    EXPECT_STREQ(error.what(), "parameter 'times' must be at most 10000, got 1000000");
  }
}

TEST_F(FeatureBadInput, NegativeAngleErrorActsAsItsMagnitude)
{
  start_ready({{"angle_error", -0.2}});
  send_scan(target_scan());
  EXPECT_EQ(logs_.count("Patch details : count_lens  1, count_near  1, count_angle  1.", kDebug), 1u);
  expect_target_pose();
}

TEST_F(FeatureBadInput, TargetAngleZeroAdmitsNoCorner)
{
  start_ready({{"target_angle", 0.0}});
  send_scan(target_scan());
  EXPECT_EQ(logs_.count("Patch details : count_lens  1, count_near  1, count_angle  0.", kDebug), 1u);
  expect_no_target("POINT_DATA lens 192.");
}

TEST_F(FeatureBadInput, RangeBandWithMinAboveMaxAdmitsNoPoint)
{
  start_ready({{"min_range", 2.0}, {"max_range", 0.5}});
  send_scan(target_scan());
  expect_no_target("POINT_DATA lens 0.");
}

TEST_F(FeatureBadInput, NegativeMinPointsPerLineEndsWithFewerSegments)
{
  // The detector takes the piece-size guard as unsigned, so -1 wraps to the
  // largest count: a run that starts at the first point is never split, and
  // the V's two plates come out as one piece that fails the length window.
  start_ready({{"min_points_per_line", -1}});
  send_scan(target_scan());
  EXPECT_EQ(logs_.count("LINE_SEGMENT lens 1.", kDebug), 1u) << node_lines();
  expect_no_target("POINT_DATA lens 192.");
}

TEST_F(FeatureBadInput, NegativeSplitThresholdActsAsZero)
{
  start_ready({{"threshold_split", -1.0}});
  send_scan(target_scan());
  EXPECT_EQ(logs_.count("LINE_SEGMENT lens 0.", kDebug), 1u) << node_lines();
  expect_no_target("POINT_DATA lens 192.");
}

// --- the program refuses a history shorter than one scan -----------------------

TEST(FeatureBadInputProgram, HistoryOutside1To10000ScansIsRefusedWithOneFatalLine)
{
  for (const char * times : {"0", "-1", "1000000"}) {
    SCOPED_TRACE(times);
    const std::string command =
      std::string(ALIGN_FEATURE_NODE_BINARY) + " --ros-args -p times:=" + times + " 2>&1";
    FILE * pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
      output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 1) << output;
    const std::string bound = std::string(times) == "1000000" ? "at most 10000" : "at least 1";
    const std::string line =
      "[align_feature_node]: parameter 'times' must be " + bound + ", got " + times + "\n";
    const std::size_t at = output.find(line);
    ASSERT_NE(at, std::string::npos) << output;
    EXPECT_EQ(output.rfind("[FATAL] [", at), output.rfind('\n', at) + 1) << output;
    // It never got as far as the node's start-up line, let alone spinning.
    EXPECT_EQ(output.find("Enable signal default to TRUE when test."), std::string::npos) << output;
  }
}

}  // namespace
