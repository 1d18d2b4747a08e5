#ifndef ALIGN_TOOLS__JSON_WRITER_HPP_
#define ALIGN_TOOLS__JSON_WRITER_HPP_

#include <string>

#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "geometry_msgs/msg/pose_stamped.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "visualization_msgs/msg/marker.hpp"

namespace align_tools
{

// JSON text of numbers that is the same on every run: float fields with
// %.9g and double fields with %.17g (both read back exactly). JSON has no
// NaN or infinity; they are written as the strings "nan", "inf" and "-inf".
std::string json_float(float value);
std::string json_double(double value);
std::string json_string(const std::string & text);

// Every field of the message, nested as in the message definition.
std::string to_json(const geometry_msgs::msg::PoseStamped & message);
std::string to_json(const sensor_msgs::msg::LaserScan & message);
std::string to_json(const visualization_msgs::msg::Marker & message);
std::string to_json(const diagnostic_msgs::msg::DiagnosticArray & message);

// {"scan": 3, "topic": "/docking_pose", "type": "geometry_msgs/msg/PoseStamped", "msg": {...}}
std::string published_line(
  std::size_t scan_index, const std::string & topic, const std::string & type, const std::string & message_json);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__JSON_WRITER_HPP_
