#include "align_tools/pose_consistency.hpp"

#include <algorithm>
#include <cmath>

#include "align_model/angles.hpp"
#include "align_tools/near_miss.hpp"

namespace align_tools
{
namespace
{

double seconds(const builtin_interfaces::msg::Time & stamp)
{
  return static_cast<double>(stamp.sec) + 1e-9 * static_cast<double>(stamp.nanosec);
}

// Residual sd of `values` about their least-squares line over the index.
double residual_sd(const std::vector<double> & values)
{
  const double n = static_cast<double>(values.size());
  double mean_t = 0.0, mean_v = 0.0;
  for (std::size_t t = 0; t < values.size(); ++t) {
    mean_t += static_cast<double>(t);
    mean_v += values[t];
  }
  mean_t /= n;
  mean_v /= n;
  double stt = 0.0, stv = 0.0;
  for (std::size_t t = 0; t < values.size(); ++t) {
    stt += (static_cast<double>(t) - mean_t) * (static_cast<double>(t) - mean_t);
    stv += (static_cast<double>(t) - mean_t) * (values[t] - mean_v);
  }
  const double slope = stt > 0.0 ? stv / stt : 0.0;
  double squares = 0.0;
  for (std::size_t t = 0; t < values.size(); ++t) {
    const double residual = values[t] - mean_v - slope * (static_cast<double>(t) - mean_t);
    squares += residual * residual;
  }
  return std::sqrt(squares / std::max(1.0, n - 2.0));
}

}  // namespace

PoseConsistency pose_consistency(
  const std::vector<ScanOutcome> & outcomes, const std::vector<builtin_interfaces::msg::Time> & stamps,
  const MotionLimits & limits)
{
  PoseConsistency consistency;
  consistency.scans = std::min(outcomes.size(), stamps.size());
  std::vector<double> position_scatters, heading_scatters;
  for (std::size_t k = 0; k < consistency.scans; ++k) {
    if (!outcomes[k].pose) {
      continue;
    }
    ++consistency.poses;
    if (k > 0 && outcomes[k - 1].pose) {
      const Pose2D & a = *outcomes[k - 1].pose;
      const Pose2D & b = *outcomes[k].pose;
      const double dt = std::max(0.0, seconds(stamps[k]) - seconds(stamps[k - 1]));
      const bool moved_too_far = std::hypot(b.x - a.x, b.y - a.y) > limits.position_slack + limits.max_speed * dt;
      const bool turned_too_far =
        std::fabs(std::remainder(b.yaw - a.yaw, align_model::kTwoPi)) > limits.heading_slack + limits.max_turn_rate * dt;
      consistency.jumps += moved_too_far || turned_too_far ? 1 : 0;
    }
    // A window of consecutive scans that all have a pose ends here.
    if (k + 1 < kTrendWindow) {
      continue;
    }
    std::vector<double> xs, ys, yaws;
    for (std::size_t j = k + 1 - kTrendWindow; j <= k && outcomes[j].pose; ++j) {
      const Pose2D & pose = *outcomes[j].pose;
      xs.push_back(pose.x);
      ys.push_back(pose.y);
      // Unwrapped against the window's first heading.
      yaws.push_back(yaws.empty() ? pose.yaw : yaws.front() + std::remainder(pose.yaw - yaws.front(), align_model::kTwoPi));
    }
    if (xs.size() == kTrendWindow) {
      position_scatters.push_back(std::hypot(residual_sd(xs), residual_sd(ys)));
      heading_scatters.push_back(residual_sd(yaws));
    }
  }
  if (!position_scatters.empty()) {
    consistency.position_scatter = spread_of(position_scatters).median;
    consistency.heading_scatter = spread_of(heading_scatters).median;
  }
  return consistency;
}

}  // namespace align_tools
