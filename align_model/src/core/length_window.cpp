#include "align_model/length_window.hpp"

namespace align_model
{

bool length_in_window(const tuw::LineSegment2D & line, double min_length, double max_length)
{
  const double length = line.length();
  return min_length <= length && length <= max_length;
}

void segments_in_length_window(
  const std::vector<tuw::LineSegment2D> & lines, double min_length, double max_length,
  std::vector<std::size_t> & indices)
{
  indices.clear();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (length_in_window(lines[i], min_length, max_length)) {
      if (indices.empty()) {
        // One allocation at most, and none when no segment qualifies.
        indices.reserve(lines.size() - i);
      }
      indices.push_back(i);
    }
  }
}

}  // namespace align_model
