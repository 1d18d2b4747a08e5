#include "align_model/segment_refit.hpp"

#include <cmath>

#include <Eigen/Dense>

namespace align_model
{
namespace
{

// p0's first match, then p1's first match from there on, through `first`
// (the walk or the index: both give the same answers).
template<typename FirstMatch>
std::optional<SupportRun> support_run_through(const tuw::LineSegment2D & segment, FirstMatch first)
{
  const auto p0_match = first(segment.p0(), 0);
  if (!p0_match) {
    return std::nullopt;
  }
  const auto p1_match = first(segment.p1(), *p0_match);
  if (!p1_match) {
    return std::nullopt;
  }
  return SupportRun{*p0_match, *p1_match};
}

}  // namespace

std::optional<SupportRun> find_support_run(
  const std::vector<tuw::Point2D> & points, const tuw::LineSegment2D & segment)
{
  return support_run_through(
    segment, [&points](const tuw::Point2D & end, std::size_t from) {
      return first_point_within(points, end, from, kEndPointMatchTolerance);
    });
}

LineFit fit_line(const std::vector<tuw::Point2D> & points, const SupportRun & run)
{
  const Eigen::Index rows = static_cast<Eigen::Index>(run.last - run.first + 1);
  Eigen::MatrixXd design(rows, 2);
  Eigen::VectorXd heights(rows);
  for (Eigen::Index row = 0; row < rows; ++row) {
    const tuw::Point2D & point = points[run.first + static_cast<std::size_t>(row)];
    design(row, 0) = point.x();
    design(row, 1) = 1.0;
    heights(row) = point.y();
  }
  const Eigen::VectorXd solution = Eigen::ColPivHouseholderQR<Eigen::MatrixXd>(design).solve(heights);
  return LineFit{solution(0), solution(1)};
}

std::optional<OrthogonalFit> fit_line_orthogonal(const std::vector<tuw::Point2D> & points, const SupportRun & run)
{
  const std::size_t count = run.last - run.first + 1;
  double cx = 0.0;
  double cy = 0.0;
  for (std::size_t i = run.first; i <= run.last; ++i) {
    cx += points[i].x();
    cy += points[i].y();
  }
  cx /= static_cast<double>(count);
  cy /= static_cast<double>(count);
  double sxx = 0.0;
  double syy = 0.0;
  double sxy = 0.0;
  for (std::size_t i = run.first; i <= run.last; ++i) {
    const double dx = points[i].x() - cx;
    const double dy = points[i].y() - cy;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  // The principal axis of the 2x2 scatter matrix in closed form; it is
  // undefined where the scatter is the same in every direction.
  const double spread = std::hypot(sxx - syy, 2.0 * sxy);
  if (!(spread > 1e-12 * (sxx + syy)) || !(sxx + syy > 0.0)) {
    return std::nullopt;
  }
  const double direction = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
  return OrthogonalFit{cx, cy, std::cos(direction), std::sin(direction)};
}

void project_segment(const OrthogonalFit & fit, tuw::LineSegment2D & segment)
{
  const double x0 = segment.x0();
  const double y0 = segment.y0();
  const double x1 = segment.x1();
  const double y1 = segment.y1();
  const double along0 = (x0 - fit.cx) * fit.ux + (y0 - fit.cy) * fit.uy;
  const double along1 = (x1 - fit.cx) * fit.ux + (y1 - fit.cy) * fit.uy;
  segment.set(
    fit.cx + along0 * fit.ux, fit.cy + along0 * fit.uy, fit.cx + along1 * fit.ux, fit.cy + along1 * fit.uy);
}

void project_segment(const LineFit & fit, tuw::LineSegment2D & segment)
{
  // Copied first: set() reads its reference arguments while it overwrites the
  // end points they refer to.
  const double x0 = segment.x0();
  const double y0 = segment.y0();
  const double x1 = segment.x1();
  const double y1 = segment.y1();
  const double k = fit.k;
  const double b = fit.b;
  const double s = k * k + 1.0;
  const double x0_projected = ((y0 - b) * k + x0) / s;
  const double y0_projected = x0_projected * k + b;
  const double x1_projected = ((y1 - b) * k + x1) / s;
  const double y1_projected = x1_projected * k + b;
  segment.set(x0_projected, y0_projected, x1_projected, y1_projected);
}

namespace
{

// Below this many segments walking the list costs less than indexing it.
constexpr std::size_t kIndexedSegmentCount = 4;

}  // namespace

RefitWorkspace::RefitWorkspace()
: index_(kEndPointMatchTolerance)
{
}

void RefitWorkspace::prepare(const std::vector<tuw::Point2D> & points, std::size_t segment_count)
{
  indexed_ = segment_count >= kIndexedSegmentCount;
  if (indexed_) {
    index_.build(points);
  }
}

std::optional<SupportRun> RefitWorkspace::support_run(
  const std::vector<tuw::Point2D> & points, const tuw::LineSegment2D & segment)
{
  if (!indexed_) {
    return find_support_run(points, segment);
  }
  // The same first matches as the search from the list start, found through
  // the index: with many segments that search dominated the whole scan.
  return support_run_through(
    segment, [this](const tuw::Point2D & end, std::size_t from) {return index_.first_match(end, from);});
}

void refit_segments(const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments)
{
  RefitWorkspace workspace;
  refit_segments(points, segments, workspace);
}

void refit_segments(
  const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments,
  RefitWorkspace & workspace, RefitMethod method)
{
  workspace.prepare(points, segments.size());
  for (tuw::LineSegment2D & segment : segments) {
    const auto run = workspace.support_run(points, segment);
    if (!run) {
      // Ends that are not points of this scan (possible at the end of the
      // list): keep what the detector found rather than fit on nothing.
      continue;
    }
    if (method == RefitMethod::kLeastSquares) {
      project_segment(fit_line(points, *run), segment);
    } else if (const auto fit = fit_line_orthogonal(points, *run)) {
      project_segment(*fit, segment);
    }
  }
}

}  // namespace align_model
