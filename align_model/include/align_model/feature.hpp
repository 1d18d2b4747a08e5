#ifndef ALIGN_MODEL__FEATURE_HPP_
#define ALIGN_MODEL__FEATURE_HPP_

#include <memory>

#include "align_model/pose.hpp"
#include "tuw_geometry/linesegment2d.hpp"

namespace align_model
{

// A candidate corner: l1 ends at the corner (its p1), l2 starts there (its p0).
class Feature
{
public:
  // Computes the corner pose (crossing of the two infinite lines, heading along
  // the bisector into the opening); pose_ stays null for (nearly) parallel legs
  // or a corner that does not open towards +x.
  Feature(const tuw::LineSegment2D & l1, const tuw::LineSegment2D & l2, float angle_error);

  std::shared_ptr<Pose> pose_;
  float angle_error_ = 0.0f;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__FEATURE_HPP_
