#include "align_model/target_lines.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_model
{
namespace
{

bool length_in_window(const tuw::LineSegment2D & line, const TargetLineParameters & parameters)
{
  const double length = line.length();
  return parameters.min_line_len <= length && length <= parameters.max_line_len;
}

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
  const TargetLineTrace & trace)
{
  const double tolerance = std::fabs(parameters.target_angle * parameters.angle_error);
  double best = std::fabs(parameters.target_angle);
  std::optional<TargetLines> found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      if (!length_in_window(lines[i], parameters) || !length_in_window(lines[j], parameters)) {
        continue;
      }
      const auto pair = touching_pair(lines[i], lines[j], parameters.points_max_distance);
      if (!pair) {
        continue;
      }
      const double error = normalize_angle(
        pair->second->angle() - pair->first->angle() - parameters.target_angle);
      if (trace.on_error) {
        trace.on_error(i, j, error);
      }
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
  return found;
}

}  // namespace align_model
