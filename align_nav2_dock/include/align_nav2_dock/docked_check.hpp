// Whether the robot is docked: the distance check of Nav2's docks, and, when
// asked, the lateral offset and the heading that decide whether contacts
// mate.
#ifndef ALIGN_NAV2_DOCK__DOCKED_CHECK_HPP_
#define ALIGN_NAV2_DOCK__DOCKED_CHECK_HPP_

#include "align_nav2_dock/planar_pose.hpp"

namespace align_nav2_dock
{

struct DockedCheckSettings
{
  double docking_threshold = 0.05;  // m, distance of the base origin from the dock pose
  bool check_lateral = false;
  double lateral_tolerance = 0.01;  // m, across the dock's x axis
  bool check_heading = false;
  double heading_tolerance = 0.035;  // rad
  // The robot reverses in (the server's dock_backwards): docked, it faces
  // away from the dock's x axis.
  bool backward = false;
};

struct DockedState
{
  bool docked = false;
  double distance = 0.0;
  double lateral = 0.0;  // robot's offset across the dock's x axis (dock frame y)
  double heading_error = 0.0;  // robot heading minus the docked heading, in [-pi, pi)
};

DockedState check_docked(const DockedCheckSettings & settings, const PlanarPose & robot, const PlanarPose & dock);

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__DOCKED_CHECK_HPP_
