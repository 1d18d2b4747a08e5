// The plugin as the docking server sees it: loaded by its plugins.xml name,
// configured on the server's node, asked for poses from the action's thread
// while the executor delivers scans. Against the stand-ins of Humble's
// interfaces.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "align_nav2_dock/planar_pose.hpp"
#include "opennav_docking_core/charging_dock.hpp"
#include "pluginlib/class_loader.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_lifecycle/lifecycle_node.hpp"
#include "support/node_harness.hpp"
#include "tf2_ros/buffer.h"
#include "v_target_scene.hpp"

namespace align_nav2_dock
{
namespace
{

constexpr double kPi = 3.141592653589793;
const char * const kChargingDock = "align_nav2_dock::LaserVChargingDock";
const DetectionToDock kSceneOffset{-0.40, 0.0, kPi};

geometry_msgs::msg::TransformStamped transform(
  const std::string & parent, const std::string & child, const PlanarPose & pose, const rclcpp::Time & stamp)
{
  geometry_msgs::msg::TransformStamped t;
  t.header.frame_id = parent;
  t.header.stamp = stamp;
  t.child_frame_id = child;
  t.transform.translation.x = pose.x;
  t.transform.translation.y = pose.y;
  t.transform.rotation.z = std::sin(0.5 * pose.yaw);
  t.transform.rotation.w = std::cos(0.5 * pose.yaw);
  return t;
}

geometry_msgs::msg::PoseStamped pose_in_odom(const PlanarPose & pose)
{
  geometry_msgs::msg::PoseStamped stamped;
  stamped.header.frame_id = "odom";
  stamped.pose.position.x = pose.x;
  stamped.pose.position.y = pose.y;
  stamped.pose.orientation.z = std::sin(0.5 * pose.yaw);
  stamped.pose.orientation.w = std::cos(0.5 * pose.yaw);
  return stamped;
}

// Polls until `done` holds or `timeout` has passed; whether it held.
bool wait_until(const std::function<bool()> & done, std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

double yaw_of(const geometry_msgs::msg::Quaternion & q)
{
  return std::atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

class LaserVDockPluginTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    align_test::init_ros_for_test();
    laser_node_ = std::make_shared<rclcpp::Node>("back_laser_driver");
    scan_publisher_ = laser_node_->create_publisher<sensor_msgs::msg::LaserScan>("/back_scan", rclcpp::SensorDataQoS());
  }

  void TearDown() override
  {
    stop_laser();
    if (dock_) {
      dock_->deactivate();
      dock_->cleanup();
    }
    spinning_ = false;
    if (spinner_.joinable()) {
      spinner_.join();
    }
  }

  // The docking server's node with the plugin configured and active, as the
  // server sets it up: its own parameters declared first.
  void start_server(const std::vector<rclcpp::Parameter> & extra = {})
  {
    std::vector<rclcpp::Parameter> overrides = {
      {"v_target_dock.scan_topic", "/back_scan"},
      {"v_target_dock.min_angle", -1.5}, {"v_target_dock.max_angle", 1.5},
      {"v_target_dock.min_range", 0.05}, {"v_target_dock.threshold_split", 0.02},
      {"v_target_dock.points_max_distance", 0.05},
      {"v_target_dock.min_line_len", 0.15}, {"v_target_dock.max_line_len", 0.4},
      {"v_target_dock.detection_translation_x", -0.40}, {"v_target_dock.docking_threshold", 0.02}};
    overrides.insert(overrides.end(), extra.begin(), extra.end());
    server_ = std::make_shared<rclcpp_lifecycle::LifecycleNode>(
      "docking_server", rclcpp::NodeOptions().parameter_overrides(overrides));
    server_->declare_parameter("base_frame", rclcpp::ParameterValue(std::string("base_footprint")));
    server_->declare_parameter("controller_frequency", rclcpp::ParameterValue(50.0));
    server_->declare_parameter("dock_backwards", rclcpp::ParameterValue(true));
    tf_ = std::make_shared<tf2_ros::Buffer>(server_->get_clock());
    tf_->setTransform(
      transform("base_footprint", "back_laser", v_target_scene::kLaserMount, server_->now()), "test", true);
    executor_.add_node(server_->get_node_base_interface());
    // The server's executor; stopped by a flag, since a cancel that comes
    // before the spinning has begun would be lost.
    spinning_ = true;
    spinner_ = std::thread(
      [this]() {
        while (spinning_) {
          executor_.spin_once(std::chrono::milliseconds(10));
        }
      });

    pluginlib::ClassLoader<opennav_docking_core::ChargingDock> loader(
      "align_nav2_dock", "opennav_docking_core::ChargingDock");
    dock_ = loader.createSharedInstance(kChargingDock);
    dock_->configure(server_, "v_target_dock", tf_);
    dock_->activate();
  }

  // The rear laser: once a subscriber has matched, a scan every 40 ms of the
  // target seen from the robot at base_, stamped now, with the robot's pose
  // at that stamp in the transform tree.
  void start_laser()
  {
    laser_running_ = true;
    laser_ = std::thread(
      [this]() {
        int seed = 1;
        while (laser_running_) {
          if (scan_publisher_->get_subscription_count() == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
          }
          const rclcpp::Time stamp = server_->now();
          tf_->setTransform(transform("odom", "base_footprint", base_, stamp), "test", false);
          sensor_msgs::msg::LaserScan scan =
            v_target_scene::scan_of({corner_in_base_}, stamp.seconds(), 0.003, static_cast<std::uint64_t>(seed++));
          scan.header.stamp = stamp;  // to the nanosecond, as the transform
          scan_publisher_->publish(scan);
          scans_published_++;
          std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
      });
  }

  void stop_laser()
  {
    laser_running_ = false;
    if (laser_.joinable()) {
      laser_.join();
    }
  }

  std::size_t scan_subscribers(std::size_t expected) const
  {
    return align_test::settled_subscribers(*laser_node_, "/back_scan", expected);
  }

  // The server's control loop: a request every 20 ms for `cycles` cycles;
  // returns the last refined pose, if any.
  std::optional<geometry_msgs::msg::PoseStamped> control_cycles(int cycles)
  {
    std::optional<geometry_msgs::msg::PoseStamped> refined;
    for (int cycle = 0; cycle < cycles; ++cycle) {
      geometry_msgs::msg::PoseStamped pose = pose_in_odom(expected_dock_);
      if (dock_->getRefinedPose(pose)) {
        refined = pose;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return refined;
  }

  const PlanarPose base_{1.0, 2.0, kPi / 2};
  const PlanarPose corner_in_base_{-0.9, 0.05, 0.0};
  const PlanarPose true_dock_ = dock_from_detection(kSceneOffset, compose(base_, corner_in_base_));
  // The dock database is 5 cm off.
  const PlanarPose expected_dock_ = compose(true_dock_, PlanarPose{0.03, 0.04, 0.02});

  rclcpp::Node::SharedPtr laser_node_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp_lifecycle::LifecycleNode::SharedPtr server_;
  std::shared_ptr<tf2_ros::Buffer> tf_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::atomic<bool> spinning_{false};
  std::thread spinner_;
  std::shared_ptr<opennav_docking_core::ChargingDock> dock_;
  std::atomic<bool> laser_running_{false};
  std::atomic<int> scans_published_{0};
  std::thread laser_;
};

TEST_F(LaserVDockPluginTest, ListensToTheLaserOnlyWhileADockingAsksForPoses)
{
  start_server();
  start_laser();
  EXPECT_EQ(scan_subscribers(0), 0u) << "configured and active, but no docking yet";

  const std::optional<geometry_msgs::msg::PoseStamped> refined = control_cycles(10);
  ASSERT_TRUE(refined) << "no pose in 10 control cycles";
  EXPECT_EQ(scan_subscribers(1), 1u);
  EXPECT_EQ(refined->header.frame_id, "odom");
  EXPECT_NEAR(refined->pose.position.x, true_dock_.x, 0.01);
  EXPECT_NEAR(refined->pose.position.y, true_dock_.y, 0.01);
  EXPECT_NEAR(std::remainder(yaw_of(refined->pose.orientation) - true_dock_.yaw, 2 * kPi), 0.0, 0.03);
  const double age = (server_->now() - rclcpp::Time(refined->header.stamp)).seconds();
  EXPECT_GE(age, 0.0) << "stamped with a scan's time";
  EXPECT_LT(age, 0.5);

  // The docking ends: no more requests. The laser is let go after 10
  // control periods (0.2 s), and stays so.
  EXPECT_TRUE(wait_until([this] {return laser_node_->count_subscribers("/back_scan") == 0;}, std::chrono::seconds(5)));
  EXPECT_EQ(scan_subscribers(0), 0u);
  const int published = scans_published_;
  EXPECT_GT(published, 0);

  // The next docking subscribes again, and starts afresh.
  EXPECT_TRUE(control_cycles(10));
  EXPECT_EQ(scan_subscribers(1), 1u);
}

TEST_F(LaserVDockPluginTest, WarnsWhyThereIsNoPose)
{
  start_server({{"v_target_dock.first_scan_timeout", 0.05}});
  align_test::LogCapture log;
  geometry_msgs::msg::PoseStamped pose = pose_in_odom(expected_dock_);
  EXPECT_FALSE(dock_->getRefinedPose(pose));
  EXPECT_EQ(log.count("laser V-dock 'v_target_dock': no dock pose: no scan received since the detection started",
    RCUTILS_LOG_SEVERITY_WARN), 1u);
  EXPECT_DOUBLE_EQ(pose.pose.position.x, expected_dock_.x) << "the pose is left as it was";
  // Throttled: the control loop's next requests add no line.
  EXPECT_FALSE(dock_->getRefinedPose(pose));
  EXPECT_EQ(log.texts().size(), 1u);
  EXPECT_FALSE(dock_->isDocked());
}

TEST_F(LaserVDockPluginTest, DockedChecksTheHeadingWhenAsked)
{
  start_server({{"v_target_dock.check_heading", true}, {"v_target_dock.heading_tolerance", 0.0175}});
  start_laser();
  const std::optional<geometry_msgs::msg::PoseStamped> refined = control_cycles(10);
  ASSERT_TRUE(refined);
  stop_laser();
  const PlanarPose dock{
    refined->pose.position.x, refined->pose.position.y, yaw_of(refined->pose.orientation)};

  // Reversed in (the server's dock_backwards): facing away from the dock.
  const PlanarPose reversed_in = compose(dock, PlanarPose{0.005, 0.0, kPi});
  tf_->setTransform(transform("odom", "base_footprint", reversed_in, server_->now()), "test", false);
  EXPECT_TRUE(dock_->isDocked());
  EXPECT_TRUE(dock_->isCharging());
  EXPECT_FALSE(dock_->hasStoppedCharging());

  const PlanarPose turned = compose(dock, PlanarPose{0.005, 0.0, kPi + 0.035});
  tf_->setTransform(transform("odom", "base_footprint", turned, server_->now()), "test", false);
  EXPECT_FALSE(dock_->isDocked()) << "2 degrees off with a 1 degree tolerance";
}

TEST_F(LaserVDockPluginTest, BadParameterFailsTheConfigurationNamingIt)
{
  align_test::LogCapture log;
  EXPECT_ANY_THROW(start_server({{"v_target_dock.detector", "lines"}}));
  EXPECT_EQ(
    log.count("laser V-dock 'v_target_dock': parameter 'detector' must be 'feature' or 'line', got 'lines'",
    RCUTILS_LOG_SEVERITY_ERROR), 1u);
  dock_.reset();
}

TEST(LaserVDockPlugins, EveryClassInPluginsXmlIsExportedWhereTheInterfaceHasIt)
{
  std::ifstream file(std::string(ALIGN_NAV2_DOCK_SOURCE_DIR) + "/plugins.xml");
  std::stringstream text;
  text << file.rdbuf();
  const std::string xml = text.str();
  const std::regex type_attribute("<class type=\"([^\"]+)\"");
  std::vector<std::string> types;
  for (auto match = std::sregex_iterator(xml.begin(), xml.end(), type_attribute); match != std::sregex_iterator();
    ++match)
  {
    types.push_back((*match)[1]);
  }
  ASSERT_EQ(types.size(), 2u);
  pluginlib::ClassLoader<opennav_docking_core::ChargingDock> loader(
    "align_nav2_dock", "opennav_docking_core::ChargingDock");
  for (const std::string & type : types) {
    // Humble's interface (the stand-in's) has no non-charging dock.
    EXPECT_EQ(loader.isClassAvailable(type), type == kChargingDock) << type;
  }
}

}  // namespace
}  // namespace align_nav2_dock
