#ifndef BENCHMARK__NODE_RIG_HPP_
#define BENCHMARK__NODE_RIG_HPP_

#include <cstddef>
#include <memory>
#include <string>

#include "geometry_msgs/msg/pose_stamped.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

#include "benchmark_scans.hpp"

namespace align_benchmark
{

enum class NodeKind
{
  kFeature,
  kLine,
  // A plain node with an empty scan callback: what publishing and spinning
  // cost by themselves.
  kHarnessOnly,
};

// One node under measurement, a probe node that feeds it scans and counts
// its poses, and the executor that runs the callback.
class NodeRig
{
public:
  // Throws std::runtime_error when the feature node never stores the laser
  // transform.
  NodeRig(NodeKind kind, bool debug, const BenchmarkScan & input);
  ~NodeRig();

  // Publishes the scan and spins once: one pass of the scan callback.
  void process_scan();

  std::size_t poses_received() const {return poses_;}

private:
  void publish_laser_mount(const std::string & laser_frame);
  void wait_for_transform(const std::string & laser_frame);

  sensor_msgs::msg::LaserScan scan_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::shared_ptr<rclcpp::Node> node_;
  std::shared_ptr<rclcpp::Node> probe_;
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr scan_publisher_;
  rclcpp::Publisher<tf2_msgs::msg::TFMessage>::SharedPtr tf_publisher_;
  rclcpp::Subscription<geometry_msgs::msg::PoseStamped>::SharedPtr pose_subscription_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr empty_scan_subscription_;
  std::size_t poses_ = 0;
};

}  // namespace align_benchmark

#endif  // BENCHMARK__NODE_RIG_HPP_
