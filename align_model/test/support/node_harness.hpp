// Test harness for the node programs: builds a node from parameter overrides,
// publishes to it, spins, and collects what it published and logged. It uses
// only the public rclcpp / rcutils API, so the same tests run against the
// stand-in and against a real ROS 2 installation.
#ifndef ALIGN_MODEL_TEST__NODE_HARNESS_HPP_
#define ALIGN_MODEL_TEST__NODE_HARNESS_HPP_

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "align_model/domain_claim.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"

namespace align_test
{

struct LogRecord
{
  int severity = 0;
  std::string logger;
  std::string text;
};

// Gives this test program a DDS domain of its own, then initialises rclcpp.
// Test programs run in parallel, and each would otherwise hear the others'
// nodes on the default domain. The environment carries the domain, so that
// programs the test starts, in-process or as child processes, share it.
inline void init_ros_for_test()
{
  static const bool domain_chosen = [] {
      const auto domain = align_model::claim_domain_id(1, 100);
      if (domain) {
        ::setenv("ROS_DOMAIN_ID", std::to_string(*domain).c_str(), 1);
      }
      ::setenv("ROS_LOCALHOST_ONLY", "1", 1);
      return domain.has_value();
    }();
  if (!domain_chosen) {
    ADD_FAILURE() << "no free ROS domain ID between 1 and 100 for this test program";
  }
  if (!rclcpp::ok()) {
    rclcpp::init(0, nullptr);
  }
}

// Captures every log line that passes the severity filter, through rcutils'
// output handler, and hands each line on to the handler it replaced, so the
// console (and on ROS 2 /rosout) still get it. rclcpp::init installs its own
// handler over whatever was there, so the capture initialises rclcpp first and
// installs itself after. One capture at a time; the previous handler is
// restored when it ends.
class LogCapture
{
public:
  LogCapture()
  {
    init_ros_for_test();
    std::lock_guard<std::mutex> lock(mutex());
    previous() = rcutils_logging_get_output_handler();
    active() = this;
    rcutils_logging_set_output_handler(&LogCapture::handle);
  }
  ~LogCapture()
  {
    std::lock_guard<std::mutex> lock(mutex());
    rcutils_logging_set_output_handler(previous());
    active() = nullptr;
  }
  LogCapture(const LogCapture &) = delete;
  LogCapture & operator=(const LogCapture &) = delete;

  std::vector<LogRecord> records() const
  {
    std::lock_guard<std::mutex> lock(mutex());
    return records_;
  }
  void clear()
  {
    std::lock_guard<std::mutex> lock(mutex());
    records_.clear();
  }
  // Number of lines with exactly this text (and this severity, unless 0).
  std::size_t count(const std::string & text, int severity = 0) const
  {
    std::lock_guard<std::mutex> lock(mutex());
    return static_cast<std::size_t>(std::count_if(
             records_.begin(), records_.end(), [&](const LogRecord & r) {
               return r.text == text && (severity == 0 || r.severity == severity);
             }));
  }
  // Texts in logging order.
  std::vector<std::string> texts() const
  {
    std::vector<std::string> out;
    for (const auto & r : records()) {
      out.push_back(r.text);
    }
    return out;
  }

private:
  static std::mutex & mutex()
  {
    static std::mutex m;
    return m;
  }
  static LogCapture *& active()
  {
    static LogCapture * capture = nullptr;
    return capture;
  }
  static std::atomic<rcutils_logging_output_handler_t> & previous()
  {
    static std::atomic<rcutils_logging_output_handler_t> handler{nullptr};
    return handler;
  }
  static void handle(
    const rcutils_log_location_t * location, int severity, const char * name,
    rcutils_time_point_value_t timestamp, const char * format, va_list * args)
  {
    // A signal handler that logs (rclcpp's does) may interrupt this thread in
    // here; the nested line is only handed on, never recorded, so that the
    // lock is not taken twice by one thread.
    thread_local bool inside = false;
    if (!inside) {
      inside = true;
      va_list copy;
      va_copy(copy, *args);
      char buffer[4096];
      std::vsnprintf(buffer, sizeof(buffer), format, copy);
      va_end(copy);
      {
        std::lock_guard<std::mutex> lock(mutex());
        if (active() != nullptr) {
          active()->records_.push_back({severity, name ? name : "", buffer});
        }
      }
      inside = false;
    }
    if (auto forward = previous().load()) {
      forward(location, severity, name, timestamp, format, args);
    }
  }

