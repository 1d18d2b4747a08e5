// What a dock plugin of a lifecycle node relies on: the lifecycle node
// forwards to a node of its own, its publishers deliver only while
// activated, and a class exported with PLUGINLIB_EXPORT_CLASS is created by
// its name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graph_fixture.hpp"
#include "pluginlib/class_list_macros.hpp"
#include "pluginlib/class_loader.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_lifecycle/lifecycle_node.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"

namespace lifecycle_test
{

class Shape
{
public:
  virtual ~Shape() = default;
  virtual int corners() const = 0;
};

class Triangle : public Shape
{
public:
  int corners() const override {return 3;}
};

}  // namespace lifecycle_test

PLUGINLIB_EXPORT_CLASS(lifecycle_test::Triangle, lifecycle_test::Shape)

namespace
{

using graph_test::RosTest;

TEST_F(RosTest, LifecyclePublisherDeliversOnlyWhileActivated)
{
  auto server = std::make_shared<rclcpp_lifecycle::LifecycleNode>("lifecycle_server");
  auto listener = std::make_shared<rclcpp::Node>("listener");
  std::vector<std::string> heard;
  auto subscription = listener->create_subscription<geometry_msgs::msg::PoseStamped>(
    "chatter", 10,
    [&heard](std::shared_ptr<const geometry_msgs::msg::PoseStamped> msg) {heard.push_back(msg->header.frame_id);});
  auto publisher = server->create_publisher<geometry_msgs::msg::PoseStamped>("chatter", 10);
  ASSERT_TRUE(graph_test::wait_for_matches(*publisher, 1));
  ASSERT_TRUE(graph_test::wait_until([&] {return server->count_subscribers("chatter") == 1;}));

  geometry_msgs::msg::PoseStamped msg;
  msg.header.frame_id = "inactive";
  publisher->publish(msg);
  publisher->on_activate();
  EXPECT_TRUE(publisher->is_activated());
  msg.header.frame_id = "active";
  publisher->publish(msg);
  publisher->on_deactivate();
  msg.header.frame_id = "deactivated";
  publisher->publish(msg);

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(listener);
  EXPECT_TRUE(graph_test::spin_until(executor, [&] {return !heard.empty();}));
  executor.spin_some();
  EXPECT_EQ(heard, std::vector<std::string>{"active"});
}

TEST_F(RosTest, LifecycleNodeParametersAreTheNodesOwn)
{
  auto server = std::make_shared<rclcpp_lifecycle::LifecycleNode>(
    "lifecycle_server", rclcpp::NodeOptions().parameter_overrides({{"plugin.rate", 2.5}}));
  EXPECT_FALSE(server->has_parameter("plugin.rate"));
  EXPECT_DOUBLE_EQ(server->declare_parameter("plugin.rate", rclcpp::ParameterValue(1.0)).get<double>(), 2.5);
  EXPECT_TRUE(server->has_parameter("plugin.rate"));
  EXPECT_EQ(server->get_parameter("plugin.rate").as_double(), 2.5);
  EXPECT_EQ(std::string(server->get_name()), "lifecycle_server");
}

TEST(PluginlibStandin, CreatesAnExportedClassByItsName)
{
  pluginlib::ClassLoader<lifecycle_test::Shape> loader("standin_test", "lifecycle_test::Shape");
  ASSERT_TRUE(loader.isClassAvailable("lifecycle_test::Triangle"));
  EXPECT_EQ(loader.createSharedInstance("lifecycle_test::Triangle")->corners(), 3);
  EXPECT_FALSE(loader.isClassAvailable("lifecycle_test::Square"));
  EXPECT_THROW(loader.createSharedInstance("lifecycle_test::Square"), pluginlib::CreateClassException);
}

}  // namespace
