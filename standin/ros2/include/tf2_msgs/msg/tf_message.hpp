// Stand-in for the generated interface tf2_msgs/msg/TFMessage: same fields, types and defaults.
#ifndef STANDIN_TF2_MSGS__MSG__TF_MESSAGE_HPP_
#define STANDIN_TF2_MSGS__MSG__TF_MESSAGE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"

namespace tf2_msgs
{
namespace msg
{

struct TFMessage
{
  using Type = TFMessage;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit TFMessage(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<TFMessage>;
  using ConstSharedPtr = std::shared_ptr<const TFMessage>;
  using UniquePtr = std::unique_ptr<TFMessage>;
  using ConstUniquePtr = std::unique_ptr<const TFMessage>;
  using WeakPtr = std::weak_ptr<TFMessage>;
  using ConstWeakPtr = std::weak_ptr<const TFMessage>;

  using _transforms_type = std::vector<geometry_msgs::msg::TransformStamped>;
  std::vector<geometry_msgs::msg::TransformStamped> transforms;

  bool operator==(const TFMessage & other) const
  {
    return transforms == other.transforms;
  }
  bool operator!=(const TFMessage & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace tf2_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<tf2_msgs::msg::TFMessage>() {return "tf2_msgs/msg/TFMessage";}
template<>
inline const char * data_type<tf2_msgs::msg::TFMessage>() {return "tf2_msgs::msg::TFMessage";}
template<>
struct is_message<tf2_msgs::msg::TFMessage>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_TF2_MSGS__MSG__TF_MESSAGE_HPP_
