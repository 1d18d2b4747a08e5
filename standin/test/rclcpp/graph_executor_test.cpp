// Executors: ownership of nodes, the order and exclusivity of callbacks,
// timers, and how spinning ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

using graph_test::RosTest;
using graph_test::wait_for_matches;
using std_msgs::msg::Header;
using namespace std::chrono_literals;

class ExecutorTest : public RosTest
{
protected:
  void SetUp() override
  {
    RosTest::SetUp();
    node_ = std::make_shared<rclcpp::Node>("exec_node");
  }

  // Waits (bounded) until the executor reports that it spins.
  static bool wait_spinning(rclcpp::Executor & executor)
  {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!executor.is_spinning() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    return executor.is_spinning();
  }

  rclcpp::Node::SharedPtr node_;
};

class DerivedNode : public rclcpp::Node
{
public:
  DerivedNode()
  : rclcpp::Node("derived") {}
};

TEST_F(ExecutorTest, ANodeBelongsToOneExecutorAtATime)
{
  rclcpp::executors::SingleThreadedExecutor first;
  rclcpp::executors::SingleThreadedExecutor second;
  first.add_node(node_);
  try {
    second.add_node(node_);
    FAIL() << "adding to a second executor must throw";
  } catch (const std::runtime_error & error) {
    EXPECT_STREQ(error.what(), "Node '/exec_node' has already been added to an executor.");
  }
  EXPECT_THROW(second.remove_node(node_), std::runtime_error);
  EXPECT_THROW(rclcpp::spin_some(node_), std::runtime_error);
  first.remove_node(node_);
  EXPECT_THROW(first.remove_node(node_), std::runtime_error);
  second.add_node(node_);
  second.remove_node(node_);

  auto derived = std::make_shared<DerivedNode>();
  first.add_node(derived);
  first.remove_node(derived);
}

TEST_F(ExecutorTest, DestroyingTheExecutorReleasesItsNodes)
{
  {
    rclcpp::executors::SingleThreadedExecutor temporary;
    temporary.add_node(node_);
  }
  rclcpp::executors::SingleThreadedExecutor next;
  EXPECT_NO_THROW(next.add_node(node_));
  next.remove_node(node_);
}

TEST_F(ExecutorTest, ReadyTimersRunBeforeSubscriptionsOneMessagePerPass)
{
  std::vector<std::string> order;
  auto sub_a = node_->create_subscription<Header>(
    "a", 10, [&order](const Header & m) {order.push_back("sub_a:" + m.frame_id);});
  auto sub_b = node_->create_subscription<Header>(
    "b", 10, [&order](const Header & m) {order.push_back("sub_b:" + m.frame_id);});
  auto timer = node_->create_wall_timer(1ms, [&order] {order.push_back("timer");});
  auto pub_a = node_->create_publisher<Header>("a", 10);
  auto pub_b = node_->create_publisher<Header>("b", 10);
  ASSERT_TRUE(wait_for_matches(*pub_a, 1));
  ASSERT_TRUE(wait_for_matches(*pub_b, 1));
  Header msg;
  msg.frame_id = "2";
  pub_b->publish(msg);
  msg.frame_id = "1";
  pub_a->publish(msg);
  msg.frame_id = "3";
  pub_a->publish(msg);
  std::this_thread::sleep_for(5ms);

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  executor.spin_some();
  timer->cancel();
  EXPECT_EQ(order, (std::vector<std::string>{"timer", "sub_a:1", "sub_b:2"}));
  executor.spin_some();
  EXPECT_EQ(order.back(), "sub_a:3");
  executor.remove_node(node_);
}

