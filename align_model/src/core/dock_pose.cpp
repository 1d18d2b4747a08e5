#include "align_model/dock_pose.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_model
{

YawQuaternion yaw_quaternion(double heading)
{
  // Half of an angle in [-pi, pi) lies in [-pi/2, pi/2), where the cosine
  // is not negative: one canonical quaternion per direction.
  const double half = normalize_angle(heading) / 2.0;
  YawQuaternion quaternion;
  quaternion.z = std::sin(half);
  quaternion.w = std::cos(half);
  return quaternion;
}

geometry_msgs::msg::PoseStamped make_dock_pose(
  const geometry_msgs::msg::PoseStamped & target_pose, const builtin_interfaces::msg::Time & scan_stamp)
{
  geometry_msgs::msg::PoseStamped dock_pose;
  dock_pose.header.frame_id = target_pose.header.frame_id;
  dock_pose.header.stamp = scan_stamp;
  dock_pose.pose.position.x = target_pose.pose.position.x;
  dock_pose.pose.position.y = target_pose.pose.position.y;
  dock_pose.pose.position.z = 0.0;
  const YawQuaternion quaternion = yaw_quaternion(target_pose.pose.position.z);
  dock_pose.pose.orientation.x = 0.0;
  dock_pose.pose.orientation.y = 0.0;
  dock_pose.pose.orientation.z = quaternion.z;
  dock_pose.pose.orientation.w = quaternion.w;
  return dock_pose;
}

}  // namespace align_model
