// What a recording of a still scanner says about its noise: each beam's
// mean and spread of range over the scans, and the typical spread by range.
// Calibrates the simulator's scanner profiles against real recordings.
#ifndef ALIGN_TOOLS__BEAM_STATISTICS_HPP_
#define ALIGN_TOOLS__BEAM_STATISTICS_HPP_

#include <cstddef>
#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

struct BeamStatistics
{
  std::size_t beam = 0;
  std::size_t samples = 0;
  double mean_range = 0.0;
  double sd_range = 0.0;
  // A neighbour's mean range differs by more than 3 cm, or a neighbour has
  // no valid range: the beam may jump between two surfaces (mixed pixels),
  // which says nothing of the sensor's noise.
  bool at_depth_edge = true;
  double mean_intensity = 0.0;
};

// Every beam that gives a valid range (finite, inside the scan's range
// limits) in at least `min_valid_share` of the scans. Scans of another beam
// count than the first are left out.
std::vector<BeamStatistics> static_beam_statistics(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, double min_valid_share = 0.95);

struct NoiseBin
{
  double range_from = 0.0;
  double range_to = 0.0;
  std::size_t beams = 0;
  // The median sd of the bin's beams away from depth edges: moving things and
  // flat-on returns still give a few beams a spread far above the sensor's
  // own, and the median ignores them.
  double median_sd = 0.0;
};

// Beams away from depth edges with a mean intensity in [min_intensity, max_intensity), binned by
// mean range in steps of `bin_width` from 0 to `max_range`; empty bins are
// left out.
std::vector<NoiseBin> noise_by_range(
  const std::vector<BeamStatistics> & beams, double bin_width, double max_range,
  double min_intensity, double max_intensity);

// The median sd of the beams away from depth edges with a mean range below `max_range` and a
// mean intensity in [min_intensity, max_intensity); 0 when there are none.
double median_spread(
  const std::vector<BeamStatistics> & beams, double max_range, double min_intensity, double max_intensity);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__BEAM_STATISTICS_HPP_
