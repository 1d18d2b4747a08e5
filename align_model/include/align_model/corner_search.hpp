#ifndef ALIGN_MODEL__CORNER_SEARCH_HPP_
#define ALIGN_MODEL__CORNER_SEARCH_HPP_

#include <functional>
#include <memory>
#include <vector>

#include "align_model/feature.hpp"
#include "tuw_geometry/linesegment2d.hpp"

namespace align_model
{

struct CornerSearchParameters
{
  double min_line_len = 0.1;
  double max_line_len = 0.07;
  double points_max_distance = 0.03;
  double target_angle = 1.047;
  double angle_error = 0.2;
  // Off: only a turn beyond the target is limited (two pieces of one plate,
  // meeting at a few degrees, pass). On: the turn must lie within the
  // tolerance on both sides.
  bool two_sided_angle_test = false;
};

// How far the pairs of one scan got: inside the length window, with facing ends
// near enough, and through the angle test.
struct CornerSearchCounts
{
  int count_lens = 0;
  int count_near = 0;
  int count_angle = 0;
};

// Optional per-pair diagnostics (the node turns them into DEBUG lines). Left
// empty, nothing is reported.
struct CornerSearchTrace
{
  // distance d of the facing ends
  std::function<void(double distance)> on_distance;
  // l2.angle(), l1.angle(), target angle, wrapped difference
  std::function<void(double l2_angle, double l1_angle, double target_angle, double real_angle)> on_angle;
};

// Tests every pair (i < j) of the list in order; reverses segments of the list
// in place where their facing ends demand it. Appends each feature that has a
// pose to `features`, in pair order.
CornerSearchCounts search_corners(
  std::vector<tuw::LineSegment2D> & lines, const CornerSearchParameters & parameters,
  std::vector<std::shared_ptr<Feature>> & features, const CornerSearchTrace & trace = {});

}  // namespace align_model

#endif  // ALIGN_MODEL__CORNER_SEARCH_HPP_
