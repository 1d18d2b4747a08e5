// Reading parameter values and parameter files with the YAML typing rules of
// the ROS command line. Internal to the stand-in library.
#ifndef STANDIN_SRC__PARAMETER_YAML_HPP_
#define STANDIN_SRC__PARAMETER_YAML_HPP_

#include <string>
#include <vector>

#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp
{
namespace detail
{

// Types an unquoted scalar: bool spellings, then integers (strtoll, base
// auto-detected), then doubles (strtod, .inf/.nan spellings), else string.
rclcpp::ParameterValue typed_plain_scalar(const std::string & text);

// The node entries of a parameter file in file order. Throws
// exceptions::RCLInvalidROSArgsError for a missing file, bad YAML or values
// that cannot be parameters.
std::vector<ParameterOverrideSource> read_parameters_file(const std::string & path);

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_SRC__PARAMETER_YAML_HPP_
