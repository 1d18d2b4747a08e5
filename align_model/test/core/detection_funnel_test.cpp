// The detection funnel: the stage decided from the pipeline's sizes and pair
// counts, the per-stage tally, and the pair counts of the line program's
// search.
#include <gtest/gtest.h>

#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_model/target_lines.hpp"
#include "tuw_geometry/linesegment2d.hpp"

namespace
{

using align_model::FunnelStage;
using align_model::PairCounts;
using align_model::stage_after_search;

tuw::LineSegment2D segment(double x0, double y0, double x1, double y1)
{
  tuw::LineSegment2D line;
  line.set(x0, y0, x1, y1);
  return line;
}

TEST(DetectionFunnel, TheFirstMissingIngredientDecidesTheStage)
{
  EXPECT_EQ(stage_after_search(0, 0, PairCounts{}, false), FunnelStage::kNoReadingInBand);
  EXPECT_EQ(stage_after_search(12, 1, PairCounts{}, false), FunnelStage::kFewerThanTwoSegments);
  EXPECT_EQ(stage_after_search(12, 3, PairCounts{0, 0, 0}, false), FunnelStage::kNoPairInLengthWindow);
  EXPECT_EQ(stage_after_search(12, 3, PairCounts{2, 0, 0}, false), FunnelStage::kNoPairNearEnough);
  EXPECT_EQ(stage_after_search(12, 3, PairCounts{2, 1, 0}, false), FunnelStage::kNoPairAtAngle);
  // A pair through the angle test without a pose (parallel legs) is no target.
  EXPECT_EQ(stage_after_search(12, 3, PairCounts{2, 1, 1}, false), FunnelStage::kNoPairAtAngle);
  EXPECT_EQ(stage_after_search(12, 3, PairCounts{2, 1, 1}, true), FunnelStage::kFound);
}

TEST(DetectionFunnel, CountsEveryStageAndNamesTheMostCommonMiss)
{
  align_model::DetectionFunnel funnel;
  EXPECT_FALSE(funnel.dominant_miss());
  EXPECT_FALSE(funnel.last());
  funnel.record(FunnelStage::kFound);
  funnel.record(FunnelStage::kFound);
  funnel.record(FunnelStage::kFound);
  EXPECT_FALSE(funnel.dominant_miss());  // every scan found
  funnel.record(FunnelStage::kNoPairNearEnough);
  funnel.record(FunnelStage::kNoTransform);
  funnel.record(FunnelStage::kNoPairNearEnough);
  EXPECT_EQ(funnel.scans(), 6u);
  EXPECT_EQ(funnel.count(FunnelStage::kFound), 3u);
  EXPECT_EQ(funnel.count(FunnelStage::kNoPairNearEnough), 2u);
  EXPECT_EQ(funnel.count(FunnelStage::kDisabled), 0u);
  EXPECT_EQ(funnel.last(), FunnelStage::kNoPairNearEnough);
  EXPECT_EQ(funnel.dominant_miss(), FunnelStage::kNoPairNearEnough);
  funnel.record(FunnelStage::kNoTransform);
  // Equal counts: the earlier stage of the pipeline is named.
  EXPECT_EQ(funnel.dominant_miss(), FunnelStage::kNoTransform);
}

TEST(DetectionFunnel, EveryStageHasItsOwnName)
{
  std::vector<std::string> names;
  for (const FunnelStage stage : align_model::kFunnelStages) {
    names.emplace_back(align_model::funnel_stage_name(stage));
  }
  EXPECT_EQ(names.front(), "disabled");
  EXPECT_EQ(names.back(), "found");
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = i + 1; j < names.size(); ++j) {
      EXPECT_NE(names[i], names[j]);
    }
  }
}

TEST(DetectionFunnel, TheLineSearchReportsHowFarItsPairsGot)
{
  align_model::TargetLineParameters parameters;
  parameters.min_line_len = 0.15;
  parameters.max_line_len = 0.45;
  parameters.points_max_distance = 0.03;
  // a (0.3 m) touches b at 60 degrees; c is far away; d is too short.
  const std::vector<tuw::LineSegment2D> lines = {
    segment(0.0, 0.0, 0.3, 0.0), segment(0.3, 0.0, 0.45, 0.2598), segment(2.0, 2.0, 2.3, 2.0),
    segment(5.0, 5.0, 5.05, 5.0)};
  PairCounts counts;
  EXPECT_TRUE(align_model::find_target_lines(lines, parameters, {}, &counts));
  EXPECT_EQ(counts.in_length_window, 3);  // a-b, a-c, b-c
  EXPECT_EQ(counts.near, 1);
  EXPECT_EQ(counts.at_angle, 1);

  parameters.target_angle = 0.5;  // 60 degrees is now 31 degrees off
  EXPECT_FALSE(align_model::find_target_lines(lines, parameters, {}, &counts));
  EXPECT_EQ(counts.near, 1);
  EXPECT_EQ(counts.at_angle, 0);
}

}  // namespace
