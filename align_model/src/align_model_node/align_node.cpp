#include "align_model_node/align_node.hpp"

#include <utility>

#include "align_model/detector_configuration.hpp"
#include "program/dock_pose_topic.hpp"
#include "program/parameter_description.hpp"
#include "program/scan_qos.hpp"

namespace align_node
{

using align_program::described;

AlignNode::AlignNode(const rclcpp::NodeOptions & options)
: rclcpp::Node("align_node", options)
{
  declare_parameter("enable_service", "align_enable", described("Name of the std_srvs/srv/SetBool enable service"));
  declare_parameter("scan_topic", "back_scan", described("Topic of the input sensor_msgs/msg/LaserScan"));
  declare_parameter(
    "pose_stamped_topic", "docking_pose", described("Topic of the target pose (heading in pose.position.z)"));
  declare_parameter(
    "debug", false,
    described("Publish the selected scan on align_scan and markers on align_marker; read at every scan"));
  const rclcpp::QoS scan_qos = align_program::scan_qos_from_choice(
    declare_parameter(
      align_program::kScanQosParameter, std::string(align_program::kScanQosReliable),
      described(align_program::kScanQosDescription)));
  declare_parameter(
    align_program::kDockPoseTopicParameter, std::string(),
    described(align_program::kDockPoseTopicDescription));
  declare_parameter("diagnostics", false, described("Publish diagnostic_msgs/msg/DiagnosticArray on /diagnostics once a second; read at start-up"));

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
    get_parameter("scan_topic").as_string(), scan_qos,
    [this](std::shared_ptr<const sensor_msgs::msg::LaserScan> scan) {
      callback_laser(std::move(scan));
    });

  pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(
    get_parameter("pose_stamped_topic").as_string(), rclcpp::QoS(1));
  const std::string dock_pose_topic = get_parameter(align_program::kDockPoseTopicParameter).as_string();
  if (!dock_pose_topic.empty()) {
    dock_pose_publisher_ = create_publisher<geometry_msgs::msg::PoseStamped>(dock_pose_topic, rclcpp::QoS(1));
  }

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
