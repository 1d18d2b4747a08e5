// The reference examples, each checked against the original library: segment order and end
// points bit for bit (as indices of the input points they copy).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "detector_test_support.hpp"

namespace
{

using detector_test::IndexPairs;
using detector_test::detect;
using detector_test::end_indices;
using detector_test::node_defaults;
using detector_test::parameters;
using tuw::Point2D;

std::vector<Point2D> l20()
{
  // P0..P10 = (1.0, 0.20 - 0.02 i), then P11..P19 = (1.0 + 0.02 j, 0).
  std::vector<Point2D> points;
  for (int i = 0; i <= 10; ++i) {
    points.emplace_back(1.0, 0.20 - 0.02 * i);
  }
  for (int j = 1; j <= 9; ++j) {
    points.emplace_back(1.0 + 0.02 * j, 0.0);
  }
  return points;
}

TEST(DetectorExamples, L20WithNodeDefaultsGivesBothLegsSharingTheCorner)
{
  const auto points = l20();
  const auto segments = detect(points, node_defaults());
  ASSERT_EQ(end_indices(points, segments), (IndexPairs{{0, 10}, {10, 19}}));
  EXPECT_NEAR(segments[0].length(), 0.2, 1e-12);
  EXPECT_DOUBLE_EQ(segments[0].angle(), -M_PI / 2);
  EXPECT_NEAR(segments[1].length(), 0.18, 1e-12);
  EXPECT_EQ(segments[1].angle(), 0.0);
  EXPECT_EQ(segments[0].p1(), segments[1].p0());
  // Coefficients are those of the normalised line through the copied end points.
  const tuw::Line2D expected(points[0], points[10]);
  EXPECT_EQ(segments[0].a(), expected.a());
  EXPECT_EQ(segments[0].b(), expected.b());
  EXPECT_EQ(segments[0].c(), expected.c());
}

TEST(DetectorExamples, L20WithLibraryDefaultsGivesNothingAsNoPieceIsLongEnough)
{
  const auto points = l20();
  EXPECT_TRUE(detect(points, tuw::LineSegment2DDetectorParameter()).empty());
}

TEST(DetectorExamples, L2ShortLegDisappears)
{
  // P0..P5 = (1.0, 0.10 - 0.02 i), then P6..P19 = (1.0 + 0.02 j, 0).
  std::vector<Point2D> points;
  for (int i = 0; i <= 5; ++i) {
    points.emplace_back(1.0, 0.10 - 0.02 * i);
  }
  for (int j = 1; j <= 14; ++j) {
    points.emplace_back(1.0 + 0.02 * j, 0.0);
  }
  EXPECT_EQ(end_indices(points, detect(points, node_defaults())), (IndexPairs{{5, 19}}));
}

TEST(DetectorExamples, BGapCutsTheListIntoTwoRuns)
{
  std::vector<Point2D> points;
  for (int i = 0; i <= 5; ++i) {
    points.emplace_back(0.02 * i, 0.0);
  }
  for (int i = 6; i <= 11; ++i) {
    points.emplace_back(0.5 + 0.02 * i, 0.0);
  }
  EXPECT_EQ(end_indices(points, detect(points, node_defaults())), (IndexPairs{{0, 5}, {6, 11}}));
}

TEST(DetectorExamples, C2LeadingOutlierIsBridgedBecauseTheFirstGapIsNeverTested)
{
  std::vector<Point2D> points{Point2D(1.0, -0.3)};
  for (int i = 0; i <= 7; ++i) {
    points.emplace_back(1.0, 0.02 * i);
  }
  const auto segments = detect(points, node_defaults());
  ASSERT_EQ(end_indices(points, segments), (IndexPairs{{0, 8}}));
  EXPECT_EQ(segments[0].y0(), -0.3);
}

TEST(DetectorExamples, C3TrailingOutlierIsCutOff)
{
  std::vector<Point2D> points;
  for (int i = 0; i <= 7; ++i) {
    points.emplace_back(1.0, 0.02 * i);
  }
  points.emplace_back(1.0, 0.44);
  EXPECT_EQ(end_indices(points, detect(points, node_defaults())), (IndexPairs{{0, 7}}));
}

TEST(DetectorExamples, DMinimumLength)
{
  std::vector<Point2D> points;
  for (int i = 0; i <= 3; ++i) {
    points.emplace_back(0.01 * i, 0.0);
  }
  EXPECT_TRUE(detect(points, node_defaults()).empty());
  EXPECT_EQ(
    end_indices(points, detect(points, parameters(true, 0.01, 0.02, 5, 5))), (IndexPairs{{0, 3}}));
}

TEST(DetectorExamples, EDensityCountsTwoMorePointsThanTheSteps)
{
  std::vector<Point2D> points;
  for (int i = 0; i <= 3; ++i) {
    points.emplace_back(0.2 * i, 0.0);
  }
  // 4 real points over 0.6 m would be 6.67 per metre; the count used is 5, i.e. 8.33.
  EXPECT_EQ(
    end_indices(points, detect(points, parameters(true, 0.01, 0.05, 5, 7))), (IndexPairs{{0, 3}}));
  EXPECT_EQ(
    end_indices(points, detect(points, parameters(true, 0.01, 0.05, 5, 8))), (IndexPairs{{0, 3}}));
  EXPECT_TRUE(detect(points, parameters(true, 0.01, 0.05, 5, 9)).empty());
}

}  // namespace
