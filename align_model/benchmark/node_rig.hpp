#ifndef BENCHMARK__NODE_RIG_HPP_
#define BENCHMARK__NODE_RIG_HPP_

#include <cstddef>
#include <memory>

#include "program_rig.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

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

  std::size_t poses_received() const {return probe_.poses_received();}

private:
  sensor_msgs::msg::LaserScan scan_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::shared_ptr<rclcpp::Node> node_;
  align_rig::Probe probe_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr empty_scan_subscription_;
};

}  // namespace align_benchmark

#endif  // BENCHMARK__NODE_RIG_HPP_
