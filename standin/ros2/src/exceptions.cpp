// rclcpp exception classes whose messages are composed at construction.
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp
{
namespace exceptions
{

std::string NameValidationError::format_error(
  const char * name_type, const char * name, const char * error_msg, size_t invalid_index)
{
  std::string text = std::string("Invalid ") + name_type + ": " + error_msg + ":\n  '" + name +
    "'\n   " + std::string(invalid_index, ' ') + "^\n";
  return text;
}

NameValidationError::NameValidationError(
  const char * name_type_, const char * name_, const char * error_msg_, size_t invalid_index_)
: std::invalid_argument(format_error(name_type_, name_, error_msg_, invalid_index_)),
  name_type(name_type_), name(name_), error_msg(error_msg_), invalid_index(invalid_index_)
{}

RCLErrorBase::RCLErrorBase(
  rcl_ret_t ret_, const std::string & message_, const char * file_, size_t line_)
: ret(ret_), message(message_), file(file_ != nullptr ? file_ : ""), line(line_),
  formatted_message(message_)
{}

RCLError::RCLError(const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message) {}

RCLError::RCLError(const std::string & message)
: RCLError(RCLErrorBase(RCL_RET_ERROR, message), "") {}

RCLBadAlloc::RCLBadAlloc(const RCLErrorBase & base_exc)
: RCLErrorBase(base_exc), std::bad_alloc() {}

RCLInvalidArgument::RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::invalid_argument(prefix + base_exc.formatted_message) {}

RCLInvalidArgument::RCLInvalidArgument(const std::string & message)
: RCLInvalidArgument(RCLErrorBase(RCL_RET_INVALID_ARGUMENT, message), "") {}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(
  const RCLErrorBase & base_exc, const std::string & prefix)
: RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message) {}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(const std::string & message)
: RCLInvalidROSArgsError(RCLErrorBase(RCL_RET_INVALID_ROS_ARGS, message), "") {}

namespace
{
std::string join_arguments(const std::vector<std::string> & arguments)
{
  std::string text;
  for (const std::string & argument : arguments) {
    text += (text.empty() ? "'" : ", '") + argument + "'";
  }
  return text;
}
}  // namespace

UnknownROSArgsError::UnknownROSArgsError(std::vector<std::string> && unknown_ros_args_in)
: std::runtime_error("found unknown ROS arguments: " + join_arguments(unknown_ros_args_in)),
  unknown_ros_args(std::move(unknown_ros_args_in))
{}

void throw_from_rcl_error(rcl_ret_t ret, const std::string & prefix)
{
  const RCLErrorBase base(ret, "error not set");
  switch (ret) {
    case RCL_RET_BAD_ALLOC: throw RCLBadAlloc(base);
    case RCL_RET_INVALID_ARGUMENT: throw RCLInvalidArgument(base, prefix);
    case RCL_RET_INVALID_ROS_ARGS: throw RCLInvalidROSArgsError(base, prefix);
    default: throw RCLError(base, prefix);
  }
}

}  // namespace exceptions
}  // namespace rclcpp
