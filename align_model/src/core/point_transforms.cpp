#include <cmath>

#include "align_model/scan_points.hpp"

namespace align_model
{

void transform_points(const PlanarTransform & transform, std::vector<tuw::Point2D> & points)
{
  const PlanarTransform & t = transform;
  for (tuw::Point2D & point : points) {
    const double x = point.x();
    const double y = point.y();
    // The points lie at height 0; the z column is kept in the sums so that the
    // result matches a full 3-D transform bit for bit.
    point = tuw::Point2D(
      t.r00 * x + t.r01 * y + t.r02 * 0.0 + t.tx,
      t.r10 * x + t.r11 * y + t.r12 * 0.0 + t.ty);
  }
}

void transform_points_to_base(double tx, double ty, double th, std::vector<tuw::Point2D> & points)
{
  const double c = std::cos(th);
  const double s = std::sin(th);
  for (tuw::Point2D & point : points) {
    const double x = point.x();
    const double y = point.y();
    point = tuw::Point2D(tx + c * x - s * y, ty + s * x + c * y);
  }
}

}  // namespace align_model
