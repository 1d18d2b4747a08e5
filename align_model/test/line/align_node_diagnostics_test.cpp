// The opt-in runtime diagnostics of the line program on "/diagnostics".
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "align_model_node/align_node.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "line/line_test_support.hpp"

namespace
{

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

TEST(AlignNodeDiagnostics, NoScansWarnsThenTargetsFoundAreOk)
{
  align_test::NodeHarness harness;
  auto node = harness.start<align_node::AlignNode>(
    align_line_test::plate_overrides({rclcpp::Parameter("diagnostics", true)}));
  auto received = harness.record<DiagnosticArray>("/diagnostics");
  auto latest = [&]() -> const DiagnosticStatus & {return received->back().message->status.front();};

  ASSERT_TRUE(harness.spin_until(
      [&] {return !received->empty() && latest().message == "no scans";}, std::chrono::seconds(10)));
  EXPECT_EQ(latest().level, DiagnosticStatus::WARN);
  EXPECT_EQ(latest().name, "align_node");
  EXPECT_EQ(value_of(latest(), "scans in the last second"), "0");

  const auto scan = align_line_test::make_v_target_scan();
  auto found = [&] {
      harness.publish("back_scan", scan);
      return !received->empty() && latest().message == "target found";
    };
  ASSERT_TRUE(harness.spin_until(found, std::chrono::seconds(10)));
  EXPECT_EQ(latest().level, DiagnosticStatus::OK);
  EXPECT_EQ(value_of(latest(), "enabled"), "true");
  EXPECT_NE(value_of(latest(), "funnel: found"), "0");
  EXPECT_NE(value_of(latest(), "seconds since the last pose"), "never");
}

TEST(AlignNodeDiagnostics, WithoutTheParameterNothingIsPublished)
{
  align_test::NodeHarness harness;
  auto node = harness.start<align_node::AlignNode>();
  EXPECT_FALSE(node->get_parameter("diagnostics").as_bool());
  harness.spin();
  EXPECT_EQ(align_test::settled_publishers(*harness.probe(), "/diagnostics", 0u), 0u);
}

}  // namespace
