#ifndef ALIGN_LATENCY__LATENCY_PROBE_HPP_
#define ALIGN_LATENCY__LATENCY_PROBE_HPP_

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace align_latency
{

// What comes back for a scan: a program's pose (on "docking_pose"), or the
// relayed scan itself (on "back_scan_relayed").
enum class ReplyKind
{
  kPose,
  kScan,
};

struct ProbeRun
{
  std::size_t sent = 0;
  std::size_t lost = 0;  // no reply within the reply timeout
  std::vector<double> latencies_us;
};

// Sends a simulated scan of the docking target on "back_scan" and times how
// long its reply takes, one scan at a time: from just before publishing to
// the reply's callback. Each scan is stamped with the clock's time when it is
// sent, and a reply belongs to it only if the reply's stamp is not earlier:
// the relay and the line program copy the scan's stamp, the feature program
// stamps its outputs when it makes them. So the reply to an earlier scan that
// comes late is not taken for the next scan's (unless a program stamps it
// after the next scan was sent, which means it lags a whole period behind).
//
// The probe also latches the laser mount on /tf_static, which the feature
// program needs before it answers.
class LatencyProbe : public rclcpp::Node
{
public:
  LatencyProbe(ReplyKind reply, std::size_t readings, const rclcpp::NodeOptions & options = rclcpp::NodeOptions());

  // Spins `executor` until the scan publisher and the reply subscription
  // have each matched a peer; false after `timeout`.
  bool wait_for_peer(rclcpp::Executor & executor, std::chrono::nanoseconds timeout);

  // Sends scans every `period` until one is answered; false after `timeout`.
  bool warm_up(rclcpp::Executor & executor, std::chrono::nanoseconds period, std::chrono::nanoseconds timeout);

  // Sends `count` scans, starting one every `period`.
  ProbeRun measure(
    rclcpp::Executor & executor, std::size_t count, std::chrono::nanoseconds period,
    std::chrono::nanoseconds reply_timeout);

  const sensor_msgs::msg::LaserScan & scan() const {return scan_;}

private:
  // The latency in microseconds, or a negative value when no reply came.
  double send_and_wait(rclcpp::Executor & executor, std::chrono::nanoseconds reply_timeout);
  void on_reply(const builtin_interfaces::msg::Time & stamp);
  void publish_laser_mount();

  sensor_msgs::msg::LaserScan scan_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr mount_publisher_;
  rclcpp::SubscriptionBase::SharedPtr reply_subscription_;

  builtin_interfaces::msg::Time awaited_stamp_;
  bool answered_ = false;
  std::chrono::steady_clock::time_point answered_at_;
};

// The scan the probe sends: the bundled approach's target (0.3 m plates at a
// 120 degree opening) 1 m behind a 270 degree laser with `readings` beams.
sensor_msgs::msg::LaserScan target_scan(std::size_t readings);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__LATENCY_PROBE_HPP_
