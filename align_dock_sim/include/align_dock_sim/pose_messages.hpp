// Planar poses and simulated times to and from their ROS 2 messages.
#ifndef ALIGN_DOCK_SIM__POSE_MESSAGES_HPP_
#define ALIGN_DOCK_SIM__POSE_MESSAGES_HPP_

#include <cstdint>
#include <string>

#include "align_tools/surface_scan.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/pose.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "geometry_msgs/msg/quaternion.hpp"

namespace align_dock_sim
{

using align_tools::Pose2D;

builtin_interfaces::msg::Time time_message(std::int64_t nanoseconds);
std::int64_t nanoseconds_of(const builtin_interfaces::msg::Time & stamp);

// z 0, orientation the yaw quaternion.
geometry_msgs::msg::Pose pose_message(const Pose2D & pose);
geometry_msgs::msg::PoseStamped stamped_pose(const Pose2D & pose, const std::string & frame, std::int64_t stamp_ns);

// The rotation about z of a quaternion (its yaw as tf2 computes it).
double yaw_of(const geometry_msgs::msg::Quaternion & q);
// x, y and the yaw of a pose message.
Pose2D planar_pose(const geometry_msgs::msg::Pose & pose);

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__POSE_MESSAGES_HPP_
