#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "detector_test_support.hpp"

namespace
{

using detector_test::IndexPairs;
using detector_test::accept_all;
using detector_test::detect;
using detector_test::end_indices;
using detector_test::node_defaults;
using detector_test::on_x_axis;
using detector_test::parameters;
using tuw::LineSegment2D;
using tuw::LineSegment2DDetector;
using tuw::LineSegment2DDetectorParameter;
using tuw::Point2D;

// --- configuration -------------------------------------------------------------------

TEST(DetectorConfiguration, LibraryDefaultsInDeclarationOrder)
{
  const LineSegment2DDetectorParameter p;
  EXPECT_TRUE(p.threshold_split_neighbor);
  EXPECT_EQ(p.threshold_split, 0.05);
  EXPECT_EQ(p.min_length, 0.1);
  EXPECT_EQ(p.min_points_per_line, 20);
  EXPECT_EQ(p.min_points_per_unit, 10);
  EXPECT_EQ(sizeof(LineSegment2DDetectorParameter), 32u);
  EXPECT_LT(offsetof(LineSegment2DDetectorParameter, threshold_split_neighbor),
    offsetof(LineSegment2DDetectorParameter, threshold_split));
  EXPECT_LT(offsetof(LineSegment2DDetectorParameter, min_length),
    offsetof(LineSegment2DDetectorParameter, min_points_per_line));

  const LineSegment2DDetector detector;
  EXPECT_EQ(detector.config_.min_points_per_line, 20);
}

TEST(DetectorConfiguration, ReassigningTheConfigurationTakesEffectAtTheNextCall)
{
  const auto points = on_x_axis({0.0, 0.01, 0.02, 0.03});
  LineSegment2DDetector detector;
  detector.config_ = node_defaults();
  std::vector<LineSegment2D> segments;
  detector.start(points, segments);
  EXPECT_TRUE(segments.empty());
  detector.config_.min_length = 0.02;
  detector.start(points, segments);
  EXPECT_EQ(end_indices(points, segments), (IndexPairs{{0, 3}}));
}

// --- output list -----------------------------------------------------------------------

TEST(DetectorOutput, StartAppendsAndReturnsTheGivenList)
{
  const auto points = on_x_axis({0.0, 0.25, 0.5, 0.75});
  LineSegment2DDetector detector;
  detector.config_ = node_defaults();
  const LineSegment2D earlier(9.0, 9.0, 8.0, 8.0);
  std::vector<LineSegment2D> segments{earlier};

  std::vector<LineSegment2D> & returned = detector.start(points, segments);
  EXPECT_EQ(&returned, &segments);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0], earlier);
  EXPECT_EQ(segments[1], LineSegment2D(points[0], points[3]));

  detector.start(points, segments);
  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[2], segments[1]);
}

TEST(DetectorOutput, EmptyAndTinyListsLeaveTheOutputUntouched)
{
  const LineSegment2D earlier(1.0, 2.0, 3.0, 4.0);
  for (std::size_t n = 0; n <= 3; ++n) {
    for (bool neighbor : {true, false}) {
      std::vector<Point2D> points;
      for (std::size_t i = 0; i < n; ++i) {
        points.emplace_back(0.5 * static_cast<double>(i), 0.0);
      }
      LineSegment2DDetector detector;
      detector.config_ = parameters(neighbor, 0.01, 0.0, 0, 0);
      std::vector<LineSegment2D> segments{earlier};
      detector.start(points, segments);
      ASSERT_EQ(segments.size(), 1u) << n << " points, neighbour flag " << neighbor;
      EXPECT_EQ(segments[0], earlier);
    }
  }
}

TEST(DetectorOutput, ResultKeepsIndicesAndSupportPoints)
{
  std::vector<Point2D> points{Point2D(0.0, 0.0, 3.0)};
  for (int i = 1; i < 20; ++i) {
    points.emplace_back(i < 11 ? 0.0 : 0.02 * (i - 10), i < 11 ? -0.02 * i : -0.2);
  }
  LineSegment2DDetector detector;
  detector.config_ = node_defaults();
  detector.start(points);
  const auto & result = detector.result();
  ASSERT_EQ(result.size(), 2u);
  EXPECT_EQ(result[0].id_, 0u);
  EXPECT_EQ(result[0].idx0_, 0u);
  EXPECT_EQ(result[0].idx1_, 10u);
  EXPECT_EQ(result[0].nrSupportPoint(), 12u);
  EXPECT_EQ(result[0].p0().h(), 3.0);  // end points are exact copies, h included
  EXPECT_EQ(result[0].points_.size(), 11u);
  EXPECT_TRUE(result[0].isSupportPoint(10));
  EXPECT_FALSE(result[0].isSupportPoint(11));
  EXPECT_FALSE(result[0].isSupportPoint(-1));
  EXPECT_EQ(result[1].id_, 1u);
  EXPECT_EQ(result[1].idx0_, 10u);
  EXPECT_EQ(result[1].idx1_, 19u);
}

