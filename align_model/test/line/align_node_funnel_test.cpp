// The line program records where each scan left its pipeline.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_model_node/align_node.hpp"
#include "line/line_test_support.hpp"

namespace
{

using align_model::FunnelStage;

struct LineStageCase
{
  const char * name;
  std::vector<rclcpp::Parameter> overrides;
  bool narrow_scan;  // covers only +-45 degrees, so the fixed window fails
  FunnelStage expected;
};

class LineFunnel : public ::testing::TestWithParam<LineStageCase>
{
protected:
  align_test::LogCapture log_;
  align_test::NodeHarness harness_;
};

TEST_P(LineFunnel, StopsWhereBuiltTo)
{
  align_line_test::enable_debug_logging();
  // The case's own values come last, so that they win over the plate limits.
  auto overrides = align_line_test::plate_overrides();
  for (const auto & parameter : GetParam().overrides) {
    overrides.push_back(parameter);
  }
  auto node = harness_.start<align_node::AlignNode>(overrides);
  const auto scan = GetParam().narrow_scan ?
    align_line_test::make_empty_scan(static_cast<float>(-align_line_test::kPi / 4.0),
    static_cast<float>(align_line_test::degrees(0.25)), 361) :
    align_line_test::make_v_target_scan();
  ASSERT_TRUE(align_line_test::process_scan(harness_, log_, scan));
  EXPECT_EQ(node->detection_funnel().scans(), 1u);
  EXPECT_EQ(node->detection_funnel().last(), GetParam().expected);
  EXPECT_EQ(node->detection_funnel().count(GetParam().expected), 1u);
}

INSTANTIATE_TEST_SUITE_P(
  EveryStage, LineFunnel,
  ::testing::Values(
    LineStageCase{"WindowOutsideTheScan", {}, true, FunnelStage::kWindowFailed},
    LineStageCase{"BandAboveThePlates", {{"min_intensity", 253.0}}, false, FunnelStage::kNoReadingInBand},
    LineStageCase{"DetectorNeedsMorePoints", {{"min_points_per_line", 100000}}, false,
      FunnelStage::kFewerThanTwoSegments},
    LineStageCase{"PlatesShorterThanTheWindow", {{"min_line_len", 0.35}}, false, FunnelStage::kNoPairInLengthWindow},
    LineStageCase{"NoGapIsSmallEnough", {{"points_max_distance", 0.0}}, false, FunnelStage::kNoPairNearEnough},
    LineStageCase{"WrongTargetAngle", {{"target_angle", 0.5}, {"angle_error", 0.1}}, false,
      FunnelStage::kNoPairAtAngle},
    LineStageCase{"Deployment", {}, false, FunnelStage::kFound}),
  [](const ::testing::TestParamInfo<LineStageCase> & info) {return std::string(info.param.name);});

}  // namespace
