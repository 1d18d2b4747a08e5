#include "program_rig.hpp"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"

namespace align_rig
{

std::vector<rclcpp::Parameter> detection_parameters(
  Program program, bool debug, const align_model::RangeIntensityBand & band)
{
  std::vector<rclcpp::Parameter> parameters = {
    rclcpp::Parameter("min_intensity", band.min_intensity),
    rclcpp::Parameter("max_intensity", band.max_intensity),
    rclcpp::Parameter("min_range", band.min_range),
    rclcpp::Parameter("max_range", band.max_range),
    rclcpp::Parameter("threshold_split", 0.02),
    rclcpp::Parameter("points_max_distance", 0.05),
    rclcpp::Parameter("min_line_len", 0.15),
    rclcpp::Parameter("max_line_len", 0.4),
    rclcpp::Parameter("target_angle", 1.047),
    rclcpp::Parameter("angle_error", 0.2),
    rclcpp::Parameter("debug", debug),
  };
  if (program == Program::kFeature) {
    parameters.emplace_back("min_angle", -1.5);
    parameters.emplace_back("max_angle", 1.5);
  } else {
    parameters.emplace_back("laser_to_base_x", kMountX);
    parameters.emplace_back("laser_to_base_y", kMountY);
    parameters.emplace_back("laser_to_base_th", kMountYaw);
  }
  return parameters;
}

std::shared_ptr<rclcpp::Node> make_program_node(Program program, const std::vector<rclcpp::Parameter> & overrides)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(overrides);
  if (program == Program::kFeature) {
    return std::make_shared<align_model::FeatureNode>(options);
  }
  return std::make_shared<align_node::AlignNode>(options);
}

Probe::Probe(const std::string & name)
{
  rclcpp::NodeOptions options;
  options.start_parameter_services(false);
  options.start_parameter_event_publisher(false);
  node_ = std::make_shared<rclcpp::Node>(name, options);
  scan_publisher_ = node_->create_publisher<sensor_msgs::msg::LaserScan>("back_scan", rclcpp::QoS(10));
  pose_subscription_ = node_->create_subscription<geometry_msgs::msg::PoseStamped>(
    "docking_pose", rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::PoseStamped>) {++poses_;});
}

void Probe::publish_scan(const sensor_msgs::msg::LaserScan & scan)
{
  scan_publisher_->publish(scan);
}

void Probe::publish_laser_mount(const std::string & laser_frame)
{
  if (!tf_publisher_) {
    tf_publisher_ = node_->create_publisher<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(100).transient_local());
  }
  geometry_msgs::msg::TransformStamped mount;
  mount.header.frame_id = kBaseFrame;
  mount.child_frame_id = laser_frame;
  mount.transform.translation.x = kMountX;
  mount.transform.translation.y = kMountY;
  // A half turn about z.
  mount.transform.rotation.z = 1.0;
  mount.transform.rotation.w = 0.0;
  tf2_msgs::msg::TFMessage message;
  message.transforms.push_back(mount);
  tf_publisher_->publish(message);
}

void Probe::wait_for_node(rclcpp::executors::SingleThreadedExecutor & executor, bool with_poses) const
{
  wait_until_matched(
    executor, [this] {return scan_publisher_->get_subscription_count() > 0;}, "the node's scan subscription");
  if (with_poses) {
    wait_until_matched(
      executor, [this] {return pose_subscription_->get_publisher_count() > 0;}, "the node's pose publisher");
  }
}

void wait_until_matched(
  rclcpp::executors::SingleThreadedExecutor & executor, const std::function<bool()> & matched, const std::string & what)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!matched()) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("discovery never matched " + what);
    }
    executor.spin_some();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void wait_for_laser_mount(
  rclcpp::executors::SingleThreadedExecutor & executor, Probe & probe,
  const std::shared_ptr<rclcpp::Node> & feature_node, const sensor_msgs::msg::LaserScan & scan)
{
  const auto listener = std::static_pointer_cast<align_model::FeatureNode>(feature_node)->frame_listener();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!listener->is_stored(kBaseFrame, scan.header.frame_id)) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the feature program never stored the laser mount");
    }
    probe.publish_scan(scan);
    executor.spin_some();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace align_rig
