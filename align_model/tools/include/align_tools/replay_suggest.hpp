#ifndef ALIGN_TOOLS__REPLAY_SUGGEST_HPP_
#define ALIGN_TOOLS__REPLAY_SUGGEST_HPP_

#include <optional>
#include <ostream>
#include <string>

#include "align_tools/ground_truth.hpp"
#include "align_tools/parameter_suggestion.hpp"
#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"

namespace align_tools
{

// --suggest: derives parameters from the recording as the replayed node saw
// it, writes them to `path` as a parameter file, then replays the recording
// once more with them and reports the result on `log` (and the agreement
// with `truth` when given). Returns false, with the reason on `log` and no
// file written, when there is nothing to suggest.
// A suggested value as the parameter of its type.
rclcpp::Parameter as_parameter(const SuggestedValue & value);

bool write_suggestion(
  const Recording & recording, const ReplayRun & run, const ReplaySettings & settings, const std::string & path,
  const std::optional<GroundTruth> & truth, std::ostream & log);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__REPLAY_SUGGEST_HPP_