// --- grouping into runs ----------------------------------------------------------------

TEST(DetectorGrouping, AGapOfExactlyFourTimesThePreviousDoesNotCut)
{
  EXPECT_EQ(
    end_indices(on_x_axis({0, 1, 2, 3, 7, 8, 9}), detect(on_x_axis({0, 1, 2, 3, 7, 8, 9}), accept_all())),
    (IndexPairs{{0, 6}}));
  const auto cut = on_x_axis({0, 1, 2, 3, 7.5, 8.5, 9.5, 10.5});
  EXPECT_EQ(end_indices(cut, detect(cut, accept_all())), (IndexPairs{{0, 3}, {4, 7}}));
}

TEST(DetectorGrouping, GapsAreComparedAfterRoundingToFloat)
{
  // 4.000000000001 > 4 * 1 in double, but not once rounded to float.
  const auto points = on_x_axis({0, 1, 2, 6.000000000001, 7.000000000001, 8.000000000001});
  EXPECT_EQ(end_indices(points, detect(points, accept_all())), (IndexPairs{{0, 5}}));
}

TEST(DetectorGrouping, AZeroGapCutsAtTheNextPositiveGap)
{
  // P2 and P3 are equal, so the result's indices tell which of them a segment ends at.
  LineSegment2DDetector detector;
  detector.config_ = accept_all();
  detector.start(on_x_axis({0, 1, 2, 2, 3, 4, 5, 6}));
  IndexPairs runs;
  for (const auto & segment : detector.result()) {
    runs.emplace_back(segment.idx0_, segment.idx1_);
  }
  EXPECT_EQ(runs, (IndexPairs{{0, 3}, {4, 7}}));
}

TEST(DetectorGrouping, RunsOfThreePointsAreDropped)
{
  // The run 0..2 ends at the large gap and is too short; the next run starts after the cut.
  const auto points = on_x_axis({0, 1, 2, 10, 10.5, 11, 11.5});
  EXPECT_EQ(end_indices(points, detect(points, accept_all())), (IndexPairs{{3, 6}}));
}

TEST(DetectorGrouping, TheEndOfTheListIsACut)
{
  // The original would also test a gap to the element after the end; here the last run
  // simply ends at the last point and needs four points to be kept.
  const auto four = on_x_axis({0, 1, 2, 3, 20, 21, 22, 23});
  EXPECT_EQ(end_indices(four, detect(four, accept_all())), (IndexPairs{{0, 3}, {4, 7}}));
  const auto three = on_x_axis({0, 1, 2, 3, 20, 21, 22});
  EXPECT_EQ(end_indices(three, detect(three, accept_all())), (IndexPairs{{0, 3}}));
}

TEST(DetectorGrouping, WithoutNeighbourGroupingTheWholeListIsOneRun)
{
  std::vector<Point2D> points;
  for (int i = 0; i <= 5; ++i) {
    points.emplace_back(0.02 * i, 0.0);
  }
  for (int i = 6; i <= 11; ++i) {
    points.emplace_back(0.5 + 0.02 * i, 0.0);
  }
  auto config = node_defaults();
  config.threshold_split_neighbor = false;
  EXPECT_EQ(end_indices(points, detect(points, config)), (IndexPairs{{0, 11}}));

  config = parameters(false, 0.01, 0.0, 0, 0);
  EXPECT_TRUE(detect(on_x_axis({0, 1, 2}), config).empty());
  EXPECT_EQ(end_indices(on_x_axis({0, 1, 2, 3}), detect(on_x_axis({0, 1, 2, 3}), config)),
    (IndexPairs{{0, 3}}));
}

// --- splitting -------------------------------------------------------------------------

