// Stand-in only (real rclcpp_components relies on class_loader): the node
// factories that RCLCPP_COMPONENTS_REGISTER_NODE registered in this process,
// keyed as class_loader keys them.
#ifndef STANDIN_RCLCPP_COMPONENTS__DETAIL__FACTORY_REGISTRY_HPP_
#define STANDIN_RCLCPP_COMPONENTS__DETAIL__FACTORY_REGISTRY_HPP_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rclcpp_components/node_factory.hpp"

namespace rclcpp_components
{
namespace detail
{

using NodeFactoryMaker = std::function<std::shared_ptr<NodeFactory>()>;

// Runs during static initialisation; always returns true. Registering one key
// twice keeps the first, as class_loader does (it warns).
bool register_node_factory(const std::string & key, NodeFactoryMaker make_factory);

// A new factory of the class registered under `key`, or null.
std::shared_ptr<NodeFactory> find_node_factory(const std::string & key);

std::vector<std::string> registered_node_factory_keys();

}  // namespace detail
}  // namespace rclcpp_components

#endif  // STANDIN_RCLCPP_COMPONENTS__DETAIL__FACTORY_REGISTRY_HPP_
