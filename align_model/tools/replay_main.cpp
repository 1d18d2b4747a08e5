// align_replay: runs one of the node programs over a recording and prints
// what it published, one JSON object per line.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "align_tools/argument_list.hpp"
#include "align_tools/isolated_tool.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"
#include "align_tools/replay_diagnosis.hpp"
#include "align_tools/replay_plot.hpp"
#include "align_tools/replay_suggest.hpp"
#include "align_tools/replay_summary.hpp"
#include "align_tools/svg_plot.hpp"
#include "align_tools/truth_check.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

const char kUsage[] =
  "usage: align_replay --node feature|line RECORDING [--topic NAME] [--tf X Y YAW]\n"
  "                    [--plot FILE.svg [--scan K | --plot-all]] [--truth FILE.json] [--suggest FILE.yaml]\n"
  "                    [--ros-args ROS_ARGUMENTS...]\n"
  "  RECORDING  rosbag2 folder, .db3 (sqlite3) or .mcap (MCAP), ROS 1 bag (format 2.0), or a YAML stream\n"
  "             of LaserScans as 'ros2 topic echo --full-length' prints them\n"
  "  --topic    the scan topic of a recording with several\n"
  "  --tf       laser mount in the base frame (m, m, rad): a static transform for the feature\n"
  "             program, laser_to_base_x/_y/_th for the line program\n"
  "  --plot     draws scan K (default: the last) or, with --plot-all, the whole run\n"
  "  --truth    ground truth of a simulated recording (align_scan_sim --truth): counts the poses\n"
  "             within 2 cm and 2 degrees\n"
  "  --suggest  writes a parameter file that lets the recorded target through, then checks it\n"
  "  node parameters, --params-file and --log-level go after --ros-args\n"
  "stdout: one JSON object per published message; NaN and infinities as \"nan\", \"inf\", \"-inf\"\n";

struct ToolOptions
{
  std::string recording;
  align_tools::ReplaySettings settings;
  std::string topic;
  std::string plot_path;
  std::optional<long long> plot_scan;
  bool plot_all = false;
  std::string truth_path;
  std::string suggest_path;
};

ToolOptions parse_options(const std::vector<std::string> & own)
{
  ToolOptions options;
  align_tools::ArgumentList arguments(own);
  bool node_given = false;
  while (!arguments.done()) {
    const std::string argument = arguments.take();
    if (argument == "--node") {
      options.settings.node = align_tools::parse_node_kind(argument, arguments.text(argument));
      node_given = true;
    } else if (argument == "--topic") {
      options.topic = arguments.text(argument);
    } else if (argument == "--tf") {
      const double x = arguments.number(argument);
      const double y = arguments.number(argument);
      const double yaw = arguments.number(argument);
      options.settings.laser_mount = align_tools::Pose2D{x, y, yaw};
    } else if (argument == "--plot") {
      options.plot_path = arguments.text(argument);
    } else if (argument == "--scan") {
      options.plot_scan = arguments.integer(argument);
    } else if (argument == "--plot-all") {
      options.plot_all = true;
    } else if (argument == "--truth") {
      options.truth_path = arguments.text(argument);
    } else if (argument == "--suggest") {
      options.suggest_path = arguments.text(argument);
    } else if (argument == "-h" || argument == "--help") {
      throw std::invalid_argument("");
    } else if (!argument.empty() && argument[0] == '-') {
      throw std::invalid_argument("unknown option " + argument);
    } else if (options.recording.empty()) {
      options.recording = argument;
    } else {
      throw std::invalid_argument("more than one recording given");
    }
  }
  if (!node_given || options.recording.empty()) {
    throw std::invalid_argument("--node and a recording are required");
  }
  options.settings.collect_debug_outputs = !options.plot_path.empty();
  return options;
}

void write_plot(const ToolOptions & options, const align_tools::Recording & recording, const align_tools::ReplayRun & run)
{
  align_tools::PlotScene scene;
  if (options.plot_all) {
    scene = align_tools::plot_run(recording, run);
  } else {
    const long long last = static_cast<long long>(recording.scans.size()) - 1;
    const long long index = options.plot_scan.value_or(last);
    if (index < 0 || index > last) {
      throw std::invalid_argument("--scan " + std::to_string(index) + " is not a scan of the recording");
    }
    scene = align_tools::plot_scan(recording, run, static_cast<std::size_t>(index));
  }
  std::ofstream out(options.plot_path);
  out << align_tools::render_svg(scene);
  if (!out) {
    throw std::runtime_error("cannot write " + options.plot_path);
  }
  std::cerr << "picture written to " << options.plot_path << "\n";
}

int replay(const ToolOptions & options)
{
  align_tools::TopicChoice choice;
  choice.requested = options.topic;
  choice.node_scan_topic = align_tools::configured_scan_topic(options.settings);
  const align_tools::Recording recording = align_tools::load_recording(options.recording, choice);
  std::cerr << "replaying " << recording.scans.size() << " scans" <<
  (recording.topic.empty() ? std::string() : " of " + recording.topic) << " from " << recording.path << "\n";
  for (const auto & note : recording.notes) {
    std::cerr << "note: " << note << "\n";
  }
  const align_tools::ReplayRun run = align_tools::replay_recording(recording, options.settings);
  std::cout << align_tools::published_json_lines(run) << std::flush;
  for (const auto & note : run.notes) {
    std::cerr << "note: " << note << "\n";
  }
  std::cerr << align_tools::format_summary(align_tools::summarize(run.outcomes));
  std::cerr << align_tools::diagnosis_text(recording, run);
  std::optional<align_tools::GroundTruth> truth;
  if (!options.truth_path.empty()) {
    truth = align_tools::read_ground_truth(options.truth_path);
    std::cerr << align_tools::format_agreement(align_tools::agreement_with_truth(run.outcomes, *truth));
  }
  if (!options.plot_path.empty()) {
    write_plot(options, recording, run);
  }
  if (!options.suggest_path.empty() &&
    !align_tools::write_suggestion(recording, run, options.settings, options.suggest_path, truth, std::cerr))
  {
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  return align_tools::run_isolated_tool<ToolOptions>(argc, argv, "align_replay", kUsage, parse_options, replay);
}
