// The pipeline's stages one at a time. Each stage gets the input that the
// stages before it produce on the same scan, prepared outside the loop.
#include "stage_benchmarks.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "align_model/corner_search.hpp"
#include "align_model/feature_manager.hpp"
#include "align_model/scan_points.hpp"
#include "align_model/segment_refit.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "align_model/target_lines.hpp"
#include "align_model/target_messages.hpp"
#include "floor_work.hpp"
#include "measurement.hpp"
#include "tuw_geometry/linesegment2d_detector.hpp"

namespace align_benchmark
{
namespace
{

constexpr double kMinTime = 0.05;

tuw::LineSegment2DDetectorParameter detector_parameters()
{
  // The node's defaults, with the split threshold of the bundled approach.
  tuw::LineSegment2DDetectorParameter parameters;
  parameters.threshold_split_neighbor = true;
  parameters.threshold_split = 0.02;
  parameters.min_length = 0.05;
  parameters.min_points_per_line = 5;
  parameters.min_points_per_unit = 5;
  return parameters;
}

align_model::CornerSearchParameters corner_parameters()
{
  align_model::CornerSearchParameters parameters;
  parameters.min_line_len = 0.15;
  parameters.max_line_len = 0.4;
  parameters.points_max_distance = 0.05;
  parameters.target_angle = 1.047;
  parameters.angle_error = 0.2;
  return parameters;
}

align_model::TargetLineParameters line_parameters()
{
  align_model::TargetLineParameters parameters;
  parameters.min_line_len = 0.15;
  parameters.max_line_len = 0.4;
  parameters.points_max_distance = 0.05;
  parameters.target_angle = 1.047;
  parameters.angle_error = 0.2;
  return parameters;
}

align_model::PlanarTransform laser_mount()
{
  align_model::PlanarTransform mount;
  mount.r00 = std::cos(kMountYaw);
  mount.r01 = -std::sin(kMountYaw);
  mount.r10 = std::sin(kMountYaw);
  mount.r11 = std::cos(kMountYaw);
  mount.tx = kMountX;
  mount.ty = kMountY;
  return mount;
}

// What each stage reads: the outputs of the stages before it on one scan.
struct StageInputs
{
  std::shared_ptr<const sensor_msgs::msg::LaserScan> scan;
  align_model::RangeIntensityBand band;
  std::vector<tuw::Point2D> points;
  std::vector<tuw::LineSegment2D> detected;
  std::vector<tuw::LineSegment2D> refitted;
  std::vector<std::shared_ptr<align_model::Feature>> features;
};

StageInputs prepare(const BenchmarkScan & input)
{
  StageInputs inputs;
  inputs.scan = std::make_shared<const sensor_msgs::msg::LaserScan>(input.scan);
  inputs.band = input.band;
  align_model::extract_points(input.scan, input.band, inputs.points);
  align_model::transform_points(laser_mount(), inputs.points);
  tuw::LineSegment2DDetector detector;
  detector.config_ = detector_parameters();
  detector.start(inputs.points, inputs.detected);
  inputs.refitted = inputs.detected;
  align_model::refit_segments(inputs.points, inputs.refitted);
  std::vector<tuw::LineSegment2D> lines = inputs.refitted;
  align_model::search_corners(lines, corner_parameters(), inputs.features);
  return inputs;
}

using StageBody = std::function<void(const StageInputs &)>;

void run_stage(benchmark::State & state, const BenchmarkScan & input, const StageBody & body)
{
  const StageInputs inputs = prepare(input);
  const double floor = floor_seconds(input.name, input.scan, input.band);
  Measurement measurement;
  measurement.start();
  for (auto _ : state) {
    body(inputs);
    benchmark::ClobberMemory();
  }
  measurement.finish(state, floor);
  state.counters["segments"] = static_cast<double>(inputs.detected.size());
}

void window_stage(const StageInputs & inputs)
{
  auto selected = std::make_shared<sensor_msgs::msg::LaserScan>();
  benchmark::DoNotOptimize(align_model::select_scan_data_from_angle(inputs.scan, selected, -1.5, 1.5));
}

void points_stage(const StageInputs & inputs)
{
  std::vector<tuw::Point2D> points;
  align_model::extract_points(*inputs.scan, inputs.band, points);
  align_model::transform_points(laser_mount(), points);
  benchmark::DoNotOptimize(points.data());
}

StageBody detection_stage()
{
  // One detector for all iterations, as in the node.
  auto detector = std::make_shared<tuw::LineSegment2DDetector>();
  detector->config_ = detector_parameters();
  return [detector](const StageInputs & inputs) {
           std::vector<tuw::LineSegment2D> lines;
           detector->start(inputs.points, lines);
           benchmark::DoNotOptimize(lines.data());
         };
}

StageBody refit_stage(align_model::RefitMethod method)
{
  // One workspace for all iterations, as in the node.
  auto workspace = std::make_shared<align_model::RefitWorkspace>();
  return [workspace, method](const StageInputs & inputs) {
           std::vector<tuw::LineSegment2D> lines = inputs.detected;
           align_model::refit_segments(inputs.points, lines, *workspace, method);
           benchmark::DoNotOptimize(lines.data());
         };
}

void corner_search_stage(const StageInputs & inputs)
{
  std::vector<tuw::LineSegment2D> lines = inputs.refitted;
  std::vector<std::shared_ptr<align_model::Feature>> features;
  benchmark::DoNotOptimize(align_model::search_corners(lines, corner_parameters(), features));
}

void line_search_stage(const StageInputs & inputs)
{
  benchmark::DoNotOptimize(align_model::find_target_lines(inputs.refitted, line_parameters()));
}

StageBody feature_manager_stage()
{
  auto manager = std::make_shared<align_model::FeatureManager>(0.1f, 0.1f, 0.1f, 5);
  return [manager](const StageInputs & inputs) {
           for (const auto & feature : inputs.features) {
             manager->add_feature(feature);
           }
           benchmark::DoNotOptimize(manager->evaluate().get_pose());
           manager->next_frame();
         };
}

void message_stage(const StageInputs & inputs)
{
  const builtin_interfaces::msg::Time stamp;
  auto pose = align_model::make_target_pose("base_footprint", stamp, 1.0, 0.0, 0.1);
  auto segments = align_model::make_segment_marker("base_footprint", stamp, inputs.refitted);
  auto target = align_model::make_target_marker("base_footprint", stamp, 1.0, 0.0, 0.1);
  benchmark::DoNotOptimize(pose);
  benchmark::DoNotOptimize(segments);
  benchmark::DoNotOptimize(target);
}

// A zigzag chain of `count` plates, each touching the next at the target
// angle: every pair passes the length test, the worst case of both searches.
std::vector<tuw::LineSegment2D> zigzag_segments(std::size_t count)
{
  std::vector<tuw::LineSegment2D> segments;
  constexpr double kLength = 0.3;
  constexpr double kHalfOpening = 1.047 / 2.0;
  double x = 1.0;
  double y = -0.15 * static_cast<double>(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double heading = kHalfOpening * (i % 2 == 0 ? 1.0 : -1.0);
    const double next_x = x + kLength * std::sin(heading);
    const double next_y = y + kLength * std::cos(heading);
    segments.emplace_back(x, y, next_x, next_y);
    x = next_x;
    y = next_y;
  }
  return segments;
}

void run_corner_search_scaling(benchmark::State & state)
{
  const auto segments = zigzag_segments(static_cast<std::size_t>(state.range(0)));
  Measurement measurement;
  measurement.start();
  for (auto _ : state) {
    std::vector<tuw::LineSegment2D> lines = segments;
    std::vector<std::shared_ptr<align_model::Feature>> features;
    benchmark::DoNotOptimize(align_model::search_corners(lines, corner_parameters(), features));
  }
  measurement.finish(state);
}

void run_line_search_scaling(benchmark::State & state)
{
  const auto segments = zigzag_segments(static_cast<std::size_t>(state.range(0)));
  Measurement measurement;
  measurement.start();
  for (auto _ : state) {
    benchmark::DoNotOptimize(align_model::find_target_lines(segments, line_parameters()));
  }
  measurement.finish(state);
}

}  // namespace

void register_stage_benchmarks(const std::vector<BenchmarkScan> & scans)
{
  for (const BenchmarkScan & input : scans) {
    const std::vector<std::pair<std::string, StageBody>> stages = {
      {"window", window_stage},
      {"points", points_stage},
      {"detection", detection_stage()},
      {"refit", refit_stage(align_model::RefitMethod::kLeastSquares)},
      {"refit_orthogonal", refit_stage(align_model::RefitMethod::kOrthogonal)},
      {"corner_search", corner_search_stage},
      {"line_search", line_search_stage},
      {"feature_manager", feature_manager_stage()},
      {"messages", message_stage},
    };
    for (const auto & stage : stages) {
      benchmark::RegisterBenchmark(
        ("Stage/" + stage.first + "/" + input.name).c_str(), run_stage, input, stage.second)
      ->MinTime(kMinTime);
    }
  }
}

void register_search_scaling()
{
  benchmark::RegisterBenchmark("Scaling/corner_search", run_corner_search_scaling)
  ->RangeMultiplier(10)->Range(2, 200)->Arg(50)->MinTime(kMinTime);
  benchmark::RegisterBenchmark("Scaling/line_search", run_line_search_scaling)
  ->RangeMultiplier(10)->Range(2, 200)->Arg(50)->MinTime(kMinTime);
}

}  // namespace align_benchmark
