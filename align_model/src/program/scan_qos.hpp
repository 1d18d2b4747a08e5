// The QoS of the scan subscription, chosen at start-up by the parameter
// `scan_qos`. Shared by both programs; only the scan subscription uses it.
#ifndef PROGRAM__SCAN_QOS_HPP_
#define PROGRAM__SCAN_QOS_HPP_

#include <stdexcept>
#include <string>

#include "rclcpp/qos.hpp"

namespace align_program
{

constexpr char kScanQosParameter[] = "scan_qos";
constexpr char kScanQosReliable[] = "reliable";
constexpr char kScanQosSensorData[] = "sensor_data";
constexpr char kScanQosDescription[] =
  "QoS of the scan subscription, read at start-up: 'reliable' (depth 1, reliable; the default) or "
  "'sensor_data' (depth 1, best effort: needed for laser drivers that publish best effort, which a "
  "reliable subscription never hears)";

// "reliable": depth 1 on the default profile, the subscription as it always
// was. "sensor_data": the sensor-data profile (best effort, volatile) at
// depth 1, so a slow callback still gets the newest scan. Anything else
// throws std::invalid_argument naming the parameter, the value and the choices.
inline rclcpp::QoS scan_qos_from_choice(const std::string & choice)
{
  if (choice == kScanQosReliable) {
    return rclcpp::QoS(1);
  }
  if (choice == kScanQosSensorData) {
    return rclcpp::SensorDataQoS(rclcpp::KeepLast(1));
  }
  throw std::invalid_argument(
          std::string("parameter '") + kScanQosParameter + "' has the value '" + choice +
          "'; the choices are '" + kScanQosReliable + "' and '" + kScanQosSensorData + "'");
}

}  // namespace align_program

#endif  // PROGRAM__SCAN_QOS_HPP_
