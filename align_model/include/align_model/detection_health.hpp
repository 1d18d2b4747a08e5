#ifndef ALIGN_MODEL__DETECTION_HEALTH_HPP_
#define ALIGN_MODEL__DETECTION_HEALTH_HPP_

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "align_model/detection_funnel.hpp"

namespace align_model
{

// Levels of the health report; the numbers are those of the diagnostics
// message (OK 0, WARN 1).
enum class HealthLevel : std::uint8_t
{
  kOk = 0,
  kWarn = 1,
};

struct HealthReport
{
  HealthLevel level = HealthLevel::kOk;
  std::string message;
  std::vector<std::pair<std::string, std::string>> values;  // key, value; fixed order
};

// Keeps what the runtime diagnostics report about the recent scans of one
// node. Times are seconds on one monotonic clock, given by the caller, so
// that the rules can be tested without waiting.
//
// Rules of report(), while enabled:
// - no scan for kSilenceSeconds (counted from construction before the first
//   scan): WARN "no scans";
// - a pose within the last kTargetLostSeconds: OK "target found";
// - scans, but no pose for kTargetLostSeconds (since construction if never):
//   WARN with the name of the funnel stage where most of the recent scans
//   stopped;
// - otherwise (just started): OK "waiting for a target".
// While disabled the level is OK with the message "disabled".
class DetectionHealth
{
public:
  static constexpr double kSilenceSeconds = 2.0;
  static constexpr double kTargetLostSeconds = 2.0;
  static constexpr double kRateWindowSeconds = 5.0;

  explicit DetectionHealth(double start_seconds);

  // One scan that ended at `stage` at time `now`.
  void record(double now, FunnelStage stage);

  // The report at time `now`; `funnel` gives the counts since start-up.
  HealthReport report(double now, bool enabled, const DetectionFunnel & funnel);

private:
  void forget_before(double oldest);
  std::string message_while_enabled(double now, HealthLevel & level) const;
  std::optional<FunnelStage> dominant_recent_miss() const;

  double start_;
  std::deque<std::pair<double, FunnelStage>> recent_;  // the last kRateWindowSeconds
  std::optional<double> last_scan_;
  std::optional<double> last_pose_;
};

}  // namespace align_model

#endif  // ALIGN_MODEL__DETECTION_HEALTH_HPP_
