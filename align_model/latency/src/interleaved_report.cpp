#include "align_latency/interleaved_report.hpp"

#include <stdexcept>

namespace align_latency
{

ProbeTarget parse_target(const std::string & text)
{
  const std::size_t equals = text.find('=');
  const std::size_t colon = text.rfind(':');
  if (equals == std::string::npos || colon == std::string::npos || colon < equals || equals == 0) {
    throw std::invalid_argument("a target is LABEL=PREFIX:pose or LABEL=PREFIX:scan, not '" + text + "'");
  }
  ProbeTarget target;
  target.label = text.substr(0, equals);
  target.prefix = text.substr(equals + 1, colon - equals - 1);
  const std::string reply = text.substr(colon + 1);
  if (reply != "pose" && reply != "scan") {
    throw std::invalid_argument("the reply of target '" + text + "' is pose or scan, not '" + reply + "'");
  }
  target.reply = reply == "pose" ? ReplyKind::kPose : ReplyKind::kScan;
  return target;
}

std::vector<std::string> interleaved_report(
  const std::vector<ProbeTarget> & targets, const std::vector<TargetRun> & runs, std::size_t rounds,
  std::size_t blocks, std::size_t readings)
{
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < targets.size() && k < runs.size(); ++k) {
    std::vector<double> latencies;
    for (const auto & sample : runs[k].samples) {
      latencies.push_back(sample.latency_us);
    }
    lines.push_back(
      interleaved_json(
        targets[k].label, targets[k].reply == ReplyKind::kPose ? "pose" : "scan", readings, runs[k].sent,
        runs[k].lost, summarize(latencies), ratio_to_floor(runs[k].samples, runs[0].samples, rounds, blocks)));
  }
  return lines;
}

std::optional<std::vector<std::string>> run_interleaved(
  LatencyProbe & probe, rclcpp::Executor * executor, std::size_t rounds, std::chrono::nanoseconds period,
  std::chrono::nanoseconds wait, std::uint64_t seed, std::size_t blocks)
{
  if (!probe.wait_for_peer(executor, wait) || !probe.warm_up(executor, period, wait)) {
    return std::nullopt;
  }
  const auto runs = probe.measure_interleaved(executor, rounds, period, period, seed);
  return interleaved_report(probe.targets(), runs, rounds, blocks, probe.scan().ranges.size());
}

}  // namespace align_latency
