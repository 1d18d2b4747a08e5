// The index must give exactly the answer of the linear search from the list
// start: the refit's published end points depend on which point is found.
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/end_point_index.hpp"
#include "align_model/segment_refit.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"

namespace
{

using align_model::EndPointIndex;
using align_model::kEndPointMatchTolerance;
using tuw::Point2D;

std::optional<std::size_t> linear_first_match(
  const std::vector<Point2D> & points, const Point2D & end, std::size_t from)
{
  for (std::size_t i = from; i < points.size(); ++i) {
    if (points[i].distanceTo(end) <= kEndPointMatchTolerance) {
      return i;
    }
  }
  return std::nullopt;
}

// Points that make the index work: repeats, neighbours just inside and just
// outside the tolerance, cell borders, far and non-finite points.
std::vector<Point2D> awkward_points(std::mt19937_64 & random, std::size_t count)
{
  std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
  std::uniform_int_distribution<int> kind(0, 9);
  std::vector<Point2D> points;
  for (std::size_t i = 0; i < count; ++i) {
    const int k = points.empty() ? 0 : kind(random);
    const Point2D & previous = points.empty() ? Point2D() : points[random() % points.size()];
    switch (k) {
      case 1:
        points.push_back(previous);
        break;
      case 2:
        points.emplace_back(previous.x() + kEndPointMatchTolerance, previous.y());
        break;
      case 3:
        points.emplace_back(
          previous.x() + std::nextafter(kEndPointMatchTolerance, 1.0), previous.y());
        break;
      case 4:
        // On and next to the 1 mm cell borders.
        points.emplace_back(0.001 * std::round(previous.x() * 1000.0), std::nextafter(0.002, 0.0));
        break;
      case 5:
        points.emplace_back(previous.x() + 0.00007, previous.y() - 0.00007);
        break;
      case 6:
        points.emplace_back(1.0e6 + coordinate(random) * 1e-4, coordinate(random));
        break;
      case 7:
        points.emplace_back(
          random() % 2 ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity(),
          coordinate(random));
        break;
      default:
        points.emplace_back(coordinate(random), coordinate(random));
    }
  }
  return points;
}

TEST(EndPointIndex, GivesTheLinearSearchAnswerForEveryEndAndStart)
{
  std::mt19937_64 random(20261207);
  EndPointIndex index(kEndPointMatchTolerance);
  std::size_t matches = 0;
  for (int round = 0; round < 300; ++round) {
    const std::vector<Point2D> points = awkward_points(random, 1 + random() % 200);
    index.build(points);
    for (std::size_t q = 0; q < 2 * points.size(); ++q) {
      Point2D end = points[random() % points.size()];
      if (q % 3 == 1) {
        end = Point2D(end.x() + 0.00005 * (static_cast<double>(random() % 5) - 2.0), end.y());
      }
      const std::size_t from = random() % (points.size() + 1);
      const auto expected = linear_first_match(points, end, from);
      ASSERT_EQ(index.first_match(end, from), expected) << "round " << round << " query " << q;
      matches += expected.has_value();
    }
  }
  EXPECT_GT(matches, 1000u);  // the comparison covered hits, not only misses
}

TEST(EndPointIndex, EndsBeyondTheIndexedExtentOrNotFiniteStillMatch)
{
  const std::vector<Point2D> points{Point2D(2.0e6, 1.0), Point2D(0.0, 0.0),
    Point2D(std::numeric_limits<double>::infinity(), 0.0), Point2D(2.0e6, 1.00005)};
  EndPointIndex index(kEndPointMatchTolerance);
  index.build(points);
  EXPECT_EQ(index.first_match(Point2D(2.0e6, 1.00005), 0), std::optional<std::size_t>(0));
  EXPECT_EQ(index.first_match(Point2D(2.0e6, 1.00005), 1), std::optional<std::size_t>(3));
  EXPECT_EQ(index.first_match(Point2D(std::numeric_limits<double>::infinity(), 0.0), 0), std::nullopt);
  EXPECT_EQ(index.first_match(Point2D(0.0, 0.0), 2), std::nullopt);
}

TEST(EndPointIndex, RebuildingForAnotherListForgetsTheFirst)
{
  EndPointIndex index(kEndPointMatchTolerance);
  const std::vector<Point2D> first{Point2D(1.0, 1.0), Point2D(2.0, 2.0)};
  index.build(first);
  EXPECT_EQ(index.first_match(Point2D(2.0, 2.0), 0), std::optional<std::size_t>(1));
  const std::vector<Point2D> second{Point2D(3.0, 3.0)};
  index.build(second);
  EXPECT_EQ(index.first_match(Point2D(2.0, 2.0), 0), std::nullopt);
  EXPECT_EQ(index.first_match(Point2D(3.0, 3.0), 0), std::optional<std::size_t>(0));
}

bool same_bits(const tuw::LineSegment2D & a, const tuw::LineSegment2D & b)
{
  const double va[4] = {a.x0(), a.y0(), a.x1(), a.y1()};
  const double vb[4] = {b.x0(), b.y0(), b.x1(), b.y1()};
  return std::memcmp(va, vb, sizeof va) == 0;
}

// Many short segments on a sawtooth, refitted through the workspace (indexed)
// and segment by segment through the plain linear search: identical bits.
TEST(EndPointIndex, IndexedRefitEqualsTheLinearRefitOnManySegments)
{
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0.0, 0.003);
  std::vector<Point2D> points;
  for (int i = 0; i < 1200; ++i) {
    const double angle = -2.3 + 0.004 * i;
    const double range = 1.0 + 0.015 * std::abs(i % 12 - 6) + noise(random);
    points.emplace_back(range * std::cos(angle), range * std::sin(angle));
  }
  points.insert(points.end(), points.begin() + 100, points.begin() + 140);  // repeated readings
  tuw::LineSegment2DDetector detector;
  detector.config_.threshold_split = 0.01;
  detector.config_.min_length = 0.02;
  detector.config_.min_points_per_line = 3;
  detector.config_.min_points_per_unit = 5;
  std::vector<tuw::LineSegment2D> detected;
  detector.start(points, detected);
  ASSERT_GT(detected.size(), 50u);

  std::vector<tuw::LineSegment2D> indexed = detected;
  align_model::RefitWorkspace workspace;
  align_model::refit_segments(points, indexed, workspace);
  for (std::size_t s = 0; s < detected.size(); ++s) {
    tuw::LineSegment2D expected = detected[s];
    if (const auto run = align_model::find_support_run(points, expected)) {
      align_model::project_segment(align_model::fit_line(points, *run), expected);
    }
    ASSERT_TRUE(same_bits(indexed[s], expected)) << "segment " << s;
  }
}

}  // namespace
