#include "align_model/target_messages.hpp"

#include <cmath>

namespace align_model
{
namespace
{

constexpr char kMarkerNamespace[] = "align_visible";
constexpr int kTargetMarkerId = 0;
constexpr int kSegmentMarkerId = 1;

std_msgs::msg::ColorRGBA color(float r, float g, float b, float a)
{
  std_msgs::msg::ColorRGBA rgba;
  rgba.r = r;
  rgba.g = g;
  rgba.b = b;
  rgba.a = a;
  return rgba;
}

visualization_msgs::msg::Marker marker_base(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp, int id, int type)
{
  visualization_msgs::msg::Marker marker;
  marker.header.frame_id = frame_id;
  marker.header.stamp = stamp;
  marker.ns = kMarkerNamespace;
  marker.id = id;
  marker.type = type;
  marker.action = visualization_msgs::msg::Marker::ADD;
  return marker;
}

// The arrow's look; its pose is set by the caller.
visualization_msgs::msg::Marker target_marker_base(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp)
{
  auto marker = marker_base(frame_id, stamp, kTargetMarkerId, visualization_msgs::msg::Marker::ARROW);
  marker.scale.x = 0.25;
  marker.scale.y = 0.01;
  marker.scale.z = 0.01;
  marker.color = color(245.0f / 255.0f, 61.0f / 255.0f, 0.0f, 1.0f);
  return marker;
}

geometry_msgs::msg::Point planar_point(double x, double y)
{
  geometry_msgs::msg::Point point;
  point.x = x;
  point.y = y;
  point.z = 0.0;
  return point;
}

}  // namespace

geometry_msgs::msg::PoseStamped make_target_pose(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  double x, double y, double theta)
{
  geometry_msgs::msg::PoseStamped message;
  message.header.frame_id = frame_id;
  message.header.stamp = stamp;
  message.pose.position.x = x;
  message.pose.position.y = y;
  // Consumers read the heading here; the orientation stays the identity.
  message.pose.position.z = theta;
  message.pose.orientation.x = 0.0;
  message.pose.orientation.y = 0.0;
  message.pose.orientation.z = 0.0;
  message.pose.orientation.w = 1.0;
  return message;
}

visualization_msgs::msg::Marker make_segment_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  const std::vector<tuw::LineSegment2D> & segments)
{
  auto marker = marker_base(frame_id, stamp, kSegmentMarkerId, visualization_msgs::msg::Marker::LINE_LIST);
  marker.scale.x = 0.02;
  marker.color = color(184.0f / 255.0f, 245.0f / 255.0f, 0.0f, 1.0f);
  marker.points.reserve(2 * segments.size());
  for (const tuw::LineSegment2D & segment : segments) {
    marker.points.push_back(planar_point(segment.x0(), segment.y0()));
    marker.points.push_back(planar_point(segment.x1(), segment.y1()));
  }
  return marker;
}

visualization_msgs::msg::Marker make_target_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp,
  double x, double y, double theta)
{
  auto marker = target_marker_base(frame_id, stamp);
  marker.pose.position = planar_point(x, y);
  // A rotation by theta about z.
  marker.pose.orientation.x = 0.0;
  marker.pose.orientation.y = 0.0;
  marker.pose.orientation.z = std::sin(theta / 2.0);
  marker.pose.orientation.w = std::cos(theta / 2.0);
  return marker;
}

visualization_msgs::msg::Marker make_target_marker(
  const std::string & frame_id, const builtin_interfaces::msg::Time & stamp)
{
  return target_marker_base(frame_id, stamp);
}

}  // namespace align_model
