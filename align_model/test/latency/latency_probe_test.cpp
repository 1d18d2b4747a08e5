// The latency probe and its floor, run in-process: the probe must time every
// scan, tell a missing reply from a late one, and send a scan that both
// programs answer with a pose.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "align_latency/latency_probe.hpp"
#include "align_latency/latency_summary.hpp"
#include "align_latency/scan_relay.hpp"
#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "support/bundled_files.hpp"
#include "support/node_harness.hpp"

namespace
{

using align_latency::LatencyProbe;
using align_latency::ReplyKind;
using namespace std::chrono_literals;

const auto * const kEnvironment = ::testing::AddGlobalTestEnvironment(new align_test::RosEnvironment);

TEST(LatencySummary, PercentilesAreNearestRankSoEveryFigureWasMeasured)
{
  const auto small = align_latency::summarize({50.0, 10.0, 40.0, 20.0, 30.0});
  EXPECT_EQ(small.samples, 5u);
  EXPECT_EQ(small.min_us, 10.0);
  EXPECT_EQ(small.median_us, 30.0);
  EXPECT_EQ(small.p99_us, 50.0);
  EXPECT_EQ(small.max_us, 50.0);

  std::vector<double> hundred;
  for (int i = 100; i >= 1; --i) {
    hundred.push_back(i);
  }
  const auto summary = align_latency::summarize(hundred);
  EXPECT_EQ(summary.median_us, 50.0);
  EXPECT_EQ(summary.p99_us, 99.0);
  EXPECT_EQ(summary.max_us, 100.0);

  EXPECT_EQ(align_latency::summarize({}).samples, 0u);
  EXPECT_EQ(align_latency::summarize({}).p99_us, 0.0);
}

TEST(LatencySummary, JsonLineQuotesTheLabel)
{
  align_latency::LatencySummary summary;
  summary.samples = 2;
  summary.median_us = 12.5;
  EXPECT_EQ(
    align_latency::summary_json("say \"hi\"", "pose", 1081, 3, 1, summary),
    "{\"label\": \"say \\\"hi\\\"\", \"reply\": \"pose\", \"readings\": 1081, \"sent\": 3, \"lost\": 1, "
    "\"samples\": 2, \"min_us\": 0.0, \"median_us\": 12.5, \"p99_us\": 0.0, \"max_us\": 0.0}");
}

TEST(LatencyScan, HasTheAskedBeamsAcrossTwoHundredSeventyDegrees)
{
  const auto scan = align_latency::target_scan(1081);
  ASSERT_EQ(scan.ranges.size(), 1081u);
  ASSERT_EQ(scan.intensities.size(), 1081u);
  EXPECT_NEAR(scan.angle_min + 1080 * scan.angle_increment, 2.35619449, 1e-5);
}

class LatencyProbeTest : public ::testing::Test
{
protected:
  std::shared_ptr<LatencyProbe> start_probe(ReplyKind reply, const rclcpp::Node::SharedPtr & peer)
  {
    peer_ = peer;
    probe_ = std::make_shared<LatencyProbe>(reply, 1081);
    executor_.add_node(peer_);
    executor_.add_node(probe_);
    EXPECT_TRUE(probe_->wait_for_peer(executor_, 5s));
    return probe_;
  }

  void TearDown() override
  {
    if (probe_) {
      executor_.remove_node(probe_);
      executor_.remove_node(peer_);
    }
  }

  static rclcpp::NodeOptions bundled_parameters()
  {
    rclcpp::NodeOptions options;
    options.arguments({"--ros-args", "--params-file", align_test::kBundledData + "/docking_approach.params.yaml"});
    return options;
  }

  rclcpp::executors::SingleThreadedExecutor executor_;
  rclcpp::Node::SharedPtr peer_;
  std::shared_ptr<LatencyProbe> probe_;
};

TEST_F(LatencyProbeTest, TimesEveryScanThroughTheRelay)
{
  auto probe = start_probe(ReplyKind::kScan, std::make_shared<align_latency::ScanRelay>());
  ASSERT_TRUE(probe->warm_up(executor_, 100ms, 5s));
  const auto run = probe->measure(executor_, 20, 5ms, 2s);
  EXPECT_EQ(run.sent, 20u);
  EXPECT_EQ(run.lost, 0u);
  ASSERT_EQ(run.latencies_us.size(), 20u);
  for (const double latency : run.latencies_us) {
    EXPECT_GT(latency, 0.0);
  }
}

TEST_F(LatencyProbeTest, BothProgramsAnswerTheProbeScanWithAPose)
{
  const std::vector<rclcpp::Node::SharedPtr> programs = {
    std::make_shared<align_model::FeatureNode>(bundled_parameters()),
    std::make_shared<align_node::AlignNode>(bundled_parameters())};
  for (const auto & program : programs) {
    SCOPED_TRACE(program->get_name());
    auto probe = start_probe(ReplyKind::kPose, program);
    // The feature program answers once it holds the mount from /tf_static.
    ASSERT_TRUE(probe->warm_up(executor_, 100ms, 10s));
    const auto run = probe->measure(executor_, 5, 5ms, 2s);
    EXPECT_EQ(run.lost, 0u);
    TearDown();
    probe_.reset();
  }
}

// A peer that answers every scan with a pose stamped just before the scan,
// as a late reply to the scan before it would be: the probe must not time
// those, and reports each scan as lost.
class WrongStampPeer : public rclcpp::Node
{
public:
  WrongStampPeer()
  : rclcpp::Node("wrong_stamp_peer")
  {
    publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>("docking_pose", rclcpp::QoS(1));
    subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
      "back_scan", rclcpp::QoS(1), [this](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {
        geometry_msgs::msg::PoseStamped pose;
        pose.header.stamp = scan->header.stamp;
        if (pose.header.stamp.nanosec > 0) {
          --pose.header.stamp.nanosec;
        } else {
          --pose.header.stamp.sec;
          pose.header.stamp.nanosec = 999999999u;
        }
        publisher_->publish(pose);
      });
  }

private:
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr publisher_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr subscription_;
};

TEST_F(LatencyProbeTest, AReplyStampedBeforeTheScanCountsAsLost)
{
  auto probe = start_probe(ReplyKind::kPose, std::make_shared<WrongStampPeer>());
  EXPECT_FALSE(probe->warm_up(executor_, 20ms, 200ms));
  const auto run = probe->measure(executor_, 3, 5ms, 50ms);
  EXPECT_EQ(run.sent, 3u);
  EXPECT_EQ(run.lost, 3u);
  EXPECT_TRUE(run.latencies_us.empty());
}

}  // namespace
