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

}  // namespace align_latency
