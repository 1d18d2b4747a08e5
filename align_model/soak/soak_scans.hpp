#ifndef SOAK__SOAK_SCANS_HPP_
#define SOAK__SOAK_SCANS_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "program_rig.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_soak
{

// What a scan holds, for the per-kind counts of the report.
enum class ScanKind
{
  kTarget,  // the docking target in view, within the detection limits
  kNoTarget,  // no detectable target: out of range, dull plates, wrong opening, only clutter
  kMalformed,  // broken input the programs must survive: empty, NaN, mismatched arrays, ...
};
constexpr std::size_t kScanKinds = 3;

const char * kind_name(ScanKind kind);

struct SoakScan
{
  std::string name;  // e.g. "approach_1081_e4_s7", "malformed_empty"
  ScanKind kind = ScanKind::kTarget;
  sensor_msgs::msg::LaserScan scan;
};

// The laser frame that the mount transform is published for.
constexpr char kLaserFrame[] = "back_laser";
using align_rig::kBaseFrame;
// The laser in the base frame, as in the bundled approach.
using align_rig::kMountX;
using align_rig::kMountY;
using align_rig::kMountYaw;

// The scans of one soak cycle, in playback order: approach episodes on
// lasers of 360, 1081 and 3600 readings with varied plates, openings,
// noise, dropouts, NaN readings, walls and clutter, each followed by scans
// without a detectable target and one malformed scan, so that the target
// keeps appearing and vanishing. The same seed gives the same scans.
std::vector<SoakScan> build_soak_scans(std::uint64_t seed);

}  // namespace align_soak

#endif  // SOAK__SOAK_SCANS_HPP_
