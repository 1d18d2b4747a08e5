#ifndef DETECTOR_TEST_SUPPORT_HPP_
#define DETECTOR_TEST_SUPPORT_HPP_

#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "tuw_geometry/linesegment2d_detector.hpp"

namespace detector_test
{

inline std::uint64_t bits_of(double value)
{
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

using PointBits = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;

inline PointBits bits_of(const tuw::Point2D & p)
{
  return PointBits(bits_of(p.x()), bits_of(p.y()), bits_of(p.h()));
}

using IndexPairs = std::vector<std::pair<int, int>>;

// The segments as (index of p0, index of p1) pairs, in output order, where an index is that
// of the first input point equal bit for bit (-1 if none); this pins both the order and the
// end points exactly.
inline IndexPairs end_indices(
  const std::vector<tuw::Point2D> & points, const std::vector<tuw::LineSegment2D> & segments)
{
  std::map<PointBits, int> first_index;
  for (std::size_t i = 0; i < points.size(); ++i) {
    first_index.emplace(bits_of(points[i]), static_cast<int>(i));
  }
  const auto index_of = [&first_index](const tuw::Point2D & p) {
      const auto found = first_index.find(bits_of(p));
      return found == first_index.end() ? -1 : found->second;
    };
  IndexPairs pairs;
  for (const tuw::LineSegment2D & segment : segments) {
    pairs.emplace_back(index_of(segment.p0()), index_of(segment.p1()));
  }
  return pairs;
}

inline tuw::LineSegment2DDetectorParameter parameters(
  bool neighbor, double split, double min_length, int min_points_per_line, int min_points_per_unit)
{
  tuw::LineSegment2DDetectorParameter p;
  p.threshold_split_neighbor = neighbor;
  p.threshold_split = split;
  p.min_length = min_length;
  p.min_points_per_line = min_points_per_line;
  p.min_points_per_unit = min_points_per_unit;
  return p;
}

inline tuw::LineSegment2DDetectorParameter node_defaults()
{
  return parameters(true, 0.01, 0.05, 5, 5);
}

// Accepts every piece that needs no split, so that tests see the grouping and splitting alone.
inline tuw::LineSegment2DDetectorParameter accept_all(double split = 0.01, int min_points_per_line = 0)
{
  return parameters(true, split, 0.0, min_points_per_line, 0);
}

inline std::vector<tuw::LineSegment2D> detect(
  const std::vector<tuw::Point2D> & points, const tuw::LineSegment2DDetectorParameter & config)
{
  tuw::LineSegment2DDetector detector;
  detector.config_ = config;
  std::vector<tuw::LineSegment2D> segments;
  detector.start(points, segments);
  return segments;
}

inline std::vector<tuw::Point2D> on_x_axis(const std::vector<double> & xs)
{
  std::vector<tuw::Point2D> points;
  for (double x : xs) {
    points.emplace_back(x, 0.0);
  }
  return points;
}

}  // namespace detector_test

#endif  // DETECTOR_TEST_SUPPORT_HPP_
