// Stand-in for rosidl_runtime_cpp/message_initialization.hpp.
#ifndef STANDIN_ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_
#define STANDIN_ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_

namespace rosidl_runtime_cpp
{

// How a generated message constructor fills its fields. The stand-in always
// applies the defaults; the argument exists so that message constructors have
// the generated signature, explicit included.
enum class MessageInitialization
{
  ALL,
  SKIP,
  ZERO,
  DEFAULTS_ONLY,
};

}  // namespace rosidl_runtime_cpp

#endif  // STANDIN_ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_
