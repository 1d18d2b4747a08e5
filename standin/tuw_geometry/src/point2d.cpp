#include "tuw_geometry/point2d.hpp"

#include <cmath>
#include <cstdio>

#include "tuw_geometry/polar2d.hpp"

namespace tuw
{

Point2D::Point2D()
: x_(0.0), y_(0.0), h_(1.0) {}

Point2D::Point2D(double x, double y)
: x_(x), y_(y), h_(1.0) {}

Point2D::Point2D(double x, double y, double h)
: x_(x), y_(y), h_(h) {}

Point2D::Point2D(const Polar2D & p)
: x_(p.rho() * std::cos(p.alpha())), y_(p.rho() * std::sin(p.alpha())), h_(1.0) {}

Point2D & Point2D::set(double x, double y)
{
  x_ = x;
  y_ = y;
  return *this;
}

Point2D & Point2D::set(const Point2D & p)
{
  return set(p.x_, p.y_);
}

Point2D & Point2D::set(double x, double y, double h)
{
  x_ = x;
  y_ = y;
  h_ = h;
  return *this;
}

double Point2D::distanceTo(const Point2D & p) const
{
  // Spelled out rather than std::hypot: results must match the original bit for bit.
  const double dx = p.x_ - x_;
  const double dy = p.y_ - y_;
  return std::sqrt(dx * dx + dy * dy);
}

double Point2D::angle() const
{
  return std::atan2(y_, x_);
}

double Point2D::radius() const
{
  return std::sqrt(x_ * x_ + y_ * y_);
}

bool Point2D::inside(double x0, double y0, double x1, double y1) const
{
  return x0 <= x_ && x_ <= x1 && y0 <= y_ && y_ <= y1;
}

bool Point2D::equal(const Point2D & o, double tol) const
{
  const double dx = x_ - o.x_;
  const double dy = y_ - o.y_;
  const double dh = h_ - o.h_;
  return std::sqrt(dx * dx + dy * dy + dh * dh) < tol;
}

std::string Point2D::str(const char * format) const
{
  char text[200];
  std::snprintf(text, sizeof(text), format, x_, y_);
  return std::string(text);
}

bool Point2D::operator==(const Point2D & o) const
{
  return x_ == o.x_ && y_ == o.y_ && h_ == o.h_;
}

bool Point2D::operator!=(const Point2D & o) const
{
  return !(*this == o);
}

std::ostream & operator<<(std::ostream & os, const Point2D & p)
{
  return os << "[" << p.x() << ", " << p.y() << "]";
}

}  // namespace tuw
