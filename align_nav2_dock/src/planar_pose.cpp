#include "align_nav2_dock/planar_pose.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_nav2_dock
{

PlanarPose compose(const PlanarPose & frame, const PlanarPose & inner)
{
  const double c = std::cos(frame.yaw);
  const double s = std::sin(frame.yaw);
  return PlanarPose{
    frame.x + c * inner.x - s * inner.y,
    frame.y + s * inner.x + c * inner.y,
    align_model::normalize_angle(frame.yaw + inner.yaw)};
}

PlanarPose inverse(const PlanarPose & frame)
{
  const double c = std::cos(frame.yaw);
  const double s = std::sin(frame.yaw);
  return PlanarPose{-c * frame.x - s * frame.y, s * frame.x - c * frame.y, align_model::normalize_angle(-frame.yaw)};
}

PlanarPose relative(const PlanarPose & frame, const PlanarPose & pose)
{
  return compose(inverse(frame), pose);
}

double planar_distance(const PlanarPose & a, const PlanarPose & b)
{
  return std::hypot(a.x - b.x, a.y - b.y);
}

PlanarPose dock_from_detection(const DetectionToDock & offset, const PlanarPose & detection)
{
  const PlanarPose turned{detection.x, detection.y, detection.yaw + offset.rotation_yaw};
  return compose(turned, PlanarPose{offset.translation_x, offset.translation_y, 0.0});
}

PlanarPose detection_from_dock(const DetectionToDock & offset, const PlanarPose & dock)
{
  const PlanarPose turned = compose(dock, PlanarPose{-offset.translation_x, -offset.translation_y, 0.0});
  return PlanarPose{turned.x, turned.y, align_model::normalize_angle(dock.yaw - offset.rotation_yaw)};
}

}  // namespace align_nav2_dock
