// The simulated robot on topics: what it publishes, when a scan goes out,
// what a bad command or a bad scene file gets.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "align_dock_sim/dock_sim_node.hpp"
#include "align_dock_sim/pose_messages.hpp"
#include "support/node_harness.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace
{

using align_test::NodeHarness;

const auto * const kEnvironment = ::testing::AddGlobalTestEnvironment(new align_test::RosEnvironment);

const std::string kBundledScene = std::string(ALIGN_DOCK_SIM_SOURCE_DIR) + "/scenes/docking_scene.yaml";
constexpr std::int64_t kStart = 1000000000000;  // the default start_time, 1000 s

// The simulator stepped by the test, on the harness's executor.
class SimulatorTest : public ::testing::Test
{
protected:
  std::shared_ptr<align_dock_sim::DockSimNode> start(std::vector<rclcpp::Parameter> overrides = {})
  {
    overrides.emplace_back("scene_file", kBundledScene);
    rclcpp::NodeOptions options;
    options.parameter_overrides(overrides);
    auto node = std::make_shared<align_dock_sim::DockSimNode>(options, align_dock_sim::Stepping::kExternal);
    harness_.executor().add_node(node);
    node_ = node;
    return node;
  }
  void TearDown() override
  {
    if (node_) {
      harness_.executor().remove_node(node_);
    }
  }

  template<typename MessageT>
  std::shared_ptr<std::vector<align_test::Received<MessageT>>> record(const std::string & topic)
  {
    auto received = harness_.record<MessageT>(topic);
    EXPECT_TRUE(harness_.spin_until([&] {return harness_.probe()->count_publishers(topic) > 0;}));
    return received;
  }

  NodeHarness harness_;
  rclcpp::Node::SharedPtr node_;
};

TEST_F(SimulatorTest, PublishesClockOdometryTransformsAndTruthEveryTick)
{
  auto node = start({rclcpp::Parameter("initial_pose", std::vector<double>{2.0, 2.0, 1.5707963267948966})});
  auto odometry = record<nav_msgs::msg::Odometry>("/odom");
  auto truth = record<geometry_msgs::msg::PoseStamped>("/sim/true_pose");
  auto transforms = record<tf2_msgs::msg::TFMessage>("/tf");
  auto clock = record<rosgraph_msgs::msg::Clock>("/clock");
  // The probe's /clock subscription counts; nothing subscribes to the scans.
  ASSERT_TRUE(harness_.spin_until([&] {return node->clock_subscribers() == 1;}));
  EXPECT_EQ(node->scan_subscribers(), 0u);
  const std::int64_t t = kStart + node->tick_ns();
  node->step_to(t);
  ASSERT_TRUE(harness_.spin_until([&] {
      return !odometry->empty() && !truth->empty() && !transforms->empty() && !clock->empty();
    }));
  EXPECT_EQ(align_dock_sim::nanoseconds_of(clock->back().message->clock), t);
  const auto & odom = *odometry->back().message;
  EXPECT_EQ(odom.header.frame_id, "odom");
  EXPECT_EQ(odom.child_frame_id, "base_footprint");
  EXPECT_EQ(align_dock_sim::nanoseconds_of(odom.header.stamp), t);
  // Odometry starts at the odom frame's origin; the truth where the robot stands.
  EXPECT_EQ(odom.pose.pose.position.x, 0.0);
  EXPECT_EQ(truth->back().message->header.frame_id, "map");
  EXPECT_DOUBLE_EQ(truth->back().message->pose.position.x, 2.0);
  const auto & tf = transforms->back().message->transforms;
  ASSERT_EQ(tf.size(), 2u);
  EXPECT_EQ(tf[0].header.frame_id, "odom");
  EXPECT_EQ(tf[0].child_frame_id, "base_footprint");
  EXPECT_EQ(tf[1].header.frame_id, "map");
  EXPECT_EQ(tf[1].child_frame_id, "odom");
  EXPECT_DOUBLE_EQ(tf[1].transform.translation.y, 2.0);
}

TEST_F(SimulatorTest, TheDockedPoseAndTheLaserMountAreLatched)
{
  auto node = start();
  // Subscribed after the node published them: transient-local history.
  auto docked_late = std::make_shared<std::vector<geometry_msgs::msg::PoseStamped>>();
  auto statics = std::make_shared<std::vector<tf2_msgs::msg::TFMessage>>();
  auto docked_sub = harness_.probe()->create_subscription<geometry_msgs::msg::PoseStamped>(
    "/sim/docked_pose", rclcpp::QoS(1).transient_local(),
    [docked_late](std::shared_ptr<const geometry_msgs::msg::PoseStamped> m) {docked_late->push_back(*m);});
  auto static_sub = harness_.probe()->create_subscription<tf2_msgs::msg::TFMessage>(
    "/tf_static", rclcpp::QoS(100).transient_local(),
    [statics](std::shared_ptr<const tf2_msgs::msg::TFMessage> m) {statics->push_back(*m);});
  ASSERT_TRUE(harness_.spin_until([&] {return !docked_late->empty() && !statics->empty();}));
  const auto docked_pose = align_dock_sim::planar_pose(docked_late->front().pose);
  EXPECT_NEAR(docked_pose.x, 2.0, 1e-12);
  EXPECT_NEAR(docked_pose.y, 1.4, 1e-12);
  EXPECT_NEAR(docked_pose.yaw, 1.5707963267948966, 1e-12);
  const auto & mount = statics->front().transforms.at(0);
  EXPECT_EQ(mount.header.frame_id, "base_footprint");
  EXPECT_EQ(mount.child_frame_id, "back_laser");
  EXPECT_DOUBLE_EQ(mount.transform.translation.x, -0.102);
}

TEST_F(SimulatorTest, AScanIsStampedWhenTakenAndPublishedAfterItsLatency)
{
  auto node = start({rclcpp::Parameter("scan_rate", 25.0), rclcpp::Parameter("scan_latency", 0.06)});
  auto scans = record<sensor_msgs::msg::LaserScan>("/back_scan");
  ASSERT_TRUE(harness_.spin_until([&] {return node->scan_subscribers() > 0;}));
  // Taken at 1000.00 s, published at the first tick from 1000.06 s on.
  EXPECT_EQ(node->step_to(kStart), 0u);
  EXPECT_EQ(node->step_to(kStart + 40000000), 0u);
  EXPECT_EQ(node->publish_next_scan(), -1);
  EXPECT_EQ(node->step_to(kStart + 60000000), 1u);
  EXPECT_EQ(node->publish_next_scan(), kStart);
  EXPECT_EQ(node->publish_next_scan(), -1);
  ASSERT_TRUE(harness_.spin_until([&] {return scans->size() == 1;}));
  const auto & scan = *scans->front().message;
  EXPECT_EQ(align_dock_sim::nanoseconds_of(scan.header.stamp), kStart);
  EXPECT_EQ(scan.header.frame_id, "back_laser");
  EXPECT_FLOAT_EQ(scan.scan_time, 0.04f);
  EXPECT_EQ(scan.ranges.size(), 541u);
}

TEST_F(SimulatorTest, NonFiniteCommandsAreIgnoredWithAWarningAndFastOnesClamped)
{
  align_test::LogCapture log;
  auto node = start({rclcpp::Parameter("initial_pose", std::vector<double>{2.0, 2.0, 0.0})});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::int64_t t = kStart;
  geometry_msgs::msg::Twist bad;
  bad.linear.x = nan;
  bad.angular.z = std::numeric_limits<double>::infinity();
  for (int i = 0; i < 3; ++i) {
    harness_.publish("/cmd_vel", bad, rclcpp::QoS(10));
    ASSERT_TRUE(harness_.spin_until([&] {return node->commands_received() == static_cast<std::size_t>(i + 1);}));
    node->step_to(t += node->tick_ns());
  }
  EXPECT_EQ(node->world().true_pose().x, 2.0);
  EXPECT_EQ(node->world().true_pose().yaw, 0.0);
  // One warning for the run of bad commands, not one per message.
  EXPECT_EQ(log.count("Ignored a cmd_vel with a NaN or infinite value: the robot keeps its last command"), 1u);

  geometry_msgs::msg::Twist fast;
  fast.linear.x = 5.0;
  harness_.publish("/cmd_vel", fast, rclcpp::QoS(10));
  ASSERT_TRUE(harness_.spin_until([&] {return node->commands_received() == 4;}));
  for (int i = 0; i < 100; ++i) {
    node->step_to(t += node->tick_ns());
    if (i % 10 == 0) {
      harness_.publish("/cmd_vel", fast, rclcpp::QoS(10));
      harness_.spin_until([&] {return node->commands_received() == static_cast<std::size_t>(5 + i / 10);});
    }
  }
  EXPECT_NEAR(node->world().true_velocity().linear, 0.3, 1e-12);
  std::size_t clamped = 0;
  for (const auto & text : log.texts()) {
    clamped += text.find("is above the robot's limits: clamped to 0.300 m/s") != std::string::npos ? 1 : 0;
  }
  EXPECT_EQ(clamped, 1u);
}

TEST_F(SimulatorTest, ABadSceneOrParameterEndsConstructionWithTheReason)
{
  const auto message_of = [&](std::vector<rclcpp::Parameter> overrides) {
      rclcpp::NodeOptions options;
      options.parameter_overrides(overrides);
      try {
        align_dock_sim::DockSimNode node(options, align_dock_sim::Stepping::kExternal);
      } catch (const std::exception & error) {
        return std::string(error.what());
      }
      return std::string();
    };
  EXPECT_EQ(message_of({}), "parameter 'scene_file' is required: the path of a scene file (YAML)");
  EXPECT_EQ(
    message_of({rclcpp::Parameter("scene_file", std::string("/nonexistent.yaml"))}),
    "scene file /nonexistent.yaml: cannot be read");
  EXPECT_EQ(
    message_of({rclcpp::Parameter("scene_file", kBundledScene), rclcpp::Parameter("scan_qos", std::string("fast"))}),
    "parameter 'scan_qos' has the value 'fast'; the choices are 'reliable' and 'sensor_data'");
  EXPECT_EQ(
    message_of({rclcpp::Parameter("scene_file", kBundledScene), rclcpp::Parameter("scan_rate", 0.0)}),
    "parameter 'scan_rate' must be a positive number, not 0.000000");
  EXPECT_EQ(
    message_of({rclcpp::Parameter("scene_file", kBundledScene),
        rclcpp::Parameter("initial_pose", std::vector<double>{1.0, 2.0})}),
    "parameter 'initial_pose' must be empty or [x, y, yaw]");
}

}  // namespace
