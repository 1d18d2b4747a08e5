// The one place that tells Nav2's dock interfaces apart. Humble's
// opennav_docking_core has the charging dock only, and asks for the refined
// pose without the dock's id; Jazzy's (navigation2 since its November 2024
// sync) adds NonChargingDock and passes the id.
#ifndef ALIGN_NAV2_DOCK__PLUGIN__DOCK_INTERFACE_HPP_
#define ALIGN_NAV2_DOCK__PLUGIN__DOCK_INTERFACE_HPP_

#include "opennav_docking_core/charging_dock.hpp"

#if __has_include("opennav_docking_core/non_charging_dock.hpp")
#include "opennav_docking_core/non_charging_dock.hpp"
#define ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK 1
#else
#define ALIGN_NAV2_DOCK_WITH_NON_CHARGING_DOCK 0
#endif

#endif  // ALIGN_NAV2_DOCK__PLUGIN__DOCK_INTERFACE_HPP_
