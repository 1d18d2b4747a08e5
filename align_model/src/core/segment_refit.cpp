#include "align_model/segment_refit.hpp"

#include <Eigen/Dense>

namespace align_model
{
namespace
{

// Index of the first point at or after `from` within the tolerance of `end`.
std::optional<std::size_t> first_match(
  const std::vector<tuw::Point2D> & points, std::size_t from, const tuw::Point2D & end)
{
  for (std::size_t i = from; i < points.size(); ++i) {
    if (points[i].distanceTo(end) <= kEndPointMatchTolerance) {
      return i;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<SupportRun> find_support_run(
  const std::vector<tuw::Point2D> & points, const tuw::LineSegment2D & segment)
{
  const auto first = first_match(points, 0, segment.p0());
  if (!first) {
    return std::nullopt;
  }
  const auto last = first_match(points, *first, segment.p1());
  if (!last) {
    return std::nullopt;
  }
  return SupportRun{*first, *last};
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
  const auto first = index_.first_match(segment.p0(), 0);
  if (!first) {
    return std::nullopt;
  }
  const auto last = index_.first_match(segment.p1(), *first);
  if (!last) {
    return std::nullopt;
  }
  return SupportRun{*first, *last};
}

void refit_segments(const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments)
{
  RefitWorkspace workspace;
  refit_segments(points, segments, workspace);
}

void refit_segments(
  const std::vector<tuw::Point2D> & points, std::vector<tuw::LineSegment2D> & segments,
  RefitWorkspace & workspace)
{
  workspace.prepare(points, segments.size());
  for (tuw::LineSegment2D & segment : segments) {
    const auto run = workspace.support_run(points, segment);
    if (!run) {
      // Ends that are not points of this scan (possible at the end of the
      // list): keep what the detector found rather than fit on nothing.
      continue;
    }
    project_segment(fit_line(points, *run), segment);
  }
}

}  // namespace align_model
