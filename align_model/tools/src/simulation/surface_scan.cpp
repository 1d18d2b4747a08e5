#include "align_tools/surface_scan.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

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

std::vector<double> draw_beam_bias(const ScannerModel & scanner, std::uint64_t seed)
{
  std::vector<double> bias;
  if (!(scanner.errors.range_bias > 0.0) || scanner.count <= 0) {
    return bias;
  }
  PortableRandom random(seed ^ 0x9e3779b97f4a7c15ULL);
  bias.reserve(static_cast<std::size_t>(scanner.count));
  for (int i = 0; i < scanner.count; ++i) {
    bias.push_back(random.gaussian() * scanner.errors.range_bias);
  }
  return bias;
}

namespace
{

// Closer than this, two returns inside one footprint are one surface.
constexpr double kDepthEdge = 0.02;

struct RayHit
{
  double range = std::numeric_limits<double>::infinity();
  const Surface * surface = nullptr;
};

RayHit nearest_hit(double angle, const std::vector<Surface> & surfaces)
{
  const double dx = std::cos(angle);
  const double dy = std::sin(angle);
  RayHit hit;
  for (const auto & surface : surfaces) {
    const double t = ray_hit(dx, dy, surface.ax, surface.ay, surface.bx, surface.by);
    if (t < hit.range) {
      hit.range = t;
      hit.surface = &surface;
    }
  }
  return hit;
}

// The intensity of a return from `hit` along the ray at `angle`, before
// the surface's jitter.
double nominal_intensity(const IntensityModel & model, const RayHit & hit, double angle)
{
  const Surface & surface = *hit.surface;
  if (!model.physical) {
    return surface.intensity;
  }
  const double ex = surface.bx - surface.ax;
  const double ey = surface.by - surface.ay;
  const double length = std::hypot(ex, ey);
  // The cosine of the incidence is the sine between the ray and the surface.
  const double cos_incidence =
    length > 0.0 ? std::fabs(std::cos(angle) * ey - std::sin(angle) * ex) / length : 1.0;
  const double exponent = surface.kind == SurfaceKind::kRetroReflective ?
    model.retro_incidence_exponent : model.ordinary_incidence_exponent;
  const double range_factor = std::pow(model.reference_range / std::max(hit.range, 0.01), model.range_exponent);
  return surface.intensity * range_factor * std::pow(cos_incidence, exponent);
}

float saturate(const IntensityModel & model, double intensity)
{
  if (!model.physical) {
    return static_cast<float>(intensity);
  }
  return static_cast<float>(std::clamp(intensity, 0.0, model.full_scale));
}

// Where the footprint spans a depth edge, the near and the far return.
std::optional<std::pair<RayHit, RayHit>> depth_edge(
  const ScannerModel & scanner, double angle, const RayHit & centre, const std::vector<Surface> & surfaces)
{
  const RayHit sides[2] = {nearest_hit(angle - 0.5 * scanner.errors.beam_width, surfaces),
    nearest_hit(angle + 0.5 * scanner.errors.beam_width, surfaces)};
  for (const RayHit & side : sides) {
    if (side.surface == nullptr || side.surface == centre.surface ||
      std::fabs(side.range - centre.range) < kDepthEdge)
    {
      continue;
    }
    return side.range < centre.range ? std::make_pair(side, centre) : std::make_pair(centre, side);
  }
  return std::nullopt;
}

// The ideal scanner's sd is its range_noise, untouched by any arithmetic.
double range_sd(const ScannerModel & scanner, double range, SurfaceKind kind)
{
  double sd = scanner.range_noise;
  if (scanner.errors.range_noise_per_metre > 0.0) {
    sd += scanner.errors.range_noise_per_metre * range;
  }
  if (kind == SurfaceKind::kRetroReflective && scanner.errors.retro_noise_scale != 1.0) {
    sd *= scanner.errors.retro_noise_scale;
  }
  return sd;
}

}  // namespace

sensor_msgs::msg::LaserScan cast_scan(
  const ScannerModel & scanner, const std::vector<Surface> & surfaces_in_laser, PortableRandom & random,
  const builtin_interfaces::msg::Time & stamp, const std::vector<double> & beam_bias)
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

  const bool mixed_pixels = scanner.errors.mixed_pixel_rate > 0.0 && scanner.errors.beam_width > 0.0;
  const int count = scanner.count > 0 ? scanner.count : 0;
  scan.ranges.reserve(count);
  scan.intensities.reserve(count);
  for (int i = 0; i < count; ++i) {
    const double angle = static_cast<double>(scanner.angle_min) + i * static_cast<double>(scanner.angle_increment);
    const RayHit hit = nearest_hit(angle, surfaces_in_laser);
    const double gaussian = random.gaussian();
    const double jitter = 2.0 * random.uniform() - 1.0;
    const double loss = random.uniform();
    // Drawn for every beam of a scanner with mixed pixels, hit or not.
    const double mix_chance = mixed_pixels ? random.uniform() : 1.0;
    const double mix_share = mixed_pixels ? random.uniform() : 0.0;
    float range = std::numeric_limits<float>::infinity();
    float intensity = 0.0f;
    if (loss < scanner.nan_rate) {
      range = std::numeric_limits<float>::quiet_NaN();
    } else if (loss < scanner.nan_rate + scanner.dropout_rate || hit.surface == nullptr) {
      range = std::numeric_limits<float>::infinity();
    } else {
      double nearest = hit.range;
      double returned = nominal_intensity(scanner.errors.intensity, hit, angle);
      if (mix_chance < scanner.errors.mixed_pixel_rate) {
        if (const auto edge = depth_edge(scanner, angle, hit, surfaces_in_laser)) {
          // The receiver sees both returns at once and reports a blend.
          nearest = edge->first.range + mix_share * (edge->second.range - edge->first.range);
          returned = (1.0 - mix_share) * nominal_intensity(scanner.errors.intensity, edge->first, angle) +
            mix_share * nominal_intensity(scanner.errors.intensity, edge->second, angle);
        }
      }
      const double sd = range_sd(scanner, nearest, hit.surface->kind);
      const double bias = beam_bias.empty() ? 0.0 : beam_bias[static_cast<std::size_t>(i) % beam_bias.size()];
      range = static_cast<float>(nearest + gaussian * sd + bias);
      intensity = saturate(
        scanner.errors.intensity, static_cast<double>(static_cast<float>(returned) + static_cast<float>(jitter) * hit.surface->jitter));
    }
    scan.ranges.push_back(range);
    scan.intensities.push_back(intensity);
  }
  return scan;
}

}  // namespace align_tools
