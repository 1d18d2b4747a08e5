#ifndef ALIGN_MODEL__TARGET_MESSAGES_HPP_
#define ALIGN_MODEL__TARGET_MESSAGES_HPP_

#include <string>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "tuw_geometry/linesegment2d.hpp"
#include "visualization_msgs/msg/marker.hpp"

namespace align_model
{

// The output messages both programs share: the target pose (heading in
// position.z, identity orientation) and the two markers of namespace
// "align_visible".
geometry_msgs::msg::PoseStamped make_target_pose(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  double x, double y, double theta);

// LINE_LIST, id 1: p0 then p1 of every segment, in list order.
visualization_msgs::msg::Marker make_segment_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  const std::vector<tuw::LineSegment2D> & segments);

// ARROW, id 0, at (x, y) pointing along theta.
visualization_msgs::msg::Marker make_target_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  double x, double y, double theta);

// ARROW, id 0, at the frame's origin: the target marker of a scan without target.
visualization_msgs::msg::Marker make_target_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp);

}  // namespace align_model

#endif  // ALIGN_MODEL__TARGET_MESSAGES_HPP_
