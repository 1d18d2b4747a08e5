// Fuzzes the stand-in's parameter typing: the input as a --params-file, as
// read by the node programs' command line, and as the value of one -p
// assignment. Refusals must be the ROS argument errors; the overrides that
// are read must match node names without trouble.
#include <cstdint>
#include <string>
#include <vector>

#include "parameter_yaml.hpp"
#include "rclcpp/detail/ros_arguments.hpp"
#include "rclcpp/exceptions.hpp"
#include "temp_file.hpp"

namespace
{

const char * const kNodes[] = {"/align_feature_node", "/align_model/align_feature_node", "/align_node/align_node"};

void parse_as_file(const std::uint8_t * data, std::size_t size)
{
  const std::string path = align_fuzz::write_scratch_file("params.yaml", data, size);
  try {
    rclcpp::detail::read_parameters_file(path);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
  }
  try {
    const auto arguments = rclcpp::detail::RosArguments::parse({"--ros-args", "--params-file", path});
    for (const char * node : kNodes) {
      arguments.parameter_overrides(node);
    }
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
  }
}

void parse_as_value(const std::uint8_t * data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char *>(data), size);
  try {
    rclcpp::detail::parse_parameter_value(text);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
  }
  try {
    rclcpp::detail::RosArguments::parse({"--ros-args", "-p", "value:=" + text});
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  parse_as_file(data, size);
  parse_as_value(data, size);
  return 0;
}
