#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tuw_geometry/line2d.hpp"

namespace
{

using tuw::Line2D;
using tuw::Point2D;

TEST(Point2D, ConstructorsSetTheHomogeneousCoordinate)
{
  EXPECT_EQ(Point2D(), Point2D(0.0, 0.0, 1.0));
  EXPECT_EQ(Point2D(2.0, -3.0).h(), 1.0);
  EXPECT_EQ(Point2D(2.0, -3.0, 0.5).h(), 0.5);
  EXPECT_EQ(sizeof(Point2D), 24u);
}

TEST(Point2D, AccessorsAreReferencesToTheStoredValues)
{
  Point2D p(1.0, 2.0);
  p.x() = 5.0;
  p.y() += 1.0;
  p.h() = 2.0;
  EXPECT_EQ(p, Point2D(5.0, 3.0, 2.0));
  const Point2D & view = p;
  EXPECT_EQ(&view.x(), &p.x());
  p.set_x(7.0);
  EXPECT_EQ(p.get_x(), 7.0);
}

TEST(Point2D, TwoValueSettersKeepHAndThreeValueSetterReplacesIt)
{
  Point2D p(1.0, 2.0, 4.0);
  p.set(3.0, 5.0);
  EXPECT_EQ(p, Point2D(3.0, 5.0, 4.0));
  p.set(Point2D(6.0, 7.0, 9.0));
  EXPECT_EQ(p, Point2D(6.0, 7.0, 4.0));
  p.set(0.0, 1.0, 2.0);
  EXPECT_EQ(p, Point2D(0.0, 1.0, 2.0));
}

TEST(Point2D, DistanceIsThePlainSquareRootFormulaAndIgnoresH)
{
  const Point2D a(0.1, 0.7, 3.0);
  const Point2D b(-0.3, 1e-3, -1.0);
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  EXPECT_EQ(a.distanceTo(b), std::sqrt(dx * dx + dy * dy));
  EXPECT_EQ(Point2D(0.0, 0.0).distanceTo(Point2D(3.0, 4.0, 7.0)), 5.0);
  // hypot would give a finite value here; the plain formula overflows like the original.
  EXPECT_TRUE(std::isinf(Point2D(0.0, 0.0).distanceTo(Point2D(1e200, 1e200))));
}

TEST(Point2D, PolarMembersInsideAndEqual)
{
  const Point2D p(0.0, -2.0);
  EXPECT_DOUBLE_EQ(p.angle(), -M_PI / 2);
  EXPECT_EQ(p.radius(), 2.0);
  EXPECT_TRUE(p.inside(0.0, -2.0, 1.0, 0.0));
  EXPECT_FALSE(p.inside(0.1, -2.0, 1.0, 0.0));
  EXPECT_TRUE(p.equal(Point2D(0.00005, -2.0)));
  EXPECT_FALSE(p.equal(Point2D(0.0, -2.0, 1.001)));

  const tuw::Polar2D polar(p);
  EXPECT_DOUBLE_EQ(polar.alpha(), -M_PI / 2);
  EXPECT_EQ(polar.rho(), 2.0);
  const Point2D back(polar);
  EXPECT_NEAR(back.x(), 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(back.y(), -2.0);
}

TEST(Point2D, TextForms)
{
  std::ostringstream text;
  text << Point2D(1.5, -2.0);
  EXPECT_EQ(text.str(), "[1.5, -2]");
  EXPECT_EQ(Point2D(1.5, -2.0).str(), "[1.5000, -2.0000]");
}

TEST(Line2D, DefaultIsAllZero)
{
  const Line2D line;
  EXPECT_EQ(line.a(), 0.0);
  EXPECT_EQ(line.b(), 0.0);
  EXPECT_EQ(line.c(), 0.0);
}

TEST(Line2D, NormalisedCoefficientsPointToTheLeft)
{
  const Line2D line(0.0, 1.0, 2.0, 1.0);  // along +x at y = 1
  EXPECT_EQ(line.a(), 0.0);
  EXPECT_EQ(line.b(), 1.0);
  EXPECT_EQ(line.c(), -1.0);
  EXPECT_EQ(line.distanceTo(Point2D(5.0, 3.0)), 2.0);
  EXPECT_EQ(line.distanceTo(5.0, -1.0), -2.0);
  EXPECT_EQ(line.normal(), Point2D(0.0, 1.0));

  const Line2D raw(Point2D(0.0, 1.0), Point2D(2.0, 1.0), false);
  EXPECT_EQ(raw.b(), 2.0);
  EXPECT_EQ(raw.c(), -2.0);
}

TEST(Line2D, EqualPointsGiveNaNCoefficients)
{
  const Line2D line(1.0, 2.0, 1.0, 2.0);
  EXPECT_TRUE(std::isnan(line.a()));
  EXPECT_TRUE(std::isnan(line.b()));
  EXPECT_TRUE(std::isnan(line.c()));
}

TEST(Line2D, FootOfPerpendicularAndIntersection)
{
  const Line2D horizontal(0.0, 1.0, 2.0, 1.0);
  EXPECT_EQ(horizontal.pointOnLine(Point2D(3.0, 4.0)), Point2D(3.0, 1.0));
  const Line2D vertical(2.0, 0.0, 2.0, 5.0);
  const Point2D crossing = horizontal.intersection(vertical);
  EXPECT_DOUBLE_EQ(crossing.x(), 2.0);
  EXPECT_DOUBLE_EQ(crossing.y(), 1.0);
}

}  // namespace
