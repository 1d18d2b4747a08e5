// A SIGTERM that lands while a program is still building its node: the signal
// shuts the context down under the constructor, whose next entity then cannot
// be created. The program must still end as after any other SIGTERM, with
// status 0, rather than report a failure.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "program/run_node_program.hpp"
#include "rclcpp/rclcpp.hpp"
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

std::vector<char *> program_arguments(std::vector<std::string> & storage)
{
  std::vector<char *> argv;
  for (auto & argument : storage) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  return argv;
}

TEST(ProgramStartUp, SigtermWhileTheNodeIsBuiltEndsWithStatusZero)
{
  if (rclcpp::ok()) {
    rclcpp::shutdown();
  }
  std::vector<std::string> storage{"signalled"};
  auto argv = program_arguments(storage);
  EXPECT_EQ(align_program::run_node_program<NodeSignalledWhileBuilt>(1, argv.data(), "signalled_while_built"), 0);
}

TEST(ProgramStartUp, AConstructorFailureWithoutSignalStillEndsWithStatusOne)
{
  if (rclcpp::ok()) {
    rclcpp::shutdown();
  }
  std::vector<std::string> storage{"bad"};
  auto argv = program_arguments(storage);
  EXPECT_EQ(align_program::run_node_program<NodeWithBadParameter>(1, argv.data(), "bad_parameter"), 1);
}

}  // namespace
