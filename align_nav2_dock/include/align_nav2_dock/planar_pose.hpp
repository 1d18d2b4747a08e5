// Poses in the plane, as the docking server works with them: the dock, the
// robot and a detected corner all live on the floor.
#ifndef ALIGN_NAV2_DOCK__PLANAR_POSE_HPP_
#define ALIGN_NAV2_DOCK__PLANAR_POSE_HPP_

namespace align_nav2_dock
{

// x, y in metres and a heading in radians.
struct PlanarPose
{
  double x = 0.0;
  double y = 0.0;
  double yaw = 0.0;
};

// `inner`, given in the frame whose pose is `frame`, in frame's outer frame.
PlanarPose compose(const PlanarPose & frame, const PlanarPose & inner);
// The outer frame's origin seen from `frame`.
PlanarPose inverse(const PlanarPose & frame);
// `pose` seen from `frame` (both in one outer frame).
PlanarPose relative(const PlanarPose & frame, const PlanarPose & pose);
double planar_distance(const PlanarPose & a, const PlanarPose & b);

// How a detected corner becomes the dock pose, with the meaning of Nav2's
// external_detection_* parameters for a planar detection: first turn by
// `rotation_yaw`, then move by (translation_x, translation_y) along the
// turned axes.
struct DetectionToDock
{
  double translation_x = 0.0;
  double translation_y = 0.0;
  double rotation_yaw = 0.0;
};

PlanarPose dock_from_detection(const DetectionToDock & offset, const PlanarPose & detection);
// Where the corner lies when the dock is at `dock`: the inverse of the above.
PlanarPose detection_from_dock(const DetectionToDock & offset, const PlanarPose & dock);

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__PLANAR_POSE_HPP_
