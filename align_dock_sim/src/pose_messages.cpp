#include "align_dock_sim/pose_messages.hpp"

#include <cmath>

#include "align_model/dock_pose.hpp"

namespace align_dock_sim
{

builtin_interfaces::msg::Time time_message(std::int64_t nanoseconds)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<std::int32_t>(nanoseconds / 1000000000);
  stamp.nanosec = static_cast<std::uint32_t>(nanoseconds % 1000000000);
  return stamp;
}

std::int64_t nanoseconds_of(const builtin_interfaces::msg::Time & stamp)
{
  return static_cast<std::int64_t>(stamp.sec) * 1000000000 + stamp.nanosec;
}

geometry_msgs::msg::Pose pose_message(const Pose2D & pose)
{
  geometry_msgs::msg::Pose message;
  message.position.x = pose.x;
  message.position.y = pose.y;
  const align_model::YawQuaternion q = align_model::yaw_quaternion(pose.yaw);
  message.orientation.z = q.z;
  message.orientation.w = q.w;
  return message;
}

geometry_msgs::msg::PoseStamped stamped_pose(const Pose2D & pose, const std::string & frame, std::int64_t stamp_ns)
{
  geometry_msgs::msg::PoseStamped message;
  message.header.frame_id = frame;
  message.header.stamp = time_message(stamp_ns);
  message.pose = pose_message(pose);
  return message;
}

double yaw_of(const geometry_msgs::msg::Quaternion & q)
{
  return std::atan2(2.0 * (q.w * q.z + q.x * q.y), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

Pose2D planar_pose(const geometry_msgs::msg::Pose & pose)
{
  return {pose.position.x, pose.position.y, yaw_of(pose.orientation)};
}

}  // namespace align_dock_sim
