// The shipped access-control policy against the endpoints each program
// really opens: started as the bundled launch file starts it, with its
// bundled parameter file and every optional output switched on, and fed one
// scan (some outputs and the frame listener start with the first scan).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/access_policy.hpp"
#include "support/bundled_files.hpp"
#include "support/node_harness.hpp"

namespace
{

using align_test::Grant;
using align_test::Grants;
using namespace std::chrono_literals;

const std::string kSecurityDir = std::string(ALIGN_MODEL_SOURCE_DIR) + "/security";

std::map<std::string, std::vector<align_test::PolicyProfile>> read_policy_file(const std::string & name)
{
  const std::string text = align_test::read_text(kSecurityDir + "/" + name);
  EXPECT_FALSE(text.empty()) << "cannot read " << kSecurityDir << "/" << name;
  return align_test::read_policy(text);
}

// How the bundled launch file starts a program.
struct ProgramSetup
{
  std::string enclave;
  std::string namespace_;
  std::string parameter_file;
  // A node the program starts on its own that must have shown up (empty: none).
  std::string helper_node_prefix;
};

const char kObserverName[] = "policy_observer";

// Everything the nodes of this process except the observer have opened, as
// the graph reports it.
Grants opened_endpoints(const rclcpp::Node & observer)
{
  auto graph = const_cast<rclcpp::Node &>(observer).get_node_graph_interface();
  Grants opened;
  const auto add = [&opened](const std::string & kind, const auto & names_and_types) {
      for (const auto & entry : names_and_types) {
        opened.emplace(kind, entry.first);
      }
    };
  for (const auto & [name, ns] : graph->get_node_names_and_namespaces()) {
    if (name == kObserverName) {
      continue;
    }
    try {
      add("publish", graph->get_publisher_names_and_types_by_node(name, ns));
      add("subscribe", graph->get_subscriber_names_and_types_by_node(name, ns));
      add("reply", graph->get_service_names_and_types_by_node(name, ns));
      add("request", graph->get_client_names_and_types_by_node(name, ns));
    } catch (const rclcpp::exceptions::RCLError &) {
      // The node went away between the two queries (the frame listener's
      // helper ends on its own); what it had is in an earlier snapshot.
    }
  }
  return opened;
}

bool has_node_named(const rclcpp::Node & observer, const std::string & prefix)
{
  const auto names = observer.get_node_names();
  return std::any_of(names.begin(), names.end(), [&prefix](const std::string & name) {
             return name.rfind(prefix, 0) == 0;
           });
}

std::string describe(const Grants & grants)
{
  std::string text;
  for (const auto & grant : grants) {
    text += "\n  " + grant.first + " " + grant.second;
  }
  return text.empty() ? " none" : text;
}

class PolicyDrift : public ::testing::Test
{
protected:
  void SetUp() override {align_test::init_ros_for_test();}

