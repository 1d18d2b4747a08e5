// The scans one soak cycle plays, rendered once before the measurement so
// that rendering never shows up in the per-scan figures or the memory.
#include "soak_scans.hpp"

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "align_tools/scan_simulator.hpp"
#include "align_tools/simulated_recording.hpp"

namespace align_soak
{
namespace
{

constexpr double kPi = 3.141592653589793;
constexpr int kEpisodes = 12;
constexpr int kApproachScans = 20;
constexpr int kScansPerNoTargetCase = 2;
constexpr int kMalformedCases = 10;

double degrees(double value)
{
  return value * kPi / 180.0;
}

// Uniform doubles from 53 random bits: the same values with every standard
// library, unlike std::uniform_real_distribution.
class Dice
{
public:
  explicit Dice(std::uint64_t seed)
  : random_(seed) {}
  double uniform() {return static_cast<double>(random_() >> 11) * (1.0 / 9007199254740992.0);}
  double between(double low, double high) {return low + (high - low) * uniform();}
  template<typename T, std::size_t N>
  T pick(const T (&values)[N]) {return values[static_cast<std::size_t>(uniform() * N) % N];}

private:
  std::mt19937_64 random_;
};

align_tools::ScannerModel laser(int readings)
{
  align_tools::ScannerModel model;
  model.frame_id = kLaserFrame;
  model.count = readings;
  if (readings >= 3600) {
    // A full turn at 0.1 degrees.
    model.angle_min = static_cast<float>(-kPi);
    model.angle_increment = static_cast<float>(2.0 * kPi / readings);
  } else {
    // 270 degrees, as on the robot's rear laser.
    model.angle_min = -2.35619449f;
    model.angle_increment = static_cast<float>(degrees(270.0) / (readings - 1));
  }
  return model;
}

std::vector<sensor_msgs::msg::LaserScan> render(
  const align_tools::SimulationConfig & config, const align_tools::Pose2D & from,
  const align_tools::Pose2D & to, int scans)
{
  align_tools::ApproachPlan plan;
  plan.from = from;
  plan.to = to;
  plan.scans = scans;
  return align_tools::simulate_approach(config, plan).scans;
}

void append(
  std::vector<SoakScan> & out, const std::string & name, ScanKind kind,
  std::vector<sensor_msgs::msg::LaserScan> scans)
{
  for (std::size_t i = 0; i < scans.size(); ++i) {
    out.push_back({name + "_s" + std::to_string(i), kind, std::move(scans[i])});
  }
}

// Broken input of one kind, built from a well-formed scan of the episode.
SoakScan malformed(int which, const sensor_msgs::msg::LaserScan & base)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  SoakScan out{"", ScanKind::kMalformed, base};
  sensor_msgs::msg::LaserScan & scan = out.scan;
  switch (which % kMalformedCases) {
    case 0:
      out.name = "malformed_empty";
      scan.ranges.clear();
      scan.intensities.clear();
      scan.angle_max = scan.angle_min;
      break;
    case 1:
      out.name = "malformed_all_nan";
      scan.ranges.assign(scan.ranges.size(), nan);
      scan.intensities.assign(scan.intensities.size(), nan);
      break;
    case 2:
      out.name = "malformed_all_inf";
      scan.ranges.assign(scan.ranges.size(), inf);
      break;
    case 3:
      out.name = "malformed_no_intensities";
      scan.intensities.clear();
      break;
    case 4:
      out.name = "malformed_short_intensities";
      scan.intensities.resize(scan.intensities.size() / 2);
      break;
    case 5:
      out.name = "malformed_zero_increment";
      scan.angle_increment = 0.0f;
      scan.angle_max = scan.angle_min;
      break;
    case 6:
      // Covers less than the half turn behind the robot that both programs
      // need: the window selection must refuse it.
      out.name = "malformed_narrow_view";
      scan.angle_min = -0.5f;
      scan.angle_increment = 1.0f / static_cast<float>(scan.ranges.size() > 1 ? scan.ranges.size() - 1 : 1);
      scan.angle_max = 0.5f;
      break;
    case 7:
      // A laser nobody published a mount for: the feature program has no
      // transform and keeps its lookup worker busy.
      out.name = "malformed_unknown_frame";
      scan.header.frame_id = "front_laser";
      break;
    case 8:
      out.name = "malformed_wild_values";
      for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
        const float wild[] = {-1.0f, 1e30f, -inf, 0.0f, nan, 1e-30f};
        if (i % 3 == 0) {
          scan.ranges[i] = wild[(i / 3) % 6];
        }
        if (i < scan.intensities.size() && i % 5 == 0) {
          scan.intensities[i] = wild[(i / 5) % 6];
        }
      }
      break;
    default:
      // A laser mounted upside down reports its readings clockwise.
      out.name = "malformed_negative_increment";
      scan.angle_increment = -scan.angle_increment;
      std::swap(scan.angle_min, scan.angle_max);
      break;
  }
  return out;
}

}  // namespace

