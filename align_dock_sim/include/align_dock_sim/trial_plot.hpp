// A top-down picture of the docking trials in the world frame: the scene's
// plates, walls and boxes, the docked pose, and for every trial its true
// path (green when it docked, red when it failed), the target poses it
// received (blue, placed in the world from the true pose at each scan), and
// its start and end poses.
#ifndef ALIGN_DOCK_SIM__TRIAL_PLOT_HPP_
#define ALIGN_DOCK_SIM__TRIAL_PLOT_HPP_

#include <string>
#include <vector>

#include "align_dock_sim/scene.hpp"
#include "align_dock_sim/trial_runner.hpp"

namespace align_dock_sim
{

// A self-contained SVG.
std::string render_trials_svg(const Scene & scene, const std::vector<TrialResult> & results, const std::string & title);

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__TRIAL_PLOT_HPP_
