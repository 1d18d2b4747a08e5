#ifndef ALIGN_TOOLS__SIMULATED_RECORDING_HPP_
#define ALIGN_TOOLS__SIMULATED_RECORDING_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "align_tools/ground_truth.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/scan_simulator.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// A simulated approach: the target's pose in the laser frame goes from
// `from` to `to` over `scans` scans, `period_ns` apart from `start_ns`.
struct ApproachPlan
{
  Pose2D from{1.5, 0.0, 3.141592653589793};
  Pose2D to{1.5, 0.0, 3.141592653589793};
  int scans = 1;
  std::int64_t start_ns = 1700000000000000000;
  std::int64_t period_ns = 100000000;
};

struct SimulatedRecording
{
  std::vector<sensor_msgs::msg::LaserScan> scans;
  GroundTruth truth;
};

SimulatedRecording simulate_approach(const SimulationConfig & config, const ApproachPlan & plan);

// The scans as a recording the replay takes (path "simulated").
Recording as_recording(const SimulatedRecording & simulated);

// Writes the scans (and, when `with_mount_transform`, a /tf_static message
// with the laser mount below `base_frame`) as a rosbag2 folder (sqlite3
// storage, as Humble records).
void write_simulated_bag(
  const std::string & folder, const std::string & topic, const SimulatedRecording & recording,
  bool with_mount_transform, const std::string & base_frame);

// The same messages as one MCAP file with zstd chunks (as Jazzy records).
void write_simulated_mcap(
  const std::string & path, const std::string & topic, const SimulatedRecording & recording,
  bool with_mount_transform, const std::string & base_frame);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SIMULATED_RECORDING_HPP_
