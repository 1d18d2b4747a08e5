#ifndef SOAK__SOAK_RIG_HPP_
#define SOAK__SOAK_RIG_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "program_rig.hpp"
#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "std_srvs/srv/set_bool.hpp"
#include "zephyrax_protocol/msg/align.hpp"

namespace align_soak
{

// The feature program is enabled by an Align message, the line program by
// the SetBool service.
using Program = align_rig::Program;

const char * program_name(Program program);

// One node program in-process, as on the robot but without middleware: a
// probe node publishes scans and the enable signal to it and counts the
// poses it publishes; one executor runs both.
class SoakRig
{
public:
  // `warm_scan` is processed until the feature program has stored the laser
  // mount (published on /tf_static first). Throws std::runtime_error when it
  // never does.
  SoakRig(Program program, bool debug, const sensor_msgs::msg::LaserScan & warm_scan);
  ~SoakRig();
  SoakRig(const SoakRig &) = delete;
  SoakRig & operator=(const SoakRig &) = delete;

  // Publishes the scan and spins once: one pass of the scan callback. A pose
  // reaches the probe one spin after it is published, so the poses counted
  // during this call belong to the scan before.
  void process_scan(const sensor_msgs::msg::LaserScan & scan);

  // Sends the enable signal and spins until the program has taken it (for
  // the line program: until the service has answered). Throws
  // std::runtime_error when it is never answered or refused.
  void set_enabled(bool enabled);

  // Spins until nothing is pending, so that every published pose is counted.
  void drain();

  std::size_t poses_received() const {return probe_.poses_received();}
  // Transform lookup workers the feature program has started (0 for the
  // line program, which takes its mount from parameters).
  std::size_t lookup_worker_starts() const;

private:
  Program program_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::shared_ptr<rclcpp::Node> node_;
  align_rig::Probe probe_;
  rclcpp::Publisher<zephyrax_protocol::msg::Align>::SharedPtr enable_publisher_;
  rclcpp::Client<std_srvs::srv::SetBool>::SharedPtr enable_client_;
  std::uint32_t enable_sequence_ = 0;
};

}  // namespace align_soak

#endif  // SOAK__SOAK_RIG_HPP_
