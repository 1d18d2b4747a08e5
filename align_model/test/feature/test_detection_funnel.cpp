// The feature program records where each scan left its pipeline: one scan
// built to stop at every stage.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "feature/feature_node.hpp"
#include "feature/feature_test_support.hpp"

namespace
{

using align_model::FeatureNode;
using align_model::FunnelStage;

constexpr char kLaserFrame[] = "rear_laser";

struct StageCase
{
  const char * name;
  std::vector<rclcpp::Parameter> overrides;
  FunnelStage expected;
};

std::vector<rclcpp::Parameter> deployment(std::vector<rclcpp::Parameter> more)
{
  std::vector<rclcpp::Parameter> parameters = {
    {"min_angle", -1.5}, {"max_angle", 1.5}, {"min_line_len", 0.15}, {"max_line_len", 0.45}};
  for (auto & parameter : more) {
    parameters.push_back(parameter);
  }
  return parameters;
}

class FeatureFunnel : public ::testing::TestWithParam<StageCase>
{
protected:
  void TearDown() override
  {
    harness_.release_node();
    EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
  }

  void send_scan(const std::shared_ptr<FeatureNode> & node, const sensor_msgs::msg::LaserScan & scan)
  {
    const std::uint64_t before = node->detection_funnel().scans();
    harness_.publish("back_scan", scan);
    ASSERT_TRUE(harness_.spin_until([&] {return node->detection_funnel().scans() > before;}));
  }

  sensor_msgs::msg::LaserScan target_scan() const
  {
    const feature_test::ScanGeometry geometry;
    const auto target = feature_test::target_on_beam(mount_, geometry, 360, 0.7, 0.15);
    return feature_test::make_target_scan(mount_, target, kLaserFrame, geometry);
  }

  align_test::NodeHarness harness_;
  feature_test::LaserMount mount_;
};

TEST_P(FeatureFunnel, StopsWhereBuiltTo)
{
  auto node = harness_.start<FeatureNode>(deployment(GetParam().overrides));
  feature_test::publish_static_transform(
    harness_, feature_test::make_mount_transform("base_footprint", kLaserFrame, mount_));
  const auto scan = target_scan();

  // The first scan only starts the transform lookup.
  send_scan(node, scan);
  EXPECT_EQ(node->detection_funnel().last(), FunnelStage::kNoTransform);
  ASSERT_TRUE(harness_.spin_until(
    [&] {return node->frame_listener()->is_stored("base_footprint", kLaserFrame);}));

  send_scan(node, scan);
  EXPECT_EQ(node->detection_funnel().last(), GetParam().expected);
  EXPECT_EQ(node->detection_funnel().count(GetParam().expected), 1u);
  EXPECT_EQ(node->detection_funnel().scans(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
  EveryStage, FeatureFunnel,
  ::testing::Values(
    StageCase{"WindowOutsideTheScan", {{"min_angle", 2.0}, {"max_angle", 3.0}}, FunnelStage::kWindowFailed},
    StageCase{"BandAboveThePlates", {{"min_intensity", 253.0}}, FunnelStage::kNoReadingInBand},
    StageCase{"DetectorNeedsMorePoints", {{"min_points_per_line", 100000}}, FunnelStage::kFewerThanTwoSegments},
    StageCase{"DefaultLengthLimits", {{"min_line_len", 0.1}, {"max_line_len", 0.07}},
      FunnelStage::kNoPairInLengthWindow},
    StageCase{"NoGapIsSmallEnough", {{"points_max_distance", 0.0}}, FunnelStage::kNoPairNearEnough},
    StageCase{"TargetAngleTooSharp", {{"target_angle", 0.5}, {"angle_error", 0.1}}, FunnelStage::kNoPairAtAngle},
    StageCase{"Deployment", {}, FunnelStage::kFound}),
  [](const ::testing::TestParamInfo<StageCase> & info) {return std::string(info.param.name);});

TEST(FeatureFunnelGate, ADisabledNodeRecordsItsScansAsDisabled)
{
  align_test::NodeHarness harness;
  auto node = harness.start<FeatureNode>();
  harness.publish("align_enable", feature_test::make_align(0));
  const auto scan = feature_test::make_empty_scan(kLaserFrame);
  // Scans may overtake the enable message; keep sending until one is refused.
  ASSERT_TRUE(harness.spin_until([&] {
      harness.publish("back_scan", scan);
      return node->detection_funnel().count(FunnelStage::kDisabled) > 0;
    }));
  const std::uint64_t before = node->detection_funnel().scans();
  harness.publish("back_scan", scan);
  ASSERT_TRUE(harness.spin_until([&] {return node->detection_funnel().scans() > before;}));
  EXPECT_EQ(node->detection_funnel().last(), FunnelStage::kDisabled);
  harness.release_node();
  node.reset();
  EXPECT_TRUE(align_model::StaticFrameListener::wait_for_workers(std::chrono::seconds(3)));
}

}  // namespace