  std::vector<LogRecord> records_;
};

// Keeps rclcpp initialised for the whole test program (install it with
// ::testing::AddGlobalTestEnvironment or use RosTest below).
class RosEnvironment : public ::testing::Environment
{
public:
  void SetUp() override {init_ros_for_test();}
  void TearDown() override {rclcpp::shutdown();}
};

// Graph counts come from discovery and lag the endpoints they count, also
// those of this process. These wait (without spinning: discovery runs on its
// own) until the count is `expected` and return the count then. A count
// expected to be 0 must stay there for a while.
inline std::size_t settled_count(
  const std::function<std::size_t()> & count, std::size_t expected,
  std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
  // Decisive early: the expected count, or anything at all when 0 is expected.
  const auto decisive = [expected](std::size_t now) {return expected == 0 ? now != 0 : now == expected;};
  const std::chrono::milliseconds limit = expected == 0 ? std::min(std::chrono::milliseconds(300), timeout) : timeout;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < limit) {
    const std::size_t now = count();
    if (decisive(now)) {
      return now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return count();
}

inline std::size_t settled_publishers(const rclcpp::Node & node, const std::string & topic, std::size_t expected)
{
  return settled_count([&] {return node.count_publishers(topic);}, expected);
}

inline std::size_t settled_subscribers(const rclcpp::Node & node, const std::string & topic, std::size_t expected)
{
  return settled_count([&] {return node.count_subscribers(topic);}, expected);
}

// One published message as a probe subscription saw it; the source
// timestamp orders publications across topics.
template<typename MessageT>
struct Received
{
  std::shared_ptr<const MessageT> message;
  std::int64_t source_timestamp = 0;
};

// Builds the node under test and a probe node on one executor.
//
// Endpoints match only some time after both exist (on DDS, after discovery),
// and a volatile subscription misses what was published before it matched.
// So the harness publishes only once its publisher has matched a reader, and
// lets the node publish only once each recording subscription has matched
// the node's publisher.
class NodeHarness
{
public:
  // How long to wait for endpoints to match: long enough for discovery on a
  // loaded machine; a wait that runs out lets the test's own checks fail.
  static constexpr std::chrono::seconds kMatchWait{5};
  // How long a topic may take to show a publisher the node has: a topic
  // without one costs this much.
  static constexpr std::chrono::milliseconds kAnnounceWait{1000};

  NodeHarness()
  {
    init_ros_for_test();
    probe_ = std::make_shared<rclcpp::Node>("align_test_probe");
    executor_ = std::make_shared<rclcpp::executors::SingleThreadedExecutor>();
    executor_->add_node(probe_);
  }
  ~NodeHarness()
  {
    if (node_) {
      executor_->remove_node(node_);
    }
    executor_->remove_node(probe_);
  }

  // Constructs NodeT from the overrides (exceptions propagate) and adds it to
  // the executor.
  template<typename NodeT>
  std::shared_ptr<NodeT> start(const std::vector<rclcpp::Parameter> & overrides = {})
  {
    rclcpp::NodeOptions options;
    options.parameter_overrides(overrides);
    auto node = std::make_shared<NodeT>(options);
    node_ = node;
    executor_->add_node(node_);
    wait_for_node_outputs();
    return node;
  }

  // Removes the node under test from the executor and drops the harness's
  // reference, so that the test's own pointer decides when it is destroyed.
  void release_node()
  {
    if (node_) {
      executor_->remove_node(node_);
      node_.reset();
    }
  }

  // Waits until every recording subscription hears the node's publisher on
  // its topic, for publishers the node created after it started.
  void wait_for_node_outputs()
  {
    for (const auto & subscription : subscriptions_) {
      wait_until_matched(*subscription);
    }
  }

  rclcpp::Node::SharedPtr probe() const {return probe_;}
  rclcpp::executors::SingleThreadedExecutor & executor() {return *executor_;}

  // Publishes one message from the probe (publishers are kept per topic).
  // A volatile publisher first waits until it has matched a reader; a
  // transient-local one keeps the message for readers that match later.
  template<typename MessageT>
  void publish(const std::string & topic, const MessageT & message, const rclcpp::QoS & qos = rclcpp::QoS(1))
  {
    auto & base = publishers_[topic];
    if (!base) {
      base = probe_->create_publisher<MessageT>(topic, qos);
    }
    if (qos.durability() != rclcpp::DurabilityPolicy::TransientLocal) {
      spin_until([&] {return base->get_subscription_count() > 0;}, kMatchWait);
    }
    std::static_pointer_cast<rclcpp::Publisher<MessageT>>(base)->publish(message);
  }

  // Starts recording a topic; returns the list that fills while spinning.
  template<typename MessageT>
  std::shared_ptr<std::vector<Received<MessageT>>> record(const std::string & topic)
  {
    auto received = std::make_shared<std::vector<Received<MessageT>>>();
    auto sub = probe_->create_subscription<MessageT>(
      topic, rclcpp::QoS(100),
      [received](std::shared_ptr<const MessageT> msg, const rclcpp::MessageInfo & info) {
        received->push_back({msg, info.get_rmw_message_info().source_timestamp});
      });
    subscriptions_.push_back(sub);
    if (node_) {
      wait_until_matched(*sub);
    }
    return received;
  }

  // Runs everything that is ready, repeatedly, until nothing is left.
  void spin()
  {
    for (int i = 0; i < 5; ++i) {
      executor_->spin_some();
    }
  }

  // Spins until `done` holds or the timeout passes; returns whether it held.
  bool spin_until(const std::function<bool()> & done, std::chrono::milliseconds timeout = std::chrono::seconds(5))
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      executor_->spin_some();
      if (done()) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  }

  // How many topics the probe sees once discovery has announced its own
  // (/rosout and /parameter_events): the base for counting what a node adds.
  std::size_t probe_topic_count()
  {
    const auto announced = [this] {
        const auto topics = probe_->get_topic_names_and_types();
        return topics.count("/rosout") == 1 && topics.count("/parameter_events") == 1;
      };
    EXPECT_TRUE(spin_until(announced)) << "the probe's own topics were never announced";
    return probe_->get_topic_names_and_types().size();
  }

private:
  // Waits until the subscription hears the node's publisher, when the node
  // has one on that topic.
  void wait_until_matched(const rclcpp::SubscriptionBase & subscription)
  {
    const std::string topic = subscription.get_topic_name();
    // Discovery announces the node's publishers a little after they exist.
    if (!spin_until([&] {return probe_->count_publishers(topic) > 0;}, kAnnounceWait)) {
      return;
    }
    spin_until([&] {return subscription.get_publisher_count() > 0;}, kMatchWait);
  }

  rclcpp::Node::SharedPtr probe_;
  rclcpp::Node::SharedPtr node_;
  std::shared_ptr<rclcpp::executors::SingleThreadedExecutor> executor_;
  std::map<std::string, std::shared_ptr<rclcpp::PublisherBase>> publishers_;
  std::vector<rclcpp::SubscriptionBase::SharedPtr> subscriptions_;
};

}  // namespace align_test

#endif  // ALIGN_MODEL_TEST__NODE_HARNESS_HPP_
