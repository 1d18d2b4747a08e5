// Quality-of-service presets of the transform topics.
#ifndef TF2_ROS__QOS_HPP_
#define TF2_ROS__QOS_HPP_

#include <cstddef>

#include "rclcpp/qos.hpp"

namespace tf2_ros
{

// "/tf": keep last depth, reliable, volatile.
class DynamicListenerQoS : public rclcpp::QoS
{
public:
  explicit DynamicListenerQoS(size_t depth = 100)
  : rclcpp::QoS(depth) {}
};

class DynamicBroadcasterQoS : public rclcpp::QoS
{
public:
  explicit DynamicBroadcasterQoS(size_t depth = 100)
  : rclcpp::QoS(depth) {}
};

// "/tf_static": transient local, so late subscribers still get what was sent.
class StaticListenerQoS : public rclcpp::QoS
{
public:
  explicit StaticListenerQoS(size_t depth = 100)
  : rclcpp::QoS(depth)
  {
    transient_local();
  }
};

// Depth 1 suffices: every static message carries the broadcaster's whole set.
class StaticBroadcasterQoS : public rclcpp::QoS
{
public:
  explicit StaticBroadcasterQoS(size_t depth = 1)
  : rclcpp::QoS(depth)
  {
    transient_local();
  }
};

}  // namespace tf2_ros

#endif  // TF2_ROS__QOS_HPP_
