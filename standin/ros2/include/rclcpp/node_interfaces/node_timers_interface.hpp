// Stand-in for rclcpp/node_interfaces/node_timers_interface.hpp.
#ifndef STANDIN_RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_
#define STANDIN_RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp
{
namespace node_interfaces
{

class NodeTimersInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeTimersInterface)

  explicit NodeTimersInterface(NodeBaseInterface * node_base)
  : node_base_(node_base) {}
  virtual ~NodeTimersInterface() = default;

  // The group is accepted for signature compatibility; see callback_group.hpp.
  void add_timer(rclcpp::TimerBase::SharedPtr timer, rclcpp::CallbackGroup::SharedPtr group)
  {
    (void)group;
    node_base_->add_timer(timer);
  }

private:
  NodeBaseInterface * node_base_;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_
