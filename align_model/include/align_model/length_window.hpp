#ifndef ALIGN_MODEL__LENGTH_WINDOW_HPP_
#define ALIGN_MODEL__LENGTH_WINDOW_HPP_

#include <cstddef>
#include <vector>

#include "tuw_geometry/linesegment2d.hpp"

namespace align_model
{

// min_length <= length <= max_length; NaN fails.
bool length_in_window(const tuw::LineSegment2D & line, double min_length, double max_length);

// The indices, in list order, of the segments whose length is inside the
// window. The pair searches visit only pairs of these: a segment outside the
// window fails every pair it belongs to, and exchanging its end points (which
// the corner search does) leaves its length bit for bit unchanged, so the
// pairs left out are exactly those the length test would have skipped.
void segments_in_length_window(
  const std::vector<tuw::LineSegment2D> & lines, double min_length, double max_length,
  std::vector<std::size_t> & indices);

}  // namespace align_model

#endif  // ALIGN_MODEL__LENGTH_WINDOW_HPP_
