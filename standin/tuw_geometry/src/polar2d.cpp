#include "tuw_geometry/polar2d.hpp"

#include <cmath>

namespace tuw
{

Polar2D::Polar2D()
: Point2D() {}

Polar2D::Polar2D(double alpha, double rho, double h)
: Point2D(alpha, rho, h) {}

Polar2D::Polar2D(const Point2D & p)
: Point2D(std::atan2(p.y(), p.x()), std::sqrt(p.x() * p.x() + p.y() * p.y()), 1.0) {}

}  // namespace tuw
