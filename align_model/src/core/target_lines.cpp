#include "align_model/target_lines.hpp"

#include <cmath>

#include "align_model/angles.hpp"
#include "align_model/length_window.hpp"

namespace align_model
{
namespace
{

struct TouchingPair
{
  const tuw::LineSegment2D * first;
  const tuw::LineSegment2D * second;
};

// The pair ordered so that first ends where second starts; i's end against
// j's start is tried first and wins when both touch.
std::optional<TouchingPair> touching_pair(
  const tuw::LineSegment2D & i, const tuw::LineSegment2D & j, double max_distance)
{
  if (i.p1().distanceTo(j.p0()) < max_distance) {
    return TouchingPair{&i, &j};
  }
  if (i.p0().distanceTo(j.p1()) < max_distance) {
    return TouchingPair{&j, &i};
  }
  return std::nullopt;
}

}  // namespace

std::optional<TargetLines> find_target_lines(
  const std::vector<tuw::LineSegment2D> & lines, const TargetLineParameters & parameters,
  const TargetLineTrace & trace, PairCounts * counts)
{
  PairCounts seen;
  const double tolerance = std::fabs(parameters.target_angle * parameters.angle_error);
  double best = std::fabs(parameters.target_angle);
  std::optional<TargetLines> found;
  std::vector<std::size_t> candidates;
  segments_in_length_window(lines, parameters.min_line_len, parameters.max_line_len, candidates);
  for (std::size_t a = 0; a < candidates.size(); ++a) {
    for (std::size_t b = a + 1; b < candidates.size(); ++b) {
      ++seen.in_length_window;
      const std::size_t i = candidates[a];
      const std::size_t j = candidates[b];
      const auto pair = touching_pair(lines[i], lines[j], parameters.points_max_distance);
      if (!pair) {
        continue;
      }
      ++seen.near;
      const double error = normalize_angle(
        pair->second->angle() - pair->first->angle() - parameters.target_angle);
      if (trace.on_error) {
        trace.on_error(i, j, error);
      }
      seen.at_angle += std::fabs(error) <= tolerance ? 1 : 0;
      // <=: among equal errors the last pair in search order wins.
      if (std::fabs(error) <= tolerance && std::fabs(error) <= best) {
        found = TargetLines{*pair->first, *pair->second, i, j, error};
        best = std::fabs(error);
        if (trace.on_accept) {
          trace.on_accept(*found);
        }
      }
    }
  }
  if (counts) {
    *counts = seen;
  }
  return found;
}

}  // namespace align_model
