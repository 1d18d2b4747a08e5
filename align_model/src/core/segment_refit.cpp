#include "align_model/segment_refit.hpp"

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
