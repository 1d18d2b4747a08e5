// The relay and the probe as rclcpp components: the latency run inside one
// component container, next to the programs' components.
#include "align_latency/container_probe.hpp"
#include "align_latency/scan_relay.hpp"
#include "rclcpp_components/register_node_macro.hpp"

RCLCPP_COMPONENTS_REGISTER_NODE(align_latency::ScanRelay)
RCLCPP_COMPONENTS_REGISTER_NODE(align_latency::ContainerProbe)
