#include "align_model/corner_search.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "align_model/angles.hpp"
#include "align_model/length_window.hpp"

namespace align_model
{
namespace
{

// Exchanges the end points. The four numbers are copied first because set()
// takes references and overwrites p0 before it reads the new p1.
void reverse(tuw::LineSegment2D & line)
{
  const double x0 = line.x0();
  const double y0 = line.y0();
  const double x1 = line.x1();
  const double y1 = line.y1();
  line.set(x1, y1, x0, y0);
}

// The two legs oriented so that l1 ends where l2 starts, and the distance of
// those facing ends (or the limit, when no pairing of ends is nearer).
struct FacingLegs
{
  tuw::LineSegment2D * l1;
  tuw::LineSegment2D * l2;
  double distance;
};

// Tries the four pairings of ends in a fixed order; a later pairing wins only
// when strictly nearer. Reversals change the list itself.
FacingLegs face_legs(tuw::LineSegment2D & first, tuw::LineSegment2D & second, double max_distance)
{
  FacingLegs legs{&first, &second, std::min(max_distance, first.p1().distanceTo(second.p0()))};
  const double tail_to_head = first.p0().distanceTo(second.p1());
  if (legs.distance > tail_to_head) {
    legs = FacingLegs{&second, &first, tail_to_head};
  }
  const double head_to_head = legs.l1->p1().distanceTo(legs.l2->p1());
  if (legs.distance > head_to_head) {
    reverse(*legs.l2);
    legs.distance = head_to_head;
  }
  const double tail_to_tail = legs.l1->p0().distanceTo(legs.l2->p0());
  if (legs.distance > tail_to_tail) {
    reverse(*legs.l1);
    legs.distance = tail_to_tail;
  }
  return legs;
}

// l2's direction minus l1's, wrapped into [-pi, pi).
double angle_between(const tuw::LineSegment2D & l1, const tuw::LineSegment2D & l2)
{
  const double diff = l2.angle() - l1.angle();
  return diff - kTwoPi * std::floor((diff / kPi + 1.0) * 0.5);
}

}  // namespace

CornerSearchCounts search_corners(
  std::vector<tuw::LineSegment2D> & lines, const CornerSearchParameters & parameters,
  std::vector<std::shared_ptr<Feature>> & features, const CornerSearchTrace & trace)
{
  CornerSearchCounts counts;
  const double tolerance = std::fabs(parameters.target_angle * parameters.angle_error);
  std::vector<std::size_t> candidates;
  segments_in_length_window(lines, parameters.min_line_len, parameters.max_line_len, candidates);
  for (std::size_t a = 0; a < candidates.size(); ++a) {
    for (std::size_t b = a + 1; b < candidates.size(); ++b) {
      ++counts.count_lens;

      const FacingLegs legs = face_legs(lines[candidates[a]], lines[candidates[b]], parameters.points_max_distance);
      if (trace.on_distance) {
        trace.on_distance(legs.distance);
      }
      if (legs.distance >= parameters.points_max_distance) {
        continue;
      }
      ++counts.count_near;

      const double real_angle = angle_between(*legs.l1, *legs.l2);
      if (trace.on_angle) {
        trace.on_angle(legs.l2->angle(), legs.l1->angle(), parameters.target_angle, real_angle);
      }
      // Signed: by default a pair whose legs turn less than the target passes
      // whatever the shortfall; the two-sided test holds both sides.
      const double error = std::fabs(real_angle) - parameters.target_angle;
      if (error > tolerance || (parameters.two_sided_angle_test && -error > tolerance)) {
        continue;
      }
      ++counts.count_angle;

      auto feature = std::make_shared<Feature>(*legs.l1, *legs.l2, static_cast<float>(error));
      if (feature->pose_) {
        features.push_back(std::move(feature));
      }
    }
  }
  return counts;
}

}  // namespace align_model
