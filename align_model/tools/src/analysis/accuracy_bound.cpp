#include "align_tools/accuracy_bound.hpp"

#include <Eigen/Dense>

#include <array>
#include <cmath>
#include <limits>

#include "align_model/angles.hpp"

namespace align_tools
{
namespace
{

// The two plates in the laser frame: the apex (x, y) and the direction of
// each plate from it. The known V ties the directions to one heading; two
// free lines leave them apart.
using PlatePose = std::array<double, 4>;

struct Hit
{
  double range = std::numeric_limits<double>::infinity();
  int plate = -1;
};

// The beam along `angle` against both plates.
Hit cast(const BoundCase & c, const PlatePose & pose, double angle)
{
  const double dx = std::cos(angle);
  const double dy = std::sin(angle);
  Hit nearest;
  for (int plate = 0; plate < 2; ++plate) {
    const double direction = pose[2 + plate];
    const double ex = c.plate_length * std::cos(direction);
    const double ey = c.plate_length * std::sin(direction);
    const double denominator = dx * ey - dy * ex;
    if (std::fabs(denominator) < 1e-12) {
      continue;
    }
    const double t = (pose[0] * ey - pose[1] * ex) / denominator;
    const double s = (pose[0] * dy - pose[1] * dx) / denominator;
    if (t > 0.0 && s >= 0.0 && s <= 1.0 && t < nearest.range) {
      nearest = {t, plate};
    }
  }
  return nearest;
}

}  // namespace

PoseBound cramer_rao_bound(const BoundCase & c)
{
  // The apex at `range` straight ahead, the opening towards the laser.
  const PlatePose truth{c.range, 0.0, align_model::kPi + 0.5 * c.opening, align_model::kPi - 0.5 * c.opening};
  const double step = 1e-9;
  Eigen::Matrix4d information = Eigen::Matrix4d::Zero();
  PoseBound bound;
  const int half = static_cast<int>(std::floor(0.5 * align_model::kPi / c.angle_step));
  for (int k = -half; k <= half; ++k) {
    const double angle = k * c.angle_step;
    const Hit hit = cast(c, truth, angle);
    if (hit.plate < 0) {
      continue;
    }
    Eigen::Vector4d gradient;
    bool same_plate = true;
    for (int j = 0; j < 4; ++j) {
      PlatePose ahead = truth;
      PlatePose behind = truth;
      ahead[j] += step;
      behind[j] -= step;
      const Hit a = cast(c, ahead, angle);
      const Hit b = cast(c, behind, angle);
      same_plate = same_plate && a.plate == hit.plate && b.plate == hit.plate;
      gradient(j) = (a.range - b.range) / (2.0 * step);
    }
    if (!same_plate) {
      continue;  // the beam on the apex: which plate it sees depends on the pose
    }
    ++bound.beams;
    information += gradient * gradient.transpose() / (c.sigma * c.sigma);
  }
  const double infinity = std::numeric_limits<double>::infinity();
  bound.along = bound.across = bound.heading = bound.free_along = infinity;
  if (bound.beams < 4) {
    return bound;
  }
  // Known V: one heading turns both plates, (x, y, heading) -> (x, y, d0, d1).
  Eigen::Matrix<double, 4, 3> tied = Eigen::Matrix<double, 4, 3>::Zero();
  tied(0, 0) = tied(1, 1) = tied(2, 2) = tied(3, 2) = 1.0;
  const Eigen::Matrix3d known = tied.transpose() * information * tied;
  Eigen::FullPivLU<Eigen::Matrix3d> known_lu(known);
  Eigen::FullPivLU<Eigen::Matrix4d> free_lu(information);
  if (!known_lu.isInvertible() || !free_lu.isInvertible()) {
    return bound;
  }
  const Eigen::Matrix3d covariance = known_lu.inverse();
  bound.along = std::sqrt(covariance(0, 0));
  bound.across = std::sqrt(covariance(1, 1));
  bound.heading = std::sqrt(covariance(2, 2));
  // Two free lines: the apex is their crossing, the heading their bisector.
  bound.free_along = std::sqrt(free_lu.inverse()(0, 0));
  return bound;
}

}  // namespace align_tools
