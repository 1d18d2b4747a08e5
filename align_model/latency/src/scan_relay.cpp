#include "align_latency/scan_relay.hpp"

namespace align_latency
{

ScanRelay::ScanRelay(const rclcpp::NodeOptions & options)
: rclcpp::Node("align_scan_relay", options)
{
  publisher_ = create_publisher<sensor_msgs::msg::LaserScan>("back_scan_relayed", rclcpp::QoS(1));
  subscription_ = create_subscription<sensor_msgs::msg::LaserScan>(
    "back_scan", rclcpp::QoS(1),
    [this](sensor_msgs::msg::LaserScan::ConstSharedPtr scan) {publisher_->publish(*scan);});
}

}  // namespace align_latency
