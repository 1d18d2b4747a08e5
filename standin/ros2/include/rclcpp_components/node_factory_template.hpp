// Stand-in for rclcpp_components/node_factory_template.hpp: the factory of one
// node class, which needs a constructor from const rclcpp::NodeOptions & and
// get_node_base_interface().
#ifndef STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_TEMPLATE_HPP_
#define STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_TEMPLATE_HPP_

#include <memory>

#include "rclcpp_components/node_factory.hpp"

namespace rclcpp_components
{

template<typename NodeT>
class NodeFactoryTemplate : public NodeFactory
{
public:
  NodeFactoryTemplate() = default;
  ~NodeFactoryTemplate() override = default;

  NodeInstanceWrapper create_node_instance(const rclcpp::NodeOptions & options) override
  {
    auto node = std::make_shared<NodeT>(options);
    return NodeInstanceWrapper(
      node, [node](const std::shared_ptr<void> &) {return node->get_node_base_interface();});
  }
};

}  // namespace rclcpp_components

#endif  // STANDIN_RCLCPP_COMPONENTS__NODE_FACTORY_TEMPLATE_HPP_
