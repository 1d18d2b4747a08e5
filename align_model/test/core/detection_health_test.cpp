// The rules of the runtime diagnostics, on a clock the test sets.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "align_model/detection_health.hpp"

namespace
{

using align_model::DetectionFunnel;
using align_model::DetectionHealth;
using align_model::FunnelStage;
using align_model::HealthLevel;

std::map<std::string, std::string> values_of(const align_model::HealthReport & report)
{
  std::map<std::string, std::string> values;
  for (const auto & entry : report.values) {
    values[entry.first] = entry.second;
  }
  return values;
}

// Scans at 10 Hz from `from` to `to` (exclusive), all ending at `stage`.
void feed(DetectionHealth & health, DetectionFunnel & funnel, double from, double to, FunnelStage stage)
{
  for (int k = 0; from + 0.1 * k < to - 1e-9; ++k) {
    health.record(from + 0.1 * k, stage);
    funnel.record(stage);
  }
}

TEST(DetectionHealth, OkWhileTargetsAreFoundWithTheRateAndTheKeys)
{
  DetectionHealth health(100.0);
  DetectionFunnel funnel;
  feed(health, funnel, 100.0, 103.0, FunnelStage::kFound);
  const auto report = health.report(103.0, true, funnel);
  EXPECT_EQ(report.level, HealthLevel::kOk);
  EXPECT_EQ(report.message, "target found");
  const auto values = values_of(report);
  EXPECT_EQ(values.at("enabled"), "true");
  EXPECT_EQ(values.at("scans in the last second"), "10");
  EXPECT_EQ(values.at("detection rate over the last 5 s"), "1.000");
  EXPECT_EQ(values.at("seconds since the last pose"), "0.1");
  EXPECT_EQ(values.at("funnel: found"), "30");
  EXPECT_EQ(values.at("funnel: no transform"), "0");
  // enabled, scans, rate, last pose, then one key per funnel stage
  EXPECT_EQ(report.values.size(), 4u + align_model::kFunnelStageCount);
  EXPECT_EQ(report.values.front().first, "enabled");
}

TEST(DetectionHealth, WarnsWithTheFunnelStageWhenScansArriveButNoTargetForAWhile)
{
  DetectionHealth health(0.0);
  DetectionFunnel funnel;
  feed(health, funnel, 0.0, 1.0, FunnelStage::kFound);
  feed(health, funnel, 1.0, 4.0, FunnelStage::kNoPairInLengthWindow);
  // The last pose is 2.1 s old at 3.0 s.
  const auto report = health.report(3.0, true, funnel);
  EXPECT_EQ(report.level, HealthLevel::kWarn);
  EXPECT_EQ(report.message, align_model::funnel_stage_name(FunnelStage::kNoPairInLengthWindow));
  const auto values = values_of(report);
  EXPECT_EQ(values.at("seconds since the last pose"), "2.1");
  EXPECT_EQ(values.at("funnel: no segment pair in the length window"), "30");
  // Less than 2 s after the last pose it is still OK.
  DetectionHealth fresh(0.0);
  DetectionFunnel other;
  feed(fresh, other, 0.0, 1.0, FunnelStage::kFound);
  feed(fresh, other, 1.0, 2.0, FunnelStage::kNoPairNearEnough);
  EXPECT_EQ(fresh.report(2.0, true, other).level, HealthLevel::kOk);
}

TEST(DetectionHealth, NeverFoundWarnsOnceTheStartIsTwoSecondsAgo)
{
  DetectionHealth health(0.0);
  DetectionFunnel funnel;
  feed(health, funnel, 0.0, 1.5, FunnelStage::kNoReadingInBand);
  const auto early = health.report(1.5, true, funnel);
  EXPECT_EQ(early.level, HealthLevel::kOk);
  EXPECT_EQ(early.message, "waiting for a target");
  EXPECT_EQ(values_of(early).at("seconds since the last pose"), "never");
  feed(health, funnel, 1.5, 2.5, FunnelStage::kNoReadingInBand);
  const auto later = health.report(2.5, true, funnel);
  EXPECT_EQ(later.level, HealthLevel::kWarn);
  EXPECT_EQ(later.message, "no reading in the band");
}

TEST(DetectionHealth, NoScansForTwoSecondsWarnsNoScans)
{
  DetectionHealth health(0.0);
  DetectionFunnel funnel;
  EXPECT_EQ(health.report(1.9, true, funnel).level, HealthLevel::kOk);
  const auto silent_from_start = health.report(2.0, true, funnel);
  EXPECT_EQ(silent_from_start.level, HealthLevel::kWarn);
  EXPECT_EQ(silent_from_start.message, "no scans");
  EXPECT_EQ(values_of(silent_from_start).at("detection rate over the last 5 s"), "n/a");

  feed(health, funnel, 2.0, 3.0, FunnelStage::kFound);
  EXPECT_EQ(health.report(3.0, true, funnel).level, HealthLevel::kOk);
  const auto stopped = health.report(5.0, true, funnel);
  EXPECT_EQ(stopped.level, HealthLevel::kWarn);
  EXPECT_EQ(stopped.message, "no scans");
  EXPECT_EQ(values_of(stopped).at("scans in the last second"), "0");
}

TEST(DetectionHealth, DisabledIsOkWhateverTheScansDo)
{
  DetectionHealth health(0.0);
  DetectionFunnel funnel;
  feed(health, funnel, 0.0, 3.0, FunnelStage::kDisabled);
  const auto report = health.report(10.0, false, funnel);
  EXPECT_EQ(report.level, HealthLevel::kOk);
  EXPECT_EQ(report.message, "disabled");
  const auto values = values_of(report);
  EXPECT_EQ(values.at("enabled"), "false");
  EXPECT_EQ(values.at("funnel: disabled"), "30");
}

TEST(DetectionHealth, TheRateCoversTheLastFiveSecondsOnly)
{
  DetectionHealth health(0.0);
  DetectionFunnel funnel;
  feed(health, funnel, 0.0, 5.0, FunnelStage::kNoPairAtAngle);
  feed(health, funnel, 5.0, 10.0, FunnelStage::kFound);
  feed(health, funnel, 10.0, 12.5, FunnelStage::kNoPairAtAngle);
  // 7.5..12.5: 25 found and 25 missed.
  EXPECT_EQ(values_of(health.report(12.5, true, funnel)).at("detection rate over the last 5 s"), "0.500");
}

}  // namespace
