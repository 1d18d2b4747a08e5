// The opt-in runtime diagnostics of the feature program on "/diagnostics".
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using diagnostic_msgs::msg::DiagnosticArray;
using diagnostic_msgs::msg::DiagnosticStatus;

std::string value_of(const DiagnosticStatus & status, const std::string & key)
{
  for (const auto & entry : status.values) {
    if (entry.key == key) {
      return entry.value;
    }
  }
  return "<missing>";
}

TEST(FeatureNodeDiagnostics, OffByDefaultNothingIsPublishedOnDiagnostics)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>();
  EXPECT_FALSE(node->get_parameter("diagnostics").as_bool());
  harness.spin();
  EXPECT_EQ(align_test::settled_publishers(*harness.probe(), "/diagnostics", 0u), 0u);
  harness.release_node();
}

TEST(FeatureNodeDiagnostics, WarnsWithTheStageWhereScansStop)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>({rclcpp::Parameter("diagnostics", true)});
  auto received = harness.record<DiagnosticArray>("/diagnostics");
  EXPECT_EQ(align_test::settled_publishers(*harness.probe(), "/diagnostics", 1u), 1u);
  // No transform is ever published: every scan stops at the transform gate.
  const auto scan = feature_test::make_empty_scan("rear_laser");
  auto warned = [&] {
      harness.publish("back_scan", scan);
      return !received->empty() && received->back().message->status.front().level == DiagnosticStatus::WARN;
    };
  ASSERT_TRUE(harness.spin_until(warned, std::chrono::seconds(10)));
  const DiagnosticStatus & status = received->back().message->status.front();
  EXPECT_EQ(received->back().message->status.size(), 1u);
  EXPECT_EQ(status.name, "align_feature_node");
  EXPECT_EQ(status.message, "no transform");
  EXPECT_EQ(value_of(status, "enabled"), "true");
  EXPECT_EQ(value_of(status, "seconds since the last pose"), "never");
  EXPECT_NE(value_of(status, "funnel: no transform"), "0");
  EXPECT_NE(value_of(status, "scans in the last second"), "<missing>");
  EXPECT_NE(value_of(status, "detection rate over the last 5 s"), "<missing>");
  harness.release_node();
  node.reset();
  EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(6)));
}

TEST(FeatureNodeDiagnostics, DisabledIsReportedAsOk)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>({rclcpp::Parameter("diagnostics", true)});
  auto received = harness.record<DiagnosticArray>("/diagnostics");
  harness.publish("align_enable", feature_test::make_align(0));
  auto disabled = [&] {
      return !received->empty() && received->back().message->status.front().message == "disabled";
    };
  ASSERT_TRUE(harness.spin_until(disabled, std::chrono::seconds(5)));
  EXPECT_EQ(received->back().message->status.front().level, DiagnosticStatus::OK);
  EXPECT_EQ(value_of(received->back().message->status.front(), "enabled"), "false");
  harness.release_node();
}

TEST(DiagnosticMessages, CarryTheLevelConstantsOfTheInterface)
{
  EXPECT_EQ(DiagnosticStatus::OK, 0);
  EXPECT_EQ(DiagnosticStatus::WARN, 1);
  EXPECT_EQ(DiagnosticStatus::ERROR, 2);
  EXPECT_EQ(DiagnosticStatus::STALE, 3);
  DiagnosticStatus status;
  EXPECT_EQ(status.level, DiagnosticStatus::OK);
  EXPECT_TRUE(status.values.empty());
}

}  // namespace
