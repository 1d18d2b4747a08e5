#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/segment_refit.hpp"

namespace
{

using align_model::fit_line;
using align_model::fit_line_orthogonal;
using align_model::RefitMethod;
using align_model::RefitWorkspace;
using align_model::find_support_run;
using align_model::LineFit;
using align_model::refit_segments;
using align_model::SupportRun;
using tuw::LineSegment2D;
using tuw::Point2D;

const std::vector<Point2D> kRun{Point2D(0.0, 0.0), Point2D(1.0, 1.1), Point2D(2.0, 1.9),
  Point2D(3.0, 3.0)};

TEST(SegmentRefit, WorkedExample)
{
  const LineFit fit = fit_line(kRun, SupportRun{0, 3});
  EXPECT_NEAR(fit.k, 0.98, 1e-12);
  EXPECT_NEAR(fit.b, 0.03, 1e-12);

  std::vector<LineSegment2D> segments{LineSegment2D(0.0, 0.0, 3.0, 3.0)};
  refit_segments(kRun, segments);
  EXPECT_NEAR(segments[0].x0(), -0.014997, 5e-7);
  EXPECT_NEAR(segments[0].y0(), 0.015303, 5e-7);
  EXPECT_NEAR(segments[0].x1(), 3.014997, 5e-7);
  EXPECT_NEAR(segments[0].y1(), 2.984697, 5e-7);
}

TEST(SegmentRefit, SupportRunStartsAtListStartForEverySegment)
{
  // The second segment's ends come before the first one's in the list.
  const std::vector<Point2D> points{Point2D(5.0, 0.0), Point2D(6.0, 0.0), Point2D(0.0, 0.0),
    Point2D(1.0, 1.0), Point2D(2.0, 2.00005)};
  const auto first = find_support_run(points, LineSegment2D(0.0, 0.0, 2.0, 2.0));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->first, 2u);
  EXPECT_EQ(first->last, 4u);
  const auto second = find_support_run(points, LineSegment2D(5.0, 0.0, 6.0, 0.0));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->first, 0u);
  EXPECT_EQ(second->last, 1u);
}

TEST(SegmentRefit, EndPointsMatchWithinTolerance)
{
  const std::vector<Point2D> points{Point2D(0.0, 0.0), Point2D(1.0, 0.0)};
  EXPECT_TRUE(find_support_run(points, LineSegment2D(0.0, 0.0, 1.0, 0.0001)));
  EXPECT_FALSE(find_support_run(points, LineSegment2D(0.0, 0.0, 1.0, 0.00011)));
}

TEST(SegmentRefit, SinglePointRunGivesBasicSolution)
{
  // One equation, two unknowns: the pivot column takes the whole solution.
  const std::vector<Point2D> steep{Point2D(2.0, 3.0)};
  const LineFit slope_only = fit_line(steep, SupportRun{0, 0});
  EXPECT_DOUBLE_EQ(slope_only.k, 1.5);
  EXPECT_EQ(slope_only.b, 0.0);

  const std::vector<Point2D> near_axis{Point2D(0.5, 3.0)};
  const LineFit intercept_only = fit_line(near_axis, SupportRun{0, 0});
  EXPECT_EQ(intercept_only.k, 0.0);
  EXPECT_DOUBLE_EQ(intercept_only.b, 3.0);

  // A zero-length segment on that point is projected onto y = 3.
  std::vector<LineSegment2D> segments{LineSegment2D(0.5, 3.0, 0.5, 3.0)};
  refit_segments(near_axis, segments);
  EXPECT_DOUBLE_EQ(segments[0].x0(), 0.5);
  EXPECT_DOUBLE_EQ(segments[0].y0(), 3.0);
}

TEST(SegmentRefit, UnmatchedEndsKeepDetectorPoints)
{
  const LineSegment2D unmatched_start(10.0, 10.0, 3.0, 3.0);
  // p1 matches only before p0's match.
  const LineSegment2D end_before_start(3.0, 3.0, 0.0, 0.0);
  const LineSegment2D unmatched_end(0.0, 0.0, 7.0, 7.0);
  const std::vector<LineSegment2D> originals{unmatched_start, end_before_start, unmatched_end};
  std::vector<LineSegment2D> segments = originals;
  EXPECT_FALSE(find_support_run(kRun, end_before_start));
  refit_segments(kRun, segments);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const LineSegment2D & original = originals[i];
    EXPECT_EQ(segments[i].x0(), original.x0()) << i;
    EXPECT_EQ(segments[i].y0(), original.y0()) << i;
    EXPECT_EQ(segments[i].x1(), original.x1()) << i;
    EXPECT_EQ(segments[i].y1(), original.y1()) << i;
  }
  // Nothing to refit on an empty list.
  refit_segments({}, segments);
  EXPECT_EQ(segments[0].x0(), 10.0);
}

TEST(SegmentRefit, StraightRunLeavesSegmentOnIt)
{
  const std::vector<Point2D> points{Point2D(0.0, 1.0), Point2D(1.0, 1.5), Point2D(2.0, 2.0)};
  std::vector<LineSegment2D> segments{LineSegment2D(0.0, 1.0, 2.0, 2.0)};
  refit_segments(points, segments);
  EXPECT_NEAR(segments[0].x0(), 0.0, 1e-12);
  EXPECT_NEAR(segments[0].y0(), 1.0, 1e-12);
  EXPECT_NEAR(segments[0].x1(), 2.0, 1e-12);
  EXPECT_NEAR(segments[0].y1(), 2.0, 1e-12);
}

