#include "align_tools/pose_accuracy.hpp"

#include <algorithm>
#include <cmath>

#include "align_model/angles.hpp"

namespace align_tools
{
namespace
{

ErrorSpread spread_of(const std::vector<double> & errors)
{
  ErrorSpread spread;
  if (errors.empty()) {
    return spread;
  }
  double sum = 0.0;
  for (const double error : errors) {
    sum += error;
  }
  spread.bias = sum / static_cast<double>(errors.size());
  if (errors.size() > 1) {
    double squares = 0.0;
    for (const double error : errors) {
      squares += (error - spread.bias) * (error - spread.bias);
    }
    spread.sd = std::sqrt(squares / static_cast<double>(errors.size() - 1));
  }
  return spread;
}

}  // namespace

PoseAccuracy pose_accuracy(const std::vector<ScanOutcome> & outcomes, const GroundTruth & truth)
{
  PoseAccuracy accuracy;
  accuracy.scans = std::min(outcomes.size(), truth.scans.size());
  std::vector<double> along, across, heading;
  for (std::size_t k = 0; k < accuracy.scans; ++k) {
    if (!outcomes[k].pose) {
      continue;
    }
    ++accuracy.poses;
    const Pose2D & pose = *outcomes[k].pose;
    const Pose2D & expected = truth.scans[k].base;
    const double dx = pose.x - expected.x;
    const double dy = pose.y - expected.y;
    const double c = std::cos(expected.yaw);
    const double s = std::sin(expected.yaw);
    along.push_back(c * dx + s * dy);
    across.push_back(-s * dx + c * dy);
    heading.push_back(std::remainder(pose.yaw - expected.yaw, align_model::kTwoPi));
  }
  accuracy.along = spread_of(along);
  accuracy.across = spread_of(across);
  accuracy.heading = spread_of(heading);
  return accuracy;
}

}  // namespace align_tools
