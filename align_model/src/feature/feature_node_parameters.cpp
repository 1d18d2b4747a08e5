// Declaration of the node's 27 parameters; each value is read once, here.
#include <limits>
#include <stdexcept>
#include <string>

#include "feature/feature_node.hpp"

namespace align_model
{
namespace
{

const rcl_interfaces::msg::ParameterDescriptor kNoDescriptor{};
constexpr bool kKeepOverrides = false;
// Longest smoothing history: minutes of scans at any scanner rate.
constexpr std::int32_t kMaxTimes = 10000;

}  // namespace

void FeatureNode::declare_parameters()
{
  min_angle_ = declare_double("min_angle", -3.14);
  max_angle_ = declare_double("max_angle", 3.14);
  min_intensity_ = declare_double("min_intensity", 250.0);
  max_intensity_ = declare_double("max_intensity", 255.0);
  min_range_ = declare_double("min_range", 0.01);
  max_range_ = declare_double("max_range", 2.0);
  detector_parameter_->threshold_split_neighbor =
    declare_parameter("threshold_split_neighbor", true, kNoDescriptor, kKeepOverrides);
  detector_parameter_->threshold_split = declare_double("threshold_split", 0.01);
  detector_parameter_->min_length = declare_double("min_length", 0.05);
  detector_parameter_->min_points_per_line = declare_int32("min_points_per_line", 5);
  detector_parameter_->min_points_per_unit = declare_int32("min_points_per_unit", 5);
  points_max_distance_ = declare_double("points_max_distance", 0.03);
  min_line_len_ = declare_double("min_line_len", 0.1);
  max_line_len_ = declare_double("max_line_len", 0.07);
  target_angle_ = declare_double("target_angle", 1.047);
  angle_error_ = declare_double("angle_error", 0.2);
  angle_type_ = declare_int32("angle_type", 0);
  anti_pose_angle_ = declare_parameter("anti_pose_angle", false, kNoDescriptor, kKeepOverrides);
  weights_angle_error_ = declare_double("weights_angle_error", 0.1);
  weights_distance_anti_x_ = declare_double("weights_distance_anti_x", 0.1);
  weights_distance_last_f_ = declare_double("weights_distance_last_f", 0.1);
  times_ = declare_int32("times", 5);
  // The feature manager smooths over a history of `times` entries and needs
  // at least one; refuse to start rather than misbehave later.
  if (times_ < 1) {
    throw std::invalid_argument(
            "parameter 'times' must be at least 1, got " + std::to_string(times_));
  }
  // The history is allocated at start-up: a value in the billions would take
  // gigabytes and end the program without a word.
  if (times_ > kMaxTimes) {
    throw std::invalid_argument(
            "parameter 'times' must be at most " + std::to_string(kMaxTimes) + ", got " + std::to_string(times_));
  }
  enable_topic_ = declare_parameter("enable_topic", std::string("align_enable"), kNoDescriptor, kKeepOverrides);
  scan_topic_ = declare_parameter("scan_topic", std::string("back_scan"), kNoDescriptor, kKeepOverrides);
  publish_frame_ = declare_parameter("publish_frame", std::string("base_footprint"), kNoDescriptor, kKeepOverrides);
  pose_stamped_topic_ =
    declare_parameter("pose_stamped_topic", std::string("docking_pose"), kNoDescriptor, kKeepOverrides);
  debug_ = declare_parameter("debug", false, kNoDescriptor, kKeepOverrides);
  diagnostics_ = declare_parameter("diagnostics", false, kNoDescriptor, kKeepOverrides);
}

double FeatureNode::declare_double(const std::string & name, double default_value)
{
  return declare_parameter(name, default_value, kNoDescriptor, kKeepOverrides);
}

// ROS 2 integers are 64 bits wide; a value that a 32-bit member cannot hold is
// refused instead of being silently wrapped.
std::int32_t FeatureNode::declare_int32(const std::string & name, std::int32_t default_value)
{
  const std::int64_t value = declare_parameter(name, default_value, kNoDescriptor, kKeepOverrides);
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    throw std::out_of_range(
            "parameter '" + name + "' does not fit a 32-bit integer: " + std::to_string(value));
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace align_model