const char * kind_name(ScanKind kind)
{
  switch (kind) {
    case ScanKind::kTarget:
      return "target";
    case ScanKind::kNoTarget:
      return "no_target";
    case ScanKind::kMalformed:
      return "malformed";
  }
  return "?";
}

std::vector<SoakScan> build_soak_scans(std::uint64_t seed)
{
  using align_tools::Pose2D;
  Dice dice(seed);
  std::vector<SoakScan> out;
  const int readings[] = {360, 1081, 3600};
  for (int episode = 0; episode < kEpisodes; ++episode) {
    const int count = readings[episode % 3];
    const std::string tag = std::to_string(count) + "_e" + std::to_string(episode);

    align_tools::SimulationConfig config;
    config.scanner = laser(count);
    const double noise[] = {0.001, 0.003, 0.006};
    const double dropouts[] = {0.0, 0.03, 0.1};
    const double nans[] = {0.0, 0.01, 0.05};
    config.scanner.range_noise = dice.pick(noise);
    config.scanner.dropout_rate = dice.pick(dropouts);
    config.scanner.nan_rate = dice.pick(nans);
    // Plates between the length limits, openings within the angle error.
    config.target.plate_length = dice.between(0.22, 0.34);
    config.target.opening_angle = degrees(dice.between(112.0, 128.0));
    config.extras.walls = dice.uniform() < 0.5;
    config.extras.clutter_count = static_cast<int>(dice.uniform() * 4.0);
    // Every fourth episode its boxes are as bright as the plates, so that
    // in-band segments compete with the target.
    if (episode % 4 == 3) {
      config.extras.clutter_intensity = 252.0f;
    }
    config.mount = {kMountX, kMountY, kMountYaw};
    config.seed = seed * 1000 + static_cast<std::uint64_t>(episode);

    const Pose2D from{dice.between(1.5, 1.75), dice.between(-0.3, 0.3), kPi + dice.between(-0.25, 0.25)};
    const Pose2D to{dice.between(0.5, 0.65), dice.between(-0.05, 0.05), kPi + dice.between(-0.05, 0.05)};
    std::vector<sensor_msgs::msg::LaserScan> approach = render(config, from, to, kApproachScans);
    const sensor_msgs::msg::LaserScan last = approach.back();
    append(out, "approach_" + tag, ScanKind::kTarget, std::move(approach));

    // The target vanishes: beyond the range limit, ...
    align_tools::SimulationConfig away = config;
    append(
      out, "out_of_range_" + tag, ScanKind::kNoTarget,
      render(away, {3.5, 0.2, kPi}, {5.0, -0.2, kPi}, kScansPerNoTargetCase));
    // ... plates that do not reflect, ...
    align_tools::SimulationConfig dull = config;
    dull.target.plate_intensity = 100.0f;
    dull.target.intensity_jitter = 5.0f;
    append(out, "dull_plates_" + tag, ScanKind::kNoTarget, render(dull, to, to, kScansPerNoTargetCase));
    // ... a corner too sharp for the target angle (a flatter one would
    // pass: only the excess over the target angle is limited), ...
    align_tools::SimulationConfig wrong = config;
    wrong.target.opening_angle = degrees(episode % 2 == 0 ? 80.0 : 95.0);
    append(out, "wrong_opening_" + tag, ScanKind::kNoTarget, render(wrong, from, to, kScansPerNoTargetCase));
    // ... or only bright boxes in range (the boxes stand 0.3 to 1.8 m in
    // front of a corner that is itself beyond the range limit).
    align_tools::SimulationConfig boxes = config;
    boxes.extras.clutter_count = 6;
    boxes.extras.clutter_intensity = 252.0f;
    append(
      out, "bright_boxes_" + tag, ScanKind::kNoTarget,
      render(boxes, {2.5, 0.0, kPi}, {2.5, 0.0, kPi}, kScansPerNoTargetCase));

    out.push_back(malformed(episode, last));
  }
  return out;
}

}  // namespace align_soak
