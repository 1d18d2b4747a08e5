#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "scan_builders.hpp"

namespace
{

using align_model::compute_scan_window;
using align_model::kHalfPi;
using align_model::kPi;
using align_model::kTwoPi;
using align_model::select_scan_window;
using align_model::TurnCount;
using align_model_test::make_scan;
using sensor_msgs::msg::LaserScan;

const float kMinusPi = static_cast<float>(-kPi);
const float kDegree = static_cast<float>(kTwoPi / 360.0);
const float kQuarterDegree = 0.004363323f;
const float kMinusThreeQuarterPi = static_cast<float>(-3.0 * kPi / 4.0);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<float> ranges_of(const LaserScan & scan, std::size_t first, std::size_t last)
{
  return std::vector<float>(scan.ranges.begin() + first, scan.ranges.begin() + last);
}

std::vector<float> intensities_of(const LaserScan & scan, std::size_t first, std::size_t last)
{
  return std::vector<float>(scan.intensities.begin() + first, scan.intensities.begin() + last);
}

// The wrap exactly as first described: unbounded, one turn per step. Only used
// on angles where it is known to end.
double literal_offset(double angle, double angle_min)
{
  double a = angle;
  while (true) {
    const double d = a - angle_min;
    if (d <= 0.0) {
      a += kTwoPi;
    } else if (d > kTwoPi) {
      a -= kTwoPi;
    } else {
      return d;
    }
  }
}

TEST(NormalizeAngle, MapsIntoHalfOpenInterval)
{
  EXPECT_EQ(align_model::normalize_angle(0.0), 0.0);
  EXPECT_EQ(align_model::normalize_angle(1.0), 1.0);
  EXPECT_EQ(align_model::normalize_angle(-kPi), -kPi);
  EXPECT_EQ(align_model::normalize_angle(kPi), -kPi);
  EXPECT_NEAR(align_model::normalize_angle(3.0 * kPi), -kPi, 1e-12);
  EXPECT_NEAR(align_model::normalize_angle(kTwoPi + 0.5), 0.5, 1e-12);
  EXPECT_NEAR(align_model::normalize_angle(-kTwoPi - 0.5), -0.5, 1e-12);
}

// The feature program counts one turn from the offset of angle_min itself.
TEST(FeatureWindow, HalfTurnScanWindowAroundZero)
{
  const LaserScan in = make_scan(kMinusPi, kDegree, 360);
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, -1.0, 1.0,
      TurnCount::kOffsetOfAngleMin);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 123u);
  EXPECT_EQ(window->end, 238u);
  EXPECT_EQ(window->turn, 361u);

  auto out = std::make_shared<LaserScan>();
  ASSERT_TRUE(align_model::select_scan_data_from_angle(
      std::make_shared<const LaserScan>(in), out, -1.0, 1.0));
  EXPECT_EQ(out->ranges, ranges_of(in, 123, 238));
  EXPECT_EQ(out->intensities, intensities_of(in, 123, 238));
  EXPECT_NEAR(out->angle_min, -0.99484, 1e-5);
  EXPECT_NEAR(out->angle_max, 0.99484, 1e-5);
  // Single-precision product and sum, normalised in double, stored as float.
  const float first = 123.0f * in.angle_increment + in.angle_min;
  EXPECT_EQ(out->angle_min, static_cast<float>(align_model::normalize_angle(first)));
}

TEST(FeatureWindow, MetadataCopiedAndReadingsReplaced)
{
  const LaserScan in = make_scan(kMinusPi, kDegree, 360);
  LaserScan out = make_scan(0.0f, 1.0f, 5);
  out.header.frame_id = "stale";
  ASSERT_TRUE(select_scan_window(in, out, -1.0, 1.0, TurnCount::kOffsetOfAngleMin));
  EXPECT_EQ(out.header, in.header);
  EXPECT_EQ(out.angle_increment, in.angle_increment);
  EXPECT_EQ(out.time_increment, in.time_increment);
  EXPECT_EQ(out.scan_time, in.scan_time);
  EXPECT_EQ(out.range_min, in.range_min);
  EXPECT_EQ(out.range_max, in.range_max);
  EXPECT_EQ(out.ranges.size(), 115u);
}

