// The world of the simulated robot, as a scene file describes it: the
// docking target, where the robot stands when docked, where trials start,
// walls and boxes, the rear laser and the robot's limits. World coordinates
// in metres and radians.
#ifndef ALIGN_DOCK_SIM__SCENE_HPP_
#define ALIGN_DOCK_SIM__SCENE_HPP_

#include <stdexcept>
#include <string>
#include <vector>

#include "align_tools/surface_scan.hpp"

namespace align_dock_sim
{

using align_tools::Pose2D;

// Two flat plates meeting at the apex; `apex.yaw` points from the apex out
// of the opening, along the bisector (the heading convention of the pose
// the programs publish).
struct SceneTarget
{
  Pose2D apex;
  double plate_length = 0.3;
  double opening = 2.0943951023931957;  // angle between the plates
  float intensity = 252.5f;
  float intensity_jitter = 1.5f;
};

// A straight wall centred at (x, y), running along `yaw`.
struct SceneWall
{
  Pose2D pose;
  double length = 1.0;
  float intensity = 120.0f;
  float intensity_jitter = 10.0f;
};

// A rectangular box centred at (x, y), `length` along `yaw`.
struct SceneBox
{
  Pose2D pose;
  double length = 0.15;
  double width = 0.15;
  float intensity = 160.0f;
  float intensity_jitter = 20.0f;
};

// Trials start in this region: out from the docked pose along the target's
// axis, across it, and turned from the docked heading.
struct StagingRegion
{
  double along_min = 0.5;
  double along_max = 1.2;
  double across_min = -0.2;
  double across_max = 0.2;
  double yaw_min = -0.2617993877991494;  // -15 degrees
  double yaw_max = 0.2617993877991494;
};

struct RobotLimits
{
  double max_linear_speed = 0.3;  // m/s
  double max_angular_speed = 1.0;  // rad/s
  double max_linear_acceleration = 0.5;  // m/s^2
  double max_angular_acceleration = 2.0;  // rad/s^2
};

struct Scene
{
  std::string world_frame = "map";
  SceneTarget target;
  // base_footprint when docked, in the target's frame (apex at the origin,
  // x out of the opening).
  Pose2D docked;
  StagingRegion staging;
  std::vector<SceneWall> walls;
  std::vector<SceneBox> boxes;
  align_tools::ScannerModel laser;  // frame_id, beams, noise, range limits, intensity scale
  // The scanner profile named by laser.scanner ("ideal" when not given);
  // apply_scanner_profile() puts its errors on `laser`.
  std::string scanner_profile = "ideal";
  Pose2D laser_mount;  // the laser in base_footprint
  RobotLimits robot;
};

// A scene file that cannot be used; the message names the file and the key.
class SceneError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// Reads a scene file (YAML). Every key is checked: unknown keys, wrong types
// and values out of range throw SceneError naming the key and the file.
// `target.apex`, `docked` and `laser.mount` are required; everything else
// has the defaults above.
Scene load_scene(const std::string & path);
// The same from YAML text; `source` names it in errors.
Scene parse_scene(const std::string & yaml_text, const std::string & source);

// Puts the errors of the scanner profile on the scene's laser: `name` when
// not empty, otherwise the scene's own choice. Throws std::invalid_argument
// for an unknown name.
void apply_scanner_profile(Scene & scene, const std::string & name = "");

// The docked pose of base_footprint in the world.
Pose2D docked_pose_in_world(const Scene & scene);

// Every reflecting surface of the scene, in the world frame.
std::vector<align_tools::Surface> scene_surfaces(const Scene & scene);

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__SCENE_HPP_
