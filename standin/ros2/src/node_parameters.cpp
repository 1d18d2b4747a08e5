#include "rclcpp/detail/node_parameters.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

using rcl_interfaces::msg::ParameterDescriptor;
using rcl_interfaces::msg::SetParametersResult;

// Doubles count as on a range step within this tolerance, as in rclcpp.
constexpr double kRangeTolerance = 1e-6;

SetParametersResult success()
{
  SetParametersResult result;
  result.successful = true;
  return result;
}

SetParametersResult failure(const std::string & reason)
{
  SetParametersResult result;
  result.successful = false;
  result.reason = reason;
  return result;
}

bool integer_in_range(std::int64_t value, const rcl_interfaces::msg::IntegerRange & range)
{
  if (value == range.from_value || value == range.to_value) {
    return true;
  }
  if (value < range.from_value || value > range.to_value) {
    return false;
  }
  return range.step == 0 ||
         static_cast<std::uint64_t>(value - range.from_value) % range.step == 0;
}

bool double_in_range(double value, const rcl_interfaces::msg::FloatingPointRange & range)
{
  const auto near = [](double a, double b) {return std::fabs(a - b) <= kRangeTolerance;};
  if (near(value, range.from_value) || near(value, range.to_value)) {
    return true;
  }
  if (value < range.from_value || value > range.to_value) {
    return false;
  }
  if (range.step == 0.0) {
    return true;
  }
  const double steps = (value - range.from_value) / range.step;
  return near(steps, std::round(steps));
}

SetParametersResult check_range(
  const rclcpp::Parameter & parameter, const ParameterDescriptor & descriptor)
{
  const rclcpp::ParameterValue & value = parameter.get_parameter_value();
  if (!descriptor.integer_range.empty() && value.get_type() == rclcpp::PARAMETER_INTEGER &&
    !integer_in_range(value.get<std::int64_t>(), descriptor.integer_range.at(0)))
  {
    return failure("Parameter {" + parameter.get_name() + "} doesn't comply with integer range.");
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == rclcpp::PARAMETER_DOUBLE &&
    !double_in_range(value.get<double>(), descriptor.floating_point_range.at(0)))
  {
    return failure(
      "Parameter {" + parameter.get_name() + "} doesn't comply with floating point range.");
  }
  return success();
}

ParameterDescriptor dynamic_descriptor(const std::string & name)
{
  ParameterDescriptor descriptor;
  descriptor.name = name;
  descriptor.dynamic_typing = true;
  return descriptor;
}

}  // namespace

std::string wrong_parameter_type_reason(
  const std::string & name, rclcpp::ParameterType declared, rclcpp::ParameterType given)
{
  return "Wrong parameter type, parameter {" + name + "} is of type {" +
         rclcpp::to_string(declared) + "}, setting it to {" + rclcpp::to_string(given) +
         "} is not allowed.";
}

NodeParameters::NodeParameters(
  std::map<std::string, rclcpp::ParameterValue> overrides, bool allow_undeclared_parameters)
: overrides_(std::move(overrides)), allow_undeclared_(allow_undeclared_parameters)
{}

void NodeParameters::set_change_observer(ChangeObserver observer)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  observer_ = std::move(observer);
}

void NodeParameters::declare_overrides_automatically()
{
  for (const auto & entry : overrides_) {
    if (!has_parameter(entry.first)) {
      declare_parameter(entry.first, entry.second, dynamic_descriptor(entry.first), true);
    }
  }
}

void NodeParameters::check_not_in_callback_locked() const
{
  if (in_callback_) {
    throw rclcpp::exceptions::ParameterModifiedInCallbackException(
            "cannot set or declare a parameter, or change the callback from within set callback");
  }
}

void NodeParameters::check_declarable_locked(const std::string & name) const
{
  check_not_in_callback_locked();
  if (name.empty()) {
    throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
  }
  if (parameters_.count(name) != 0) {
    throw rclcpp::exceptions::ParameterAlreadyDeclaredException(
            "parameter '" + name + "' has already been declared");
  }
}

const rclcpp::ParameterValue & NodeParameters::declare_parameter(
  const std::string & name, const rclcpp::ParameterValue & default_value,
  const ParameterDescriptor & descriptor, bool ignore_override)
{
  std::unique_lock<std::recursive_mutex> lock(mutex_);
  check_declarable_locked(name);
  ParameterDescriptor stored = descriptor;
  if (!stored.dynamic_typing) {
    if (default_value.get_type() == rclcpp::PARAMETER_NOT_SET) {
      throw rclcpp::exceptions::InvalidParameterTypeException(
              name, "cannot declare a statically typed parameter with an uninitialized value");
    }
    stored.type = default_value.get_type();
  }
  auto override_value = overrides_.find(name);
  const bool use_override = !ignore_override && override_value != overrides_.end();
  return declare_locked(name, use_override ? override_value->second : default_value, stored);
}