TEST(FeatureWindow, WindowThroughFirstReadingOfPartialTurnFails)
{
  const LaserScan in = make_scan(kMinusPi, kDegree, 360);
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, 3.0, -3.0,
      TurnCount::kOffsetOfAngleMin);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 352u);
  EXPECT_EQ(window->end, 9u);
  EXPECT_EQ(window->turn, 361u);

  LaserScan out;
  EXPECT_FALSE(select_scan_window(in, out, 3.0, -3.0, TurnCount::kOffsetOfAngleMin));
  // Header and metadata are set even though the selection failed.
  EXPECT_EQ(out.header.frame_id, "laser");
  EXPECT_EQ(out.angle_increment, in.angle_increment);
  EXPECT_TRUE(out.ranges.empty());
}

TEST(FeatureWindow, WindowBeyondReadingsFails)
{
  const LaserScan in = make_scan(kMinusThreeQuarterPi, kQuarterDegree, 1081);
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, -3.14, 3.14,
      TurnCount::kOffsetOfAngleMin);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 1261u);
  EXPECT_EQ(window->end, 1260u);
  LaserScan out;
  EXPECT_FALSE(select_scan_window(in, out, -3.14, 3.14, TurnCount::kOffsetOfAngleMin));
}

TEST(FeatureWindow, StartAtAngleMinOfPartialTurnFails)
{
  const LaserScan in = make_scan(kMinusThreeQuarterPi, kQuarterDegree, 1081);
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, in.angle_min, 1.0,
      TurnCount::kOffsetOfAngleMin);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, window->turn);
  LaserScan out;
  EXPECT_FALSE(select_scan_window(in, out, in.angle_min, 1.0, TurnCount::kOffsetOfAngleMin));
}

TEST(FeatureWindow, FullTurnScanWrapsThroughFirstReading)
{
  const LaserScan in = make_scan(kMinusPi, kDegree, 361);
  LaserScan out;
  // min_angle at angle_min: offset 2pi, so the start is the turn and only
  // readings 0..end-1 remain.
  ASSERT_TRUE(select_scan_window(in, out, in.angle_min, 1.0, TurnCount::kOffsetOfAngleMin));
  EXPECT_EQ(out.ranges, ranges_of(in, 0, 238));

  ASSERT_TRUE(select_scan_window(in, out, 3.0, -3.0, TurnCount::kOffsetOfAngleMin));
  std::vector<float> expected = ranges_of(in, 352, 361);
  const std::vector<float> head = ranges_of(in, 0, 9);
  expected.insert(expected.end(), head.begin(), head.end());
  EXPECT_EQ(out.ranges, expected);

  // Ends equal modulo 2pi: one whole turn from the start.
  ASSERT_TRUE(select_scan_window(in, out, 1.0, 1.0 + kTwoPi, TurnCount::kOffsetOfAngleMin));
  EXPECT_EQ(out.ranges.size(), 361u);
  EXPECT_EQ(out.ranges.front(), in.ranges[238]);
  EXPECT_EQ(out.ranges.back(), in.ranges[237]);
}

// The line program counts one turn as ceil(2pi / increment).
TEST(LineWindow, HalfTurnScanFixedWindow)
{
  const LaserScan in = make_scan(kMinusPi, kDegree, 360);
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, -kHalfPi, kHalfPi,
      TurnCount::kTwoPiOverIncrement);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 91u);
  EXPECT_EQ(window->end, 271u);
  EXPECT_EQ(window->turn, 361u);

  LaserScan out;
  ASSERT_TRUE(select_scan_window(in, out, -kHalfPi, kHalfPi, TurnCount::kTwoPiOverIncrement));
  EXPECT_EQ(out.ranges, ranges_of(in, 91, 271));
  EXPECT_NEAR(out.angle_min * 180.0 / kPi, -89.0, 1e-3);
  EXPECT_NEAR(out.angle_max * 180.0 / kPi, 90.0, 1e-3);
}

