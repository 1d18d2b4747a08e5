// The laser V-dock plugins: LaserVDockLogic behind Nav2's dock interface.
// The docking server calls getRefinedPose and isDocked from its action
// thread; scans and the idle check arrive on the executor's thread. One
// mutex serialises them.
#ifndef ALIGN_NAV2_DOCK__PLUGIN__LASER_V_DOCK_HPP_
#define ALIGN_NAV2_DOCK__PLUGIN__LASER_V_DOCK_HPP_

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "align_nav2_dock/laser_v_dock_logic.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_lifecycle/lifecycle_node.hpp"
#include "rclcpp_lifecycle/lifecycle_publisher.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_ros/buffer.h"

#include "plugin/dock_interface.hpp"

namespace align_nav2_dock
{

// What both plugin kinds share; `DockBase` is Nav2's ChargingDock or
// NonChargingDock.
template<class DockBase>
class LaserVDockBase : public DockBase
{
public:
  void configure(
    const rclcpp_lifecycle::LifecycleNode::WeakPtr & parent, const std::string & name,
    std::shared_ptr<tf2_ros::Buffer> tf) override;
  void cleanup() override;
  void activate() override;
  void deactivate() override;

  geometry_msgs::msg::PoseStamped getStagingPose(
    const geometry_msgs::msg::Pose & pose, const std::string & frame) override;
#if ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK
  bool getRefinedPose(geometry_msgs::msg::PoseStamped & pose, std::string id) override;
#else
  bool getRefinedPose(geometry_msgs::msg::PoseStamped & pose) override;
#endif
  bool isDocked() override;

protected:
  bool refine(geometry_msgs::msg::PoseStamped & pose);
  void subscribe();
  void unsubscribe();
  void release_if_idle();
  void on_scan(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan);
  FrameLookups frame_lookups() const;
  double now() const;

  rclcpp_lifecycle::LifecycleNode::WeakPtr node_;
  std::shared_ptr<tf2_ros::Buffer> tf_;
  std::string plugin_name_;
  rclcpp::Logger logger_{rclcpp::get_logger("laser_v_dock")};
  rclcpp::Clock::SharedPtr clock_;
  std::string base_frame_;
  std::string scan_topic_;
  double staging_x_offset_ = -0.7;
  double staging_yaw_offset_ = 0.0;
  double first_scan_timeout_ = 1.0;
  double transform_timeout_ = 0.05;

  std::mutex mutex_;
  std::condition_variable scan_arrived_;
  std::unique_ptr<LaserVDockLogic> logic_;
  FrameLookups lookups_;  // made once; they read fixed_frame_
  std::string fixed_frame_;
  bool active_ = false;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr scan_subscription_;
  rclcpp::TimerBase::SharedPtr idle_timer_;
  // The refined pose of every request, as Nav2's docks publish it.
  rclcpp_lifecycle::LifecyclePublisher<geometry_msgs::msg::PoseStamped>::SharedPtr dock_pose_publisher_;
};

// Docked means charging: the plates carry no battery signal of their own.
class LaserVChargingDock : public LaserVDockBase<opennav_docking_core::ChargingDock>
{
public:
  bool isCharging() override;
  bool disableCharging() override;
  bool hasStoppedCharging() override;
};

#if ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK
class LaserVNonChargingDock : public LaserVDockBase<opennav_docking_core::NonChargingDock>
{
};
#endif

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__PLUGIN__LASER_V_DOCK_HPP_
