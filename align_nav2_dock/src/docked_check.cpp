#include "align_nav2_dock/docked_check.hpp"

#include <cmath>

#include "align_model/angles.hpp"

namespace align_nav2_dock
{

DockedState check_docked(const DockedCheckSettings & settings, const PlanarPose & robot, const PlanarPose & dock)
{
  DockedState state;
  const PlanarPose in_dock = relative(dock, robot);
  state.distance = std::hypot(in_dock.x, in_dock.y);
  state.lateral = in_dock.y;
  const double docked_heading = settings.backward ? align_model::kPi : 0.0;
  state.heading_error = align_model::normalize_angle(in_dock.yaw - docked_heading);

  state.docked = state.distance < settings.docking_threshold;
  if (settings.check_lateral && !(std::fabs(state.lateral) <= settings.lateral_tolerance)) {
    state.docked = false;
  }
  if (settings.check_heading && !(std::fabs(state.heading_error) <= settings.heading_tolerance)) {
    state.docked = false;
  }
  return state;
}

}  // namespace align_nav2_dock
