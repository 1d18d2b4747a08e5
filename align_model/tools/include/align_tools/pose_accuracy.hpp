// How far a program's poses lie from the simulator's truth, split along the
// target's axis, across it and in heading: the per-scan bias and spread that
// the accuracy table sets against the bound.
#ifndef ALIGN_TOOLS__POSE_ACCURACY_HPP_
#define ALIGN_TOOLS__POSE_ACCURACY_HPP_

#include <cstddef>
#include <vector>

#include "align_tools/ground_truth.hpp"
#include "align_tools/replay_summary.hpp"

namespace align_tools
{

struct ErrorSpread
{
  double bias = 0.0;  // mean error
  double sd = 0.0;  // sample standard deviation
};

struct PoseAccuracy
{
  std::size_t scans = 0;  // scans compared
  std::size_t poses = 0;  // of those, scans with a pose
  ErrorSpread along;  // m, positive: the pose lies further out of the opening than the truth
  ErrorSpread across;  // m
  ErrorSpread heading;  // rad, wrapped
};

// Scan k's pose against scan k's base-frame truth, over the scans both have.
PoseAccuracy pose_accuracy(const std::vector<ScanOutcome> & outcomes, const GroundTruth & truth);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__POSE_ACCURACY_HPP_
