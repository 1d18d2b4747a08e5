// Parameter descriptors that carry only a description, so that
// `ros2 param describe` explains each parameter of the programs.
#ifndef PROGRAM__PARAMETER_DESCRIPTION_HPP_
#define PROGRAM__PARAMETER_DESCRIPTION_HPP_

#include <string>

#include "rcl_interfaces/msg/parameter_descriptor.hpp"

namespace align_program
{

inline rcl_interfaces::msg::ParameterDescriptor described(const std::string & description)
{
  rcl_interfaces::msg::ParameterDescriptor descriptor;
  descriptor.description = description;
  return descriptor;
}

}  // namespace align_program

#endif  // PROGRAM__PARAMETER_DESCRIPTION_HPP_
