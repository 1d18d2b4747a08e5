// Stand-in for rclcpp_components/node_instance_wrapper.hpp: a node of any
// class held type-erased, with the way to reach its base interface.
#ifndef STANDIN_RCLCPP_COMPONENTS__NODE_INSTANCE_WRAPPER_HPP_
#define STANDIN_RCLCPP_COMPONENTS__NODE_INSTANCE_WRAPPER_HPP_

#include <functional>
#include <memory>
#include <utility>

#include "rclcpp/node_interfaces/node_base_interface.hpp"

namespace rclcpp_components
{

class NodeInstanceWrapper
{
public:
  using NodeBaseInterfaceGetter = std::function<
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr(const std::shared_ptr<void> &)>;

  NodeInstanceWrapper() = default;
  NodeInstanceWrapper(std::shared_ptr<void> node_instance, NodeBaseInterfaceGetter node_base_interface_getter)
  : node_instance_(std::move(node_instance)), node_base_interface_getter_(std::move(node_base_interface_getter))
  {}

  const std::shared_ptr<void> get_node_instance() const {return node_instance_;}

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface()
  {
    return node_base_interface_getter_(node_instance_);
  }

private:
  std::shared_ptr<void> node_instance_;
  NodeBaseInterfaceGetter node_base_interface_getter_;
};

}  // namespace rclcpp_components

#endif  // STANDIN_RCLCPP_COMPONENTS__NODE_INSTANCE_WRAPPER_HPP_
