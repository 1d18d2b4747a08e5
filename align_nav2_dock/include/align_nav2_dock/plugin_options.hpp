// The plugin's parameters: the detector programs' own (same names, meanings
// and descriptions) and those of the docking. Read through a source that the
// plugin backs with the server node's parameters under the plugin's name,
// and the tests with a table.
#ifndef ALIGN_NAV2_DOCK__PLUGIN_OPTIONS_HPP_
#define ALIGN_NAV2_DOCK__PLUGIN_OPTIONS_HPP_

#include <cstdint>
#include <string>

#include "align_nav2_dock/laser_v_dock_logic.hpp"

namespace align_nav2_dock
{

// Declares (if need be) and reads one parameter, by its name under the plugin.
class ParameterSource
{
public:
  virtual ~ParameterSource() = default;
  virtual double number(const std::string & name, double default_value, const std::string & description) = 0;
  virtual bool flag(const std::string & name, bool default_value, const std::string & description) = 0;
  virtual std::int64_t integer(const std::string & name, std::int64_t default_value, const std::string & description) = 0;
  virtual std::string text(const std::string & name, const std::string & default_value, const std::string & description) = 0;
};

struct PluginOptions
{
  LaserVDockSettings logic;
  std::string scan_topic = "scan";
  double staging_x_offset = -0.7;  // m along the dock's x axis
  double staging_yaw_offset = 0.0;  // rad
  double first_scan_timeout = 1.0;  // s the first request of a docking waits for a scan
  double transform_timeout = 0.05;  // s a request waits for the base's pose at a scan's time
};

// `control_period`: the server's (1 / controller_frequency), s; the laser is
// let go after `release_after_periods` of them without a request. Throws
// std::invalid_argument naming the parameter that cannot work.
PluginOptions read_plugin_options(ParameterSource & source, double control_period, bool dock_backwards);

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__PLUGIN_OPTIONS_HPP_
