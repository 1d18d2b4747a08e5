// One cell of the accuracy table: a still target seen head-on, rendered with
// a given range noise, replayed through a program, its poses set against the
// truth and the bound.
#ifndef ALIGN_TOOLS__STILL_TARGET_ACCURACY_HPP_
#define ALIGN_TOOLS__STILL_TARGET_ACCURACY_HPP_

#include <cstdint>
#include <vector>

#include "align_tools/accuracy_bound.hpp"
#include "align_tools/pose_accuracy.hpp"
#include "align_tools/replay.hpp"

namespace align_tools
{

struct StillTargetCase
{
  NodeKind node = NodeKind::kLine;
  bool orthogonal_refit = false;
  double sigma = 0.01;  // range noise, m (ideal scanner: no bias, no mixed pixels)
  double range = 1.5;  // laser to apex, m
  int scans = 100;
  std::uint64_t seed = 1;
};

struct StillTargetResult
{
  PoseAccuracy accuracy;
  PoseBound bound;
};

// The bundled approach's parameters set to keep the plates whole (no
// neighbour-gap cut, 0.10 m split threshold, angle_error 0.3, max_line_len
// 0.35), the refit as asked; the feature program with the two-sided angle
// test and a history of one scan, so that its poses are per scan too.
std::vector<rclcpp::Parameter> whole_plate_parameters(NodeKind node, bool orthogonal_refit);

// rclcpp must be initialised (the replay runs the program in-process).
StillTargetResult measure_still_target(const StillTargetCase & still);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__STILL_TARGET_ACCURACY_HPP_
