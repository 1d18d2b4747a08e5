// The reference docking controller on topics: odometry and the standard dock
// pose in, cmd_vel out, and the detector switched on and off through its own
// enable message (align_feature_node) or service (align_node). The owner
// calls control() once per control period, on simulated time.
#ifndef ALIGN_DOCK_SIM__DOCK_CONTROLLER_NODE_HPP_
#define ALIGN_DOCK_SIM__DOCK_CONTROLLER_NODE_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "align_dock_sim/docking_controller.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "geometry_msgs/msg/twist.hpp"
#include "nav_msgs/msg/odometry.hpp"
#include "rclcpp/rclcpp.hpp"
#include "std_srvs/srv/set_bool.hpp"
#include "zephyrax_protocol/msg/align.hpp"

namespace align_dock_sim
{

// How the detector is switched on and off.
struct DetectorEnable
{
  enum class Kind
  {
    kAlignMessage,  // zephyrax_protocol/msg/Align on a topic
    kSetBoolService,  // std_srvs/srv/SetBool
  };
  Kind kind = Kind::kAlignMessage;
  std::string name = "align_enable";  // topic or service
};

struct ControllerTopics
{
  std::string odometry = "odom";
  std::string dock_pose = "detected_dock_pose";  // standard PoseStamped in the base frame
  std::string command = "cmd_vel";
  std::string base_frame = "base_footprint";
};

class DockControllerNode : public rclcpp::Node
{
public:
  DockControllerNode(
    const rclcpp::NodeOptions & options, const DockingControllerSettings & settings,
    const ControllerTopics & topics, const DetectorEnable & enable);

  // Starts a docking: the controller forgets the last one.
  void start(std::int64_t now_ns) {controller_.start(now_ns);}
  // Computes and publishes the command for `now_ns`.
  BaseVelocity control(std::int64_t now_ns);

  // Asks the detector to start or stop. The message goes out at once; the
  // service request's answer arrives through the executor.
  void request_detector(bool on);
  std::size_t enable_answers() const {return enable_answers_;}
  // Whether the endpoints towards the detector and the robot have matched.
  bool connected() const;

  const DockingController & controller() const {return controller_;}
  std::int64_t last_odometry_ns() const {return last_odometry_ns_;}
  std::int64_t last_pose_stamp_ns() const {return last_pose_stamp_ns_;}
  std::size_t poses_received() const {return poses_received_;}
  // The newest target pose, in the base frame.
  const Pose2D & last_target_in_base() const {return last_target_in_base_;}

private:
  void on_dock_pose(const geometry_msgs::msg::PoseStamped & pose);

  DockingController controller_;
  ControllerTopics topics_;
  DetectorEnable enable_;
  rclcpp::Subscription<nav_msgs::msg::Odometry>::SharedPtr odometry_subscription_;
  rclcpp::Subscription<geometry_msgs::msg::PoseStamped>::SharedPtr pose_subscription_;
  rclcpp::Publisher<geometry_msgs::msg::Twist>::SharedPtr command_publisher_;
  rclcpp::Publisher<zephyrax_protocol::msg::Align>::SharedPtr enable_publisher_;
  rclcpp::Client<std_srvs::srv::SetBool>::SharedPtr enable_client_;
  std::int64_t last_odometry_ns_ = -1;
  std::int64_t last_pose_stamp_ns_ = -1;
  std::size_t poses_received_ = 0;
  Pose2D last_target_in_base_;
  std::size_t enable_answers_ = 0;
  bool warned_frame_ = false;
};

}  // namespace align_dock_sim

#endif  // ALIGN_DOCK_SIM__DOCK_CONTROLLER_NODE_HPP_
