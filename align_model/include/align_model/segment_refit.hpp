#ifndef ALIGN_MODEL__SEGMENT_REFIT_HPP_
#define ALIGN_MODEL__SEGMENT_REFIT_HPP_

#include <cstddef>
#include <optional>
#include <vector>

#include "align_model/end_point_index.hpp"
#include "tuw_geometry/linesegment2d.hpp"
#include "tuw_geometry/point2d.hpp"

namespace align_model
{

// Distance below which a point of the list and a segment end are the same point.
constexpr double kEndPointMatchTolerance = 0.0001;

// The stretch of the point list that a segment was detected on: points
// first..last, both included.
struct SupportRun
{
  std::size_t first = 0;
  std::size_t last = 0;
};

// y = k x + b
struct LineFit
{
  double k = 0.0;
  double b = 0.0;
};

// A line through `centre` along the unit vector (ux, uy).
struct OrthogonalFit
{
  double cx = 0.0;
  double cy = 0.0;
  double ux = 1.0;
  double uy = 0.0;
};

// How each segment is refitted on its own points.
enum class RefitMethod
{
  // y = k x + b: x is taken as exact. Range noise lies almost along x for a
  // target behind the robot, so noisy plates come out flatter than they are.
  kLeastSquares,
  // Total least squares: minimises the perpendicular distances, so noise in
  // any direction leaves the line's direction unbiased.
  kOrthogonal,
};

// The first point within the tolerance of p0 and, from there on, the first
// within the tolerance of p1; empty when either is missing.
std::optional<SupportRun> find_support_run(
  const std::vector<tuw::Point2D> & points, const tuw::LineSegment2D & segment);

// Least-squares fit of y = k x + b over the run (Eigen ColPivHouseholderQR).
LineFit fit_line(const std::vector<tuw::Point2D> & points, const SupportRun & run);

// Orthogonal (total least squares) fit over the run: the line through the
// centroid along the principal direction of the points' scatter. Empty when
// the scatter has no principal direction (one point, or points spread
// evenly in every direction).
std::optional<OrthogonalFit> fit_line_orthogonal(const std::vector<tuw::Point2D> & points, const SupportRun & run);

// Moves both end points of the segment onto the fitted line (feet of the
// perpendiculars), through the four-value set().
void project_segment(const LineFit & fit, tuw::LineSegment2D & segment);
void project_segment(const OrthogonalFit & fit, tuw::LineSegment2D & segment);

// What the refit keeps from one scan to the next so that it need not allocate
// its end point lookup again for every scan. One per caller; not thread safe.
class RefitWorkspace
{
public:
  RefitWorkspace();

  // The support run of every segment, as find_support_run() gives it.
  std::optional<SupportRun> support_run(
    const std::vector<tuw::Point2D> & points, const tuw::LineSegment2D & segment);
  // Prepares the lookup for this point list and this many segments.
  void prepare(const std::vector<tuw::Point2D> & points, std::size_t segment_count);

private:
  EndPointIndex index_;
  bool indexed_ = false;
};

// Refits every segment in list order on its own support run. A segment whose
// ends match no support run keeps its detector end points.
void refit_segments(const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments);
void refit_segments(
  const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments,
  RefitWorkspace & workspace, RefitMethod method = RefitMethod::kLeastSquares);

}  // namespace align_model

#endif  // ALIGN_MODEL__SEGMENT_REFIT_HPP_
