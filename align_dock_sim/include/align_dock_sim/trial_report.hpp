// What align_dock_trials prints: one JSON object per trial on stdout, one
// line per trial and a summary on stderr.
#ifndef ALIGN_DOCK_SIM__TRIAL_REPORT_HPP_
#define ALIGN_DOCK_SIM__TRIAL_REPORT_HPP_

#include <string>
#include <vector>

#include "align_dock_sim/trial_runner.hpp"

namespace align_dock_sim
{

// {"trial", "start", "docked", "end", "time_s", "poses", "final_true_pose",
//  "docked_pose", "final_error": {"along_m", "across_m", "heading_deg"}}
std::string trial_json(const TrialResult & result);

// "trial 3: docked in 7.84 s, 196 poses; error along -0.0012 m, across ..."
std::string trial_line(const TrialResult & result);

// Docked count, and the median and worst absolute final errors.
std::string trials_summary(const std::vector<TrialResult> & results);

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__TRIAL_REPORT_HPP_
