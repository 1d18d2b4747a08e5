#include "align_tools/replay_suggest.hpp"

#include <fstream>
#include <stdexcept>

#include "align_tools/parameter_suggestion.hpp"
#include "align_tools/truth_check.hpp"

namespace align_tools
{

bool write_suggestion(
  const Recording & recording, const ReplayRun & run, const ReplaySettings & settings, const std::string & path,
  const std::optional<GroundTruth> & truth, std::ostream & log)
{
  const ParameterSuggestion suggestion = suggest_parameters(recording.scans, run.view.analysis);
  if (!suggestion.found) {
    log << "suggest: " << suggestion.problem << "; no parameter file written\n";
    return false;
  }
  const std::string node = settings.node == NodeKind::kFeature ? "align_feature_node" : "align_node";
  std::ofstream out(path);
  out << suggestion_yaml(suggestion, node, recording.path);
  if (!out) {
    throw std::runtime_error("cannot write " + path);
  }
  log << "suggested parameters written to " << path << "\n";

  // The proof: the same node, with the suggested values on top.
  ReplaySettings check = settings;
  check.collect_debug_outputs = false;
  for (const auto & value : suggestion.values) {
    check.parameter_overrides.emplace_back(value.name, value.value);
  }
  const ReplayRun checked = replay_recording(recording, check);
  const ReplaySummary summary = summarize(checked.outcomes);
  log << "suggest: with these values " << node << " publishes a pose for " << summary.poses << " of "
      << summary.scans_read << " scans\n";
  if (truth) {
    log << "suggest: " << format_agreement(agreement_with_truth(checked.outcomes, *truth));
  }
  return true;
}

}  // namespace align_tools
