#include "align_tools/surface_scan.hpp"

#include <cmath>
#include <limits>

#include "align_model/angles.hpp"

namespace align_tools
{
namespace
{

// Distance along the ray (origin, direction) to the segment a-b, or +inf.
double ray_hit(double dx, double dy, double ax, double ay, double bx, double by)
{
  const double ex = bx - ax;
  const double ey = by - ay;
  const double denominator = dx * ey - dy * ex;
  if (std::fabs(denominator) < 1e-12) {
    return std::numeric_limits<double>::infinity();
  }
  const double t = (ax * ey - ay * ex) / denominator;
  const double s = (ax * dy - ay * dx) / denominator;
  if (t <= 0.0 || s < 0.0 || s > 1.0) {
    return std::numeric_limits<double>::infinity();
  }
  return t;
}

}  // namespace

Pose2D compose(const Pose2D & frame, const Pose2D & inner)
{
  const double c = std::cos(frame.yaw);
  const double s = std::sin(frame.yaw);
  return {frame.x + c * inner.x - s * inner.y, frame.y + s * inner.x + c * inner.y,
    align_model::normalize_angle(frame.yaw + inner.yaw)};
}

Pose2D inverse(const Pose2D & frame)
{
  const double c = std::cos(frame.yaw);
  const double s = std::sin(frame.yaw);
  return {-c * frame.x - s * frame.y, s * frame.x - c * frame.y, align_model::normalize_angle(-frame.yaw)};
}

double PortableRandom::uniform()
{
  // 53 random bits: the same double on every standard library.
  return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0);
}

double PortableRandom::gaussian()
{
  // Box-Muller; std::normal_distribution differs between libraries.
  const double u1 = 1.0 - uniform();
  const double u2 = uniform();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(align_model::kTwoPi * u2);
}

std::vector<Surface> place_surfaces(const std::vector<Surface> & surfaces, const Pose2D & frame_in_laser)
{
  std::vector<Surface> placed = surfaces;
  for (auto & surface : placed) {
    const Pose2D a = compose(frame_in_laser, {surface.ax, surface.ay, 0.0});
    const Pose2D b = compose(frame_in_laser, {surface.bx, surface.by, 0.0});
    surface.ax = a.x; surface.ay = a.y; surface.bx = b.x; surface.by = b.y;
  }
  return placed;
}

sensor_msgs::msg::LaserScan cast_scan(
  const ScannerModel & scanner, const std::vector<Surface> & surfaces_in_laser, PortableRandom & random,
  const builtin_interfaces::msg::Time & stamp)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.stamp = stamp;
  scan.header.frame_id = scanner.frame_id;
  scan.angle_min = scanner.angle_min;
  scan.angle_increment = scanner.angle_increment;
  scan.angle_max = scanner.angle_min + static_cast<float>(scanner.count - 1) * scanner.angle_increment;
  scan.scan_time = scanner.scan_time;
  scan.time_increment = scanner.count > 0 ? scanner.scan_time / static_cast<float>(scanner.count) : 0.0f;
  scan.range_min = scanner.range_min;
  scan.range_max = scanner.range_max;

  const int count = scanner.count > 0 ? scanner.count : 0;
  scan.ranges.reserve(count);
  scan.intensities.reserve(count);
  for (int i = 0; i < count; ++i) {
    const double angle = static_cast<double>(scanner.angle_min) + i * static_cast<double>(scanner.angle_increment);
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    double nearest = std::numeric_limits<double>::infinity();
    const Surface * hit = nullptr;
    for (const auto & surface : surfaces_in_laser) {
      const double t = ray_hit(dx, dy, surface.ax, surface.ay, surface.bx, surface.by);
      if (t < nearest) {
        nearest = t;
        hit = &surface;
      }
    }
    const double noise = random.gaussian() * scanner.range_noise;
    const double jitter = 2.0 * random.uniform() - 1.0;
    const double loss = random.uniform();
    float range = std::numeric_limits<float>::infinity();
    float intensity = 0.0f;
    if (loss < scanner.nan_rate) {
      range = std::numeric_limits<float>::quiet_NaN();
    } else if (loss < scanner.nan_rate + scanner.dropout_rate || hit == nullptr) {
      range = std::numeric_limits<float>::infinity();
    } else {
      range = static_cast<float>(nearest + noise);
      intensity = hit->intensity + static_cast<float>(jitter) * hit->jitter;
    }
    scan.ranges.push_back(range);
    scan.intensities.push_back(intensity);
  }
  return scan;
}

}  // namespace align_tools
