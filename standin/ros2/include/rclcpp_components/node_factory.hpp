// Stand-in for rclcpp_components/node_factory.hpp: what a component container
// asks a loaded library for.
#ifndef STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_HPP_
#define STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_HPP_

#include "rclcpp/node_options.hpp"
#include "rclcpp_components/node_instance_wrapper.hpp"

namespace rclcpp_components
{

class NodeFactory
{
public:
  NodeFactory() = default;
  virtual ~NodeFactory() = default;

  virtual NodeInstanceWrapper create_node_instance(const rclcpp::NodeOptions & options) = 0;
};

}  // namespace rclcpp_components

#endif  // STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_HPP_
