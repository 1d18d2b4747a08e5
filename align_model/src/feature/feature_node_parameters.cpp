// Declaration of the node's parameters, each with a description; each value
// is read once, here.
#include <optional>
#include <stdexcept>
#include <string>

#include "align_model/feature_manager.hpp"
#include "align_model/int32_parameter.hpp"
#include "align_model/parameter_descriptions.hpp"
#include "feature/feature_node.hpp"
#include "program/dock_pose_topic.hpp"
#include "program/parameter_description.hpp"
#include "program/scan_qos.hpp"

namespace align_model
{
namespace
{

using align_program::described;

constexpr bool kKeepOverrides = false;

}  // namespace

void FeatureNode::declare_parameters()
{
  min_angle_ = declare_double("min_angle", -3.14, descriptions::kMinAngle);
  max_angle_ = declare_double("max_angle", 3.14, descriptions::kMaxAngle);
  min_intensity_ = declare_double("min_intensity", 250.0, descriptions::kMinIntensity);
  max_intensity_ = declare_double("max_intensity", 255.0, descriptions::kMaxIntensity);
  min_range_ = declare_double("min_range", 0.01, descriptions::kMinRange);
  max_range_ = declare_double("max_range", 2.0, descriptions::kMaxRange);
  detector_parameter_->threshold_split_neighbor = declare_parameter(
    "threshold_split_neighbor", true, described(descriptions::kThresholdSplitNeighbor), kKeepOverrides);
  detector_parameter_->threshold_split = declare_double("threshold_split", 0.01, descriptions::kThresholdSplit);
  detector_parameter_->min_length = declare_double("min_length", 0.05, descriptions::kMinLength);
  detector_parameter_->min_points_per_line =
    declare_int32("min_points_per_line", 5, descriptions::kMinPointsPerLine);
  detector_parameter_->min_points_per_unit =
    declare_int32("min_points_per_unit", 5, descriptions::kMinPointsPerUnit);
  points_max_distance_ = declare_double("points_max_distance", 0.03, descriptions::kPointsMaxDistance);
  min_line_len_ = declare_double("min_line_len", 0.1, descriptions::kMinLineLen);
  max_line_len_ = declare_double("max_line_len", 0.07, descriptions::kMaxLineLen);
  target_angle_ = declare_double("target_angle", 1.047, descriptions::kTargetAngle);
  angle_error_ = declare_double("angle_error", 0.2, descriptions::kAngleError);
  angle_type_ = declare_int32("angle_type", 0, "Kept for parameter files shared with align_node; unused here");
  anti_pose_angle_ = declare_parameter(
    "anti_pose_angle", false, described("Kept for parameter files shared with align_node; unused here"),
    kKeepOverrides);
  weights_angle_error_ = declare_double("weights_angle_error", 0.1, descriptions::kWeightsAngleError);
  weights_distance_anti_x_ = declare_double("weights_distance_anti_x", 0.1, descriptions::kWeightsDistanceAntiX);
  weights_distance_last_f_ = declare_double("weights_distance_last_f", 0.1, descriptions::kWeightsDistanceLastF);
  times_ = declare_int32("times", 5, descriptions::kTimes);
  // The feature manager smooths over a history of `times` entries and needs
  // at least one; refuse to start rather than misbehave later.
  if (times_ < 1) {
    throw std::invalid_argument(
            "parameter 'times' must be at least 1, got " + std::to_string(times_));
  }
  if (times_ > kMaxSmoothingTimes) {
    throw std::invalid_argument(
            "parameter 'times' must be at most " + std::to_string(kMaxSmoothingTimes) + ", got " +
            std::to_string(times_));
  }
  enable_topic_ = declare_string("enable_topic", "align_enable", "Topic of the zephyrax_protocol/msg/Align enable signal");
  scan_topic_ = declare_string("scan_topic", "back_scan", "Topic of the input sensor_msgs/msg/LaserScan");
  publish_frame_ = declare_string(
    "publish_frame", "base_footprint", "Frame the points are moved into and the pose and markers are published in");
  pose_stamped_topic_ = declare_string(
    "pose_stamped_topic", "docking_pose", "Topic of the target pose (heading in pose.position.z)");
  debug_ = declare_parameter(
    "debug", false, described("Publish the selected scan on align_scan and markers on align_marker"),
    kKeepOverrides);
  scan_qos_ = align_program::scan_qos_from_choice(
    declare_string(align_program::kScanQosParameter, align_program::kScanQosReliable, align_program::kScanQosDescription));
  dock_pose_topic_ =
    declare_string(align_program::kDockPoseTopicParameter, "", align_program::kDockPoseTopicDescription);
  two_sided_angle_test_ = declare_parameter(
    "two_sided_angle_test", false, described(descriptions::kTwoSidedAngleTest), kKeepOverrides);
  refit_method_ = declare_parameter(
    "orthogonal_refit", false, described(descriptions::kOrthogonalRefit), kKeepOverrides) ?
    RefitMethod::kOrthogonal : RefitMethod::kLeastSquares;
  diagnostics_ = declare_parameter("diagnostics", false, described("Publish diagnostic_msgs/msg/DiagnosticArray on /diagnostics once a second; read at start-up"), kKeepOverrides);
}

double FeatureNode::declare_double(const std::string & name, double default_value, const std::string & description)
{
  return declare_parameter(name, default_value, described(description), kKeepOverrides);
}

std::string FeatureNode::declare_string(
  const std::string & name, const std::string & default_value, const std::string & description)
{
  return declare_parameter(name, default_value, described(description), kKeepOverrides);
}

// ROS 2 integers are 64 bits wide; a value that a 32-bit member cannot hold is
// refused instead of being silently wrapped (the same rule as align_node's).
std::int32_t FeatureNode::declare_int32(
  const std::string & name, std::int32_t default_value, const std::string & description)
{
  const std::int64_t value = declare_parameter(name, default_value, described(description), kKeepOverrides);
  const std::optional<std::int32_t> narrowed = narrow_to_int32(value);
  if (!narrowed) {
    throw std::out_of_range(int32_range_error(name, value));
  }
  return *narrowed;
}

}  // namespace align_model