TEST(LineWindow, WrappingWindowNeedsFullTurn)
{
  const auto window = compute_scan_window(0.0f, kDegree, -kHalfPi, kHalfPi,
      TurnCount::kTwoPiOverIncrement);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 271u);
  EXPECT_EQ(window->end, 91u);

  LaserScan out;
  EXPECT_FALSE(select_scan_window(make_scan(0.0f, kDegree, 360), out, -kHalfPi, kHalfPi,
      TurnCount::kTwoPiOverIncrement));

  const LaserScan in = make_scan(0.0f, kDegree, 361);
  ASSERT_TRUE(select_scan_window(in, out, -kHalfPi, kHalfPi, TurnCount::kTwoPiOverIncrement));
  std::vector<float> expected = ranges_of(in, 271, 361);
  const std::vector<float> head = ranges_of(in, 0, 91);
  expected.insert(expected.end(), head.begin(), head.end());
  EXPECT_EQ(out.ranges, expected);
  EXPECT_EQ(out.intensities.size(), 181u);
}

TEST(LineWindow, ThreeQuarterTurnScanner)
{
  const float angle_min = static_cast<float>(-135.0 * kPi / 180.0);
  ASSERT_LT(static_cast<double>(angle_min), -3.0 * kPi / 4.0);
  const LaserScan in = make_scan(angle_min, kQuarterDegree, 1081);
  LaserScan out;
  ASSERT_TRUE(select_scan_window(in, out, -kHalfPi, kHalfPi, TurnCount::kTwoPiOverIncrement));
  const auto window = compute_scan_window(in.angle_min, in.angle_increment, -kHalfPi, kHalfPi,
      TurnCount::kTwoPiOverIncrement);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->start, 181u);
  EXPECT_EQ(window->end, 901u);
  EXPECT_EQ(out.ranges, ranges_of(in, 181, 901));
}

TEST(LineWindow, NarrowScanFails)
{
  const float quarter_pi = static_cast<float>(kPi / 4.0);
  const LaserScan in = make_scan(-quarter_pi, kDegree, 91);
  LaserScan out;
  EXPECT_FALSE(select_scan_window(in, out, -kHalfPi, kHalfPi, TurnCount::kTwoPiOverIncrement));
}

// Scans that would make the wrap run away, divide by nothing, or overflow the
// conversion to a count: the selection fails instead.
TEST(WindowFaults, BadIncrementFails)
{
  for (const float increment : {std::numeric_limits<float>::quiet_NaN(),
      std::numeric_limits<float>::infinity(), 0.0f, -0.0f, -kDegree,
      std::numeric_limits<float>::denorm_min()})
  {
    for (const TurnCount count : {TurnCount::kOffsetOfAngleMin, TurnCount::kTwoPiOverIncrement}) {
      EXPECT_FALSE(compute_scan_window(kMinusPi, increment, -1.0, 1.0, count)) << increment;
      LaserScan out;
      EXPECT_FALSE(select_scan_window(make_scan(kMinusPi, increment, 360), out, -1.0, 1.0, count))
        << increment;
      EXPECT_EQ(out.header.frame_id, "laser");
    }
  }
}

TEST(WindowFaults, BadAngleMinFails)
{
  for (const float angle_min : {std::numeric_limits<float>::quiet_NaN(),
      std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), 1e30f,
      -1e30f})
  {
    EXPECT_FALSE(compute_scan_window(angle_min, kDegree, -1.0, 1.0, TurnCount::kOffsetOfAngleMin))
      << angle_min;
    EXPECT_FALSE(compute_scan_window(angle_min, kDegree, -1.0, 1.0, TurnCount::kTwoPiOverIncrement))
      << angle_min;
  }
  // Window and scan both at a huge angle: near each other, but adding 2pi no
  // longer changes the value, so no wrap could settle.
  EXPECT_FALSE(compute_scan_window(1e30f, kDegree, 1e30, 1e30, TurnCount::kOffsetOfAngleMin));
}

TEST(WindowFaults, BadWindowAnglesFail)
{
  for (const double angle : {kNaN, kInf, -kInf, 1e300, -1e300, 1001.0 * kTwoPi, -1001.0 * kTwoPi}) {
    EXPECT_FALSE(compute_scan_window(kMinusPi, kDegree, angle, 1.0, TurnCount::kOffsetOfAngleMin))
      << angle;
    EXPECT_FALSE(compute_scan_window(kMinusPi, kDegree, -1.0, angle, TurnCount::kTwoPiOverIncrement))
      << angle;
  }
}

