#ifndef ALIGN_MODEL__DOCK_POSE_HPP_
#define ALIGN_MODEL__DOCK_POSE_HPP_

#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"

namespace align_model
{

// A rotation about +z as a unit quaternion (x and y are 0).
struct YawQuaternion
{
  double z = 0.0;
  double w = 1.0;
};

// The quaternion of `heading` (radians, any turn): the heading is first
// mapped into [-pi, pi), so w is never negative and headings a whole turn
// apart give the same quaternion. A heading of pi gives z -1, w ~0.
YawQuaternion yaw_quaternion(double heading);

// The target pose in the form docking controllers read: same frame and x, y
// as `target_pose`, position.z 0, orientation the yaw quaternion of the
// heading that `target_pose` carries in position.z, and the stamp of the scan
// the pose was computed from.
geometry_msgs::msg::PoseStamped make_dock_pose(
  const geometry_msgs::msg::PoseStamped & target_pose, const builtin_interfaces::msg::Time & scan_stamp);

}  // namespace align_model

#endif  // ALIGN_MODEL__DOCK_POSE_HPP_
