#ifndef ALIGN_MODEL__DETECTION_FUNNEL_HPP_
#define ALIGN_MODEL__DETECTION_FUNNEL_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace align_model
{

// The stage at which one scan left the detection pipeline, in pipeline order.
// Every scan that reaches a node's scan callback ends at exactly one of them.
enum class FunnelStage : std::uint8_t
{
  kDisabled,  // the enable flag was false
  kNoTransform,  // no stored laser-to-frame transform (feature program)
  kWindowFailed,  // the angle window could not be cut out of the scan
  kNoReadingInBand,  // no reading inside the range and intensity bands
  kFewerThanTwoSegments,  // the line detector returned fewer than two segments
  kNoPairInLengthWindow,  // fewer than two segments inside min_line_len..max_line_len
  kNoPairNearEnough,  // no pair of those with facing ends closer than points_max_distance
  kNoPairAtAngle,  // no near pair passed the angle test and gave a corner
  kFound,  // a target pose was published
};

constexpr std::size_t kFunnelStageCount = 9;

// All stages in pipeline order, for tables.
constexpr std::array<FunnelStage, kFunnelStageCount> kFunnelStages = {
  FunnelStage::kDisabled, FunnelStage::kNoTransform, FunnelStage::kWindowFailed,
  FunnelStage::kNoReadingInBand, FunnelStage::kFewerThanTwoSegments,
  FunnelStage::kNoPairInLengthWindow, FunnelStage::kNoPairNearEnough,
  FunnelStage::kNoPairAtAngle, FunnelStage::kFound};

// Readable name ("no reading in the band"); never null.
const char * funnel_stage_name(FunnelStage stage);

// How far the pairs of one scan's segments got in a pair search.
struct PairCounts
{
  int in_length_window = 0;  // pairs whose segments both have an admissible length
  int near = 0;  // of those, pairs whose facing ends are near enough
  int at_angle = 0;  // of those, pairs that passed the angle test
};

// The stage of a scan that passed the gates and the window: decided by the
// sizes of the point and segment lists, the pair search's counts and whether
// a pose came out. A pair that passed the angle test without giving a pose
// (parallel legs, a corner facing away) counts as "no pair at the angle".
FunnelStage stage_after_search(std::size_t points, std::size_t segments, const PairCounts & pairs, bool found);

// Scans per stage since start-up, and the stage of the latest scan.
class DetectionFunnel
{
public:
  void record(FunnelStage stage);

  std::uint64_t count(FunnelStage stage) const;
  std::uint64_t scans() const {return scans_;}
  std::optional<FunnelStage> last() const {return last_;}
  // The stage other than kFound with the most scans (the earliest one among
  // equals); empty when every scan was found or none was recorded.
  std::optional<FunnelStage> dominant_miss() const;

private:
  std::array<std::uint64_t, kFunnelStageCount> counts_{};
  std::uint64_t scans_ = 0;
  std::optional<FunnelStage> last_;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__DETECTION_FUNNEL_HPP_
