// Targets written on a command line or in a parameter, and the JSON lines of
// an interleaved run.
#ifndef ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_
#define ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_

#include <cstddef>
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

}  // namespace align_latency

#endif  // ALIGN_LATENCY__INTERLEAVED_REPORT_HPP_
