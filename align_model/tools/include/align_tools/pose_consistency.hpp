// How believable a run's poses are without knowing the truth: poses that
// jump further from one scan to the next than a robot can move, and the
// scatter of the poses about their own short-term trend.
#ifndef ALIGN_TOOLS__POSE_CONSISTENCY_HPP_
#define ALIGN_TOOLS__POSE_CONSISTENCY_HPP_

#include <cstddef>
#include <vector>

#include "align_tools/replay_summary.hpp"
#include "builtin_interfaces/msg/time.hpp"

namespace align_tools
{

// What a docking robot can do between two scans, plus the scatter a pose
// may have on its own.
struct MotionLimits
{
  double max_speed = 1.0;  // m/s
  double max_turn_rate = 1.5;  // rad/s
  double position_slack = 0.05;  // m
  double heading_slack = 0.0872664626;  // rad, 5 degrees
};

struct PoseConsistency
{
  std::size_t scans = 0;
  std::size_t poses = 0;
  // Poses that moved further from the previous pose (of the scan before)
  // than the robot can move in between.
  std::size_t jumps = 0;
  // Residual sd about a straight-line trend over windows of `kTrendWindow`
  // consecutive poses (median over the windows): the scan-to-scan scatter
  // of a still or steadily moving target; negative when no window had enough
  // poses.
  double position_scatter = -1.0;  // m
  double heading_scatter = -1.0;  // rad
};

constexpr std::size_t kTrendWindow = 10;

// `stamps` are the scans' stamps, one per outcome.
PoseConsistency pose_consistency(
  const std::vector<ScanOutcome> & outcomes, const std::vector<builtin_interfaces::msg::Time> & stamps,
  const MotionLimits & limits = MotionLimits());

}  // namespace align_tools

#endif  // ALIGN_TOOLS__POSE_CONSISTENCY_HPP_
