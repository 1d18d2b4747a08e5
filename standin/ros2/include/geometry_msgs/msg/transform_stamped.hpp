// Stand-in for the generated interface geometry_msgs/msg/TransformStamped: same fields, types and defaults.
#ifndef STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_STAMPED_HPP_
#define STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_STAMPED_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"
#include "geometry_msgs/msg/transform.hpp"

namespace geometry_msgs
{
namespace msg
{

struct TransformStamped
{
  using Type = TransformStamped;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit TransformStamped(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<TransformStamped>;
  using ConstSharedPtr = std::shared_ptr<const TransformStamped>;
  using UniquePtr = std::unique_ptr<TransformStamped>;
  using ConstUniquePtr = std::unique_ptr<const TransformStamped>;
  using WeakPtr = std::weak_ptr<TransformStamped>;
  using ConstWeakPtr = std::weak_ptr<const TransformStamped>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _child_frame_id_type = std::string;
  std::string child_frame_id;
  using _transform_type = geometry_msgs::msg::Transform;
  geometry_msgs::msg::Transform transform;

  bool operator==(const TransformStamped & other) const
  {
    return header == other.header &&
      child_frame_id == other.child_frame_id &&
      transform == other.transform;
  }
  bool operator!=(const TransformStamped & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace geometry_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<geometry_msgs::msg::TransformStamped>() {return "geometry_msgs/msg/TransformStamped";}
template<>
inline const char * data_type<geometry_msgs::msg::TransformStamped>() {return "geometry_msgs::msg::TransformStamped";}
template<>
struct is_message<geometry_msgs::msg::TransformStamped>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_GEOMETRY_MSGS__MSG__TRANSFORM_STAMPED_HPP_
