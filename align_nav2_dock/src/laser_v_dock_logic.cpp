#include "align_nav2_dock/laser_v_dock_logic.hpp"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace align_nav2_dock
{
namespace
{

template<typename ... Args>
std::string format(const char * pattern, Args... args)
{
  char text[256];
  std::snprintf(text, sizeof(text), pattern, args...);
  return text;
}

bool finite_and_positive(double value)
{
  return std::isfinite(value) && value > 0.0;
}

}  // namespace

double stamp_seconds(const builtin_interfaces::msg::Time & stamp)
{
  return static_cast<double>(stamp.sec) + static_cast<double>(stamp.nanosec) * 1e-9;
}

std::optional<std::string> settings_problem(const LaserVDockSettings & settings)
{
  if (std::optional<std::string> problem = settings_problem(settings.detector)) {
    return problem;
  }
  if (!finite_and_positive(settings.detection_timeout)) {
    return format("detection_timeout must be a positive number of seconds, got %g", settings.detection_timeout);
  }
  if (!finite_and_positive(settings.release_after)) {
    return format("the idle time before the laser is let go must be positive, got %g s", settings.release_after);
  }
  if (!std::isfinite(settings.search_radius)) {
    return "dock_search_radius must be a number (0 or less: the whole scan)";
  }
  if (!finite_and_positive(settings.docked.docking_threshold)) {
    return format("docking_threshold must be positive, got %g", settings.docked.docking_threshold);
  }
  return std::nullopt;
}

namespace
{

const LaserVDockSettings & checked(const LaserVDockSettings & settings)
{
  if (const std::optional<std::string> problem = settings_problem(settings)) {
    throw std::invalid_argument(*problem);
  }
  return settings;
}

}  // namespace

LaserVDockLogic::LaserVDockLogic(const LaserVDockSettings & settings)
: settings_(checked(settings)),
  detector_(settings_.detector),
  demand_(settings_.release_after)
{
}

bool LaserVDockLogic::request(double now)
{
  if (!demand_.request(now)) {
    return false;
  }
  // A new docking: nothing of the last one may steer it.
  detector_.reset();
  newest_.reset();
  processed_.reset();
  processed_result_ = Refinement();
  last_dock_.reset();
  return true;
}

void LaserVDockLogic::release()
{
  demand_.release();
  newest_.reset();
  processed_.reset();
}

void LaserVDockLogic::on_scan(std::shared_ptr<const sensor_msgs::msg::LaserScan> scan)
{
  if (scan && demand_.active()) {
    newest_ = std::move(scan);
  }
}

Refinement LaserVDockLogic::refine(double now, const PlanarPose & expected_dock, const FrameLookups & lookups)
{
  if (!newest_) {
    Refinement none;
    none.problem = "no scan received since the detection started";
    return none;
  }
  const double age = now - stamp_seconds(newest_->header.stamp);
  if (age > settings_.detection_timeout) {
    Refinement none;
    none.stamp = newest_->header.stamp;
    none.problem = format(
      "the newest scan is %.2f s old (detection_timeout %.2f s)", age, settings_.detection_timeout);
    return none;
  }
  if (newest_ != processed_) {
    processed_result_ = process(expected_dock, lookups);
    processed_ = newest_;
    if (processed_result_.dock) {
      last_dock_ = processed_result_.dock;
    }
  }
  return processed_result_;
}

Refinement LaserVDockLogic::process(const PlanarPose & expected_dock, const FrameLookups & lookups)
{
  Refinement result;
  result.stamp = newest_->header.stamp;
  const std::string & laser_frame = newest_->header.frame_id;
  const std::optional<align_model::PlanarTransform> laser_to_base =
    lookups.laser_to_base ? lookups.laser_to_base(laser_frame) : std::nullopt;
  if (!laser_to_base) {
    funnel_.record(align_model::FunnelStage::kNoTransform);
    result.problem = "no transform from the laser frame '" + laser_frame + "' to the base frame";
    return result;
  }
  const std::optional<PlanarPose> base_in_fixed =
    lookups.base_in_fixed ? lookups.base_in_fixed(result.stamp) : std::nullopt;
  if (!base_in_fixed) {
    funnel_.record(align_model::FunnelStage::kNoTransform);
    result.problem = "no transform from the base frame to the fixed frame at the scan's time";
    return result;
  }

  const PlanarPose expected_corner = detection_from_dock(settings_.detection_to_dock, expected_dock);
  const PlanarPose expected_in_base = relative(*base_in_fixed, expected_corner);
  const ScanDetection detection = detector_.detect(*newest_, *laser_to_base, search_region(expected_in_base));
  funnel_.record(detection.stage);
  if (!detection.corner) {
    result.problem = std::string("the newest scan stopped at: ") + align_model::funnel_stage_name(detection.stage);
    return result;
  }
  const PlanarPose corner = compose(*base_in_fixed, *detection.corner);
  const double miss = planar_distance(corner, expected_corner);
  if (settings_.search_radius > 0.0 && miss > settings_.search_radius) {
    result.problem = format(
      "the corner found lies %.2f m from where the requested dock's should be (dock_search_radius %.2f m)",
      miss, settings_.search_radius);
    return result;
  }
  result.dock = dock_from_detection(settings_.detection_to_dock, corner);
  return result;
}

std::optional<SearchRegion> LaserVDockLogic::search_region(const PlanarPose & expected_corner_in_base) const
{
  if (!(settings_.search_radius > 0.0)) {
    return std::nullopt;
  }
  return SearchRegion{expected_corner_in_base.x, expected_corner_in_base.y, settings_.search_radius};
}

std::optional<DockedState> LaserVDockLogic::docked(const PlanarPose & robot) const
{
  if (!last_dock_) {
    return std::nullopt;
  }
  return check_docked(settings_.docked, robot, *last_dock_);
}

bool LaserVDockLogic::warning_due(double now)
{
  if (last_warning_ && now - *last_warning_ < settings_.warning_period && now >= *last_warning_) {
    return false;
  }
  last_warning_ = now;
  return true;
}

}  // namespace align_nav2_dock
