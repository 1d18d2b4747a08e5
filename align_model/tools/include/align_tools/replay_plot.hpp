#ifndef ALIGN_TOOLS__REPLAY_PLOT_HPP_
#define ALIGN_TOOLS__REPLAY_PLOT_HPP_

#include <cstddef>

#include "align_tools/recording.hpp"
#include "align_tools/replay.hpp"
#include "align_tools/svg_plot.hpp"

namespace align_tools
{

// The picture of scan `index` of a replay: its returns and accepted points
// (recomputed with the node's bands and transform), the segments of the
// node's segment marker, and the pose it published for that scan.
PlotScene plot_scan(const Recording & recording, const ReplayRun & run, std::size_t index);

// The whole run at once: every scan's returns and accepted points, every
// segment and every published pose.
PlotScene plot_run(const Recording & recording, const ReplayRun & run);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__REPLAY_PLOT_HPP_
