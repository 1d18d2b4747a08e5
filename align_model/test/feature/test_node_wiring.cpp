#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using feature_test::kDebug;
using feature_test::kInfo;

class FeatureNodeWiring : public ::testing::Test
{
protected:
  void SetUp() override {feature_test::show_node_debug_lines();}

  // Every worker must end soon after its node is gone.
  void TearDown() override
  {
    harness_.release_node();
    EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  // Publishes one enable message and waits until the node has logged it.
  void send_enable(std::int32_t enable)
  {
    const std::size_t before = logs_.records().size();
    harness_.publish("align_enable", feature_test::make_align(enable));
    ASSERT_TRUE(harness_.spin_until([&] {return logs_.records().size() > before;}));
  }

  // Publishes one scan and waits until the node has taken it.
  void send_scan(const sensor_msgs::msg::LaserScan & scan)
  {
    const std::string received = "Get BACK_SCAN laser data, size " + std::to_string(scan.ranges.size()) + ".";
    const std::size_t before = logs_.count(received, kDebug);
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until([&] {return logs_.count(received, kDebug) > before;}));
  }

  align_test::LogCapture logs_;
  align_test::NodeHarness harness_;
};

TEST_F(FeatureNodeWiring, WithoutDebugOnlyThePoseTopicIsAdvertised)
{
  auto node = harness_.start<FeatureNode>();
  harness_.spin();
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/docking_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*harness_.probe(), "/back_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*harness_.probe(), "/align_enable", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_scan", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_marker", 0u), 0u);

  // Parameters are read once: switching debug on later creates nothing.
  EXPECT_TRUE(node->set_parameter(rclcpp::Parameter("debug", true)).successful);
  harness_.spin();
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_scan", 0u), 0u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_marker", 0u), 0u);
}

TEST_F(FeatureNodeWiring, WithDebugBothDebugTopicsExistFromConstruction)
{
  auto node = harness_.start<FeatureNode>({{"debug", true}});
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/align_marker", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/docking_pose", 1u), 1u);
}

TEST_F(FeatureNodeWiring, TopicParametersRenameTheTopics)
{
  auto node = harness_.start<FeatureNode>(
    {{"enable_topic", "dock_enable"}, {"scan_topic", "rear_scan"}, {"pose_stamped_topic", "dock_pose"}});
  EXPECT_EQ(align_test::settled_subscribers(*harness_.probe(), "/dock_enable", 1u), 1u);
  EXPECT_EQ(align_test::settled_subscribers(*harness_.probe(), "/rear_scan", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/dock_pose", 1u), 1u);
  EXPECT_EQ(align_test::settled_publishers(*harness_.probe(), "/docking_pose", 0u), 0u);
}

TEST_F(FeatureNodeWiring, StartsEnabledAndSaysSoOnce)
{
  auto node = harness_.start<FeatureNode>();
  EXPECT_EQ(logs_.count("Enable signal default to TRUE when test.", kInfo), 1u);
  send_scan(feature_test::make_empty_scan("laser"));
  EXPECT_EQ(logs_.count("Align enable signal is FALSE."), 0u);
  EXPECT_EQ(logs_.count("Get tf_trans failed.", kDebug), 1u);
}

TEST_F(FeatureNodeWiring, EnableMessagesDriveTheFlagAndAreEachLogged)
{
  auto node = harness_.start<FeatureNode>();

  send_enable(0);
  EXPECT_EQ(logs_.count("Align enable signal turn to FALSE.", kInfo), 1u);
  send_scan(feature_test::make_empty_scan("laser"));
  EXPECT_EQ(logs_.count("Align enable signal is FALSE.", kDebug), 1u);

  send_enable(1);
  EXPECT_EQ(logs_.count("Align enable signal turn to TRUE.", kInfo), 1u);
  send_enable(0);
  send_enable(2);
  EXPECT_EQ(logs_.count("Align enable signal turn to TRUE.", kInfo), 2u);
  EXPECT_EQ(logs_.count("Align enable signal turn to FALSE.", kInfo), 2u);
  send_scan(feature_test::make_empty_scan("laser"));
  EXPECT_EQ(logs_.count("Align enable signal is FALSE.", kDebug), 1u);
  EXPECT_EQ(logs_.count("Get tf_trans failed.", kDebug), 1u);
}

TEST_F(FeatureNodeWiring, RepeatedIdenticalEnableMessagesAreAllLogged)
{
  auto node = harness_.start<FeatureNode>();
  for (int i = 0; i < 10; ++i) {
    send_enable(0);
  }
  EXPECT_EQ(logs_.count("Align enable signal turn to FALSE.", kInfo), 10u);
  EXPECT_EQ(logs_.count("Align enable signal turn to TRUE.", kInfo), 0u);
}

TEST_F(FeatureNodeWiring, DisabledNodeLogsTwoLinesPublishesNothingStartsNoWorker)
{
  auto node = harness_.start<FeatureNode>({{"debug", true}});
  auto poses = harness_.record<geometry_msgs::msg::PoseStamped>("docking_pose");
  auto scans = harness_.record<sensor_msgs::msg::LaserScan>("align_scan");
  auto markers = harness_.record<visualization_msgs::msg::Marker>("align_marker");
  send_enable(0);
  logs_.clear();

  for (int i = 0; i < 3; ++i) {
    send_scan(feature_test::make_empty_scan("laser"));
  }
  harness_.spin();

  EXPECT_EQ(logs_.count("Align enable signal is FALSE.", kDebug), 3u);
  EXPECT_EQ(feature_test::count_node_lines(logs_), 6u);
  EXPECT_EQ(node->frame_listener()->worker_starts(), 0u);
  EXPECT_FALSE(node->frame_listener()->is_worker_running());
  EXPECT_TRUE(poses->empty());
  EXPECT_TRUE(scans->empty());
  EXPECT_TRUE(markers->empty());
}

}  // namespace
