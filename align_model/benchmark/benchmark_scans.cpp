// The scans every benchmark runs on, loaded once per process.
#include "benchmark_scans.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

#include "align_tools/recording.hpp"

namespace align_benchmark
{
namespace
{

align_model::RangeIntensityBand approach_band()
{
  align_model::RangeIntensityBand band;
  band.min_range = 0.05;
  band.max_range = 2.0;
  band.min_intensity = 250.0;
  band.max_intensity = 255.0;
  return band;
}

const sensor_msgs::msg::LaserScan & middle_scan_of(const std::string & path)
{
  // A map, so that references handed out stay valid as recordings are added.
  static std::map<std::string, sensor_msgs::msg::LaserScan> cache;
  const auto known = cache.find(path);
  if (known != cache.end()) {
    return known->second;
  }
  const align_tools::Recording recording = align_tools::load_recording(path);
  if (recording.scans.empty()) {
    throw std::runtime_error("no scans in " + path);
  }
  return cache.emplace(path, recording.scans[recording.scans.size() / 2]).first->second;
}

}  // namespace

sensor_msgs::msg::LaserScan resample(const sensor_msgs::msg::LaserScan & scan, std::size_t readings)
{
  sensor_msgs::msg::LaserScan out = scan;
  const std::size_t source = scan.ranges.size();
  if (source < 2 || readings < 2) {
    return out;
  }
  const double span = static_cast<double>(scan.angle_increment) * static_cast<double>(source - 1);
  out.angle_increment = static_cast<float>(span / static_cast<double>(readings - 1));
  out.angle_max = static_cast<float>(static_cast<double>(scan.angle_min) + span);
  out.ranges.assign(readings, 0.0f);
  out.intensities.assign(scan.intensities.empty() ? 0 : readings, 0.0f);
  for (std::size_t i = 0; i < readings; ++i) {
    const double position = static_cast<double>(i) * static_cast<double>(source - 1) /
      static_cast<double>(readings - 1);
    const std::size_t nearest = std::min(source - 1, static_cast<std::size_t>(std::lround(position)));
    out.ranges[i] = scan.ranges[nearest];
    if (!out.intensities.empty() && nearest < scan.intensities.size()) {
      out.intensities[i] = scan.intensities[nearest];
    }
  }
  return out;
}

BenchmarkScan approach_scan(std::size_t readings)
{
  BenchmarkScan result;
  result.name = "approach_" + std::to_string(readings);
  result.scan = resample(middle_scan_of(ALIGN_MODEL_SOURCE_DIR "/data/docking_approach"), readings);
  result.band = approach_band();
  return result;
}

BenchmarkScan real_scan(std::size_t readings)
{
  BenchmarkScan result;
  result.name = "real_" + std::to_string(readings);
  result.band = approach_band();
  result.band.min_intensity = 3000.0;
  result.band.max_intensity = 100000.0;
  try {
    result.scan = resample(middle_scan_of(ALIGN_MODEL_REAL_DATA_DIR "/reflcal_ref_1111.bag"), readings);
  } catch (const std::exception &) {
    // Without the shared data folder the real rows are skipped.
    result.scan = sensor_msgs::msg::LaserScan();
  }
  return result;
}

BenchmarkScan worst_case_scan(std::size_t readings)
{
  BenchmarkScan result;
  result.name = "worst_" + std::to_string(readings);
  result.band = approach_band();
  sensor_msgs::msg::LaserScan & scan = result.scan;
  scan.header.frame_id = "back_laser";
  scan.angle_min = -2.35619449f;
  scan.angle_max = 2.35619449f;
  scan.angle_increment = readings > 1 ? static_cast<float>(4.71238898 / static_cast<double>(readings - 1)) : 0.0f;
  scan.range_min = 0.02f;
  scan.range_max = 30.0f;
  scan.ranges.resize(readings);
  scan.intensities.assign(readings, 252.0f);
  // A tooth of 12 readings, 9 cm deep: two short legs per tooth, each deep
  // enough to be split off and long enough for the detector to keep it.
  constexpr std::size_t kTooth = 12;
  for (std::size_t i = 0; i < readings; ++i) {
    const std::size_t phase = i % kTooth;
    const std::size_t rise = phase < kTooth / 2 ? phase : kTooth - phase;
    scan.ranges[i] = 1.0f + 0.015f * static_cast<float>(rise);
  }
  return result;
}

}  // namespace align_benchmark
