// A SIGTERM that lands while a program is still building its node: the signal
// shuts the context down under the constructor, whose next entity then cannot
// be created. The program must still end as after any other SIGTERM, with
// status 0, rather than report a failure, also when the signal interrupts a
// thread in the middle of writing a log line.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <thread>

#include "program/run_node_program.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "std_msgs/msg/header.hpp"

namespace
{

// Receives SIGTERM between two entities, as a node that is still being built.
class NodeSignalledWhileBuilt : public rclcpp::Node
{
public:
  explicit NodeSignalledWhileBuilt(const rclcpp::NodeOptions & options)
  : rclcpp::Node("signalled_while_built", options)
  {
    first_ = create_publisher<std_msgs::msg::Header>("first", rclcpp::QoS(1));
    ::kill(::getpid(), SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (rclcpp::ok() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    second_ = create_publisher<std_msgs::msg::Header>("second", rclcpp::QoS(1));
  }

private:
  rclcpp::Publisher<std_msgs::msg::Header>::SharedPtr first_;
  rclcpp::Publisher<std_msgs::msg::Header>::SharedPtr second_;
};

// Logs a line during which SIGTERM lands on the logging thread itself, while
// the log output handler holds its lock: a signal handler that logged would
// re-enter the output handler on this thread (and, with a real lock,
// deadlock). The output handler here records such a re-entry instead.
class NodeSignalledWhileLogging : public rclcpp::Node
{
public:
  static std::atomic<bool> & reentered()
  {
    static std::atomic<bool> flag{false};
    return flag;
  }

  explicit NodeSignalledWhileLogging(const rclcpp::NodeOptions & options)
  : rclcpp::Node("signalled_while_logging", options)
  {
    previous_handler() = rcutils_logging_get_output_handler();
    rcutils_logging_set_output_handler(&NodeSignalledWhileLogging::handle);
    RCLCPP_INFO(get_logger(), "the signal lands while this line is written");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (rclcpp::ok() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    rcutils_logging_set_output_handler(previous_handler());
    second_ = create_publisher<std_msgs::msg::Header>("second", rclcpp::QoS(1));
  }

private:
  static rcutils_logging_output_handler_t & previous_handler()
  {
    static rcutils_logging_output_handler_t handler = nullptr;
    return handler;
  }

  static void handle(
    const rcutils_log_location_t * location, int severity, const char * name, rcutils_time_point_value_t timestamp,
    const char * format, va_list * args)
  {
    static std::mutex lock;
    static std::atomic<std::thread::id> holder{};
    if (holder.load() == std::this_thread::get_id()) {
      reentered() = true;
      return;
    }
    std::lock_guard<std::mutex> guard(lock);
    holder = std::this_thread::get_id();
    if (std::string(format).rfind("the signal lands", 0) == 0) {
      std::raise(SIGTERM);
    }
    if (previous_handler() != nullptr) {
      previous_handler()(location, severity, name, timestamp, format, args);
    }
    holder = std::thread::id();
  }

  rclcpp::Publisher<std_msgs::msg::Header>::SharedPtr second_;
};

// A node whose construction fails for a reason of its own.
class NodeWithBadParameter : public rclcpp::Node
{
public:
  explicit NodeWithBadParameter(const rclcpp::NodeOptions & options)
  : rclcpp::Node("bad_parameter", options)
  {
    throw std::invalid_argument("parameter 'x' is out of range");
  }
};

// Runs the programs' entry for `NodeT` as main() would, with rclcpp not yet
// initialised; returns its exit status.
template<typename NodeT>
int run_as_program(const char * name)
{
  if (rclcpp::ok()) {
    rclcpp::shutdown();
  }
  std::string program = name;
  char * argv[] = {program.data(), nullptr};
  return align_program::run_node_program<NodeT>(1, argv, name);
}

TEST(ProgramStartUp, SigtermWhileTheNodeIsBuiltEndsWithStatusZero)
{
  EXPECT_EQ(run_as_program<NodeSignalledWhileBuilt>("signalled_while_built"), 0);
}

TEST(ProgramStartUp, ASigtermThatLandsMidLogEndsTheProgramWithoutLogging)
{
  EXPECT_EQ(run_as_program<NodeSignalledWhileLogging>("signalled_while_logging"), 0);
  EXPECT_FALSE(NodeSignalledWhileLogging::reentered()) << "the signal handler logged on the interrupted thread";
}

TEST(ProgramStartUp, AConstructorFailureWithoutSignalStillEndsWithStatusOne)
{
  EXPECT_EQ(run_as_program<NodeWithBadParameter>("bad_parameter"), 1);
}

}  // namespace
