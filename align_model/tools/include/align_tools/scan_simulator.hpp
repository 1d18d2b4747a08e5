#ifndef ALIGN_TOOLS__SCAN_SIMULATOR_HPP_
#define ALIGN_TOOLS__SCAN_SIMULATOR_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "align_tools/surface_scan.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// Two flat plates meeting at the corner; the opening angle is the angle
// between them, and the target's heading points from the corner into the
// opening (along the bisector).
struct DockTarget
{
  double plate_length = 0.3;
  double opening_angle = 2.0943951023931957;  // 120 degrees
  float plate_intensity = 252.5f;
  float intensity_jitter = 1.5f;  // uniform, +-
};

// Optional surroundings, fixed to the target: a back wall behind the corner
// with two side walls, and small boxes to the sides of the approach.
struct SceneExtras
{
  bool walls = false;
  double back_wall_distance = 0.4;
  double side_wall_offset = 1.8;
  float wall_intensity = 120.0f;
  int clutter_count = 0;
  float clutter_intensity = 160.0f;
};

struct SimulationConfig
{
  ScannerModel scanner;
  DockTarget target;
  SceneExtras extras;
  Pose2D mount{-0.102, 0.0, 3.141592653589793};  // the laser in the base frame
  std::uint64_t seed = 1;
};

// Renders LaserScans by casting one ray per beam against the plates, walls
// and clutter. Noise, dropouts and clutter placement come from one seeded
// generator with its own (portable) distributions, so a seed gives the same
// scans on every platform.
class ScanSimulator
{
public:
  explicit ScanSimulator(const SimulationConfig & config);

  // The target's corner and heading are given in the laser frame.
  sensor_msgs::msg::LaserScan render(const Pose2D & target_in_laser, const builtin_interfaces::msg::Time & stamp);

  const SimulationConfig & config() const {return config_;}

private:
  void build_scene();

  SimulationConfig config_;
  PortableRandom random_;
  std::vector<double> beam_bias_;  // fixed for the simulator's life
  std::vector<Surface> surfaces_;  // in the target frame
};

// `count` target poses from `from` to `to` (both included), linear in x, y
// and heading: the robot reversing towards the target.
std::vector<Pose2D> approach_trajectory(const Pose2D & from, const Pose2D & to, int count);

// Stamp of scan `index` when scans start at `start_ns` and follow each other
// every `period_ns`.
builtin_interfaces::msg::Time scan_stamp(std::int64_t start_ns, std::int64_t period_ns, std::size_t index);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SCAN_SIMULATOR_HPP_
