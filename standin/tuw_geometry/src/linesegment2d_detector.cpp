#include "tuw_geometry/linesegment2d_detector.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tuw
{

namespace
{

// A run shorter than this never yields a segment.
constexpr unsigned int kMinRunPoints = 4;

// Several quantities are compared as float on purpose: results depend on that rounding.
// static_cast<float> of a finite double beyond the float range is undefined, so that case
// is rounded here the way IEEE 754 does it (round to nearest: FLT_MAX or infinity).
float round_to_float(double value)
{
  if (!std::isfinite(value) || std::fabs(value) <= static_cast<double>(FLT_MAX)) {
    return static_cast<float>(value);
  }
  // Half a unit in the last place of FLT_MAX; a tie goes to infinity (even mantissa).
  const double limit = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
  const float rounded = std::fabs(value) < limit ? FLT_MAX : std::numeric_limits<float>::infinity();
  return std::signbit(value) ? -rounded : rounded;
}

float gap_after(const std::vector<Point2D> & points, unsigned int i)
{
  return round_to_float(points[i].distanceTo(points[i + 1]));
}

// Indices are 32-bit unsigned so that the sums with min_points_per_line wrap as in the
// original; a list longer than that range (never a laser scan) is cut to it.
unsigned int usable_point_count(const std::vector<Point2D> & points)
{
  return static_cast<unsigned int>(
    std::min<std::size_t>(points.size(), std::numeric_limits<unsigned int>::max()));
}

// Squared distance of points to one piece, the same arithmetic as
// LineSegment2D::distanceTo() without the square root and the calls, so that the
// split search can skip the root for every point that cannot be a new maximum.
class PieceDistance
{
public:
  explicit PieceDistance(const LineSegment2D & piece)
  : x0_(piece.x0()), y0_(piece.y0()),
    px_(piece.x1() - piece.x0()), py_(piece.y1() - piece.y0()),
    l2_(px_ * px_ + py_ * py_)
  {
  }

  double squared(const Point2D & p) const
  {
    double u = ((p.x() - x0_) * px_ + (p.y() - y0_) * py_) / l2_;
    if (u > 1.0) {
      u = 1.0;
    } else if (u < 0.0) {
      u = 0.0;
    }
    const double dx = (x0_ + u * px_) - p.x();
    const double dy = (y0_ + u * py_) - p.y();
    return dx * dx + dy * dy;
  }

private:
  double x0_;
  double y0_;
  double px_;
  double py_;
  double l2_;
};

// Index of the first point of [i0, i1) farthest from the piece, and that
// distance rounded to float; i0 and 0 when no point lies off the piece.
//
// The rounded root is monotone in the squared distance, so a point whose
// squared distance is not above that of the current maximum cannot round to a
// strictly larger float: only the others pay for a root. Ties in float keep the
// first point, NaN never wins, as with the plain comparison of rounded roots.
std::pair<unsigned int, float> farthest_point(
  const std::vector<Point2D> & points, const LineSegment2D & piece, unsigned int i0, unsigned int i1)
{
  const PieceDistance distance_to(piece);
  float distance_max = 0.0f;
  double squared_max = 0.0;
  unsigned int i_max = i0;
  for (unsigned int i = i0; i < i1; ++i) {
    const double squared = distance_to.squared(points[i]);
    if (!(squared > squared_max)) {
      continue;
    }
    const float distance = round_to_float(std::sqrt(squared));
    if (distance > distance_max) {
      distance_max = distance;
      squared_max = squared;
      i_max = i;
    }
  }
  return {i_max, distance_max};
}

}  // namespace

LineSegment2DDetectorParameter::LineSegment2DDetectorParameter()
: threshold_split_neighbor(true),
  threshold_split(0.05),
  min_length(0.1),
  min_points_per_line(20),
  min_points_per_unit(10)
{
}

LineSegment2DDetector::LineSegment::LineSegment()
: LineSegment2D(), id_(0), idx0_(0), idx1_(0), points_()
{
}

LineSegment2DDetector::LineSegment & LineSegment2DDetector::LineSegment::set(
  unsigned int idx0, unsigned int idx1, const std::vector<Point2D> & points)
{
  idx0_ = idx0;
  idx1_ = idx1;
  // Through the constructor so that the end points are exact copies, h included.
  static_cast<LineSegment2D &>(*this) = LineSegment2D(points[idx0], points[idx1]);
  return *this;
}

unsigned int LineSegment2DDetector::LineSegment::nrSupportPoint() const
{
  return idx1_ - idx0_ + 2;
}

bool LineSegment2DDetector::LineSegment::isSupportPoint(int idx) const
{
  return idx >= 0 && static_cast<unsigned int>(idx) >= idx0_ && static_cast<unsigned int>(idx) <= idx1_;
}

void LineSegment2DDetector::LineSegment::updatePoints(const std::vector<Point2D> & points)
{
  points_.clear();
  if (idx0_ < idx1_ && idx1_ < points.size()) {
    points_.assign(points.begin() + idx0_, points.begin() + idx1_ + 1);
  }
}

LineSegment2DDetector::LineSegment2DDetector() = default;

std::vector<LineSegment2D> & LineSegment2DDetector::start(
  const std::vector<Point2D> & points, std::vector<LineSegment2D> & detected_segments)
{
  start(points);
  detected_segments.reserve(detected_segments.size() + segments_.size());
  for (const LineSegment & segment : segments_) {
    detected_segments.push_back(static_cast<const LineSegment2D &>(segment));
  }
  return detected_segments;
}

void LineSegment2DDetector::start(const std::vector<Point2D> & points)
{
  connected_point_ranges_.clear();
  // The point copies of the last result keep their storage for the next one.
  for (LineSegment & segment : segments_) {
    if (segment.points_.capacity() > 0) {
      spare_points_.push_back(std::move(segment.points_));
    }
  }
  segments_.clear();
  find_connected_ranges(points);
  for (const IndexRange & range : connected_point_ranges_) {
    split_range(points, range);
  }
}

const std::vector<LineSegment2DDetector::LineSegment> & LineSegment2DDetector::result()
{
  return segments_;
}

// A run grows while each gap is at most four times the gap before it; the gap between a
// run's first two points is never tested.
//
// The original also tests the gap from the last point to the element after the end of the
// list, reading memory it does not own, so its last run may end at a point that is not in
// the list. The end of the list is treated as a cut instead: a run ends at the last point
// at the latest and is kept only with at least four points, which is what the original
// gives whenever that stray memory lies far away.
void LineSegment2DDetector::find_connected_ranges(const std::vector<Point2D> & points)
{
  const unsigned int n = usable_point_count(points);
  if (n < kMinRunPoints) {
    return;
  }
  if (!config_.threshold_split_neighbor) {
    connected_point_ranges_.emplace_back(0u, n - 1);
    return;
  }
  unsigned int first = 0;
  while (first <= n - kMinRunPoints) {
    float threshold = round_to_float(4.0 * points[first + 1].distanceTo(points[first + 2]));
    unsigned int last = first + 1;
    while (last < n - 1) {
      const float gap = gap_after(points, last);
      if (gap > threshold) {
        break;
      }
      threshold = 4.0f * gap;
      ++last;
    }
    if (last - first > 2) {
      connected_point_ranges_.emplace_back(first, last);
    }
    first = last + 1;
  }
}

// Splits at the point farthest from the chord until every piece is straight enough.
// Depth first, left piece first, as the original's recursion; a work list instead of
// recursion because a long run can need as many levels as it has points.
//
// A negative threshold_split is treated as 0. In the original no piece ever passes a
// negative threshold, and a piece whose points all lie exactly on its chord is split at its
// own first point into itself again, recursing until the stack overflows. With 0 every
// piece with a point off its chord is split at the same point as before, and pieces on
// their chord are accepted instead of looping.
//
// Why the work always ends: a split needs a distance above 0; the first point of a piece is
// exactly 0 (or NaN) from its own segment and the last is not scanned, so the split point
// lies strictly inside and both halves are shorter, whatever min_points_per_line wraps to.
void LineSegment2DDetector::split_range(const std::vector<Point2D> & points, const IndexRange & range)
{
  const unsigned int min_steps = static_cast<unsigned int>(config_.min_points_per_line);
  const double threshold = config_.threshold_split < 0.0 ? 0.0 : config_.threshold_split;
  std::vector<IndexRange> & pending = pending_;
  pending.assign(1, range);
  while (!pending.empty()) {
    const auto [i0, i1] = pending.back();
    pending.pop_back();
    const LineSegment2D piece(points[i0], points[i1]);
    const auto [i_max, distance_max] = farthest_point(points, piece, i0, i1);
    if (static_cast<double>(distance_max) > threshold) {
      // Pushed right first so that the left piece and all it produces come out first.
      if (i_max + min_steps < i1) {
        pending.emplace_back(i_max, i1);
      }
      if (i0 + min_steps < i_max) {
        pending.emplace_back(i0, i_max);
      }
    } else if (accept_piece(piece, i0, i1)) {
      LineSegment segment;
      if (!spare_points_.empty()) {
        segment.points_ = std::move(spare_points_.back());
        spare_points_.pop_back();
      }
      segment.set(i0, i1, points);
      segment.id_ = static_cast<unsigned int>(segments_.size());
      segment.updatePoints(points);
      segments_.push_back(std::move(segment));
    }
  }
}

bool LineSegment2DDetector::accept_piece(const LineSegment2D & piece, unsigned int i0, unsigned int i1) const
{
  const double length = piece.length();
  if (length < config_.min_length) {
    return false;
  }
  // Counts one point more than the piece has; kept because it decides borderline pieces.
  const double support_points = static_cast<double>(static_cast<float>(i1 - i0 + 2));
  return !(support_points / length < static_cast<double>(config_.min_points_per_unit));
}

}  // namespace tuw
