// Stand-in for rclcpp_components/register_node_macro.hpp. The real macro
// registers NodeFactoryTemplate<NodeClass> with class_loader, which finds it
// when a container dlopens the library; the stand-in has no class_loader and
// records the factory in an in-process registry under the same key
// ("rclcpp_components::NodeFactoryTemplate<" + class name + ">"), so that
// tests can look registrations up by name.
#ifndef STANDIN_RCLCPP_COMPONENTS__REGISTER_NODE_MACRO_HPP_
#define STANDIN_RCLCPP_COMPONENTS__REGISTER_NODE_MACRO_HPP_

#include <memory>

#include "rclcpp_components/detail/factory_registry.hpp"
#include "rclcpp_components/node_factory.hpp"
#include "rclcpp_components/node_factory_template.hpp"

#define STANDIN_RCLCPP_COMPONENTS_REGISTER_INTERNAL(NodeClass, UniqueId) \
  namespace \
  { \
  [[maybe_unused]] const bool standin_rclcpp_components_registered_ ## UniqueId = \
    ::rclcpp_components::detail::register_node_factory( \
    "rclcpp_components::NodeFactoryTemplate<" #NodeClass ">", \
    [] { \
      return std::shared_ptr<::rclcpp_components::NodeFactory>( \
        std::make_shared<::rclcpp_components::NodeFactoryTemplate<NodeClass>>()); \
    }); \
  }  // namespace

#define STANDIN_RCLCPP_COMPONENTS_REGISTER_WITH_ID(NodeClass, UniqueId) \
  STANDIN_RCLCPP_COMPONENTS_REGISTER_INTERNAL(NodeClass, UniqueId)

#define RCLCPP_COMPONENTS_REGISTER_NODE(NodeClass) \
  STANDIN_RCLCPP_COMPONENTS_REGISTER_WITH_ID(NodeClass, __COUNTER__)

#endif  // STANDIN_RCLCPP_COMPONENTS__REGISTER_NODE_MACRO_HPP_
