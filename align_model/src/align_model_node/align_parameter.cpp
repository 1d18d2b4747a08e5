#include "align_model_node/align_parameter.hpp"

#include <chrono>
#include <optional>
#include <stdexcept>

#include "align_model/int32_parameter.hpp"
#include "align_model/parameter_descriptions.hpp"

#include "program/parameter_description.hpp"

namespace align_node
{
namespace
{

namespace descriptions = align_model::descriptions;

// The holder parameters kept in 32-bit members.
const char * const kInt32Parameters[] = {"min_points_per_line", "min_points_per_unit", "angle_type"};

}  // namespace

AlignParameter::AlignParameter(rclcpp::Node * node)
: node_(node)
{
  declare_parameters();
  refuse_integers_outside_32_bits();
  update_parameters();
  // Runs on the executor thread between callbacks, so a refresh never lands in
  // the middle of a scan.
  timer_ = node_->create_wall_timer(
    std::chrono::seconds(1), [this]() {update_parameters();});
}

tuw::LineSegment2DDetectorParameter AlignParameter::initial_detector_parameter()
{
  tuw::LineSegment2DDetectorParameter parameter;
  parameter.threshold_split_neighbor = true;
  parameter.threshold_split = 0.05;
  parameter.min_length = 0.1;
  parameter.min_points_per_line = 20;
  parameter.min_points_per_unit = 10;
  return parameter;
}

void AlignParameter::declare_parameters()
{
  // Every one of these is re-read every second, so a change takes effect
  // within one second.
  declare("threshold_split_neighbor", true, descriptions::kThresholdSplitNeighbor);
  declare("threshold_split", 0.01, descriptions::kThresholdSplit);
  declare("min_length", 0.05, descriptions::kMinLength);
  declare("min_points_per_line", 5, descriptions::kMinPointsPerLine);
  declare("min_points_per_unit", 5, descriptions::kMinPointsPerUnit);
  declare("laser_to_base_x", -0.102, "x of the laser in the base frame (m)");
  declare("laser_to_base_y", 0.0, "y of the laser in the base frame (m)");
  declare("laser_to_base_th", 3.14, "Yaw of the laser in the base frame (rad)");
  declare("base_frame_id", "base_footprint", "Frame of the published pose and markers");
  declare("min_intensity", 250.0, descriptions::kMinIntensity);
  declare("max_intensity", 255.0, descriptions::kMaxIntensity);
  declare("min_range", 0.01, descriptions::kMinRange);
  declare("max_range", 2.0, descriptions::kMaxRange);
  declare("points_max_distance", 0.03, "Largest gap between the touching ends of the two target lines (m)");
  declare("min_line_len", 0.1, "Shortest target line (m)");
  declare("max_line_len", 0.07, "Longest target line (m)");
  declare("target_angle", 1.047, "Angle between the directions of the two target lines (rad)");
  declare("angle_error", 0.2, descriptions::kAngleError);
  declare("angle_type", 1, descriptions::kAngleType);
  declare("anti_pose_angle", false, descriptions::kAntiPoseAngle);
  declare("orthogonal_refit", false, descriptions::kOrthogonalRefit);
}

template<typename ParameterT>
void AlignParameter::declare(const char * name, const ParameterT & default_value, const char * description)
{
  node_->declare_parameter(name, default_value, align_program::described(description));
}

void AlignParameter::update_parameters()
{
  node_->get_parameter("threshold_split_neighbor", detector_parameter.threshold_split_neighbor);
  node_->get_parameter("threshold_split", detector_parameter.threshold_split);
  node_->get_parameter("min_length", detector_parameter.min_length);
  copy_int32("min_points_per_line", detector_parameter.min_points_per_line);
  copy_int32("min_points_per_unit", detector_parameter.min_points_per_unit);
  node_->get_parameter("laser_to_base_x", laser_to_base_x);
  node_->get_parameter("laser_to_base_y", laser_to_base_y);
  node_->get_parameter("laser_to_base_th", laser_to_base_th);
  node_->get_parameter("base_frame_id", base_frame_id);
  node_->get_parameter("min_intensity", min_intensity);
  node_->get_parameter("max_intensity", max_intensity);
  node_->get_parameter("min_range", min_range);
  node_->get_parameter("max_range", max_range);
  node_->get_parameter("points_max_distance", points_max_distance);
  node_->get_parameter("min_line_len", min_line_len);
  node_->get_parameter("max_line_len", max_line_len);
  node_->get_parameter("target_angle", target_angle);
  node_->get_parameter("angle_error", angle_error);
  copy_int32("angle_type", angle_type);
  node_->get_parameter("anti_pose_angle", anti_pose_angle);
  node_->get_parameter("orthogonal_refit", orthogonal_refit);
}

void AlignParameter::refuse_integers_outside_32_bits() const
{
  for (const char * name : kInt32Parameters) {
    const std::int64_t value = node_->get_parameter(name).as_int();
    if (!align_model::narrow_to_int32(value)) {
      throw std::out_of_range(align_model::int32_range_error(name, value));
    }
  }
}

// The typed get_parameter would wrap a 64-bit value into the int silently.
void AlignParameter::copy_int32(const std::string & name, int & member)
{
  rclcpp::Parameter parameter;
  if (!node_->get_parameter(name, parameter) ||
    parameter.get_type() != rclcpp::ParameterType::PARAMETER_INTEGER)
  {
    return;
  }
  const std::int64_t value = parameter.as_int();
  const std::optional<std::int32_t> narrowed = align_model::narrow_to_int32(value);
  if (narrowed) {
    member = *narrowed;
    refused_.erase(name);
    return;
  }
  const auto refused = refused_.find(name);
  if (refused == refused_.end() || refused->second != value) {
    refused_[name] = value;
    RCLCPP_ERROR(
      node_->get_logger(), "%s; keeping %d", align_model::int32_range_error(name, value).c_str(), member);
  }
}

}  // namespace align_node
