#include "align_tools/ros1_bag.hpp"

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "align_tools/byte_reader.hpp"
#include "align_tools/recording_error.hpp"

namespace align_tools
{
namespace
{

const char kMagic[] = "#ROSBAG V2.0\n";
constexpr std::size_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::size_t kIndexEntrySize = 12;

enum Op : std::uint8_t
{
  kMessageData = 0x02,
  kBagHeader = 0x03,
  kIndexData = 0x04,
  kChunk = 0x05,
  kChunkInfo = 0x06,
  kConnection = 0x07,
};

// name=value fields of a record header (values are binary).
using Fields = std::map<std::string, std::string>;

Fields parse_fields(const std::string & bytes)
{
  Fields fields;
  ByteReader reader(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
  while (reader.remaining() > 0) {
    const std::uint32_t length = reader.read_u32();
    const std::string field = reader.read_bytes_as_string(length);
    const auto equals = field.find('=');
    if (equals == std::string::npos) {
      throw RecordingError("header field without '='");
    }
    fields[field.substr(0, equals)] = field.substr(equals + 1);
  }
  return fields;
}

std::uint32_t field_u32(const Fields & fields, const std::string & name)
{
  const auto it = fields.find(name);
  if (it == fields.end() || it->second.size() < 4) {
    throw RecordingError("record lacks the 4-byte field '" + name + "'");
  }
  ByteReader reader(reinterpret_cast<const std::uint8_t *>(it->second.data()), it->second.size());
  return reader.read_u32();
}

std::string field_text(const Fields & fields, const std::string & name)
{
  const auto it = fields.find(name);
  return it == fields.end() ? std::string() : it->second;
}

struct Connection
{
  std::string topic;
  std::string type;
};

// Walks a sequence of records (the file after its magic line, or the data of
// one chunk) and collects connections and messages.
class RecordWalker
{
public:
  RecordWalker(std::map<std::uint32_t, Connection> & connections, std::vector<Ros1Message> & messages)
  : connections_(connections), messages_(messages) {}

  void walk(ByteReader & reader, std::size_t base_offset)
  {
    while (reader.remaining() > 0) {
      const std::size_t record_start = reader.position();
      try {
        read_record(reader, base_offset);
      } catch (const RecordingError & error) {
        throw RecordingError(
                "record at byte " + std::to_string(base_offset + record_start) + " (after " +
                std::to_string(messages_.size()) + " messages): " + error.what());
      }
    }
  }

private:
  void read_record(ByteReader & reader, std::size_t base_offset)
  {
    const std::uint32_t header_length = reader.read_u32();
    const Fields header = parse_fields(reader.read_bytes_as_string(header_length));
    const auto op_field = header.find("op");
    if (op_field == header.end() || op_field->second.size() != 1) {
      throw RecordingError("record without a one-byte 'op' field");
    }
    const auto op = static_cast<std::uint8_t>(op_field->second[0]);
    const std::uint32_t data_length = reader.read_u32();
    switch (op) {
      case kChunk: read_chunk(reader, header, data_length, base_offset); break;
      case kConnection: read_connection(reader, header, data_length); break;
      case kMessageData: read_message(reader, header, data_length); break;
      case kIndexData: skip_index(reader, header, data_length); break;
      case kBagHeader:
      case kChunkInfo:
      default: reader.skip(data_length); break;
    }
  }

  void read_chunk(ByteReader & reader, const Fields & header, std::uint32_t data_length, std::size_t base_offset)
  {
    const std::string compression = field_text(header, "compression");
    if (compression != "none") {
      throw RecordingError("chunk compressed with '" + compression + "': only uncompressed bags are supported");
    }
    // Recorders put connections and messages into chunks, never chunks.
    // Following nested ones would copy the rest of the file once per level
    // and recurse as deep as the file allows.
    if (inside_chunk_) {
      throw RecordingError("chunk inside a chunk");
    }
    const std::size_t data_start = reader.position();
    const std::string data = reader.read_bytes_as_string(data_length);
    ByteReader chunk(reinterpret_cast<const std::uint8_t *>(data.data()), data.size());
    inside_chunk_ = true;
    walk(chunk, base_offset + data_start);
    inside_chunk_ = false;
  }

  void read_connection(ByteReader & reader, const Fields & header, std::uint32_t data_length)
  {
    const Fields details = parse_fields(reader.read_bytes_as_string(data_length));
    Connection connection;
    connection.topic = field_text(header, "topic");
    connection.type = field_text(details, "type");
    connections_[field_u32(header, "conn")] = connection;
  }

  void read_message(ByteReader & reader, const Fields & header, std::uint32_t data_length)
  {
    const std::uint32_t id = field_u32(header, "conn");
    const auto connection = connections_.find(id);
    if (connection == connections_.end()) {
      throw RecordingError("message of unknown connection " + std::to_string(id));
    }
    const auto time = header.find("time");
    if (time == header.end() || time->second.size() != 8) {
      throw RecordingError("message without an 8-byte 'time' field");
    }
    ByteReader time_reader(reinterpret_cast<const std::uint8_t *>(time->second.data()), 8);
    Ros1Message message;
    message.topic = connection->second.topic;
    message.type = connection->second.type;
    message.sec = time_reader.read_u32();
    message.nsec = time_reader.read_u32();
    const std::string data = reader.read_bytes_as_string(data_length);
    message.data.assign(data.begin(), data.end());
    messages_.push_back(std::move(message));
  }

  // The entry count is authoritative; some recorders wrote a data length that
  // does not match it.
  void skip_index(ByteReader & reader, const Fields & header, std::uint32_t data_length)
  {
    if (header.count("count") == 0) {
      reader.skip(data_length);
      return;
    }
    const std::uint64_t count = field_u32(header, "count");
    reader.skip(static_cast<std::size_t>(count * kIndexEntrySize));
  }

  std::map<std::uint32_t, Connection> & connections_;
  std::vector<Ros1Message> & messages_;
  bool inside_chunk_ = false;
};

std::string read_file(const std::string & path)
{
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw RecordingError(path + ": cannot open");
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string read_ros1_string(ByteReader & reader)
{
  const std::uint32_t length = reader.read_u32();
  return reader.read_bytes_as_string(length);
}

void read_ros1_header(ByteReader & reader, std_msgs::msg::Header & header)
{
  reader.read_u32();  // seq: ROS 2 headers have none
  header.stamp.sec = static_cast<std::int32_t>(reader.read_u32());
  header.stamp.nanosec = reader.read_u32();
  header.frame_id = strip_leading_slash(read_ros1_string(reader));
}

void require_consumed(const ByteReader & reader, const char * type)
{
  if (reader.remaining() != 0) {
    throw RecordingError(
            std::string(type) + " leaves " + std::to_string(reader.remaining()) +
            " bytes unread: not this message type");
  }
}

}  // namespace

std::string strip_leading_slash(const std::string & frame_id)
{
  return !frame_id.empty() && frame_id[0] == '/' ? frame_id.substr(1) : frame_id;
}

bool is_ros1_bag(const std::string & path)
{
  std::ifstream file(path, std::ios::binary);
  char magic[kMagicSize] = {};
  file.read(magic, kMagicSize);
  return file.gcount() == static_cast<std::streamsize>(kMagicSize) &&
         std::memcmp(magic, kMagic, kMagicSize) == 0;
}

std::vector<Ros1Message> read_ros1_bag(const std::string & path)
{
  const std::string bytes = read_file(path);
  if (bytes.compare(0, kMagicSize, kMagic) != 0) {
    throw RecordingError(path + ": not a ROS 1 bag of format 2.0 (no '#ROSBAG V2.0' line)");
  }
  std::map<std::uint32_t, Connection> connections;
  std::vector<Ros1Message> messages;
  ByteReader reader(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
  reader.skip(kMagicSize);
  try {
    RecordWalker(connections, messages).walk(reader, 0);
  } catch (const RecordingError & error) {
    throw RecordingError(path + ": " + error.what());
  }
  return messages;
}

sensor_msgs::msg::LaserScan decode_ros1_laser_scan(const std::vector<std::uint8_t> & data)
{
  ByteReader reader(data.data(), data.size());
  sensor_msgs::msg::LaserScan scan;
  read_ros1_header(reader, scan.header);
  scan.angle_min = reader.read_f32();
  scan.angle_max = reader.read_f32();
  scan.angle_increment = reader.read_f32();
  scan.time_increment = reader.read_f32();
  scan.scan_time = reader.read_f32();
  scan.range_min = reader.read_f32();
  scan.range_max = reader.read_f32();
  scan.ranges = reader.read_f32_array(reader.read_u32());
  scan.intensities = reader.read_f32_array(reader.read_u32());
  require_consumed(reader, "LaserScan");
  return scan;
}

tf2_msgs::msg::TFMessage decode_ros1_tf_message(const std::vector<std::uint8_t> & data)
{
  ByteReader reader(data.data(), data.size());
  tf2_msgs::msg::TFMessage message;
  const std::uint32_t count = reader.read_u32();
  // A transform takes at least 76 bytes.
  if (count > reader.remaining() / 76) {
    throw RecordingError("TFMessage claims " + std::to_string(count) + " transforms, more than its bytes hold");
  }
  message.transforms.resize(count);
  for (auto & transform : message.transforms) {
    read_ros1_header(reader, transform.header);
    transform.child_frame_id = strip_leading_slash(read_ros1_string(reader));
    transform.transform.translation.x = reader.read_f64();
    transform.transform.translation.y = reader.read_f64();
    transform.transform.translation.z = reader.read_f64();
    transform.transform.rotation.x = reader.read_f64();
    transform.transform.rotation.y = reader.read_f64();
    transform.transform.rotation.z = reader.read_f64();
    transform.transform.rotation.w = reader.read_f64();
  }
  require_consumed(reader, "TFMessage");
  return message;
}

}  // namespace align_tools
