#include "align_dock_sim/dock_controller_node.hpp"

#include <utility>

#include "align_dock_sim/pose_messages.hpp"

namespace align_dock_sim
{

DockControllerNode::DockControllerNode(
  const rclcpp::NodeOptions & options, const DockingControllerSettings & settings,
  const ControllerTopics & topics, const DetectorEnable & enable)
: rclcpp::Node("align_dock_controller", options), controller_(settings), topics_(topics), enable_(enable)
{
  odometry_subscription_ = create_subscription<nav_msgs::msg::Odometry>(
    topics_.odometry, rclcpp::QoS(10),
    [this](std::shared_ptr<const nav_msgs::msg::Odometry> odometry) {
      last_odometry_ns_ = nanoseconds_of(odometry->header.stamp);
      controller_.on_odometry(last_odometry_ns_, planar_pose(odometry->pose.pose));
    });
  pose_subscription_ = create_subscription<geometry_msgs::msg::PoseStamped>(
    topics_.dock_pose, rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::PoseStamped> pose) {on_dock_pose(*pose);});
  command_publisher_ = create_publisher<geometry_msgs::msg::Twist>(topics_.command, rclcpp::QoS(10));
  if (enable_.kind == DetectorEnable::Kind::kAlignMessage) {
    enable_publisher_ = create_publisher<zephyrax_protocol::msg::Align>(enable_.name, rclcpp::QoS(1));
  } else {
    enable_client_ = create_client<std_srvs::srv::SetBool>(enable_.name);
  }
}

void DockControllerNode::on_dock_pose(const geometry_msgs::msg::PoseStamped & pose)
{
  ++poses_received_;
  last_pose_stamp_ns_ = nanoseconds_of(pose.header.stamp);
  if (pose.header.frame_id != topics_.base_frame) {
    if (!warned_frame_) {
      RCLCPP_WARN(
        get_logger(), "Ignored target poses in frame '%s': this controller takes them in '%s'",
        pose.header.frame_id.c_str(), topics_.base_frame.c_str());
      warned_frame_ = true;
    }
    return;
  }
  last_target_in_base_ = planar_pose(pose.pose);
  controller_.on_target_pose(last_pose_stamp_ns_, last_target_in_base_);
}

BaseVelocity DockControllerNode::control(std::int64_t now_ns)
{
  const BaseVelocity command = controller_.update(now_ns);
  geometry_msgs::msg::Twist twist;
  twist.linear.x = command.linear;
  twist.angular.z = command.angular;
  command_publisher_->publish(twist);
  return command;
}

void DockControllerNode::request_detector(bool on)
{
  if (enable_publisher_) {
    zephyrax_protocol::msg::Align message;
    message.enable = on ? 1 : 0;
    enable_publisher_->publish(message);
    return;
  }
  auto request = std::make_shared<std_srvs::srv::SetBool::Request>();
  request->data = on;
  enable_client_->async_send_request(
    request, [this](rclcpp::Client<std_srvs::srv::SetBool>::SharedFuture) {++enable_answers_;});
}

bool DockControllerNode::connected() const
{
  const bool detector = enable_publisher_ ? enable_publisher_->get_subscription_count() > 0 :
    enable_client_->service_is_ready();
  return detector && odometry_subscription_->get_publisher_count() > 0 &&
         pose_subscription_->get_publisher_count() > 0 && command_publisher_->get_subscription_count() > 0;
}

}  // namespace align_dock_sim
