#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "line_test_support.hpp"
#include "std_srvs/srv/set_bool.hpp"

namespace
{

using align_line_test::count_prefix;
using align_line_test::process_scan;
using align_node::AlignNode;
using align_test::LogCapture;
using align_test::NodeHarness;
using SetBool = std_srvs::srv::SetBool;

class AlignNodeEnableTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    align_line_test::enable_debug_logging();
    node_ = harness_.start<AlignNode>(align_line_test::plate_overrides());
    client_ = harness_.probe()->create_client<SetBool>("align_enable");
    ASSERT_TRUE(harness_.spin_until([this] {return client_->service_is_ready();}));
  }

  // Sends one request and spins until its answer arrives.
  SetBool::Response::SharedPtr call(bool data)
  {
    auto request = std::make_shared<SetBool::Request>();
    request->data = data;
    auto pending = client_->async_send_request(request);
    const bool answered = harness_.spin_until(
      [&] {return pending.future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;});
    if (!answered) {
      return nullptr;
    }
    return pending.future.get();
  }

  std::vector<std::string> node_lines() const
  {
    std::vector<std::string> lines;
    for (const auto & record : log_.records()) {
      if (record.logger == "align_node") {
        lines.push_back(record.text);
      }
    }
    return lines;
  }

  LogCapture log_;
  NodeHarness harness_;
  std::shared_ptr<AlignNode> node_;
  rclcpp::Client<SetBool>::SharedPtr client_;
};

TEST_F(AlignNodeEnableTest, EveryRequestIsAnsweredWithSuccessAndNoMessage)
{
  for (bool data : {false, false, true, true, false}) {
    SCOPED_TRACE(data);
    const auto response = call(data);
    ASSERT_NE(response, nullptr);
    EXPECT_TRUE(response->success);
    EXPECT_EQ(response->message, "");
  }
  // The handler itself stays silent: only the start-up line was logged.
  EXPECT_EQ(node_lines(), std::vector<std::string>{"Enable signal default to TRUE when test."});
}

TEST_F(AlignNodeEnableTest, FalseStopsProcessingAfterTheFirstLine)
{
  const auto pose = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  ASSERT_NE(call(false), nullptr);
  log_.clear();

  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));

  const auto lines = node_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(align_line_test::starts_with(lines[0], align_line_test::kScanLinePrefix));
  EXPECT_EQ(lines[1], "Align enable signal is FALSE.");
  EXPECT_EQ(log_.count("Align enable signal is FALSE.", RCUTILS_LOG_SEVERITY_DEBUG), 1u);
  EXPECT_TRUE(pose->empty());
}

TEST_F(AlignNodeEnableTest, TrueReenablesProcessing)
{
  const auto pose = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  ASSERT_NE(call(false), nullptr);
  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  ASSERT_NE(call(true), nullptr);
  log_.clear();

  ASSERT_TRUE(process_scan(harness_, log_, align_line_test::make_v_target_scan()));
  EXPECT_EQ(log_.count("Align enable signal is FALSE."), 0u);
  EXPECT_EQ(count_prefix(log_, "SOURCE_SCAN_DATA lens 1081"), 1u);
  EXPECT_TRUE(harness_.spin_until([&] {return pose->size() == 1;}));
}

}  // namespace
