#include "tuw_geometry/linesegment2d.hpp"

#include <cmath>

namespace tuw
{

LineSegment2D::LineSegment2D()
: Line2D(), p0_(), p1_() {}

LineSegment2D::LineSegment2D(const Point2D & p0, const Point2D & p1)
: Line2D(p0, p1), p0_(p0), p1_(p1) {}

LineSegment2D::LineSegment2D(const double & x0, const double & y0, const double & x1, const double & y1)
: Line2D(x0, y0, x1, y1), p0_(x0, y0), p1_(x1, y1) {}

double LineSegment2D::length() const
{
  return p0_.distanceTo(p1_);
}

double LineSegment2D::angle() const
{
  return std::atan2(p1_.y() - p0_.y(), p1_.x() - p0_.x());
}

LineSegment2D & LineSegment2D::set(const double & x0, const double & y0, const double & x1, const double & y1)
{
  // The order matters to callers that pass this segment's own accessors (see header):
  // the coefficients see all four old values, p1 sees p0 already overwritten.
  Line2D::set(x0, y0, x1, y1);
  p0_.set(x0, y0);
  p1_.set(x1, y1);
  return *this;
}

LineSegment2D & LineSegment2D::set(const Point2D & p0, const Point2D & p1)
{
  return set(p0.x(), p0.y(), p1.x(), p1.y());
}

double LineSegment2D::distanceSqrTo(const Point2D & p, double & dx, double & dy) const
{
  const Point2D closest = closestPointTo(p);
  dx = closest.x() - p.x();
  dy = closest.y() - p.y();
  return dx * dx + dy * dy;
}

double LineSegment2D::distanceTo(const Point2D & p, double & dx, double & dy) const
{
  return std::sqrt(distanceSqrTo(p, dx, dy));
}

double LineSegment2D::distanceTo(const Point2D & p) const
{
  double dx = 0.0;
  double dy = 0.0;
  return distanceTo(p, dx, dy);
}

double LineSegment2D::closestPointLineSegmentRatio(const Point2D & p) const
{
  const double px = p1_.x() - p0_.x();
  const double py = p1_.y() - p0_.y();
  const double l2 = px * px + py * py;
  double u = ((p.x() - p0_.x()) * px + (p.y() - p0_.y()) * py) / l2;
  // Written so that a NaN u (zero-length segment) stays NaN instead of being clamped.
  if (u > 1.0) {
    u = 1.0;
  } else if (u < 0.0) {
    u = 0.0;
  }
  return u;
}

Point2D LineSegment2D::closestPointTo(const Point2D & p) const
{
  const double u = closestPointLineSegmentRatio(p);
  const double px = p1_.x() - p0_.x();
  const double py = p1_.y() - p0_.y();
  return Point2D(p0_.x() + u * px, p0_.y() + u * py);
}

Point2D LineSegment2D::pc() const
{
  return Point2D((p0_.x() + p1_.x()) / 2.0, (p0_.y() + p1_.y()) / 2.0);
}

bool LineSegment2D::operator==(const LineSegment2D & o) const
{
  return p0_ == o.p0_ && p1_ == o.p1_;
}

std::ostream & operator<<(std::ostream & os, const LineSegment2D & l)
{
  return os << "[" << l.p0() << ", " << l.p1() << " ]";
}

}  // namespace tuw
