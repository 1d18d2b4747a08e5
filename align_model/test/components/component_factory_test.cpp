// Both node classes built the way a component container builds them: through
// rclcpp_components::NodeFactoryTemplate from the container's NodeOptions,
// here with intra-process delivery, a namespace and parameter overrides.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rclcpp_components/node_factory_template.hpp"
#include "support/node_harness.hpp"

namespace
{

class ComponentFactory : public ::testing::Test
{
protected:
  void SetUp() override
  {
    align_test::init_ros_for_test();
  }

  static rclcpp::NodeOptions container_options()
  {
    rclcpp::NodeOptions options;
    options.use_intra_process_comms(true);
    options.arguments({"--ros-args", "-r", "__ns:=/robot"});
    options.parameter_overrides(
      {rclcpp::Parameter("scan_qos", "sensor_data"), rclcpp::Parameter("dock_pose_topic", "detected_dock_pose")});
    return options;
  }
};

TEST_F(ComponentFactory, BuildsTheFeatureNodeFromTheContainersOptions)
{
  rclcpp_components::NodeFactoryTemplate<align_model::FeatureNode> factory;
  rclcpp_components::NodeInstanceWrapper wrapper = factory.create_node_instance(container_options());

  auto node = std::static_pointer_cast<align_model::FeatureNode>(wrapper.get_node_instance());
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(wrapper.get_node_base_interface()->get_fully_qualified_name(), "/robot/align_feature_node");
  EXPECT_TRUE(node->get_node_options().use_intra_process_comms());
  EXPECT_EQ(node->get_parameter("scan_qos").as_string(), "sensor_data");
  EXPECT_EQ(align_test::settled_publishers(*node, "/robot/detected_dock_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*node, "/robot/back_scan", 1u), 1u);
}

TEST_F(ComponentFactory, BuildsTheAlignNodeFromTheContainersOptions)
{
  rclcpp_components::NodeFactoryTemplate<align_node::AlignNode> factory;
  rclcpp_components::NodeInstanceWrapper wrapper = factory.create_node_instance(container_options());

  auto node = std::static_pointer_cast<align_node::AlignNode>(wrapper.get_node_instance());
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(wrapper.get_node_base_interface()->get_fully_qualified_name(), "/robot/align_node");
  EXPECT_TRUE(node->get_node_options().use_intra_process_comms());
  EXPECT_EQ(node->get_parameter("scan_qos").as_string(), "sensor_data");
  EXPECT_EQ(align_test::settled_publishers(*node, "/robot/detected_dock_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*node, "/robot/back_scan", 1u), 1u);
}

TEST_F(ComponentFactory, ARefusedParameterFailsTheLoad)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides({rclcpp::Parameter("scan_qos", "fast")});
  rclcpp_components::NodeFactoryTemplate<align_node::AlignNode> factory;
  EXPECT_THROW(factory.create_node_instance(options), std::invalid_argument);
}

}  // namespace
