// Process-level entry points that act on the global default context unless
// given another one.
#include <string>
#include <vector>

#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{

namespace
{
Context::SharedPtr or_default(Context::SharedPtr context)
{
  return context ? context : contexts::get_global_default_context();
}
}  // namespace

void init(
  int argc, char const * const * argv, const InitOptions & init_options,
  SignalHandlerOptions signal_handler_options)
{
  contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

std::vector<std::string> init_and_remove_ros_arguments(
  int argc, char const * const * argv, const InitOptions & init_options)
{
  init(argc, argv, init_options);
  return remove_ros_arguments(argc, argv);
}

std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv)
{
  std::vector<std::string> program_arguments;
  if (argv == nullptr) {
    return program_arguments;
  }
  bool in_ros_section = false;
  for (int index = 0; index < argc; ++index) {
    if (argv[index] == nullptr) {
      continue;
    }
    const std::string argument = argv[index];
    if (argument == "--ros-args") {
      in_ros_section = true;
    } else if (in_ros_section && argument == "--") {
      in_ros_section = false;
    } else if (!in_ros_section) {
      program_arguments.push_back(argument);
    }
  }
  return program_arguments;
}

bool ok(Context::SharedPtr context)
{
  return or_default(context)->is_valid();
}

bool shutdown(Context::SharedPtr context, const std::string & reason)
{
  const auto default_context = contexts::get_global_default_context();
  const auto target = or_default(context);
  const bool shut_down_now = target->shutdown(reason);
  if (target == default_context) {
    uninstall_signal_handlers();
  }
  return shut_down_now;
}

void on_shutdown(std::function<void()> callback, Context::SharedPtr context)
{
  or_default(context)->on_shutdown(callback);
}

bool sleep_for(const std::chrono::nanoseconds & nanoseconds, Context::SharedPtr context)
{
  return or_default(context)->sleep_for(nanoseconds);
}

}  // namespace rclcpp
