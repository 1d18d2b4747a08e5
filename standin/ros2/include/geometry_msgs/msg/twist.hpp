// Stand-in for the generated interface geometry_msgs/msg/Twist: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__TWIST_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__TWIST_HPP_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/vector3.hpp"

namespace geometry_msgs
{
namespace msg
{

struct Twist
{
  using Type = Twist;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Twist(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Twist>;
  using ConstSharedPtr = std::shared_ptr<const Twist>;
  using UniquePtr = std::unique_ptr<Twist>;
  using ConstUniquePtr = std::unique_ptr<const Twist>;
  using WeakPtr = std::weak_ptr<Twist>;
  using ConstWeakPtr = std::weak_ptr<const Twist>;

  using _linear_type = geometry_msgs::msg::Vector3;
  geometry_msgs::msg::Vector3 linear;
  using _angular_type = geometry_msgs::msg::Vector3;
  geometry_msgs::msg::Vector3 angular;

  bool operator==(const Twist & other) const
  {
    return linear == other.linear &&
      angular == other.angular;
  }
  bool operator!=(const Twist & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Twist>() {return "geometry_msgs/msg/Twist";}
template<>
inline const char * data_type<geometry_msgs::msg::Twist>() {return "geometry_msgs::msg::Twist";}
template<>
struct is_message<geometry_msgs::msg::Twist>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__TWIST_HPP_
