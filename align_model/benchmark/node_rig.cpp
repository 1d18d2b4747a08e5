// Runs a node program's class in-process, as on the robot but without
// middleware, so that a benchmark iteration is exactly one scan callback.
#include "node_rig.hpp"

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"

namespace align_benchmark
{
namespace
{

constexpr char kBaseFrame[] = "base_footprint";

std::vector<rclcpp::Parameter> node_parameters(NodeKind kind, bool debug, const BenchmarkScan & input)
{
  std::vector<rclcpp::Parameter> parameters = {
    rclcpp::Parameter("min_intensity", input.band.min_intensity),
    rclcpp::Parameter("max_intensity", input.band.max_intensity),
    rclcpp::Parameter("min_range", input.band.min_range),
    rclcpp::Parameter("max_range", input.band.max_range),
    rclcpp::Parameter("threshold_split", 0.02),
    rclcpp::Parameter("points_max_distance", 0.05),
    rclcpp::Parameter("min_line_len", 0.15),
    rclcpp::Parameter("max_line_len", 0.4),
    rclcpp::Parameter("target_angle", 1.047),
    rclcpp::Parameter("angle_error", 0.2),
    rclcpp::Parameter("debug", debug),
  };
  if (kind == NodeKind::kFeature) {
    parameters.emplace_back("min_angle", -1.5);
    parameters.emplace_back("max_angle", 1.5);
  } else {
    parameters.emplace_back("laser_to_base_x", kMountX);
    parameters.emplace_back("laser_to_base_y", kMountY);
    parameters.emplace_back("laser_to_base_th", kMountYaw);
  }
  return parameters;
}

std::shared_ptr<rclcpp::Node> make_node(NodeKind kind, bool debug, const BenchmarkScan & input)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(node_parameters(kind, debug, input));
  switch (kind) {
    case NodeKind::kFeature:
      return std::make_shared<align_model::FeatureNode>(options);
    case NodeKind::kLine:
      return std::make_shared<align_node::AlignNode>(options);
    case NodeKind::kHarnessOnly:
      break;
  }
  return std::make_shared<rclcpp::Node>("align_benchmark_harness");
}

}  // namespace

NodeRig::NodeRig(NodeKind kind, bool debug, const BenchmarkScan & input)
: scan_(input.scan)
{
  node_ = make_node(kind, debug, input);
  rclcpp::NodeOptions probe_options;
  probe_options.start_parameter_services(false);
  probe_options.start_parameter_event_publisher(false);
  probe_ = std::make_shared<rclcpp::Node>("align_benchmark_probe", probe_options);
  scan_publisher_ = probe_->create_publisher<sensor_msgs::msg::LaserScan>("back_scan", rclcpp::QoS(10));
  tf_publisher_ = probe_->create_publisher<tf2_msgs::msg::TFMessage>(
    "/tf_static", rclcpp::QoS(100).transient_local());
  pose_subscription_ = probe_->create_subscription<geometry_msgs::msg::PoseStamped>(
    "docking_pose", rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::PoseStamped>) {++poses_;});
  if (kind == NodeKind::kHarnessOnly) {
    empty_scan_subscription_ = node_->create_subscription<sensor_msgs::msg::LaserScan>(
      "back_scan", rclcpp::QoS(1), [](std::shared_ptr<const sensor_msgs::msg::LaserScan>) {});
  }
  executor_.add_node(node_);
  executor_.add_node(probe_);
  if (kind == NodeKind::kFeature) {
    publish_laser_mount(scan_.header.frame_id);
    wait_for_transform(scan_.header.frame_id);
  }
  poses_ = 0;
}

NodeRig::~NodeRig()
{
  executor_.remove_node(probe_);
  executor_.remove_node(node_);
}

void NodeRig::process_scan()
{
  scan_publisher_->publish(scan_);
  executor_.spin_some();
}

void NodeRig::publish_laser_mount(const std::string & laser_frame)
{
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

void NodeRig::wait_for_transform(const std::string & laser_frame)
{
  const auto feature_node = std::static_pointer_cast<align_model::FeatureNode>(node_);
  const auto listener = feature_node->frame_listener();
  // The first scan starts the listener's worker; later scans find the
  // transform stored.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!listener->is_stored(kBaseFrame, laser_frame)) {
    if (std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the feature node never stored the laser transform");
    }
    process_scan();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace align_benchmark
