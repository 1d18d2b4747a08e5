#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tuw_geometry/linesegment2d.hpp"

namespace
{

using tuw::Line2D;
using tuw::LineSegment2D;
using tuw::Point2D;

void expect_same_coefficients(const Line2D & actual, const Line2D & expected)
{
  EXPECT_EQ(actual.a(), expected.a());
  EXPECT_EQ(actual.b(), expected.b());
  EXPECT_EQ(actual.c(), expected.c());
}

TEST(LineSegment2D, DefaultIsAZeroLengthSegmentAtTheOrigin)
{
  const LineSegment2D s;
  EXPECT_EQ(s.p0(), Point2D(0.0, 0.0, 1.0));
  EXPECT_EQ(s.p1(), Point2D(0.0, 0.0, 1.0));
  EXPECT_EQ(s.length(), 0.0);
  EXPECT_EQ(s.angle(), 0.0);
  expect_same_coefficients(s, Line2D());
  EXPECT_EQ(sizeof(LineSegment2D), 72u);
}

TEST(LineSegment2D, ConstructorsCopyHOnlyFromPoints)
{
  const LineSegment2D from_points(Point2D(1.0, 2.0, 3.0), Point2D(4.0, 6.0, 5.0));
  EXPECT_EQ(from_points.p0().h(), 3.0);
  EXPECT_EQ(from_points.p1().h(), 5.0);
  EXPECT_EQ(from_points.length(), 5.0);
  expect_same_coefficients(from_points, Line2D(1.0, 2.0, 4.0, 6.0));

  const LineSegment2D from_values(1.0, 2.0, 4.0, 6.0);
  EXPECT_EQ(from_values.p0(), Point2D(1.0, 2.0, 1.0));
  EXPECT_EQ(from_values.p1(), Point2D(4.0, 6.0, 1.0));

  LineSegment2D set_from_points(Point2D(0.0, 0.0, 7.0), Point2D(1.0, 0.0, 8.0));
  set_from_points.set(Point2D(1.0, 2.0, 3.0), Point2D(4.0, 6.0, 5.0));
  EXPECT_EQ(set_from_points.p0(), Point2D(1.0, 2.0, 7.0));
  EXPECT_EQ(set_from_points.p1(), Point2D(4.0, 6.0, 8.0));
}

TEST(LineSegment2D, CoordinateAccessorsReferToTheStoredEndPoints)
{
  LineSegment2D s(1.0, 2.0, 3.0, 4.0);
  EXPECT_EQ(&s.x0(), &s.p0().x());
  EXPECT_EQ(&s.y1(), &s.p1().y());
  s.set(5.0, 6.0, 7.0, 8.0);
  EXPECT_EQ(s.x0(), 5.0);
  EXPECT_EQ(s.y1(), 8.0);
  expect_same_coefficients(s, Line2D(5.0, 6.0, 7.0, 8.0));
}

TEST(LineSegment2D, SetWithItsOwnSwappedAccessorsCollapsesOntoTheOldP1)
{
  LineSegment2D s(1.0, 2.0, 3.0, 4.0);
  s.set(s.x1(), s.y1(), s.x0(), s.y0());
  EXPECT_EQ(s.p0(), Point2D(3.0, 4.0));
  EXPECT_EQ(s.p1(), Point2D(3.0, 4.0));
  // The coefficients were computed before p0 was overwritten: the properly reversed line.
  expect_same_coefficients(s, Line2D(3.0, 4.0, 1.0, 2.0));

  LineSegment2D t(1.0, 2.0, 3.0, 4.0);
  t.set(t.p1(), t.p0());
  EXPECT_EQ(t.p0(), Point2D(3.0, 4.0));
  EXPECT_EQ(t.p1(), Point2D(3.0, 4.0));
}

TEST(LineSegment2D, SetFromCopiedValuesReversesProperly)
{
  LineSegment2D s(1.0, 2.0, 3.0, 4.0);
  const double x0 = s.x0();
  const double y0 = s.y0();
  const double x1 = s.x1();
  const double y1 = s.y1();
  s.set(x1, y1, x0, y0);
  EXPECT_EQ(s.p0(), Point2D(3.0, 4.0));
  EXPECT_EQ(s.p1(), Point2D(1.0, 2.0));
}

TEST(LineSegment2D, AngleCoversTheAxisDirections)
{
  EXPECT_EQ(LineSegment2D(0.0, 0.0, 1.0, 0.0).angle(), 0.0);
  EXPECT_EQ(LineSegment2D(0.0, 0.0, 0.0, 1.0).angle(), M_PI / 2);
  EXPECT_EQ(LineSegment2D(0.0, 0.0, 0.0, -1.0).angle(), -M_PI / 2);
  // Along -x the difference y1 - y0 is +0, hence +pi ...
  EXPECT_EQ(LineSegment2D(1.0, 0.5, -1.0, 0.5).angle(), M_PI);
  EXPECT_EQ(LineSegment2D(1.0, -0.0, -1.0, -0.0).angle(), M_PI);
  // ... and only -0 - (+0) gives -pi.
  EXPECT_EQ(LineSegment2D(1.0, 0.0, -1.0, -0.0).angle(), -M_PI);
  EXPECT_EQ(LineSegment2D(2.0, 3.0, 2.0, 3.0).angle(), 0.0);
}

TEST(LineSegment2D, DistanceIsClampedToTheSegment)
{
  const LineSegment2D s(0.0, 0.0, 4.0, 0.0);
  EXPECT_EQ(s.distanceTo(Point2D(2.0, 3.0)), 3.0);
  EXPECT_EQ(s.distanceTo(Point2D(2.0, -3.0)), 3.0);  // never negative
  EXPECT_EQ(s.distanceTo(Point2D(7.0, 4.0)), 5.0);    // beyond p1: distance to p1
  EXPECT_EQ(s.distanceTo(Point2D(-3.0, -4.0)), 5.0);  // before p0: distance to p0
  EXPECT_EQ(s.line().distanceTo(Point2D(7.0, -4.0)), -4.0);  // the line itself is unclamped
  EXPECT_EQ(s.closestPointLineSegmentRatio(Point2D(9.0, 1.0)), 1.0);
  EXPECT_EQ(s.closestPointLineSegmentRatio(Point2D(1.0, 1.0)), 0.25);
  EXPECT_EQ(s.closestPointTo(Point2D(-1.0, 1.0)), Point2D(0.0, 0.0));

  double dx = 0.0;
  double dy = 0.0;
  EXPECT_EQ(s.distanceSqrTo(Point2D(1.0, 2.0), dx, dy), 4.0);
  EXPECT_EQ(dx, 0.0);
  EXPECT_EQ(dy, -2.0);
}

TEST(LineSegment2D, ZeroLengthSegmentHasNaNDistance)
{
  const LineSegment2D s(1.0, 1.0, 1.0, 1.0);
  EXPECT_TRUE(std::isnan(s.distanceTo(Point2D(1.0, 1.0))));
  EXPECT_TRUE(std::isnan(s.distanceTo(Point2D(5.0, 1.0))));
  EXPECT_TRUE(std::isnan(s.closestPointLineSegmentRatio(Point2D(5.0, 1.0))));
}

TEST(LineSegment2D, LengthMidpointEqualityAndText)
{
  const LineSegment2D s(Point2D(0.1, 0.2), Point2D(-0.7, 1.3));
  EXPECT_EQ(s.length(), s.p0().distanceTo(s.p1()));
  EXPECT_EQ(LineSegment2D(0.0, 0.0, 2.0, 4.0).pc(), Point2D(1.0, 2.0));
  EXPECT_TRUE(s == LineSegment2D(Point2D(0.1, 0.2), Point2D(-0.7, 1.3)));
  EXPECT_FALSE(s == LineSegment2D(Point2D(0.1, 0.2, 2.0), Point2D(-0.7, 1.3)));

  std::ostringstream text;
  text << LineSegment2D(1.0, 2.0, 3.0, 4.0);
  EXPECT_EQ(text.str(), "[[1, 2], [3, 4] ]");
}

}  // namespace
