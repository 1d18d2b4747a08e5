// align_scan_sim: renders LaserScans of the V-shaped docking target and
// writes them as `ros2 topic echo` YAML or a rosbag2, with the ground truth.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "align_tools/argument_list.hpp"
#include "align_tools/ground_truth.hpp"
#include "align_tools/scanner_profile.hpp"
#include "align_tools/scan_yaml.hpp"
#include "align_tools/simulated_recording.hpp"

namespace
{

const char kUsage[] =
  "usage: align_scan_sim [options]    (lengths in m, angles in rad)\n"
  "  target:   --target X Y HEADING (corner in the laser frame, heading into the opening; default 1.5 0 pi)\n"
  "            --approach-to X Y HEADING --scans N (linear approach from --target)\n"
  "            --plate-length L (0.3)  --opening ANGLE (2.0944 = 120 deg)  --plate-intensity I (252.5)\n"
  "  scene:    --walls  --clutter N  --wall-intensity I (120)  --clutter-intensity I (160)\n"
  "  scanner:  --frame ID (back_laser)  --angle-min A (-2.35619449)  --angle-increment A (0.00872664626)\n"
  "            --count N (541)  --range-max R (30)  --noise SIGMA (0.003)  --dropout P (0)  --nan P (0)\n"
  "            --scanner NAME (ideal; or recorded, datasheet_10mm, datasheet_20mm: range noise, per-beam\n"
  "            bias, mixed pixels, intensities by range and incidence; --noise then sets the noise at 0 m)\n"
  "            --intensity-scale S (255: where intensities saturate with a profile other than ideal)\n"
  "            --seed N (1)  --mount X Y YAW (laser in the base frame; -0.102 0 pi)\n"
  "  timing:   --start-ns NS (1700000000000000000)  --period-ns NS (100000000)\n"
  "  output:   --yaml FILE|-  --bag FOLDER (rosbag2, sqlite3)  --mcap FILE.mcap (MCAP, zstd chunks)\n"
  "            [--topic /back_scan] [--with-tf [--base-frame base_footprint]]\n"
  "            --truth FILE.json\n";

struct SimOptions
{
  align_tools::SimulationConfig config;
  align_tools::ApproachPlan plan;
  bool approach = false;
  std::string yaml_path;
  std::string bag_path;
  std::string mcap_path;
  std::string topic = "/back_scan";
  bool with_tf = false;
  std::string base_frame = "base_footprint";
  std::string truth_path;
  std::string scanner = "ideal";
  bool noise_given = false;
};

align_tools::Pose2D read_pose(align_tools::ArgumentList & arguments, const std::string & option)
{
  const double x = arguments.number(option);
  const double y = arguments.number(option);
  return {x, y, arguments.number(option)};
}

double read_rate(align_tools::ArgumentList & arguments, const std::string & option)
{
  const double rate = arguments.number(option);
  if (rate < 0.0 || rate > 1.0) {
    throw std::invalid_argument(option + " must lie in [0, 1]");
  }
  return rate;
}

bool parse_scanner_option(const std::string & argument, align_tools::ArgumentList & arguments, SimOptions & o)
{
  auto & scanner = o.config.scanner;
  if (argument == "--frame") {scanner.frame_id = arguments.text(argument);}
  else if (argument == "--angle-min") {scanner.angle_min = static_cast<float>(arguments.number(argument));}
  else if (argument == "--angle-increment") {
    scanner.angle_increment = static_cast<float>(arguments.number(argument));
  } else if (argument == "--count") {
    const long long count = arguments.integer(argument);
    if (count < 0 || count > 100000) {throw std::invalid_argument("--count must lie in [0, 100000]");}
    scanner.count = static_cast<int>(count);
  } else if (argument == "--range-max") {scanner.range_max = static_cast<float>(arguments.number(argument));}
  else if (argument == "--noise") {scanner.range_noise = arguments.number(argument); o.noise_given = true;}
  else if (argument == "--scanner") {
    o.scanner = arguments.text(argument);
    align_tools::scanner_profile(o.scanner);
  } else if (argument == "--intensity-scale") {
    scanner.errors.intensity.full_scale = arguments.number(argument);
    if (!(scanner.errors.intensity.full_scale > 0.0)) {throw std::invalid_argument("--intensity-scale must be above 0");}
  }
  else if (argument == "--dropout") {scanner.dropout_rate = read_rate(arguments, argument);}
  else if (argument == "--nan") {scanner.nan_rate = read_rate(arguments, argument);}
  else if (argument == "--seed") {o.config.seed = static_cast<std::uint64_t>(arguments.integer(argument));}
  else if (argument == "--mount") {o.config.mount = read_pose(arguments, argument);}
  else {return false;}
  return true;
}

bool parse_scene_option(const std::string & argument, align_tools::ArgumentList & arguments, SimOptions & o)
{
  auto & target = o.config.target;
  auto & extras = o.config.extras;
  if (argument == "--target") {o.plan.from = o.plan.to = read_pose(arguments, argument);}
  else if (argument == "--approach-to") {o.plan.to = read_pose(arguments, argument); o.approach = true;}
  else if (argument == "--scans") {
    const long long scans = arguments.integer(argument);
    if (scans < 1 || scans > 100000) {throw std::invalid_argument("--scans must lie in [1, 100000]");}
    o.plan.scans = static_cast<int>(scans);
  } else if (argument == "--plate-length") {target.plate_length = arguments.number(argument);}
  else if (argument == "--opening") {target.opening_angle = arguments.number(argument);}
  else if (argument == "--plate-intensity") {target.plate_intensity = static_cast<float>(arguments.number(argument));}
  else if (argument == "--walls") {extras.walls = true;}
  else if (argument == "--clutter") {extras.clutter_count = static_cast<int>(arguments.integer(argument));}
  else if (argument == "--wall-intensity") {extras.wall_intensity = static_cast<float>(arguments.number(argument));}
  else if (argument == "--clutter-intensity") {
    extras.clutter_intensity = static_cast<float>(arguments.number(argument));
  } else if (argument == "--start-ns") {o.plan.start_ns = arguments.integer(argument);}
  else if (argument == "--period-ns") {o.plan.period_ns = arguments.integer(argument);}
  else {return false;}
  return true;
}

bool parse_output_option(const std::string & argument, align_tools::ArgumentList & arguments, SimOptions & o)
{
  if (argument == "--yaml") {o.yaml_path = arguments.text(argument);}
  else if (argument == "--bag") {o.bag_path = arguments.text(argument);}
  else if (argument == "--mcap") {o.mcap_path = arguments.text(argument);}
  else if (argument == "--topic") {o.topic = arguments.text(argument);}
  else if (argument == "--with-tf") {o.with_tf = true;}
  else if (argument == "--base-frame") {o.base_frame = arguments.text(argument);}
  else if (argument == "--truth") {o.truth_path = arguments.text(argument);}
  else {return false;}
  return true;
}

SimOptions parse_options(const std::vector<std::string> & own)
{
  SimOptions options;
  align_tools::ArgumentList arguments(own);
  while (!arguments.done()) {
    const std::string argument = arguments.take();
    if (argument == "-h" || argument == "--help") {
      throw std::invalid_argument("");
    }
    if (!parse_scanner_option(argument, arguments, options) && !parse_scene_option(argument, arguments, options) &&
      !parse_output_option(argument, arguments, options))
    {
      throw std::invalid_argument("unknown option " + argument);
    }
  }
  // The profile sets the noise; an explicit --noise still wins.
  const double noise = options.config.scanner.range_noise;
  align_tools::apply_scanner_profile(align_tools::scanner_profile(options.scanner), options.config.scanner);
  if (options.noise_given) {
    options.config.scanner.range_noise = noise;
  }
  if (options.approach && options.plan.scans < 2) {
    throw std::invalid_argument("--approach-to needs --scans of at least 2");
  }
  if (options.yaml_path.empty() && options.bag_path.empty() && options.mcap_path.empty()) {
    throw std::invalid_argument("give --yaml, --bag and/or --mcap");
  }
  return options;
}

void write_outputs(const SimOptions & options, const align_tools::SimulatedRecording & recording)
{
  if (!options.yaml_path.empty()) {
    std::ofstream file;
    if (options.yaml_path != "-") {
      file.open(options.yaml_path);
    }
    std::ostream & out = options.yaml_path == "-" ? std::cout : file;
    for (const auto & scan : recording.scans) {
      align_tools::write_scan_yaml(out, scan);
    }
    if (!out) {
      throw std::runtime_error("cannot write " + options.yaml_path);
    }
  }
  if (!options.bag_path.empty()) {
    align_tools::write_simulated_bag(options.bag_path, options.topic, recording, options.with_tf, options.base_frame);
  }
  if (!options.mcap_path.empty()) {
    align_tools::write_simulated_mcap(options.mcap_path, options.topic, recording, options.with_tf, options.base_frame);
  }
  if (!options.truth_path.empty()) {
    std::ofstream truth(options.truth_path);
    truth << align_tools::ground_truth_json(recording.truth);
    if (!truth) {
      throw std::runtime_error("cannot write " + options.truth_path);
    }
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  SimOptions options;
  try {
    options = parse_options(align_tools::split_ros_arguments(argc, argv).own);
  } catch (const std::invalid_argument & error) {
    if (error.what()[0] != '\0') {
      std::cerr << "align_scan_sim: " << error.what() << "\n";
    }
    std::cerr << kUsage;
    return 2;
  }
  try {
    write_outputs(options, align_tools::simulate_approach(options.config, options.plan));
  } catch (const std::exception & error) {
    std::cerr << "align_scan_sim: error: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
