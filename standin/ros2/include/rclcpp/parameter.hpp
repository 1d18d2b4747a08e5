// Stand-in for rclcpp/parameter.hpp: a named ParameterValue.
#ifndef STANDIN_RCLCPP__PARAMETER_HPP_
#define STANDIN_RCLCPP__PARAMETER_HPP_

#include <cstdint>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "rcl_interfaces/msg/parameter.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp
{

class Parameter
{
public:
  Parameter();
  explicit Parameter(const std::string & name);
  Parameter(const std::string & name, const ParameterValue & value);

  // Lets brace lists such as {"max_range", 2.0} build parameters.
  template<typename ValueTypeT>
  Parameter(const std::string & name, ValueTypeT value)
  : Parameter(name, ParameterValue(value))
  {}

  bool operator==(const Parameter & rhs) const;
  bool operator!=(const Parameter & rhs) const;

  ParameterType get_type() const;
  std::string get_type_name() const;
  const std::string & get_name() const;
  rcl_interfaces::msg::ParameterValue get_value_message() const;
  const rclcpp::ParameterValue & get_parameter_value() const;

  // Throws ParameterTypeException on a type mismatch.
  template<ParameterType ParamT>
  decltype(auto) get_value() const
  {
    return value_.get<ParamT>();
  }

  // Throws exceptions::InvalidParameterTypeException (naming the parameter)
  // on a type mismatch.
  template<typename T>
  decltype(auto) get_value() const
  {
    if constexpr (std::is_same<T, rclcpp::ParameterValue>::value) {
      return static_cast<const rclcpp::ParameterValue &>(value_);
    } else if constexpr (std::is_same<T, rclcpp::Parameter>::value) {
      return static_cast<const rclcpp::Parameter &>(*this);
    } else {
      try {
        return value_.get<T>();
      } catch (const ParameterTypeException & ex) {
        throw exceptions::InvalidParameterTypeException(name_, ex.what());
      }
    }
  }

  bool as_bool() const;
  int64_t as_int() const;
  double as_double() const;
  const std::string & as_string() const;
  const std::vector<uint8_t> & as_byte_array() const;
  const std::vector<bool> & as_bool_array() const;
  const std::vector<int64_t> & as_integer_array() const;
  const std::vector<double> & as_double_array() const;
  const std::vector<std::string> & as_string_array() const;

  static Parameter from_parameter_msg(const rcl_interfaces::msg::Parameter & parameter);
  rcl_interfaces::msg::Parameter to_parameter_msg() const;

  std::string value_to_string() const;

private:
  std::string name_;
  ParameterValue value_;
};

// {"name": "<name>", "type": "<type>", "value": "<value>"}
std::string to_string(const Parameter & param);
std::string to_string(const std::vector<Parameter> & parameters);

std::ostream & operator<<(std::ostream & os, const rclcpp::Parameter & pv);
std::ostream & operator<<(std::ostream & os, const std::vector<Parameter> & parameters);

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__PARAMETER_HPP_
