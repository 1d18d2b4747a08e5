// Runs a node program's class in-process, as on the robot but without
// middleware, so that a benchmark iteration is exactly one scan callback.
#include "node_rig.hpp"

namespace align_benchmark
{
namespace
{

std::shared_ptr<rclcpp::Node> make_node(NodeKind kind, bool debug, const BenchmarkScan & input)
{
  if (kind == NodeKind::kHarnessOnly) {
    return std::make_shared<rclcpp::Node>("align_benchmark_harness");
  }
  const align_rig::Program program = kind == NodeKind::kFeature ? align_rig::Program::kFeature :
    align_rig::Program::kLine;
  return align_rig::make_program_node(program, align_rig::detection_parameters(program, debug, input.band));
}

}  // namespace

NodeRig::NodeRig(NodeKind kind, bool debug, const BenchmarkScan & input)
: scan_(input.scan),
  node_(make_node(kind, debug, input)),
  probe_("align_benchmark_probe")
{
  if (kind == NodeKind::kHarnessOnly) {
    empty_scan_subscription_ = node_->create_subscription<sensor_msgs::msg::LaserScan>(
      "back_scan", rclcpp::QoS(1), [](std::shared_ptr<const sensor_msgs::msg::LaserScan>) {});
  }
  executor_.add_node(node_);
  executor_.add_node(probe_.node());
  probe_.wait_for_node(executor_, kind != NodeKind::kHarnessOnly);
  if (kind == NodeKind::kFeature) {
    probe_.publish_laser_mount(scan_.header.frame_id);
    align_rig::wait_for_laser_mount(executor_, probe_, node_, scan_);
  }
  probe_.reset_poses();
}

NodeRig::~NodeRig()
{
  executor_.remove_node(probe_.node());
  executor_.remove_node(node_);
}

void NodeRig::process_scan()
{
  probe_.publish_scan(scan_);
  executor_.spin_some();
}

}  // namespace align_benchmark
