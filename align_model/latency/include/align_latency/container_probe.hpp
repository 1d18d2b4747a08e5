// The latency probe as an rclcpp component, for measuring inside one
// component container next to the programs and a relay, with intra-process
// delivery. The container's executor runs the probe's callbacks; the probe
// sends its scans from a thread of its own and waits for the replies there.
// When done it writes the JSON lines of the run (interleaved_report) to
// `output` (or logs them) and, with `shutdown_when_done`, ends the container.
//
// Parameters (given to the container when loading it):
//   targets  string array of LABEL=PREFIX:pose|scan, the floor first
//   count    rounds (one scan per target each), default 1000
//   period_ms, readings, seed, blocks, wait_s, output, shutdown_when_done
#ifndef ALIGN_LATENCY__CONTAINER_PROBE_HPP_
#define ALIGN_LATENCY__CONTAINER_PROBE_HPP_

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "align_latency/latency_probe.hpp"
#include "rclcpp/rclcpp.hpp"

namespace align_latency
{

struct ContainerProbeSettings
{
  std::vector<ProbeTarget> targets;
  std::size_t rounds = 1000;
  double period_ms = 25.0;
  std::size_t readings = 1081;
  std::uint64_t seed = 1;
  std::size_t blocks = 10;
  double wait_s = 20.0;
  std::string output;  // empty: log the lines
  bool shutdown_when_done = true;
};

// Reads the settings from the parameter overrides a container passes;
// throws std::invalid_argument naming a bad one.
ContainerProbeSettings container_probe_settings(const std::vector<rclcpp::Parameter> & overrides);

class ContainerProbe
{
public:
  explicit ContainerProbe(const rclcpp::NodeOptions & options);
  ~ContainerProbe();
  ContainerProbe(const ContainerProbe &) = delete;
  ContainerProbe & operator=(const ContainerProbe &) = delete;

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface() const
  {
    return probe_->get_node_base_interface();
  }
  // Whether the run has ended (written its lines, or given up).
  bool done() const {return done_;}

private:
  void run();

  ContainerProbeSettings settings_;
  std::shared_ptr<LatencyProbe> probe_;
  std::atomic_bool done_{false};
  std::thread worker_;
};

}  // namespace align_latency

#endif  // ALIGN_LATENCY__CONTAINER_PROBE_HPP_
