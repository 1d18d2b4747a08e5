#include "align_tools/still_target_accuracy.hpp"

#include "align_model/angles.hpp"
#include "align_tools/simulated_recording.hpp"

namespace align_tools
{

std::vector<rclcpp::Parameter> whole_plate_parameters(NodeKind node, bool orthogonal_refit)
{
  std::vector<rclcpp::Parameter> parameters{
    {"min_intensity", 250.0}, {"max_intensity", 255.0}, {"min_range", 0.05}, {"max_range", 2.0},
    {"threshold_split_neighbor", false}, {"threshold_split", 0.10}, {"points_max_distance", 0.05},
    {"min_line_len", 0.15}, {"max_line_len", 0.35}, {"target_angle", 1.047}, {"angle_error", 0.3},
    {"orthogonal_refit", orthogonal_refit}};
  if (node == NodeKind::kFeature) {
    parameters.emplace_back("min_angle", -1.5);
    parameters.emplace_back("max_angle", 1.5);
    parameters.emplace_back("times", 1);
    parameters.emplace_back("two_sided_angle_test", true);
  }
  return parameters;
}

StillTargetResult measure_still_target(const StillTargetCase & still)
{
  SimulationConfig config;
  config.scanner.range_noise = still.sigma;
  config.seed = still.seed;
  ApproachPlan plan;
  plan.from = plan.to = {still.range, 0.0, align_model::kPi};
  plan.scans = still.scans;
  const SimulatedRecording simulated = simulate_approach(config, plan);
  const Recording recording = as_recording(simulated);
  ReplaySettings settings;
  settings.node = still.node;
  settings.laser_mount = config.mount;
  settings.parameter_overrides = whole_plate_parameters(still.node, still.orthogonal_refit);
  const ReplayRun run = replay_recording(recording, settings);

  BoundCase bound_case;
  bound_case.range = still.range;
  bound_case.angle_step = config.scanner.angle_increment;
  bound_case.sigma = still.sigma;
  return {pose_accuracy(run.outcomes, simulated.truth), cramer_rao_bound(bound_case)};
}

}  // namespace align_tools
