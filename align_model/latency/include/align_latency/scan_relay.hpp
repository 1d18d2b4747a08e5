#ifndef ALIGN_LATENCY__SCAN_RELAY_HPP_
#define ALIGN_LATENCY__SCAN_RELAY_HPP_

#include "rclcpp/rclcpp.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_latency
{

// The floor of a latency run: a node that republishes every scan on
// "back_scan" unchanged on "back_scan_relayed", as it comes. It subscribes
// with the programs' scan QoS (reliable, depth 1), so the difference to a
// program is the program's own work.
class ScanRelay : public rclcpp::Node
{
public:
  explicit ScanRelay(const rclcpp::NodeOptions & options = rclcpp::NodeOptions());

private:
  rclcpp::Publisher<sensor_msgs::msg::LaserScan>::SharedPtr publisher_;
  rclcpp::Subscription<sensor_msgs::msg::LaserScan>::SharedPtr subscription_;
};

}  // namespace align_latency

#endif  // ALIGN_LATENCY__SCAN_RELAY_HPP_