TEST(SegmentRefit, VerticalRunStillGivesFiniteEnds)
{
  const std::vector<Point2D> points{Point2D(1.0, 0.0), Point2D(1.0, 0.5), Point2D(1.0, 1.0)};
  std::vector<LineSegment2D> segments{LineSegment2D(1.0, 0.0, 1.0, 1.0)};
  refit_segments(points, segments);
  EXPECT_TRUE(std::isfinite(segments[0].x0()));
  EXPECT_TRUE(std::isfinite(segments[0].y0()));
  EXPECT_TRUE(std::isfinite(segments[0].x1()));
  EXPECT_TRUE(std::isfinite(segments[0].y1()));
}

// A plate 0.3 m long at 60 degrees to x, seen with noise along x only (the
// direction of the beams for a target behind the robot).
std::vector<Point2D> plate_with_noise_along_x(double sigma, int count)
{
  std::vector<Point2D> points;
  unsigned long long state = 12345;
  const auto uniform = [&state]() {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    };
  for (int i = 0; i < count; ++i) {
    const double s = 0.3 * i / (count - 1);
    const double gaussian = std::sqrt(-2.0 * std::log(uniform())) * std::cos(6.283185307179586 * uniform());
    points.emplace_back(0.5 * s + sigma * gaussian, std::sqrt(3.0) / 2.0 * s);
  }
  return points;
}

double direction_in_degrees(const LineSegment2D & segment)
{
  return std::atan2(segment.y1() - segment.y0(), segment.x1() - segment.x0()) * 180.0 / 3.141592653589793;
}

TEST(OrthogonalRefit, RemovesTheFlatteningOfRangeNoise)
{
  const std::vector<Point2D> points = plate_with_noise_along_x(0.02, 400);
  std::vector<LineSegment2D> least_squares{LineSegment2D(points.front().x(), points.front().y(),
      points.back().x(), points.back().y())};
  std::vector<LineSegment2D> orthogonal = least_squares;
  RefitWorkspace workspace;
  refit_segments(points, least_squares, workspace, RefitMethod::kLeastSquares);
  refit_segments(points, orthogonal, workspace, RefitMethod::kOrthogonal);
  // y-on-x shrinks the slope by var(x) / (var(x) + sigma^2): about 5 degrees
  // here; the orthogonal fit keeps only the small bias of one-axis noise.
  EXPECT_LT(direction_in_degrees(least_squares[0]), 60.0 - 3.5);
  EXPECT_NEAR(direction_in_degrees(orthogonal[0]), 60.0, 2.0);
}

TEST(OrthogonalRefit, HandlesLinesThatYOnXCannotRepresent)
{
  const std::vector<Point2D> points{Point2D(1.0, 0.0), Point2D(1.0, 0.5), Point2D(1.001, 1.0)};
  const auto fit = fit_line_orthogonal(points, SupportRun{0, 2});
  ASSERT_TRUE(fit);
  EXPECT_NEAR(std::fabs(fit->uy), 1.0, 1e-5);
  std::vector<LineSegment2D> segments{LineSegment2D(1.0, 0.0, 1.001, 1.0)};
  RefitWorkspace workspace;
  refit_segments(points, segments, workspace, RefitMethod::kOrthogonal);
  EXPECT_NEAR(segments[0].x0(), 1.0, 1e-3);
  EXPECT_NEAR(segments[0].x1(), 1.0, 1e-3);
  EXPECT_NEAR(segments[0].length(), 1.0, 1e-3);
}

TEST(OrthogonalRefit, KeepsTheSegmentWhereTheRunHasNoDirection)
{
  const std::vector<Point2D> single{Point2D(0.5, 0.5)};
  EXPECT_FALSE(fit_line_orthogonal(single, SupportRun{0, 0}));
  // A square's corners scatter alike in every direction.
  const std::vector<Point2D> square{Point2D(0.0, 0.0), Point2D(1.0, 0.0), Point2D(1.0, 1.0), Point2D(0.0, 1.0)};
  EXPECT_FALSE(fit_line_orthogonal(square, SupportRun{0, 3}));
  std::vector<LineSegment2D> segments{LineSegment2D(0.0, 0.0, 0.0, 1.0)};
  RefitWorkspace workspace;
  refit_segments(square, segments, workspace, RefitMethod::kOrthogonal);
  EXPECT_EQ(segments[0].x0(), 0.0);
  EXPECT_EQ(segments[0].y1(), 1.0);
}

TEST(OrthogonalRefit, ExactLineStaysPut)
{
  const std::vector<Point2D> points{Point2D(0.0, 1.0), Point2D(1.0, 1.5), Point2D(2.0, 2.0)};
  std::vector<LineSegment2D> segments{LineSegment2D(0.0, 1.0, 2.0, 2.0)};
  RefitWorkspace workspace;
  refit_segments(points, segments, workspace, RefitMethod::kOrthogonal);
  EXPECT_NEAR(segments[0].x0(), 0.0, 1e-12);
  EXPECT_NEAR(segments[0].y0(), 1.0, 1e-12);
  EXPECT_NEAR(segments[0].x1(), 2.0, 1e-12);
  EXPECT_NEAR(segments[0].y1(), 2.0, 1e-12);
}

}  // namespace
