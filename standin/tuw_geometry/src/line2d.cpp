#include "tuw_geometry/line2d.hpp"

#include <cmath>

namespace tuw
{

Line2D::Line2D()
: a_(0.0), b_(0.0), c_(0.0) {}

Line2D::Line2D(const double & x0, const double & y0, const double & x1, const double & y1, bool normalize)
: Line2D()
{
  set(x0, y0, x1, y1, normalize);
}

Line2D::Line2D(const Point2D & p0, const Point2D & p1, bool normalize)
: Line2D()
{
  set(p0, p1, normalize);
}

Line2D & Line2D::set(const double & x0, const double & y0, const double & x1, const double & y1, bool normalize)
{
  a_ = y0 - y1;
  b_ = x1 - x0;
  c_ = x0 * y1 - y0 * x1;
  if (normalize) {
    this->normalize();
  }
  return *this;
}

Line2D & Line2D::set(const Point2D & p0, const Point2D & p1, bool normalize)
{
  return set(p0.x(), p0.y(), p1.x(), p1.y(), normalize);
}

Line2D & Line2D::normalize()
{
  // No guard for r == 0 (equal points): the NaN coefficients are the documented result.
  const double r = std::sqrt(a_ * a_ + b_ * b_);
  a_ /= r;
  b_ /= r;
  c_ /= r;
  return *this;
}

double Line2D::distanceTo(const double & x, const double & y) const
{
  return a_ * x + b_ * y + c_;
}

double Line2D::distanceTo(const Point2D & p) const
{
  return distanceTo(p.x(), p.y());
}

Point2D Line2D::pointOnLine(const Point2D & p) const
{
  const double d = distanceTo(p);
  return Point2D(p.x() - d * a_, p.y() - d * b_);
}

Point2D Line2D::intersection(const Line2D & l) const
{
  const double hx = b_ * l.c_ - c_ * l.b_;
  const double hy = c_ * l.a_ - a_ * l.c_;
  const double hh = a_ * l.b_ - b_ * l.a_;
  return Point2D(hx / hh, hy / hh);
}

Point2D Line2D::normal() const
{
  return Point2D(a_, b_);
}

std::ostream & operator<<(std::ostream & os, const Line2D & l)
{
  return os << "[" << l.a() << ", " << l.b() << ", " << l.c() << "]";
}

}  // namespace tuw
