// Stand-in for the generated interface visualization_msgs/msg/UVCoordinate: same fields, types and defaults.
#ifndef STANDIN_VISUALIZATION_MSGS__MSG__UV_COORDINATE_HPP_
#define STANDIN_VISUALIZATION_MSGS__MSG__UV_COORDINATE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace visualization_msgs
{
namespace msg
{

struct UVCoordinate
{
  using Type = UVCoordinate;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit UVCoordinate(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<UVCoordinate>;
  using ConstSharedPtr = std::shared_ptr<const UVCoordinate>;
  using UniquePtr = std::unique_ptr<UVCoordinate>;
  using ConstUniquePtr = std::unique_ptr<const UVCoordinate>;
  using WeakPtr = std::weak_ptr<UVCoordinate>;
  using ConstWeakPtr = std::weak_ptr<const UVCoordinate>;

  using _u_type = float;
  float u{0.0f};
  using _v_type = float;
  float v{0.0f};

  bool operator==(const UVCoordinate & other) const
  {
    return u == other.u &&
      v == other.v;
  }
  bool operator!=(const UVCoordinate & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace visualization_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<visualization_msgs::msg::UVCoordinate>() {return "visualization_msgs/msg/UVCoordinate";}
template<>
inline const char * data_type<visualization_msgs::msg::UVCoordinate>() {return "visualization_msgs::msg::UVCoordinate";}
template<>
struct is_message<visualization_msgs::msg::UVCoordinate>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_VISUALIZATION_MSGS__MSG__UV_COORDINATE_HPP_
