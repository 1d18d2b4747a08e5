// The plugin's cost inside the docking server: a request that processes a
// new scan (the pipeline, the region and the transforms), and one that
// finds the scan already processed (the control loop runs faster than the
// laser). Both programs; 0.5 and 0.25 degree lasers; the search region on
// and off.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "align_nav2_dock/laser_v_dock_logic.hpp"
#include "v_target_scene.hpp"

namespace
{

using align_nav2_dock::DetectorVariant;
using align_nav2_dock::PlanarPose;

constexpr double kPi = 3.141592653589793;
constexpr double kScanPeriod = 0.04;
constexpr int kDistinctScans = 32;

align_tools::ScannerModel scanner_with_step(double step_degrees, double range_noise)
{
  align_tools::ScannerModel scanner;
  scanner.angle_increment = static_cast<float>(step_degrees * kPi / 180.0);
  scanner.count = static_cast<int>(std::lround(270.0 / step_degrees)) + 1;
  scanner.range_noise = range_noise;
  return scanner;
}

struct Setup
{
  std::unique_ptr<align_nav2_dock::LaserVDockLogic> logic;
  std::vector<std::shared_ptr<const sensor_msgs::msg::LaserScan>> scans;
  PlanarPose expected_dock;
  align_nav2_dock::FrameLookups lookups;
};

// The robot 0.9 m out of the target, approaching; a new scan every 40 ms.
Setup make_setup(DetectorVariant variant, double step_degrees, double search_radius)
{
  Setup setup;
  align_nav2_dock::LaserVDockSettings settings;
  settings.detector = v_target_scene::scene_settings(variant);
  settings.detection_to_dock = align_nav2_dock::DetectionToDock{-0.40, 0.0, kPi};
  settings.search_radius = search_radius;
  setup.logic = std::make_unique<align_nav2_dock::LaserVDockLogic>(settings);
  const PlanarPose corner{-0.9, 0.02, 0.05};
  setup.expected_dock = align_nav2_dock::dock_from_detection(settings.detection_to_dock, corner);
  const align_tools::ScannerModel scanner = scanner_with_step(step_degrees, 0.003);
  for (int i = 0; i < kDistinctScans; ++i) {
    setup.scans.push_back(
      std::make_shared<const sensor_msgs::msg::LaserScan>(
        v_target_scene::scan_of({corner}, 100.0 + kScanPeriod * i, scanner, 1 + i)));
  }
  setup.lookups.laser_to_base = [](const std::string &) {return std::optional(v_target_scene::laser_to_base());};
  setup.lookups.base_in_fixed = [](const builtin_interfaces::msg::Time &) {return std::optional(PlanarPose{});};
  setup.logic->request(100.0);
  return setup;
}

void label(benchmark::State & state, DetectorVariant variant, double step_degrees, double search_radius)
{
  state.SetLabel(
    std::string(variant == DetectorVariant::kFeature ? "feature" : "line") + ", " +
    std::to_string(state.range(0) == 0 ? 541 : 1081) + " readings, search region " +
    (search_radius > 0.0 ? "0.5 m" : "off") + ", step " + std::to_string(step_degrees).substr(0, 4) + " deg");
}

// Every request finds a new scan.
void new_scan(benchmark::State & state, DetectorVariant variant, double search_radius)
{
  const double step = state.range(0) == 0 ? 0.5 : 0.25;
  Setup setup = make_setup(variant, step, search_radius);
  std::size_t index = 0;
  double time = 100.0;
  std::string problem;
  for (auto _ : state) {
    // Outside the measurement: a fresh copy with a fresh stamp, as a
    // subscription hands the plugin each scan.
    state.PauseTiming();
    auto scan = std::make_shared<sensor_msgs::msg::LaserScan>(*setup.scans[index % setup.scans.size()]);
    const std::int64_t nanoseconds = std::llround(time * 1e9);
    scan->header.stamp.sec = static_cast<std::int32_t>(nanoseconds / 1000000000);
    scan->header.stamp.nanosec = static_cast<std::uint32_t>(nanoseconds % 1000000000);
    setup.logic->on_scan(scan);
    state.ResumeTiming();
    const align_nav2_dock::Refinement refined = setup.logic->refine(time, setup.expected_dock, setup.lookups);
    if (!refined.dock && problem.empty()) {
      problem = refined.problem;
    }
    benchmark::DoNotOptimize(refined);
    ++index;
    time += kScanPeriod;
  }
  if (!problem.empty()) {
    state.SkipWithError(("a scan gave no dock pose: " + problem).c_str());
    return;
  }
  label(state, variant, step, search_radius);
}

// The control loop asks again before the next scan.
void same_scan(benchmark::State & state, DetectorVariant variant)
{
  Setup setup = make_setup(variant, 0.5, 0.5);
  setup.logic->on_scan(setup.scans.front());
  setup.logic->refine(100.0, setup.expected_dock, setup.lookups);
  for (auto _ : state) {
    benchmark::DoNotOptimize(setup.logic->refine(100.01, setup.expected_dock, setup.lookups));
  }
}

void register_benchmarks()
{
  for (DetectorVariant variant : {DetectorVariant::kFeature, DetectorVariant::kLine}) {
    const std::string name = variant == DetectorVariant::kFeature ? "feature" : "line";
    for (double radius : {0.5, 0.0}) {
      benchmark::RegisterBenchmark(
        ("NewScan/" + name + (radius > 0.0 ? "/region" : "/whole_scan")).c_str(),
        [variant, radius](benchmark::State & state) {new_scan(state, variant, radius);})
      ->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark(
      ("SameScan/" + name).c_str(), [variant](benchmark::State & state) {same_scan(state, variant);})
    ->Unit(benchmark::kNanosecond);
  }
}

const bool registered = (register_benchmarks(), true);

}  // namespace