TEST_F(ExecutorTest, CallbacksNeverOverlapEvenWithConcurrentPublishers)
{
  std::atomic<int> active{0};
  std::atomic<int> overlaps{0};
  std::atomic<int> calls{0};
  const auto guarded = [&] {
      if (active.fetch_add(1) != 0) {
        ++overlaps;
      }
      std::this_thread::sleep_for(100us);
      active.fetch_sub(1);
      ++calls;
    };
  auto sub_a = node_->create_subscription<Header>(
    "x", rclcpp::QoS(1).keep_all(), [&](const Header &) {guarded();});
  auto sub_b = node_->create_subscription<Header>(
    "y", rclcpp::QoS(1).keep_all(), [&](const Header &) {guarded();});
  auto timer = node_->create_wall_timer(1ms, [&] {guarded();});
  auto pub_x = node_->create_publisher<Header>("x", 1);
  auto pub_y = node_->create_publisher<Header>("y", 1);
  ASSERT_TRUE(wait_for_matches(*pub_x, 1));
  ASSERT_TRUE(wait_for_matches(*pub_y, 1));

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  std::thread spinner([&executor] {executor.spin();});
  std::thread producer_x([&] {
      for (int i = 0; i < 100; ++i) {pub_x->publish(Header());}
    });
  std::thread producer_y([&] {
      for (int i = 0; i < 100; ++i) {pub_y->publish(Header());}
    });
  producer_x.join();
  producer_y.join();
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (calls.load() < 205 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  executor.cancel();
  spinner.join();
  EXPECT_GE(calls.load(), 205);
  EXPECT_EQ(overlaps.load(), 0);
}

TEST_F(ExecutorTest, WallTimerFiresOnePeriodAfterCreationThenEveryPeriod)
{
  std::vector<std::chrono::steady_clock::time_point> ticks;
  const auto created = std::chrono::steady_clock::now();
  auto timer = node_->create_wall_timer(
    30ms, [&ticks] {ticks.push_back(std::chrono::steady_clock::now());});
  EXPECT_TRUE(timer->is_steady());
  EXPECT_FALSE(timer->is_ready());
  EXPECT_GT(timer->time_until_trigger(), 0ns);

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  ASSERT_TRUE(graph_test::spin_until(executor, [&ticks] {return ticks.size() >= 3;}));
  executor.remove_node(node_);
  EXPECT_GE(ticks[0] - created, 30ms);
  EXPECT_GE(ticks[1] - created, 60ms) << "the schedule keeps its phase";
  EXPECT_GE(ticks[2] - created, 90ms);
}

TEST_F(ExecutorTest, TimerCancelResetAndArguments)
{
  int calls = 0;
  rclcpp::TimerBase * seen = nullptr;
  rclcpp::TimerBase::SharedPtr timer = node_->create_wall_timer(
    1ms, [&](rclcpp::TimerBase & self) {++calls; seen = &self;});
  timer->cancel();
  EXPECT_TRUE(timer->is_canceled());
  EXPECT_EQ(timer->time_until_trigger(), std::chrono::nanoseconds::max());
  std::this_thread::sleep_for(3ms);
  rclcpp::spin_some(node_);
  EXPECT_EQ(calls, 0);
  timer->reset();
  EXPECT_FALSE(timer->is_canceled());
  std::this_thread::sleep_for(3ms);
  rclcpp::spin_some(node_);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, timer.get());
  EXPECT_THROW(node_->create_wall_timer(-1ms, [] {}), std::invalid_argument);
}

TEST_F(ExecutorTest, DroppedTimerNeverFires)
{
  int calls = 0;
  node_->create_wall_timer(1ms, [&calls] {++calls;});
  std::this_thread::sleep_for(3ms);
  rclcpp::spin_some(node_);
  EXPECT_EQ(calls, 0);
}

TEST_F(ExecutorTest, SpinReturnsAfterCancel)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  std::thread spinner([&executor] {executor.spin();});
  ASSERT_TRUE(wait_spinning(executor));
  EXPECT_THROW(executor.spin_some(), std::runtime_error) << "already spinning";
  executor.cancel();
  spinner.join();
  EXPECT_FALSE(executor.is_spinning());
  executor.remove_node(node_);
}

TEST_F(ExecutorTest, SpinReturnsAfterShutdownFromAnotherThread)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  std::thread spinner([&executor] {executor.spin();});
  ASSERT_TRUE(wait_spinning(executor));
  std::thread stopper([] {rclcpp::shutdown();});
  stopper.join();
  spinner.join();
  EXPECT_FALSE(rclcpp::ok());
  executor.remove_node(node_);
}

TEST_F(ExecutorTest, FreeSpinReturnsAfterShutdown)
{
  std::thread stopper([] {
      std::this_thread::sleep_for(20ms);
      rclcpp::shutdown();
    });
  rclcpp::spin(node_);
  stopper.join();
  EXPECT_FALSE(rclcpp::ok());
}

TEST_F(ExecutorTest, SpinOnceTimesOutWithoutWorkAndSpinAllDrains)
{
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  const auto start = std::chrono::steady_clock::now();
  executor.spin_once(20ms);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);

  int received = 0;
  auto sub = node_->create_subscription<Header>(
    "drain", rclcpp::QoS(1).keep_all(), [&received](const Header &) {++received;});
  auto publisher = node_->create_publisher<Header>("drain", 1);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  for (int i = 0; i < 5; ++i) {
    publisher->publish(Header());
  }
  executor.spin_once(0ns);
  EXPECT_EQ(received, 1);
  executor.spin_all(1s);
  EXPECT_EQ(received, 5);
  EXPECT_THROW(executor.spin_all(-1ns), std::invalid_argument);
  executor.remove_node(node_);
}

TEST_F(ExecutorTest, DestroyingANodeWhileAnotherThreadPublishes)
{
  auto publisher = node_->create_publisher<Header>("/busy", 1);
  std::atomic<bool> stop{false};
  std::thread producer([&] {
      while (!stop.load()) {
        publisher->publish(Header());
      }
    });
  for (int i = 0; i < 50; ++i) {
    auto listener = std::make_shared<rclcpp::Node>("listener");
    auto sub = listener->create_subscription<Header>("/busy", 1, [](const Header &) {});
    // Matched, so that the producer delivers into it while it goes away.
    if (!wait_for_matches(*sub, 1)) {
      ADD_FAILURE() << "subscription " << i << " never matched";
      break;
    }
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(listener);
    executor.spin_some();
    listener.reset();
  }
  stop.store(true);
  producer.join();
  EXPECT_EQ(node_->count_subscribers("/busy"), 0u);
}

}  // namespace
