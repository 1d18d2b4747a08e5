#ifndef ALIGN_TOOLS__MOUNT_TRANSFORM_HPP_
#define ALIGN_TOOLS__MOUNT_TRANSFORM_HPP_

#include <string>

#include "align_tools/scan_simulator.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"

namespace align_tools
{

// The static transform that places frame `child` at `mount` (x, y and a yaw
// about z) in frame `parent`; the stamp is left at zero.
geometry_msgs::msg::TransformStamped mount_transform(
  const Pose2D & mount, const std::string & parent, const std::string & child);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__MOUNT_TRANSFORM_HPP_
