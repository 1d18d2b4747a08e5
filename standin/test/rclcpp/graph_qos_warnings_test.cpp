// Incompatible QoS between a publisher and a subscription of one topic: no
// delivery, and a warning on each side under its node's logger, worded as
// rclcpp's default event handlers word it.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rcutils/logging.h"
#include "rosgraph_msgs/msg/clock.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

using graph_test::RosTest;
using std_msgs::msg::Header;

struct Line
{
  int severity;
  std::string logger;
  std::string text;
};

std::mutex g_lines_mutex;
std::vector<Line> g_lines;

void capture(
  const rcutils_log_location_t *, int severity, const char * name, rcutils_time_point_value_t,
  const char * format, va_list * args)
{
  va_list copy;
  va_copy(copy, *args);
  char buffer[1024];
  std::vsnprintf(buffer, sizeof(buffer), format, copy);
  va_end(copy);
  std::lock_guard<std::mutex> lock(g_lines_mutex);
  g_lines.push_back({severity, name ? name : "", buffer});
}

class QosWarningTest : public RosTest
{
protected:
  void SetUp() override
  {
    RosTest::SetUp();
    previous_ = rcutils_logging_get_output_handler();
    rcutils_logging_set_output_handler(&capture);
    std::lock_guard<std::mutex> lock(g_lines_mutex);
    g_lines.clear();
    publisher_node_ = std::make_shared<rclcpp::Node>("talker", "/qos");
    subscriber_node_ = std::make_shared<rclcpp::Node>("listener", "/qos");
  }
  void TearDown() override
  {
    rcutils_logging_set_output_handler(previous_);
    RosTest::TearDown();
  }

  static std::vector<Line> warnings()
  {
    std::lock_guard<std::mutex> lock(g_lines_mutex);
    std::vector<Line> out;
    for (const Line & line : g_lines) {
      if (line.severity == RCUTILS_LOG_SEVERITY_WARN) {
        out.push_back(line);
      }
    }
    return out;
  }

  rcutils_logging_output_handler_t previous_ = nullptr;
  rclcpp::Node::SharedPtr publisher_node_;
  rclcpp::Node::SharedPtr subscriber_node_;
};

const char kPublisherSide[] =
  "New subscription discovered on topic '/qos/scan', requesting incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";
const char kSubscriptionSide[] =
  "New publisher discovered on topic '/qos/scan', offering incompatible QoS. "
  "No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY";

TEST_F(QosWarningTest, ReliableSubscriptionAndBestEffortPublisherWarnOnBothSides)
{
  auto subscription = subscriber_node_->create_subscription<Header>(
    "scan", rclcpp::QoS(1), [](const Header &) {});
  auto publisher = publisher_node_->create_publisher<Header>("scan", rclcpp::SensorDataQoS());

  const std::vector<Line> lines = warnings();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].logger, "qos.talker");
  EXPECT_EQ(lines[0].text, kPublisherSide);
  EXPECT_EQ(lines[1].logger, "qos.listener");
  EXPECT_EQ(lines[1].text, kSubscriptionSide);
  EXPECT_EQ(publisher->get_subscription_count(), 0u);
  EXPECT_EQ(subscription->get_publisher_count(), 0u);
}

TEST_F(QosWarningTest, WarnsWhicheverEndpointComesSecond)
{
  auto publisher = publisher_node_->create_publisher<Header>("scan", rclcpp::SensorDataQoS());
  EXPECT_TRUE(warnings().empty());
  auto subscription = subscriber_node_->create_subscription<Header>(
    "scan", rclcpp::QoS(1), [](const Header &) {});

  const std::vector<Line> lines = warnings();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, kPublisherSide);
  EXPECT_EQ(lines[1].text, kSubscriptionSide);
}

TEST_F(QosWarningTest, CompatiblePairsAndOtherTypesStayQuiet)
{
  // A best-effort subscription accepts a reliable publisher.
  auto lossy = subscriber_node_->create_subscription<Header>(
    "scan", rclcpp::SensorDataQoS(), [](const Header &) {});
  auto reliable = publisher_node_->create_publisher<Header>("scan", rclcpp::QoS(1));
  // Another type on the name is no QoS matter.
  auto reliable_reader = subscriber_node_->create_subscription<rosgraph_msgs::msg::Clock>(
    "scan", rclcpp::QoS(1), [](const rosgraph_msgs::msg::Clock &) {});
  EXPECT_TRUE(warnings().empty());
  ASSERT_TRUE(graph_test::wait_for_matches(*reliable, 1));
  EXPECT_EQ(reliable->get_subscription_count(), 1u);
  EXPECT_TRUE(warnings().empty());
}

TEST_F(QosWarningTest, TransientLocalSubscriptionNamesDurability)
{
  auto subscription = subscriber_node_->create_subscription<Header>(
    "scan", rclcpp::QoS(1).transient_local(), [](const Header &) {});
  auto publisher = publisher_node_->create_publisher<Header>("scan", rclcpp::QoS(1));

  const std::vector<Line> lines = warnings();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].text.find("Last incompatible policy: DURABILITY_QOS_POLICY"), std::string::npos);
  EXPECT_NE(lines[1].text.find("Last incompatible policy: DURABILITY_QOS_POLICY"), std::string::npos);
}

}  // namespace