TEST(DetectorSplit, DistancesAreComparedAfterRoundingToFloat)
{
  // 0.01000000001 rounds to the float 0.01f, which is below the double 0.01.
  const std::vector<Point2D> barely{
    Point2D(0, 0), Point2D(1, 0), Point2D(2, 0.01000000001), Point2D(3, 0), Point2D(4, 0)};
  EXPECT_EQ(end_indices(barely, detect(barely, accept_all(0.01))), (IndexPairs{{0, 4}}));
  const std::vector<Point2D> clearly{
    Point2D(0, 0), Point2D(1, 0), Point2D(2, 0.0101), Point2D(3, 0), Point2D(4, 0)};
  EXPECT_EQ(end_indices(clearly, detect(clearly, accept_all(0.01))), (IndexPairs{{0, 2}, {2, 4}}));
}

TEST(DetectorSplit, OnATieTheFirstFarthestPointWins)
{
  const std::vector<Point2D> points{Point2D(0, 0), Point2D(1, 1), Point2D(2, 1), Point2D(3, 0)};
  EXPECT_EQ(end_indices(points, detect(points, accept_all(0.5))), (IndexPairs{{0, 1}, {1, 3}}));
}

TEST(DetectorSplit, ATieInFloatGoesToTheFirstPointEvenIfALaterOneIsFartherInDouble)
{
  // 1.00000001 and 1.00000002 are different doubles but the same float 1.0f:
  // the split stays at the first of them.
  const std::vector<Point2D> points{Point2D(0, 0), Point2D(1, 1.00000001), Point2D(2, 1.00000002),
    Point2D(3, 0), Point2D(4, 0)};
  EXPECT_EQ(end_indices(points, detect(points, accept_all(0.5))).front(), (std::pair<int, int>{0, 1}));
}

TEST(DetectorOutput, RepeatedDetectionsGiveTheSameResultAndSupportPoints)
{
  // The detector keeps storage between calls; a long result followed by a
  // short one and the long one again must not carry anything over.
  std::vector<Point2D> zigzag;
  for (int i = 0; i < 60; ++i) {
    zigzag.emplace_back(0.1 * i, (i / 6) % 2 ? 0.1 * (i % 6) : 0.5 - 0.1 * (i % 6));
  }
  const std::vector<Point2D> line = on_x_axis({0, 1, 2, 3, 4, 5});
  LineSegment2DDetector detector;
  detector.config_ = accept_all(0.01);
  detector.start(zigzag);
  const auto first = detector.result();
  ASSERT_GT(first.size(), 3u);
  detector.start(line);
  ASSERT_EQ(detector.result().size(), 1u);
  EXPECT_EQ(detector.result()[0].points_.size(), 6u);
  detector.start(zigzag);
  const auto & again = detector.result();
  ASSERT_EQ(again.size(), first.size());
  for (std::size_t s = 0; s < first.size(); ++s) {
    EXPECT_EQ(again[s].idx0_, first[s].idx0_);
    EXPECT_EQ(again[s].idx1_, first[s].idx1_);
    ASSERT_EQ(again[s].points_.size(), first[s].points_.size());
    for (std::size_t k = 0; k < first[s].points_.size(); ++k) {
      EXPECT_EQ(again[s].points_[k].x(), zigzag[first[s].idx0_ + k].x());
    }
  }
}

TEST(DetectorSplit, DistanceIsToTheSegmentNotToTheLine)
{
  // P3 lies on the chord's line beyond p1 (0 from the line, 1 from the segment); P1 and P2
  // lie 0.5 off the chord. Measured to the line, P1 would win and the split would differ.
  const std::vector<Point2D> points{
    Point2D(0, 0), Point2D(1, 0.5), Point2D(2, 0.5), Point2D(5, 0), Point2D(4, 0)};
  EXPECT_EQ(end_indices(points, detect(points, parameters(false, 0.6, 0.0, 0, 0))),
    (IndexPairs{{0, 3}, {3, 4}}));
}

TEST(DetectorSplit, ThePieceEndIsNotScannedForTheFarthestPoint)
{
  // p0 + (p1 - p0) misses p1 by a rounding residue for these values, so p1 is a tiny but
  // nonzero distance from its own segment; the copies of p0 are exactly 0 from it.
  const Point2D a(-2.194, 2.085);
  const Point2D b(1.583, -1.47);
  ASSERT_GT(LineSegment2D(a, b).distanceTo(b), 0.0);
  const std::vector<Point2D> points{a, a, a, b};
  EXPECT_EQ(end_indices(points, detect(points, parameters(false, 0.0, 0.0, 5, 0))),
    (IndexPairs{{0, 3}}));
}

