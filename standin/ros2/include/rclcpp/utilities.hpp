// Stand-in for rclcpp/utilities.hpp: process-level init, shutdown and signals.
#ifndef STANDIN_RCLCPP__UTILITIES_HPP_
#define STANDIN_RCLCPP__UTILITIES_HPP_

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"

namespace rclcpp
{

enum class SignalHandlerOptions
{
  All,
  SigInt,
  SigTerm,
  None,
};

// Initialises the global default context (see Context::init) and installs the
// requested signal handlers.
void init(
  int argc, char const * const * argv,
  const InitOptions & init_options = InitOptions(),
  SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

// Handlers shut every valid context down on SIGINT / SIGTERM. Returns false
// when they were already installed.
bool install_signal_handlers(SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);
bool signal_handlers_installed();
SignalHandlerOptions get_current_signal_handler_options();
// Restores the previous handlers; false when none were installed.
bool uninstall_signal_handlers();

std::vector<std::string> init_and_remove_ros_arguments(
  int argc, char const * const * argv,
  const InitOptions & init_options = InitOptions());

// The program's own arguments: argv without the --ros-args sections.
std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv);

bool ok(rclcpp::Context::SharedPtr context = nullptr);

bool shutdown(
  rclcpp::Context::SharedPtr context = nullptr,
  const std::string & reason = "user called rclcpp::shutdown()");

void on_shutdown(std::function<void()> callback, rclcpp::Context::SharedPtr context = nullptr);

// False when the context shut down before the time passed.
bool sleep_for(
  const std::chrono::nanoseconds & nanoseconds,
  rclcpp::Context::SharedPtr context = nullptr);

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__UTILITIES_HPP_
