#ifndef ALIGN_TOOLS__ROS1_BAG_HPP_
#define ALIGN_TOOLS__ROS1_BAG_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace align_tools
{

// One message of a ROS 1 bag, in file order.
struct Ros1Message
{
  std::string topic;
  std::string type;  // ROS 1 spelling, e.g. "sensor_msgs/LaserScan"
  std::uint32_t sec = 0;  // recorder receive time
  std::uint32_t nsec = 0;
  std::vector<std::uint8_t> data;  // ROS 1 serialization
};

// Reads every message of a format 2.0 bag with uncompressed chunks, walking
// the records one after another. Index-data records are stepped over by
// their entry count, not by their length field, which some old recorders
// wrote wrong. Throws RecordingError (naming the file and the byte offset)
// for a bad magic line, compressed chunks or a record cut short.
std::vector<Ros1Message> read_ros1_bag(const std::string & path);

// True when the file starts with the ROS 1 bag magic line.
bool is_ros1_bag(const std::string & path);

// ROS 1 serialization: little-endian, no padding, strings without NUL,
// Header with a leading seq. Frame ids lose a leading "/" (the old tf prefix
// convention), which ROS 2 transform lookups refuse. Nothing may be left over.
sensor_msgs::msg::LaserScan decode_ros1_laser_scan(const std::vector<std::uint8_t> & data);
tf2_msgs::msg::TFMessage decode_ros1_tf_message(const std::vector<std::uint8_t> & data);

// "/laser" -> "laser"
std::string strip_leading_slash(const std::string & frame_id);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ROS1_BAG_HPP_
