#include "align_nav2_dock/plugin_options.hpp"

#include <optional>
#include <stdexcept>

#include "align_model/int32_parameter.hpp"
#include "align_model/parameter_descriptions.hpp"

namespace align_nav2_dock
{
namespace
{

// The programs' rule: a value outside 32 bits is refused, never wrapped.
int int32_parameter(ParameterSource & source, const std::string & name, int default_value, const std::string & text)
{
  const std::int64_t value = source.integer(name, default_value, text);
  const std::optional<std::int32_t> narrowed = align_model::narrow_to_int32(value);
  if (!narrowed) {
    throw std::invalid_argument(align_model::int32_range_error(name, value));
  }
  return *narrowed;
}

// The detector programs' parameters, described as the programs describe them.
void read_detector(ParameterSource & source, ScanDetectorSettings & detector)
{
  using namespace align_model::descriptions;  // NOLINT(build/namespaces): the programs' texts
  const std::string variant = source.text(
    "detector", "feature", "Which program's pipeline runs on each scan: feature (align_feature_node) or line (align_node)");
  const std::optional<DetectorVariant> parsed = detector_variant_from(variant);
  if (!parsed) {
    throw std::invalid_argument("parameter 'detector' must be 'feature' or 'line', got '" + variant + "'");
  }
  detector.variant = *parsed;
  detector.min_angle = source.number("min_angle", detector.min_angle, kMinAngle);
  detector.max_angle = source.number("max_angle", detector.max_angle, kMaxAngle);
  align_model::RangeIntensityBand & band = detector.band;
  band.min_intensity = source.number("min_intensity", band.min_intensity, kMinIntensity);
  band.max_intensity = source.number("max_intensity", band.max_intensity, kMaxIntensity);
  band.min_range = source.number("min_range", band.min_range, kMinRange);
  band.max_range = source.number("max_range", band.max_range, kMaxRange);
  tuw::LineSegment2DDetectorParameter & splitting = detector.splitting;
  splitting.threshold_split_neighbor =
    source.flag("threshold_split_neighbor", splitting.threshold_split_neighbor, kThresholdSplitNeighbor);
  splitting.threshold_split = source.number("threshold_split", splitting.threshold_split, kThresholdSplit);
  splitting.min_length = source.number("min_length", splitting.min_length, kMinLength);
  splitting.min_points_per_line =
    int32_parameter(source, "min_points_per_line", splitting.min_points_per_line, kMinPointsPerLine);
  splitting.min_points_per_unit =
    int32_parameter(source, "min_points_per_unit", splitting.min_points_per_unit, kMinPointsPerUnit);
  detector.points_max_distance =
    source.number("points_max_distance", detector.points_max_distance, kPointsMaxDistance);
  detector.min_line_len = source.number("min_line_len", detector.min_line_len, kMinLineLen);
  detector.max_line_len = source.number("max_line_len", detector.max_line_len, kMaxLineLen);
  detector.target_angle = source.number("target_angle", detector.target_angle, kTargetAngle);
  detector.angle_error = source.number("angle_error", detector.angle_error, kAngleError);
  detector.two_sided_angle_test =
    source.flag("two_sided_angle_test", detector.two_sided_angle_test, kTwoSidedAngleTest);
  detector.orthogonal_refit = source.flag("orthogonal_refit", detector.orthogonal_refit, kOrthogonalRefit);
  detector.weights_angle_error =
    source.number("weights_angle_error", detector.weights_angle_error, kWeightsAngleError);
  detector.weights_distance_anti_x =
    source.number("weights_distance_anti_x", detector.weights_distance_anti_x, kWeightsDistanceAntiX);
  detector.weights_distance_last_f =
    source.number("weights_distance_last_f", detector.weights_distance_last_f, kWeightsDistanceLastF);
  detector.times = int32_parameter(source, "times", detector.times, kTimes);
  detector.angle_type = int32_parameter(source, "angle_type", detector.angle_type, kAngleType);
  detector.anti_pose_angle = source.flag("anti_pose_angle", detector.anti_pose_angle, kAntiPoseAngle);
}

void read_docking(ParameterSource & source, double control_period, PluginOptions & options)
{
  LaserVDockSettings & logic = options.logic;
  logic.detection_to_dock.translation_x = source.number(
    "detection_translation_x", logic.detection_to_dock.translation_x,
    "Dock pose from the detected corner: shift along the turned x axis (m), as external_detection_translation_x");
  logic.detection_to_dock.translation_y = source.number(
    "detection_translation_y", logic.detection_to_dock.translation_y,
    "Dock pose from the detected corner: shift along the turned y axis (m)");
  logic.detection_to_dock.rotation_yaw = source.number(
    "detection_rotation_yaw", logic.detection_to_dock.rotation_yaw,
    "Dock pose from the detected corner: turn first (rad); pi turns the corner's x axis, out of the opening, "
    "into the dock");
  logic.detection_timeout = source.number(
    "detection_timeout", logic.detection_timeout, "A scan older than this (s) gives no dock pose");
  logic.search_radius = source.number(
    "dock_search_radius", logic.search_radius,
    "Only points within this distance (m) of where the requested dock's corner should be are searched, "
    "and a corner found farther away is not used; 0 or less: the whole scan");
  const double periods = source.number(
    "release_after_periods", 10.0,
    "Control periods without a pose request after which the plugin stops listening to the laser");
  logic.release_after = periods * control_period;
  logic.warning_period = source.number(
    "warning_period", logic.warning_period, "Shortest time between two warnings that no dock pose is available (s)");
  DockedCheckSettings & docked = logic.docked;
  docked.docking_threshold = source.number(
    "docking_threshold", docked.docking_threshold, "Docked within this distance of the dock pose (m)");
  docked.check_lateral = source.flag(
    "check_lateral_offset", docked.check_lateral, "Docked also requires the offset across the dock within lateral_tolerance");
  docked.lateral_tolerance = source.number(
    "lateral_tolerance", docked.lateral_tolerance, "Largest offset across the dock's axis when docked (m)");
  docked.check_heading = source.flag(
    "check_heading", docked.check_heading, "Docked also requires the heading within heading_tolerance");
  docked.heading_tolerance = source.number(
    "heading_tolerance", docked.heading_tolerance, "Largest heading error when docked (rad)");
  options.scan_topic = source.text("scan_topic", options.scan_topic, "Topic of the sensor_msgs/msg/LaserScan");
  options.staging_x_offset = source.number(
    "staging_x_offset", options.staging_x_offset, "Staging pose: along the dock's x axis from the dock pose (m)");
  options.staging_yaw_offset = source.number(
    "staging_yaw_offset", options.staging_yaw_offset, "Staging pose: heading added to the dock's (rad)");
  options.first_scan_timeout = source.number(
    "first_scan_timeout", options.first_scan_timeout,
    "How long the first pose request of a docking waits for the laser's first scan (s)");
  options.transform_timeout = source.number(
    "transform_timeout", options.transform_timeout,
    "How long a pose request waits for the robot's pose at the scan's time (s)");
}

}  // namespace

PluginOptions read_plugin_options(ParameterSource & source, double control_period, bool dock_backwards)
{
  PluginOptions options;
  read_detector(source, options.logic.detector);
  read_docking(source, control_period, options);
  options.logic.docked.backward = dock_backwards;
  if (const std::optional<std::string> problem = settings_problem(options.logic)) {
    throw std::invalid_argument(*problem);
  }
  if (!(options.first_scan_timeout >= 0.0) || !(options.transform_timeout >= 0.0)) {
    throw std::invalid_argument("first_scan_timeout and transform_timeout must not be negative");
  }
  return options;
}

}  // namespace align_nav2_dock
