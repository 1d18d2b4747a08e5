// Shared set-up of the node-layer tests: each test runs inside its own
// init/shutdown cycle of the global context, optionally with ROS arguments.
// Endpoints match only after discovery, as on DDS, so tests wait for the
// match before they publish what must arrive.
#ifndef GRAPH_FIXTURE_HPP_
#define GRAPH_FIXTURE_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

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

// Polls `condition` until it holds or the timeout passes; returns whether it
// held. For conditions that other threads or the passing of time make true.
inline bool wait_until(
  const std::function<bool()> & condition,
  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

// Waits until the publisher has matched `count` subscriptions.
inline bool wait_for_matches(
  const rclcpp::PublisherBase & publisher, size_t count,
  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  return wait_until([&] {return publisher.get_subscription_count() >= count;}, timeout);
}

// Waits until the subscription has matched `count` publishers.
inline bool wait_for_matches(
  const rclcpp::SubscriptionBase & subscription, size_t count,
  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  return wait_until([&] {return subscription.get_publisher_count() >= count;}, timeout);
}

// Waits until every endpoint that exists now has been through discovery, so
// that pairs which did not match by then never will: a probe pair created now
// matches no earlier than they do.
inline bool wait_for_discovery(
  rclcpp::Node & node, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  using std_msgs::msg::Header;
  auto probe_subscription = node.create_subscription<Header>(
    "/graph_test_discovery_probe", 1, [](const Header &) {});
  auto probe_publisher = node.create_publisher<Header>("/graph_test_discovery_probe", 1);
  return wait_for_matches(*probe_publisher, 1, timeout);
}

}  // namespace graph_test

#endif  // GRAPH_FIXTURE_HPP_
