// The entry shared by both programs: init, one single-threaded executor, the
// node, spin until shutdown.
#ifndef PROGRAM__RUN_NODE_PROGRAM_HPP_
#define PROGRAM__RUN_NODE_PROGRAM_HPP_

#include <exception>
#include <functional>
#include <memory>

#include "program/security_setup.hpp"
#include "program/shutdown_on_signal.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_program
{

// Returns the process exit status: 0 after an orderly shutdown, 1 when ROS
// could not be initialised (bad ROS arguments, an enforced security setup
// that rcl rejects), when ROS_SECURITY_ENABLE=true but the enclave's
// credentials are missing, or when the node could not be constructed (for
// example a wrong-typed parameter override, or credentials that DDS refuses).
// Each is reported as FATAL under `logger_name` and never spins. A SIGINT
// or SIGTERM that arrives while the node is being built shuts the context
// down under the constructor, which then fails: that is an orderly stop too.
// `after_release` runs once the node is destroyed.
template<typename NodeT>
int run_node_program(
  int argc, char ** argv, const char * logger_name,
  const std::function<void()> & after_release = {})
{
  const rclcpp::Logger logger = rclcpp::get_logger(logger_name);
  try {
    // rclcpp's own handlers could deadlock on a signal that lands mid-log.
    rclcpp::init(argc, argv, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  } catch (const std::exception & error) {
    RCLCPP_FATAL(
      logger, "%s%s", error.what(),
      init_failure_hint(security_enabled(), keystore_variable()).c_str());
    return 1;
  }
  if (const auto problem = check_security_setup()) {
    RCLCPP_FATAL(logger, "%s", problem->c_str());
    rclcpp::shutdown();
    return 1;
  }
  const ShutdownOnSignal shutdown_on_signal;
  rclcpp::executors::SingleThreadedExecutor executor;

  std::shared_ptr<NodeT> node;
  try {
    node = std::make_shared<NodeT>(rclcpp::NodeOptions());
  } catch (const std::exception & error) {
    if (!rclcpp::ok()) {
      rclcpp::shutdown();
      return 0;
    }
    RCLCPP_FATAL(logger, "%s%s", error.what(), node_failure_hint(security_enabled()).c_str());
    rclcpp::shutdown();
    return 1;
  }

  executor.add_node(node);
  executor.spin();
  rclcpp::shutdown();
  executor.remove_node(node);
  node.reset();
  if (after_release) {
    after_release();
  }
  return 0;
}

}  // namespace align_program

#endif  // PROGRAM__RUN_NODE_PROGRAM_HPP_
