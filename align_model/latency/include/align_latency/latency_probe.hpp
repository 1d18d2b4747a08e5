#ifndef ALIGN_LATENCY__LATENCY_PROBE_HPP_
#define ALIGN_LATENCY__LATENCY_PROBE_HPP_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "align_latency/latency_summary.hpp"
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

// One node the probe times: it takes scans on "<prefix>/back_scan" and
// answers on "<prefix>/docking_pose" or "<prefix>/back_scan_relayed" (an
// empty prefix: the probe's own namespace).
struct ProbeTarget
{
  std::string label;
  std::string prefix;
  ReplyKind reply = ReplyKind::kPose;
};

struct ProbeRun
{
  std::size_t sent = 0;
  std::size_t lost = 0;  // no reply within the reply timeout
  std::vector<double> latencies_us;
};

// One target's share of an interleaved run; samples carry their round.
struct TargetRun
{
  std::size_t sent = 0;
  std::size_t lost = 0;
  std::vector<TimedSample> samples;
};

// Sends a simulated scan of the docking target and times how long its reply
// takes, one scan at a time: from just before publishing to the reply's
// callback. Each scan is stamped with the clock's time when it is sent, and
// a reply belongs to it only if it comes from the target the scan went to
// and its stamp is not earlier: the relay and the line program copy the
// scan's stamp, the feature program stamps its outputs when it makes them.
// So the reply to an earlier scan that comes late is not taken for the next
// scan's (unless a program stamps it after the next scan was sent, which
// means it lags a whole period behind).
//
// Every wait takes an executor that runs the probe's callbacks; without one
// (in a component container, whose executor runs them) the probe waits for
// the reply callback instead.
//
// The probe also latches the laser mount on /tf_static, which the feature
// program needs before it answers.
class LatencyProbe : public rclcpp::Node
{
public:
  // One target: the probe's own "back_scan" and the reply topic of `reply`.
  LatencyProbe(ReplyKind reply, std::size_t readings, const rclcpp::NodeOptions & options = rclcpp::NodeOptions());
  LatencyProbe(
    const std::vector<ProbeTarget> & targets, std::size_t readings,
    const rclcpp::NodeOptions & options = rclcpp::NodeOptions());

  // Waits until every target's scan publisher and reply subscription have
  // each matched a peer; false after `timeout`.
  bool wait_for_peer(rclcpp::Executor * executor, std::chrono::nanoseconds timeout);
  bool wait_for_peer(rclcpp::Executor & executor, std::chrono::nanoseconds timeout)
  {
    return wait_for_peer(&executor, timeout);
  }

  // Sends scans every `period` until every target has answered one; false
  // after `timeout`.
  bool warm_up(rclcpp::Executor * executor, std::chrono::nanoseconds period, std::chrono::nanoseconds timeout);
  bool warm_up(rclcpp::Executor & executor, std::chrono::nanoseconds period, std::chrono::nanoseconds timeout)
  {
    return warm_up(&executor, period, timeout);
  }

  // Sends `count` scans to the first target, starting one every `period`.
  ProbeRun measure(
    rclcpp::Executor & executor, std::size_t count, std::chrono::nanoseconds period,
    std::chrono::nanoseconds reply_timeout);

  // Sends `rounds` scans to every target, one every `period`, in the order
  // of interleaved_schedule(targets, rounds, seed). One run per target.
  std::vector<TargetRun> measure_interleaved(
    rclcpp::Executor * executor, std::size_t rounds, std::chrono::nanoseconds period,
    std::chrono::nanoseconds reply_timeout, std::uint64_t seed);

  const sensor_msgs::msg::LaserScan & scan() const {return scan_;}
  const std::vector<ProbeTarget> & targets() const {return targets_;}

private:
  struct Endpoints
  {
    rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scans;
    rclcpp::SubscriptionBase::SharedPtr replies;
  };

  // The latency in microseconds, or a negative value when no reply came.
  double send_and_wait(rclcpp::Executor * executor, std::size_t target, std::chrono::nanoseconds reply_timeout);
  void on_reply(std::size_t target, const builtin_interfaces::msg::Time & stamp);
  void publish_laser_mount();

  std::vector<ProbeTarget> targets_;
  std::vector<Endpoints> endpoints_;
  sensor_msgs::msg::LaserScan scan_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr mount_publisher_;

  // The scan in flight: whose reply is awaited, and whether it came.
  std::mutex mutex_;
  std::condition_variable answered_signal_;
  std::size_t awaited_target_ = 0;
  builtin_interfaces::msg::Time awaited_stamp_;
  bool awaiting_ = false;
  bool answered_ = false;
  std::chrono::steady_clock::time_point answered_at_;
};

// The scan the probe sends: the bundled approach's target (0.3 m plates at a
// 120 degree opening) 1 m behind a 270 degree laser with `readings` beams.
sensor_msgs::msg::LaserScan target_scan(std::size_t readings);

}  // namespace align_latency

#endif  // ALIGN_LATENCY__LATENCY_PROBE_HPP_
