// align_dock_trials: docks the simulated robot with one of the detector
// programs and the reference controller, in one process on simulated time,
// and reports each trial's true final error.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "align_dock_sim/trial_plot.hpp"
#include "align_dock_sim/trial_report.hpp"
#include "align_dock_sim/trial_runner.hpp"
#include "align_tools/argument_list.hpp"
#include "align_tools/isolated_tool.hpp"
#include "align_tools/scanner_profile.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

const char kUsage[] =
  "usage: align_dock_trials --node feature|line --scene FILE.yaml [--trials N] [--seed S]\n"
  "                         [--scanner NAME] [--range-noise M] [--odom-scale-error F] [--odom-heading-drift R]\n"
  "                         [--scan-rate HZ] [--scan-latency S] [--timeout S] [--plot FILE.svg]\n"
  "                         [--ros-args ROS_ARGUMENTS...]\n"
  "  --node      the program that detects the target\n"
  "  --scene     the scene file (YAML): target, docked pose, staging region, walls, boxes, laser, robot\n"
  "  --trials    number of trials (default 20); trial k starts from a random pose of the staging region\n"
  "  --seed      seed of the start poses and the scan noise (default 1)\n"
  "  --scanner   scanner profile: ideal, recorded, datasheet_10mm, datasheet_20mm (default: the scene's\n"
  "              laser.scanner, else ideal)\n"
  "  --range-noise         standard deviation of the range noise in m (default: the scene's or the profile's)\n"
  "  --odom-scale-error    0.01: odometry reports 1 % more motion than happened (default 0)\n"
  "  --odom-heading-drift  rad/s added to the odometry's turn rate (default 0)\n"
  "  --scan-rate, --scan-latency  scans per second (default 25), seconds from a scan's stamp to its\n"
  "              publication (default 0.04)\n"
  "  --timeout   seconds of simulated time a trial may take (default 60)\n"
  "  --plot      draws every trial's true path, the target poses and the scene\n"
  "  the program's parameters, --params-file and --log-level go after --ros-args\n"
  "stdout: one JSON object per trial; stderr: a line per trial and a summary\n";

struct ToolOptions
{
  align_dock_sim::TrialSettings settings;
  std::string plot_path;
};

ToolOptions parse_options(const std::vector<std::string> & own)
{
  ToolOptions options;
  align_dock_sim::TrialSettings & settings = options.settings;
  align_tools::ArgumentList arguments(own);
  bool node_given = false;
  while (!arguments.done()) {
    const std::string argument = arguments.take();
    if (argument == "--node") {
      settings.node = align_tools::parse_node_kind(argument, arguments.text(argument));
      node_given = true;
    } else if (argument == "--scene") {
      settings.scene_file = arguments.text(argument);
    } else if (argument == "--trials") {
      const long long trials = arguments.integer(argument);
      if (trials < 1 || trials > 100000) {
        throw std::invalid_argument("--trials takes a number from 1 to 100000");
      }
      settings.trials = static_cast<int>(trials);
    } else if (argument == "--seed") {
      const long long seed = arguments.integer(argument);
      if (seed < 0) {
        throw std::invalid_argument("--seed takes a number of at least 0");
      }
      settings.seed = static_cast<std::uint64_t>(seed);
    } else if (argument == "--scanner") {
      settings.scanner = arguments.text(argument);
      align_tools::scanner_profile(settings.scanner);
    } else if (argument == "--range-noise") {
      settings.range_noise = arguments.number(argument);
    } else if (argument == "--odom-scale-error") {
      settings.odometry_error.scale = arguments.number(argument);
    } else if (argument == "--odom-heading-drift") {
      settings.odometry_error.heading_drift = arguments.number(argument);
    } else if (argument == "--scan-rate") {
      settings.scan_rate = arguments.number(argument);
    } else if (argument == "--scan-latency") {
      settings.scan_latency = arguments.number(argument);
    } else if (argument == "--timeout") {
      settings.timeout = arguments.number(argument);
    } else if (argument == "--plot") {
      options.plot_path = arguments.text(argument);
    } else if (argument == "-h" || argument == "--help") {
      throw std::invalid_argument("");
    } else {
      throw std::invalid_argument("unknown option " + argument);
    }
  }
  if (!node_given || settings.scene_file.empty()) {
    throw std::invalid_argument("--node and --scene are required");
  }
  if (!(settings.scan_rate > 0.0) || !(settings.scan_latency >= 0.0) || !(settings.timeout > 0.0)) {
    throw std::invalid_argument("--scan-rate and --timeout take positive numbers, --scan-latency one of at least 0");
  }
  return options;
}

int run_trials(const ToolOptions & options)
{
  align_dock_sim::TrialRunner runner(options.settings);
  std::vector<align_dock_sim::TrialResult> results;
  for (int k = 0; k < options.settings.trials; ++k) {
    results.push_back(runner.run_trial(k));
    std::cout << align_dock_sim::trial_json(results.back()) << std::endl;
    std::cerr << align_dock_sim::trial_line(results.back()) << std::endl;
  }
  std::cerr << align_dock_sim::trials_summary(results);
  if (!options.plot_path.empty()) {
    std::ofstream out(options.plot_path);
    out << align_dock_sim::render_trials_svg(
      runner.scene(), results,
      std::string("Docking trials: ") +
      (options.settings.node == align_tools::NodeKind::kFeature ? "align_feature_node" : "align_node"));
    if (!out) {
      throw std::runtime_error("cannot write " + options.plot_path);
    }
    std::cerr << "picture written to " << options.plot_path << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  return align_tools::run_isolated_tool<ToolOptions>(
    argc, argv, "align_dock_trials", kUsage, parse_options, run_trials);
}
