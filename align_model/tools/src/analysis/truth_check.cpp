#include "align_tools/truth_check.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace align_tools
{

TruthAgreement agreement_with_truth(
  const std::vector<ScanOutcome> & outcomes, const GroundTruth & truth, double max_distance, double max_heading)
{
  TruthAgreement agreement;
  agreement.max_distance = max_distance;
  agreement.max_heading = max_heading;
  agreement.scans = std::min(outcomes.size(), truth.scans.size());
  for (std::size_t i = 0; i < agreement.scans; ++i) {
    if (!outcomes[i].pose) {
      continue;
    }
    const Pose2D & pose = *outcomes[i].pose;
    const Pose2D & expected = truth.scans[i].base;
    const double distance = std::hypot(pose.x - expected.x, pose.y - expected.y);
    const double heading = std::fabs(std::remainder(pose.yaw - expected.yaw, 2.0 * 3.141592653589793));
    if (distance < max_distance && heading < max_heading) {
      ++agreement.within;
    }
  }
  return agreement;
}

std::string format_agreement(const TruthAgreement & agreement)
{
  char text[200];
  std::snprintf(
    text, sizeof(text), "truth: %zu of %zu scans within %.3g m and %.3g deg of the ground truth (%.1f%%)\n",
    agreement.within, agreement.scans, agreement.max_distance, agreement.max_heading * 180.0 / 3.141592653589793,
    agreement.scans == 0 ? 0.0 : 100.0 * static_cast<double>(agreement.within) / agreement.scans);
  return text;
}

}  // namespace align_tools
