// Publishing and subscribing inside one process: matching, queue depth,
// durability, callback forms, message info and publishing from other threads.
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

Header header(const std::string & frame)
{
  Header msg;
  msg.frame_id = frame;
  return msg;
}

class TopicTest : public RosTest
{
protected:
  void SetUp() override
  {
    RosTest::SetUp();
    node_ = std::make_shared<rclcpp::Node>("topic_node");
    executor_.add_node(node_);
  }
  void TearDown() override
  {
    executor_.remove_node(node_);
    RosTest::TearDown();
  }

  // Subscribes and records the frame ids it receives.
  rclcpp::SubscriptionBase::SharedPtr record(
    const std::string & topic, const rclcpp::QoS & qos, std::vector<std::string> & frames,
    rclcpp::Node::SharedPtr node = nullptr)
  {
    return (node ? node : node_)->create_subscription<Header>(
      topic, qos, [&frames](const Header & msg) {frames.push_back(msg.frame_id);});
  }

  void drain()
  {
    for (int i = 0; i < 20; ++i) {
      executor_.spin_some();
    }
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
};

TEST_F(TopicTest, DeliversToEveryMatchingSubscriptionOnlyWhenSpun)
{
  std::vector<std::string> first;
  std::vector<std::string> second;
  auto sub_a = record("chatter", 10, first);
  auto other = std::make_shared<rclcpp::Node>("other_node");
  auto sub_b = record("/chatter", 10, second, other);
  auto publisher = node_->create_publisher<Header>("chatter", 10);
  ASSERT_TRUE(wait_for_matches(*publisher, 2));
  EXPECT_EQ(publisher->get_subscription_count(), 2u);
  EXPECT_EQ(sub_a->get_publisher_count(), 1u);

  publisher->publish(header("a"));
  EXPECT_TRUE(first.empty()) << "publish must not run callbacks synchronously";
  drain();
  EXPECT_EQ(first, std::vector<std::string>{"a"});
  EXPECT_TRUE(second.empty()) << "the other node belongs to no executor";

  rclcpp::executors::SingleThreadedExecutor other_executor;
  other_executor.add_node(other);
  other_executor.spin_some();
  EXPECT_EQ(second, std::vector<std::string>{"a"});
  other_executor.remove_node(other);
}

TEST_F(TopicTest, KeepLastDepthOneKeepsOnlyTheNewestMessage)
{
  std::vector<std::string> depth_one;
  std::vector<std::string> depth_three;
  auto sub_one = record("scan", rclcpp::QoS(1), depth_one);
  auto sub_three = record("scan", rclcpp::QoS(3), depth_three);
  auto publisher = node_->create_publisher<Header>("scan", rclcpp::QoS(1));
  ASSERT_TRUE(wait_for_matches(*publisher, 2));
  for (const char * frame : {"1", "2", "3", "4"}) {
    publisher->publish(header(frame));
  }
  drain();
  EXPECT_EQ(depth_one, std::vector<std::string>{"4"});
  EXPECT_EQ(depth_three, (std::vector<std::string>{"2", "3", "4"}));
}

TEST_F(TopicTest, KeepAllKeepsEveryMessage)
{
  std::vector<std::string> frames;
  auto sub = record("all", rclcpp::QoS(1).keep_all(), frames);
  auto publisher = node_->create_publisher<Header>("all", 1);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  for (int i = 0; i < 50; ++i) {
    publisher->publish(header(std::to_string(i)));
  }
  executor_.spin_some();
  EXPECT_EQ(frames.size(), 1u) << "spin_some takes one message per subscription";
  executor_.spin_all(5s);
  ASSERT_EQ(frames.size(), 50u);
  EXPECT_EQ(frames.front(), "0");
  EXPECT_EQ(frames.back(), "49");
}

TEST_F(TopicTest, TransientLocalReplaysTheLastMessagesToLateSubscriptions)
{
  auto latched = node_->create_publisher<Header>("map", rclcpp::QoS(2).transient_local());
  for (const char * frame : {"m1", "m2", "m3"}) {
    latched->publish(header(frame));
  }
  std::vector<std::string> late;
  auto late_sub = record("map", rclcpp::QoS(5).transient_local(), late);
  std::vector<std::string> late_volatile;
  auto volatile_sub = record("map", rclcpp::QoS(5), late_volatile);
  // The history arrives when the subscription matches, not when it is created.
  ASSERT_TRUE(wait_for_matches(*late_sub, 1));
  ASSERT_TRUE(wait_for_matches(*volatile_sub, 1));
  drain();
  EXPECT_EQ(late, (std::vector<std::string>{"m2", "m3"}));
  EXPECT_TRUE(late_volatile.empty()) << "a volatile subscription gets only new messages";

  latched->publish(header("m4"));
  drain();
  EXPECT_EQ(late, (std::vector<std::string>{"m2", "m3", "m4"}));
  EXPECT_EQ(late_volatile, std::vector<std::string>{"m4"});
}

TEST_F(TopicTest, VolatilePublisherDoesNotReplayAndDoesNotMatchTransientLocal)
{
  auto plain = node_->create_publisher<Header>("state", 10);
  plain->publish(header("old"));
  std::vector<std::string> late;
  auto late_sub = record("state", rclcpp::QoS(10), late);
  std::vector<std::string> latched;
  auto latched_sub = record("state", rclcpp::QoS(10).transient_local(), latched);
  ASSERT_TRUE(wait_for_matches(*plain, 1));
  ASSERT_TRUE(graph_test::wait_for_discovery(*node_)) << "the latched one would have matched";
  EXPECT_EQ(plain->get_subscription_count(), 1u);
  EXPECT_EQ(latched_sub->get_publisher_count(), 0u);

  plain->publish(header("new"));
  drain();
  EXPECT_EQ(late, std::vector<std::string>{"new"});
  EXPECT_TRUE(latched.empty()) << "transient-local subscription must not match volatile publisher";
}

TEST_F(TopicTest, BestEffortPublisherDoesNotReachReliableSubscription)
{
  std::vector<std::string> reliable;
  std::vector<std::string> best_effort;
  auto reliable_sub = record("lossy", rclcpp::QoS(5), reliable);
  auto best_effort_sub = record("lossy", rclcpp::QoS(5).best_effort(), best_effort);
  auto publisher = node_->create_publisher<Header>("lossy", rclcpp::QoS(5).best_effort());
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  EXPECT_EQ(reliable_sub->get_publisher_count(), 0u);
  publisher->publish(header("x"));
  drain();
  EXPECT_TRUE(reliable.empty());
  EXPECT_EQ(best_effort, std::vector<std::string>{"x"});
}

TEST_F(TopicTest, DifferentTypesOnOneNameDoNotMix)
{
  std::vector<std::string> frames;
  auto sub = record("mixed", 5, frames);
  auto clock_publisher = node_->create_publisher<rosgraph_msgs::msg::Clock>("mixed", 5);
  ASSERT_TRUE(graph_test::wait_for_discovery(*node_)) << "a match would have happened by now";
  EXPECT_EQ(clock_publisher->get_subscription_count(), 0u);
  clock_publisher->publish(rosgraph_msgs::msg::Clock());
  drain();
  EXPECT_TRUE(frames.empty());
  const auto types = node_->get_topic_names_and_types().at("/mixed");
  EXPECT_EQ(types, (std::vector<std::string>{"rosgraph_msgs/msg/Clock", "std_msgs/msg/Header"}));
}

TEST_F(TopicTest, AcceptsEveryCallbackForm)
{
  std::vector<std::string> got;
  std::vector<rclcpp::SubscriptionBase::SharedPtr> subs;
  subs.push_back(
    node_->create_subscription<Header>(
      "forms", 5, [&](const Header & m) {got.push_back("ref:" + m.frame_id);}));
  subs.push_back(
    node_->create_subscription<Header>(
      "forms", 5, [&](const Header & m, const rclcpp::MessageInfo & info) {
        got.push_back("ref+info:" + m.frame_id + ":" +
        std::to_string(info.get_rmw_message_info().publication_sequence_number));
      }));
  subs.push_back(
    node_->create_subscription<Header>(
      "forms", 5, [&](std::unique_ptr<Header> m) {got.push_back("unique:" + m->frame_id);}));
  subs.push_back(
    node_->create_subscription<Header>(
      "forms", 5, [&](std::shared_ptr<const Header> m) {got.push_back("shared:" + m->frame_id);}));
  subs.push_back(
    node_->create_subscription<Header>(
      "forms", 5, [&](const std::shared_ptr<const Header> & m, const rclcpp::MessageInfo &) {
        got.push_back("cref-shared+info:" + m->frame_id);
      }));
  std::function<void(std::unique_ptr<Header>, const rclcpp::MessageInfo &)> function =
    [&](std::unique_ptr<Header> m, const rclcpp::MessageInfo &) {
      got.push_back("function:" + m->frame_id);
    };
  subs.push_back(node_->create_subscription<Header>("forms", 5, function));

  auto publisher = node_->create_publisher<Header>("forms", 5);
  ASSERT_TRUE(wait_for_matches(*publisher, subs.size()));
  publisher->publish(header("f"));
  drain();
  EXPECT_EQ(
    got, (std::vector<std::string>{
    "ref:f", "ref+info:f:1", "unique:f", "shared:f", "cref-shared+info:f", "function:f"}));
}

TEST_F(TopicTest, UniquePtrPublishAndSharedDeliveryKeepTheContent)
{
  std::shared_ptr<const Header> received;
  auto sub = node_->create_subscription<Header>(
    "owned", 1, [&](std::shared_ptr<const Header> m) {received = m;});
  auto publisher = node_->create_publisher<Header>("owned", 1);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  auto message = std::make_unique<Header>();
  message->frame_id = "moved";
  message->stamp.sec = 7;
  publisher->publish(std::move(message));
  drain();
  ASSERT_TRUE(received);
  EXPECT_EQ(received->frame_id, "moved");
  EXPECT_EQ(received->stamp.sec, 7);
}

TEST_F(TopicTest, SourceTimestampsAreStrictlyIncreasingAcrossTopics)
{
  std::vector<std::pair<std::string, int64_t>> seen;
  const auto recorder = [&seen](const Header & m, const rclcpp::MessageInfo & info) {
      seen.emplace_back(m.frame_id, info.get_rmw_message_info().source_timestamp);
    };
  auto sub_a = node_->create_subscription<Header>("ts_a", 100, recorder);
  auto sub_b = node_->create_subscription<Header>("ts_b", 100, recorder);
  auto pub_a = node_->create_publisher<Header>("ts_a", 100);
  auto pub_b = node_->create_publisher<Header>("ts_b", 100);
  ASSERT_TRUE(wait_for_matches(*pub_a, 1));
  ASSERT_TRUE(wait_for_matches(*pub_b, 1));
  for (int i = 0; i < 20; ++i) {
    (i % 2 == 0 ? pub_a : pub_b)->publish(header(std::to_string(i)));
  }
  drain();
  ASSERT_EQ(seen.size(), 20u);
  std::sort(
    seen.begin(), seen.end(), [](const auto & x, const auto & y) {return x.second < y.second;});
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].first, std::to_string(i));
    if (i > 0) {
      EXPECT_GT(seen[i].second, seen[i - 1].second);
    }
  }
}

