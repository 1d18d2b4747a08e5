#ifndef ALIGN_MODEL__TARGET_LINES_HPP_
#define ALIGN_MODEL__TARGET_LINES_HPP_

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "tuw_geometry/linesegment2d.hpp"

namespace align_model
{

struct TargetLineParameters
{
  double points_max_distance = 0.03;
  double min_line_len = 0.1;
  double max_line_len = 0.07;
  double target_angle = 1.047;
  double angle_error = 0.2;
};

// The pair with the smallest angle error (the last one among equals): line a
// ends where line b starts.
struct TargetLines
{
  tuw::LineSegment2D a;
  tuw::LineSegment2D b;
  std::size_t i = 0;
  std::size_t j = 0;
  double error = 0.0;
};

// Optional diagnostics of the line program's search (DEBUG lines in the node).
struct TargetLineTrace
{
  // indices i, j and the wrapped angle error in radians
  std::function<void(std::size_t i, std::size_t j, double error)> on_error;
  // a pair was accepted as the best so far
  std::function<void(const TargetLines & best)> on_accept;
};

// `counts`, when given, receives how far the pairs got (for the detection
// funnel): touching pairs count as near, pairs within the tolerance as at the
// angle.
std::optional<TargetLines> find_target_lines(
  const std::vector<tuw::LineSegment2D> & lines, const TargetLineParameters & parameters,
  const TargetLineTrace & trace = {}, PairCounts * counts = nullptr);

struct TargetPose
{
  double x = 0.0;
  double y = 0.0;
  double theta = 0.0;
};

// Crossing of the infinite lines through a and b with the heading rule of
// angle_type (>= 0: bisector, < 0: towards the origin), negated when
// anti_pose_angle is set. Empty when the lines are parallel (|D| < 1e-5).
std::optional<TargetPose> compute_target_pose(
  const tuw::LineSegment2D & a, const tuw::LineSegment2D & b, int angle_type, bool anti_pose_angle);

}  // namespace align_model

#endif  // ALIGN_MODEL__TARGET_LINES_HPP_
