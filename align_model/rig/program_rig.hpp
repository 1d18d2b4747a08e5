#ifndef RIG__PROGRAM_RIG_HPP_
#define RIG__PROGRAM_RIG_HPP_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "align_model/scan_points.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

// What the benchmarks and the soak run share: a node program's class
// in-process (no middleware), a probe node that feeds it, and one executor,
// so that publishing a scan and spinning once is exactly one scan callback.
namespace align_rig
{

constexpr char kBaseFrame[] = "base_footprint";
// The laser mount of the bundled approach: behind the base, facing backwards.
constexpr double kMountX = -0.102;
constexpr double kMountY = 0.0;
constexpr double kMountYaw = 3.141592653589793;

enum class Program
{
  kFeature,  // align_model::FeatureNode
  kLine,  // align_node::AlignNode
};

// Overrides that detect the simulated V target (plates of 0.15 to 0.4 m at
// about 120 degrees) inside the given band, with the mount above for the line
// program (the feature program gets it from /tf_static).
std::vector<rclcpp::Parameter> detection_parameters(
  Program program, bool debug, const align_model::RangeIntensityBand & band);

std::shared_ptr<rclcpp::Node> make_program_node(Program program, const std::vector<rclcpp::Parameter> & overrides);

// Publishes scans (on "back_scan") and the laser mount, and counts the poses
// published on "docking_pose".
class Probe
{
public:
  explicit Probe(const std::string & name);

  std::shared_ptr<rclcpp::Node> node() const {return node_;}
  void publish_scan(const sensor_msgs::msg::LaserScan & scan);
  // Latched on /tf_static: kBaseFrame -> laser_frame at the mount above.
  void publish_laser_mount(const std::string & laser_frame);

  // Spins until discovery has matched the scan publisher with the node's
  // subscription and, with `with_poses`, the pose subscription with the
  // node's publisher: what is published before is lost, as on real
  // middleware. Throws std::runtime_error after 5 s.
  void wait_for_node(rclcpp::executors::SingleThreadedExecutor & executor, bool with_poses) const;

  std::size_t poses_received() const {return poses_;}
  void reset_poses() {poses_ = 0;}

private:
  std::shared_ptr<rclcpp::Node> node_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr tf_publisher_;
  rclcpp::Subscription<geometry_msgs::msg::PoseStamped>::SharedPtr pose_subscription_;
  std::size_t poses_ = 0;
};

// Spins `executor` until `matched` holds; throws std::runtime_error naming
// `what` after 5 s.
void wait_until_matched(
  rclcpp::executors::SingleThreadedExecutor & executor, const std::function<bool()> & matched, const std::string & what);

// Feeds `scan` to the feature program until its frame listener has stored
// the mount of the scan's frame (the first scan starts the listener's
// worker). Throws std::runtime_error after 5 s.
void wait_for_laser_mount(
  rclcpp::executors::SingleThreadedExecutor & executor, Probe & probe,
  const std::shared_ptr<rclcpp::Node> & feature_node, const sensor_msgs::msg::LaserScan & scan);

}  // namespace align_rig

#endif  // RIG__PROGRAM_RIG_HPP_
