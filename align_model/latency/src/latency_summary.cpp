#include "align_latency/latency_summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "align_tools/json_writer.hpp"

namespace align_latency
{

double nearest_rank(const std::vector<double> & sorted, double percent)
{
  const double rank = std::ceil(percent / 100.0 * static_cast<double>(sorted.size()));
  const std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
  return sorted[std::min(index, sorted.size() - 1)];
}

LatencySummary summarize(std::vector<double> latencies_us)
{
  LatencySummary summary;
  if (latencies_us.empty()) {
    return summary;
  }
  std::sort(latencies_us.begin(), latencies_us.end());
  summary.samples = latencies_us.size();
  summary.min_us = latencies_us.front();
  summary.median_us = nearest_rank(latencies_us, 50.0);
  summary.p90_us = nearest_rank(latencies_us, 90.0);
  summary.p99_us = nearest_rank(latencies_us, 99.0);
  summary.max_us = latencies_us.back();
  return summary;
}

std::string summary_json(
  const std::string & label, const std::string & reply, std::size_t readings, std::size_t sent,
  std::size_t lost, const LatencySummary & summary)
{
  char numbers[256];
  std::snprintf(
    numbers, sizeof(numbers),
    "\"readings\": %zu, \"sent\": %zu, \"lost\": %zu, \"samples\": %zu, \"min_us\": %.1f, "
    "\"median_us\": %.1f, \"p99_us\": %.1f, \"max_us\": %.1f}",
    readings, sent, lost, summary.samples, summary.min_us, summary.median_us, summary.p99_us, summary.max_us);
  return "{\"label\": " + align_tools::json_string(label) + ", \"reply\": " + align_tools::json_string(reply) +
         ", " + numbers;
}

namespace
{

std::vector<double> latencies_in(const std::vector<TimedSample> & samples, std::size_t first, std::size_t end)
{
  std::vector<double> latencies;
  for (const auto & sample : samples) {
    if (sample.round >= first && sample.round < end) {
      latencies.push_back(sample.latency_us);
    }
  }
  return latencies;
}

double ratio(double value, double base)
{
  return base > 0.0 ? value / base : 0.0;
}

}  // namespace

RatioToFloor ratio_to_floor(
  const std::vector<TimedSample> & target, const std::vector<TimedSample> & floor, std::size_t rounds,
  std::size_t blocks)
{
  RatioToFloor result;
  const LatencySummary whole = summarize(latencies_in(target, 0, rounds));
  const LatencySummary base = summarize(latencies_in(floor, 0, rounds));
  if (base.samples == 0) {
    return result;
  }
  result.median = ratio(whole.median_us, base.median_us);
  result.p90 = ratio(whole.p90_us, base.p90_us);
  result.p99 = ratio(whole.p99_us, base.p99_us);
  std::vector<double> block_ratios;
  const std::size_t count = std::max<std::size_t>(1, std::min(blocks, rounds));
  for (std::size_t b = 0; b < count; ++b) {
    const std::size_t first = rounds * b / count;
    const std::size_t end = rounds * (b + 1) / count;
    const LatencySummary t = summarize(latencies_in(target, first, end));
    const LatencySummary f = summarize(latencies_in(floor, first, end));
    if (t.samples > 0 && f.samples > 0) {
      block_ratios.push_back(ratio(t.median_us, f.median_us));
    }
  }
  result.blocks = block_ratios.size();
  if (block_ratios.empty()) {
    return result;
  }
  result.block_median_min = *std::min_element(block_ratios.begin(), block_ratios.end());
  result.block_median_max = *std::max_element(block_ratios.begin(), block_ratios.end());
  double mean = 0.0;
  for (double r : block_ratios) {
    mean += r / static_cast<double>(block_ratios.size());
  }
  double variance = 0.0;
  for (double r : block_ratios) {
    variance += (r - mean) * (r - mean) / static_cast<double>(block_ratios.size());
  }
  result.block_median_sd = std::sqrt(variance);
  return result;
}

std::string interleaved_json(
  const std::string & label, const std::string & reply, std::size_t readings, std::size_t sent,
  std::size_t lost, const LatencySummary & summary, const RatioToFloor & ratio)
{
  char numbers[512];
  std::snprintf(
    numbers, sizeof(numbers),
    "\"readings\": %zu, \"sent\": %zu, \"lost\": %zu, \"samples\": %zu, \"min_us\": %.1f, "
    "\"median_us\": %.1f, \"p90_us\": %.1f, \"p99_us\": %.1f, \"max_us\": %.1f, "
    "\"median_ratio\": %.3f, \"p90_ratio\": %.3f, \"p99_ratio\": %.3f, \"blocks\": %zu, "
    "\"block_median_ratio_min\": %.3f, \"block_median_ratio_max\": %.3f, \"block_median_ratio_sd\": %.3f}",
    readings, sent, lost, summary.samples, summary.min_us, summary.median_us, summary.p90_us, summary.p99_us,
    summary.max_us, ratio.median, ratio.p90, ratio.p99, ratio.blocks, ratio.block_median_min,
    ratio.block_median_max, ratio.block_median_sd);
  return "{\"label\": " + align_tools::json_string(label) + ", \"reply\": " + align_tools::json_string(reply) +
         ", " + numbers;
}

}  // namespace align_latency
