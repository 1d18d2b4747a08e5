#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/corner_search.hpp"
#include "align_model/feature.hpp"

namespace
{

using align_model::CornerSearchCounts;
using align_model::CornerSearchParameters;
using align_model::CornerSearchTrace;
using align_model::Feature;
using align_model::kPi;
using tuw::LineSegment2D;

// A V opening towards +x with its corner at (1, 0): l1 runs in at 120 degrees,
// l2 leaves at 60 degrees, so their directions differ by 60 degrees.
const double kLegX = 1.0 + 0.1 * std::cos(kPi / 3.0);
const double kLegY = 0.1 * std::sin(kPi / 3.0);
const LineSegment2D kIn(kLegX, -kLegY, 1.0, 0.0);
const LineSegment2D kOut(1.0, 0.0, kLegX, kLegY);

CornerSearchParameters corner_parameters()
{
  CornerSearchParameters parameters;
  parameters.min_line_len = 0.05;
  parameters.max_line_len = 0.2;
  parameters.points_max_distance = 0.03;
  parameters.target_angle = 1.047;
  parameters.angle_error = 0.2;
  return parameters;
}

LineSegment2D reversed(const LineSegment2D & line)
{
  return LineSegment2D(line.x1(), line.y1(), line.x0(), line.y0());
}

void expect_same_ends(const LineSegment2D & actual, const LineSegment2D & expected)
{
  EXPECT_EQ(actual.x0(), expected.x0());
  EXPECT_EQ(actual.y0(), expected.y0());
  EXPECT_EQ(actual.x1(), expected.x1());
  EXPECT_EQ(actual.y1(), expected.y1());
}

struct SearchResult
{
  CornerSearchCounts counts;
  std::vector<std::shared_ptr<Feature>> features;
};

SearchResult search(std::vector<LineSegment2D> & lines, const CornerSearchParameters & parameters)
{
  SearchResult result;
  result.counts = align_model::search_corners(lines, parameters, result.features);
  return result;
}

void expect_counts(const CornerSearchCounts & counts, int lens, int near, int angle)
{
  EXPECT_EQ(counts.count_lens, lens);
  EXPECT_EQ(counts.count_near, near);
  EXPECT_EQ(counts.count_angle, angle);
}

void expect_corner_at_one(const SearchResult & result)
{
  ASSERT_EQ(result.features.size(), 1u);
  const auto & pose = result.features[0]->pose_;
  ASSERT_TRUE(pose);
  EXPECT_NEAR(pose->x, 1.0f, 1e-6f);
  EXPECT_NEAR(pose->y, 0.0f, 1e-6f);
  EXPECT_NEAR(pose->theta, 0.0f, 1e-6f);
  EXPECT_NEAR(result.features[0]->angle_error_, kPi / 3.0 - 1.047, 1e-6);
}

TEST(FeaturePose, CornerCrossingAndBisector)
{
  const Feature feature(kIn, kOut, 0.25f);
  EXPECT_EQ(feature.angle_error_, 0.25f);
  ASSERT_TRUE(feature.pose_);
  EXPECT_NEAR(feature.pose_->x, 1.0f, 1e-6f);
  EXPECT_NEAR(feature.pose_->y, 0.0f, 1e-6f);
  EXPECT_NEAR(feature.pose_->theta, 0.0f, 1e-6f);
}

TEST(FeaturePose, CrossingOfInfiniteLinesNotOfSegments)
{
  // Legs that stop short of each other still meet where their lines cross.
  const LineSegment2D in(2.0, -1.0, 1.5, -0.5);
  const LineSegment2D out(1.5, 0.5, 2.0, 1.0);
  const Feature feature(in, out, 0.0f);
  ASSERT_TRUE(feature.pose_);
  EXPECT_NEAR(feature.pose_->x, 1.0f, 1e-6f);
  EXPECT_NEAR(feature.pose_->y, 0.0f, 1e-6f);
  EXPECT_NEAR(feature.pose_->theta, 0.0f, 1e-6f);
}

TEST(FeaturePose, ParallelOrBackwardCornersHaveNoPose)
{
  EXPECT_FALSE(Feature(LineSegment2D(0.0, 0.0, 1.0, 0.0), LineSegment2D(1.0, 0.0, 2.0, 0.0), 0.0f).pose_);
  // Nearly parallel: |D| below 1e-5.
  EXPECT_FALSE(Feature(LineSegment2D(0.0, 0.0, 1.0, 0.0), LineSegment2D(1.0, 0.0, 2.0, 9e-6), 0.0f).pose_);
  // Opening towards -x.
  const Feature backward(LineSegment2D(1.0, 1.0, 2.0, 1.0),
    LineSegment2D(2.0, 1.0, 2.5, 1.8660254), 0.0f);
  EXPECT_FALSE(backward.pose_);
  // The mirror image of the +x corner.
  EXPECT_FALSE(Feature(LineSegment2D(2.0 - kLegX, -kLegY, 1.0, 0.0),
    LineSegment2D(1.0, 0.0, 2.0 - kLegX, kLegY), 0.0f).pose_);
  // Bisector along +y: pi/2 stored as float lies just above pi/2, and its
  // single-precision cosine is negative.
  const double run = 0.1 * std::cos(kPi / 6.0);
  const Feature sideways(LineSegment2D(1.0 - run, 0.05, 1.0, 0.0), LineSegment2D(1.0, 0.0, 1.0 + run, 0.05), 0.0f);
  EXPECT_FALSE(sideways.pose_);
}

TEST(CornerSearch, NoPairsWithFewerThanTwoSegments)
{
  std::vector<LineSegment2D> none;
  expect_counts(search(none, corner_parameters()).counts, 0, 0, 0);
  std::vector<LineSegment2D> one{kIn};
  const SearchResult result = search(one, corner_parameters());
  expect_counts(result.counts, 0, 0, 0);
  EXPECT_TRUE(result.features.empty());
}

TEST(CornerSearch, ScanOrderKeepsSegments)
{
  std::vector<LineSegment2D> lines{kIn, kOut};
  const SearchResult result = search(lines, corner_parameters());
  expect_counts(result.counts, 1, 1, 1);
  expect_corner_at_one(result);
  expect_same_ends(lines[0], kIn);
  expect_same_ends(lines[1], kOut);
}

TEST(CornerSearch, StartNearEndSwapsRoles)
{
  std::vector<LineSegment2D> lines{kOut, kIn};
  const SearchResult result = search(lines, corner_parameters());
  expect_counts(result.counts, 1, 1, 1);
  expect_corner_at_one(result);
  expect_same_ends(lines[0], kOut);
  expect_same_ends(lines[1], kIn);
}

TEST(CornerSearch, HeadToHeadReversesLaterSegmentInList)
{
  std::vector<LineSegment2D> lines{kIn, reversed(kOut)};
  const SearchResult result = search(lines, corner_parameters());
  expect_counts(result.counts, 1, 1, 1);
  expect_corner_at_one(result);
  expect_same_ends(lines[0], kIn);
  // Both ends changed places (no end lost to set() aliasing).
  expect_same_ends(lines[1], kOut);
}

TEST(CornerSearch, TailToTailReversesEarlierSegmentInList)
{
  std::vector<LineSegment2D> lines{reversed(kIn), kOut};
  const SearchResult result = search(lines, corner_parameters());
  expect_counts(result.counts, 1, 1, 1);
  expect_corner_at_one(result);
  expect_same_ends(lines[0], kIn);
  expect_same_ends(lines[1], kOut);
}

TEST(CornerSearch, TieBetweenPairingsKeepsEarlierChoice)
{
  // i's end and j's start are exactly as far apart as i's start and j's end:
  // the roles stay l1 = i, l2 = j.
  std::vector<LineSegment2D> lines{LineSegment2D(0.0, 0.0, 0.1, 0.0),
    LineSegment2D(0.1, 0.01, 0.0, 0.01)};
  std::vector<double> l1_angles;
  CornerSearchTrace trace;
  trace.on_angle = [&](double, double l1, double, double) {l1_angles.push_back(l1);};
  std::vector<std::shared_ptr<Feature>> features;
  align_model::search_corners(lines, corner_parameters(), features, trace);
  EXPECT_EQ(l1_angles, (std::vector<double>{0.0}));
}

TEST(CornerSearch, LengthWindowIsInclusive)
{
  // Lengths exactly 0.5 and 0.25.
  std::vector<LineSegment2D> lines{LineSegment2D(1.0, -0.5, 1.0, 0.0), LineSegment2D(1.0, 0.0, 1.25, 0.0)};
  CornerSearchParameters parameters = corner_parameters();
  parameters.min_line_len = 0.25;
  parameters.max_line_len = 0.5;
  EXPECT_EQ(search(lines, parameters).counts.count_lens, 1);
  parameters.min_line_len = std::nextafter(0.25, 1.0);
  EXPECT_EQ(search(lines, parameters).counts.count_lens, 0);
  parameters.min_line_len = 0.25;
  parameters.max_line_len = std::nextafter(0.5, 0.0);
  EXPECT_EQ(search(lines, parameters).counts.count_lens, 0);
  // The defaults (minimum above maximum) admit nothing.
  EXPECT_EQ(search(lines, CornerSearchParameters{}).counts.count_lens, 0);
}

TEST(CornerSearch, FacingEndsExactlyAtLimitAreNotNear)
{
  // The second leg starts exactly 0.5 above the first one's end.
  std::vector<LineSegment2D> lines{kIn, LineSegment2D(1.0, 0.5, kLegX, 0.5 + kLegY)};
  CornerSearchParameters parameters = corner_parameters();
  parameters.points_max_distance = 0.5;
  expect_counts(search(lines, parameters).counts, 1, 0, 0);
  parameters.points_max_distance = std::nextafter(0.5, 1.0);
  expect_counts(search(lines, parameters).counts, 1, 1, 1);
}

TEST(CornerSearch, CollinearPairCountedWithoutPose)
{
  std::vector<LineSegment2D> lines{LineSegment2D(0.9, 0.0, 1.0, 0.0), LineSegment2D(1.0, 0.0, 1.1, 0.0)};
  const SearchResult result = search(lines, corner_parameters());
  expect_counts(result.counts, 1, 1, 1);
  EXPECT_TRUE(result.features.empty());
}

TEST(CornerSearch, CornerOpeningTowardsMinusXIsDropped)
{
  std::vector<LineSegment2D> lines{LineSegment2D(1.0, 1.0, 2.0, 1.0),
    LineSegment2D(2.0, 1.0, 2.5, 1.8660254)};
  CornerSearchParameters parameters = corner_parameters();
  parameters.max_line_len = 2.0;
  const SearchResult result = search(lines, parameters);
  expect_counts(result.counts, 1, 1, 1);
  EXPECT_TRUE(result.features.empty());
}

TEST(CornerSearch, AngleTestIsSignedAgainstTolerance)
{
  CornerSearchParameters parameters = corner_parameters();
  parameters.max_line_len = 2.0;
  const auto pair_turning_by = [](double degrees) {
      const double turn = degrees * kPi / 180.0;
      return std::vector<LineSegment2D>{LineSegment2D(0.0, 0.0, 1.0, 0.0),
        LineSegment2D(1.0, 0.0, 1.0 + std::cos(turn), std::sin(turn))};
    };
  std::vector<LineSegment2D> right_angle = pair_turning_by(90.0);
  expect_counts(search(right_angle, parameters).counts, 1, 1, 0);
  std::vector<LineSegment2D> target = pair_turning_by(60.0);
  expect_counts(search(target, parameters).counts, 1, 1, 1);
  std::vector<LineSegment2D> shallow = pair_turning_by(20.0);
  expect_counts(search(shallow, parameters).counts, 1, 1, 1);
  std::vector<LineSegment2D> clockwise = pair_turning_by(-60.0);
  expect_counts(search(clockwise, parameters).counts, 1, 1, 1);
}

TEST(CornerSearch, TwoSidedAngleTestHoldsBothSides)
{
  CornerSearchParameters parameters = corner_parameters();
  parameters.max_line_len = 2.0;
  parameters.two_sided_angle_test = true;
  const auto pair_turning_by = [](double degrees) {
      const double turn = degrees * kPi / 180.0;
      return std::vector<LineSegment2D>{LineSegment2D(0.0, 0.0, 1.0, 0.0),
        LineSegment2D(1.0, 0.0, 1.0 + std::cos(turn), std::sin(turn))};
    };
  // Tolerance 0.2094 rad (12 degrees) around 60 degrees.
  for (const double degrees : {20.0, 9.0, 47.0, 73.0, 90.0, -20.0}) {
    SCOPED_TRACE(degrees);
    std::vector<LineSegment2D> pair = pair_turning_by(degrees);
    expect_counts(search(pair, parameters).counts, 1, 1, 0);
  }
  for (const double degrees : {49.0, 60.0, 71.0, -60.0}) {
    SCOPED_TRACE(degrees);
    std::vector<LineSegment2D> pair = pair_turning_by(degrees);
    expect_counts(search(pair, parameters).counts, 1, 1, 1);
  }
}

TEST(CornerSearch, TraceReportsWhereTheSearchLogs)
{
  // Pair (0, 1) is the corner; pair (0, 2) and (1, 2) are far apart; segment 3
  // is too long for any pair.
  std::vector<LineSegment2D> lines{kIn, kOut, LineSegment2D(5.0, 5.0, 5.1, 5.0),
    LineSegment2D(0.0, 0.0, 3.0, 0.0)};
  std::vector<double> distances;
  std::vector<std::vector<double>> angles;
  CornerSearchTrace trace;
  trace.on_distance = [&](double d) {distances.push_back(d);};
  trace.on_angle = [&](double l2, double l1, double target, double real) {
      angles.push_back({l2, l1, target, real});
    };
  std::vector<std::shared_ptr<Feature>> features;
  const CornerSearchCounts counts =
    align_model::search_corners(lines, corner_parameters(), features, trace);
  expect_counts(counts, 3, 1, 1);
  ASSERT_EQ(distances.size(), 3u);
  EXPECT_NEAR(distances[0], 0.0, 1e-12);
  EXPECT_EQ(distances[1], 0.03);
  EXPECT_EQ(distances[2], 0.03);
  ASSERT_EQ(angles.size(), 1u);
  EXPECT_EQ(angles[0][0], kOut.angle());
  EXPECT_EQ(angles[0][1], kIn.angle());
  EXPECT_EQ(angles[0][2], 1.047);
  EXPECT_NEAR(angles[0][3], -kPi / 3.0, 1e-12);
}

TEST(CornerSearch, FeaturesInPairOrder)
{
  // Two corners, the second shifted along y.
  const LineSegment2D in2(kLegX, 1.0 - kLegY, 1.0, 1.0);
  const LineSegment2D out2(1.0, 1.0, kLegX, 1.0 + kLegY);
  std::vector<LineSegment2D> lines{kIn, kOut, in2, out2};
  const SearchResult result = search(lines, corner_parameters());
  ASSERT_EQ(result.features.size(), 2u);
  EXPECT_NEAR(result.features[0]->pose_->y, 0.0f, 1e-6f);
  EXPECT_NEAR(result.features[1]->pose_->y, 1.0f, 1e-6f);
}

}  // namespace
