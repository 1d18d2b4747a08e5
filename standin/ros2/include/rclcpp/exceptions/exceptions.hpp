// Stand-in for rclcpp/exceptions/exceptions.hpp.
#ifndef STANDIN_RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
#define STANDIN_RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "rcl/types.h"

namespace rclcpp
{
namespace exceptions
{

class NameValidationError : public std::invalid_argument
{
public:
  NameValidationError(
    const char * name_type_, const char * name_, const char * error_msg_,
    size_t invalid_index_);

  static std::string format_error(
    const char * name_type, const char * name, const char * error_msg, size_t invalid_index);

  const std::string name_type;
  const std::string name;
  const std::string error_msg;
  const size_t invalid_index;
};

class InvalidNodeNameError : public NameValidationError
{
public:
  InvalidNodeNameError(const char * node_name, const char * error_msg, size_t invalid_index)
  : NameValidationError("node name", node_name, error_msg, invalid_index) {}
};

class InvalidNamespaceError : public NameValidationError
{
public:
  InvalidNamespaceError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("namespace", namespace_, error_msg, invalid_index) {}
};

class InvalidTopicNameError : public NameValidationError
{
public:
  InvalidTopicNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("topic name", namespace_, error_msg, invalid_index) {}
};

class InvalidServiceNameError : public NameValidationError
{
public:
  InvalidServiceNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
  : NameValidationError("service name", namespace_, error_msg, invalid_index) {}
};

class InvalidNodeError : public std::runtime_error
{
public:
  InvalidNodeError()
  : std::runtime_error("node is invalid") {}
};

// Carries what rcl reported; formatted_message is "<prefix><message>, at <file>:<line>"
// in real rcl, here "<prefix><message>" since the stand-in has no rcl error state.
class RCLErrorBase
{
public:
  RCLErrorBase(rcl_ret_t ret, const std::string & message, const char * file = "", size_t line = 0);
  virtual ~RCLErrorBase() {}

  rcl_ret_t ret;
  std::string message;
  std::string file;
  size_t line;
  std::string formatted_message;
};

class RCLError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLError(const RCLErrorBase & base_exc, const std::string & prefix);
  explicit RCLError(const std::string & message);
};

class RCLBadAlloc : public RCLErrorBase, public std::bad_alloc
{
public:
  explicit RCLBadAlloc(const RCLErrorBase & base_exc);
};

class RCLInvalidArgument : public RCLErrorBase, public std::invalid_argument
{
public:
  RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix);
  explicit RCLInvalidArgument(const std::string & message);
};

class RCLInvalidROSArgsError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLInvalidROSArgsError(const RCLErrorBase & base_exc, const std::string & prefix);
  explicit RCLInvalidROSArgsError(const std::string & message);
};

class UnknownROSArgsError : public std::runtime_error
{
public:
  explicit UnknownROSArgsError(std::vector<std::string> && unknown_ros_args_in);

  const std::vector<std::string> unknown_ros_args;
};

// Throws the exception class that matches the rcl return code.
[[noreturn]] void throw_from_rcl_error(rcl_ret_t ret, const std::string & prefix = "");

class InvalidEventError : public std::runtime_error
{
public:
  InvalidEventError()
  : std::runtime_error("event is invalid") {}
};

class EventNotRegisteredError : public std::runtime_error
{
public:
  EventNotRegisteredError()
  : std::runtime_error("event already registered") {}
};

class InvalidParametersException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class InvalidParameterValueException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class InvalidParameterTypeException : public std::runtime_error
{
public:
  InvalidParameterTypeException(const std::string & name, const std::string message)
  : std::runtime_error("parameter '" + name + "' has invalid type: " + message) {}
};

class UninitializedStaticallyTypedParameterException : public std::runtime_error
{
public:
  explicit UninitializedStaticallyTypedParameterException(const std::string & name)
  : std::runtime_error("Statically typed parameter '" + name + "' must be initialized.") {}
};

class ParameterAlreadyDeclaredException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class ParameterNotDeclaredException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class ParameterImmutableException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class ParameterModifiedInCallbackException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class ParameterUninitializedException : public std::runtime_error
{
public:
  explicit ParameterUninitializedException(const std::string & name)
  : std::runtime_error("parameter '" + name + "' is not initialized") {}
};

class InvalidQosOverridesException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

class QoSCheckCompatibleException : public std::runtime_error
{
  using std::runtime_error::runtime_error;
};

}  // namespace exceptions
}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
