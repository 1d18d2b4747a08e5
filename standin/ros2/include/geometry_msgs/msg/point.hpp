// Stand-in for the generated interface geometry_msgs/msg/Point: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__POINT_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__POINT_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace geometry_msgs
{
namespace msg
{

struct Point
{
  using Type = Point;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Point(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Point>;
  using ConstSharedPtr = std::shared_ptr<const Point>;
  using UniquePtr = std::unique_ptr<Point>;
  using ConstUniquePtr = std::unique_ptr<const Point>;
  using WeakPtr = std::weak_ptr<Point>;
  using ConstWeakPtr = std::weak_ptr<const Point>;

  using _x_type = double;
  double x{0.0};
  using _y_type = double;
  double y{0.0};
  using _z_type = double;
  double z{0.0};

  bool operator==(const Point & other) const
  {
    return x == other.x &&
      y == other.y &&
      z == other.z;
  }
  bool operator!=(const Point & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Point>() {return "geometry_msgs/msg/Point";}
template<>
inline const char * data_type<geometry_msgs::msg::Point>() {return "geometry_msgs::msg::Point";}
template<>
struct is_message<geometry_msgs::msg::Point>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__POINT_HPP_
