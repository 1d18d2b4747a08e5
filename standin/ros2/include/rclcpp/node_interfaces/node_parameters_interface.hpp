// Stand-in for the part of rclcpp/node_interfaces/node_parameters_interface.hpp
// that node code names: the handle of a set-parameters callback.
#ifndef STANDIN_RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
#define STANDIN_RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_

#include <functional>
#include <vector>

#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/parameter.hpp"

namespace rclcpp
{
namespace node_interfaces
{

struct OnSetParametersCallbackHandle
{
  RCLCPP_SMART_PTR_DEFINITIONS(OnSetParametersCallbackHandle)

  using OnSetParametersCallbackType =
    std::function<rcl_interfaces::msg::SetParametersResult(const std::vector<rclcpp::Parameter> &)>;
  using OnParametersSetCallbackType = OnSetParametersCallbackType;

  OnSetParametersCallbackType callback;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
