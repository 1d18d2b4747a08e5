#ifndef ALIGN_TOOLS__SCAN_YAML_HPP_
#define ALIGN_TOOLS__SCAN_YAML_HPP_

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_tools
{

// LaserScans in the form `ros2 topic echo` prints them: one YAML document
// per message, separated by "---"; `.nan`, `.inf` and `-.inf` accepted.
// Throws RecordingError naming the message (counted from 0) when a field is
// missing or malformed, or when an array was cut short by echo's default
// truncation (its last element is the string '...').
std::vector<sensor_msgs::msg::LaserScan> read_scan_yaml(std::istream & in, const std::string & source_name);
std::vector<sensor_msgs::msg::LaserScan> read_scan_yaml_file(const std::string & path);

// Writes one message in the same form, followed by "---". Floats are written
// with enough digits to read back the identical float.
void write_scan_yaml(std::ostream & out, const sensor_msgs::msg::LaserScan & scan);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__SCAN_YAML_HPP_