TEST(WindowFaults, FarButBoundedAnglesWrapLikeTheStepwiseRule)
{
  const double angle_min = kMinusPi;
  for (const double angle : {-1.0, 1.0, 999.0 * kTwoPi - 1.0, -999.0 * kTwoPi + 1.0, 500.25,
      -6000.0, 6000.0, angle_min, angle_min - kTwoPi})
  {
    const auto window = compute_scan_window(kMinusPi, kDegree, angle, angle,
        TurnCount::kOffsetOfAngleMin);
    ASSERT_TRUE(window) << angle;
    const auto expected = static_cast<std::uint64_t>(
      std::ceil(literal_offset(angle, angle_min) / static_cast<double>(kDegree)));
    EXPECT_EQ(window->start, expected) << angle;
    EXPECT_EQ(window->end, expected) << angle;
  }
}

TEST(WindowFaults, ShortIntensitiesAreNeverReadPastTheirEnd)
{
  LaserScan out;
  const LaserScan partial = make_scan(kMinusPi, kDegree, 360, 200);
  ASSERT_TRUE(select_scan_window(partial, out, -1.0, 1.0, TurnCount::kOffsetOfAngleMin));
  EXPECT_EQ(out.ranges, ranges_of(partial, 123, 238));
  EXPECT_EQ(out.intensities, intensities_of(partial, 123, 200));

  const LaserScan none = make_scan(kMinusPi, kDegree, 360, 0);
  ASSERT_TRUE(select_scan_window(none, out, -1.0, 1.0, TurnCount::kOffsetOfAngleMin));
  EXPECT_EQ(out.ranges.size(), 115u);
  EXPECT_TRUE(out.intensities.empty());

  // Wrapping: only the indices that exist, in selection order.
  const LaserScan wrapping = make_scan(0.0f, kDegree, 361, 100);
  ASSERT_TRUE(select_scan_window(wrapping, out, -kHalfPi, kHalfPi, TurnCount::kTwoPiOverIncrement));
  EXPECT_EQ(out.ranges.size(), 181u);
  EXPECT_EQ(out.intensities, intensities_of(wrapping, 0, 91));
}

TEST(WindowFaults, NullScansAndAliasedOutput)
{
  auto scan = std::make_shared<LaserScan>(make_scan(kMinusPi, kDegree, 360));
  EXPECT_FALSE(align_model::select_scan_data_from_angle(nullptr, scan, -1.0, 1.0));
  EXPECT_FALSE(align_model::select_scan_data_from_angle(scan, nullptr, -1.0, 1.0));
  const LaserScan original = *scan;
  ASSERT_TRUE(align_model::select_scan_data_from_angle(scan, scan, -1.0, 1.0));
  EXPECT_EQ(scan->ranges, ranges_of(original, 123, 238));
}

// The coverage check decides whether a scan is searched at all; it must
// agree with the copying selection on every kind of scan and window,
// including the wrapping and rounding edge cases above.
TEST(WindowCoverage, AgreesWithSelectionOnEveryScanAndWindow)
{
  const float angle_mins[] = {kMinusPi, 0.0f, kMinusThreeQuarterPi, -kDegree / 2.0f, 3.0f};
  const float increments[] = {kDegree, kQuarterDegree, 0.0f, -kDegree};
  const double window_angles[] = {-kPi, -2.0, -kHalfPi, -0.5, 0.0, 0.5, kHalfPi, 2.0, kPi, 7.0, kNaN, kInf};
  int covered = 0;
  int refused = 0;
  for (const float angle_min : angle_mins) {
    for (const float increment : increments) {
      for (const std::size_t readings : {0u, 90u, 181u, 270u, 360u, 361u, 1081u, 1440u}) {
        const LaserScan scan = make_scan(angle_min, increment, readings, readings / 2);
        for (const double low : window_angles) {
          for (const double high : window_angles) {
            for (const TurnCount turn : {TurnCount::kOffsetOfAngleMin, TurnCount::kTwoPiOverIncrement}) {
              LaserScan out;
              const bool selected = select_scan_window(scan, out, low, high, turn);
              ASSERT_EQ(align_model::scan_covers_window(scan, low, high, turn), selected)
                << "angle_min " << angle_min << " increment " << increment << " readings " << readings
                << " window " << low << ".." << high;
              ++(selected ? covered : refused);
            }
          }
        }
      }
    }
  }
  // Both answers occur often, so the agreement is not that of a constant.
  EXPECT_GT(covered, 1000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
