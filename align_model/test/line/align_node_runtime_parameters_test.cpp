#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"
#include "rcutils/logging.h"

namespace
{

using align_line_test::process_scan;
using align_node::AlignNode;
using align_test::LogCapture;
using align_test::NodeHarness;
using geometry_msgs::msg::PoseStamped;
using sensor_msgs::msg::LaserScan;
using visualization_msgs::msg::Marker;

// Longer than one refresh period of the parameter holder.
void wait_for_refresh(NodeHarness & harness)
{
  harness.spin_until([] {return false;}, std::chrono::milliseconds(1100));
}

TEST(AlignNodeRuntimeParameters, NewTargetAngleIsUsedAfterTheNextRefresh)
{
  align_line_test::enable_debug_logging();
  LogCapture log;
  NodeHarness harness;
  // 2.5 rad is far from the plates' 60 degree turn: no target at first.
  auto node = harness.start<AlignNode>(align_line_test::plate_overrides({{"target_angle", 2.5}}));
  const auto pose = harness.record<PoseStamped>("docking_pose");
  const auto scan = align_line_test::make_v_target_scan();

  ASSERT_TRUE(process_scan(harness, log, scan));
  EXPECT_EQ(log.count("Do not find target feature."), 1u);
  EXPECT_TRUE(pose->empty());

  ASSERT_TRUE(node->set_parameter({"target_angle", 1.047}).successful);
  // Read only at start-up: the subscription must stay where it is.
  ASSERT_TRUE(node->set_parameter({"scan_topic", "other_scan"}).successful);
  wait_for_refresh(harness);

  ASSERT_TRUE(process_scan(harness, log, scan));
  EXPECT_EQ(log.count("Do not find target feature."), 1u);
  EXPECT_TRUE(harness.spin_until([&] {return pose->size() == 1;}));
  EXPECT_EQ(align_test::settled_subscribers(*harness.probe(), "/back_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*harness.probe(), "/other_scan", 0u), 0u);
}

TEST(AlignNodeRuntimeParameters, DebugCreatesPublishersAtTheNextScanAndKeepsThem)
{
  align_line_test::enable_debug_logging();
  LogCapture log;
  NodeHarness harness;
  auto node = harness.start<AlignNode>(align_line_test::plate_overrides());
  auto probe = harness.probe();
  const auto selected = harness.record<LaserScan>("align_scan");
  const auto markers = harness.record<Marker>("align_marker");
  const auto scan = align_line_test::make_v_target_scan();

  ASSERT_TRUE(process_scan(harness, log, scan));
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 0u), 0u);

  // Switched on: nothing changes until an enabled scan arrives.
  ASSERT_TRUE(node->set_parameter({"debug", true}).successful);
  harness.spin();
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 0u), 0u);
  ASSERT_TRUE(process_scan(harness, log, scan));
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_marker", 1u), 1u);
  // Publishers made inside that callback are heard only once discovery has
  // matched them; what they sent before is lost, as for any late subscriber.
  harness.wait_for_node_outputs();
  const std::size_t selected_before = selected->size();
  const std::size_t markers_before = markers->size();
  ASSERT_TRUE(process_scan(harness, log, scan));
  ASSERT_TRUE(harness.spin_until([&] {
      return selected->size() == selected_before + 1 && markers->size() == markers_before + 2;
    }));

  // Switched off: the output stops, the publishers stay.
  ASSERT_TRUE(node->set_parameter({"debug", false}).successful);
  ASSERT_TRUE(process_scan(harness, log, scan));
  harness.spin_until([] {return false;}, std::chrono::milliseconds(100));
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*probe, "/align_marker", 1u), 1u);
  EXPECT_EQ(selected->size(), selected_before + 1);
  EXPECT_EQ(markers->size(), markers_before + 2);
}

TEST(AlignNodeRuntimeParameters, DebugWhileDisabledCreatesNothing)
{
  LogCapture log;
  NodeHarness harness;
  auto node = harness.start<AlignNode>();
  auto client = harness.probe()->create_client<std_srvs::srv::SetBool>("align_enable");
  ASSERT_TRUE(harness.spin_until([&] {return client->service_is_ready();}));
  auto request = std::make_shared<std_srvs::srv::SetBool::Request>();
  request->data = false;
  auto pending = client->async_send_request(request);
  ASSERT_TRUE(harness.spin_until(
      [&] {return pending.future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;}));

  ASSERT_TRUE(node->set_parameter({"debug", true}).successful);
  align_line_test::enable_debug_logging();
  ASSERT_TRUE(process_scan(harness, log, align_line_test::make_v_target_scan()));
  EXPECT_EQ(align_test::settled_publishers(*harness.probe(), "/align_scan", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*harness.probe(), "/align_marker", 0u), 0u);
}

TEST(AlignNodeRuntimeParameters, IntegerOutside32BitsKeepsTheLastGoodValue)
{
  align_line_test::enable_debug_logging();
  LogCapture log;
  NodeHarness harness;
  auto node = harness.start<AlignNode>(align_line_test::plate_overrides());
  const auto pose = harness.record<PoseStamped>("docking_pose");

  // Wrapped into 32 bits this would ask for 100000 points per line: no
  // segment, no target. Refused, the last good value (5) stays in use.
  ASSERT_TRUE(node->set_parameter({"min_points_per_line", INT64_C(4295067296)}).successful);
  const std::string error =
    "parameter 'min_points_per_line' does not fit a 32-bit integer: 4295067296; keeping 5";
  ASSERT_TRUE(harness.spin_until([&] {return log.count(error, RCUTILS_LOG_SEVERITY_ERROR) == 1;}));

  ASSERT_TRUE(process_scan(harness, log, align_line_test::make_v_target_scan()));
  EXPECT_TRUE(harness.spin_until([&] {return pose->size() == 1;}));
  EXPECT_EQ(log.count(error), 1u);
}

}  // namespace
