#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "align_model/angles.hpp"
#include "align_model/target_lines.hpp"

namespace
{

using align_model::compute_target_pose;
using align_model::find_target_lines;
using align_model::kPi;
using align_model::kTwoPi;
using align_model::TargetLineParameters;
using align_model::TargetLines;
using align_model::TargetLineTrace;
using tuw::LineSegment2D;

const LineSegment2D kLineA(1.0, 1.0, 2.0, 1.0);
const LineSegment2D kLineB(2.0, 1.0, 2.5, 1.8660254);

TargetLineParameters target_parameters()
{
  TargetLineParameters parameters;
  parameters.points_max_distance = 0.03;
  parameters.min_line_len = 0.5;
  parameters.max_line_len = 1.5;
  parameters.target_angle = 1.047;
  parameters.angle_error = 0.2;
  return parameters;
}

void expect_same_ends(const LineSegment2D & actual, const LineSegment2D & expected)
{
  EXPECT_EQ(actual.x0(), expected.x0());
  EXPECT_EQ(actual.y0(), expected.y0());
  EXPECT_EQ(actual.x1(), expected.x1());
  EXPECT_EQ(actual.y1(), expected.y1());
}

LineSegment2D shifted(const LineSegment2D & line, double dx)
{
  return LineSegment2D(line.x0() + dx, line.y0(), line.x1() + dx, line.y1());
}

TEST(TargetLineSearch, WorkedExample)
{
  const auto found = find_target_lines({kLineA, kLineB}, target_parameters());
  ASSERT_TRUE(found);
  expect_same_ends(found->a, kLineA);
  expect_same_ends(found->b, kLineB);
  EXPECT_EQ(found->i, 0u);
  EXPECT_EQ(found->j, 1u);
  EXPECT_NEAR(found->error, 0.0001976, 1e-6);
}

TEST(TargetLineSearch, EndBeforeStartOrdersThePair)
{
  const auto found = find_target_lines({kLineB, kLineA}, target_parameters());
  ASSERT_TRUE(found);
  expect_same_ends(found->a, kLineA);
  expect_same_ends(found->b, kLineB);
  EXPECT_EQ(found->i, 0u);
  EXPECT_EQ(found->j, 1u);
}

TEST(TargetLineSearch, FirstTouchTestWinsWhenBothHold)
{
  // Both ends meet: i's end at j's start, and j's end at i's start.
  const LineSegment2D there(0.0, 0.0, 1.0, 0.0);
  const LineSegment2D back(1.0, 0.0, 0.0, 0.0);
  TargetLineParameters parameters = target_parameters();
  parameters.target_angle = kPi;
  const auto found = find_target_lines({there, back}, parameters);
  ASSERT_TRUE(found);
  expect_same_ends(found->a, there);
  expect_same_ends(found->b, back);
}

TEST(TargetLineSearch, NothingWithoutTouchingAdmissiblePair)
{
  EXPECT_FALSE(find_target_lines({}, target_parameters()));
  EXPECT_FALSE(find_target_lines({kLineA}, target_parameters()));
  // Defaults: minimum length above maximum.
  EXPECT_FALSE(find_target_lines({kLineA, kLineB}, TargetLineParameters{}));
  // Ends exactly points_max_distance apart do not touch.
  TargetLineParameters parameters = target_parameters();
  parameters.points_max_distance = 0.5;
  EXPECT_FALSE(find_target_lines({kLineA, shifted(kLineB, 0.5)}, parameters));
  parameters.points_max_distance = std::nextafter(0.5, 1.0);
  EXPECT_TRUE(find_target_lines({kLineA, shifted(kLineB, 0.5)}, parameters));
}

TEST(TargetLineSearch, LengthBoundsIncluded)
{
  TargetLineParameters parameters = target_parameters();
  // kLineA is exactly 1 long, kLineB a little shorter: each sits on a bound.
  ASSERT_LT(kLineB.length(), 1.0);
  parameters.min_line_len = kLineB.length();
  parameters.max_line_len = 1.0;
  EXPECT_TRUE(find_target_lines({kLineA, kLineB}, parameters));
  parameters.min_line_len = std::nextafter(kLineB.length(), 2.0);
  EXPECT_FALSE(find_target_lines({kLineA, kLineB}, parameters));
  parameters.min_line_len = kLineB.length();
  parameters.max_line_len = std::nextafter(1.0, 0.0);
  EXPECT_FALSE(find_target_lines({kLineA, kLineB}, parameters));
}

TEST(TargetLineSearch, ErrorAtToleranceAndBestIsAccepted)
{
  // A right-angle turn against a target of pi/4: err is exactly pi/4, equal to
  // both the tolerance and the starting best.
  const LineSegment2D east(0.0, 0.0, 1.0, 0.0);
  const LineSegment2D north(1.0, 0.0, 1.0, 1.0);
  TargetLineParameters parameters = target_parameters();
  parameters.target_angle = kPi / 4.0;
  parameters.angle_error = 1.0;
  const auto found = find_target_lines({east, north}, parameters);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->error, kPi / 4.0);
  parameters.angle_error = std::nextafter(1.0, 0.0);
  EXPECT_FALSE(find_target_lines({east, north}, parameters));
}

