// The frame of a tool that runs nodes in a DDS domain of its own (the replay,
// the docking trials): its own options before "--ros-args", ROS arguments
// after. A bad option prints its message and the usage and gives status 2;
// help prints the usage alone. rclcpp then starts in a private domain, the
// tool runs, and an exception ends it with its message and status 1.
#ifndef ALIGN_TOOLS__ISOLATED_TOOL_HPP_
#define ALIGN_TOOLS__ISOLATED_TOOL_HPP_

#include <exception>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_tools/argument_list.hpp"
#include "align_tools/private_domain.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_tools
{

// `parse` throws std::invalid_argument for a bad option (an empty message
// asks for the usage alone); `run` returns the exit status.
template<typename OptionsT>
int run_isolated_tool(
  int argc, char ** argv, const std::string & name, const char * usage,
  const std::function<OptionsT(const std::vector<std::string> &)> & parse,
  const std::function<int(const OptionsT &)> & run)
{
  const SplitArguments split = split_ros_arguments(argc, argv);
  OptionsT options;
  try {
    options = parse(split.own);
  } catch (const std::invalid_argument & error) {
    if (error.what()[0] != '\0') {
      std::cerr << name << ": " << error.what() << "\n";
    }
    std::cerr << usage;
    return 2;
  }
  std::vector<const char *> ros_argv;
  for (const auto & argument : split.ros) {
    ros_argv.push_back(argument.c_str());
  }
  int status = 1;
  try {
    rclcpp::init(static_cast<int>(ros_argv.size()), ros_argv.data(), private_domain_init_options());
    status = run(options);
  } catch (const std::exception & error) {
    std::cerr << name << ": error: " << error.what() << "\n";
  }
  if (rclcpp::ok()) {
    rclcpp::shutdown();
  }
  return status;
}

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ISOLATED_TOOL_HPP_
