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

}  // namespace

const char * program_name(Program program)
{
  return program == Program::kFeature ? "feature" : "line";
}

// The parameters that detect the simulated target (plates of 0.22 to 0.34 m,
// openings of 112 to 128 degrees, intensities around 252 on a 0..255 scale).
SoakRig::SoakRig(Program program, bool debug, const sensor_msgs::msg::LaserScan & warm_scan)
: program_(program),
  node_(align_rig::make_program_node(
      program, align_rig::detection_parameters(program, debug, align_model::RangeIntensityBand{0.05, 2.0, 250.0, 255.0}))),
  probe_("align_soak_probe")
{
  executor_.add_node(node_);
  executor_.add_node(probe_.node());

  probe_.wait_for_node(executor_, true);
  if (program == Program::kFeature) {
    enable_publisher_ = probe_.node()->create_publisher<zephyrax_protocol::msg::Align>("align_enable", rclcpp::QoS(1));
    align_rig::wait_until_matched(
      executor_, [this] {return enable_publisher_->get_subscription_count() > 0;}, "the node's enable subscription");
    probe_.publish_laser_mount(kLaserFrame);
    align_rig::wait_for_laser_mount(executor_, probe_, node_, warm_scan);
  } else {
    enable_client_ = probe_.node()->create_client<std_srvs::srv::SetBool>("align_enable");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!enable_client_->service_is_ready()) {
      if (std::chrono::steady_clock::now() > deadline) {
        throw std::runtime_error("the line program never offered its enable service");
      }
      executor_.spin_some();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  drain();
  probe_.reset_poses();
}

SoakRig::~SoakRig()
{
  executor_.remove_node(probe_.node());
  executor_.remove_node(node_);
}

void SoakRig::process_scan(const sensor_msgs::msg::LaserScan & scan)
{
  probe_.publish_scan(scan);
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

}  // namespace align_soak
