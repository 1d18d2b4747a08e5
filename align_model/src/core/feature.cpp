#include "align_model/feature.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_model
{
namespace
{

// Below this the two legs count as parallel and have no usable crossing.
constexpr double kParallelDeterminant = 1e-5;

}  // namespace

Feature::Feature(const tuw::LineSegment2D & l1, const tuw::LineSegment2D & l2, float angle_error)
: angle_error_(angle_error)
{
  const double determinant =
    (l1.x0() - l1.x1()) * (l2.y0() - l2.y1()) - (l1.y0() - l1.y1()) * (l2.x0() - l2.x1());
  if (std::fabs(determinant) < kParallelDeterminant) {
    return;
  }
  const double a = l1.x0() * l1.y1() - l1.y0() * l1.x1();
  const double b = l2.x0() * l2.y1() - l2.y0() * l2.x1();
  const double x = (a * (l2.x0() - l2.x1()) - b * (l1.x0() - l1.x1())) / determinant;
  const double y = (a * (l2.y0() - l2.y1()) - b * (l1.y0() - l1.y1())) / determinant;

  // Sum of the unit vectors leaving the corner along l2 and back along l1:
  // the bisector, pointing into the opening.
  const double alpha1 = l1.angle();
  const double alpha2 = l2.angle();
  const double theta = std::atan2(
    std::sin(alpha2) + std::sin(alpha1 - kPi), std::cos(alpha2) + std::cos(alpha1 - kPi));

  pose_ = std::make_shared<Pose>();
  pose_->x = static_cast<float>(x);
  pose_->y = static_cast<float>(y);
  pose_->theta = static_cast<float>(theta);
  // The target is docked from the +x side only.
  if (std::cos(pose_->theta) <= 0.0f) {
    pose_.reset();
  }
}

}  // namespace align_model
