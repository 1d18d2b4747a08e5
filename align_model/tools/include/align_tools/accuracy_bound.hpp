// The best accuracy any unbiased detector can reach on one scan of the V
// target: the Cramer-Rao bound of the target's pose from the ranges of the
// beams that hit the plates, each with independent Gaussian noise.
#ifndef ALIGN_TOOLS__ACCURACY_BOUND_HPP_
#define ALIGN_TOOLS__ACCURACY_BOUND_HPP_

namespace align_tools
{

struct BoundCase
{
  double plate_length = 0.3;  // m
  double opening = 2.0943951023931957;  // angle between the plates, rad
  double range = 1.5;  // laser to apex, m; the V opens towards the laser, head-on
  double angle_step = 0.00872664626;  // between beams, rad
  double sigma = 0.01;  // range noise, m
};

// Standard deviations of the pose's three parts, with the V's geometry known
// (the parameters are the apex's position and the heading).
struct PoseBound
{
  int beams = 0;  // beams that hit a plate
  double along = 0.0;  // m, along the target's axis
  double across = 0.0;  // m
  double heading = 0.0;  // rad
  // Along the axis for an estimator that fits the two plates as free lines
  // and takes their crossing, as both programs do: the opening is then
  // unknown too, which doubles the along part (across and heading stay as
  // they are).
  double free_along = 0.0;  // m
};

// Fisher information of the ranges, taken with numerical derivatives of each
// beam's range against the three pose parameters; its inverse's diagonal.
// With fewer than four beams on the plates the pose cannot be had: every
// part is then +inf.
PoseBound cramer_rao_bound(const BoundCase & bound_case);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ACCURACY_BOUND_HPP_
