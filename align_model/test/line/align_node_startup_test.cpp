#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"

namespace
{

using align_node::AlignNode;
using align_test::LogCapture;
using align_test::NodeHarness;

struct ExpectedParameter
{
  std::string name;
  rclcpp::ParameterValue value;
};

// Every parameter of the node with its type and default, in declaration order.
std::vector<ExpectedParameter> expected_parameters()
{
  using V = rclcpp::ParameterValue;
  return {
    {"enable_service", V(std::string("align_enable"))},
    {"scan_topic", V(std::string("back_scan"))},
    {"pose_stamped_topic", V(std::string("docking_pose"))},
    {"debug", V(false)},
    {"threshold_split_neighbor", V(true)},
    {"threshold_split", V(0.01)},
    {"min_length", V(0.05)},
    {"min_points_per_line", V(5)},
    {"min_points_per_unit", V(5)},
    {"laser_to_base_x", V(-0.102)},
    {"laser_to_base_y", V(0.0)},
    {"laser_to_base_th", V(3.14)},
    {"base_frame_id", V(std::string("base_footprint"))},
    {"min_intensity", V(250.0)},
    {"max_intensity", V(255.0)},
    {"min_range", V(0.01)},
    {"max_range", V(2.0)},
    {"points_max_distance", V(0.03)},
    {"min_line_len", V(0.1)},
    {"max_line_len", V(0.07)},
    {"target_angle", V(1.047)},
    {"angle_error", V(0.2)},
    {"angle_type", V(1)},
    {"anti_pose_angle", V(false)},
  };
}

TEST(AlignNodeStartup, DeclaresTwentyFourParametersWithTheirTypesAndDefaults)
{
  NodeHarness harness;
  auto node = harness.start<AlignNode>();

  const auto expected = expected_parameters();
  ASSERT_EQ(expected.size(), 24u);
  for (const auto & parameter : expected) {
    SCOPED_TRACE(parameter.name);
    ASSERT_TRUE(node->has_parameter(parameter.name));
    const rclcpp::Parameter actual = node->get_parameter(parameter.name);
    EXPECT_EQ(actual.get_type(), parameter.value.get_type());
    EXPECT_EQ(actual.get_parameter_value(), parameter.value);
  }
  EXPECT_STREQ(node->get_name(), "align_node");
  EXPECT_STREQ(node->get_namespace(), "/");
}

TEST(AlignNodeStartup, OverrideOfTheWrongTypeEndsConstruction)
{
  // An integer for a double, a double for an integer, a string for a bool,
  // for a node parameter and for holder parameters alike.
  const std::vector<rclcpp::Parameter> wrong = {
    {"max_range", 2}, {"angle_type", 1.0}, {"debug", "true"}, {"scan_topic", 3}};
  for (const auto & parameter : wrong) {
    SCOPED_TRACE(parameter.get_name());
    NodeHarness harness;
    EXPECT_THROW(harness.start<AlignNode>({parameter}), rclcpp::exceptions::InvalidParameterTypeException);
  }
}

TEST(AlignNodeStartup, DefaultWiringAndStartUpLine)
{
  LogCapture log;
  NodeHarness harness;
  auto node = harness.start<AlignNode>();
  auto probe = harness.probe();

  EXPECT_EQ(align_test::settled_subscribers(*probe, "/back_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/docking_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_marker", 0u), 0u);

  const auto services = probe->get_service_names_and_types();
  const auto enable = services.find("/align_enable");
  ASSERT_NE(enable, services.end());
  EXPECT_EQ(enable->second, std::vector<std::string>{"std_srvs/srv/SetBool"});

  const auto topics = probe->get_topic_names_and_types();
  ASSERT_EQ(topics.count("/docking_pose"), 1u);
  EXPECT_EQ(topics.at("/docking_pose"), std::vector<std::string>{"geometry_msgs/msg/PoseStamped"});
  EXPECT_EQ(topics.at("/back_scan"), std::vector<std::string>{"sensor_msgs/msg/LaserScan"});

  EXPECT_EQ(log.count("Enable signal default to TRUE when test.", RCUTILS_LOG_SEVERITY_INFO), 1u);
  for (const auto & record : log.records()) {
    if (record.logger == "align_node") {
      EXPECT_EQ(record.severity, RCUTILS_LOG_SEVERITY_INFO) << record.text;
    }
  }
}

TEST(AlignNodeStartup, NamesComeFromTheOverridesAndDebugCreatesItsPublishers)
{
  NodeHarness harness;
  auto node = harness.start<AlignNode>(
    {{"enable_service", "dock_enable"}, {"scan_topic", "rear_scan"},
      {"pose_stamped_topic", "target_pose"}, {"debug", true}});
  auto probe = harness.probe();

  EXPECT_EQ(align_test::settled_subscribers(*probe, "/rear_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*probe, "/back_scan", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/target_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/docking_pose", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_marker", 1u), 1u);

  const auto services = probe->get_service_names_and_types();
  EXPECT_EQ(services.count("/dock_enable"), 1u);
  EXPECT_EQ(services.count("/align_enable"), 0u);
}

}  // namespace
