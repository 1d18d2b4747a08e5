#include "align_model/detection_health.hpp"

#include <cstdio>

namespace align_model
{
namespace
{

std::string fixed(double value, int decimals)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

}  // namespace

DetectionHealth::DetectionHealth(double start_seconds)
: start_(start_seconds) {}

void DetectionHealth::record(double now, FunnelStage stage)
{
  recent_.emplace_back(now, stage);
  last_scan_ = now;
  if (stage == FunnelStage::kFound) {
    last_pose_ = now;
  }
  forget_before(now - kRateWindowSeconds);
}

void DetectionHealth::forget_before(double oldest)
{
  while (!recent_.empty() && recent_.front().first < oldest) {
    recent_.pop_front();
  }
}

std::optional<FunnelStage> DetectionHealth::dominant_recent_miss() const
{
  DetectionFunnel recent;
  for (const auto & scan : recent_) {
    recent.record(scan.second);
  }
  return recent.dominant_miss();
}

std::string DetectionHealth::message_while_enabled(double now, HealthLevel & level) const
{
  const double silent_for = now - last_scan_.value_or(start_);
  if (silent_for >= kSilenceSeconds) {
    level = HealthLevel::kWarn;
    return "no scans";
  }
  const double lost_for = now - last_pose_.value_or(start_);
  if (lost_for < kTargetLostSeconds) {
    level = HealthLevel::kOk;
    return last_pose_ ? "target found" : "waiting for a target";
  }
  level = HealthLevel::kWarn;
  const std::optional<FunnelStage> stage = dominant_recent_miss();
  return stage ? funnel_stage_name(*stage) : "no target";
}

HealthReport DetectionHealth::report(double now, bool enabled, const DetectionFunnel & funnel)
{
  forget_before(now - kRateWindowSeconds);
  HealthReport report;
  if (enabled) {
    report.message = message_while_enabled(now, report.level);
  } else {
    report.message = "disabled";
  }

  int last_second = 0;
  int found = 0;
  for (const auto & scan : recent_) {
    last_second += scan.first >= now - 1.0 ? 1 : 0;
    found += scan.second == FunnelStage::kFound ? 1 : 0;
  }
  report.values.emplace_back("enabled", enabled ? "true" : "false");
  report.values.emplace_back("scans in the last second", std::to_string(last_second));
  report.values.emplace_back(
    "detection rate over the last 5 s",
    recent_.empty() ? std::string("n/a") : fixed(static_cast<double>(found) / recent_.size(), 3));
  report.values.emplace_back(
    "seconds since the last pose", last_pose_ ? fixed(now - *last_pose_, 1) : std::string("never"));
  for (const FunnelStage stage : kFunnelStages) {
    report.values.emplace_back(
      std::string("funnel: ") + funnel_stage_name(stage), std::to_string(funnel.count(stage)));
  }
  return report;
}

}  // namespace align_model
