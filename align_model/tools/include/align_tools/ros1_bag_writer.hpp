#ifndef ALIGN_TOOLS__ROS1_BAG_WRITER_HPP_
#define ALIGN_TOOLS__ROS1_BAG_WRITER_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"
#include "tf2_msgs/msg/tf_message.hpp"

namespace align_tools
{

// Writes small ROS 1 bags (format 2.0, uncompressed chunks) of our own, so
// that the reader can be checked on layouts that real recorders produce
// without shipping anybody's recording.

struct Ros1BagConnection
{
  std::uint32_t id = 0;
  std::string topic;
  std::string type;  // ROS 1 spelling, e.g. "sensor_msgs/LaserScan"
};

struct Ros1BagMessage
{
  std::uint32_t connection = 0;
  std::uint32_t sec = 0;  // recorder receive time
  std::vector<std::uint8_t> data;  // ROS 1 serialization
};

struct Ros1BagLayout
{
  // Messages per chunk; each chunk is followed by its index records, as a
  // recorder writes them.
  std::size_t messages_per_chunk = 1000;
  // What the data-length field of an index record claims per entry. The
  // entries really take 12 bytes; some old recorders wrote 20 here.
  std::uint32_t claimed_index_entry_size = 12;
};

// The bag after its magic line: bag header, for each chunk the chunk (its
// connections, then its messages) and one index record per connection in
// it, then every connection again and one chunk-info record per chunk.
std::vector<std::uint8_t> ros1_bag_records(
  const std::vector<Ros1BagConnection> & connections, const std::vector<Ros1BagMessage> & messages,
  const Ros1BagLayout & layout = {});

// The magic line and the records above, written to `path`. Throws
// RecordingError when the file cannot be written.
void write_ros1_bag(
  const std::string & path, const std::vector<Ros1BagConnection> & connections,
  const std::vector<Ros1BagMessage> & messages, const Ros1BagLayout & layout = {});

// ROS 1 serialization (the inverse of decode_ros1_laser_scan and
// decode_ros1_tf_message); frame ids are written as given.
std::vector<std::uint8_t> encode_ros1_laser_scan(const sensor_msgs::msg::LaserScan & scan);
std::vector<std::uint8_t> encode_ros1_tf_message(const tf2_msgs::msg::TFMessage & message);

}  // namespace align_tools

#endif  // ALIGN_TOOLS__ROS1_BAG_WRITER_HPP_
