// Runs a node program's class in-process, so that one soak step is exactly
// one scan callback, and drives its enable signal like the docking stack.
#include "soak_rig.hpp"

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "align_model_node/align_node.hpp"
#include "feature/feature_node.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"
#include "soak_scans.hpp"

namespace align_soak
{
namespace
{

// Answering a request takes two passes (service, then client); far more are
// allowed before the request counts as lost.
constexpr int kMaxSpinsPerRequest = 1000;

// The parameters that detect the simulated target (plates of 0.22 to 0.34 m,
// openings of 112 to 128 degrees, intensities around 252 on a 0..255 scale).
std::vector<rclcpp::Parameter> node_parameters(Program program, bool debug)
{
  std::vector<rclcpp::Parameter> parameters = {
    rclcpp::Parameter("min_intensity", 250.0),
    rclcpp::Parameter("max_intensity", 255.0),
    rclcpp::Parameter("min_range", 0.05),
    rclcpp::Parameter("max_range", 2.0),
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

}  // namespace

const char * program_name(Program program)
{
  return program == Program::kFeature ? "feature" : "line";
}

SoakRig::SoakRig(Program program, bool debug, const sensor_msgs::msg::LaserScan & warm_scan)
: program_(program)
{
  rclcpp::NodeOptions options;
  options.parameter_overrides(node_parameters(program, debug));
  if (program == Program::kFeature) {
    node_ = std::make_shared<align_model::FeatureNode>(options);
  } else {
    node_ = std::make_shared<align_node::AlignNode>(options);
  }
  rclcpp::NodeOptions probe_options;
  probe_options.start_parameter_services(false);
  probe_options.start_parameter_event_publisher(false);
  probe_ = std::make_shared<rclcpp::Node>("align_soak_probe", probe_options);
  scan_publisher_ = probe_->create_publisher<sensor_msgs::msg::LaserScan>("back_scan", rclcpp::QoS(10));
  pose_subscription_ = probe_->create_subscription<geometry_msgs::msg::PoseStamped>(
    "docking_pose", rclcpp::QoS(10),
    [this](std::shared_ptr<const geometry_msgs::msg::PoseStamped>) {++poses_;});
  executor_.add_node(node_);
  executor_.add_node(probe_);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  if (program == Program::kFeature) {
    tf_publisher_ = probe_->create_publisher<tf2_msgs::msg::TFMessage>(
      "/tf_static", rclcpp::QoS(100).transient_local());
    enable_publisher_ = probe_->create_publisher<zephyrax_protocol::msg::Align>("align_enable", rclcpp::QoS(1));
    publish_laser_mount();
    const auto feature_node = std::static_pointer_cast<align_model::FeatureNode>(node_);
    // The first scan starts the listener's worker; later scans find the
    // transform stored.
    while (!feature_node->frame_listener()->is_stored(kBaseFrame, warm_scan.header.frame_id)) {
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("the feature program never stored the laser mount");
      }
      process_scan(warm_scan);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  } else {
    enable_client_ = probe_->create_client<std_srvs::srv::SetBool>("align_enable");
    while (!enable_client_->service_is_ready()) {
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("the line program never offered its enable service");
      }
      executor_.spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  drain();
  poses_ = 0;
}

SoakRig::~SoakRig()
{
  executor_.remove_node(probe_);
  executor_.remove_node(node_);
}

void SoakRig::process_scan(const sensor_msgs::msg::LaserScan & scan)
{
  scan_publisher_->publish(scan);
  executor_.spin_some();
}

void SoakRig::set_enabled(bool enabled)
{
  if (program_ == Program::kFeature) {
    zephyrax_protocol::msg::Align signal;
    signal.seq = ++enable_sequence_;
    signal.enable = enabled ? 1 : 0;
    enable_publisher_->publish(signal);
    executor_.spin_some();
    return;
  }
  auto request = std::make_shared<std_srvs::srv::SetBool::Request>();
  request->data = enabled;
  auto pending = enable_client_->async_send_request(request);
  for (int spins = 0; spins < kMaxSpinsPerRequest; ++spins) {
    executor_.spin_some();
    if (pending.future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      if (!pending.future.get()->success) {
        throw std::runtime_error("the line program refused the enable request");
      }
      return;
    }
  }
  enable_client_->remove_pending_request(pending.request_id);
  throw std::runtime_error("the line program never answered the enable request");
}

void SoakRig::drain()
{
  // Each pass delivers what the one before published; a few passes empty
  // every queue.
  for (int i = 0; i < 5; ++i) {
    executor_.spin_some();
  }
}

std::size_t SoakRig::lookup_worker_starts() const
{
  if (program_ != Program::kFeature) {
    return 0;
  }
  return std::static_pointer_cast<align_model::FeatureNode>(node_)->frame_listener()->worker_starts();
}

void SoakRig::publish_laser_mount()
{
  geometry_msgs::msg::TransformStamped mount;
  mount.header.frame_id = kBaseFrame;
  mount.child_frame_id = kLaserFrame;
  mount.transform.translation.x = kMountX;
  mount.transform.translation.y = kMountY;
  // A half turn about z.
  mount.transform.rotation.z = 1.0;
  mount.transform.rotation.w = 0.0;
  tf2_msgs::msg::TFMessage message;
  message.transforms.push_back(mount);
  tf_publisher_->publish(message);
}

}  // namespace align_soak
