#ifndef TUW_GEOMETRY__LINESEGMENT2D_HPP_
#define TUW_GEOMETRY__LINESEGMENT2D_HPP_

#include <memory>
#include <ostream>
#include <vector>

#include "tuw_geometry/line2d.hpp"

namespace tuw
{

// A segment from p0 to p1 that also carries the normalised coefficients of its line.
class LineSegment2D : public Line2D
{
public:
  // Coefficients (0, 0, 0) and p0 = p1 = (0, 0, 1).
  LineSegment2D();
  // Copies both points in full, h included.
  LineSegment2D(const Point2D & p0, const Point2D & p1);
  // Both points get h = 1.
  LineSegment2D(const double & x0, const double & y0, const double & x1, const double & y1);

  const Point2D & p0() const {return p0_;}
  const Point2D & p1() const {return p1_;}
  // References into the stored end points, not copies (this is what makes set() alias).
  const double & x0() const {return p0_.x();}
  const double & y0() const {return p0_.y();}
  const double & x1() const {return p1_.x();}
  const double & y1() const {return p1_.y();}

  double length() const;
  // Direction p0 -> p1, counter-clockwise from +x, in [-pi, pi].
  double angle() const;

  // Recomputes the coefficients, then writes p0, then p1, reading the arguments as it
  // goes; h stays. Arguments that refer to this segment's own end points therefore see
  // p0 already overwritten: set(x1(), y1(), x0(), y0()) leaves both ends at the old p1.
  LineSegment2D & set(const double & x0, const double & y0, const double & x1, const double & y1);
  // Same as the four-value form (same aliasing); h is not copied.
  LineSegment2D & set(const Point2D & p0, const Point2D & p1);

  // Distance to the segment (not to the infinite line): NaN for a zero-length segment.
  double distanceTo(const Point2D & p) const;
  // Also gives the vector (dx, dy) from p to the closest point of the segment.
  double distanceTo(const Point2D & p, double & dx, double & dy) const;
  double distanceSqrTo(const Point2D & p, double & dx, double & dy) const;
  // Position of the closest point along p0 -> p1, clamped to [0, 1].
  double closestPointLineSegmentRatio(const Point2D & p) const;
  Point2D closestPointTo(const Point2D & p) const;
  // Midpoint.
  Point2D pc() const;
  const Line2D & line() const {return *this;}

  // End points compared exactly, h included.
  bool operator==(const LineSegment2D & o) const;

private:
  Point2D p0_;
  Point2D p1_;
};

std::ostream & operator<<(std::ostream & os, const LineSegment2D & l);

using LineSegments2D = std::vector<LineSegment2D>;
using LineSegment2DPtr = std::shared_ptr<LineSegment2D>;
using LineSegment2DConstPtr = std::shared_ptr<const LineSegment2D>;

}  // namespace tuw

#endif  // TUW_GEOMETRY__LINESEGMENT2D_HPP_
