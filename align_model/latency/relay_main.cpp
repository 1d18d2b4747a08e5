// align_scan_relay: republishes each scan as it comes, the floor against
// which align_latency_probe measures the programs.
#include <memory>

#include "align_latency/scan_relay.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  rclcpp::spin(std::make_shared<align_latency::ScanRelay>());
  rclcpp::shutdown();
  return 0;
}
