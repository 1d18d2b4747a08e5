// Graph queries over all nodes of the process.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include "graph_fixture.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_msgs/msg/header.hpp"
#include "std_srvs/srv/set_bool.hpp"

namespace
{

using graph_test::RosTest;

class GraphQueryTest : public RosTest {};

bool contains(const std::vector<std::string> & names, const std::string & name)
{
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(GraphQueryTest, TopicsAreListedFullyQualifiedWithTheirTypes)
{
  auto node = std::make_shared<rclcpp::Node>("align_feature_node");
  auto other = std::make_shared<rclcpp::Node>("probe", "tools");
  auto scan_sub = node->create_subscription<sensor_msgs::msg::LaserScan>(
    "back_scan", 1, [](const sensor_msgs::msg::LaserScan &) {});
  auto pose_pub = other->create_publisher<std_msgs::msg::Header>("pose", 1);

  const auto topics = node->get_topic_names_and_types();
  ASSERT_EQ(topics.count("/back_scan"), 1u);
  EXPECT_EQ(topics.at("/back_scan"), std::vector<std::string>{"sensor_msgs/msg/LaserScan"});
  ASSERT_EQ(topics.count("/tools/pose"), 1u);
  EXPECT_EQ(topics.at("/tools/pose"), std::vector<std::string>{"std_msgs/msg/Header"});
  EXPECT_EQ(topics.at("/parameter_events"),
    std::vector<std::string>{"rcl_interfaces/msg/ParameterEvent"});
  EXPECT_EQ(topics.at("/rosout"), std::vector<std::string>{"rcl_interfaces/msg/Log"});

  EXPECT_TRUE(graph_test::wait_until([&] {return node->count_subscribers("back_scan") == 1u;}));
  EXPECT_EQ(node->count_publishers("/back_scan"), 0u);
  EXPECT_TRUE(graph_test::wait_until([&] {return other->count_publishers("pose") == 1u;})) << "relative names expand in the namespace";
  EXPECT_TRUE(graph_test::wait_until([&] {return node->count_publishers("/rosout") == 2u;})) << "one per node";

  pose_pub.reset();
  EXPECT_EQ(node->get_topic_names_and_types().count("/tools/pose"), 0u);
}

TEST_F(GraphQueryTest, NodesAndServicesIncludingTheBuiltInParameterServices)
{
  auto node = std::make_shared<rclcpp::Node>("align_node", "align_node");
  auto service = node->create_service<std_srvs::srv::SetBool>(
    "align_enable", [](std::shared_ptr<std_srvs::srv::SetBool::Request>,
    std::shared_ptr<std_srvs::srv::SetBool::Response>) {});
  EXPECT_TRUE(contains(node->get_node_names(), "/align_node/align_node"));

  const auto services = node->get_service_names_and_types();
  ASSERT_EQ(services.count("/align_node/align_enable"), 1u);
  EXPECT_EQ(services.at("/align_node/align_enable"),
    std::vector<std::string>{"std_srvs/srv/SetBool"});
  const auto by_node = node->get_service_names_and_types_by_node("align_node", "/align_node");
  EXPECT_EQ(by_node.size(), 7u);
  EXPECT_EQ(by_node.count("/align_node/align_node/set_parameters"), 1u);
  EXPECT_THROW(
    node->get_service_names_and_types_by_node("nobody", "/"), rclcpp::exceptions::RCLError);

  auto quiet = std::make_shared<rclcpp::Node>(
    "quiet", rclcpp::NodeOptions().start_parameter_services(false).enable_rosout(false));
  EXPECT_TRUE(node->get_service_names_and_types_by_node("quiet", "/").empty());
}

TEST_F(GraphQueryTest, PerNodeQueriesListWhatEachNodeOwns)
{
  auto node = std::make_shared<rclcpp::Node>("align_node", "align_node");
  auto other = std::make_shared<rclcpp::Node>("controller");
  auto scan_sub = node->create_subscription<sensor_msgs::msg::LaserScan>(
    "back_scan", 1, [](const sensor_msgs::msg::LaserScan &) {});
  auto pose_pub = node->create_publisher<std_msgs::msg::Header>("docking_pose", 1);
  auto enable_client = other->create_client<std_srvs::srv::SetBool>("/align_node/align_enable");
  const auto graph = other->get_node_graph_interface();

  using Names = std::map<std::string, std::vector<std::string>>;
  Names publishers;
  ASSERT_TRUE(graph_test::wait_until([&] {
      publishers = graph->get_publisher_names_and_types_by_node("align_node", "/align_node");
      return publishers.size() == 3u;
    }));
  EXPECT_EQ(publishers, (Names{
    {"/align_node/docking_pose", {"std_msgs/msg/Header"}},
    {"/parameter_events", {"rcl_interfaces/msg/ParameterEvent"}},
    {"/rosout", {"rcl_interfaces/msg/Log"}}}));
  EXPECT_EQ(graph->get_subscriber_names_and_types_by_node("align_node", "/align_node"), (Names{
    {"/align_node/back_scan", {"sensor_msgs/msg/LaserScan"}},
    {"/parameter_events", {"rcl_interfaces/msg/ParameterEvent"}}})) <<
    "every node's time source listens to parameter events";
  EXPECT_EQ(graph->get_client_names_and_types_by_node("controller", "/"),
    (Names{{"/align_node/align_enable", {"std_srvs/srv/SetBool"}}}));
  EXPECT_TRUE(graph->get_client_names_and_types_by_node("align_node", "/align_node").empty());
  EXPECT_THROW(
    graph->get_publisher_names_and_types_by_node("nobody", "/"), rclcpp::exceptions::RCLError);
  const auto nodes = graph->get_node_names_and_namespaces();
  EXPECT_NE(std::find(nodes.begin(), nodes.end(), std::make_pair(std::string("controller"), std::string("/"))),
    nodes.end());

  enable_client.reset();
  EXPECT_TRUE(graph->get_client_names_and_types_by_node("controller", "/").empty());
}

TEST_F(GraphQueryTest, DestroyingANodeRemovesEverythingItRegistered)
{
  auto observer = std::make_shared<rclcpp::Node>("observer");
  // The observer's own endpoints count once discovery has announced them.
  ASSERT_TRUE(graph_test::wait_for_discovery(*observer));
  const size_t rosout_before = observer->count_publishers("/rosout");
  {
    auto node = std::make_shared<rclcpp::Node>("short_lived");
    auto service = node->create_service<std_srvs::srv::SetBool>(
      "short_service", [](std::shared_ptr<std_srvs::srv::SetBool::Request>,
      std::shared_ptr<std_srvs::srv::SetBool::Response>) {});
    EXPECT_TRUE(contains(observer->get_node_names(), "/short_lived"));
    EXPECT_TRUE(graph_test::wait_until([&] {return observer->count_publishers("/rosout") == rosout_before + 1;}));
  }
  EXPECT_FALSE(contains(observer->get_node_names(), "/short_lived"));
  EXPECT_TRUE(graph_test::wait_until([&] {return observer->count_publishers("/rosout") == rosout_before;}));
  const auto services = observer->get_service_names_and_types();
  EXPECT_EQ(services.count("/short_service"), 0u);
  EXPECT_EQ(services.count("/short_lived/get_parameters"), 0u);
}

}  // namespace
