#include "align_tools/parameter_suggestion.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "align_model/angles.hpp"
#include "align_model/select_scan_data_from_angle.hpp"
#include "align_tools/near_miss.hpp"

namespace align_tools
{
namespace
{

constexpr double kDegrees = 180.0 / align_model::kPi;
// Shares of the brightest return at which compact bright runs are looked
// for, most selective first.
constexpr double kBrightShares[] = {0.9, 0.75, 0.5, 0.35};
constexpr std::size_t kCompactRun = 3;  // consecutive readings

std::string text(const char * pattern, double a, double b = 0.0, double c = 0.0, double d = 0.0)
{
  char buffer[256];
  std::snprintf(buffer, sizeof(buffer), pattern, a, b, c, d);
  return buffer;
}

double floor_to(double value, double step) {return std::floor(value / step) * step;}
double ceil_to(double value, double step) {return std::ceil(value / step) * step;}

bool has_intensities(const std::vector<sensor_msgs::msg::LaserScan> & scans)
{
  return std::any_of(
    scans.begin(), scans.end(), [](const sensor_msgs::msg::LaserScan & scan) {
      return !scan.ranges.empty() && scan.intensities.size() >= scan.ranges.size();
    });
}

bool is_v_candidate(const PairGeometry & pair, const AnalysisSettings & settings, const CandidateRules & rules)
{
  const double turn = std::fabs(pair.turn);
  return pair.length_i >= rules.min_leg && pair.length_j >= rules.min_leg && pair.gap <= rules.max_gap &&
         turn >= rules.min_turn && turn <= rules.max_turn && pair.has_corner && pair.opens_towards_laser &&
         (settings.line_program || std::cos(static_cast<float>(pair.heading)) > 0.0f);
}

// The band of one brightness level: the readings of compact runs at or above
// `threshold`, within the range band.
struct BrightRuns
{
  std::size_t readings = 0;
  double min = 0.0;
  double max = 0.0;
};

BrightRuns bright_runs(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & settings, double threshold)
{
  BrightRuns runs;
  for (const auto & scan : scans) {
    const std::size_t n = std::min(scan.ranges.size(), scan.intensities.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i <= n; ++i) {
      const bool bright = i < n && scan.intensities[i] >= threshold &&
        settings.band.min_range < scan.ranges[i] && scan.ranges[i] < settings.band.max_range;
      if (bright) {
        continue;
      }
      if (i - start >= kCompactRun) {
        for (std::size_t k = start; k < i; ++k) {
          const double q = scan.intensities[k];
          runs.min = runs.readings == 0 ? q : std::min(runs.min, q);
          runs.max = runs.readings == 0 ? q : std::max(runs.max, q);
          ++runs.readings;
        }
      }
      start = i + 1;
    }
  }
  return runs;
}

double brightest_in_range(const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & settings)
{
  double brightest = 0.0;
  for (const auto & scan : scans) {
    const std::size_t n = std::min(scan.ranges.size(), scan.intensities.size());
    for (std::size_t i = 0; i < n; ++i) {
      const double q = scan.intensities[i];
      if (std::isfinite(q) && settings.band.min_range < scan.ranges[i] && scan.ranges[i] < settings.band.max_range) {
        brightest = std::max(brightest, q);
      }
    }
  }
  return brightest;
}

struct BandChoice
{
  AnalysisSettings settings;
  std::vector<VCandidate> candidates;
  std::string comment;
};

std::optional<BandChoice> choose_band(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  const CandidateRules & rules, std::string & tried)
{
  const std::size_t needed = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(rules.min_scan_share * scans.size())));
  BandChoice choice{current, v_candidates(scans, current, rules), ""};
  if (choice.candidates.size() >= needed) {
    choice.comment = "kept: the current band shows a V candidate in " + std::to_string(choice.candidates.size()) +
      " of " + std::to_string(scans.size()) + " scans";
    return choice;
  }
  tried = text("the current band %.6g..%.6g", current.band.min_intensity, current.band.max_intensity) +
    " (V candidate in " + std::to_string(choice.candidates.size()) + " scans)";
  const double brightest = brightest_in_range(scans, current);
  for (const double share : kBrightShares) {
    const BrightRuns runs = bright_runs(scans, current, share * brightest);
    if (runs.readings == 0) {
      continue;
    }
    choice.settings = current;
    choice.settings.band.min_intensity = std::floor(runs.min - std::max(1.0, 0.02 * runs.min));
    choice.settings.band.max_intensity = std::ceil(runs.max + std::max(1.0, 0.02 * runs.max));
    choice.candidates = v_candidates(scans, choice.settings, rules);
    tried += text(
      ", %.6g..%.6g", choice.settings.band.min_intensity, choice.settings.band.max_intensity) +
      " (" + std::to_string(choice.candidates.size()) + ")";
    if (choice.candidates.size() >= needed) {
      choice.comment = text(
        "around the brightest compact returns (runs of 3+ readings at or above %.0f%% of the brightest "
        "return %.6g, within the range band): intensity %.6g..%.6g", share * 100.0, brightest, runs.min, runs.max);
      return choice;
    }
  }
  return std::nullopt;
}

