// Stand-in for rclcpp/callback_group.hpp. Every callback of a node runs on the
// executor that spins the node, one at a time, whatever group it names: the
// stand-in keeps groups only so that signatures taking one compile.
#ifndef STANDIN_RCLCPP__CALLBACK_GROUP_HPP_
#define STANDIN_RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>

#include "rclcpp/macros.hpp"

namespace rclcpp
{

enum class CallbackGroupType
{
  MutuallyExclusive,
  Reentrant
};

class CallbackGroup
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(CallbackGroup)

  explicit CallbackGroup(
    CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true)
  : type_(group_type), automatically_add_(automatically_add_to_executor_with_node) {}

  CallbackGroupType type() const {return type_;}
  bool automatically_add_to_executor_with_node() const {return automatically_add_;}
  std::atomic_bool & get_associated_with_executor_atomic() {return associated_;}

private:
  CallbackGroupType type_;
  bool automatically_add_;
  std::atomic_bool associated_{false};
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__CALLBACK_GROUP_HPP_
