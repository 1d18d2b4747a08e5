#ifndef ALIGN_TOOLS__TRUTH_CHECK_HPP_
#define ALIGN_TOOLS__TRUTH_CHECK_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "align_tools/ground_truth.hpp"
#include "align_tools/replay_summary.hpp"

namespace align_tools
{

struct TruthAgreement
{
  std::size_t scans = 0;  // scans compared (both lists, in order)
  std::size_t within = 0;  // poses within the distance and the heading limit
  double max_distance = 0.0;  // m
  double max_heading = 0.0;  // rad
};

// Compares the published pose of scan k with the base-frame truth of scan k.
TruthAgreement agreement_with_truth(
  const std::vector<ScanOutcome> & outcomes, const GroundTruth & truth,
  double max_distance = 0.02, double max_heading = 2.0 * 3.141592653589793 / 180.0);

// "truth: ..." line for stderr.
std::string format_agreement(const TruthAgreement & agreement);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__TRUTH_CHECK_HPP_