TEST(DetectorSplit, MinPointsPerLineLimitsOnlySplitPieces)
{
  // A straight run is accepted with four points whatever min_points_per_line says.
  const auto straight = on_x_axis({0, 0.25, 0.5, 0.75});
  EXPECT_EQ(end_indices(straight, detect(straight, parameters(true, 0.01, 0.0, 1000, 0))),
    (IndexPairs{{0, 3}}));
  // A piece must span more than min_points_per_line steps: the corner at 5 gives a left
  // piece of 5 steps, kept with 4 and dropped with 5.
  std::vector<Point2D> corner;
  for (int i = 0; i <= 5; ++i) {
    corner.emplace_back(0.0, 0.5 - 0.1 * i);
  }
  for (int i = 1; i <= 10; ++i) {
    corner.emplace_back(0.1 * i, 0.0);
  }
  EXPECT_EQ(end_indices(corner, detect(corner, accept_all(0.01, 4))), (IndexPairs{{0, 5}, {5, 15}}));
  EXPECT_EQ(end_indices(corner, detect(corner, accept_all(0.01, 5))), (IndexPairs{{5, 15}}));
  EXPECT_TRUE(detect(corner, accept_all(0.01, 10)).empty());
}

TEST(DetectorSplit, NegativeMinPointsPerLineWrapsAsUnsigned)
{
  // With -1 the sum i0 + min_points_per_line wraps: from index 0 it is the largest value
  // (no left piece), from any later index it is one less (every piece qualifies).
  std::vector<Point2D> points;
  for (int i = 0; i <= 10; ++i) {
    points.emplace_back(1.0, 0.20 - 0.02 * i);
  }
  for (int j = 1; j <= 9; ++j) {
    points.emplace_back(1.0 + 0.02 * j, 0.0);
  }
  EXPECT_EQ(end_indices(points, detect(points, parameters(true, 0.01, 0.05, -1, 5))),
    (IndexPairs{{10, 19}}));

  std::vector<Point2D> shifted{Point2D(1.0, 0.24)};  // the run now starts at index 0 here
  shifted.insert(shifted.end(), points.begin(), points.end());
  EXPECT_EQ(end_indices(shifted, detect(shifted, parameters(true, 0.01, 0.05, -1, 5))),
    (IndexPairs{{11, 20}}));
}

TEST(DetectorAcceptance, LengthAndDensityBoundsAreInclusive)
{
  const auto points = on_x_axis({0, 0.5, 1.0, 1.5, 2.0});  // length 2, counted 6 points
  const double length = LineSegment2D(points[0], points[4]).length();
  EXPECT_EQ(detect(points, parameters(true, 0.01, length, 0, 3)).size(), 1u);
  EXPECT_TRUE(detect(points, parameters(true, 0.01, std::nextafter(length, 3.0), 0, 0)).empty());
  EXPECT_TRUE(detect(points, parameters(true, 0.01, 0.0, 0, 4)).empty());
}

TEST(DetectorSplit, ASplitWithNoQualifyingPieceGivesNothing)
{
  const std::vector<Point2D> points{Point2D(0, 0), Point2D(1, 1), Point2D(2, 1), Point2D(3, 0)};
  EXPECT_TRUE(detect(points, accept_all(0.5, 3)).empty());
}

// --- bad input -------------------------------------------------------------------------

TEST(DetectorBadInput, NaNPointsNeverCutNorWin)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Point2D> inside{
    Point2D(0, 0), Point2D(1, 0), Point2D(nan, nan), Point2D(3, 0), Point2D(4, 0)};
  EXPECT_EQ(end_indices(inside, detect(inside, accept_all())), (IndexPairs{{0, 4}}));

  // A NaN length passes both acceptance tests, as in the original.
  const std::vector<Point2D> all_nan(6, Point2D(nan, nan));
  const auto segments = detect(all_nan, node_defaults());
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_TRUE(std::isnan(segments[0].length()));
}

TEST(DetectorBadInput, InfiniteAndHugeCoordinatesDoNotBreakTheDetector)
{
  const double inf = std::numeric_limits<double>::infinity();
  for (const std::vector<Point2D> & points : {
      std::vector<Point2D>{Point2D(0, 0), Point2D(1, 0), Point2D(inf, 0), Point2D(3, 0), Point2D(4, 1), Point2D(5, 0)},
      std::vector<Point2D>{Point2D(0, 0), Point2D(1e300, 0), Point2D(-1e300, 1e300), Point2D(3, 0), Point2D(1e39, 1), Point2D(5, 0)}})
  {
    const auto segments = detect(points, parameters(false, 0.0, 0.0, -1, 0));
    for (const auto & [first, last] : end_indices(points, segments)) {
      EXPECT_GE(first, 0);
      EXPECT_LT(first, last);
    }
  }
}

