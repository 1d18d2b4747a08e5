// Everything the laser V-dock plugin decides, without Nav2 or a node: when
// to listen to the laser, which scan's corner becomes the refined dock pose,
// why there is none, and whether the robot is docked. The plugin classes
// only adapt this to Nav2's dock interface, the transform tree and the
// subscription. Not thread safe: the plugin serialises the calls.
#ifndef ALIGN_NAV2_DOCK__LASER_V_DOCK_LOGIC_HPP_
#define ALIGN_NAV2_DOCK__LASER_V_DOCK_LOGIC_HPP_

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "align_model/detection_funnel.hpp"
#include "align_model/scan_points.hpp"
#include "align_nav2_dock/detection_demand.hpp"
#include "align_nav2_dock/docked_check.hpp"
#include "align_nav2_dock/planar_pose.hpp"
#include "align_nav2_dock/scan_detector.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_nav2_dock
{

struct LaserVDockSettings
{
  ScanDetectorSettings detector;
  // The corner (x axis out of the opening) to the dock pose that the
  // server drives to (x axis into the dock, where the base origin stops).
  DetectionToDock detection_to_dock{-0.20, 0.0, 3.141592653589793};
  double detection_timeout = 0.5;  // s: an older newest scan gives no pose
  // m around where the requested dock's corner should be; only the points
  // there are searched, and a corner found farther away is not used.
  // 0 or less: the whole scan, the first corner the program chooses.
  double search_radius = 0.5;
  double release_after = 0.2;  // s without a request before the laser is let go
  double warning_period = 2.0;  // s: at most one warning per period
  DockedCheckSettings docked;
};

// Why the settings cannot work, or empty.
std::optional<std::string> settings_problem(const LaserVDockSettings & settings);

// What the transform tree knows, asked only when a new scan is processed.
struct FrameLookups
{
  // The laser's mount in the base frame; empty when unknown.
  std::function<std::optional<align_model::PlanarTransform>(const std::string & laser_frame)> laser_to_base;
  // The base frame's pose in the fixed frame at a scan's stamp (exact, as
  // the transform tree keeps it); empty when unknown.
  std::function<std::optional<PlanarPose>(const builtin_interfaces::msg::Time & stamp)> base_in_fixed;
};

struct Refinement
{
  std::optional<PlanarPose> dock;  // fixed frame
  builtin_interfaces::msg::Time stamp;  // the scan's, exact
  std::string problem;  // why there is no dock pose; empty when there is one
};

// A stamp in seconds, for ages.
double stamp_seconds(const builtin_interfaces::msg::Time & stamp);

class LaserVDockLogic
{
public:
  // Throws std::invalid_argument when settings_problem() names one.
  explicit LaserVDockLogic(const LaserVDockSettings & settings);

  // A refinement request of the server at `now` (server clock, s). True when
  // it opens a demand: subscribe now. The detection then starts afresh.
  bool request(double now);
  bool release_due(double now) const {return demand_.release_due(now);}
  // The subscription is gone: the scans kept are dropped.
  void release();
  bool listening() const {return demand_.active();}

  // A scan arrived; only the newest is kept, and it is processed on request.
  void on_scan(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan);
  bool has_scan() const {return newest_ != nullptr;}

  // The dock pose from the newest scan no older than the timeout, searched
  // near `expected_dock` (the server's dock pose in the fixed frame).
  Refinement refine(double now, const PlanarPose & expected_dock, const FrameLookups & lookups);

  // Against the dock pose of the last successful refinement; empty before.
  std::optional<DockedState> docked(const PlanarPose & robot) const;
  bool has_dock() const {return last_dock_.has_value();}

  // True when a warning may be logged at `now`: at most one per period.
  bool warning_due(double now);

  const align_model::DetectionFunnel & funnel() const {return funnel_;}
  const LaserVDockSettings & settings() const {return settings_;}

private:
  Refinement process(const PlanarPose & expected_dock, const FrameLookups & lookups);
  std::optional<SearchRegion> search_region(const PlanarPose & expected_corner_in_base) const;

  LaserVDockSettings settings_;
  ScanDetector detector_;
  DetectionDemand demand_;
  align_model::DetectionFunnel funnel_;
  std::shared_ptr<const sensor_msgs::msg::LaserScan> newest_;
  std::shared_ptr<const sensor_msgs::msg::LaserScan> processed_;
  Refinement processed_result_;
  std::optional<PlanarPose> last_dock_;
  std::optional<double> last_warning_;
};

}  // namespace align_nav2_dock

#endif  // ALIGN_NAV2_DOCK__LASER_V_DOCK_LOGIC_HPP_
