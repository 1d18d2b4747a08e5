// Runs a node program's own entry (run_node_program, exactly what main()
// calls) on a thread of the test process, feeds it scans from a probe node and
// delivers SIGINT or SIGTERM to the process while the node is inside its scan
// callback.
//
// Why in-process: the stand-in transport only connects nodes of one process,
// so a separate program binary cannot be sent scans. Here the signal still
// takes the real path: the program installs its handlers after rclcpp::init,
// kill() raises the signal, the handler wakes the program's watcher, which
// shuts the context down, spin() returns, the program releases its node and
// returns its exit status.
//
// The moment is made exact with the log output: when the node logs
// `trigger_prefix` (a line from the middle of its scan callback), the
// executor thread is held in the log output handler until the test thread has
// sent the signal and seen the context shut down; then the callback runs on to
// its end against a shut-down context.
//
// rclcpp::init installs its own output handler and the last shutdown puts the
// console handler back, so the watch on the log goes in after the program's
// init and again after the signal's shutdown; every line is handed on to the
// handler it replaced.
#ifndef ALIGN_MODEL_TEST__PROGRAM_UNDER_SIGNAL_HPP_
#define ALIGN_MODEL_TEST__PROGRAM_UNDER_SIGNAL_HPP_

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "program/shutdown_on_signal.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_test
{

struct SignalRunResult
{
  bool program_started = false;
  bool handlers_installed = false;
  bool trigger_seen = false;
  bool context_shut_down_by_signal = false;
  bool program_returned = false;
  int exit_status = -1;
  // Lines of the node's logger that came after the trigger line, in order.
  std::vector<std::string> lines_after_trigger;
};

class ProgramUnderSignal
{
public:
  // `program` runs the entry with the given argv and returns its status.
  using Program = std::function<int(int, char **)>;

  ProgramUnderSignal(std::string logger_name, std::string trigger_prefix)
  : logger_name_(std::move(logger_name)), trigger_prefix_(std::move(trigger_prefix)) {}

  SignalRunResult run(
    const Program & program, const std::vector<std::string> & arguments,
    const sensor_msgs::msg::LaserScan & scan, const std::string & scan_topic, int signal_number)
  {
    SignalRunResult result;
    // The entry initialises rclcpp itself.
    if (rclcpp::ok()) {
      rclcpp::shutdown();
    }
    active() = this;

    std::vector<std::string> storage = arguments;
    std::vector<char *> argv;
    for (auto & argument : storage) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::promise<int> status;
    std::future<int> finished = status.get_future();
    std::thread runner([&program, &argv, &status] {
        status.set_value(program(static_cast<int>(argv.size() - 1), argv.data()));
      });

    // The program initialises rclcpp first and installs its signal handlers
    // after that.
    result.program_started = wait_for(
      [&] {return rclcpp::ok() && align_program::ShutdownOnSignal::installed();}, std::chrono::seconds(10));
    if (result.program_started) {
      install_log_watch();
      auto probe = std::make_shared<rclcpp::Node>("signal_probe");
      auto publisher = probe->create_publisher<sensor_msgs::msg::LaserScan>(scan_topic, rclcpp::QoS(1));
      // Scans flow until the node is held inside a callback.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!triggered() && std::chrono::steady_clock::now() < deadline && rclcpp::ok()) {
        publisher->publish(scan);
        wait_for([&] {return triggered();}, std::chrono::milliseconds(50));
      }
      result.trigger_seen = triggered();
      result.handlers_installed = align_program::ShutdownOnSignal::installed();
      if (result.trigger_seen && result.handlers_installed) {
        ::kill(::getpid(), signal_number);
        result.context_shut_down_by_signal = wait_for([] {return !rclcpp::ok();}, std::chrono::seconds(10));
        // The shutdown ends logging and drops the watch, a moment after the
        // context turns invalid; the lines after the trigger are still wanted.
        wait_for(
          [] {return rcutils_logging_get_output_handler() != &ProgramUnderSignal::handle;},
          std::chrono::seconds(2));
        install_log_watch();
      }
      release();
      publisher.reset();
      probe.reset();
      if (!result.context_shut_down_by_signal) {
        // Ends the program anyway, so that the test fails instead of hanging.
        rclcpp::shutdown();
      }
    }
    release();
    result.program_returned = finished.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (result.program_returned) {
      runner.join();
      result.exit_status = finished.get();
    } else {
      runner.detach();
    }
    if (rcutils_logging_get_output_handler() == &ProgramUnderSignal::handle) {
      rcutils_logging_set_output_handler(forward_to().load());
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      result.lines_after_trigger = after_trigger_;
    }
    active() = nullptr;
    return result;
  }

private:
  static ProgramUnderSignal *& active()
  {
    static ProgramUnderSignal * instance = nullptr;
    return instance;
  }

  // Where every line goes on to: the handler the watch replaced.
  static std::atomic<rcutils_logging_output_handler_t> & forward_to()
  {
    static std::atomic<rcutils_logging_output_handler_t> handler{nullptr};
    return handler;
  }

  static void install_log_watch()
  {
    const rcutils_logging_output_handler_t current = rcutils_logging_get_output_handler();
    if (current != &ProgramUnderSignal::handle) {
      forward_to().store(current);
      rcutils_logging_set_output_handler(&ProgramUnderSignal::handle);
    }
  }

  static bool wait_for(const std::function<bool()> & done, std::chrono::milliseconds timeout)
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  bool triggered()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return triggered_;
  }

  void release()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

  static void handle(
    const rcutils_log_location_t * location, int severity, const char * name,
    rcutils_time_point_value_t timestamp, const char * format, va_list * args)
  {
    // Handed on first, so that the line reaches the console before the
    // executor thread is held below.
    if (auto forward = forward_to().load()) {
      forward(location, severity, name, timestamp, format, args);
    }
    ProgramUnderSignal * self = active();
    if (self == nullptr || name == nullptr || self->logger_name_ != name) {
      return;
    }
    va_list copy;
    va_copy(copy, *args);
    char buffer[1024];
    std::vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);
    const std::string text = buffer;

    std::unique_lock<std::mutex> lock(self->mutex_);
    if (self->triggered_) {
      self->after_trigger_.push_back(text);
      return;
    }
    if (text.rfind(self->trigger_prefix_, 0) != 0) {
      return;
    }
    self->triggered_ = true;
    // Held here, on the executor thread, until the signal has done its work;
    // bounded so that a lost signal fails the test rather than hanging it.
    self->changed_.wait_for(lock, std::chrono::seconds(20), [self] {return self->released_;});
  }

  const std::string logger_name_;
  const std::string trigger_prefix_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool triggered_ = false;
  bool released_ = false;
  std::vector<std::string> after_trigger_;
};

}  // namespace align_test

#endif  // ALIGN_MODEL_TEST__PROGRAM_UNDER_SIGNAL_HPP_
