// Shared set-up of the node-layer tests: each test runs inside its own
// init/shutdown cycle of the global context, optionally with ROS arguments.
#ifndef GRAPH_FIXTURE_HPP_
#define GRAPH_FIXTURE_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"

namespace graph_test
{

class RosTest : public ::testing::Test
{
protected:
  void SetUp() override {restart({});}
  void TearDown() override {rclcpp::shutdown();}

  // Shuts the global context down (if needed) and initialises it again with
  // these command-line arguments after the program name.
  static void restart(const std::vector<std::string> & arguments)
  {
    if (rclcpp::ok()) {
      rclcpp::shutdown();
    }
    std::vector<const char *> argv{"graph_test"};
    for (const auto & argument : arguments) {
      argv.push_back(argument.c_str());
    }
    rclcpp::init(static_cast<int>(argv.size()), argv.data());
  }
};

// Spins until `done` holds or the timeout passes; returns whether it held.
inline bool spin_until(
  rclcpp::Executor & executor, const std::function<bool()> & done,
  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    executor.spin_once(std::chrono::milliseconds(10));
  }
  return done();
}

}  // namespace graph_test

#endif  // GRAPH_FIXTURE_HPP_
