#include "feature/feature_node.hpp"

#include <functional>

#include "align_model/detector_configuration.hpp"

namespace align_model
{

FeatureNode::FeatureNode(const rclcpp::NodeOptions & options)
: rclcpp::Node("align_feature_node", options),
  detector_parameter_(std::make_shared<tuw::LineSegment2DDetectorParameter>())
{
  declare_parameters();

  detector_ = std::make_shared<tuw::LineSegment2DDetector>();
  detector_->config_ = detector_configuration_from(*detector_parameter_);

  frame_listener_ = std::make_shared<StaticFrameListener>(this);

  feature_manager_ = std::make_shared<FeatureManager>(
    static_cast<float>(weights_angle_error_), static_cast<float>(weights_distance_anti_x_),
    static_cast<float>(weights_distance_last_f_), times_);

  enable_subscription_ = create_subscription<zephyrax_protocol::msg::Align>(
    enable_topic_, rclcpp::QoS(1),
    [this](std::shared_ptr<const zephyrax_protocol::msg::Align> msg) {
      enable_ = (msg->enable != 0);
      if (enable_) {
        RCLCPP_INFO(get_logger(), "Align enable signal turn to TRUE.");
      } else {
        RCLCPP_INFO(get_logger(), "Align enable signal turn to FALSE.");
      }
    });

  // Enabled until told otherwise, so that a bench setup without the docking
  // stack processes scans at once.
  enable_ = true;
  RCLCPP_INFO(get_logger(), "Enable signal default to TRUE when test.");

  scan_subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
    scan_topic_, scan_qos_,
    std::bind(&FeatureNode::laser_callback, this, std::placeholders::_1));

  pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(pose_stamped_topic_, rclcpp::QoS(1));
  if (!dock_pose_topic_.empty()) {
    dock_pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(dock_pose_topic_, rclcpp::QoS(1));
  }

  if (debug_) {
    create_debug_publishers();
  }
  if (diagnostics_) {
    diagnostics_reporter_ = std::make_unique<align_program::DetectionDiagnostics>(
      *this, [this]() {return enable_;}, funnel_);
  }
}

FeatureNode::~FeatureNode() = default;

void FeatureNode::create_debug_publishers()
{
  scan_publisher_ = create_publisher<sensor_msgs::msg::LaserScan>("align_scan", rclcpp::QoS(1));
  marker_publisher_ = create_publisher<visualization_msgs::msg::Marker>("align_marker", rclcpp::QoS(1));
}

std::shared_ptr<const StaticFrameListener> FeatureNode::frame_listener() const
{
  return frame_listener_;
}

const tuw::LineSegment2DDetectorParameter & FeatureNode::detector_configuration() const
{
  return detector_->config_;
}

}  // namespace align_model
