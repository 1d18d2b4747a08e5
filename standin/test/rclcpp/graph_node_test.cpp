// Node identity: names, namespaces, remapping, logger name, options and the
// requirement of an initialised context.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "std_msgs/msg/header.hpp"

namespace
{

using graph_test::RosTest;
using std_msgs::msg::Header;

class NodeIdentityTest : public RosTest {};

TEST_F(NodeIdentityTest, NamesAndNamespaces)
{
  auto root = std::make_shared<rclcpp::Node>("align_node");
  EXPECT_STREQ(root->get_name(), "align_node");
  EXPECT_STREQ(root->get_namespace(), "/");
  EXPECT_STREQ(root->get_fully_qualified_name(), "/align_node");
  EXPECT_STREQ(root->get_logger().get_name(), "align_node");

  auto nested = std::make_shared<rclcpp::Node>("n", "a/b");
  EXPECT_STREQ(nested->get_namespace(), "/a/b");
  EXPECT_STREQ(nested->get_fully_qualified_name(), "/a/b/n");
  EXPECT_STREQ(nested->get_logger().get_name(), "a.b.n");
}

TEST_F(NodeIdentityTest, InvalidNamesThrow)
{
  for (const char * bad : {"", "1node", "my-node", "a/b", "~"}) {
    EXPECT_THROW(rclcpp::Node node(bad), rclcpp::exceptions::InvalidNodeNameError) << bad;
  }
  for (const char * bad : {"/a//b", "/a/", "/1a", "/a-b", "a b"}) {
    EXPECT_THROW(
      rclcpp::Node node("fine", bad), rclcpp::exceptions::InvalidNamespaceError) << bad;
  }
}

TEST(NodeWithoutContextTest, CreatingANodeBeforeInitOrAfterShutdownThrows)
{
  if (rclcpp::ok()) {
    rclcpp::shutdown();
  }
  EXPECT_THROW(rclcpp::Node node("early"), rclcpp::exceptions::RCLError);
}

TEST_F(NodeIdentityTest, TopicNamesExpandRelativePrivateAndSubstituted)
{
  auto node = std::make_shared<rclcpp::Node>("feature", "robot");
  EXPECT_STREQ(node->create_publisher<Header>("scan", 1)->get_topic_name(), "/robot/scan");
  EXPECT_STREQ(node->create_publisher<Header>("/scan", 1)->get_topic_name(), "/scan");
  EXPECT_STREQ(
    node->create_publisher<Header>("~/debug", 1)->get_topic_name(), "/robot/feature/debug");
  EXPECT_STREQ(
    node->create_publisher<Header>("{node}/out", 1)->get_topic_name(), "/robot/feature/out");
}

TEST_F(NodeIdentityTest, GlobalRemapMovesASubscription)
{
  restart({"--ros-args", "-r", "back_scan:=scan"});
  auto node = std::make_shared<rclcpp::Node>("align_feature_node");
  std::vector<std::string> frames;
  auto sub = node->create_subscription<Header>(
    "back_scan", 1, [&frames](const Header & msg) {frames.push_back(msg.frame_id);});
  EXPECT_STREQ(sub->get_topic_name(), "/scan");

  auto publisher = node->create_publisher<Header>("/scan", 1);
  ASSERT_TRUE(graph_test::wait_for_matches(*publisher, 1));
  Header msg;
  msg.frame_id = "moved";
  publisher->publish(msg);
  rclcpp::spin_some(node);
  EXPECT_EQ(frames, std::vector<std::string>{"moved"});
}

TEST_F(NodeIdentityTest, NodeArgumentsRemapNameNamespaceAndTopics)
{
  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "-r", "__node:=renamed", "-r", "__ns:=/space",
      "-r", "in:=/elsewhere"});
  auto node = std::make_shared<rclcpp::Node>("original", options);
  EXPECT_STREQ(node->get_fully_qualified_name(), "/space/renamed");
  auto sub = node->create_subscription<Header>("in", 1, [](const Header &) {});
  EXPECT_STREQ(sub->get_topic_name(), "/elsewhere");
  EXPECT_EQ(node->get_node_options().arguments().size(), 7u);
}

TEST_F(NodeIdentityTest, NodeOptionsDefaultsAndSetters)
{
  rclcpp::NodeOptions options;
  EXPECT_EQ(options.context(), rclcpp::contexts::get_global_default_context());
  EXPECT_TRUE(options.arguments().empty());
  EXPECT_TRUE(options.parameter_overrides().empty());
  EXPECT_TRUE(options.use_global_arguments());
  EXPECT_TRUE(options.enable_rosout());
  EXPECT_FALSE(options.use_intra_process_comms());
  EXPECT_FALSE(options.enable_topic_statistics());
  EXPECT_TRUE(options.start_parameter_services());
  EXPECT_TRUE(options.start_parameter_event_publisher());
  EXPECT_TRUE(options.use_clock_thread());
  EXPECT_FALSE(options.allow_undeclared_parameters());
  EXPECT_FALSE(options.automatically_declare_parameters_from_overrides());

  options.append_parameter_override("x", 1.5).use_intra_process_comms(true);
  ASSERT_EQ(options.parameter_overrides().size(), 1u);
  EXPECT_EQ(options.parameter_overrides()[0].get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_TRUE(options.use_intra_process_comms());
}

TEST_F(NodeIdentityTest, NodeClockIsRosTimeNearSystemTime)
{
  auto node = std::make_shared<rclcpp::Node>("clocked");
  EXPECT_EQ(node->get_clock()->get_clock_type(), RCL_ROS_TIME);
  const rclcpp::Time stamp = node->now();
  EXPECT_EQ(stamp.get_clock_type(), RCL_ROS_TIME);
  const int64_t system_now = rclcpp::Clock(RCL_SYSTEM_TIME).now().nanoseconds();
  EXPECT_LT(std::llabs(system_now - stamp.nanoseconds()), 5'000'000'000LL);
}

}  // namespace
