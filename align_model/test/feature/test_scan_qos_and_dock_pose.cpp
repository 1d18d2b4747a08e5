// The opt-in additions of the feature program: the scan subscription's QoS
// (`scan_qos`), the pose in the standard docking form (`dock_pose_topic`) and
// the parameter descriptions.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_model/dock_pose.hpp"
#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using feature_test::kDebug;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;

constexpr char kLaserFrame[] = "rear_laser";
constexpr double kHeading = 0.15;
constexpr int kWarn = 30;

const char kNodeSideWarning[] =
  "New publisher discovered on topic '/back_scan', offering incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";
const char kDriverSideWarning[] =
  "New subscription discovered on topic '/back_scan', requesting incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";

std::vector<rclcpp::Parameter> deployment_parameters(std::vector<rclcpp::Parameter> more = {})
{
  more.emplace_back("min_angle", -1.5);
  more.emplace_back("max_angle", 1.5);
  more.emplace_back("min_line_len", 0.15);
  more.emplace_back("max_line_len", 0.45);
  return more;
}

class FeatureNodeAdditions : public ::testing::Test
{
protected:
  void SetUp() override {feature_test::show_node_debug_lines();}
  void TearDown() override
  {
    harness_.release_node();
    EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  static std::string received_line(const LaserScan & scan)
  {
    return "Get BACK_SCAN laser data, size " + std::to_string(scan.ranges.size()) + ".";
  }

  // A scan that only this test sends: its size names it in the log.
  static LaserScan scan_of_size(std::size_t readings)
  {
    feature_test::ScanGeometry geometry;
    geometry.readings = readings;
    return feature_test::make_empty_scan(kLaserFrame, geometry);
  }

  rclcpp::Publisher<LaserScan>::SharedPtr driver(const rclcpp::QoS & qos)
  {
    return harness_.probe()->create_publisher<LaserScan>("back_scan", qos);
  }

  bool wait_for_line(const std::string & text)
  {
    return harness_.spin_until([&] {return logs_.count(text, kDebug) > 0;});
  }

  LaserScan stamped_target_scan() const
  {
    const feature_test::ScanGeometry geometry;
    target_ = feature_test::target_on_beam(mount_, geometry, 360, 0.7, kHeading);
    LaserScan scan = feature_test::make_target_scan(mount_, target_, kLaserFrame, geometry);
    scan.header.stamp.sec = 1700000321;
    scan.header.stamp.nanosec = 987654321;
    return scan;
  }

  // Stores the mount transform and sends the scan until a pose comes out.
  void run_until_pose(
    const std::shared_ptr<FeatureNode> & node, const LaserScan & scan,
    const std::shared_ptr<std::vector<align_test::Received<PoseStamped>>> & poses)
  {
    feature_test::publish_static_transform(
      harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until(
      [&] {return node->frame_listener()->is_stored("base_footprint", kLaserFrame);}));
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until([&] {return !poses->empty();}));
  }

  align_test::LogCapture logs_;
  align_test::NodeHarness harness_;
  feature_test::LaserMount mount_;
  mutable feature_test::VTarget target_;
};

// --- scan_qos ---------------------------------------------------------------

TEST_F(FeatureNodeAdditions, ByDefaultABestEffortDriverIsNotHeardAndBothSidesWarn)
{
  harness_.start<FeatureNode>();
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until(
    [&] {return logs_.count(kNodeSideWarning, kWarn) == 1 && logs_.count(kDriverSideWarning, kWarn) == 1;}));
  EXPECT_EQ(best_effort->get_subscription_count(), 0u);

  const LaserScan lost = scan_of_size(101);
  best_effort->publish(lost);
  harness_.spin();
  // A reliable driver is heard, and only its scan arrives.
  auto reliable = driver(rclcpp::QoS(1));
  const LaserScan heard = scan_of_size(103);
  ASSERT_TRUE(harness_.spin_until([&] {return reliable->get_subscription_count() == 1;}));
  reliable->publish(heard);
  ASSERT_TRUE(wait_for_line(received_line(heard)));
  EXPECT_EQ(logs_.count(received_line(lost), kDebug), 0u);

  for (const auto & record : logs_.records()) {
    if (record.text == kNodeSideWarning) {
      EXPECT_EQ(record.logger, "align_feature_node");
    }
    if (record.text == kDriverSideWarning) {
      EXPECT_EQ(record.logger, "align_test_probe");
    }
  }
}

TEST_F(FeatureNodeAdditions, ReliableIsTheDefaultSpelledOut)
{
  auto node = harness_.start<FeatureNode>({{"scan_qos", "reliable"}});
  EXPECT_EQ(node->get_parameter("scan_qos").as_string(), "reliable");
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until([&] {return logs_.count(kNodeSideWarning, kWarn) == 1;}));
  EXPECT_EQ(best_effort->get_subscription_count(), 0u);
}

TEST_F(FeatureNodeAdditions, SensorDataHearsBestEffortAndReliableDrivers)
{
  harness_.start<FeatureNode>({{"scan_qos", "sensor_data"}});
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until([&] {return best_effort->get_subscription_count() == 1;}));
  const LaserScan first = scan_of_size(101);
  best_effort->publish(first);
  ASSERT_TRUE(wait_for_line(received_line(first)));

  best_effort.reset();
  auto reliable = driver(rclcpp::QoS(1));
  ASSERT_TRUE(harness_.spin_until([&] {return reliable->get_subscription_count() == 1;}));
  const LaserScan second = scan_of_size(103);
  reliable->publish(second);
  ASSERT_TRUE(wait_for_line(received_line(second)));

  EXPECT_EQ(logs_.count(kNodeSideWarning), 0u);
  EXPECT_EQ(logs_.count(kDriverSideWarning), 0u);
}

