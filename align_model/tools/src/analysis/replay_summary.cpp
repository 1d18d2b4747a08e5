#include "align_tools/replay_summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace align_tools
{
namespace
{

constexpr double kPi = 3.141592653589793;

Spread linear_spread(const std::vector<double> & values)
{
  Spread spread;
  if (values.empty()) {
    return spread;
  }
  double sum = 0.0;
  for (double v : values) {sum += v;}
  spread.mean = sum / static_cast<double>(values.size());
  double squares = 0.0;
  for (double v : values) {squares += (v - spread.mean) * (v - spread.mean);}
  spread.deviation = std::sqrt(squares / static_cast<double>(values.size()));
  return spread;
}

// Headings near +-pi must not average to 0.
Spread circular_spread(const std::vector<double> & angles)
{
  Spread spread;
  if (angles.empty()) {
    return spread;
  }
  double s = 0.0, c = 0.0;
  for (double a : angles) {s += std::sin(a); c += std::cos(a);}
  spread.mean = std::atan2(s, c);
  double squares = 0.0;
  for (double a : angles) {
    const double d = std::remainder(a - spread.mean, 2.0 * kPi);
    squares += d * d;
  }
  spread.deviation = std::sqrt(squares / static_cast<double>(angles.size()));
  return spread;
}

}  // namespace

ReplaySummary summarize(const std::vector<ScanOutcome> & outcomes)
{
  ReplaySummary summary;
  summary.scans_read = outcomes.size();
  std::vector<double> xs, ys, headings, times;
  for (const auto & outcome : outcomes) {
    if (outcome.processed) {
      ++summary.scans_processed;
      times.push_back(outcome.seconds);
    }
    if (outcome.dropped_at_transform) {
      ++summary.dropped_at_transform;
    }
    if (outcome.pose) {
      xs.push_back(outcome.pose->x);
      ys.push_back(outcome.pose->y);
      headings.push_back(outcome.pose->yaw);
    }
  }
  summary.poses = xs.size();
  summary.detection_rate = outcomes.empty() ? 0.0 : static_cast<double>(summary.poses) / outcomes.size();
  summary.x = linear_spread(xs);
  summary.y = linear_spread(ys);
  summary.heading = circular_spread(headings);
  if (!times.empty()) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    summary.median_seconds = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
    summary.worst_seconds = times.back();
  }
  return summary;
}

std::string format_summary(const ReplaySummary & summary)
{
  char text[1024];
  std::snprintf(
    text, sizeof(text),
    "summary: scans read %zu, scans processed %zu (dropped at the transform gate %zu), poses published %zu, "
    "detection rate %.1f%%\n"
    "summary: x mean %.4f m sd %.4f m, y mean %.4f m sd %.4f m, heading mean %.2f deg sd %.2f deg\n"
    "summary: processing time per scan median %.3f ms, worst %.3f ms\n",
    summary.scans_read, summary.scans_processed, summary.dropped_at_transform, summary.poses,
    100.0 * summary.detection_rate, summary.x.mean, summary.x.deviation, summary.y.mean, summary.y.deviation,
    summary.heading.mean * 180.0 / kPi, summary.heading.deviation * 180.0 / kPi,
    summary.median_seconds * 1e3, summary.worst_seconds * 1e3);
  return text;
}

}  // namespace align_tools
