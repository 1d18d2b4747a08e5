#ifndef ALIGN_TOOLS__CDR_HPP_
#define ALIGN_TOOLS__CDR_HPP_

#include <cstdint>
#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace align_tools
{

// Classic CDR (XCDR1) as rosbag2 stores messages: a 4-byte encapsulation
// header, then the fields in message order with natural alignment counted
// from the first byte after the header. Decoders accept both byte orders and
// ignore trailing bytes; they throw RecordingError on anything that does not
// fit the buffer.
sensor_msgs::msg::LaserScan decode_laser_scan_cdr(const std::vector<std::uint8_t> & blob);
tf2_msgs::msg::TFMessage decode_tf_message_cdr(const std::vector<std::uint8_t> & blob);

// Little-endian, padding bytes written as zero.
std::vector<std::uint8_t> encode_laser_scan_cdr(const sensor_msgs::msg::LaserScan & scan);
std::vector<std::uint8_t> encode_tf_message_cdr(const tf2_msgs::msg::TFMessage & message);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__CDR_HPP_
