// Targets written on a command line or in a parameter, and the JSON lines of
// an interleaved run.
#ifndef ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_
#define ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "align_latency/latency_probe.hpp"

namespace align_latency
{

// "LABEL=PREFIX:pose" or "LABEL=PREFIX:scan", e.g. "relay=/relay:scan".
// Throws std::invalid_argument naming the text when it is not of that form.
ProbeTarget parse_target(const std::string & text);

// One line per target (interleaved_json), in the targets' order; the first
// target is the floor the others are compared with.
std::vector<std::string> interleaved_report(
  const std::vector<ProbeTarget> & targets, const std::vector<TargetRun> & runs, std::size_t rounds,
  std::size_t blocks, std::size_t readings);

// The whole interleaved run, as the command-line probe and the container's
// probe do it: waits up to `wait` for every target to match and to answer a
// first scan, sends `rounds` rounds one scan every `period` (a reply later
// than that is lost) and returns interleaved_report's lines; nothing when a
// target did not match or answer in time. `executor` as for the probe's
// waits (none in a container, whose executor runs the probe).
std::optional<std::vector<std::string>> run_interleaved(
  LatencyProbe & probe, rclcpp::Executor * executor, std::size_t rounds, std::chrono::nanoseconds period,
  std::chrono::nanoseconds wait, std::uint64_t seed, std::size_t blocks);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_
