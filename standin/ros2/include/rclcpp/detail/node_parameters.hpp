// The parameters of one node: declaration with static typing and overrides,
// validation against descriptors and set-parameters callbacks, reading.
#ifndef STANDIN_RCLCPP__DETAIL__NODE_PARAMETERS_HPP_
#define STANDIN_RCLCPP__DETAIL__NODE_PARAMETERS_HPP_

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp
{
namespace detail
{

class NodeParameters
{
public:
  using CallbackHandle = rclcpp::node_interfaces::OnSetParametersCallbackHandle;
  // Told about every parameter whose value changed (after it is stored).
  using ChangeObserver = std::function<void (const rclcpp::Parameter &)>;

  NodeParameters(
    std::map<std::string, rclcpp::ParameterValue> overrides, bool allow_undeclared_parameters);

  void set_change_observer(ChangeObserver observer);
  // Declares every override not declared yet, with dynamic typing.
  void declare_overrides_automatically();

  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & descriptor, bool ignore_override);
  const rclcpp::ParameterValue & declare_parameter(
    const std::string & name, rclcpp::ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & descriptor, bool ignore_override);
  void undeclare_parameter(const std::string & name);
  bool has_parameter(const std::string & name) const;

  std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
    const std::vector<rclcpp::Parameter> & parameters);
  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
    const std::vector<rclcpp::Parameter> & parameters);

  rclcpp::Parameter get_parameter(const std::string & name) const;
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;
  std::vector<rclcpp::Parameter> get_parameters(const std::vector<std::string> & names) const;
  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
    const std::vector<std::string> & names) const;
  std::vector<uint8_t> get_parameter_types(const std::vector<std::string> & names) const;
  std::vector<std::string> list_parameter_names() const;

  CallbackHandle::SharedPtr add_on_set_parameters_callback(
    CallbackHandle::OnSetParametersCallbackType callback);
  void remove_on_set_parameters_callback(const CallbackHandle * handle);

  const std::map<std::string, rclcpp::ParameterValue> & get_parameter_overrides() const
  {
    return overrides_;
  }

private:
  struct Info
  {
    rclcpp::ParameterValue value;
    rcl_interfaces::msg::ParameterDescriptor descriptor;
  };

  const rclcpp::ParameterValue & declare_locked(
    const std::string & name, const rclcpp::ParameterValue & initial_value,
    const rcl_interfaces::msg::ParameterDescriptor & descriptor);
  void check_declarable_locked(const std::string & name) const;
  void check_not_in_callback_locked() const;
  rcl_interfaces::msg::SetParametersResult check_locked(
    const std::vector<rclcpp::Parameter> & parameters,
    const std::map<std::string, Info> & infos) const;
  rcl_interfaces::msg::SetParametersResult call_callbacks_locked(
    const std::vector<rclcpp::Parameter> & parameters);
  void notify_changed(const std::vector<rclcpp::Parameter> & parameters);

  // Recursive: set-parameters callbacks may read parameters.
  mutable std::recursive_mutex mutex_;
  std::map<std::string, rclcpp::ParameterValue> overrides_;
  bool allow_undeclared_;
  std::map<std::string, Info> parameters_;
  // Most recently added first, as rclcpp calls them; the caller owns the
  // handle, so a dropped handle silently disables its callback.
  std::list<std::weak_ptr<CallbackHandle>> callbacks_;
  bool in_callback_ = false;
  ChangeObserver observer_;
};

// "Wrong parameter type, parameter {<name>} is of type {<declared>}, setting
// it to {<given>} is not allowed."
std::string wrong_parameter_type_reason(
  const std::string & name, rclcpp::ParameterType declared, rclcpp::ParameterType given);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DETAIL__NODE_PARAMETERS_HPP_
