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

// One intensity band to try: the current one (whose comment depends on what
// it shows, so it is written with the suggestion), or one around the
// brightest compact returns.
struct BandLevel
{
  align_model::RangeIntensityBand band;
  std::string comment;
};

std::vector<BandLevel> band_levels(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current)
{
  std::vector<BandLevel> levels{{current.band, ""}};
  const double brightest = brightest_in_range(scans, current);
  for (const double share : kBrightShares) {
    const BrightRuns runs = bright_runs(scans, current, share * brightest);
    if (runs.readings == 0) {
      continue;
    }
    BandLevel level{current.band, ""};
    level.band.min_intensity = std::floor(runs.min - std::max(1.0, 0.02 * runs.min));
    level.band.max_intensity = std::ceil(runs.max + std::max(1.0, 0.02 * runs.max));
    level.comment = text(
      "around the brightest compact returns (runs of 3+ readings at or above %.0f%% of the brightest "
      "return %.6g, within the range band): intensity %.6g..%.6g", share * 100.0, brightest, runs.min, runs.max);
    levels.push_back(level);
  }
  return levels;
}

// How the detector cuts the points into segments.
struct Splitting
{
  bool neighbour = true;
  double split = 0.01;
  int per_line = 5;
  int per_unit = 5;

  bool operator==(const Splitting & other) const
  {
    return neighbour == other.neighbour && split == other.split && per_line == other.per_line &&
           per_unit == other.per_unit;
  }
};

// The current splitting, then without the neighbour-gap cut (which fires
// wherever range noise reaches the point spacing) at split thresholds from
// 2 to 10 cm (a plate is cut once the threshold is below a few times the
// noise), then the same with lower points-per-line minimums (which drop short
// pieces whole).
std::vector<Splitting> splittings(const tuw::LineSegment2DDetectorParameter & current)
{
  const Splitting now{current.threshold_split_neighbor, current.threshold_split, current.min_points_per_line,
    current.min_points_per_unit};
  std::vector<Splitting> all{now};
  for (const int relaxed : {0, 1}) {
    for (const double split : {0.02, 0.03, 0.05, 0.08, 0.10}) {
      Splitting next{false, split, now.per_line, now.per_unit};
      if (relaxed == 1) {
        next.per_line = std::min(now.per_line, 3);
        next.per_unit = std::min(now.per_unit, 3);
        if (next.per_line == now.per_line && next.per_unit == now.per_unit) {
          continue;
        }
      }
      if (!(next == now)) {
        all.push_back(next);
      }
    }
  }
  return all;
}

void apply(const Splitting & splitting, AnalysisSettings & settings)
{
  settings.detector.threshold_split_neighbor = splitting.neighbour;
  settings.detector.threshold_split = splitting.split;
  settings.detector.min_points_per_line = splitting.per_line;
  settings.detector.min_points_per_unit = splitting.per_unit;
}

double median_leg(const std::vector<VCandidate> & candidates)
{
  std::vector<double> legs;
  for (const auto & candidate : candidates) {
    legs.push_back(candidate.leg_a + candidate.leg_b);
  }
  return legs.empty() ? 0.0 : spread_of(legs).median;
}

// A band and a splitting that show the target, with their candidates.
struct Choice
{
  std::size_t band_level = 0;
  Splitting splitting;
  AnalysisSettings settings;
  std::vector<VCandidate> candidates;
};

