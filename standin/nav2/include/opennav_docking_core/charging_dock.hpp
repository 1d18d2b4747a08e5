// Stand-in for Humble's opennav_docking_core/charging_dock.hpp: the
// interface the docking server calls on each dock plugin.
#ifndef OPENNAV_DOCKING_CORE__CHARGING_DOCK_HPP_
#define OPENNAV_DOCKING_CORE__CHARGING_DOCK_HPP_

#include <memory>
#include <string>

#include "geometry_msgs/msg/pose.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp_lifecycle/lifecycle_node.hpp"
#include "tf2_ros/buffer.h"

namespace opennav_docking_core
{

class ChargingDock
{
public:
  using Ptr = std::shared_ptr<ChargingDock>;

  virtual ~ChargingDock() {}

  virtual void configure(
    const rclcpp_lifecycle::LifecycleNode::WeakPtr & parent, const std::string & name,
    std::shared_ptr<tf2_ros::Buffer> tf) = 0;
  virtual void cleanup() = 0;
  virtual void activate() = 0;
  virtual void deactivate() = 0;

  // The staging pose, from the dock's database (or goal) pose in `frame`.
  virtual geometry_msgs::msg::PoseStamped getStagingPose(
    const geometry_msgs::msg::Pose & pose, const std::string & frame) = 0;
  // Called every control cycle with the dock's pose in the fixed frame;
  // replaces it by the detected one. Must return quickly.
  virtual bool getRefinedPose(geometry_msgs::msg::PoseStamped & pose) = 0;

  virtual bool isDocked() = 0;
  virtual bool isCharging() = 0;
  virtual bool disableCharging() = 0;
  virtual bool hasStoppedCharging() = 0;

  std::string getName() {return name_;}

protected:
  std::string name_;
};

}  // namespace opennav_docking_core

#endif  // OPENNAV_DOCKING_CORE__CHARGING_DOCK_HPP_
