#ifndef ALIGN_TOOLS__ARGUMENT_LIST_HPP_
#define ALIGN_TOOLS__ARGUMENT_LIST_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace align_tools
{

// Walks a program's own options; every malformed value throws
// std::invalid_argument naming the option.
class ArgumentList
{
public:
  explicit ArgumentList(std::vector<std::string> arguments)
  : arguments_(std::move(arguments)) {}

  bool done() const {return next_ >= arguments_.size();}
  std::string take();  // the next argument
  std::string text(const std::string & option);  // the value of `option`
  double number(const std::string & option);
  long long integer(const std::string & option);

private:
  std::vector<std::string> arguments_;
  std::size_t next_ = 0;
};

// Splits argv at the first "--ros-args": the program's own options (without
// argv[0]) and the arguments for rclcpp::init (argv[0] followed by the ROS
// section).
struct SplitArguments
{
  std::vector<std::string> own;
  std::vector<std::string> ros;
};
SplitArguments split_ros_arguments(int argc, const char * const * argv);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ARGUMENT_LIST_HPP_
