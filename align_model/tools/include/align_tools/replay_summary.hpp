#ifndef ALIGN_TOOLS__REPLAY_SUMMARY_HPP_
#define ALIGN_TOOLS__REPLAY_SUMMARY_HPP_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_tools/scan_simulator.hpp"

namespace align_tools
{

// What happened to one scan fed to the node.
struct ScanOutcome
{
  bool processed = false;  // the node's scan callback ran
  bool dropped_at_transform = false;  // ended at the transform gate
  std::optional<Pose2D> pose;  // the published pose (heading from position.z)
  double seconds = 0.0;  // from publishing the scan until its callback returned
  std::optional<align_model::FunnelStage> stage;  // where the node's pipeline left the scan
};

struct Spread
{
  double mean = 0.0;
  double deviation = 0.0;  // population standard deviation
};

struct ReplaySummary
{
  std::size_t scans_read = 0;
  std::size_t scans_processed = 0;
  std::size_t dropped_at_transform = 0;
  std::size_t poses = 0;
  double detection_rate = 0.0;  // poses / scans read
  Spread x, y, heading;  // heading: circular mean, deviations wrapped around it
  double median_seconds = 0.0;
  double worst_seconds = 0.0;
};

ReplaySummary summarize(const std::vector<ScanOutcome> & outcomes);

// Human-readable lines for stderr.
std::string format_summary(const ReplaySummary & summary);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__REPLAY_SUMMARY_HPP_