// The feature program's window: kept when it fits every scan, otherwise the
// scans' own coverage (min_angle half a step above the first reading).
void suggest_window(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  std::vector<SuggestedValue> & values)
{
  auto fits = [&](double min_angle, double max_angle) {
      return std::all_of(
        scans.begin(), scans.end(), [&](const sensor_msgs::msg::LaserScan & scan) {
          sensor_msgs::msg::LaserScan selected;
          return align_model::select_scan_window(
            scan, selected, min_angle, max_angle, align_model::TurnCount::kOffsetOfAngleMin);
        });
    };
  if (fits(current.min_angle, current.max_angle)) {
    values.push_back({"min_angle", current.min_angle, "kept: the window fits every scan"});
    values.push_back({"max_angle", current.max_angle, "kept: the window fits every scan"});
    return;
  }
  const auto & scan = scans.front();
  const double first = scan.angle_min;
  const double last = first + scan.angle_increment * (static_cast<double>(scan.ranges.size()) - 1.0);
  const double min_angle = ceil_to(first + 0.5 * scan.angle_increment, 0.001);
  double max_angle = floor_to(last, 0.001);
  const std::string comment = text(
    "the scans cover %.4f..%.4f rad; the window %.4f..%.4f did not fit", first, last, current.min_angle,
    current.max_angle);
  values.push_back({"min_angle", min_angle, comment});
  values.push_back({"max_angle", max_angle, comment});
}

void suggest_from_candidates(
  const std::vector<VCandidate> & candidates, const AnalysisSettings & settings,
  std::vector<SuggestedValue> & values)
{
  std::vector<double> legs, gaps, angles;
  for (const auto & candidate : candidates) {
    legs.push_back(candidate.leg_a);
    legs.push_back(candidate.leg_b);
    gaps.push_back(candidate.gap);
    angles.push_back(candidate.tested_angle);
  }
  const ValueSpread leg = spread_of(legs);
  const ValueSpread gap = spread_of(gaps);
  const ValueSpread angle = spread_of(angles);
  const std::string leg_source = text(
    "legs of the V candidates min/median/max %.3f/%.3f/%.3f m", leg.min, leg.median, leg.max);
  values.push_back({"min_line_len", std::max(0.01, floor_to(0.8 * leg.min, 0.01)), leg_source + ", less 20%"});
  values.push_back({"max_line_len", ceil_to(1.2 * leg.max, 0.01), leg_source + ", plus 20%"});
  values.push_back(
    {"points_max_distance", std::max(0.02, ceil_to(1.5 * gap.max, 0.01)),
      text("end gaps of the candidate pairs min/median/max %.3f/%.3f/%.3f m, plus 50%% (the test is strict)",
      gap.min, gap.median, gap.max)});
  const double target = std::round(angle.median * 1000.0) / 1000.0;
  const double spread = std::max(std::fabs(angle.max - target), std::fabs(angle.min - target));
  const double tolerance = spread + 2.0 / kDegrees;
  const double angle_error = std::max(0.05, ceil_to(tolerance / std::max(std::fabs(target), 1e-3), 0.01));
  const char * measure = settings.line_program ?
    "signed turn from the first leg to the second" : "turn between the legs' directions";
  values.push_back(
    {"target_angle", target,
      std::string("median ") + measure + text(
        " of the candidate pairs: %.2f deg (min %.2f, max %.2f)", angle.median * kDegrees, angle.min * kDegrees,
        angle.max * kDegrees)});
  values.push_back(
    {"angle_error", angle_error,
      text("tolerance %.2f deg = largest deviation %.2f deg plus 2 deg, as a fraction of target_angle",
      angle_error * std::fabs(target) * kDegrees, spread * kDegrees)});
}

