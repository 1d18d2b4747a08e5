#include "align_tools/scan_simulator.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_tools
{

ScanSimulator::ScanSimulator(const SimulationConfig & config)
: config_(config), random_(config.seed), beam_bias_(draw_beam_bias(config.scanner, config.seed))
{
  build_scene();
}

void ScanSimulator::build_scene()
{
  const DockTarget & target = config_.target;
  const double half = target.opening_angle / 2.0;
  for (double side : {1.0, -1.0}) {
    surfaces_.push_back(
      {0.0, 0.0, target.plate_length * std::cos(side * half), target.plate_length * std::sin(side * half),
        target.plate_intensity, target.intensity_jitter, SurfaceKind::kRetroReflective});
  }
  const SceneExtras & extras = config_.extras;
  if (extras.walls) {
    const double back = -extras.back_wall_distance;
    const double side = extras.side_wall_offset;
    const double front = 4.0;
    surfaces_.push_back({back, -side, back, side, extras.wall_intensity, 10.0f, SurfaceKind::kOrdinary});
    surfaces_.push_back({back, side, front, side, extras.wall_intensity, 10.0f, SurfaceKind::kOrdinary});
    surfaces_.push_back({back, -side, front, -side, extras.wall_intensity, 10.0f, SurfaceKind::kOrdinary});
  }
  const double box = 0.15;
  for (int i = 0; i < extras.clutter_count; ++i) {
    // Beside the approach path, so that clutter never hides the plates.
    const double x = 0.3 + 1.5 * random_.uniform();
    const double y = (random_.uniform() < 0.5 ? -1.0 : 1.0) * (0.6 + 0.9 * random_.uniform());
    const double corners[5][2] = {{x, y}, {x + box, y}, {x + box, y + box}, {x, y + box}, {x, y}};
    for (int k = 0; k < 4; ++k) {
      surfaces_.push_back(
        {corners[k][0], corners[k][1], corners[k + 1][0], corners[k + 1][1], extras.clutter_intensity, 20.0f, SurfaceKind::kOrdinary});
    }
  }
}

sensor_msgs::msg::LaserScan ScanSimulator::render(
  const Pose2D & target_in_laser, const builtin_interfaces::msg::Time & stamp)
{
  return cast_scan(config_.scanner, place_surfaces(surfaces_, target_in_laser), random_, stamp, beam_bias_);
}

std::vector<Pose2D> approach_trajectory(const Pose2D & from, const Pose2D & to, int count)
{
  std::vector<Pose2D> poses;
  for (int i = 0; i < count; ++i) {
    const double f = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
    poses.push_back(
      {from.x + f * (to.x - from.x), from.y + f * (to.y - from.y),
        align_model::normalize_angle(from.yaw + f * align_model::normalize_angle(to.yaw - from.yaw))});
  }
  return poses;
}

builtin_interfaces::msg::Time scan_stamp(std::int64_t start_ns, std::int64_t period_ns, std::size_t index)
{
  const std::int64_t ns = start_ns + period_ns * static_cast<std::int64_t>(index);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<std::int32_t>(ns / 1000000000);
  stamp.nanosec = static_cast<std::uint32_t>(ns % 1000000000);
  return stamp;
}

}  // namespace align_tools
