#include "align_tools/argument_list.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace align_tools
{

std::string ArgumentList::take()
{
  if (done()) {
    throw std::invalid_argument("missing argument");
  }
  return arguments_[next_++];
}

std::string ArgumentList::text(const std::string & option)
{
  if (done()) {
    throw std::invalid_argument(option + " needs a value");
  }
  return arguments_[next_++];
}

double ArgumentList::number(const std::string & option)
{
  const std::string value = text(option);
  char * end = nullptr;
  errno = 0;
  const double parsed = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || errno != 0 || !std::isfinite(parsed)) {
    throw std::invalid_argument(option + ": '" + value + "' is not a finite number");
  }
  return parsed;
}

long long ArgumentList::integer(const std::string & option)
{
  const std::string value = text(option);
  char * end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno != 0) {
    throw std::invalid_argument(option + ": '" + value + "' is not an integer");
  }
  return parsed;
}

SplitArguments split_ros_arguments(int argc, const char * const * argv)
{
  SplitArguments split;
  split.ros.push_back(argc > 0 ? argv[0] : "align_tool");
  bool in_ros_section = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--ros-args") {
      in_ros_section = true;
    }
    (in_ros_section ? split.ros : split.own).push_back(argument);
  }
  return split;
}

}  // namespace align_tools
