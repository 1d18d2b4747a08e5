// Scans of one or more V targets behind the robot, rendered by the
// simulator, and the pipeline settings of the bundled scene.
#ifndef V_TARGET_SCENE_HPP_
#define V_TARGET_SCENE_HPP_

#include <cstdint>
#include <vector>

#include "align_model/scan_points.hpp"
#include "align_nav2_dock/planar_pose.hpp"
#include "align_nav2_dock/scan_detector.hpp"
#include "align_tools/surface_scan.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace v_target_scene
{

// The rear laser of the bundled scene: 0.102 m behind the base origin, turned.
inline constexpr align_nav2_dock::PlanarPose kLaserMount{-0.102, 0.0, 3.141592653589793};

align_model::PlanarTransform laser_to_base();

// The two plates (0.3 m, a 120 degree V) of a corner whose pose (x axis out
// of the opening) is given in the frame the surfaces are wanted in.
std::vector<align_tools::Surface> plates_at(const align_nav2_dock::PlanarPose & corner);

// The bundled scene's parameters, shared by both programs there.
align_nav2_dock::ScanDetectorSettings scene_settings(align_nav2_dock::DetectorVariant variant);

// A scan of V targets whose corners (x axis out of the opening) are given in
// the base frame, with `range_noise` (m) and the given stamp.
sensor_msgs::msg::LaserScan scan_of(
  const std::vector<align_nav2_dock::PlanarPose> & corners_in_base, double stamp_seconds,
  double range_noise = 0.003, std::uint64_t seed = 1);
// The same with another scanner (angle step, count, errors).
sensor_msgs::msg::LaserScan scan_of(
  const std::vector<align_nav2_dock::PlanarPose> & corners_in_base, double stamp_seconds,
  const align_tools::ScannerModel & scanner, std::uint64_t seed = 1);

}  // namespace v_target_scene

#endif  // V_TARGET_SCENE_HPP_