std::string splitting_comment(const Splitting & splitting, const Splitting & current, std::size_t scans,
  std::size_t shown, std::size_t current_shown)
{
  if (splitting == current) {
    return "kept: the current splitting shows a V candidate in " + std::to_string(shown) + " of " +
           std::to_string(scans) + " scans";
  }
  return "splitting searched before any gate was widened, and chosen by replaying the recording with it: a V "
         "candidate in " + std::to_string(shown) + " of " + std::to_string(scans) +
         " scans (the current splitting: " + std::to_string(current_shown) + ")";
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
          return align_model::scan_covers_window(scan, min_angle, max_angle, align_model::TurnCount::kOffsetOfAngleMin);
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

double percentile(std::vector<double> values, double share)
{
  std::sort(values.begin(), values.end());
  const double at = share * static_cast<double>(values.size() - 1);
  const std::size_t below = static_cast<std::size_t>(std::floor(at));
  const std::size_t above = std::min(values.size() - 1, below + 1);
  return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

// The widest angle tolerance a suggestion gives: pieces of one plate, walls
// and clutter meet at any angle, and a wider window lets them through.
constexpr double kMaxTolerance = 15.0 / kDegrees;
constexpr double kMaxGap = 0.10;

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
  const double leg_low = percentile(legs, 0.05);
  const double leg_high = percentile(legs, 0.95);
  const std::string leg_source =
    text("legs of the V candidates min/median/max %.3f/%.3f/%.3f m", leg.min, leg.median, leg.max) +
    text(", middle 90%% %.3f..%.3f m", leg_low, leg_high);
  values.push_back({"min_line_len", std::max(0.01, floor_to(0.8 * leg_low, 0.01)), leg_source + ", less 20%"});
  values.push_back({"max_line_len", ceil_to(1.2 * leg_high, 0.01), leg_source + ", plus 20%"});
  const double gap_high = percentile(gaps, 0.95);
  values.push_back(
    {"points_max_distance", std::min(kMaxGap, std::max(0.02, ceil_to(1.5 * gap_high, 0.01))),
      text("end gaps of the candidate pairs min/median/max %.3f/%.3f/%.3f m; 95%% below %.3f m, plus 50%% "
      "(the test is strict), at most 0.10 m", gap.min, gap.median, gap.max, gap_high)});
  const double target = std::round(angle.median * 1000.0) / 1000.0;
  const double spread = std::max(
    std::fabs(percentile(angles, 0.95) - target), std::fabs(target - percentile(angles, 0.05)));
  const double tolerance = std::min(kMaxTolerance, spread + 2.0 / kDegrees);
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
      text("tolerance %.2f deg = largest deviation of the middle 90%% %.2f deg plus 2 deg, at most 15 deg, as a "
      "fraction of target_angle", angle_error * std::fabs(target) * kDegrees, spread * kDegrees)});
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

