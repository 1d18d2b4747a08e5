#ifndef ALIGN_TOOLS__NEAR_MISS_HPP_
#define ALIGN_TOOLS__NEAR_MISS_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_tools/scan_analysis.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// Smallest, median and largest of a list of values.
struct ValueSpread
{
  std::size_t count = 0;
  double min = 0.0;
  double median = 0.0;
  double max = 0.0;
};

ValueSpread spread_of(std::vector<double> values);

// The scans to explain: the scans that stopped at `stage`, as the node
// recorded it.
struct MissedScans
{
  align_model::FunnelStage stage = align_model::FunnelStage::kFound;
  std::vector<const sensor_msgs::msg::LaserScan *> scans;
};

// Readable "near miss:" lines for the stage where most scans stopped: by how
// much the scans miss, and which parameter decides it. Empty for kFound.
std::vector<std::string> near_miss_lines(const MissedScans & missed, const AnalysisSettings & settings);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__NEAR_MISS_HPP_
