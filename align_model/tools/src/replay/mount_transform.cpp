#include "align_tools/mount_transform.hpp"

#include <cmath>

namespace align_tools
{

geometry_msgs::msg::TransformStamped mount_transform(
  const Pose2D & mount, const std::string & parent, const std::string & child)
{
  geometry_msgs::msg::TransformStamped transform;
  transform.header.frame_id = parent;
  transform.child_frame_id = child;
  transform.transform.translation.x = mount.x;
  transform.transform.translation.y = mount.y;
  transform.transform.rotation.z = std::sin(mount.yaw / 2.0);
  transform.transform.rotation.w = std::cos(mount.yaw / 2.0);
  return transform;
}

}  // namespace align_tools
