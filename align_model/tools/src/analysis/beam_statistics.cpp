#include "align_tools/beam_statistics.hpp"

#include <algorithm>
#include <cmath>

#include "align_tools/near_miss.hpp"

namespace align_tools
{
namespace
{

bool valid_range(const sensor_msgs::msg::LaserScan & scan, float range)
{
  return std::isfinite(range) && range >= scan.range_min && range <= scan.range_max;
}


bool in_band(const BeamStatistics & beam, double min_intensity, double max_intensity)
{
  return !beam.at_depth_edge && beam.mean_intensity >= min_intensity && beam.mean_intensity < max_intensity;
}

constexpr double kDepthEdge = 0.03;

// `beams` in beam order, valid beams only.
void mark_depth_edges(std::vector<BeamStatistics> & beams)
{
  for (std::size_t k = 0; k < beams.size(); ++k) {
    const bool left = k > 0 && beams[k - 1].beam + 1 == beams[k].beam &&
      std::fabs(beams[k - 1].mean_range - beams[k].mean_range) < kDepthEdge;
    const bool right = k + 1 < beams.size() && beams[k + 1].beam == beams[k].beam + 1 &&
      std::fabs(beams[k + 1].mean_range - beams[k].mean_range) < kDepthEdge;
    beams[k].at_depth_edge = !(left && right);
  }
}

}  // namespace

std::vector<BeamStatistics> static_beam_statistics(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, double min_valid_share)
{
  std::vector<BeamStatistics> beams;
  if (scans.empty()) {
    return beams;
  }
  const std::size_t count = scans.front().ranges.size();
  std::vector<double> sum(count, 0.0), sum_squares(count, 0.0), intensity(count, 0.0);
  std::vector<std::size_t> samples(count, 0);

  std::size_t used_scans = 0;
  for (const auto & scan : scans) {
    if (scan.ranges.size() != count) {
      continue;
    }
    ++used_scans;
    const bool has_intensities = scan.intensities.size() == count;
    for (std::size_t i = 0; i < count; ++i) {
      if (!valid_range(scan, scan.ranges[i])) {
        continue;
      }
      const double range = scan.ranges[i];
      sum[i] += range;
      sum_squares[i] += range * range;
      intensity[i] += has_intensities ? scan.intensities[i] : 0.0;
      ++samples[i];
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (samples[i] < 2 || static_cast<double>(samples[i]) < min_valid_share * static_cast<double>(used_scans)) {
      continue;
    }
    const double n = static_cast<double>(samples[i]);
    const double mean = sum[i] / n;
    const double variance = std::max(0.0, (sum_squares[i] - n * mean * mean) / (n - 1.0));
    beams.push_back({i, samples[i], mean, std::sqrt(variance), true, intensity[i] / n});
  }
  mark_depth_edges(beams);
  return beams;
}

std::vector<NoiseBin> noise_by_range(
  const std::vector<BeamStatistics> & beams, double bin_width, double max_range,
  double min_intensity, double max_intensity)
{
  std::vector<NoiseBin> bins;
  if (!(bin_width > 0.0) || !(max_range > 0.0)) {
    return bins;
  }
  const auto bin_count = static_cast<std::size_t>(std::ceil(max_range / bin_width));
  std::vector<std::vector<double>> spreads(bin_count);
  for (const auto & beam : beams) {
    if (beam.mean_range < max_range && in_band(beam, min_intensity, max_intensity)) {
      const auto bin = std::min(bin_count - 1, static_cast<std::size_t>(beam.mean_range / bin_width));
      spreads[bin].push_back(beam.sd_range);
    }
  }
  for (std::size_t k = 0; k < bin_count; ++k) {
    if (!spreads[k].empty()) {
      bins.push_back({k * bin_width, (k + 1) * bin_width, spreads[k].size(), spread_of(spreads[k]).median});
    }
  }
  return bins;
}

double median_spread(
  const std::vector<BeamStatistics> & beams, double max_range, double min_intensity, double max_intensity)
{
  std::vector<double> spreads;
  for (const auto & beam : beams) {
    if (beam.mean_range < max_range && in_band(beam, min_intensity, max_intensity)) {
      spreads.push_back(beam.sd_range);
    }
  }
  return spread_of(spreads).median;
}

}  // namespace align_tools
