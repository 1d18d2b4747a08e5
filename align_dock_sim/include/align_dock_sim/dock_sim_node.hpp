// align_dock_sim: a simulated differential-drive robot with the rear laser,
// in a scene read from a file. It follows cmd_vel, publishes odometry, the
// transforms and the rendered scans, and runs the simulated clock. The
// ground truth goes out on topics of its own (sim/true_pose,
// sim/docked_pose), so that docking is judged by the truth and never by the
// detector's own word.
#ifndef ALIGN_DOCK_SIM__DOCK_SIM_NODE_HPP_
#define ALIGN_DOCK_SIM__DOCK_SIM_NODE_HPP_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "align_dock_sim/simulated_world.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "geometry_msgs/msg/twist.hpp"
#include "nav_msgs/msg/odometry.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rosgraph_msgs/msg/clock.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_ros/static_transform_broadcaster.h"
#include "tf2_ros/transform_broadcaster.h"

namespace align_dock_sim
{

// Who moves simulated time on.
enum class Stepping
{
  kOwnTimer,  // a wall timer, at `real_time_factor` times real time
  kExternal,  // the owner calls step_to (the in-process docking trials)
};

class DockSimNode : public rclcpp::Node
{
public:
  // Runs on its own timer. Throws when the scene file or a parameter cannot
  // be used (the message names the key and the file, or the parameter).
  explicit DockSimNode(const rclcpp::NodeOptions & options);
  DockSimNode(const rclcpp::NodeOptions & options, Stepping stepping);

  // Moves simulated time on to `time_ns` and publishes the clock, odometry,
  // transforms and ground truth at `time_ns`; scans whose latency has passed
  // become due. On its own timer the node publishes them at once; an
  // external stepper publishes them one by one with publish_next_scan.
  // Returns the number of due scans.
  std::size_t step_to(std::int64_t time_ns);
  // Publishes the oldest due scan and returns its stamp; -1 when none is due.
  std::int64_t publish_next_scan();

  // The robot at rest at `true_pose` in the world frame; odometry starts
  // over. Scans already taken are dropped.
  void place_robot(const Pose2D & true_pose);

  const SimulatedWorld & world() const {return *world_;}
  std::int64_t tick_ns() const {return tick_ns_;}  // between two clock / odometry messages
  std::int64_t scan_period_ns() const {return scan_period_ns_;}
  std::size_t commands_received() const {return commands_received_;}
  // Readers matched to the scan and clock publishers (for callers that must
  // not publish into the void).
  std::size_t scan_subscribers() const {return scan_publisher_->get_subscription_count();}
  std::size_t clock_subscribers() const {return clock_publisher_->get_subscription_count();}
  // Frames and topics as configured.
  const std::string & world_frame() const {return world_->scene().world_frame;}
  const std::string & base_frame() const {return base_frame_;}
  const std::string & odom_frame() const {return odom_frame_;}

private:
  struct PendingScan
  {
    std::int64_t publish_ns;
    sensor_msgs::msg::LaserScan scan;
  };

  void declare_and_build(Stepping stepping);
  void create_endpoints(const std::string & scan_topic, const std::string & scan_qos);
  void on_command(const geometry_msgs::msg::Twist & twist);
  void take_due_scans(std::int64_t time_ns);
  void publish_state();
  void publish_static_state();

  std::unique_ptr<SimulatedWorld> world_;
  std::int64_t tick_ns_ = 20000000;
  std::int64_t scan_period_ns_ = 40000000;
  std::int64_t scan_latency_ns_ = 0;
  std::int64_t next_scan_ns_ = 0;
  std::deque<PendingScan> pending_scans_;
  std::string odom_frame_;
  std::string base_frame_;
  bool publish_map_to_odom_ = true;
  std::size_t commands_received_ = 0;
  bool warned_invalid_command_ = false;
  bool warned_clamped_command_ = false;

  rclcpp::Publisher<rosgraph_msgs::msg::Clock>::SharedPtr clock_publisher_;
  rclcpp::Publisher<nav_msgs::msg::Odometry>::SharedPtr odom_publisher_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr true_pose_publisher_;
  rclcpp::Publisher<geometry_msgs::msg::PoseStamped>::SharedPtr docked_pose_publisher_;
  rclcpp::Subscription<geometry_msgs::msg::Twist>::SharedPtr command_subscription_;
  rclcpp::Subscription<geometry_msgs::msg::PoseStamped>::SharedPtr teleport_subscription_;
  std::unique_ptr<tf2_ros::TransformBroadcaster> transform_broadcaster_;
  std::unique_ptr<tf2_ros::StaticTransformBroadcaster> static_broadcaster_;
  rclcpp::TimerBase::SharedPtr timer_;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__DOCK_SIM_NODE_HPP_
