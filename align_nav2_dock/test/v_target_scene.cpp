#include "v_target_scene.hpp"

#include <cmath>

namespace v_target_scene
{
namespace
{

constexpr double kPlateLength = 0.3;
constexpr double kHalfOpening = 1.0471975511965976;  // 60 degrees: a 120 degree V

}  // namespace

std::vector<align_tools::Surface> plates_at(const align_nav2_dock::PlanarPose & corner)
{
  const double x = kPlateLength * std::cos(kHalfOpening);
  const double y = kPlateLength * std::sin(kHalfOpening);
  const align_tools::SurfaceKind retro = align_tools::SurfaceKind::kRetroReflective;
  const std::vector<align_tools::Surface> in_corner = {
    align_tools::Surface{0.0, 0.0, x, y, 252.5f, 1.5f, retro},
    align_tools::Surface{0.0, 0.0, x, -y, 252.5f, 1.5f, retro}};
  return align_tools::place_surfaces(in_corner, align_tools::Pose2D{corner.x, corner.y, corner.yaw});
}

align_model::PlanarTransform laser_to_base()
{
  align_model::PlanarTransform transform;
  transform.r00 = std::cos(kLaserMount.yaw);
  transform.r01 = -std::sin(kLaserMount.yaw);
  transform.r10 = std::sin(kLaserMount.yaw);
  transform.r11 = std::cos(kLaserMount.yaw);
  transform.tx = kLaserMount.x;
  transform.ty = kLaserMount.y;
  return transform;
}

align_nav2_dock::ScanDetectorSettings scene_settings(align_nav2_dock::DetectorVariant variant)
{
  align_nav2_dock::ScanDetectorSettings settings;
  settings.variant = variant;
  settings.min_angle = -1.5;
  settings.max_angle = 1.5;
  settings.band = align_model::RangeIntensityBand{0.05, 2.0, 250.0, 255.0};
  settings.splitting.threshold_split = 0.02;
  settings.points_max_distance = 0.05;
  settings.min_line_len = 0.15;
  settings.max_line_len = 0.4;
  return settings;
}

sensor_msgs::msg::LaserScan scan_of(
  const std::vector<align_nav2_dock::PlanarPose> & corners_in_base, double stamp_seconds,
  double range_noise, std::uint64_t seed)
{
  align_tools::ScannerModel scanner;
  scanner.range_noise = range_noise;
  return scan_of(corners_in_base, stamp_seconds, scanner, seed);
}

sensor_msgs::msg::LaserScan scan_of(
  const std::vector<align_nav2_dock::PlanarPose> & corners_in_base, double stamp_seconds,
  const align_tools::ScannerModel & scanner, std::uint64_t seed)
{
  std::vector<align_tools::Surface> surfaces;
  for (const align_nav2_dock::PlanarPose & corner : corners_in_base) {
    const align_nav2_dock::PlanarPose in_laser = align_nav2_dock::relative(kLaserMount, corner);
    const std::vector<align_tools::Surface> placed = plates_at(in_laser);
    surfaces.insert(surfaces.end(), placed.begin(), placed.end());
  }
  align_tools::PortableRandom random(seed);
  const std::int64_t nanoseconds = std::llround(stamp_seconds * 1e9);
  builtin_interfaces::msg::Time stamp;
  stamp.sec = static_cast<std::int32_t>(nanoseconds / 1000000000);
  stamp.nanosec = static_cast<std::uint32_t>(nanoseconds % 1000000000);
  return align_tools::cast_scan(scanner, surfaces, random, stamp);
}

}  // namespace v_target_scene