TEST_F(TopicTest, IgnoreLocalPublicationsSkipsTheOwnNode)
{
  std::vector<std::string> frames;
  rclcpp::SubscriptionOptions options;
  options.ignore_local_publications = true;
  auto sub = node_->create_subscription<Header>(
    "echo", 5, [&](const Header & m) {frames.push_back(m.frame_id);}, options);
  auto own = node_->create_publisher<Header>("echo", 5);
  auto other = std::make_shared<rclcpp::Node>("echo_source");
  auto foreign = other->create_publisher<Header>("/echo", 5);
  ASSERT_TRUE(wait_for_matches(*sub, 2)) << "ignoring local publications still matches them";
  own->publish(header("own"));
  foreign->publish(header("foreign"));
  drain();
  EXPECT_EQ(frames, std::vector<std::string>{"foreign"});
}

TEST_F(TopicTest, DestroyedSubscriptionStopsReceivingAndLeavesTheGraph)
{
  std::vector<std::string> frames;
  auto sub = record("gone", 5, frames);
  auto publisher = node_->create_publisher<Header>("gone", 5);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  publisher->publish(header("queued"));
  sub.reset();
  EXPECT_EQ(publisher->get_subscription_count(), 0u);
  EXPECT_EQ(node_->count_subscribers("gone"), 0u);
  publisher->publish(header("after"));
  drain();
  EXPECT_TRUE(frames.empty());
}

