#include "align_tools/scan_simulator.hpp"

#include <cmath>
#include <limits>

namespace align_tools
{
namespace
{

constexpr double kTwoPi = 6.283185307179586;

double normalize(double angle)
{
  return angle - kTwoPi * std::floor((angle + kTwoPi / 2) / kTwoPi);
}

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
    normalize(frame.yaw + inner.yaw)};
}

ScanSimulator::ScanSimulator(const SimulationConfig & config)
: config_(config), random_(config.seed)
{
  build_scene();
}

double ScanSimulator::uniform()
{
  // 53 random bits: the same double on every standard library.
  return static_cast<double>(random_() >> 11) * (1.0 / 9007199254740992.0);
}

double ScanSimulator::gaussian()
{
  // Box-Muller; std::normal_distribution differs between libraries.
  const double u1 = 1.0 - uniform();
  const double u2 = uniform();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

void ScanSimulator::build_scene()
{
  const DockTarget & target = config_.target;
  const double half = target.opening_angle / 2.0;
  for (double side : {1.0, -1.0}) {
    surfaces_.push_back(
      {0.0, 0.0, target.plate_length * std::cos(side * half), target.plate_length * std::sin(side * half),
        target.plate_intensity, target.intensity_jitter});
  }
  const SceneExtras & extras = config_.extras;
  if (extras.walls) {
    const double back = -extras.back_wall_distance;
    const double side = extras.side_wall_offset;
    const double front = 4.0;
    surfaces_.push_back({back, -side, back, side, extras.wall_intensity, 10.0f});
    surfaces_.push_back({back, side, front, side, extras.wall_intensity, 10.0f});
    surfaces_.push_back({back, -side, front, -side, extras.wall_intensity, 10.0f});
  }
  const double box = 0.15;
  for (int i = 0; i < extras.clutter_count; ++i) {
    // Beside the approach path, so that clutter never hides the plates.
    const double x = 0.3 + 1.5 * uniform();
    const double y = (uniform() < 0.5 ? -1.0 : 1.0) * (0.6 + 0.9 * uniform());
    const double corners[5][2] = {{x, y}, {x + box, y}, {x + box, y + box}, {x, y + box}, {x, y}};
    for (int k = 0; k < 4; ++k) {
      surfaces_.push_back(
        {corners[k][0], corners[k][1], corners[k + 1][0], corners[k + 1][1], extras.clutter_intensity, 20.0f});
    }
  }
}

sensor_msgs::msg::LaserScan ScanSimulator::render(
  const Pose2D & target_in_laser, const builtin_interfaces::msg::Time & stamp)
{
  const ScannerModel & scanner = config_.scanner;
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

  // The surfaces in the laser frame for this scan.
  std::vector<Surface> placed = surfaces_;
  for (auto & surface : placed) {
    const Pose2D a = compose(target_in_laser, {surface.ax, surface.ay, 0.0});
    const Pose2D b = compose(target_in_laser, {surface.bx, surface.by, 0.0});
    surface.ax = a.x; surface.ay = a.y; surface.bx = b.x; surface.by = b.y;
  }

  const int count = scanner.count > 0 ? scanner.count : 0;
  scan.ranges.reserve(count);
  scan.intensities.reserve(count);
  for (int i = 0; i < count; ++i) {
    const double angle = static_cast<double>(scanner.angle_min) + i * static_cast<double>(scanner.angle_increment);
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    double nearest = std::numeric_limits<double>::infinity();
    const Surface * hit = nullptr;
    for (const auto & surface : placed) {
      const double t = ray_hit(dx, dy, surface.ax, surface.ay, surface.bx, surface.by);
      if (t < nearest) {
        nearest = t;
        hit = &surface;
      }
    }
    // Every beam draws the same random numbers whatever it hits, so one
    // option changes no other beam's noise.
    const double noise = gaussian() * scanner.range_noise;
    const double jitter = 2.0 * uniform() - 1.0;
    const double loss = uniform();
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

std::vector<Pose2D> approach_trajectory(const Pose2D & from, const Pose2D & to, int count)
{
  std::vector<Pose2D> poses;
  for (int i = 0; i < count; ++i) {
    const double f = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
    poses.push_back(
      {from.x + f * (to.x - from.x), from.y + f * (to.y - from.y),
        normalize(from.yaw + f * normalize(to.yaw - from.yaw))});
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