const rclcpp::ParameterValue & NodeParameters::declare_parameter(
  const std::string & name, rclcpp::ParameterType type,
  const ParameterDescriptor & descriptor, bool ignore_override)
{
  if (type == rclcpp::PARAMETER_NOT_SET) {
    throw std::invalid_argument(
            "declare_parameter(): the provided parameter type cannot be rclcpp::PARAMETER_NOT_SET");
  }
  if (descriptor.dynamic_typing) {
    throw std::invalid_argument(
            "declare_parameter(): cannot declare parameter of specific type and pass descriptor "
            "with `dynamic_typing=true`");
  }
  std::unique_lock<std::recursive_mutex> lock(mutex_);
  check_declarable_locked(name);
  ParameterDescriptor stored = descriptor;
  stored.type = type;
  auto override_value = overrides_.find(name);
  const bool use_override = !ignore_override && override_value != overrides_.end();
  return declare_locked(
    name, use_override ? override_value->second : rclcpp::ParameterValue(), stored);
}

const rclcpp::ParameterValue & NodeParameters::declare_locked(
  const std::string & name, const rclcpp::ParameterValue & initial_value,
  const ParameterDescriptor & descriptor)
{
  ParameterDescriptor stored = descriptor;
  stored.name = name;
  // A parameter declared by type alone stays unset until a value arrives.
  if (initial_value.get_type() != rclcpp::PARAMETER_NOT_SET) {
    const std::vector<rclcpp::Parameter> initial{rclcpp::Parameter(name, initial_value)};
    // A read-only parameter still gets its initial value.
    ParameterDescriptor writable = stored;
    writable.read_only = false;
    std::map<std::string, Info> candidate{{name, Info{rclcpp::ParameterValue(), writable}}};
    SetParametersResult result = check_locked(initial, candidate);
    if (result.successful) {
      result = call_callbacks_locked(initial);
    }
    if (!result.successful) {
      if (result.reason.rfind("Wrong parameter type", 0) == 0) {
        throw rclcpp::exceptions::InvalidParameterTypeException(name, result.reason);
      }
      throw rclcpp::exceptions::InvalidParameterValueException(
              "parameter '" + name + "' could not be set: " + result.reason);
    }
  }
  Info & info = parameters_[name];
  info.value = initial_value;
  info.descriptor = stored;
  if (initial_value.get_type() != rclcpp::PARAMETER_NOT_SET) {
    notify_changed({rclcpp::Parameter(name, initial_value)});
  }
  return info.value;
}

void NodeParameters::undeclare_parameter(const std::string & name)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  check_not_in_callback_locked();
  auto found = parameters_.find(name);
  if (found == parameters_.end()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(
            "cannot undeclare parameter '" + name + "' which has not yet been declared");
  }
  if (found->second.descriptor.read_only) {
    throw rclcpp::exceptions::ParameterImmutableException(
            "cannot undeclare parameter '" + name + "' because it is read-only");
  }
  if (!found->second.descriptor.dynamic_typing) {
    throw rclcpp::exceptions::InvalidParameterTypeException(
            name, "cannot undeclare an statically typed parameter");
  }
  parameters_.erase(found);
}

bool NodeParameters::has_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return parameters_.count(name) != 0;
}

std::vector<SetParametersResult> NodeParameters::set_parameters(
  const std::vector<rclcpp::Parameter> & parameters)
{
  std::vector<SetParametersResult> results;
  results.reserve(parameters.size());
  for (const auto & parameter : parameters) {
    results.push_back(set_parameters_atomically({parameter}));
  }
  return results;
}

SetParametersResult NodeParameters::check_locked(
  const std::vector<rclcpp::Parameter> & parameters,
  const std::map<std::string, Info> & infos) const
{
  for (const auto & parameter : parameters) {
    const ParameterDescriptor & descriptor = infos.at(parameter.get_name()).descriptor;
    if (descriptor.read_only) {
      return failure("Trying to set a read-only parameter: " + parameter.get_name() + ".");
    }
    const auto declared = static_cast<rclcpp::ParameterType>(descriptor.type);
    if (!descriptor.dynamic_typing && parameter.get_type() != declared) {
      return failure(
        wrong_parameter_type_reason(parameter.get_name(), declared, parameter.get_type()));
    }
    SetParametersResult in_range = check_range(parameter, descriptor);
    if (!in_range.successful) {
      return in_range;
    }
  }
  return success();
}

SetParametersResult NodeParameters::call_callbacks_locked(
  const std::vector<rclcpp::Parameter> & parameters)
{
  struct InCallback
  {
    bool & flag;
    explicit InCallback(bool & f)
    : flag(f) {flag = true;}
    ~InCallback() {flag = false;}
  };
  for (auto it = callbacks_.begin(); it != callbacks_.end(); ) {
    auto handle = it->lock();
    if (!handle) {
      it = callbacks_.erase(it);
      continue;
    }
    ++it;
    SetParametersResult result;
    {
      InCallback guard(in_callback_);
      result = handle->callback(parameters);
    }
    if (!result.successful) {
      return result;
    }
  }
  return success();
}