TEST(TargetLineSearch, BestStartsAtTargetAngle)
{
  // A generous tolerance does not admit errors above |target_angle|.
  const LineSegment2D east(0.0, 0.0, 1.0, 0.0);
  const LineSegment2D north(1.0, 0.0, 1.0, 1.0);
  TargetLineParameters parameters = target_parameters();
  parameters.target_angle = 0.5;
  parameters.angle_error = 10.0;
  EXPECT_FALSE(find_target_lines({east, north}, parameters));
  parameters.target_angle = -0.5;
  EXPECT_FALSE(find_target_lines({east, north}, parameters));
}

TEST(TargetLineSearch, LastAmongEqualsAndSmallestWins)
{
  const LineSegment2D slightly_off(2.0, 1.0, 2.5, 1.87);
  std::vector<LineSegment2D> lines{kLineA, kLineB, shifted(kLineA, 5.0), shifted(kLineB, 5.0)};
  auto found = find_target_lines(lines, target_parameters());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->i, 2u);
  EXPECT_EQ(found->j, 3u);

  // A later pair with a larger error does not replace the best one.
  lines = {kLineA, kLineB, shifted(kLineA, 5.0), shifted(slightly_off, 5.0)};
  found = find_target_lines(lines, target_parameters());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->i, 0u);
  EXPECT_EQ(found->j, 1u);
}

TEST(TargetLineSearch, TraceBeforeAndAfterAcceptance)
{
  const LineSegment2D north(2.0, 1.0, 2.0, 2.0);
  std::vector<LineSegment2D> lines{kLineA, north, kLineB};
  std::vector<std::pair<std::size_t, std::size_t>> errors;
  std::vector<std::size_t> accepted;
  TargetLineTrace trace;
  trace.on_error = [&](std::size_t i, std::size_t j, double error) {
      errors.emplace_back(i, j);
      if (j == 1) {
        EXPECT_NEAR(error, kPi / 2.0 - 1.047, 1e-12);
      }
    };
  trace.on_accept = [&](const TargetLines & best) {accepted.push_back(best.j);};
  const auto found = find_target_lines(lines, target_parameters(), trace);
  ASSERT_TRUE(found);
  // (0, 1) is traced but rejected (90 degrees); (1, 2) do not touch.
  EXPECT_EQ(errors, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 1}, {0, 2}}));
  EXPECT_EQ(accepted, (std::vector<std::size_t>{2}));
}

TEST(TargetPose, WorkedExampleHeadings)
{
  auto pose = compute_target_pose(kLineA, kLineB, 1, false);
  ASSERT_TRUE(pose);
  EXPECT_NEAR(pose->x, 2.0, 1e-9);
  EXPECT_NEAR(pose->y, 1.0, 1e-9);
  EXPECT_NEAR(pose->theta, 2.0 * kPi / 3.0, 1e-7);
  EXPECT_NEAR(pose->theta * 180.0 / kPi, 120.0, 1e-5);

  pose = compute_target_pose(kLineA, kLineB, 0, false);
  EXPECT_NEAR(pose->theta, 2.0 * kPi / 3.0, 1e-7);

  pose = compute_target_pose(kLineA, kLineB, 1, true);
  EXPECT_NEAR(pose->theta, -2.0 * kPi / 3.0, 1e-7);

  pose = compute_target_pose(kLineA, kLineB, -1, false);
  EXPECT_NEAR(pose->theta, std::atan2(-1.0, -2.0), 1e-9);
  EXPECT_NEAR(pose->theta, -2.6779, 1e-4);

  pose = compute_target_pose(kLineA, kLineB, -1, true);
  EXPECT_NEAR(pose->theta, 2.6779, 1e-4);
}

TEST(TargetPose, BisectorLeftUnwrapped)
{
  // angle(A) = pi/2, angle(B) = 2.8.
  const LineSegment2D up(0.0, -1.0, 0.0, 0.0);
  const LineSegment2D b(0.0, 0.0, std::cos(2.8), std::sin(2.8));
  const auto pose = compute_target_pose(up, b, 1, false);
  ASSERT_TRUE(pose);
  EXPECT_NEAR(pose->theta, (-kPi / 2.0 + kTwoPi + 2.8) / 2.0, 1e-12);
  EXPECT_NEAR(pose->theta, 3.76, 0.01);
  EXPECT_GT(pose->theta, kPi);
}

TEST(TargetPose, ParallelLinesHaveNoPose)
{
  const LineSegment2D along(0.0, 0.0, 1.0, 0.0);
  EXPECT_FALSE(compute_target_pose(along, LineSegment2D(1.0, 0.0, 2.0, 0.0), 1, false));
  EXPECT_FALSE(compute_target_pose(along, LineSegment2D(1.0, 0.0, 2.0, 9e-6), -1, false));
  EXPECT_TRUE(compute_target_pose(along, LineSegment2D(1.0, 0.0, 2.0, 1.1e-5), -1, false));
}

}  // namespace
