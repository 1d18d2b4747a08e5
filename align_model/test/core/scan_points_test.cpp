#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/scan_points.hpp"
#include "scan_builders.hpp"

namespace
{

using align_model::RangeIntensityBand;
using align_model_test::make_scan;

const RangeIntensityBand kBand{0.5, 2.0, 250.0, 255.0};

TEST(RangeIntensityBand, BoundsAreExcluded)
{
  EXPECT_TRUE(kBand(1.0f, 252.0f));
  EXPECT_FALSE(kBand(0.5f, 252.0f));
  EXPECT_FALSE(kBand(2.0f, 252.0f));
  EXPECT_FALSE(kBand(1.0f, 250.0f));
  EXPECT_FALSE(kBand(1.0f, 255.0f));
  EXPECT_TRUE(kBand(std::nextafter(0.5f, 1.0f), std::nextafter(255.0f, 0.0f)));
  EXPECT_TRUE(kBand(std::nextafter(2.0f, 0.0f), std::nextafter(250.0f, 300.0f)));
}

TEST(RangeIntensityBand, NonFiniteReadingsFail)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(kBand(nan, 252.0f));
  EXPECT_FALSE(kBand(1.0f, nan));
  EXPECT_FALSE(kBand(inf, 252.0f));
  EXPECT_FALSE(kBand(-inf, 252.0f));
  EXPECT_FALSE(kBand(1.0f, inf));
}

TEST(RangeIntensityBand, ComparesWidenedReadings)
{
  // 0.1f lies just above the double 0.1: compared in double it is inside.
  const RangeIntensityBand band{0.1, 1.0, 0.0, 10.0};
  EXPECT_TRUE(band(0.1f, 5.0f));
  // 0.7f lies just below the double 0.7: compared in double it is inside.
  const RangeIntensityBand upper{0.0, 0.7, 0.0, 10.0};
  EXPECT_TRUE(upper(0.7f, 5.0f));
}

TEST(ExtractPoints, AcceptedReadingsInScanOrder)
{
  auto scan = make_scan(-1.0f, 0.01f, 6);
  scan.ranges = {1.0f, 3.0f, 1.5f, 0.5f, 1.25f, std::numeric_limits<float>::quiet_NaN()};
  scan.intensities = {252.0f, 252.0f, 100.0f, 252.0f, 254.0f, 252.0f};
  std::vector<tuw::Point2D> points{tuw::Point2D(9.0, 9.0)};
  align_model::extract_points(scan, kBand, points);
  ASSERT_EQ(points.size(), 2u);

  for (const auto & [index, point] : {std::pair{0, points[0]}, std::pair{4, points[1]}}) {
    const double angle = static_cast<float>(index) * scan.angle_increment + scan.angle_min;
    const double r = scan.ranges[index];
    EXPECT_EQ(point.x(), std::cos(angle) * r);
    EXPECT_EQ(point.y(), r * std::sin(angle));
  }
  EXPECT_GE(points.capacity(), scan.ranges.size());
}

TEST(ExtractPoints, EveryReadingAcceptedStillLeavesTheSlotPastTheEnd)
{
  auto scan = make_scan(-1.0f, 0.01f, 5);
  scan.ranges.assign(5, 1.0f);
  scan.intensities.assign(5, 252.0f);
  std::vector<tuw::Point2D> points;
  align_model::extract_points(scan, kBand, points);
  ASSERT_EQ(points.size(), 5u);
  const auto * const storage = points.data();
  const std::vector<tuw::Point2D> before = points;

  align_model::place_far_point_past_end(points);

  // The slot lies in the reserved storage: no reallocation, list unchanged.
  EXPECT_EQ(points.data(), storage);
  EXPECT_GT(points.capacity(), points.size());
  ASSERT_EQ(points.size(), before.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].x(), before[i].x());
    EXPECT_EQ(points[i].y(), before[i].y());
  }
}

TEST(ExtractPoints, ReadingsWithoutIntensityAreSkipped)
{
  auto scan = make_scan(0.0f, 0.01f, 4, 2);
  scan.ranges = {1.0f, 1.0f, 1.0f, 1.0f};
  scan.intensities = {252.0f, 252.0f};
  std::vector<tuw::Point2D> points;
  align_model::extract_points(scan, kBand, points);
  EXPECT_EQ(points.size(), 2u);

  scan.intensities.clear();
  align_model::extract_points(scan, kBand, points);
  EXPECT_TRUE(points.empty());
}

TEST(TransformPoints, RotationAndTranslationFromMatrixRows)
{
  // A quarter turn about z, then a shift.
  align_model::PlanarTransform quarter_turn;
  quarter_turn.r00 = 0.0;
  quarter_turn.r01 = -1.0;
  quarter_turn.r10 = 1.0;
  quarter_turn.r11 = 0.0;
  quarter_turn.tx = 0.5;
  quarter_turn.ty = -0.25;
  std::vector<tuw::Point2D> points{tuw::Point2D(1.0, 2.0), tuw::Point2D(-3.0, 0.5)};
  align_model::transform_points(quarter_turn, points);
  EXPECT_EQ(points[0].x(), -1.5);
  EXPECT_EQ(points[0].y(), 0.75);
  EXPECT_EQ(points[1].x(), 0.0);
  EXPECT_EQ(points[1].y(), -3.25);
}

TEST(TransformPoints, LaserToBaseOffset)
{
  std::vector<tuw::Point2D> points{tuw::Point2D(1.0, 0.0), tuw::Point2D(0.3, -0.7)};
  align_model::transform_points_to_base(-0.102, 0.0, 3.14, points);
  const double c = std::cos(3.14);
  const double s = std::sin(3.14);
  EXPECT_EQ(points[0].x(), -0.102 + c * 1.0 - s * 0.0);
  EXPECT_EQ(points[0].y(), 0.0 + s * 1.0 + c * 0.0);
  EXPECT_EQ(points[1].x(), -0.102 + c * 0.3 - s * -0.7);
  EXPECT_EQ(points[1].y(), 0.0 + s * 0.3 + c * -0.7);
  EXPECT_NEAR(points[0].x(), -1.102, 1e-5);
}

}  // namespace