TEST_F(FeatureNodeAdditions, OtherScanQosValuesAreRefusedNamingTheChoices)
{
  for (const char * value : {"best_effort", "", "Reliable", "sensor_data "}) {
    rclcpp::NodeOptions options;
    options.parameter_overrides({rclcpp::Parameter("scan_qos", value)});
    try {
      FeatureNode node(options);
      ADD_FAILURE() << "'" << value << "' was accepted";
    } catch (const std::invalid_argument & error) {
      const std::string text = error.what();
      EXPECT_NE(text.find("'scan_qos'"), std::string::npos) << text;
      EXPECT_NE(text.find(std::string("'") + value + "'"), std::string::npos) << text;
      EXPECT_NE(text.find("'reliable' and 'sensor_data'"), std::string::npos) << text;
    }
  }
}

// --- dock_pose_topic --------------------------------------------------------

TEST_F(FeatureNodeAdditions, DockPoseTopicCarriesTheStandardFormWithTheScansStamp)
{
  auto node = harness_.start<FeatureNode>(deployment_parameters({{"dock_pose_topic", "detected_dock_pose"}}));
  auto poses = harness_.record<PoseStamped>("docking_pose");
  auto dock_poses = harness_.record<PoseStamped>("detected_dock_pose");
  const LaserScan scan = stamped_target_scan();
  run_until_pose(node, scan, poses);
  ASSERT_TRUE(harness_.spin_until([&] {return !dock_poses->empty();}));
  ASSERT_EQ(poses->size(), 1u);
  ASSERT_EQ(dock_poses->size(), 1u);

  const PoseStamped & pose = *poses->front().message;
  const PoseStamped & dock = *dock_poses->front().message;
  // Our own pose keeps its form and its publication-time stamp.
  EXPECT_EQ(pose.pose.orientation.w, 1.0);
  EXPECT_NE(pose.header.stamp, scan.header.stamp);
  EXPECT_EQ(dock.header.stamp, scan.header.stamp);
  EXPECT_EQ(dock.header.frame_id, "base_footprint");
  EXPECT_EQ(dock.pose.position.x, pose.pose.position.x);
  EXPECT_EQ(dock.pose.position.y, pose.pose.position.y);
  EXPECT_EQ(dock.pose.position.z, 0.0);
  EXPECT_EQ(dock.pose.orientation.x, 0.0);
  EXPECT_EQ(dock.pose.orientation.y, 0.0);
  EXPECT_DOUBLE_EQ(dock.pose.orientation.z, std::sin(pose.pose.position.z / 2.0));
  EXPECT_DOUBLE_EQ(dock.pose.orientation.w, std::cos(pose.pose.position.z / 2.0));
  EXPECT_NEAR(2.0 * std::atan2(dock.pose.orientation.z, dock.pose.orientation.w), kHeading, 0.02);
  // The docking pose goes out right after the pose.
  EXPECT_GT(dock_poses->front().source_timestamp, poses->front().source_timestamp);
}

TEST_F(FeatureNodeAdditions, WithoutDockPoseTopicNothingElseIsAdvertisedOrPublished)
{
  const auto probe = harness_.probe();
  const auto topic_count = [&] {return probe->get_topic_names_and_types().size();};
  const std::size_t publishers_before = harness_.probe_topic_count();
  auto node = harness_.start<FeatureNode>(deployment_parameters());
  EXPECT_EQ(node->get_parameter("dock_pose_topic").as_string(), "");
  // The node adds its pose topic and its two subscriptions' topics, nothing more.
  EXPECT_EQ(align_test::settled_count(topic_count, publishers_before + 3u), publishers_before + 3u);
  const auto topics = probe->get_topic_names_and_types();
  EXPECT_EQ(topics.count("/docking_pose"), 1u);
  EXPECT_EQ(topics.count("/detected_dock_pose"), 0u);
}

// --- descriptions -------------------------------------------------------------

TEST_F(FeatureNodeAdditions, EveryParameterHasADescription)
{
  auto node = harness_.start<FeatureNode>();
  const char * const names[] = {
    "min_angle", "max_angle", "min_intensity", "max_intensity", "min_range", "max_range",
    "threshold_split_neighbor", "threshold_split", "min_length", "min_points_per_line",
    "min_points_per_unit", "points_max_distance", "min_line_len", "max_line_len", "target_angle",
    "angle_error", "angle_type", "anti_pose_angle", "weights_angle_error", "weights_distance_anti_x",
    "weights_distance_last_f", "times", "enable_topic", "scan_topic", "publish_frame",
    "pose_stamped_topic", "debug", "scan_qos", "dock_pose_topic"};
  for (const char * name : names) {
    const auto descriptor = node->describe_parameter(name);
    EXPECT_GT(descriptor.description.size(), 10u) << name;
    // A description only: no ranges or read-only flag that would change what
    // the parameter accepts.
    EXPECT_FALSE(descriptor.read_only) << name;
    EXPECT_TRUE(descriptor.floating_point_range.empty()) << name;
    EXPECT_TRUE(descriptor.integer_range.empty()) << name;
  }
  EXPECT_NE(node->describe_parameter("scan_qos").description.find("sensor_data"), std::string::npos);
}

}  // namespace
