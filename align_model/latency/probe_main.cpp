// align_latency_probe: times scans through a node in another process, from
// publishing a scan to receiving its reply, and prints one JSON line.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "align_latency/interleaved_report.hpp"
#include "align_latency/latency_probe.hpp"
#include "align_latency/latency_summary.hpp"
#include "align_tools/argument_list.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

const char kUsage[] =
  "usage: align_latency_probe [--reply pose|scan] [--count N] [--period-ms P] [--readings R]\n"
  "                           [--label TEXT] [--wait-s S] [--ros-args ROS_ARGUMENTS...]\n"
  "       align_latency_probe --target LABEL=PREFIX:pose|scan [--target ...] [--count N] [--seed S]\n"
  "                           [--blocks B] [--period-ms P] [--readings R] [--wait-s S] [--ros-args ...]\n"
  "  --reply      pose: a program's pose on docking_pose (default); scan: align_scan_relay's\n"
  "               copy on back_scan_relayed\n"
  "  --target     interleaved: every target takes scans on PREFIX/back_scan and answers on\n"
  "               PREFIX/docking_pose (pose) or PREFIX/back_scan_relayed (scan); the scans go to\n"
  "               the targets in rounds, each round in a shuffled order (--seed, default 1); the\n"
  "               first target is the floor the others' ratios and their spread over --blocks\n"
  "               sub-blocks (default 10) refer to\n"
  "  --count      scans timed (default 1000; interleaved: per target), after a warm-up that\n"
  "               ends with the first reply\n"
  "  --period-ms  one scan every P ms (default 25, a 40 Hz laser); a reply later than that is lost\n"
  "  --readings   beams of the simulated 270 degree scan (default 1081)\n"
  "  --wait-s     how long to wait for the node under test to appear (default 20)\n"
  "stdout: {\"label\", \"reply\", \"readings\", \"sent\", \"lost\", \"samples\", \"min_us\", \"median_us\",\n"
  "        \"p99_us\", \"max_us\"}; interleaved: one such line per target, with \"p90_us\", the\n"
  "        ratios to the floor and the spread of the median ratio over the sub-blocks\n";

struct ProbeOptions
{
  align_latency::ReplyKind reply = align_latency::ReplyKind::kPose;
  std::string reply_name = "pose";
  long long count = 1000;
  double period_ms = 25.0;
  long long readings = 1081;
  double wait_s = 20.0;
  std::string label;
  std::vector<align_latency::ProbeTarget> targets;  // interleaved when not empty
  long long seed = 1;
  long long blocks = 10;
};

ProbeOptions parse_options(const std::vector<std::string> & own)
{
  ProbeOptions options;
  align_tools::ArgumentList arguments(own);
  while (!arguments.done()) {
    const std::string argument = arguments.take();
    if (argument == "--reply") {
      options.reply_name = arguments.text(argument);
      if (options.reply_name != "pose" && options.reply_name != "scan") {
        throw std::invalid_argument("--reply takes pose or scan, not '" + options.reply_name + "'");
      }
      options.reply =
        options.reply_name == "pose" ? align_latency::ReplyKind::kPose : align_latency::ReplyKind::kScan;
    } else if (argument == "--count") {
      options.count = arguments.integer(argument);
    } else if (argument == "--period-ms") {
      options.period_ms = arguments.number(argument);
    } else if (argument == "--readings") {
      options.readings = arguments.integer(argument);
    } else if (argument == "--wait-s") {
      options.wait_s = arguments.number(argument);
    } else if (argument == "--label") {
      options.label = arguments.text(argument);
    } else if (argument == "--target") {
      options.targets.push_back(align_latency::parse_target(arguments.text(argument)));
    } else if (argument == "--seed") {
      options.seed = arguments.integer(argument);
    } else if (argument == "--blocks") {
      options.blocks = arguments.integer(argument);
    } else {
      throw std::invalid_argument("unknown option '" + argument + "'");
    }
  }
  if (options.blocks < 1 || options.seed < 0) {
    throw std::invalid_argument("--blocks must be at least 1 and --seed at least 0");
  }
  if (options.count < 1 || options.readings < 2 || options.readings > 100000 ||
    !(options.period_ms > 0.0 && options.period_ms <= 10000.0) || !(options.wait_s > 0.0 && options.wait_s <= 3600.0))
  {
    throw std::invalid_argument("--count must be at least 1, --readings within 2..100000, "
                                "--period-ms within (0, 10000] and --wait-s within (0, 3600]");
  }
  if (options.label.empty()) {
    options.label = options.reply_name;
  }
  return options;
}

std::chrono::nanoseconds from_ms(double milliseconds)
{
  return std::chrono::nanoseconds(static_cast<long long>(milliseconds * 1e6));
}

// Every target in one run, the scans interleaved; one JSON line per target.
int print_interleaved(const ProbeOptions & options)
{
  auto probe = std::make_shared<align_latency::LatencyProbe>(
    options.targets, static_cast<std::size_t>(options.readings));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(probe);
  const auto lines = align_latency::run_interleaved(
    *probe, &executor, static_cast<std::size_t>(options.count), from_ms(options.period_ms),
    from_ms(options.wait_s * 1000.0), static_cast<std::uint64_t>(options.seed),
    static_cast<std::size_t>(options.blocks));
  if (!lines) {
    std::fprintf(stderr, "align_latency_probe: not every target took the scans and answered within %.0f s\n",
      options.wait_s);
    return 1;
  }
  for (const auto & line : *lines) {
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

int run(const ProbeOptions & options)
{
  if (!options.targets.empty()) {
    return print_interleaved(options);
  }
  auto probe = std::make_shared<align_latency::LatencyProbe>(
    options.reply, static_cast<std::size_t>(options.readings));
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(probe);
  if (!probe->wait_for_peer(executor, from_ms(options.wait_s * 1000.0))) {
    std::fprintf(stderr, "align_latency_probe: no node took the scans and answered within %.0f s\n", options.wait_s);
    return 1;
  }
  const auto period = from_ms(options.period_ms);
  if (!probe->warm_up(executor, period, from_ms(options.wait_s * 1000.0))) {
    std::fprintf(stderr, "align_latency_probe: the node never answered a scan within %.0f s\n", options.wait_s);
    return 1;
  }
  const align_latency::ProbeRun run = probe->measure(executor, static_cast<std::size_t>(options.count), period, period);
  const std::string line = align_latency::summary_json(
    options.label, options.reply_name, static_cast<std::size_t>(options.readings), run.sent, run.lost,
    align_latency::summarize(run.latencies_us));
  std::printf("%s\n", line.c_str());
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  const align_tools::SplitArguments split = align_tools::split_ros_arguments(argc, argv);
  ProbeOptions options;
  try {
    options = parse_options(split.own);
  } catch (const std::invalid_argument & error) {
    std::fprintf(stderr, "align_latency_probe: %s\n%s", error.what(), kUsage);
    return 2;
  }
  std::vector<const char *> ros_argv;
  for (const std::string & argument : split.ros) {
    ros_argv.push_back(argument.c_str());
  }
  int status = 1;
  try {
    rclcpp::init(static_cast<int>(ros_argv.size()), ros_argv.data());
    status = run(options);
  } catch (const std::exception & error) {
    std::fprintf(stderr, "align_latency_probe: %s\n", error.what());
  }
  rclcpp::shutdown();
  return status;
}
