#include "align_tools/replay_suggest.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "align_model/angles.hpp"
#include "align_tools/parameter_suggestion.hpp"
#include "align_tools/pose_consistency.hpp"
#include "align_tools/truth_check.hpp"

namespace align_tools
{
namespace
{

// A suggestion is usable when the program then finds the target in this
// share of the scans at least, with at most this share of its poses jumping
// further than a robot can move.
constexpr double kMinDetection = 0.3;
constexpr double kMaxJumpShare = 0.01;
// One degree between the turns the two refits measure.
constexpr double kRefitDisagreement = align_model::kPi / 180.0;

}  // namespace

rclcpp::Parameter as_parameter(const SuggestedValue & value)
{
  switch (value.kind) {
    case ValueKind::kBool:
      return rclcpp::Parameter(value.name, value.value != 0.0);
    case ValueKind::kInteger:
      return rclcpp::Parameter(value.name, static_cast<std::int64_t>(std::llround(value.value)));
    case ValueKind::kDouble:
      break;
  }
  return rclcpp::Parameter(value.name, value.value);
}

namespace
{

// One suggestion as replayed: the program with the base parameters (the
// command line's and the run's overrides) plus the suggested values.
struct Proof
{
  ParameterSuggestion suggestion;
  bool refinements = false;  // the orthogonal refit (and the two-sided test) turned on
  ReplayRun run;
  ReplaySummary summary;
  PoseConsistency consistency;
  std::size_t order = 0;  // the suggestion's place in the search
};

bool usable(const Proof & proof)
{
  return proof.summary.detection_rate >= kMinDetection &&
         static_cast<double>(proof.consistency.jumps) <= kMaxJumpShare * static_cast<double>(proof.consistency.poses);
}

double suggested(const ParameterSuggestion & suggestion, const std::string & name)
{
  for (const auto & value : suggestion.values) {
    if (value.name == name) {
      return value.value;
    }
  }
  return 0.0;
}

// The refinements help where they scatter the poses less, or where the two
// refits disagree on the plates' turn: y = kx + b flattens noisy plates and
// moves the corner away, a bias no scatter shows.
bool refinements_help(const Proof & refined, const Proof & plain)
{
  const auto scatter = [](const Proof & proof) {
      return proof.consistency.position_scatter < 0.0 ? 1e9 : proof.consistency.position_scatter;
    };
  const double turn_difference = std::fabs(
    suggested(refined.suggestion, "target_angle") - suggested(plain.suggestion, "target_angle"));
  return scatter(refined) < 0.9 * scatter(plain) || turn_difference > kRefitDisagreement;
}

// Of one suggestion, the refined variant goes on where it is usable when the
// plain one is not, or where it costs at most 5 points of detection and no
// jumps and helps.
bool preferred_variant(const Proof & refined, const Proof & plain)
{
  if (usable(refined) != usable(plain)) {
    return usable(refined);
  }
  const double gain = refined.summary.detection_rate - plain.summary.detection_rate;
  if (gain < -0.05 || refined.consistency.jumps > plain.consistency.jumps) {
    return false;
  }
  return gain > 0.02 || refinements_help(refined, plain);
}

// Of two suggestions: more detection first (within two points counts as
// equal), then fewer jumps, then the earlier one (narrower band, better
// splitting).
bool better(const Proof & a, const Proof & b)
{
  const double difference = a.summary.detection_rate - b.summary.detection_rate;
  if (std::fabs(difference) > 0.02) {
    return difference > 0.0;
  }
  if (a.consistency.jumps != b.consistency.jumps) {
    return a.consistency.jumps < b.consistency.jumps;
  }
  return a.order < b.order;
}

std::vector<builtin_interfaces::msg::Time> stamps_of(const Recording & recording)
{
  std::vector<builtin_interfaces::msg::Time> stamps;
  for (const auto & scan : recording.scans) {
    stamps.push_back(scan.header.stamp);
  }
  return stamps;
}

std::string consistency_text(const PoseConsistency & c)
{
  char text[320];
  if (c.position_scatter < 0.0) {
    std::snprintf(text, sizeof(text), "%zu of %zu poses jump further than a robot moves between scans", c.jumps,
      c.poses);
  } else {
    std::snprintf(
      text, sizeof(text),
      "%zu of %zu poses jump further than a robot moves between scans; scatter about the trend of %zu scans "
      "%.1f mm, %.2f deg", c.jumps, c.poses, kTrendWindow, c.position_scatter * 1000.0,
      c.heading_scatter * 180.0 / align_model::kPi);
  }
  return text;
}

Proof prove(
  const Recording & recording, const std::vector<builtin_interfaces::msg::Time> & stamps,
  const ReplaySettings & settings, const ParameterSuggestion & suggestion, bool refinements, std::size_t order)
{
  Proof proof{suggestion, refinements, {}, {}, {}, order};
  if (refinements) {
    const char * comment =
      "turned on: the replay with it gave the better result (align_replay --suggest prints both)";
    proof.suggestion.values.push_back({"orthogonal_refit", 1.0, comment, ValueKind::kBool});
    if (settings.node == NodeKind::kFeature) {
      proof.suggestion.values.push_back({"two_sided_angle_test", 1.0, comment, ValueKind::kBool});
    }
  }
  ReplaySettings check = settings;
  check.collect_debug_outputs = false;
  for (const auto & value : proof.suggestion.values) {
    check.parameter_overrides.push_back(as_parameter(value));
  }
  proof.run = replay_recording(recording, check);
  proof.summary = summarize(proof.run.outcomes);
  proof.consistency = pose_consistency(proof.run.outcomes, stamps);
  return proof;
}

}  // namespace

bool write_suggestion(
  const Recording & recording, const ReplayRun & run, const ReplaySettings & settings, const std::string & path,
  const std::optional<GroundTruth> & truth, std::ostream & log)
{
  // The gates are derived from the candidates as each refit sees them: the
  // orthogonal refit measures the plates' true turn, y = kx + b a flatter one.
  AnalysisSettings refined_analysis = run.view.analysis;
  refined_analysis.refit_method = align_model::RefitMethod::kOrthogonal;
  refined_analysis.search.two_sided_angle_test = settings.node == NodeKind::kFeature;
  std::string problem;
  const std::vector<ParameterSuggestion> candidates[2] = {
    suggestion_candidates(recording.scans, run.view.analysis, problem),
    suggestion_candidates(recording.scans, refined_analysis, problem)};
  if (candidates[0].empty() && candidates[1].empty()) {
    log << "suggest: " << problem << "; no parameter file written\n";
    return false;
  }
  const std::string node = settings.node == NodeKind::kFeature ? "align_feature_node" : "align_node";
  const char * refinements =
    settings.node == NodeKind::kFeature ? "orthogonal refit and two-sided angle test" : "orthogonal refit";

  // Every candidate is proven by a replay; what is claimed below is what
  // the chosen one gave, nothing estimated.
  const std::vector<builtin_interfaces::msg::Time> stamps = stamps_of(recording);
  std::optional<Proof> best;
  std::optional<Proof> best_unusable;
  for (std::size_t k = 0; k < std::max(candidates[0].size(), candidates[1].size()); ++k) {
    // The suggestion with and without the refinements; one of them goes on.
    std::vector<Proof> variants;
    for (const bool refined : {false, true}) {
      if (k >= candidates[refined ? 1 : 0].size()) {
        continue;
      }
      variants.push_back(prove(recording, stamps, settings, candidates[refined ? 1 : 0][k], refined, k));
      const Proof & proof = variants.back();
      log << "suggest: tried " << proof.suggestion.summary << (refined ? std::string(", ") + refinements : "")
          << ": a pose for " << proof.summary.poses << " of " << proof.summary.scans_read << " scans, "
          << consistency_text(proof.consistency) << "\n";
    }
    Proof chosen = std::move(variants.front());
    if (variants.size() == 2 && preferred_variant(variants[1], chosen)) {
      chosen = std::move(variants[1]);
    }
    std::optional<Proof> & slot = usable(chosen) ? best : best_unusable;
    if (!slot || better(chosen, *slot)) {
      slot = std::move(chosen);
    }
  }
  if (!best) {
    log << "suggest: no setting gives a pose for at least " << static_cast<int>(kMinDetection * 100.0)
        << "% of the scans with at most " << kMaxJumpShare * 100.0
        << "% of the poses jumping further than a robot moves between scans";
    if (best_unusable) {
      log << " (the best tried: a pose for " << best_unusable->summary.poses << " of "
          << best_unusable->summary.scans_read << " scans, " << best_unusable->consistency.jumps << " jumps)";
    }
    log << "; no parameter file written\n";
    return false;
  }

  std::ofstream out(path);
  out << suggestion_yaml(best->suggestion, node, recording.path);
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
  log << "suggested parameters written to " << path << " (" << best->suggestion.summary
      << (best->refinements ? std::string(", ") + refinements + " turned on" : "") << ")\n";
  log << "suggest: with these values " << node << " publishes a pose for " << best->summary.poses << " of "
      << best->summary.scans_read << " scans\n";
  log << "suggest: consistency: " << consistency_text(best->consistency) << "\n";
  if (truth) {
    log << "suggest: " << format_agreement(agreement_with_truth(best->run.outcomes, *truth));
    const TruthAgreement coarse = agreement_with_truth(best->run.outcomes, *truth, 0.05, 5.0 * align_model::kPi / 180.0);
    log << "suggest: truth: " << best->summary.poses - std::min(best->summary.poses, coarse.within)
        << " of " << best->summary.poses << " poses more than 0.05 m or 5 deg off the ground truth\n";
  }
  return true;
}

}  // namespace align_tools
