#include "align_model_node/align_parameter.hpp"

#include <chrono>

namespace align_node
{

AlignParameter::AlignParameter(rclcpp::Node * node)
: node_(node)
{
  declare_parameters();
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
  rcl_interfaces::msg::ParameterDescriptor split_neighbor_descriptor;
  split_neighbor_descriptor.description = "..";
  node_->declare_parameter("threshold_split_neighbor", true, split_neighbor_descriptor);
  node_->declare_parameter("threshold_split", 0.01);
  node_->declare_parameter("min_length", 0.05);
  node_->declare_parameter("min_points_per_line", 5);
  node_->declare_parameter("min_points_per_unit", 5);
  node_->declare_parameter("laser_to_base_x", -0.102);
  node_->declare_parameter("laser_to_base_y", 0.0);
  node_->declare_parameter("laser_to_base_th", 3.14);
  node_->declare_parameter("base_frame_id", "base_footprint");
  node_->declare_parameter("min_intensity", 250.0);
  node_->declare_parameter("max_intensity", 255.0);
  node_->declare_parameter("min_range", 0.01);
  node_->declare_parameter("max_range", 2.0);
  node_->declare_parameter("points_max_distance", 0.03);
  node_->declare_parameter("min_line_len", 0.1);
  node_->declare_parameter("max_line_len", 0.07);
  node_->declare_parameter("target_angle", 1.047);
  node_->declare_parameter("angle_error", 0.2);
  node_->declare_parameter("angle_type", 1);
  node_->declare_parameter("anti_pose_angle", false);
}

void AlignParameter::update_parameters()
{
  node_->get_parameter("threshold_split_neighbor", detector_parameter.threshold_split_neighbor);
  node_->get_parameter("threshold_split", detector_parameter.threshold_split);
  node_->get_parameter("min_length", detector_parameter.min_length);
  node_->get_parameter("min_points_per_line", detector_parameter.min_points_per_line);
  node_->get_parameter("min_points_per_unit", detector_parameter.min_points_per_unit);
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
  node_->get_parameter("angle_type", angle_type);
  node_->get_parameter("anti_pose_angle", anti_pose_angle);
}

}  // namespace align_node
