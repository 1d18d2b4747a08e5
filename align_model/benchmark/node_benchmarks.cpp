// Whole scan callbacks, each against the floor of the same scan.
#include "node_benchmarks.hpp"

#include <benchmark/benchmark.h>

#include <exception>
#include <string>

#include "floor_work.hpp"
#include "measurement.hpp"
#include "node_rig.hpp"

namespace align_benchmark
{
namespace
{

constexpr double kMinTime = 0.05;

void run_floor(benchmark::State & state, const BenchmarkScan & input)
{
  std::vector<FloorPoint> points;
  points.reserve(input.scan.ranges.size());
  Measurement measurement;
  measurement.start();
  for (auto _ : state) {
    floor_work(input.scan, input.band, points);
    benchmark::DoNotOptimize(points.data());
    benchmark::ClobberMemory();
  }
  measurement.finish(state, floor_seconds(input.name, input.scan, input.band));
  state.counters["points"] = static_cast<double>(points.size());
}

void run_callback(benchmark::State & state, NodeKind kind, bool debug, const BenchmarkScan & input)
{
  try {
    NodeRig rig(kind, debug, input);
    // One scan outside the loop, so that lazily created state is in place.
    rig.process_scan();
    const std::size_t poses_before = rig.poses_received();
    const double floor = floor_seconds(input.name, input.scan, input.band);
    Measurement measurement;
    measurement.start();
    for (auto _ : state) {
      rig.process_scan();
    }
    measurement.finish(state, floor);
    state.counters["poses"] = static_cast<double>(rig.poses_received() - poses_before) /
      static_cast<double>(state.iterations());
  } catch (const std::exception & error) {
    state.SkipWithError(error.what());
  }
}

const char * node_label(NodeKind kind)
{
  switch (kind) {
    case NodeKind::kFeature:
      return "feature";
    case NodeKind::kLine:
      return "line";
    case NodeKind::kHarnessOnly:
      break;
  }
  return "harness";
}

}  // namespace

void register_callback_benchmarks(const std::vector<BenchmarkScan> & scans)
{
  for (const BenchmarkScan & input : scans) {
    benchmark::RegisterBenchmark(("Floor/" + input.name).c_str(), run_floor, input)->MinTime(kMinTime);
    benchmark::RegisterBenchmark(
      ("Harness/" + input.name).c_str(), run_callback, NodeKind::kHarnessOnly, false, input)
    ->MinTime(kMinTime);
    for (NodeKind kind : {NodeKind::kFeature, NodeKind::kLine}) {
      for (bool debug : {false, true}) {
        const std::string name = std::string("Callback/") + node_label(kind) +
          (debug ? "/debug_on/" : "/debug_off/") + input.name;
        benchmark::RegisterBenchmark(name.c_str(), run_callback, kind, debug, input)->MinTime(kMinTime);
      }
    }
  }
}

void register_callback_scaling()
{
  for (std::size_t readings : {500u, 1000u, 2000u, 5000u, 10000u, 20000u}) {
    for (const BenchmarkScan & input : {approach_scan(readings), worst_case_scan(readings)}) {
      benchmark::RegisterBenchmark(
        ("Scaling/callback/feature/" + input.name).c_str(), run_callback, NodeKind::kFeature, false, input)
      ->MinTime(kMinTime);
      benchmark::RegisterBenchmark(
        ("Scaling/callback/line/" + input.name).c_str(), run_callback, NodeKind::kLine, false, input)
      ->MinTime(kMinTime);
    }
  }
}

}  // namespace align_benchmark
