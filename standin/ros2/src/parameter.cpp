// rclcpp::Parameter: a named ParameterValue with typed accessors.
#include <ostream>
#include <string>
#include <vector>

#include "rclcpp/parameter.hpp"

namespace rclcpp
{

Parameter::Parameter()
: name_("") {}

Parameter::Parameter(const std::string & name)
: name_(name) {}

Parameter::Parameter(const std::string & name, const ParameterValue & value)
: name_(name), value_(value) {}

bool Parameter::operator==(const Parameter & rhs) const
{
  return name_ == rhs.name_ && value_ == rhs.value_;
}

bool Parameter::operator!=(const Parameter & rhs) const
{
  return !(*this == rhs);
}

ParameterType Parameter::get_type() const {return value_.get_type();}
std::string Parameter::get_type_name() const {return rclcpp::to_string(get_type());}
const std::string & Parameter::get_name() const {return name_;}

rcl_interfaces::msg::ParameterValue Parameter::get_value_message() const
{
  return value_.to_value_msg();
}

const rclcpp::ParameterValue & Parameter::get_parameter_value() const {return value_;}

bool Parameter::as_bool() const {return value_.get<PARAMETER_BOOL>();}
int64_t Parameter::as_int() const {return value_.get<PARAMETER_INTEGER>();}
double Parameter::as_double() const {return value_.get<PARAMETER_DOUBLE>();}
const std::string & Parameter::as_string() const {return value_.get<PARAMETER_STRING>();}

const std::vector<uint8_t> & Parameter::as_byte_array() const
{
  return value_.get<PARAMETER_BYTE_ARRAY>();
}

const std::vector<bool> & Parameter::as_bool_array() const
{
  return value_.get<PARAMETER_BOOL_ARRAY>();
}

const std::vector<int64_t> & Parameter::as_integer_array() const
{
  return value_.get<PARAMETER_INTEGER_ARRAY>();
}

const std::vector<double> & Parameter::as_double_array() const
{
  return value_.get<PARAMETER_DOUBLE_ARRAY>();
}

const std::vector<std::string> & Parameter::as_string_array() const
{
  return value_.get<PARAMETER_STRING_ARRAY>();
}

Parameter Parameter::from_parameter_msg(const rcl_interfaces::msg::Parameter & parameter)
{
  return Parameter(parameter.name, ParameterValue(parameter.value));
}

rcl_interfaces::msg::Parameter Parameter::to_parameter_msg() const
{
  rcl_interfaces::msg::Parameter message;
  message.name = name_;
  message.value = value_.to_value_msg();
  return message;
}

std::string Parameter::value_to_string() const
{
  return rclcpp::to_string(value_);
}

std::string to_string(const Parameter & param)
{
  return "{\"name\": \"" + param.get_name() + "\", \"type\": \"" + param.get_type_name() +
         "\", \"value\": \"" + param.value_to_string() + "\"}";
}

std::string to_string(const std::vector<Parameter> & parameters)
{
  std::string text = "{";
  for (size_t index = 0; index < parameters.size(); ++index) {
    if (index > 0) {
      text += ", ";
    }
    text += "\"" + parameters[index].get_name() + "\": {\"type\": \"" +
      parameters[index].get_type_name() + "\", \"value\": \"" +
      parameters[index].value_to_string() + "\"}";
  }
  return text + "}";
}

std::ostream & operator<<(std::ostream & os, const rclcpp::Parameter & pv)
{
  return os << to_string(pv);
}

std::ostream & operator<<(std::ostream & os, const std::vector<Parameter> & parameters)
{
  return os << to_string(parameters);
}

}  // namespace rclcpp
