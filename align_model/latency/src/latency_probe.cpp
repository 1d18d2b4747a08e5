#include "align_latency/latency_probe.hpp"

#include <thread>

#include "align_tools/mount_transform.hpp"
#include "align_tools/scan_simulator.hpp"

namespace align_latency
{

namespace
{

constexpr char kBaseFrame[] = "base_footprint";

bool not_before(const builtin_interfaces::msg::Time & a, const builtin_interfaces::msg::Time & b)
{
  return a.sec > b.sec || (a.sec == b.sec && a.nanosec >= b.nanosec);
}

}  // namespace

sensor_msgs::msg::LaserScan target_scan(std::size_t readings)
{
  constexpr double kFieldOfView = 4.71238898038469;  // 270 degrees
  align_tools::SimulationConfig config;
  config.scanner.count = static_cast<int>(readings);
  config.scanner.angle_min = static_cast<float>(-kFieldOfView / 2.0);
  config.scanner.angle_increment =
    static_cast<float>(kFieldOfView / static_cast<double>(readings > 1 ? readings - 1 : 1));
  align_tools::ScanSimulator simulator(config);
  const align_tools::Pose2D corner_one_metre_behind{1.0, 0.0, 3.141592653589793};
  return simulator.render(corner_one_metre_behind, builtin_interfaces::msg::Time());
}

LatencyProbe::LatencyProbe(ReplyKind reply, std::size_t readings, const rclcpp::NodeOptions & options)
: rclcpp::Node("align_latency_probe", options), scan_(target_scan(readings))
{
  scan_publisher_ = create_publisher<sensor_msgs::msg::LaserScan>("back_scan", rclcpp::QoS(1));
  if (reply == ReplyKind::kPose) {
    reply_subscription_ = create_subscription<geometry_msgs::msg::PoseStamped>(
      "docking_pose", rclcpp::QoS(1),
      [this](geometry_msgs::msg::PoseStamped::ConstSharedPtr pose) {on_reply(pose->header.stamp);});
  } else {
    reply_subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
      "back_scan_relayed", rclcpp::QoS(1),
      [this](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {on_reply(scan->header.stamp);});
  }
  publish_laser_mount();
}

void LatencyProbe::publish_laser_mount()
{
  mount_publisher_ = create_publisher<tf2_msgs::msg::TFMessage>("/tf_static", rclcpp::QoS(100).transient_local());
  tf2_msgs::msg::TFMessage message;
  message.transforms.push_back(
    align_tools::mount_transform(align_tools::SimulationConfig().mount, kBaseFrame, scan_.header.frame_id));
  mount_publisher_->publish(message);
}

bool LatencyProbe::wait_for_peer(rclcpp::Executor & executor, std::chrono::nanoseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (scan_publisher_->get_subscription_count() == 0 || reply_subscription_->get_publisher_count() == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    executor.spin_some();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool LatencyProbe::warm_up(
  rclcpp::Executor & executor, std::chrono::nanoseconds period, std::chrono::nanoseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (send_and_wait(executor, period) >= 0.0) {
      return true;
    }
  }
  return false;
}

ProbeRun LatencyProbe::measure(
  rclcpp::Executor & executor, std::size_t count, std::chrono::nanoseconds period,
  std::chrono::nanoseconds reply_timeout)
{
  ProbeRun run;
  run.latencies_us.reserve(count);
  auto next_send = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < count; ++i) {
    std::this_thread::sleep_until(next_send);
    next_send += period;
    const double latency_us = send_and_wait(executor, reply_timeout);
    ++run.sent;
    if (latency_us < 0.0) {
      ++run.lost;
    } else {
      run.latencies_us.push_back(latency_us);
    }
  }
  return run;
}

double LatencyProbe::send_and_wait(rclcpp::Executor & executor, std::chrono::nanoseconds reply_timeout)
{
  // Each scan gets a stamp of its own: the clock's, which moves on between
  // scans.
  scan_.header.stamp = now();
  awaited_stamp_ = scan_.header.stamp;
  answered_ = false;
  const auto sent_at = std::chrono::steady_clock::now();
  scan_publisher_->publish(scan_);
  const auto deadline = sent_at + reply_timeout;
  for (auto now = sent_at; !answered_ && now < deadline; now = std::chrono::steady_clock::now()) {
    executor.spin_once(deadline - now);
  }
  if (!answered_) {
    return -1.0;
  }
  return std::chrono::duration<double, std::micro>(answered_at_ - sent_at).count();
}

void LatencyProbe::on_reply(const builtin_interfaces::msg::Time & stamp)
{
  if (!answered_ && not_before(stamp, awaited_stamp_)) {
    answered_at_ = std::chrono::steady_clock::now();
    answered_ = true;
  }
}

}  // namespace align_latency