std::string yaml_number(double value)
{
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%.10g", value);
  std::string number = buffer;
  // A ROS 2 double parameter must be written as a floating-point literal.
  if (number.find_first_of(".en") == std::string::npos) {
    number += ".0";
  }
  return number;
}

}  // namespace

std::vector<VCandidate> v_candidates(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & settings,
  const CandidateRules & rules)
{
  std::vector<VCandidate> candidates;
  for (const auto & scan : scans) {
    std::optional<VCandidate> best;
    for (const auto & pair : pairs_of(segments_of(scan, settings).segments, settings)) {
      if (!is_v_candidate(pair, settings, rules)) {
        continue;
      }
      if (!best || pair.length_i + pair.length_j > best->leg_a + best->leg_b) {
        best = VCandidate{pair.length_i, pair.length_j, pair.gap, tested_angle(pair, settings)};
      }
    }
    if (best) {
      candidates.push_back(*best);
    }
  }
  return candidates;
}

ParameterSuggestion suggest_parameters(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  const CandidateRules & rules)
{
  ParameterSuggestion suggestion;
  suggestion.scans = scans.size();
  if (scans.empty()) {
    suggestion.problem = "the recording holds no scans";
    return suggestion;
  }
  if (!has_intensities(scans)) {
    suggestion.problem =
      "the recording has no intensities: both programs keep only readings inside an intensity band, so "
      "nothing can be suggested; record the scanner with intensities switched on";
    return suggestion;
  }
  std::string tried;
  const std::optional<BandChoice> band = choose_band(scans, current, rules, tried);
  if (!band) {
    suggestion.problem = "found no V-shaped candidate (two straight legs of at least " +
      text("%.2f m whose ends meet within %.2f m at %.0f..%.0f deg, opening towards the laser", rules.min_leg,
      rules.max_gap, rules.min_turn * kDegrees, rules.max_turn * kDegrees) + ") in at least " +
      text("%.0f%% of the scans; bands tried: ", rules.min_scan_share * 100.0) + tried;
    return suggestion;
  }
  suggestion.found = true;
  suggestion.scans_with_candidate = band->candidates.size();
  if (!current.line_program) {
    suggest_window(scans, current, suggestion.values);
  }
  suggestion.values.push_back({"min_intensity", band->settings.band.min_intensity, band->comment});
  suggestion.values.push_back({"max_intensity", band->settings.band.max_intensity, band->comment});
  suggest_from_candidates(band->candidates, band->settings, suggestion.values);
  return suggestion;
}

std::string suggestion_yaml(
  const ParameterSuggestion & suggestion, const std::string & node_name, const std::string & recording)
{
  std::string yaml = "# Parameters suggested by align_replay --suggest for " + node_name + "\n# from " +
    recording + ": a V candidate in " + std::to_string(suggestion.scans_with_candidate) + " of " +
    std::to_string(suggestion.scans) + " scans.\n# Load with: --ros-args --params-file THIS_FILE\n";
  yaml += "/**/" + node_name + ":\n  ros__parameters:\n";
  for (const auto & value : suggestion.values) {
    yaml += "    # " + value.comment + "\n    " + value.name + ": " + yaml_number(value.value) + "\n";
  }
  return yaml;
}

}  // namespace align_tools