TEST(DetectorBadInput, ZeroLengthPieceIsAcceptedOnlyWithoutMinimumLength)
{
  const std::vector<Point2D> loop{Point2D(0, 0), Point2D(1, 0), Point2D(1, 1), Point2D(0, 0)};
  EXPECT_TRUE(detect(loop, parameters(false, 0.01, 0.01, 0, 0)).empty());
  const auto segments = detect(loop, parameters(false, 0.01, 0.0, 0, 1000));
  EXPECT_EQ(end_indices(loop, segments), (IndexPairs{{0, 0}}));
}

// --- guards against endless work --------------------------------------------------------

// 2^17 + 1 points spaced 2^-10 apart on the x axis: every chord distance is exactly 0.
std::vector<Point2D> long_exact_line()
{
  std::vector<Point2D> points;
  const int n = (1 << 17) + 1;
  points.reserve(n);
  for (int i = 0; i < n; ++i) {
    points.emplace_back(std::ldexp(static_cast<double>(i), -10), 0.5);
  }
  return points;
}

TEST(DetectorGuards, NegativeThresholdSplitBehavesAsZero)
{
  // The original recurses on the same piece for ever here (all distances 0).
  const auto points = long_exact_line();
  const int last = static_cast<int>(points.size()) - 1;
  for (double threshold : {-0.01, -1e-300}) {
    EXPECT_EQ(end_indices(points, detect(points, parameters(true, threshold, 0.05, 5, 5))),
      (IndexPairs{{0, last}}));
  }
  const std::vector<Point2D> corner{
    Point2D(0, 0), Point2D(1, 0), Point2D(2, 0), Point2D(2, 1), Point2D(2, 2)};
  EXPECT_EQ(end_indices(corner, detect(corner, accept_all(-0.5))),
    end_indices(corner, detect(corner, accept_all(0.0))));
  EXPECT_EQ(end_indices(corner, detect(corner, accept_all(-0.5))), (IndexPairs{{0, 2}, {2, 4}}));
}

TEST(DetectorGuards, LongRunWithWrappedMinPointsPerLineTerminates)
{
  // Every point of an arc lies off its chord, so threshold 0 splits every piece down to two
  // points, and min_points_per_line -1 lets every piece not starting at index 0 recurse.
  const int n = 100000;
  std::vector<Point2D> points;
  points.reserve(n);
  for (int i = 0; i < n; ++i) {
    const double angle = 1e-5 * i;
    points.emplace_back(50.0 * std::cos(angle), 50.0 * std::sin(angle));
  }
  for (double threshold : {0.0, -0.5}) {
    const auto pairs = end_indices(points, detect(points, parameters(true, threshold, 0.0, -1, 0)));
    // The root's left half starts at index 0 and is never split further, so it is lost;
    // the right half comes out as a chain of two-point pieces up to the last point.
    ASSERT_FALSE(pairs.empty());
    EXPECT_GT(pairs.front().first, 0);
    EXPECT_EQ(pairs.back().second, n - 1);
    EXPECT_EQ(static_cast<int>(pairs.size()), n - 1 - pairs.front().first);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
      ASSERT_EQ(pairs[k].second, pairs[k].first + 1);
      if (k > 0) {
        ASSERT_EQ(pairs[k].first, pairs[k - 1].second);
      }
    }
  }
}

TEST(DetectorGuards, NestedSplitsComeOutDepthFirstLeftPieceFirst)
{
  // Every point of a convex run lies off its chord, so with threshold 0 the run is split
  // down to two-point pieces; they must come out as a chain in index order.
  std::vector<Point2D> points;
  for (int i = 0; i < 3000; ++i) {
    const double x = static_cast<double>(i);
    points.emplace_back(x, x * x * x);
  }
  const auto segments = detect(points, parameters(false, 0.0, 0.0, 0, 0));
  const auto pairs = end_indices(points, segments);
  ASSERT_FALSE(pairs.empty());
  EXPECT_EQ(pairs.front().first, 0);
  EXPECT_EQ(pairs.back().second, 2999);
  for (std::size_t k = 1; k < pairs.size(); ++k) {
    ASSERT_EQ(pairs[k].first, pairs[k - 1].second);
  }
}

}  // namespace
