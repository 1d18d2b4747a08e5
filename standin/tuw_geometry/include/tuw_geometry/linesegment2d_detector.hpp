#ifndef TUW_GEOMETRY__LINESEGMENT2D_DETECTOR_HPP_
#define TUW_GEOMETRY__LINESEGMENT2D_DETECTOR_HPP_

#include <memory>
#include <utility>
#include <vector>

#include "tuw_geometry/linesegment2d.hpp"

namespace tuw
{

class LineSegment2DDetectorParameter
{
public:
  LineSegment2DDetectorParameter();
  // A switch, not a distance: cut the point list where a gap grows more than 4x.
  bool threshold_split_neighbor;
  // A piece whose farthest point lies further from its chord than this is split there.
  double threshold_split;
  double min_length;
  // A split piece is kept only if it spans more than this many index steps.
  int min_points_per_line;
  int min_points_per_unit;
};

using LineSegment2DDetectorParameterPtr = std::shared_ptr<LineSegment2DDetectorParameter>;
using LineSegment2DDetectorParameterConstPtr = std::shared_ptr<const LineSegment2DDetectorParameter>;

// Finds straight segments in an ordered point list: cuts the list into runs of
// neighbouring points, then splits each run recursively at its farthest point.
// Segment ends are always copies of input points; nothing is fitted or merged.
class LineSegment2DDetector
{
public:
  // A detected segment together with the indices of its first and last point.
  class LineSegment : public LineSegment2D
  {
public:
    LineSegment();
    // Stores the indices and spans the segment from points[idx0] to points[idx1].
    LineSegment & set(unsigned int idx0, unsigned int idx1, const std::vector<Point2D> & points);
    // idx1 - idx0 + 2: one more than the points really covered, as the density test counts.
    unsigned int nrSupportPoint() const;
    bool isSupportPoint(int idx) const;
    // Copies points idx0_..idx1_ into points_, if idx0_ < idx1_ < points.size().
    void updatePoints(const std::vector<Point2D> & points);

    unsigned int id_;
    unsigned int idx0_;
    unsigned int idx1_;
    std::vector<Point2D> points_;
  };

  LineSegment2DDetector();

  // Read on every start(); assign to reconfigure.
  LineSegment2DDetectorParameter config_;

  // Appends the segments found in points to detected_segments (which is not cleared).
  std::vector<LineSegment2D> & start(
    const std::vector<Point2D> & points, std::vector<LineSegment2D> & detected_segments);
  // Detects and keeps the segments in result() only.
  void start(const std::vector<Point2D> & points);
  // Segments of the last start(), in detection order.
  const std::vector<LineSegment> & result();

private:
  using IndexRange = std::pair<unsigned int, unsigned int>;

  void find_connected_ranges(const std::vector<Point2D> & points);
  void split_range(const std::vector<Point2D> & points, const IndexRange & range);
  bool accept_piece(const LineSegment2D & piece, unsigned int i0, unsigned int i1) const;

  std::vector<IndexRange> connected_point_ranges_;
  std::vector<LineSegment> segments_;
  // Storage kept between calls so that a steady stream of scans stops allocating.
  std::vector<IndexRange> pending_;
  std::vector<std::vector<Point2D>> spare_points_;
};

}  // namespace tuw

#endif  // TUW_GEOMETRY__LINESEGMENT2D_DETECTOR_HPP_
