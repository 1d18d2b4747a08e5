// Stand-in for the generated interface geometry_msgs/msg/Transform: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/vector3.hpp"
#include "geometry_msgs/msg/quaternion.hpp"

namespace geometry_msgs
{
namespace msg
{

struct Transform
{
  using Type = Transform;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Transform(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Transform>;
  using ConstSharedPtr = std::shared_ptr<const Transform>;
  using UniquePtr = std::unique_ptr<Transform>;
  using ConstUniquePtr = std::unique_ptr<const Transform>;
  using WeakPtr = std::weak_ptr<Transform>;
  using ConstWeakPtr = std::weak_ptr<const Transform>;

  using _translation_type = geometry_msgs::msg::Vector3;
  geometry_msgs::msg::Vector3 translation;
  using _rotation_type = geometry_msgs::msg::Quaternion;
  geometry_msgs::msg::Quaternion rotation;

  bool operator==(const Transform & other) const
  {
    return translation == other.translation &&
      rotation == other.rotation;
  }
  bool operator!=(const Transform & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::Transform>() {return "geometry_msgs/msg/Transform";}
template<>
inline const char * data_type<geometry_msgs::msg::Transform>() {return "geometry_msgs::msg::Transform";}
template<>
struct is_message<geometry_msgs::msg::Transform>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_HPP_
