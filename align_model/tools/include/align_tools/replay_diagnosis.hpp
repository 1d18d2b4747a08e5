#ifndef ALIGN_TOOLS__REPLAY_DIAGNOSIS_HPP_
#define ALIGN_TOOLS__REPLAY_DIAGNOSIS_HPP_

#include <string>

#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"

namespace align_tools
{

// The stderr text after the summary: the funnel of the node's recorded
// stages, then the near-miss lines for the stage where most scans stopped.
std::string diagnosis_text(const Recording & recording, const ReplayRun & run);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__REPLAY_DIAGNOSIS_HPP_