TEST_F(TopicTest, PublishingFromAnotherThreadWhileSpinning)
{
  constexpr int kMessages = 200;
  std::atomic<int> received{0};
  auto sub = node_->create_subscription<Header>(
    "threaded", rclcpp::QoS(kMessages).keep_all(), [&](const Header &) {++received;});
  auto publisher = node_->create_publisher<Header>("threaded", 10);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  std::thread spinner([this] {executor_.spin();});
  std::thread producer([&] {
      for (int i = 0; i < kMessages; ++i) {
        publisher->publish(header(std::to_string(i)));
      }
    });
  producer.join();
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (received.load() < kMessages && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  executor_.cancel();
  spinner.join();
  EXPECT_EQ(received.load(), kMessages);
}

TEST_F(TopicTest, SubscriptionsComeAndGoWhileAnotherThreadPublishes)
{
  auto publisher = node_->create_publisher<Header>("churn", 1);
  std::atomic<bool> stop{false};
  std::thread producer([&] {
      while (!stop.load()) {
        publisher->publish(header("c"));
      }
    });
  // Each round waits for discovery, so that it really receives while it goes
  // away; fewer rounds than unmatched ones took keep the run short.
  for (int i = 0; i < 50; ++i) {
    auto other = std::make_shared<rclcpp::Node>("churn_node");
    auto sub = other->create_subscription<Header>("/churn", 1, [](const Header &) {});
    // Matched, so that the producer delivers into it while it goes away.
    if (!wait_for_matches(*sub, 1)) {
      ADD_FAILURE() << "subscription " << i << " never matched";
      break;
    }
    rclcpp::spin_some(other);
  }
  stop.store(true);
  producer.join();
  EXPECT_EQ(node_->count_subscribers("churn"), 0u);
}

TEST_F(TopicTest, InvalidTopicNamesThrow)
{
  const auto callback = [](const Header &) {};
  for (const char * bad : {"", "a//b", "1abc", "a/", "a b", "~x", "{unknown}", "a{node"}) {
    EXPECT_THROW(
      node_->create_publisher<Header>(bad, 1), rclcpp::exceptions::InvalidTopicNameError) << bad;
    EXPECT_THROW(
      node_->create_subscription<Header>(bad, 1, callback),
      rclcpp::exceptions::InvalidTopicNameError) << bad;
  }
}

TEST_F(TopicTest, PublishAfterShutdownIsDroppedSilently)
{
  std::vector<std::string> frames;
  auto sub = record("late", 5, frames);
  auto publisher = node_->create_publisher<Header>("late", 5);
  ASSERT_TRUE(wait_for_matches(*publisher, 1));
  rclcpp::shutdown();
  EXPECT_NO_THROW(publisher->publish(header("x")));
  EXPECT_FALSE(sub->has_message());
}

}  // namespace
