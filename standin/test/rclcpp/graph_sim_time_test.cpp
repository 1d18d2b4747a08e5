// Simulated time: a node's clock follows "/clock" only while use_sim_time
// is true. A node hears "/clock" only once discovery has matched it with the
// clock source, so tests first wait until a probe time gets through.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rosgraph_msgs/msg/clock.hpp"

namespace
{

using graph_test::RosTest;

class SimTimeTest : public RosTest
{
protected:
  void SetUp() override
  {
    RosTest::SetUp();
    create_clock_source();
  }

  void create_clock_source()
  {
    clock_source_ = std::make_shared<rclcpp::Node>("clock_source");
    clock_publisher_ = clock_source_->create_publisher<rosgraph_msgs::msg::Clock>(
      "/clock", rclcpp::ClockQoS());
  }

  void publish_clock(int32_t sec, uint32_t nanosec)
  {
    rosgraph_msgs::msg::Clock msg;
    msg.clock.sec = sec;
    msg.clock.nanosec = nanosec;
    clock_publisher_->publish(msg);
  }

  // Publishes kProbeTime until the node's clock shows it; returns whether it
  // did before the deadline. Any node created earlier has matched by then too.
  bool wait_for_clock(const rclcpp::Node & node)
  {
    return graph_test::wait_until([&] {
        publish_clock(kProbeSeconds, 0);
        return node.now().nanoseconds() == kProbeTime;
      });
  }

  static constexpr int32_t kProbeSeconds = 1;
  static constexpr int64_t kProbeTime = 1'000'000'000LL;
  rclcpp::Node::SharedPtr clock_source_;
  rclcpp::Publisher<rosgraph_msgs::msg::Clock>::SharedPtr clock_publisher_;
};

TEST_F(SimTimeTest, ClockFollowsClockTopicWithoutSpinningWhenEnabledByOverride)
{
  rclcpp::NodeOptions options;
  options.append_parameter_override("use_sim_time", true);
  auto node = std::make_shared<rclcpp::Node>("sim_node", options);
  EXPECT_EQ(node->now().nanoseconds(), 0) << "no clock message yet";
  EXPECT_TRUE(node->get_clock()->ros_time_is_active());
  ASSERT_TRUE(wait_for_clock(*node));

  publish_clock(12, 500);
  EXPECT_EQ(node->now().nanoseconds(), 12'000'000'500LL);
  publish_clock(13, 0);
  EXPECT_EQ(node->get_clock()->now().nanoseconds(), 13'000'000'000LL);
}

TEST_F(SimTimeTest, ClockIgnoresClockTopicWhileUseSimTimeIsFalse)
{
  auto node = std::make_shared<rclcpp::Node>("wall_node");
  // A sim-time node created later hears "/clock" no sooner than this one would.
  rclcpp::NodeOptions options;
  options.append_parameter_override("use_sim_time", true);
  auto witness = std::make_shared<rclcpp::Node>("witness_node", options);
  ASSERT_TRUE(wait_for_clock(*witness));
  publish_clock(5, 0);
  EXPECT_EQ(witness->now().nanoseconds(), 5'000'000'000LL);
  EXPECT_FALSE(node->get_clock()->ros_time_is_active());
  EXPECT_GT(node->now().nanoseconds(), 1'000'000'000'000'000'000LL) << "still system time";
}

TEST_F(SimTimeTest, SwitchingUseSimTimeAtRunTime)
{
  auto node = std::make_shared<rclcpp::Node>("switch_node");
  ASSERT_TRUE(node->set_parameter({"use_sim_time", true}).successful);
  EXPECT_EQ(node->now().nanoseconds(), 0);
  ASSERT_TRUE(wait_for_clock(*node));
  publish_clock(3, 0);
  EXPECT_EQ(node->now().nanoseconds(), 3'000'000'000LL);

  ASSERT_TRUE(node->set_parameter({"use_sim_time", false}).successful);
  EXPECT_GT(node->now().nanoseconds(), 1'000'000'000'000'000'000LL);
  publish_clock(4, 0);
  EXPECT_GT(node->now().nanoseconds(), 1'000'000'000'000'000'000LL);
}

TEST_F(SimTimeTest, GlobalUseSimTimeArgumentReachesEveryNode)
{
  restart({"--ros-args", "-p", "use_sim_time:=true"});
  create_clock_source();   // after the restart, like every node of the new context
  auto first = std::make_shared<rclcpp::Node>("first");
  auto second = std::make_shared<rclcpp::Node>("second", "ns");
  ASSERT_TRUE(wait_for_clock(*first));
  ASSERT_TRUE(wait_for_clock(*second));
  publish_clock(8, 8);
  EXPECT_EQ(first->now().nanoseconds(), 8'000'000'008LL);
  EXPECT_EQ(second->now().nanoseconds(), 8'000'000'008LL);
}

TEST_F(SimTimeTest, ClockOnAnotherTopicDoesNotDriveTime)
{
  rclcpp::NodeOptions options;
  options.append_parameter_override("use_sim_time", true);
  auto node = std::make_shared<rclcpp::Node>("sim_node", options);
  auto elsewhere = clock_source_->create_publisher<rosgraph_msgs::msg::Clock>("/clock2", 1);
  ASSERT_TRUE(wait_for_clock(*node));
  rosgraph_msgs::msg::Clock msg;
  msg.clock.sec = 99;
  elsewhere->publish(msg);
  EXPECT_EQ(node->now().nanoseconds(), kProbeTime);
}

TEST_F(SimTimeTest, NodesOnSimulatedTimeCountAsClockSubscribers)
{
  // Real rclcpp subscribes to /clock exactly while use_sim_time is true; a
  // clock source that waits for its readers must see those nodes.
  rclcpp::NodeOptions options;
  options.parameter_overrides({rclcpp::Parameter("use_sim_time", true)});
  auto simulated = std::make_shared<rclcpp::Node>("simulated", options);
  auto wall = std::make_shared<rclcpp::Node>("wall");
  EXPECT_TRUE(graph_test::wait_until([&] {return clock_publisher_->get_subscription_count() == 1;}));
  EXPECT_TRUE(graph_test::wait_until([&] {return wall->count_subscribers("/clock") == 1;}));
  ASSERT_TRUE(simulated->set_parameter(rclcpp::Parameter("use_sim_time", false)).successful);
  EXPECT_TRUE(graph_test::wait_until([&] {return clock_publisher_->get_subscription_count() == 0;}));
  ASSERT_TRUE(wall->set_parameter(rclcpp::Parameter("use_sim_time", true)).successful);
  EXPECT_TRUE(graph_test::wait_until([&] {return clock_publisher_->get_subscription_count() == 1;}));
}

}  // namespace
