// RCLCPP_COMPONENTS_REGISTER_NODE: the factory is found under the key a
// component container builds from the class name, and builds the node from
// the options it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_components/detail/factory_registry.hpp"
#include "rclcpp_components/register_node_macro.hpp"

namespace components_test
{

class Talker : public rclcpp::Node
{
public:
  explicit Talker(const rclcpp::NodeOptions & options)
  : rclcpp::Node("talker", options)
  {
    greeting_ = declare_parameter("greeting", std::string("hello"));
  }
  std::string greeting_;
};

}  // namespace components_test

RCLCPP_COMPONENTS_REGISTER_NODE(components_test::Talker)

namespace
{

using graph_test::RosTest;

TEST_F(RosTest, RegisteredFactoryIsFoundUnderTheContainersKey)
{
  const std::vector<std::string> keys = rclcpp_components::detail::registered_node_factory_keys();
  EXPECT_NE(
    std::find(keys.begin(), keys.end(), "rclcpp_components::NodeFactoryTemplate<components_test::Talker>"),
    keys.end());
  EXPECT_EQ(rclcpp_components::detail::find_node_factory("components_test::Talker"), nullptr);
}

TEST_F(RosTest, FactoryBuildsTheNodeFromTheGivenOptions)
{
  auto factory = rclcpp_components::detail::find_node_factory(
    "rclcpp_components::NodeFactoryTemplate<components_test::Talker>");
  ASSERT_NE(factory, nullptr);
  rclcpp::NodeOptions options;
  options.parameter_overrides({rclcpp::Parameter("greeting", "hi")});
  options.arguments({"--ros-args", "-r", "__ns:=/components"});
  rclcpp_components::NodeInstanceWrapper wrapper = factory->create_node_instance(options);

  auto talker = std::static_pointer_cast<components_test::Talker>(wrapper.get_node_instance());
  ASSERT_NE(talker, nullptr);
  EXPECT_EQ(talker->greeting_, "hi");
  EXPECT_STREQ(wrapper.get_node_base_interface()->get_fully_qualified_name(), "/components/talker");
}

}  // namespace
