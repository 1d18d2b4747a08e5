// Stand-in for the generated interface geometry_msgs/msg/Vector3: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__VECTOR3_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__VECTOR3_HPP_

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

struct Vector3
{
  using Type = Vector3;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Vector3(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Vector3>;
  using ConstSharedPtr = std::shared_ptr<const Vector3>;
  using UniquePtr = std::unique_ptr<Vector3>;
  using ConstUniquePtr = std::unique_ptr<const Vector3>;
  using WeakPtr = std::weak_ptr<Vector3>;
  using ConstWeakPtr = std::weak_ptr<const Vector3>;

  using _x_type = double;
  double x{0.0};
  using _y_type = double;
  double y{0.0};
  using _z_type = double;
  double z{0.0};

  bool operator==(const Vector3 & other) const
  {
    return x == other.x &&
      y == other.y &&
      z == other.z;
  }
  bool operator!=(const Vector3 & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Vector3>() {return "geometry_msgs/msg/Vector3";}
template<>
inline const char * data_type<geometry_msgs::msg::Vector3>() {return "geometry_msgs::msg::Vector3";}
template<>
struct is_message<geometry_msgs::msg::Vector3>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__VECTOR3_HPP_
