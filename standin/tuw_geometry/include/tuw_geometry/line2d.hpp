#ifndef TUW_GEOMETRY__LINE2D_HPP_
#define TUW_GEOMETRY__LINE2D_HPP_

#include <memory>
#include <ostream>

#include "tuw_geometry/polar2d.hpp"

namespace tuw
{

// The line a*x + b*y + c = 0. Built from two points and normalised, (a, b) is the
// unit normal to the left of the direction p0 -> p1. Two equal points give NaN
// coefficients; callers that care must check.
class Line2D
{
public:
  static constexpr bool NORMALIZE = true;

  // Coefficients (0, 0, 0).
  Line2D();
  Line2D(const double & x0, const double & y0, const double & x1, const double & y1, bool normalize = true);
  Line2D(const Point2D & p0, const Point2D & p1, bool normalize = true);

  Line2D & set(const double & x0, const double & y0, const double & x1, const double & y1, bool normalize = true);
  Line2D & set(const Point2D & p0, const Point2D & p1, bool normalize = true);
  // Divides all three coefficients by sqrt(a*a + b*b).
  Line2D & normalize();

  double & a() {return a_;}
  const double & a() const {return a_;}
  double & b() {return b_;}
  const double & b() const {return b_;}
  double & c() {return c_;}
  const double & c() const {return c_;}

  // Signed a*x + b*y + c; positive on the left side.
  double distanceTo(const double & x, const double & y) const;
  double distanceTo(const Point2D & p) const;
  // Foot of the perpendicular from p.
  Point2D pointOnLine(const Point2D & p) const;
  // Cross product of the coefficient vectors, dehomogenised.
  Point2D intersection(const Line2D & l) const;
  // (a, b) as a point with h = 1.
  Point2D normal() const;

private:
  double a_;
  double b_;
  double c_;
};

std::ostream & operator<<(std::ostream & os, const Line2D & l);

using Line2DPtr = std::shared_ptr<Line2D>;
using Line2DConstPtr = std::shared_ptr<const Line2D>;

}  // namespace tuw

#endif  // TUW_GEOMETRY__LINE2D_HPP_
