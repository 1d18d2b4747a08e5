#ifndef ALIGN_TOOLS__FUNNEL_REPORT_HPP_
#define ALIGN_TOOLS__FUNNEL_REPORT_HPP_

#include <string>
#include <vector>

#include "align_model/detection_funnel.hpp"
#include "align_tools/replay_summary.hpp"

namespace align_tools
{

// The stages the node itself recorded for the scans of one replay.
align_model::DetectionFunnel funnel_of(const std::vector<ScanOutcome> & outcomes);

// One "funnel:" line per stage, in pipeline order, with the scans that stopped
// there and their share of all scans read; a header line first.
std::string format_funnel(const align_model::DetectionFunnel & funnel, std::size_t scans_read);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__FUNNEL_REPORT_HPP_
