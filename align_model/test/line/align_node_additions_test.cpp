// The opt-in additions of align_node: the scan subscription's QoS
// (`scan_qos`), the pose in the standard docking form (`dock_pose_topic`) and
// the parameter descriptions.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"

namespace
{

using align_line_test::kPi;
using align_line_test::process_scan;
using align_line_test::VTarget;
using align_node::AlignNode;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;

constexpr int kWarn = 30;

const char kNodeSideWarning[] =
  "New publisher discovered on topic '/back_scan', offering incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";
const char kDriverSideWarning[] =
  "New subscription discovered on topic '/back_scan', requesting incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";

class AlignNodeAdditionsTest : public ::testing::Test
{
protected:
  void SetUp() override {align_line_test::enable_debug_logging();}

  // The scan line names the scan by its size.
  std::size_t scans_of_size(std::size_t size) const
  {
    const std::string size_text = "size " + std::to_string(size) + ".";
    std::size_t count = 0;
    for (const auto & text : log_.texts()) {
      if (align_line_test::starts_with(text, align_line_test::kScanLinePrefix) &&
        text.size() >= size_text.size() &&
        text.compare(text.size() - size_text.size(), size_text.size(), size_text) == 0)
      {
        ++count;
      }
    }
    return count;
  }

  static LaserScan scan_of_size(std::size_t readings)
  {
    return align_line_test::make_empty_scan(
      static_cast<float>(-0.75 * kPi), static_cast<float>(align_line_test::degrees(0.25)), readings);
  }

  rclcpp::Publisher<LaserScan>::SharedPtr driver(const rclcpp::QoS & qos)
  {
    return harness_.probe()->create_publisher<LaserScan>("back_scan", qos);
  }

  align_test::LogCapture log_;
  align_test::NodeHarness harness_;
};

// --- scan_qos ---------------------------------------------------------------

TEST_F(AlignNodeAdditionsTest, ByDefaultABestEffortDriverIsNotHeardAndBothSidesWarn)
{
  harness_.start<AlignNode>();
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until(
    [&] {return log_.count(kNodeSideWarning, kWarn) == 1 && log_.count(kDriverSideWarning, kWarn) == 1;}));
  EXPECT_EQ(best_effort->get_subscription_count(), 0u);

  best_effort->publish(scan_of_size(1001));
  harness_.spin();
  auto reliable = driver(rclcpp::QoS(1));
  ASSERT_TRUE(harness_.spin_until([&] {return reliable->get_subscription_count() == 1;}));
  reliable->publish(scan_of_size(1003));
  ASSERT_TRUE(harness_.spin_until([&] {return scans_of_size(1003) == 1;}));
  EXPECT_EQ(scans_of_size(1001), 0u);

  for (const auto & record : log_.records()) {
    if (record.text == kNodeSideWarning) {
      EXPECT_EQ(record.logger, "align_node");
    }
    if (record.text == kDriverSideWarning) {
      EXPECT_EQ(record.logger, "align_test_probe");
    }
  }
}

TEST_F(AlignNodeAdditionsTest, SensorDataHearsBestEffortAndReliableDrivers)
{
  auto node = harness_.start<AlignNode>({{"scan_qos", "sensor_data"}});
  EXPECT_EQ(node->get_parameter("scan_qos").as_string(), "sensor_data");
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until([&] {return best_effort->get_subscription_count() == 1;}));
  best_effort->publish(scan_of_size(1001));
  ASSERT_TRUE(harness_.spin_until([&] {return scans_of_size(1001) == 1;}));

  best_effort.reset();
  auto reliable = driver(rclcpp::QoS(1));
  ASSERT_TRUE(harness_.spin_until([&] {return reliable->get_subscription_count() == 1;}));
  reliable->publish(scan_of_size(1003));
  ASSERT_TRUE(harness_.spin_until([&] {return scans_of_size(1003) == 1;}));

  EXPECT_EQ(log_.count(kNodeSideWarning), 0u);
  EXPECT_EQ(log_.count(kDriverSideWarning), 0u);
}

TEST_F(AlignNodeAdditionsTest, ExplicitReliableBehavesAsTheDefault)
{
  harness_.start<AlignNode>({{"scan_qos", "reliable"}});
  auto best_effort = driver(rclcpp::SensorDataQoS());
  ASSERT_TRUE(harness_.spin_until([&] {return log_.count(kNodeSideWarning, kWarn) == 1;}));
  EXPECT_EQ(best_effort->get_subscription_count(), 0u);
}

TEST_F(AlignNodeAdditionsTest, OtherScanQosValuesAreRefusedBeforeAnythingIsCreated)
{
  for (const char * value : {"best_effort", "", "SENSOR_DATA"}) {
    rclcpp::NodeOptions options;
    options.parameter_overrides({rclcpp::Parameter("scan_qos", value)});
    try {
      AlignNode node(options);
      ADD_FAILURE() << "'" << value << "' was accepted";
    } catch (const std::invalid_argument & error) {
      const std::string text = error.what();
      EXPECT_NE(text.find("'scan_qos'"), std::string::npos) << text;
      EXPECT_NE(text.find(std::string("'") + value + "'"), std::string::npos) << text;
      EXPECT_NE(text.find("'reliable' and 'sensor_data'"), std::string::npos) << text;
    }
  }
  EXPECT_EQ(log_.count("Enable signal default to TRUE when test."), 0u);
}

