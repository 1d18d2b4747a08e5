#include <cmath>

#include "align_model/angles.hpp"
#include "align_model/target_lines.hpp"

namespace align_model
{
namespace
{

// Below this the two lines count as parallel and have no usable crossing.
constexpr double kParallelDeterminant = 0.00001;

// Bisector between the ray back along a and the ray along b. Left unwrapped:
// it lies in [b, b + pi).
double bisector_heading(const tuw::LineSegment2D & a, const tuw::LineSegment2D & b)
{
  double back_along_a = a.angle() - kPi;
  const double along_b = b.angle();
  // Both angles lie in [-pi, pi] (or are NaN), so this ends within two steps.
  while (along_b > back_along_a) {
    back_along_a += kTwoPi;
  }
  return (back_along_a + along_b) / 2.0;
}

}  // namespace

std::optional<TargetPose> compute_target_pose(
  const tuw::LineSegment2D & a, const tuw::LineSegment2D & b, int angle_type, bool anti_pose_angle)
{
  const double determinant =
    (a.x0() - a.x1()) * (b.y0() - b.y1()) - (a.y0() - a.y1()) * (b.x0() - b.x1());
  if (std::fabs(determinant) < kParallelDeterminant) {
    return std::nullopt;
  }
  const double ca = a.x0() * a.y1() - a.y0() * a.x1();
  const double cb = b.x0() * b.y1() - b.y0() * b.x1();
  TargetPose pose;
  pose.x = (ca * (b.x0() - b.x1()) - (a.x0() - a.x1()) * cb) / determinant;
  pose.y = (ca * (b.y0() - b.y1()) - (a.y0() - a.y1()) * cb) / determinant;
  pose.theta = angle_type >= 0 ? bisector_heading(a, b) : std::atan2(-pose.y, -pose.x);
  if (anti_pose_angle) {
    pose.theta = -pose.theta;
  }
  return pose;
}

}  // namespace align_model