SetParametersResult NodeParameters::set_parameters_atomically(
  const std::vector<rclcpp::Parameter> & parameters)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  check_not_in_callback_locked();
  // Undeclared names are checked against what they would be declared as.
  std::map<std::string, Info> infos;
  for (const auto & parameter : parameters) {
    const std::string & name = parameter.get_name();
    if (name.empty()) {
      throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
    }
    auto found = parameters_.find(name);
    if (found != parameters_.end()) {
      infos[name] = found->second;
    } else if (allow_undeclared_) {
      infos[name] = Info{rclcpp::ParameterValue(), dynamic_descriptor(name)};
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(
              "parameter '" + name + "' cannot be set because it was not declared");
    }
  }
  SetParametersResult result = check_locked(parameters, infos);
  if (result.successful) {
    result = call_callbacks_locked(parameters);
  }
  if (!result.successful) {
    return result;
  }
  for (const auto & parameter : parameters) {
    const std::string & name = parameter.get_name();
    if (parameter.get_type() == rclcpp::PARAMETER_NOT_SET) {
      // Setting a dynamically typed parameter to "not set" undeclares it.
      parameters_.erase(name);
      continue;
    }
    Info & info = parameters_[name];
    info.descriptor = infos[name].descriptor;
    info.value = parameter.get_parameter_value();
  }
  notify_changed(parameters);
  return success();
}

rclcpp::Parameter NodeParameters::get_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto found = parameters_.find(name);
  if (found != parameters_.end()) {
    if (found->second.value.get_type() != rclcpp::PARAMETER_NOT_SET ||
      found->second.descriptor.dynamic_typing)
    {
      return rclcpp::Parameter(name, found->second.value);
    }
    throw rclcpp::exceptions::ParameterUninitializedException(name);
  }
  if (allow_undeclared_) {
    return rclcpp::Parameter(name);
  }
  throw rclcpp::exceptions::ParameterNotDeclaredException(name);
}

bool NodeParameters::get_parameter(const std::string & name, rclcpp::Parameter & parameter) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto found = parameters_.find(name);
  if (found == parameters_.end() || found->second.value.get_type() == rclcpp::PARAMETER_NOT_SET) {
    return false;
  }
  parameter = rclcpp::Parameter(name, found->second.value);
  return true;
}

std::vector<rclcpp::Parameter> NodeParameters::get_parameters(
  const std::vector<std::string> & names) const
{
  std::vector<rclcpp::Parameter> result;
  result.reserve(names.size());
  for (const auto & name : names) {
    result.push_back(get_parameter(name));
  }
  return result;
}

std::vector<ParameterDescriptor> NodeParameters::describe_parameters(
  const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<ParameterDescriptor> result;
  for (const auto & name : names) {
    auto found = parameters_.find(name);
    if (found != parameters_.end()) {
      ParameterDescriptor descriptor = found->second.descriptor;
      if (found->second.value.get_type() != rclcpp::PARAMETER_NOT_SET) {
        descriptor.type = static_cast<uint8_t>(found->second.value.get_type());
      }
      result.push_back(descriptor);
    } else if (allow_undeclared_) {
      ParameterDescriptor descriptor;
      descriptor.name = name;
      result.push_back(descriptor);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return result;
}

std::vector<uint8_t> NodeParameters::get_parameter_types(
  const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<uint8_t> types;
  for (const auto & name : names) {
    auto found = parameters_.find(name);
    types.push_back(
      found == parameters_.end() ? static_cast<uint8_t>(rclcpp::PARAMETER_NOT_SET) :
      static_cast<uint8_t>(found->second.value.get_type()));
  }
  return types;
}

std::vector<std::string> NodeParameters::list_parameter_names() const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<std::string> names;
  for (const auto & entry : parameters_) {
    names.push_back(entry.first);
  }
  return names;
}

NodeParameters::CallbackHandle::SharedPtr NodeParameters::add_on_set_parameters_callback(
  CallbackHandle::OnSetParametersCallbackType callback)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  check_not_in_callback_locked();
  auto handle = std::make_shared<CallbackHandle>();
  handle->callback = std::move(callback);
  callbacks_.push_front(handle);
  return handle;
}

void NodeParameters::remove_on_set_parameters_callback(const CallbackHandle * handle)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  check_not_in_callback_locked();
  auto found = std::find_if(
    callbacks_.begin(), callbacks_.end(),
    [handle](const std::weak_ptr<CallbackHandle> & weak) {return weak.lock().get() == handle;});
  if (found == callbacks_.end()) {
    throw std::runtime_error("Callback doesn't exist");
  }
  callbacks_.erase(found);
}

void NodeParameters::notify_changed(const std::vector<rclcpp::Parameter> & parameters)
{
  if (!observer_) {
    return;
  }
  for (const auto & parameter : parameters) {
    observer_(parameter);
  }
}

}  // namespace detail
}  // namespace rclcpp