// --- dock_pose_topic --------------------------------------------------------

struct HeadingCase
{
  const char * name;
  double axis;   // mouth direction in the laser frame = heading in the base frame here
};

class AlignNodeDockPoseTest
  : public AlignNodeAdditionsTest, public ::testing::WithParamInterface<HeadingCase> {};

// The laser is mounted unturned, so the target's mouth direction is its
// heading in the base frame: headings on both sides of +-pi.
TEST_P(AlignNodeDockPoseTest, HeadingAsQuaternionAndScanStamp)
{
  VTarget target;
  target.axis = GetParam().axis;
  harness_.start<AlignNode>(
    align_line_test::plate_overrides(
      {{"target_angle", align_line_test::plate_turn(target)}, {"laser_to_base_th", 0.0},
        {"dock_pose_topic", "/dock/detected_dock_pose"}}));
  auto poses = harness_.record<PoseStamped>("docking_pose");
  auto dock_poses = harness_.record<PoseStamped>("/dock/detected_dock_pose");
  LaserScan scan = align_line_test::make_v_target_scan(target);
  scan.header.stamp.sec = 1700000400;
  scan.header.stamp.nanosec = 123;

  ASSERT_TRUE(process_scan(harness_, log_, scan));
  ASSERT_TRUE(harness_.spin_until([&] {return poses->size() == 1 && dock_poses->size() == 1;}));
  const PoseStamped & pose = *poses->front().message;
  const PoseStamped & dock = *dock_poses->front().message;

  EXPECT_NEAR(align_line_test::wrapped_difference(pose.pose.position.z, GetParam().axis), 0.0, 0.02);
  EXPECT_EQ(pose.pose.orientation.w, 1.0);
  EXPECT_EQ(dock.header.stamp, scan.header.stamp);
  EXPECT_NE(pose.header.stamp, scan.header.stamp);
  EXPECT_EQ(dock.header.frame_id, pose.header.frame_id);
  EXPECT_EQ(dock.pose.position.x, pose.pose.position.x);
  EXPECT_EQ(dock.pose.position.y, pose.pose.position.y);
  EXPECT_EQ(dock.pose.position.z, 0.0);
  EXPECT_EQ(dock.pose.orientation.x, 0.0);
  EXPECT_EQ(dock.pose.orientation.y, 0.0);
  // Near +-pi the quaternion is close to (0, 0, +-1, 0); w never negative.
  EXPECT_GE(dock.pose.orientation.w, 0.0);
  EXPECT_NEAR(std::fabs(dock.pose.orientation.z), 1.0, 0.01);
  const double yaw = 2.0 * std::atan2(dock.pose.orientation.z, dock.pose.orientation.w);
  EXPECT_NEAR(align_line_test::wrapped_difference(yaw, pose.pose.position.z), 0.0, 1e-12);
  EXPECT_NEAR(
    dock.pose.orientation.z * dock.pose.orientation.z + dock.pose.orientation.w * dock.pose.orientation.w,
    1.0, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
  , AlignNodeDockPoseTest,
  ::testing::Values(
    HeadingCase{"JustBelowPi", kPi - 0.05}, HeadingCase{"JustAbovePi", kPi + 0.05},
    HeadingCase{"Pi", kPi}),
  [](const ::testing::TestParamInfo<HeadingCase> & info) {return std::string(info.param.name);});

TEST_F(AlignNodeAdditionsTest, WithoutDockPoseTopicOnlyThePoseIsPublished)
{
  const auto probe = harness_.probe();
  const auto topic_count = [&] {return probe->get_topic_names_and_types().size();};
  const std::size_t topics_before = harness_.probe_topic_count();
  VTarget target;
  auto node = harness_.start<AlignNode>(
    align_line_test::plate_overrides({{"target_angle", align_line_test::plate_turn(target)}}));
  EXPECT_EQ(node->get_parameter("dock_pose_topic").as_string(), "");
  // The pose topic and the scan subscription's topic, nothing more.
  EXPECT_EQ(align_test::settled_count(topic_count, topics_before + 2u), topics_before + 2u);
  EXPECT_EQ(probe->get_topic_names_and_types().count("/docking_pose"), 1u);
  auto poses = harness_.record<PoseStamped>("docking_pose");
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan(target)));
  ASSERT_TRUE(harness_.spin_until([&] {return poses->size() == 1;}));
}

// --- descriptions -------------------------------------------------------------

TEST_F(AlignNodeAdditionsTest, TheNodesOwnParametersHaveDescriptions)
{
  auto node = harness_.start<AlignNode>();
  for (const char * name : {"enable_service", "scan_topic", "pose_stamped_topic", "debug", "scan_qos",
      "dock_pose_topic", "threshold_split_neighbor", "anti_pose_angle"})
  {
    const auto descriptor = node->describe_parameter(name);
    EXPECT_GT(descriptor.description.size(), 10u) << name;
    EXPECT_FALSE(descriptor.read_only) << name;
  }
}

}  // namespace
