#include "align_latency/latency_probe.hpp"

#include <algorithm>
#include <thread>

#include "align_latency/probe_schedule.hpp"
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

std::string topic(const std::string & prefix, const char * name)
{
  return prefix.empty() ? std::string(name) : prefix + "/" + name;
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
: LatencyProbe(std::vector<ProbeTarget>{{"", "", reply}}, readings, options) {}

LatencyProbe::LatencyProbe(
  const std::vector<ProbeTarget> & targets, std::size_t readings, const rclcpp::NodeOptions & options)
: rclcpp::Node("align_latency_probe", options), targets_(targets), scan_(target_scan(readings))
{
  for (std::size_t k = 0; k < targets_.size(); ++k) {
    Endpoints endpoints;
    const std::string & prefix = targets_[k].prefix;
    endpoints.scans = create_publisher<sensor_msgs::msg::LaserScan>(topic(prefix, "back_scan"), rclcpp::QoS(1));
    if (targets_[k].reply == ReplyKind::kPose) {
      endpoints.replies = create_subscription<geometry_msgs::msg::PoseStamped>(
        topic(prefix, "docking_pose"), rclcpp::QoS(1),
        [this, k](geometry_msgs::msg::PoseStamped::ConstSharedPtr pose) {on_reply(k, pose->header.stamp);});
    } else {
      endpoints.replies = create_subscription<sensor_msgs::msg::LaserScan>(
        topic(prefix, "back_scan_relayed"), rclcpp::QoS(1),
        [this, k](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {on_reply(k, scan->header.stamp);});
    }
    endpoints_.push_back(endpoints);
  }
  publish_laser_mount();
}

void LatencyProbe::publish_laser_mount()
{
  // Transient local, which intra-process delivery cannot carry: this one
  // publisher always goes through the middleware.
  rclcpp::PublisherOptions options;
  options.use_intra_process_comm = rclcpp::IntraProcessSetting::Disable;
  mount_publisher_ = create_publisher<tf2_msgs::msg::TFMessage>(
    "/tf_static", rclcpp::QoS(100).transient_local(), options);
  tf2_msgs::msg::TFMessage message;
  message.transforms.push_back(
    align_tools::mount_transform(align_tools::SimulationConfig().mount, kBaseFrame, scan_.header.frame_id));
  mount_publisher_->publish(message);
}

bool LatencyProbe::wait_for_peer(rclcpp::Executor * executor, std::chrono::nanoseconds timeout)
{
  const auto matched = [this] {
      return std::all_of(
        endpoints_.begin(), endpoints_.end(), [](const Endpoints & e) {
          return e.scans->get_subscription_count() > 0 && e.replies->get_publisher_count() > 0;
        });
    };
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!matched()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    if (executor != nullptr) {
      executor->spin_some();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool LatencyProbe::warm_up(
  rclcpp::Executor * executor, std::chrono::nanoseconds period, std::chrono::nanoseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (std::size_t k = 0; k < targets_.size(); ++k) {
    bool answered = false;
    while (!answered) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      answered = send_and_wait(executor, k, period) >= 0.0;
    }
  }
  return true;
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
    const double latency_us = send_and_wait(&executor, 0, reply_timeout);
    ++run.sent;
    if (latency_us < 0.0) {
      ++run.lost;
    } else {
      run.latencies_us.push_back(latency_us);
    }
  }
  return run;
}

std::vector<TargetRun> LatencyProbe::measure_interleaved(
  rclcpp::Executor * executor, std::size_t rounds, std::chrono::nanoseconds period,
  std::chrono::nanoseconds reply_timeout, std::uint64_t seed)
{
  std::vector<TargetRun> runs(targets_.size());
  const std::vector<std::size_t> schedule = interleaved_schedule(targets_.size(), rounds, seed);
  auto next_send = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < schedule.size(); ++i) {
    std::this_thread::sleep_until(next_send);
    next_send += period;
    const std::size_t k = schedule[i];
    const double latency_us = send_and_wait(executor, k, reply_timeout);
    ++runs[k].sent;
    if (latency_us < 0.0) {
      ++runs[k].lost;
    } else {
      runs[k].samples.push_back({i / targets_.size(), latency_us});
    }
  }
  return runs;
}

double LatencyProbe::send_and_wait(
  rclcpp::Executor * executor, std::size_t target, std::chrono::nanoseconds reply_timeout)
{
  // Each scan gets a stamp of its own: the clock's, which moves on between
  // scans.
  scan_.header.stamp = now();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    awaited_target_ = target;
    awaited_stamp_ = scan_.header.stamp;
    awaiting_ = true;
    answered_ = false;
  }
  const auto sent_at = std::chrono::steady_clock::now();
  endpoints_[target].scans->publish(scan_);
  const auto deadline = sent_at + reply_timeout;
  if (executor != nullptr) {
    for (auto now = sent_at; now < deadline; now = std::chrono::steady_clock::now()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (answered_) {
          break;
        }
      }
      executor->spin_once(deadline - now);
    }
  }
  std::unique_lock<std::mutex> lock(mutex_);
  answered_signal_.wait_until(lock, deadline, [this] {return answered_;});
  awaiting_ = false;
  if (!answered_) {
    return -1.0;
  }
  return std::chrono::duration<double, std::micro>(answered_at_ - sent_at).count();
}

void LatencyProbe::on_reply(std::size_t target, const builtin_interfaces::msg::Time & stamp)
{
  const auto now = std::chrono::steady_clock::now();
  std::lock_guard<std::mutex> lock(mutex_);
  if (awaiting_ && !answered_ && target == awaited_target_ && not_before(stamp, awaited_stamp_)) {
    answered_at_ = now;
    answered_ = true;
    answered_signal_.notify_all();
  }
}

}  // namespace align_latency
