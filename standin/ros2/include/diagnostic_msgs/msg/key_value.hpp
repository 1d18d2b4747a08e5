// Stand-in for the generated interface diagnostic_msgs/msg/KeyValue: same fields, types and defaults.
#ifndef STANDIN_DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_
#define STANDIN_DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace diagnostic_msgs
{
namespace msg
{

struct KeyValue
{
  using Type = KeyValue;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit KeyValue(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<KeyValue>;
  using ConstSharedPtr = std::shared_ptr<const KeyValue>;
  using UniquePtr = std::unique_ptr<KeyValue>;
  using ConstUniquePtr = std::unique_ptr<const KeyValue>;
  using WeakPtr = std::weak_ptr<KeyValue>;
  using ConstWeakPtr = std::weak_ptr<const KeyValue>;

  using _key_type = std::string;
  std::string key;
  using _value_type = std::string;
  std::string value;

  bool operator==(const KeyValue & other) const
  {
    return key == other.key &&
      value == other.value;
  }
  bool operator!=(const KeyValue & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace diagnostic_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<diagnostic_msgs::msg::KeyValue>() {return "diagnostic_msgs/msg/KeyValue";}
template<>
inline const char * data_type<diagnostic_msgs::msg::KeyValue>() {return "diagnostic_msgs::msg::KeyValue";}
template<>
struct is_message<diagnostic_msgs::msg::KeyValue>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_DIAGNOSTIC_MSGS__MSG__KEY_VALUE_HPP_
