#ifndef TUW_GEOMETRY__POLAR2D_HPP_
#define TUW_GEOMETRY__POLAR2D_HPP_

#include <memory>
#include <vector>

#include "tuw_geometry/point2d.hpp"

namespace tuw
{

// A point in polar form; the first stored value is the angle alpha, the second the radius rho.
class Polar2D : public Point2D
{
public:
  Polar2D();
  Polar2D(double alpha, double rho, double h = 1.0);
  // Polar form of a Cartesian point: (atan2(y, x), sqrt(x*x + y*y), 1).
  explicit Polar2D(const Point2D & p);

  double & alpha() {return x();}
  const double & alpha() const {return x();}
  double & rho() {return y();}
  const double & rho() const {return y();}
};

using Polar2DPtr = std::shared_ptr<Polar2D>;
using Polar2DConstPtr = std::shared_ptr<const Polar2D>;

}  // namespace tuw

#endif  // TUW_GEOMETRY__POLAR2D_HPP_
