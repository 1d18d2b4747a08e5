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
  double p90_us = 0.0;
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

// One timed scan of an interleaved run: the round it was sent in and its
// latency.
struct TimedSample
{
  std::size_t round = 0;
  double latency_us = 0.0;
};

// A target's latency against the floor's (the relay's) in the same run: the
// ratios of the medians and of the percentiles over the whole run, and how
// the median ratio varies between `blocks` consecutive sub-blocks of rounds
// (each block compares the two over the same rounds).
struct RatioToFloor
{
  double median = 0.0;
  double p90 = 0.0;
  double p99 = 0.0;
  std::size_t blocks = 0;
  double block_median_min = 0.0;
  double block_median_max = 0.0;
  double block_median_sd = 0.0;  // standard deviation over the blocks
};

// `rounds` is the number of rounds of the run; blocks without a sample of
// either side are left out. All zero when the floor has no samples.
RatioToFloor ratio_to_floor(
  const std::vector<TimedSample> & target, const std::vector<TimedSample> & floor, std::size_t rounds,
  std::size_t blocks);

// One JSON line per target of an interleaved run: summary_json's fields plus
// "p90_us" and the ratio to the floor.
std::string interleaved_json(
  const std::string & label, const std::string & reply, std::size_t readings, std::size_t sent,
  std::size_t lost, const LatencySummary & summary, const RatioToFloor & ratio);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__LATENCY_SUMMARY_HPP_
