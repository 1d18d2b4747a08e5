#include "align_model/detection_funnel.hpp"

namespace align_model
{

const char * funnel_stage_name(FunnelStage stage)
{
  switch (stage) {
    case FunnelStage::kDisabled: return "disabled";
    case FunnelStage::kNoTransform: return "no transform";
    case FunnelStage::kWindowFailed: return "window failed";
    case FunnelStage::kNoReadingInBand: return "no reading in the band";
    case FunnelStage::kFewerThanTwoSegments: return "fewer than two segments";
    case FunnelStage::kNoPairInLengthWindow: return "no segment pair in the length window";
    case FunnelStage::kNoPairNearEnough: return "no pair near enough";
    case FunnelStage::kNoPairAtAngle: return "no pair at the angle";
    case FunnelStage::kFound: return "found";
  }
  return "unknown";
}

FunnelStage stage_after_search(std::size_t points, std::size_t segments, const PairCounts & pairs, bool found)
{
  if (found) {
    return FunnelStage::kFound;
  }
  if (points == 0) {
    return FunnelStage::kNoReadingInBand;
  }
  if (segments < 2) {
    return FunnelStage::kFewerThanTwoSegments;
  }
  if (pairs.in_length_window == 0) {
    return FunnelStage::kNoPairInLengthWindow;
  }
  if (pairs.near == 0) {
    return FunnelStage::kNoPairNearEnough;
  }
  return FunnelStage::kNoPairAtAngle;
}

void DetectionFunnel::record(FunnelStage stage)
{
  ++counts_[static_cast<std::size_t>(stage)];
  ++scans_;
  last_ = stage;
}

std::uint64_t DetectionFunnel::count(FunnelStage stage) const
{
  return counts_[static_cast<std::size_t>(stage)];
}

std::optional<FunnelStage> DetectionFunnel::dominant_miss() const
{
  std::optional<FunnelStage> dominant;
  for (const FunnelStage stage : kFunnelStages) {
    if (stage == FunnelStage::kFound || count(stage) == 0) {
      continue;
    }
    if (!dominant || count(stage) > count(*dominant)) {
      dominant = stage;
    }
  }
  return dominant;
}

}  // namespace align_model
