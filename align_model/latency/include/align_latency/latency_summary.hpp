#ifndef ALIGN_LATENCY__LATENCY_SUMMARY_HPP_
#define ALIGN_LATENCY__LATENCY_SUMMARY_HPP_

#include <cstddef>
#include <string>
#include <vector>

namespace align_latency
{

// What a latency run reports, in microseconds. Percentiles use the nearest
// rank, so every figure is a latency that was actually measured.
struct LatencySummary
{
  std::size_t samples = 0;
  double min_us = 0.0;
  double median_us = 0.0;
  double p99_us = 0.0;
  double max_us = 0.0;
};

// The nearest-rank percentile `percent` (0 < percent <= 100) of `sorted`,
// which must be ascending and non-empty.
double nearest_rank(const std::vector<double> & sorted, double percent);

// All zero for no samples.
LatencySummary summarize(std::vector<double> latencies_us);

// One JSON object on one line: the label, what came back, how many scans
// were sent and lost, and the summary.
std::string summary_json(
  const std::string & label, const std::string & reply, std::size_t readings, std::size_t sent,
  std::size_t lost, const LatencySummary & summary);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__LATENCY_SUMMARY_HPP_