  // Starts NodeT as `setup` describes, feeds it one scan and collects what
  // it opens until the graph has been quiet for a while.
  template<typename NodeT>
  Grants endpoints_of(const ProgramSetup & setup)
  {
    rclcpp::NodeOptions options;
    options.arguments({"--ros-args", "-r", "__ns:=" + setup.namespace_,
        "--params-file", std::string(ALIGN_MODEL_SOURCE_DIR) + "/config/" + setup.parameter_file});
    options.parameter_overrides({rclcpp::Parameter("debug", true),
        rclcpp::Parameter("diagnostics", true),
        rclcpp::Parameter("dock_pose_topic", "/detected_dock_pose")});
    auto observer = std::make_shared<rclcpp::Node>(kObserverName, "/policy_test");
    auto program = std::make_shared<NodeT>(options);
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(observer);
    executor.add_node(program);

    auto scan_publisher = observer->create_publisher<sensor_msgs::msg::LaserScan>(
      setup.namespace_ + "/back_scan", rclcpp::QoS(1));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (scan_publisher->get_subscription_count() == 0 && std::chrono::steady_clock::now() < deadline) {
      executor.spin_some();
      std::this_thread::sleep_for(5ms);
    }
    EXPECT_GT(scan_publisher->get_subscription_count(), 0u) << "the program never heard the scan topic";
    sensor_msgs::msg::LaserScan scan;
    scan.header.frame_id = "laser";
    scan.angle_min = -2.35619f;
    scan.angle_max = 2.35619f;
    scan.angle_increment = 0.00436332f;
    scan.range_max = 30.0f;
    scan.ranges.assign(1081, 1.0f);
    scan.intensities.assign(1081, 100.0f);
    scan_publisher->publish(scan);

    // The graph lags the endpoints; collect until the helper node has shown
    // up and nothing new has shown for 1 s.
    Grants opened;
    bool helper_seen = setup.helper_node_prefix.empty();
    auto quiet_since = std::chrono::steady_clock::now();
    const auto give_up = std::chrono::steady_clock::now() + 20s;
    while ((std::chrono::steady_clock::now() - quiet_since < 1s || !helper_seen) &&
      std::chrono::steady_clock::now() < give_up)
    {
      executor.spin_some();
      helper_seen = helper_seen || has_node_named(*observer, setup.helper_node_prefix);
      const std::size_t before = opened.size();
      for (const auto & grant : opened_endpoints(*observer)) {
        opened.insert(grant);
      }
      if (opened.size() != before) {
        quiet_since = std::chrono::steady_clock::now();
      }
      std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(helper_seen) << "no node " << setup.helper_node_prefix << "* appeared";
    // The scan publisher is the observer's own and is not counted.
    executor.remove_node(program);
    executor.remove_node(observer);
    return opened;
  }

  void expect_policy_matches(const std::string & enclave, const Grants & opened)
  {
    const auto policy = read_policy_file("align_model.policy.xml");
    ASSERT_EQ(policy.count(enclave), 1u) << "no enclave " << enclave << " in the policy";
    const Grants granted = align_test::enclave_grants(policy.at(enclave));
    Grants missing;
    std::set_difference(opened.begin(), opened.end(), granted.begin(), granted.end(),
      std::inserter(missing, missing.end()));
    Grants unused;
    std::set_difference(granted.begin(), granted.end(), opened.begin(), opened.end(),
      std::inserter(unused, unused.end()));
    EXPECT_TRUE(missing.empty()) << "opened but not granted to " << enclave << ":" << describe(missing);
    EXPECT_TRUE(unused.empty()) << "granted to " << enclave << " but never opened:" << describe(unused);
  }
};

TEST_F(PolicyDrift, FeatureProgramOpensExactlyWhatItsEnclaveGrants)
{
  const Grants opened = endpoints_of<align_model::FeatureNode>(
    {"/align_model/align_feature_node", "/align_model", "align_feature_node.yaml",
      "/transform_listener_impl_"});
  expect_policy_matches("/align_model/align_feature_node", opened);
}

TEST_F(PolicyDrift, LineProgramOpensExactlyWhatItsEnclaveGrants)
{
  const Grants opened = endpoints_of<align_node::AlignNode>(
    {"/align_node/align_node", "/align_node", "align_node.yaml", ""});
  expect_policy_matches("/align_node/align_node", opened);
}

// What the peers may do to a program must be something a program offers:
// a driver's scan goes to a program's scan subscription, a controller's
// enable and pose to a program's enable and pose endpoints. Each peer's own
// node endpoints (logging, parameters) are its own business.
TEST(PeerPolicies, GrantOnlyCounterpartsOfTheProgramsEndpoints)
{
  const auto programs = read_policy_file("align_model.policy.xml");
  Grants offered;
  for (const auto & entry : programs) {
    for (const auto & [kind, name] : align_test::enclave_grants(entry.second)) {
      const std::string counterpart =
        kind == "publish" ? "subscribe" : kind == "subscribe" ? "publish" :
        kind == "reply" ? "request" : "reply";
      offered.emplace(counterpart, name);
    }
  }
  for (const char * file : {"laser_driver.policy.xml", "docking_controller.policy.xml"}) {
    const auto peers = read_policy_file(file);
    ASSERT_EQ(peers.size(), 1u) << file;
    for (const auto & profile : peers.begin()->second) {
      Grants foreign;
      for (const auto & grant : profile.grants) {
        const bool own = grant.second == "/rosout" || grant.second == "/parameter_events" ||
          grant.second.rfind(profile.node_fqn + "/", 0) == 0;
        if (!own && offered.count(grant) == 0) {
          foreign.insert(grant);
        }
      }
      EXPECT_TRUE(foreign.empty()) << file << " grants what no program offers:" << describe(foreign);
    }
  }
  const auto driver = align_test::enclave_grants(read_policy_file("laser_driver.policy.xml").begin()->second);
  EXPECT_EQ(driver.count(Grant("publish", "/align_model/back_scan")), 1u);
  EXPECT_EQ(driver.count(Grant("publish", "/align_node/back_scan")), 1u);
  const auto controller =
    align_test::enclave_grants(read_policy_file("docking_controller.policy.xml").begin()->second);
  for (const Grant & needed : {Grant("publish", "/align_model/align_enable"),
      Grant("request", "/align_node/align_enable"), Grant("subscribe", "/align_model/docking_pose"),
      Grant("subscribe", "/align_node/docking_pose")})
  {
    EXPECT_EQ(controller.count(needed), 1u) << needed.first << " " << needed.second;
  }
  EXPECT_EQ(controller.count(Grant("publish", "/align_model/back_scan")), 0u);
}

TEST(AccessPolicyReader, ResolvesNamesAsSros2Does)
{
  const auto policy = align_test::read_policy(R"(<policy version="0.2.0"><enclaves>
    <enclave path="/a/b"><profiles>
      <profile ns="/robot" node="n"><!-- <topic>hidden</topic> -->
        <topics publish="ALLOW" subscribe="DENY"><topic>rel</topic><topic>/abs</topic></topics>
        <services reply="ALLOW"><service>~/get_parameters</service></services>
        <services request="ALLOW"><service>srv</service></services>
      </profile>
      <profile ns="/" node="m"><topics subscribe="ALLOW"><topic>top</topic></topics></profile>
    </profiles></enclave></enclaves></policy>)");
  ASSERT_EQ(policy.count("/a/b"), 1u);
  EXPECT_EQ(align_test::enclave_grants(policy.at("/a/b")), (Grants{
    {"publish", "/robot/rel"}, {"publish", "/abs"}, {"reply", "/robot/n/get_parameters"},
    {"request", "/robot/srv"}, {"subscribe", "/top"}}));
  EXPECT_EQ(policy.at("/a/b").back().node_fqn, "/m");
}

}  // namespace
