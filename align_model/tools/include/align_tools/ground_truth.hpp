#ifndef ALIGN_TOOLS__GROUND_TRUTH_HPP_
#define ALIGN_TOOLS__GROUND_TRUTH_HPP_

#include <string>
#include <vector>

#include "align_tools/scan_simulator.hpp"
#include "builtin_interfaces/msg/time.hpp"

namespace align_tools
{

// Where the simulated target really was in one scan: its corner and heading
// (into the opening) in the laser frame and in the base frame.
struct TruthEntry
{
  builtin_interfaces::msg::Time stamp;
  Pose2D laser;
  Pose2D base;
};

struct GroundTruth
{
  std::string laser_frame;
  Pose2D mount;  // the laser in the base frame
  std::vector<TruthEntry> scans;
};

// JSON with %.17g numbers:
// {"laser_frame": ..., "mount": {"x","y","yaw"}, "scans": [{"index", "stamp": {"sec","nanosec"},
//  "laser": {"x","y","heading"}, "base": {"x","y","heading"}}, ...]}
std::string ground_truth_json(const GroundTruth & truth);

// Reads what ground_truth_json wrote; throws RecordingError naming the file.
GroundTruth read_ground_truth(const std::string & path);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__GROUND_TRUTH_HPP_
