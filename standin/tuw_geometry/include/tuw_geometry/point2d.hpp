#ifndef TUW_GEOMETRY__POINT2D_HPP_
#define TUW_GEOMETRY__POINT2D_HPP_

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tuw
{

class Polar2D;

// A point in the plane with a homogeneous coordinate h (1 for ordinary points).
class Point2D
{
public:
  Point2D();
  Point2D(double x, double y);
  Point2D(double x, double y, double h);
  // Cartesian point of a polar one: (rho cos alpha, rho sin alpha, 1).
  explicit Point2D(const Polar2D & p);

  double & x() {return x_;}
  const double & x() const {return x_;}
  double & y() {return y_;}
  const double & y() const {return y_;}
  double & h() {return h_;}
  const double & h() const {return h_;}

  double get_x() const {return x_;}
  double get_y() const {return y_;}
  double get_h() const {return h_;}
  void set_x(double v) {x_ = v;}
  void set_y(double v) {y_ = v;}
  void set_h(double v) {h_ = v;}

  // The two-value forms keep h as it is.
  Point2D & set(double x, double y);
  Point2D & set(const Point2D & p);
  Point2D & set(double x, double y, double h);

  // Euclidean distance in x and y; h is ignored.
  double distanceTo(const Point2D & p) const;
  double angle() const;
  double radius() const;
  // Bounds are inclusive.
  bool inside(double x0, double y0, double x1, double y1) const;
  // Euclidean norm of the difference of all three components, h included, below tol.
  bool equal(const Point2D & o, double tol = 0.0001) const;
  std::string str(const char * format = "[%6.4lf, %6.4lf]") const;

  // Component-wise, h included.
  bool operator==(const Point2D & o) const;
  bool operator!=(const Point2D & o) const;

private:
  double x_;
  double y_;
  double h_;
};

std::ostream & operator<<(std::ostream & os, const Point2D & p);

using Points2D = std::vector<Point2D>;
using Point2DPtr = std::shared_ptr<Point2D>;
using Point2DConstPtr = std::shared_ptr<const Point2D>;

}  // namespace tuw

#endif  // TUW_GEOMETRY__POINT2D_HPP_
