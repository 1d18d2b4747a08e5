#include "align_model_node/align_node.hpp"

#include <utility>

#include "align_model/detector_configuration.hpp"

namespace align_node
{

AlignNode::AlignNode(const rclcpp::NodeOptions & options)
: rclcpp::Node("align_node", options)
{
  declare_parameter("enable_service", "align_enable");
  declare_parameter("scan_topic", "back_scan");
  declare_parameter("pose_stamped_topic", "docking_pose");
  declare_parameter("debug", false);
  declare_parameter("diagnostics", false);

  parameter_ = std::make_shared<AlignParameter>(this);

  detector_ = std::make_shared<tuw::LineSegment2DDetector>();
  detector_->config_ = align_model::detector_configuration_from(parameter_->detector_parameter);

  // Humble's create_service takes no rclcpp::QoS; without a profile argument it
  // uses the default services profile on every distribution.
  enable_service_ = create_service<std_srvs::srv::SetBool>(
    get_parameter("enable_service").as_string(),
    [this](
      const std::shared_ptr<std_srvs::srv::SetBool::Request> request,
      std::shared_ptr<std_srvs::srv::SetBool::Response> response) {
      handle_enable(request, response);
    });

  enable_ = true;
  RCLCPP_INFO(get_logger(), "Enable signal default to TRUE when test.");

  scan_subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
    get_parameter("scan_topic").as_string(), rclcpp::QoS(1),
    [this](std::shared_ptr<const sensor_msgs::msg::LaserScan> scan) {
      callback_laser(std::move(scan));
    });

  pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(
    get_parameter("pose_stamped_topic").as_string(), rclcpp::QoS(1));

  if (get_parameter("debug").as_bool()) {
    create_debug_publishers();
  }
  if (get_parameter("diagnostics").as_bool()) {
    diagnostics_reporter_ = std::make_unique<align_program::DetectionDiagnostics>(
      *this, [this]() {return enable_;}, funnel_);
  }
}

AlignNode::~AlignNode() = default;

void AlignNode::create_debug_publishers()
{
  scan_publisher_ = create_publisher<sensor_msgs::msg::LaserScan>("align_scan", rclcpp::QoS(1));
  marker_publisher_ = create_publisher<visualization_msgs::msg::Marker>("align_marker", rclcpp::QoS(1));
}

void AlignNode::handle_enable(
  const std::shared_ptr<std_srvs::srv::SetBool::Request> request,
  std::shared_ptr<std_srvs::srv::SetBool::Response> response)
{
  enable_ = request->data;
  response->success = true;
}

}  // namespace align_node