std::vector<ParameterSuggestion> suggestion_candidates(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  std::string & problem, const CandidateRules & rules, std::size_t max_count)
{
  std::vector<ParameterSuggestion> suggestions;
  if (scans.empty()) {
    problem = "the recording holds no scans";
    return suggestions;
  }
  if (!has_intensities(scans)) {
    problem =
      "the recording has no intensities: both programs keep only readings inside an intensity band, so "
      "nothing can be suggested; record the scanner with intensities switched on";
    return suggestions;
  }
  const std::size_t needed =
    std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(rules.min_scan_share * scans.size())));
  const std::vector<BandLevel> levels = band_levels(scans, current);
  const std::vector<Splitting> all_splittings = splittings(current.detector);
  const Splitting & now = all_splittings.front();
  std::vector<Choice> choices;
  std::string tried;
  std::size_t current_shown = 0;
  for (std::size_t level = 0; level < levels.size() && choices.size() < max_count; ++level) {
    std::vector<Choice> at_level;
    std::size_t best = 0;
    for (const Splitting & splitting : all_splittings) {
      Choice choice{level, splitting, current, {}};
      choice.settings.band = levels[level].band;
      apply(splitting, choice.settings);
      choice.candidates = v_candidates(scans, choice.settings, rules);
      best = std::max(best, choice.candidates.size());
      if (level == 0 && &splitting == &now) {
        current_shown = choice.candidates.size();
      }
      if (choice.candidates.size() >= needed) {
        at_level.push_back(std::move(choice));
      }
    }
    tried += (tried.empty() ? "" : ", ") + text("%.6g..%.6g", levels[level].band.min_intensity,
      levels[level].band.max_intensity) + " (V candidate in at most " + std::to_string(best) + " scans)";
    // Most scans with a candidate first; among equals the current splitting
    // (no change without a reason), then the longest legs (whole plates).
    std::stable_sort(at_level.begin(), at_level.end(), [&now](const Choice & a, const Choice & b) {
        if (a.candidates.size() != b.candidates.size()) {
          return a.candidates.size() > b.candidates.size();
        }
        if ((a.splitting == now) != (b.splitting == now)) {
          return a.splitting == now;
        }
        return median_leg(a.candidates) > median_leg(b.candidates);
      });
    for (auto & choice : at_level) {
      if (choices.size() < max_count) {
        choices.push_back(std::move(choice));
      }
    }
  }
  if (choices.empty()) {
    problem = "found no V-shaped candidate (two straight legs of at least " +
      text("%.2f m whose ends meet within %.2f m at %.0f..%.0f deg, opening towards the laser", rules.min_leg,
      rules.max_gap, rules.min_turn * kDegrees, rules.max_turn * kDegrees) + ") in at least " +
      text("%.0f%% of the scans with any segment splitting; bands tried: ", rules.min_scan_share * 100.0) + tried;
    return suggestions;
  }
  // The window depends on the scans alone: the same for every suggestion.
  std::vector<SuggestedValue> window;
  if (!current.line_program) {
    suggest_window(scans, current, window);
  }
  for (const Choice & choice : choices) {
    ParameterSuggestion suggestion;
    suggestion.found = true;
    suggestion.scans = scans.size();
    suggestion.scans_with_candidate = choice.candidates.size();
    suggestion.values = window;
    const BandLevel & level = levels[choice.band_level];
    std::string band_comment = level.comment;
    if (choice.band_level == 0) {
      band_comment = "kept: the current band shows a V candidate in " + std::to_string(choice.candidates.size()) +
        " of " + std::to_string(scans.size()) + " scans";
    }
    suggestion.values.push_back({"min_intensity", level.band.min_intensity, band_comment});
    suggestion.values.push_back({"max_intensity", level.band.max_intensity, band_comment});
    const std::string split_comment = splitting_comment(
      choice.splitting, now, scans.size(), choice.candidates.size(), current_shown);
    suggestion.values.push_back(
      {"threshold_split_neighbor", choice.splitting.neighbour ? 1.0 : 0.0, split_comment, ValueKind::kBool});
    suggestion.values.push_back({"threshold_split", choice.splitting.split, split_comment});
    suggestion.values.push_back(
      {"min_points_per_line", static_cast<double>(choice.splitting.per_line), split_comment, ValueKind::kInteger});
    suggestion.values.push_back(
      {"min_points_per_unit", static_cast<double>(choice.splitting.per_unit), split_comment, ValueKind::kInteger});
    suggest_from_candidates(choice.candidates, choice.settings, suggestion.values);
    suggestion.summary = text("band %.6g..%.6g, ", level.band.min_intensity, level.band.max_intensity) +
      (choice.splitting.neighbour ? "neighbour-gap cut on" : "neighbour-gap cut off") +
      text(", split %.2f m, points per line/unit %.0f/%.0f", choice.splitting.split, choice.splitting.per_line,
      choice.splitting.per_unit);
    suggestions.push_back(std::move(suggestion));
  }
  return suggestions;
}

ParameterSuggestion suggest_parameters(
  const std::vector<sensor_msgs::msg::LaserScan> & scans, const AnalysisSettings & current,
  const CandidateRules & rules)
{
  std::string problem;
  std::vector<ParameterSuggestion> suggestions = suggestion_candidates(scans, current, problem, rules, 1);
  if (suggestions.empty()) {
    ParameterSuggestion none;
    none.scans = scans.size();
    none.problem = problem;
    return none;
  }
  return std::move(suggestions.front());
}

std::string suggestion_yaml(
  const ParameterSuggestion & suggestion, const std::string & node_name, const std::string & recording)
{
  std::string yaml = "# Parameters suggested by align_replay --suggest for " + node_name + "\n# from " +
    recording + ": a V candidate in " + std::to_string(suggestion.scans_with_candidate) + " of " +
    std::to_string(suggestion.scans) + " scans.\n# Load with: --ros-args --params-file THIS_FILE\n";
  yaml += "/**/" + node_name + ":\n  ros__parameters:\n";
  for (const auto & value : suggestion.values) {
    std::string written = yaml_number(value.value);
    if (value.kind == ValueKind::kBool) {
      written = value.value != 0.0 ? "true" : "false";
    } else if (value.kind == ValueKind::kInteger) {
      written = std::to_string(static_cast<long long>(std::llround(value.value)));
    }
    yaml += "    # " + value.comment + "\n    " + value.name + ": " + written + "\n";
  }
  return yaml;
}

}  // namespace align_tools
