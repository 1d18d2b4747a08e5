// The plugin's parameters as the docking server node's, under the plugin's
// name, each declared with its description unless the server (or a
// parameter file) already did; and the server's own that the plugin reads.
#ifndef ALIGN_NAV2_DOCK__PLUGIN__NODE_PARAMETERS_HPP_
#define ALIGN_NAV2_DOCK__PLUGIN__NODE_PARAMETERS_HPP_

#include <memory>
#include <string>

#include "align_nav2_dock/plugin_options.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp_lifecycle/lifecycle_node.hpp"

namespace align_nav2_dock
{

class NodeParameterSource : public ParameterSource
{
public:
  NodeParameterSource(std::shared_ptr<rclcpp_lifecycle::LifecycleNode> node, std::string plugin_name)
  : node_(std::move(node)), prefix_(std::move(plugin_name) + ".") {}

  double number(const std::string & name, double default_value, const std::string & description) override
  {
    return value(name, rclcpp::ParameterValue(default_value), description).get<double>();
  }
  bool flag(const std::string & name, bool default_value, const std::string & description) override
  {
    return value(name, rclcpp::ParameterValue(default_value), description).get<bool>();
  }
  std::int64_t integer(const std::string & name, std::int64_t default_value, const std::string & description) override
  {
    return value(name, rclcpp::ParameterValue(default_value), description).get<std::int64_t>();
  }
  std::string text(const std::string & name, const std::string & default_value, const std::string & description) override
  {
    return value(name, rclcpp::ParameterValue(default_value), description).get<std::string>();
  }

private:
  rclcpp::ParameterValue value(
    const std::string & name, const rclcpp::ParameterValue & default_value, const std::string & description)
  {
    const std::string full_name = prefix_ + name;
    if (!node_->has_parameter(full_name)) {
      rcl_interfaces::msg::ParameterDescriptor descriptor;
      descriptor.description = description;
      node_->declare_parameter(full_name, default_value, descriptor);
    }
    return node_->get_parameter(full_name).get_parameter_value();
  }

  std::shared_ptr<rclcpp_lifecycle::LifecycleNode> node_;
  std::string prefix_;
};

// A server parameter that the server declares itself; the default serves
// where this distribution's server does not have it.
inline std::string server_string(
  rclcpp_lifecycle::LifecycleNode & node, const std::string & name, const std::string & default_value)
{
  return node.has_parameter(name) ? node.get_parameter(name).as_string() : default_value;
}

inline double server_number(rclcpp_lifecycle::LifecycleNode & node, const std::string & name, double default_value)
{
  return node.has_parameter(name) ? node.get_parameter(name).as_double() : default_value;
}

inline bool server_flag(rclcpp_lifecycle::LifecycleNode & node, const std::string & name, bool default_value)
{
  return node.has_parameter(name) ? node.get_parameter(name).as_bool() : default_value;
}

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__PLUGIN__NODE_PARAMETERS_HPP_
